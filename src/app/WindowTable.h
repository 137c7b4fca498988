#pragma once

namespace shell {
class AppContext;
}

namespace app {

// Fills the context's launcher with every window another window may open by
// name: the reminder window's buttons and menus use it.
void registerWindows(shell::AppContext& context);

} // namespace app
