#include "cli/command_line.hpp"

#include "cli/cli.hpp"
#include "cli/messages.hpp"
#include "engine/errors.hpp"
#include "engine/script_file.hpp"

#include <unistd.h>

namespace quorvel::cli {

int UsageError(std::string_view why) {
    Say(std::string("quorvel-cli : ") + std::string(why));
    Output err(STDERR_FILENO);
    err.Write(kUsageText);
    return kUsage;
}

std::optional<Invocation> ParseOptions(std::span<const std::string_view> args, std::string& error,
                                       bool allowDryRun) {
    Invocation inv;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a == "-0" || a == "--null") {
            inv.null = true;
        } else if (a == "--dry-run" && allowDryRun) {
            inv.dryRun = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "option inconnue : " + std::string(a);
            return std::nullopt;
        } else {
            break;
        }
    }
    inv.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return inv;
}

std::optional<int> LoadScript(std::string_view path, ScriptLines& script) {
    try {
        script = ReadScriptFile(std::string(path));
    } catch (const FileError& e) {
        Say(e.what());
        return kCannotOpen;
    }
    if (!ScriptIsValid(script)) {
        Say(kInvalidScriptText);
        return kInvalidScript;
    }
    return std::nullopt;
}

} // namespace quorvel::cli
