// quorvel-cli: the rename engine for shell users.
#pragma once

#include "batch/exit_status.hpp"

#include <span>
#include <string_view>

namespace quorvel::cli {

// Runs the program with its arguments (without the program name), reading names
// from descriptor 0 and writing to 1 and 2.
int Run(std::span<const std::string_view> args);

} // namespace quorvel::cli
