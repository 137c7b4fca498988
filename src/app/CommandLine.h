#pragma once

#include <optional>

namespace app {

// Handles the options that need no window (rmd --due, rmd --help) before any
// QApplication exists. Returns the exit code when it handled the call, or
// nothing when the organiser should start normally.
std::optional<int> runCommandLine(int argc, char** argv);

} // namespace app
