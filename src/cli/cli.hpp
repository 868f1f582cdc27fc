// quorvel-cli: the rename engine for shell users.
#pragma once

#include <span>
#include <string_view>

namespace quorvel::cli {

// Exit statuses, shared by every command.
enum Exit : int {
    kOk = 0,
    kFailures = 1,      // some renames failed
    kInvalidScript = 2, // a placeholder is not filled in
    kEngineError = 3,   // conversion error or runaway name; nothing renamed
    kUsage = 64,        // bad command line
    kCannotOpen = 66,   // the script file cannot be read
    kOutputError = 74,  // standard output could not be written
};

// Runs the program with its arguments (without the program name), reading names
// from descriptor 0 and writing to 1 and 2.
int Run(std::span<const std::string_view> args);

} // namespace quorvel::cli
