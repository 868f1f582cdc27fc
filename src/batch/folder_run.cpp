#include "batch/folder_run.hpp"

#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "files/error_texts.hpp"
#include "files/rename_run.hpp"
#include "files/run_messages.hpp"
#include "files/scan.hpp"
#include "files/shown_name.hpp"

#include <numeric>
#include <unistd.h>

namespace quorvel {

namespace {

// Reads the script; an exit status when it cannot serve.
std::optional<int> LoadScript(const FolderRunRequest& request, ScriptLines& script) {
    try {
        script = ReadScriptFile(std::string(request.script));
    } catch (const ScriptFileError& e) {
        if (request.voice == FolderRunRequest::Voice::Window) {
            if (const std::string text = WindowScriptFileErrorText(e, request.script, PathForm::Quoted);
                !text.empty()) {
                Say(text);
                return kInvalidScript;
            }
        }
        Say(ScriptFileErrorText(e, request.script, PathForm::Quoted));
        return kCannotOpen;
    }
    if (!ScriptIsValid(script)) {
        Say(Tr("Script invalide..."));
        return kInvalidScript;
    }
    if (const auto problem = PatternProblemOf(script)) {
        Say(PatternProblemText(*problem));
        return kInvalidScript;
    }
    return std::nullopt;
}

bool WritePlan(const RunReport& report, bool null) {
    Output out(STDOUT_FILENO);
    for (const Step& step : report.steps) {
        out.Write(StepFrom(step, report.files));
        out.Put(null ? '\0' : '\t');
        out.Write(StepTo(step, report.files));
        out.Put(null ? '\0' : '\n');
    }
    return out.Flush();
}

void WriteReport(const RunReport& report, bool dryRun) {
    Output err(STDERR_FILENO);
    for (const RunFile& f : report.files) {
        if (f.outcome == RenameOutcome::Failed) {
            err.Write(
                FormatText(Tr("échec : %s -> %s : %s"), {Quoted(f.oldName), Quoted(f.newName), f.reason}));
            err.Put('\n');
        } else if (!f.note.empty()) {
            err.Write(
                FormatText(Tr("attention : %s -> %s : %s"), {Quoted(f.oldName), Quoted(f.newName), f.note}));
            err.Put('\n');
        }
    }
    std::string summary = CountText(report.files.size(), "fichier", "fichiers");
    if (!report.files.empty()) {
        summary =
            FormatText(Tr("%s : %s, %s, %s"), {summary,
                                               dryRun ? CountText(report.renamed, "à renommer", "à renommer")
                                                      : CountText(report.renamed, "renommé", "renommés"),
                                               CountText(report.unchanged, "inchangé", "inchangés"),
                                               CountText(report.failed, "échec", "échecs")});
    }
    if (dryRun) {
        summary += Tr(" (simulation : rien n'a été modifié)");
    }
    err.Write(summary + "\n");
}

} // namespace

int RunScriptOnFolder(const FolderRunRequest& request) {
    ScriptLines script;
    if (const auto status = LoadScript(request, script)) {
        return *status;
    }
    const Text filter = request.filter.empty() ? Text(U"*.*") : DecodeName(request.filter);
    TListFiles files;
    if (const int error = ScanFolder(DecodeName(request.folder), &files, filter, ScanDetail::NamesOnly);
        error != 0) {
        Say(FolderUnreadableText(request.folder, error));
        return kCannotOpen;
    }
    files.Sort();
    std::vector<std::size_t> selection(files.Count());
    std::iota(selection.begin(), selection.end(), std::size_t{0});
    NumberCounter counter = 0;
    RunReport report;
    try {
        report = request.dryRun ? PlanRenames(script, files, selection, counter)
                                : RunRenames(script, files, selection, counter);
    } catch (const EngineError& e) {
        if (request.voice == FolderRunRequest::Voice::Window) {
            Say(Tr("Une erreur est survenue !"));
        }
        Say(EngineErrorText(e));
        return kEngineError;
    }
    switch (report.stop) {
    case RunReport::Stop::FolderUnreadable:
        Say(report.error);
        return kCannotOpen;
    case RunReport::Stop::NoJournal:
        Say(report.error);
        return kOutputError;
    case RunReport::Stop::None:
        break;
    }
    const bool written = !request.dryRun || WritePlan(report, request.null);
    WriteReport(report, request.dryRun);
    if (!report.journalError.empty()) {
        Say(report.journalError);
    }
    if (!written || !report.journalError.empty()) {
        return kOutputError;
    }
    return report.failed == 0 ? kOk : kFailures;
}

} // namespace quorvel
