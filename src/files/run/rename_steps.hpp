// Stage of a run: the renames, and the only stage besides the journal that changes
// the disk.
//
// Contract: RenameSteps performs the steps in order with a Renamer (nothing is ever
// replaced), skipping the steps `state` says are done, and records each step done
// or taken back in the journal. A step runs only once the step that frees its target
// is done: a file whose step fails keeps its name, and so does every file that
// waited for it, with that reason. A cycle is done whole or not at all: when one of
// its steps fails, the steps done are taken back, newest first. With a FolderView
// (resume, undo), a step moves a name only while it still holds the file the journal
// knows: the same inode, and the same stamp where the journal has one (a new file
// given the inode number of a deleted one is "ce n'est plus le même fichier"). Sets
// the outcome of every file the steps move.
#pragma once

#include "files/listing/folder_listing.hpp"
#include "files/run/file_identity.hpp"
#include "files/run/journal.hpp"
#include "files/run/journal_writer.hpp"
#include "files/run/progress.hpp"
#include "files/run/run_file.hpp"
#include "files/run/safe_rename.hpp"
#include "files/tables/index_table.hpp"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

// What tells the files of a journal from others: the stamp of each (file_identity),
// checked on the entry of the folder open as `dirfd` before it is moved.
struct StampCheck {
    int dirfd = -1;
    std::span<const FileStamp> stamps; // per file; none: the inode alone tells
};

// Which inode each name of a folder holds, from a listing, kept up to date as the
// steps move names.
class FolderView {
public:
    explicit FolderView(const FolderListing& listing, StampCheck stamps = {});
    FolderView(const FolderView&) = delete; // its table reads the names through `this`
    FolderView& operator=(const FolderView&) = delete;
    // Whether `name` holds the file `inode` (any file when the inode is unknown).
    bool Holds(std::string_view name, std::uint64_t inode) const;
    bool Has(std::string_view name) const;
    // Whether the entry `name` is file `file` of the journal, `inode` with its stamp,
    // as the folder tells now. True when the journal has no stamp for it.
    bool SameFile(const std::string& name, std::size_t file, std::uint64_t inode) const;
    void Moved(const std::string& from, const std::string& to);

private:
    // Name `i` of the view: entry `i` of the listing, then the names moves added.
    struct NameOf {
        const FolderView* view;
        std::string_view operator()(std::uint32_t i) const {
            const std::size_t n = view->listing_.Count();
            return i < n ? view->listing_.Name(i) : std::string_view(view->added_[i - n]);
        }
    };

    std::optional<std::uint64_t> InodeOf(std::string_view name) const;

    const FolderListing& listing_;
    StampCheck stamps_;
    std::vector<std::string> added_; // names the listing does not have, given a file by a move
    IndexTable<NameOf> names_;
    std::vector<std::optional<std::uint64_t>> inodes_; // per name, now; nullopt: gone
};

// With a `progress` hook that says stop, the steps not reached stay undone and
// their files Unchanged, with that reason. Returns whether it was stopped.
bool RenameSteps(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
                 Renamer& renamer, JournalWriter& journal, const ProgressHook& progress = {});
// The same, each step checked first against `view` (the folder as a journal found
// it), which follows the renames.
bool RenameSteps(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
                 Renamer& renamer, JournalWriter& journal, FolderView& view,
                 const ProgressHook& progress = {});

// Takes back every step that `state` says is done, newest first (which walks cycles
// back through their temporary names). A step that cannot go back (its file renamed
// by someone else since, or its old name taken meanwhile) fails alone. Outcome per
// file: Renamed when it is back under its old name, Failed when a step of it stays
// done, Unchanged when none was done. Stopped by `progress`, the files not reached
// stay renamed, Unchanged with that reason. Returns whether it was stopped.
bool UndoSteps(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
               Renamer& renamer, JournalWriter& journal, FolderView& view, const ProgressHook& progress = {});

// Puts the files `which` back under their old names, straight from their new ones.
void PutBack(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
             const std::vector<std::uint32_t>& which, Renamer& renamer, JournalWriter& journal);

} // namespace quorvel
