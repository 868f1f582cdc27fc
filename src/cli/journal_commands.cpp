#include "cli/journal_commands.hpp"

#include "cli/cli.hpp"
#include "cli/command_line.hpp"
#include "files/history/recorded_runs.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/shown_name.hpp"

#include <ctime>
#include <string>
#include <unistd.h>

namespace quorvel::cli {

namespace {

// The operand FOLDER of undo and resume; an exit status when the command line is wrong.
std::optional<int> FolderOperand(const Invocation& inv, std::string_view command, FolderPath& folder) {
    if (inv.operands.size() != 1) {
        return UsageError(FormatText(Tr("%s attend un DOSSIER"), {command}), command);
    }
    folder = FolderPath(std::string(inv.operands[0]));
    return std::nullopt;
}

enum class TakeBack { Undo, Resume };

// The journals left out, one line each.
void Warn(const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings) {
        Say(FormatText(Tr("attention : %s"), {warning}));
    }
}

// The failures one by one, then the summary; the exit status.
int Report(const TakeBackReport& report, TakeBack what) {
    Warn(report.warnings);
    switch (report.status) {
    case TakeBackReport::Status::FolderUnreadable:
        Say(report.error);
        return kCannotOpen;
    case TakeBackReport::Status::JournalBusy:
    case TakeBackReport::Status::Refused:
        Say(FormatText(Tr("quorvel-cli : %s"), {report.error}));
        return kFailures;
    case TakeBackReport::Status::NothingToDo:
        Say(what == TakeBack::Undo ? Tr("rien à annuler") : Tr("rien à reprendre"));
        return kFailures;
    case TakeBackReport::Status::Done:
    case TakeBackReport::Status::Failures:
        break;
    }
    Output err(STDERR_FILENO);
    for (const RunFile& f : report.files) {
        if (f.outcome == RenameOutcome::Failed) {
            err.Write(FailureLine(f.oldName, f.newName, f.reason));
            err.Put('\n');
        }
    }
    for (const TemporaryFile& f : report.underTemporary) {
        err.Write(FormatText(Tr("attention : %s"), {UnderTemporaryText(f.name, f.path)}));
        err.Put('\n');
    }
    const std::string done = what == TakeBack::Undo
                                 ? CountText(report.done, "fichier remis sous son ancien nom",
                                             "fichiers remis sous leur ancien nom")
                                 : CountText(report.done, "fichier renommé", "fichiers renommés");
    err.Write(done + ", " + CountText(report.failed, "échec", "échecs") + "\n");
    if (!report.journalError.empty()) {
        err.Write(report.journalError + "\n");
        err.Flush();
        return kOutputError;
    }
    return report.failed == 0 ? kOk : kFailures;
}

std::string_view StateText(RecordedState state) {
    switch (state) {
    case RecordedState::Complete:
        return Tr("terminé");
    case RecordedState::Interrupted:
        return Tr("interrompu");
    case RecordedState::Undone:
        return Tr("annulé");
    case RecordedState::PartlyUndone:
        return Tr("annulé en partie");
    case RecordedState::Settled:
        return Tr("laissé en l'état");
    }
    return "";
}

std::string LocalTime(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
    ::localtime_r(&t, &local);
    char buffer[32];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local));
}

} // namespace

int Undo(const Invocation& inv) {
    FolderPath folder;
    if (const auto status = FolderOperand(inv, "undo", folder)) {
        return *status;
    }
    return Report(UndoLastRun(folder, JournalFolder()), TakeBack::Undo);
}

int Resume(const Invocation& inv) {
    FolderPath folder;
    if (const auto status = FolderOperand(inv, "resume", folder)) {
        return *status;
    }
    return Report(ResumeLastRun(folder, JournalFolder()), TakeBack::Resume);
}

int History(const Invocation& inv) {
    if (inv.operands.size() > 1) {
        return UsageError(Tr("history attend au plus un DOSSIER"), "history");
    }
    const FolderPath folder = inv.operands.empty() ? FolderPath() : FolderPath(std::string(inv.operands[0]));
    if (!folder.Empty()) {
        int code = 0;
        if (!OpenFolder(folder, code).Valid()) {
            Say(FolderUnreadableText(folder.Bytes(), code));
            return kCannotOpen;
        }
    }
    const RunHistory history = quorvel::History(folder, JournalFolder());
    Warn(history.warnings);
    Output out(STDOUT_FILENO);
    for (const RecordedRun& run : history.runs) {
        // What the run did when it ended; for a run that did not end, how far it
        // went, as the folder tells.
        std::string what;
        if (run.counts) {
            what = CountText(run.counts->renamed, "renommé", "renommés") + ", " +
                   CountText(run.counts->unchanged, "inchangé", "inchangés") + ", " +
                   CountText(run.counts->failed, "échec", "échecs");
        } else {
            what = FormatText(Tr("%s sur %s"),
                              {CountText(run.renamed, "renommé", "renommés"), std::to_string(run.files)});
        }
        out.Write(LocalTime(run.begun) + "  " + std::string(StateText(run.state)) + "  " +
                  FormatText(Tr("%s : %s"), {CountText(run.selected, "fichier", "fichiers"), what}) + "  " +
                  Quoted(run.folder.Bytes()) + "\n");
    }
    return out.Flush() ? kOk : kOutputError;
}

} // namespace quorvel::cli
