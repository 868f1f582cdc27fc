#include "cli/journal_commands.hpp"

#include "cli/cli.hpp"
#include "cli/command_line.hpp"
#include "files/folder_listing.hpp"
#include "files/recorded_runs.hpp"
#include "files/run_messages.hpp"
#include "files/shown_name.hpp"

#include <ctime>
#include <string>
#include <unistd.h>

namespace quorvel::cli {

namespace {

// The operand FOLDER of undo and resume; an exit status when the command line is wrong.
std::optional<int> FolderOperand(std::span<const std::string_view> args, std::string_view command,
                                 std::string& folder) {
    std::string error;
    const auto inv = ParseOptions(args, error);
    if (!inv) {
        return UsageError(error);
    }
    if (inv->operands.size() != 1) {
        return UsageError(std::string(command) + " attend un DOSSIER");
    }
    folder = inv->operands[0];
    return std::nullopt;
}

// The failures one by one, then the summary; the exit status.
int Report(const TakeBackReport& report, std::string_view nothing, std::string_view doneSingular,
           std::string_view donePlural) {
    switch (report.status) {
    case TakeBackReport::Status::FolderUnreadable:
        Say(report.error);
        return kCannotOpen;
    case TakeBackReport::Status::JournalBusy:
        Say("quorvel-cli : " + report.error);
        return kFailures;
    case TakeBackReport::Status::NothingToDo:
        Say(nothing);
        return kFailures;
    case TakeBackReport::Status::Done:
    case TakeBackReport::Status::Failures:
        break;
    }
    Output err(STDERR_FILENO);
    for (const RunFile& f : report.files) {
        if (f.outcome == RenameOutcome::Failed) {
            err.Write("échec : " + ShownName(f.oldName) + " -> " + ShownName(f.newName) + " : " + f.reason +
                      "\n");
        }
    }
    err.Write(CountText(report.done, doneSingular, donePlural) + ", " +
              CountText(report.failed, "échec", "échecs") + "\n");
    return report.failed == 0 ? kOk : kFailures;
}

std::string_view StateText(RecordedState state) {
    switch (state) {
    case RecordedState::Complete:
        return "terminé";
    case RecordedState::Interrupted:
        return "interrompu";
    case RecordedState::Undone:
        return "annulé";
    case RecordedState::PartlyUndone:
        return "annulé en partie";
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

int Undo(std::span<const std::string_view> args) {
    std::string folder;
    if (const auto status = FolderOperand(args, "undo", folder)) {
        return *status;
    }
    return Report(UndoLastRun(folder, JournalFolder()), "rien à annuler", "fichier remis sous son ancien nom",
                  "fichiers remis sous leur ancien nom");
}

int Resume(std::span<const std::string_view> args) {
    std::string folder;
    if (const auto status = FolderOperand(args, "resume", folder)) {
        return *status;
    }
    return Report(ResumeLastRun(folder, JournalFolder()), "rien à reprendre", "fichier renommé",
                  "fichiers renommés");
}

int History(std::span<const std::string_view> args) {
    std::string error;
    const auto inv = ParseOptions(args, error);
    if (!inv) {
        return UsageError(error);
    }
    if (inv->operands.size() > 1) {
        return UsageError("history attend au plus un DOSSIER");
    }
    const std::string folder = inv->operands.empty() ? std::string() : std::string(inv->operands[0]);
    if (!folder.empty()) {
        int code = 0;
        if (!OpenFolder(folder, code).Valid()) {
            Say(FolderUnreadableText(folder, code));
            return kCannotOpen;
        }
    }
    Output out(STDOUT_FILENO);
    for (const Journal& run : quorvel::History(folder, JournalFolder())) {
        // What the run did when it ended; for a run that did not end, how far it went.
        std::string what;
        if (run.counts) {
            what = CountText(run.counts->renamed, "renommé", "renommés") + ", " +
                   CountText(run.counts->unchanged, "inchangé", "inchangés") + ", " +
                   CountText(run.counts->failed, "échec", "échecs");
        } else {
            what = CountText(run.everRenamed, "renommé", "renommés") + " sur " +
                   std::to_string(run.files.size());
        }
        out.Write(LocalTime(run.begun) + "  " + std::string(StateText(StateOf(run))) + "  " +
                  CountText(run.selected, "fichier", "fichiers") + " : " + what + "  " +
                  ShownName(run.folder.path) + "\n");
    }
    return out.Flush() ? kOk : kOutputError;
}

} // namespace quorvel::cli
