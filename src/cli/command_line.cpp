#include "cli/command_line.hpp"

#include "cli/cli.hpp"
#include "cli/messages.hpp"
#include "engine/compiled_script.hpp"
#include "engine/script_file.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/shown_name.hpp"

#include <charconv>
#include <cstdint>
#include <unistd.h>

namespace quorvel::cli {

std::string_view UsageOf(std::string_view command) {
    static constexpr struct {
        std::string_view command;
        const char* usage;
    } kUsages[] = {{"apply", kApplyUsage}, {"check", kCheckUsage},   {"preview", kPreviewUsage},
                   {"run", kRunUsage},     {"pairs", kPairsUsage},   {"edit", kEditUsage},
                   {"undo", kUndoUsage},   {"resume", kResumeUsage}, {"history", kHistoryUsage}};
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

namespace {

// The value of the option `args[i]`: what follows "=" in "--name=value", else the
// next argument, which `i` then points to. Nothing, with `error` set, when there is
// none.
std::optional<std::string_view> OptionValue(std::span<const std::string_view> args, std::size_t& i,
                                            std::string_view name, std::string& error) {
    const std::string_view a = args[i];
    if (a.size() > name.size() && a[name.size()] == '=') {
        return a.substr(name.size() + 1);
    }
    if (i + 1 == args.size()) {
        error = FormatText(Tr("l'option %s attend une valeur"), {Quoted(a)});
        return std::nullopt;
    }
    return args[++i];
}

// Whether `a` is the option `name`, alone or as "--name=value".
bool IsValued(std::string_view a, std::string_view name) {
    return a.starts_with(name) && (a.size() == name.size() || a[name.size()] == '=');
}

// A depth is a whole number from 1, written in decimal digits alone.
std::optional<std::uint32_t> DepthNamed(std::string_view text) {
    std::uint32_t depth = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return std::nullopt;
    }
    const auto [stop, failure] = std::from_chars(text.data(), end, depth);
    if (failure != std::errc() || stop != end || depth == 0) {
        return std::nullopt;
    }
    return depth;
}

} // namespace

std::optional<Invocation> ParseOptions(std::span<const std::string_view> args, std::string& error,
                                       AllowedOptions allowed) {
    Invocation inv;
    std::string unknown;
    bool recursive = false;
    std::optional<std::uint32_t> depth;
    bool folders = false;
    bool foldersOnly = false;
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
        } else if (a == "--dry-run" && allowed.dryRun) {
            inv.dryRun = true;
        } else if (a == "--reverse" && allowed.sort) {
            inv.order.reverse = true;
        } else if (IsValued(a, "--sort") && allowed.sort) {
            const std::optional<std::string_view> key = OptionValue(args, i, "--sort", error);
            if (!key) {
                return std::nullopt;
            }
            const std::optional<SortKey> sort = SortKeyNamed(*key);
            if (!sort) {
                error = FormatText(Tr("clé de tri inconnue : %s (name, size, modified ou taken)"),
                                   {Quoted(*key)});
                return std::nullopt;
            }
            inv.order.key = *sort;
        } else if ((a == "-r" || a == "--recursive") && allowed.tree) {
            recursive = true;
        } else if (IsValued(a, "--depth") && allowed.tree) {
            const std::optional<std::string_view> value = OptionValue(args, i, "--depth", error);
            if (!value) {
                return std::nullopt;
            }
            depth = DepthNamed(*value);
            if (!depth) {
                error =
                    FormatText(Tr("profondeur incorrecte : %s (un entier à partir de 1)"), {Quoted(*value)});
                return std::nullopt;
            }
        } else if (a == "--folders" && allowed.tree) {
            folders = true;
        } else if (a == "--folders-only" && allowed.tree) {
            foldersOnly = true;
        } else if (a == "--cross-devices" && allowed.tree) {
            inv.scope.crossDevices = true;
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
    // --depth goes as deep as it says, -r alone to the bottom, neither keeps to the
    // folder itself.
    inv.scope.depth = depth ? *depth : recursive ? 0 : 1;
    inv.scope.entries = foldersOnly ? TreeEntries::FoldersOnly
                        : folders   ? TreeEntries::FilesAndFolders
                                    : TreeEntries::Files;
    inv.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return inv;
}

} // namespace quorvel::cli
