#pragma once

namespace store {

class Connection;

// Brings a book made by an earlier version up to date on a read-write open:
// appends to mp the lunar schedule columns it lacks (empty text in every
// row) and widens the schedule index to them. A current book is left as it
// is. Throws StoreError.
void addMissingColumns(Connection& connection);

} // namespace store
