// The runs kept in the journals: taking a run back, finishing an interrupted one,
// leaving one as it is, and the list of them.
//
// Every journal is checked before anything is renamed from it (journal.hpp): one
// that fails is named in `warnings` and left out, and nothing of it is done. The
// folder of the journals is checked too (journal_store.hpp): when it is not safe,
// nothing is read from it. Undo and resume always take the state of the steps from
// the folder as it is now; they move a name only while it holds the very file the
// journal knows (inode and stamp, file_identity.hpp), through the folder's
// descriptor, never replacing anything.
//
// Runs of one folder are taken back newest first: a run cannot be taken back, nor
// finished, while a later run of the same folder still has renames in place
// (kLaterRunText). Finishing an older run is refused because its steps were planned
// against the folder as it was before the later run: the names it would give may
// since belong to the later run's files, or be names the later run gave on purpose.
// Once the later runs are taken back, the folder is again as the older run left it.
#pragma once

#include "files/run/journal.hpp"
#include "files/run/progress.hpp"
#include "files/run/run_file.hpp"

#include <string>
#include <vector>

namespace quorvel {

// A file of a cycle of renames that stays under its temporary name.
struct TemporaryFile {
    std::string name; // its name before the run
    std::string path; // where it is now: the folder and the temporary name
};

struct TakeBackReport {
    enum class Status {
        Done,             // every file concerned went where it should
        Failures,         // some could not (each with its reason)
        NothingToDo,      // no run of the folder to undo or to resume
        FolderUnreadable, // `error` says why
        JournalBusy,      // another process writes that journal; `error` says so
        Refused, // the journal or its folder cannot be used, or a later run is in the way; `error` says why
    } status = Status::NothingToDo;
    std::vector<RunFile> files; // the files the run moves; outcome Renamed: done now
    std::size_t done = 0;
    std::size_t failed = 0;
    std::string journal; // the journal of the run taken back or resumed
    std::string error;
    // Not empty when the journal could not be completed: "journal incomplet : ...".
    // The renames were done all the same.
    std::string journalError;
    std::vector<std::string> warnings;         // journals left out, one line each
    std::vector<TemporaryFile> underTemporary; // files left under a temporary name
    bool stopped = false; // the progress hook stopped it; the files not reached are Unchanged
};

// ---- The runs of a folder, for quorvel-cli ------------------------------------

// Undoes the most recent run of `folder` that is not undone yet and has renames in
// place, completed or interrupted: every step that was done goes back, newest
// first; nothing is ever replaced, and a file renamed by someone else since, or
// whose old name is taken, fails alone. A run whose undo left steps in place stays
// the run to undo. In a report, `oldName` is where a file was and `newName` where it
// goes back to.
TakeBackReport UndoLastRun(const FolderPath& folder, const std::string& journalFolder,
                           const ProgressHook& progress = {});

// Finishes the most recent run of `folder` when it was interrupted: the steps not
// done yet, with the same rules as the run. The report holds what this session did.
TakeBackReport ResumeLastRun(const FolderPath& folder, const std::string& journalFolder,
                             const ProgressHook& progress = {});

// Whether `folder` has a run UndoLastRun would take back.
bool HasRunToUndo(const FolderPath& folder, const std::string& journalFolder);

// ---- One given run, for the window's question at start-up ----------------------

// A run left in the middle (killed, crashed, or whose journal could not be
// completed) and neither finished, taken back nor settled since.
struct InterruptedRun {
    std::string journal;       // what UndoRun, ResumeRun and ForgetRun take
    FolderPath folder;         // the folder's path as recorded (absolute)
    std::int64_t begun = 0;    // seconds since the epoch
    std::size_t selected = 0;  // files in the run's selection
    std::size_t files = 0;     // of them, the files the run moves
    std::size_t renamed = 0;   // of those, under their new names now
    std::size_t temporary = 0; // under a temporary name now
    bool fromDisk = false;     // renamed and temporary were read from the folder, not from the records
    bool folderThere = false;  // the recorded path holds the run's folder
    bool newest = false;       // no later run of the folder was recorded
    bool laterInPlace = false; // a later run of the folder has renames in place: undo and finish are refused
};

struct InterruptedRuns {
    std::vector<InterruptedRun> runs;  // newest first
    std::vector<std::string> warnings; // journals left out, or the folder of the journals, one line each
};

// The interrupted runs of every folder, with their counts read from the disk.
InterruptedRuns ListInterruptedRuns(const std::string& journalFolder);

// Takes back the run of `journal` (a path InterruptedRun::journal or
// RunReport::journals gives), whatever its state; its folder is opened by its
// recorded path (never through a symbolic link as its last part) and has to be the
// folder of the run. Refused while a later run of the folder has renames in place.
TakeBackReport UndoRun(const std::string& journal, const std::string& journalFolder,
                       const ProgressHook& progress = {});

// Finishes the run of `journal` when it did not end (interrupted or settled).
// Refused while a later run of the folder has renames in place.
TakeBackReport ResumeRun(const std::string& journal, const std::string& journalFolder,
                         const ProgressHook& progress = {});

// Marks the run of `journal` settled: it is never offered again, and nothing is
// renamed. It can still be taken back or finished by name. False, with `error`
// set, when the journal cannot be written.
bool ForgetRun(const std::string& journal, const std::string& journalFolder, std::string& error);

// The newest run, of any folder, that was interrupted and neither finished, taken
// back nor settled since; its count of files renamed read from the folder. (The
// window's question until it lists them all with ListInterruptedRuns.)
std::optional<Journal> NewestInterruptedRun(const std::string& journalFolder);

// ---- History ----------------------------------------------------------------------

// A run as history shows it, read from the journal's summary (its plan is not kept).
struct RecordedRun {
    std::string journal;
    FolderPath folder; // as recorded
    std::int64_t begun = 0;
    std::size_t selected = 0;
    std::size_t files = 0; // files the run moves
    RecordedState state = RecordedState::Complete;
    std::optional<RunCounts> counts; // what the run said at its end
    // For a run that did not end: files under their new names now, read from the
    // folder when it is there (else from the records).
    std::size_t renamed = 0;
    bool fromDisk = false;
};

struct RunHistory {
    std::vector<RecordedRun> runs;     // oldest first
    std::vector<std::string> warnings; // journals left out, one line each
};

// The runs of every folder, or of `folder` only (when not empty), oldest first.
RunHistory History(const FolderPath& folder, const std::string& journalFolder);

} // namespace quorvel
