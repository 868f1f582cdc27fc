#include "cli/command_line.hpp"

#include "cli/cli.hpp"
#include "cli/messages.hpp"
#include "engine/compiled_script.hpp"
#include "engine/script_file.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/shown_name.hpp"

#include <unistd.h>

namespace quorvel::cli {

std::string_view UsageOf(std::string_view command) {
    static constexpr struct {
        std::string_view command;
        const char* usage;
    } kUsages[] = {{"apply", kApplyUsage},    {"check", kCheckUsage}, {"preview", kPreviewUsage},
                   {"run", kRunUsage},        {"undo", kUndoUsage},   {"resume", kResumeUsage},
                   {"history", kHistoryUsage}};
    for (const auto& entry : kUsages) {
        if (entry.command == command) {
            return Tr(entry.usage);
        }
    }
    return Tr(kUsageText);
}

int UsageError(std::string_view why, std::string_view command) {
    Say(FormatText(Tr("quorvel-cli : %s"), {why}));
    Output err(STDERR_FILENO);
    err.Write(UsageOf(command));
    return kUsage;
}

std::optional<Invocation> ParseOptions(std::span<const std::string_view> args, std::string& error,
                                       bool allowDryRun, bool allowSort) {
    Invocation inv;
    std::string unknown;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a == "-h" || a == "--help") {
            inv.help = true;
        } else if (a == "-0" || a == "--null") {
            inv.null = true;
        } else if (a == "--dry-run" && allowDryRun) {
            inv.dryRun = true;
        } else if (a == "--reverse" && allowSort) {
            inv.order.reverse = true;
        } else if ((a == "--sort" || a.starts_with("--sort=")) && allowSort) {
            std::string_view key;
            if (a == "--sort") {
                if (i + 1 == args.size()) {
                    error = FormatText(Tr("l'option %s attend une valeur"), {Quoted(a)});
                    return std::nullopt;
                }
                key = args[++i];
            } else {
                key = a.substr(7);
            }
            const std::optional<SortKey> sort = SortKeyNamed(key);
            if (!sort) {
                error = FormatText(Tr("clé de tri inconnue : %s (name, size, modified ou taken)"), {Quoted(key)});
                return std::nullopt;
            }
            inv.order.key = *sort;
        } else if (a.size() > 1 && a[0] == '-') {
            if (unknown.empty()) {
                unknown = FormatText(Tr("option inconnue : %s"), {Quoted(a)});
            }
        } else {
            break;
        }
    }
    if (!inv.help && !unknown.empty()) {
        error = std::move(unknown);
        return std::nullopt;
    }
    inv.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return inv;
}

} // namespace quorvel::cli
