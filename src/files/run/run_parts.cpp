#include "files/run/run_parts.hpp"

namespace quorvel {

RunCounts CountsOf(std::span<const RunFile> files) {
    RunCounts counts;
    for (const RunFile& f : files) {
        (f.outcome == RenameOutcome::Renamed     ? counts.renamed
         : f.outcome == RenameOutcome::Unchanged ? counts.unchanged
                                                 : counts.failed)++;
    }
    return counts;
}

void StopAll(std::span<RunFile> run, const std::string& reason) {
    for (RunFile& f : run) {
        if (f.verdict == Verdict::Ready) {
            f.outcome = RenameOutcome::Failed;
            f.reason = reason;
        }
    }
}

void StampsOfMovingFiles(std::span<RunFile> run, const std::vector<Step>& steps, int dirfd, StampKind kind,
                         std::span<FileStamp> stamps) {
    for (const Step& step : steps) {
        RunFile& f = run[step.file];
        if (step.kind == StepKind::FromTemporary || (kind == StampKind::None && f.inode != 0)) {
            continue; // its file was seen at its first step, or its inode number alone tells it
        }
        if (const auto now = IdentifyEntry(dirfd, f.oldName, kind)) {
            f.inode = now->inode;
            stamps[step.file] = now->stamp;
        }
    }
}

} // namespace quorvel
