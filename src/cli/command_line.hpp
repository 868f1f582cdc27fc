// What every command of quorvel-cli shares: options, usage, loading the script.
#pragma once

#include "batch/output.hpp"
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
    std::vector<std::string_view> operands;
};

// Options are read up to the first operand; everything after it is an operand, so
// a name such as "-rf" after the script is a name. --dry-run is accepted only with
// `allowDryRun`, --sort KEY (or --sort=KEY) and --reverse only with `allowSort`. -h or --help among the options makes it a request for help, even
// after an unknown option. Nothing, with `error` set, for an unknown option.
std::optional<Invocation> ParseOptions(std::span<const std::string_view> args, std::string& error,
                                       bool allowDryRun = false, bool allowSort = false);

} // namespace quorvel::cli
