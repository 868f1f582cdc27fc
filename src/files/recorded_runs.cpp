#include "files/recorded_runs.hpp"

#include "files/folder_listing.hpp"
#include "files/rename_steps.hpp"
#include "files/run_messages.hpp"
#include "files/verify.hpp"

#include <algorithm>
#include <fcntl.h>

namespace quorvel {

namespace {

// A folder as the commands find it: open, identified and listed.
struct OpenedFolder {
    UniqueFd fd;
    FolderIdentity identity;
    FolderListing listing;
};

std::optional<OpenedFolder> Open(const std::string& path, std::string& error) {
    OpenedFolder folder;
    int code = 0;
    folder.fd = OpenFolder(path, code);
    if (code == 0) {
        if (auto identity = IdentifyFolder(folder.fd.Get(), path)) {
            folder.identity = std::move(*identity);
            code = ListFolder(folder.fd.Get(), folder.listing);
        } else {
            code = errno;
        }
    }
    if (code != 0) {
        error = FolderUnreadableText(path, code);
        return std::nullopt;
    }
    return folder;
}

bool SameFolder(const FolderIdentity& a, const FolderIdentity& b) {
    return a.device == b.device && a.inode == b.inode;
}

// The journals of `identity`, newest first, as they stand (reconciled when open).
template <typename Keep>
std::optional<Journal> NewestJournal(const FolderIdentity& identity, const std::string& journalFolder,
                                     const Keep& keep) {
    std::vector<std::string> paths = ListJournals(journalFolder);
    std::reverse(paths.begin(), paths.end());
    for (const std::string& path : paths) {
        auto journal = ReadJournal(path);
        if (journal && SameFolder(journal->folder, identity)) {
            if (auto verdict = keep(*journal)) {
                if (!*verdict) {
                    return std::nullopt;
                }
                return journal; // moved, not copied
            }
        }
    }
    return std::nullopt;
}

void Tally(TakeBackReport& report) {
    report.done = report.failed = 0;
    for (const RunFile& f : report.files) {
        report.done += f.outcome == RenameOutcome::Renamed ? 1 : 0;
        report.failed += f.outcome == RenameOutcome::Failed ? 1 : 0;
    }
    report.status = report.failed == 0 ? TakeBackReport::Status::Done : TakeBackReport::Status::Failures;
}

// Locks the journal for a session and reads it again under the lock. When the
// session before did not close, what the folder tells of its last steps is written
// down first, so that the records are whole again.
std::optional<JournalWriter> Lock(Journal& journal, const OpenedFolder& folder, std::string_view session,
                                  TakeBackReport& report) {
    auto writer = JournalWriter::Reopen(journal.path, report.error);
    if (!writer) {
        report.status = TakeBackReport::Status::JournalBusy;
        return std::nullopt;
    }
    // A journal only grows: one that kept its size since it was read holds nothing
    // new, and one that was closed was read as recorded (nothing reconciled).
    if (journal.open || writer->FileSize() != journal.bytes) {
        if (auto again = ReadJournal(journal.path)) {
            journal = std::move(*again);
        }
    }
    const std::vector<StepState> recorded = journal.state;
    ReconcileWithFolder(journal, folder.listing);
    for (std::size_t s = 0; s < recorded.size(); ++s) {
        if (journal.state[s] != recorded[s]) {
            journal.state[s] == StepState::Done ? writer->Done(s) : writer->Reverted(s);
        }
    }
    writer->Begin(session);
    report.journal = journal.path;
    return writer;
}

} // namespace

RecordedState StateOf(const Journal& journal) {
    if (journal.undone) {
        return RecordedState::Undone;
    }
    if (journal.undoStarted) {
        return RecordedState::PartlyUndone;
    }
    return journal.counts ? RecordedState::Complete : RecordedState::Interrupted;
}

bool HasRunToUndo(const std::string& path, const std::string& journalFolder) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const auto identity = fd.Valid() ? IdentifyFolder(fd.Get(), path) : std::nullopt;
    if (!identity) {
        return false;
    }
    std::vector<std::string> paths = ListJournals(journalFolder);
    std::reverse(paths.begin(), paths.end());
    for (const std::string& journalPath : paths) {
        const auto about = ReadJournalFolder(journalPath);
        if (!about || !SameFolder(*about, *identity)) {
            continue;
        }
        if (const auto journal = ReadJournal(journalPath);
            journal && !journal->undone && journal->everRenamed > 0) {
            return true;
        }
    }
    return false;
}

std::optional<Journal> NewestInterruptedRun(const std::string& journalFolder) {
    std::vector<std::string> paths = ListJournals(journalFolder);
    std::reverse(paths.begin(), paths.end());
    for (const std::string& journalPath : paths) {
        if (JournalClosed(journalPath)) {
            continue; // a session that ended: the run is not left in the middle
        }
        if (auto journal = ReadJournal(journalPath);
            journal && StateOf(*journal) == RecordedState::Interrupted) {
            return journal;
        }
    }
    return std::nullopt;
}

TakeBackReport UndoLastRun(const std::string& path, const std::string& journalFolder,
                           const ProgressHook& progress) {
    TakeBackReport report;
    auto folder = Open(path, report.error);
    if (!folder) {
        report.status = TakeBackReport::Status::FolderUnreadable;
        return report;
    }
    // The newest run that is not undone and left something done.
    auto journal = NewestJournal(folder->identity, journalFolder, [&](Journal& j) -> std::optional<bool> {
        if (j.undone) {
            return std::nullopt;
        }
        ReconcileWithFolder(j, folder->listing);
        return j.DoneSteps() > 0 ? std::optional<bool>(true) : std::nullopt;
    });
    if (!journal) {
        return report;
    }
    auto writer = Lock(*journal, *folder, "undo", report);
    if (!writer) {
        return report;
    }
    Renamer renamer(folder->fd.Get());
    FolderView view(folder->listing);
    report.stopped =
        UndoSteps(journal->files, journal->steps, journal->state, renamer, &*writer, view, progress);
    if (journal->DoneSteps() == 0) {
        writer->Undone();
    }
    writer->Close();
    report.files = std::move(journal->files);
    for (RunFile& f : report.files) {
        std::swap(f.oldName, f.newName);
    }
    Tally(report);
    return report;
}

TakeBackReport ResumeLastRun(const std::string& path, const std::string& journalFolder,
                             const ProgressHook& progress) {
    TakeBackReport report;
    auto folder = Open(path, report.error);
    if (!folder) {
        report.status = TakeBackReport::Status::FolderUnreadable;
        return report;
    }
    // Only the newest run of the folder, and only when it did not end.
    auto journal =
        NewestJournal(folder->identity, journalFolder,
                      [](const Journal& j) -> std::optional<bool> { return !j.counts && !j.undoStarted; });
    if (!journal) {
        return report;
    }
    auto writer = Lock(*journal, *folder, "resume", report);
    if (!writer) {
        return report;
    }
    Renamer renamer(folder->fd.Get());
    FolderView view(folder->listing);
    std::vector<bool> doneBefore(journal->files.size(), false);
    for (std::size_t i = 0; i < journal->files.size(); ++i) {
        doneBefore[i] = journal->files[i].outcome == RenameOutcome::Renamed;
    }
    report.stopped =
        RenameSteps(journal->files, journal->steps, journal->state, renamer, &*writer, &view, progress);
    FolderListing after;
    if (ListFolder(folder->fd.Get(), after) == 0) {
        PutBack(journal->files, journal->steps, journal->state,
                Verify(journal->files, after, folder->fd.Get(), &*writer), renamer, &*writer);
    }
    writer->Finished(journal->Counts());
    writer->Close();
    report.files = std::move(journal->files);
    // What this session did: files already renamed before it are left out.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < report.files.size(); ++i) {
        if (!doneBefore[i] || report.files[i].outcome != RenameOutcome::Renamed) {
            report.files[kept++] = std::move(report.files[i]);
        }
    }
    report.files.resize(kept);
    Tally(report);
    return report;
}

std::vector<Journal> History(const std::string& path, const std::string& journalFolder) {
    std::optional<FolderIdentity> only;
    if (!path.empty()) {
        int error = 0;
        const UniqueFd fd = OpenFolder(path, error);
        if (!fd.Valid() || !(only = IdentifyFolder(fd.Get(), path))) {
            return {};
        }
    }
    std::vector<Journal> runs;
    for (const std::string& journalPath : ListJournals(journalFolder)) {
        auto journal = ReadJournal(journalPath);
        if (journal && (!only || SameFolder(journal->folder, *only))) {
            runs.push_back(std::move(*journal));
        }
    }
    return runs;
}

} // namespace quorvel
