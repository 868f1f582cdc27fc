#include "batch/run_output.hpp"

#include "batch/exit_status.hpp"
#include "batch/whole_folder.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/message_language.hpp"

#include <unistd.h>

namespace quorvel {

bool WritePlan(const RunReport& report, const TListFiles& files, bool null) {
    Output out(STDOUT_FILENO);
    for (const Step& step : report.steps) {
        const TProjectFile& record = files.Items(report.files[step.file].index);
        WritePathInScan(out, record, StepFrom(step, report.files));
        out.Put(null ? '\0' : '\t');
        WritePathInScan(out, record, StepTo(step, report.files));
        out.Put(null ? '\0' : '\n');
    }
    return out.Flush();
}

std::string ReportLine(const RunFile& file, const TListFiles& files) {
    if (file.outcome != RenameOutcome::Failed && file.note.empty()) {
        return {};
    }
    const TProjectFile& record = files.Items(file.index);
    const std::string oldPath = PathInScan(record, file.oldName);
    const std::string newPath = PathInScan(record, file.newName);
    return file.outcome == RenameOutcome::Failed ? FailureLine(oldPath, newPath, file.reason)
                                                 : WarningLine(oldPath, newPath, file.note);
}

std::string SummaryText(std::size_t files, std::size_t renamed, std::size_t unchanged, std::size_t failed,
                        bool dryRun) {
    std::string summary = CountText(files, "fichier", "fichiers");
    if (files != 0) {
        summary = FormatText(Tr("%s : %s, %s, %s"), {summary,
                                                     dryRun ? CountText(renamed, "à renommer", "à renommer")
                                                            : CountText(renamed, "renommé", "renommés"),
                                                     CountText(unchanged, "inchangé", "inchangés"),
                                                     CountText(failed, "échec", "échecs")});
    }
    if (dryRun) {
        summary += Tr(" (simulation : rien n'a été modifié)");
    }
    return summary;
}

std::optional<int> StatusOfStop(const RunReport& report) {
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
    return std::nullopt;
}

} // namespace quorvel
