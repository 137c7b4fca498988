#pragma once

#include "core/Settings.h"

class QLineEdit;

namespace shell {

using core::ensureSettingsRow;
using core::kInitialPassword;
using core::kNoPasswordMarker;
using core::kPasswordSql;
using core::passwordMatches;
using core::storedPassword;

// After a refused attempt: focus in the box, caret from the start, all text selected.
void selectForRetry(QLineEdit* box);

} // namespace shell
