// The runs kept in the journals: taking back the last run of a folder, finishing an
// interrupted one, and the list of them.
#pragma once

#include "files/journal.hpp"
#include "files/progress.hpp"
#include "files/run_file.hpp"

#include <string>
#include <vector>

namespace quorvel {

enum class RecordedState {
    Complete,    // the run reached its end
    Interrupted, // killed or crashed before its end
    Undone,      // every step taken back
    PartlyUndone // an undo left steps in place
};

RecordedState StateOf(const Journal& journal);

struct TakeBackReport {
    enum class Status {
        Done,             // every file concerned went where it should
        Failures,         // some could not (each with its reason)
        NothingToDo,      // no run of the folder to undo or to resume
        FolderUnreadable, // `error` says why
        JournalBusy,      // another process writes that journal; `error` says so
    } status = Status::NothingToDo;
    std::vector<RunFile> files; // the files the run moves; outcome Renamed: done now
    std::size_t done = 0;
    std::size_t failed = 0;
    std::string journal; // the journal of the run taken back or resumed
    std::string error;
    bool stopped = false; // the progress hook stopped it; the files not reached are Unchanged
};

// Undoes the most recent run of `folder` that is not undone yet and renamed
// anything, completed or interrupted: every step that was done goes back, newest
// first; nothing is ever replaced, and a file renamed by someone else since, or
// whose old name is taken, fails alone. A run whose undo left steps in place stays
// the run to undo. In a report, `oldName` is where a file was and `newName` where it
// goes back to.
TakeBackReport UndoLastRun(const std::string& folder, const std::string& journalFolder,
                           const ProgressHook& progress = {});

// Finishes the most recent run of `folder` when it was interrupted: the steps not
// done yet, with the same rules as the run.
TakeBackReport ResumeLastRun(const std::string& folder, const std::string& journalFolder,
                             const ProgressHook& progress = {});

// Whether `folder` has a run UndoLastRun would take back: one that renamed
// something and is not undone. Only the journals of the folder are read whole.
bool HasRunToUndo(const std::string& folder, const std::string& journalFolder);

// The newest run, of any folder, that was interrupted and neither finished nor
// taken back since.
std::optional<Journal> NewestInterruptedRun(const std::string& journalFolder);

// The journals of every folder, or of `folder` only (when not empty), oldest first.
// Journals that cannot be read are left out.
std::vector<Journal> History(const std::string& folder, const std::string& journalFolder);

} // namespace quorvel
