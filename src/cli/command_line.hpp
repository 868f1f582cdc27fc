// What every command of quorvel-cli shares: options, usage, loading the script.
#pragma once

#include "batch/output.hpp"
#include "batch/whole_folder.hpp"
#include "engine/script.hpp"
#include "files/run/file_order.hpp"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::cli {

// The usage of `command` in the language of the messages; the whole help for an
// empty or unknown command.
std::string_view UsageOf(std::string_view command);

// Reports a bad command line of `command` with its usage on standard error, and
// returns kUsage.
int UsageError(std::string_view why, std::string_view command = {});

// The command line of one command, once its options are taken off.
struct Invocation {
    bool help = false;   // -h, --help
    bool null = false;   // -0, --null
    bool dryRun = false; // --dry-run
    FileOrder order;     // --sort KEY, --reverse
    // -r, --recursive, --depth N, --folders, --folders-only, --cross-devices
    FolderScope scope;
    std::vector<std::string_view> operands;
};

// The options a command takes besides -0 and --help.
struct AllowedOptions {
    bool dryRun = false; // --dry-run
    bool sort = false;   // --sort KEY (or --sort=KEY), --reverse
    // -r, --recursive, --depth N (or --depth=N), --folders, --folders-only,
    // --cross-devices
    bool tree = false;
};

// Options are read up to the first operand; everything after it is an operand, so
// a name such as "-rf" after the script is a name. -h or --help among the options
// makes it a request for help, even after an unknown option. Nothing, with `error`
// set, for an unknown option or a bad value.
std::optional<Invocation> ParseOptions(std::span<const std::string_view> args, std::string& error,
                                       AllowedOptions allowed = {});

} // namespace quorvel::cli
