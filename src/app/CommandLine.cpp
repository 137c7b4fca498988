#include "app/CommandLine.h"

namespace app {
std::optional<int> runCommandLine(int, char**) { return std::nullopt; }
} // namespace app
