// Stage of a run: the journal, which makes every run recoverable and undoable.
//
// Contract: before the first rename, the journal file of the run holds the folder
// (path as bytes, device and inode) and every step of the plan with the inode of the
// file it moves, names as exact bytes; the file and the folder that holds it are
// synced before the run goes on. What became of the steps is appended while the
// renames are done, in batches of plain writes, and synced once when the run (or the
// resume, or the undo) ends. After a kill or a crash the records may lag behind the
// disk: ReconcileWithFolder reads the rest from the folder. The last 50 journals are
// kept.
//
// One journal is a text file of lines; names are escaped (every byte outside "!".."~"
// and the backslash as \xHH):
//     quorvel journal 1
//     folder DEV INO PATH
//     begun SECONDS SELECTED UNCHANGED FAILED
//     file INO OLD NEW TEMPORARY|-     one per file that moves
//     step FILE M|H|F AFTER            one per step, in execution order
//     planned FILES STEPS              the plan is complete
// then records: "d STEP" done, "r STEP" taken back, "i FILE INO" the file's inode
// now, "end RENAMED UNCHANGED FAILED", "resume", "undo", "undone", "closed".
#pragma once

#include "files/folder_listing.hpp"
#include "files/run_file.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// Where journals are kept: $XDG_STATE_HOME/quorvel when that is an absolute path,
// otherwise ~/.local/state/quorvel.
std::string JournalFolder();

struct FolderIdentity {
    std::string path; // absolute, as bytes
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The identity of the folder open as `dirfd`, known by `path`.
std::optional<FolderIdentity> IdentifyFolder(int dirfd, std::string path);

enum class StepState : std::uint8_t { NotDone, Done };

struct RunCounts {
    std::size_t renamed = 0;
    std::size_t unchanged = 0;
    std::size_t failed = 0;
};

// A journal as read back.
struct Journal {
    std::string path;        // of the journal file
    std::uint64_t bytes = 0; // the size of the file when it was read, torn last line included
    FolderIdentity folder;
    std::int64_t begun = 0;     // seconds since the epoch
    std::size_t selected = 0;   // files in the run's selection
    std::size_t unchanged = 0;  // of them, left as they were by the plan
    std::size_t refused = 0;    // of them, refused by the checks before the run
    std::vector<RunFile> files; // the files that move (Verdict::Ready)
    std::vector<Step> steps;
    std::vector<StepState> state;    // per step, as the records tell
    std::optional<RunCounts> counts; // from the last "end"
    // Files recorded under their new names at some time, undone since or not (the
    // records of a run killed in the middle may lag behind what it did).
    std::size_t everRenamed = 0;
    bool undone = false;      // an undo took every step back
    bool undoStarted = false; // an undo was tried
    // The last session (run, resume or undo) ended without "closed": what it did
    // last may be missing from the records.
    bool open = true;

    std::size_t DoneSteps() const;
    // What the run did, from the steps: files under their new names, and the rest.
    RunCounts Counts() const;
};

// Reads a journal; nothing when the file cannot be read or its plan is incomplete
// or malformed (a torn last record is left out).
std::optional<Journal> ReadJournal(const std::string& path);

// The folder a journal is about, read from its first lines only.
std::optional<FolderIdentity> ReadJournalFolder(const std::string& path);
// Whether the last session of a journal closed it, read from its end only.
bool JournalClosed(const std::string& path);

// The journals in `folder`, oldest first.
std::vector<std::string> ListJournals(const std::string& folder);

// For a journal whose last session did not close: the state of each file's steps
// read from the folder as it is now, where the file's inode is found under one of
// its names (old, temporary or new). Files found nowhere keep what the records say.
void ReconcileWithFolder(Journal& journal, const FolderListing& now);

class JournalWriter {
public:
    // Writes the plan of a new run to a new journal in `folder` (made when missing),
    // `files` being all the files of the run with their verdicts,
    // syncs it and the folder, and removes the journals beyond the last 50. Only the
    // files that steps move are written. Nothing, with `error` set, when the journal
    // cannot be written.
    static std::optional<JournalWriter> Create(const std::string& folder, const FolderIdentity& identity,
                                               std::size_t selected, const std::vector<RunFile>& files,
                                               const std::vector<Step>& steps, std::string& error);
    // Opens a journal to add the records of a resume or an undo. A journal is
    // locked while it is written: nothing, with `error` set, when another process
    // holds it.
    static std::optional<JournalWriter> Reopen(const std::string& path, std::string& error);

    JournalWriter(JournalWriter&&) noexcept = default;
    JournalWriter& operator=(JournalWriter&&) noexcept = default;
    ~JournalWriter();

    // Step numbers and file numbers are those of the plan given to Create, or of
    // the journal that was reopened.
    void Done(std::size_t step);
    void Reverted(std::size_t step);
    void Inode(std::size_t file, std::uint64_t inode);
    // Starts a session on a reopened journal: "resume" or "undo".
    void Begin(std::string_view session);
    void Finished(const RunCounts& counts);
    void Undone();
    // Writes what is pending, syncs and marks the session closed.
    bool Close();
    // Writes what is pending (no sync).
    bool Flush();
    // The size of the journal file now (what is pending left out).
    std::optional<std::uint64_t> FileSize() const;

    const std::string& Path() const { return path_; }
    // File numbers of the journal for the run's file numbers (kNoFile for files
    // that do not move).
    const std::vector<std::uint32_t>& FileNumbers() const { return fileNumbers_; }

private:
    JournalWriter(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
    void Record(std::string_view line);

    UniqueFd fd_;
    std::string path_;
    std::string pending_;
    std::vector<std::uint32_t> fileNumbers_;
    bool failed_ = false;
    bool closed_ = false;
};

} // namespace quorvel
