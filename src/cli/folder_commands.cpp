#include "cli/folder_commands.hpp"

#include "cli/cli.hpp"
#include "cli/command_line.hpp"
#include "cli/records.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "files/rename_run.hpp"

#include <cstdio>
#include <limits>
#include <string>
#include <unistd.h>

namespace quorvel::cli {

namespace {

// A folder scanned with a filter, every file selected: what the unattended run of
// the window works on.
struct Selection {
    ScriptLines script;
    TListFiles files;
    TListInt rows;
};

// Reads the operands SCRIPT FOLDER [FILTER], loads the script and scans the folder;
// an exit status when the command cannot go on.
std::optional<int> Prepare(const Invocation& inv, std::string_view command, Selection& selection) {
    if (inv.operands.size() < 2 || inv.operands.size() > 3) {
        return UsageError(std::string(command) + " attend SCRIPT DOSSIER [FILTRE]");
    }
    if (const auto status = LoadScript(inv.operands[0], selection.script)) {
        return status;
    }
    Text filter = inv.operands.size() == 3 ? DecodeName(inv.operands[2]) : Text();
    if (filter.empty()) {
        filter = U"*.*";
    }
    ScanFolder(DecodeName(inv.operands[1]), &selection.files, filter, ScanDetail::NamesOnly);
    selection.files.Sort();
    selection.rows.SetSorted(true);
    const std::size_t rows =
        std::min<std::size_t>(selection.files.Count(), std::numeric_limits<std::int32_t>::max());
    for (std::size_t row = 1; row <= rows; ++row) {
        selection.rows.Add(static_cast<std::int32_t>(row));
    }
    return std::nullopt;
}

// "1 fichier", "2 fichiers"; "0 renommé".
std::string Count(std::size_t n, std::string_view singular, std::string_view plural) {
    return std::to_string(n) + " " + std::string(n >= 2 ? plural : singular);
}

// A name in a message for people: control characters are shown escaped, so that a
// name cannot break or fake a line.
std::string Shown(TextView name) {
    std::string shown;
    for (const char c : EncodeName(name)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        } else {
            shown.push_back(c);
        }
    }
    return shown;
}

// Old name, TAB (NUL with -0), new name, line feed (NUL with -0).
void WritePair(Output& out, TextView oldName, TextView newName, bool null) {
    out.Write(EncodeName(oldName));
    out.Put(null ? '\0' : '\t');
    out.Write(EncodeName(newName));
    out.Put(null ? '\0' : '\n');
}

} // namespace

int Preview(std::span<const std::string_view> args) {
    std::string error;
    const auto inv = ParseOptions(args, error);
    if (!inv) {
        return UsageError(error);
    }
    Selection selection;
    if (const auto status = Prepare(*inv, "preview", selection)) {
        return *status;
    }
    std::vector<Text> names;
    NumberCounter counter = 0;
    try {
        names = PreviewNames(selection.script, selection.files, selection.rows, counter);
    } catch (const EngineError& e) {
        Say(e.what());
        return kEngineError;
    }
    Output out(STDOUT_FILENO);
    for (std::size_t i = 0; i < names.size(); ++i) {
        WritePair(out, selection.files.Items(i).Name(), names[i], inv->null);
    }
    const bool written = out.Flush();
    Say(Count(names.size(), "fichier", "fichiers"));
    return written ? kOk : kOutputError;
}

int RunFolder(std::span<const std::string_view> args) {
    std::string error;
    const auto inv = ParseOptions(args, error, true);
    if (!inv) {
        return UsageError(error);
    }
    Selection selection;
    if (const auto status = Prepare(*inv, "run", selection)) {
        return *status;
    }
    RunReport report;
    NumberCounter counter = 0;
    try {
        report = inv->dryRun ? PlanRenames(selection.script, selection.files, selection.rows, counter)
                             : RunRenames(selection.script, selection.files, selection.rows, counter);
    } catch (const EngineError& e) {
        Say(e.what());
        return kEngineError;
    }
    bool written = true;
    if (inv->dryRun) {
        Output out(STDOUT_FILENO);
        for (const RenameEntry& entry : report.entries) {
            WritePair(out, entry.oldName, entry.newName, inv->null);
        }
        written = out.Flush();
    }
    Output err(STDERR_FILENO);
    for (const RenameEntry& entry : report.entries) {
        if (entry.outcome == RenameOutcome::Failed) {
            err.Write("échec : " + Shown(entry.oldName) + " -> " + Shown(entry.newName) + " : " +
                      entry.reason + "\n");
        }
    }
    std::string summary = Count(report.entries.size(), "fichier", "fichiers");
    if (!report.entries.empty()) {
        summary += " : " + Count(report.renamed, inv->dryRun ? "à renommer" : "renommé",
                                 inv->dryRun ? "à renommer" : "renommés");
        summary += ", " + Count(report.unchanged, "inchangé", "inchangés");
        summary += ", " + Count(report.failed, "échec", "échecs");
    }
    if (inv->dryRun) {
        summary += " (simulation : rien n'a été modifié)";
    }
    err.Write(summary + "\n");
    err.Flush();
    if (!written) {
        return kOutputError;
    }
    return report.failed == 0 ? kOk : kFailures;
}

} // namespace quorvel::cli
