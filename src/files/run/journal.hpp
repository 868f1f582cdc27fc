// Stage of a run: the journal, which makes every run recoverable and undoable.
//
// Contract: before the first rename, the journal file of the run holds the folder
// (its real path as bytes, device, inode and stamp) and every step of the plan with
// the inode and stamp of the file it moves (file_identity.hpp), names as exact bytes;
// the file and the folder that holds it are synced before the run goes on. What
// became of the steps is appended while the renames are done, in batches of plain
// writes, and a session (the run, a resume, an undo) ends with a summary and
// "closed", synced. After a kill, a crash or a write that failed the records may lag
// behind the disk: ReconcileWithFolder reads the state of every step from the
// folder, and resume and undo always do so first.
//
// A journal is checked whole before anything is renamed from it: every name is one
// a run could give (no "/", not "." or "..", no NUL, at most 255 bytes), every
// inode number is known, the folder path is absolute, each file moves by one step
// or by a cycle's two. One that fails is left out, with the reason.
//
// One journal is a text file of lines; names are escaped (every byte outside "!".."~"
// and the backslash as \xHH); STAMP is "-", "b<birth ns>", "g<generation>" or both,
// "b<birth ns>g<generation>" (file_identity.hpp):
//     quorvel journal 2
//     folder DEV INO STAMP PATH
//     begun SECONDS SELECTED UNCHANGED FAILED
//     file INO STAMP OLD NEW TEMPORARY|-    one per file that moves
//     step FILE M|H|F AFTER                 one per step, in execution order
//     planned FILES STEPS                   the plan is complete
// then records: "d STEP" done, "r STEP" taken back, "i FILE INO STAMP" the file's
// inode now, "end RENAMED UNCHANGED FAILED", "resume", "undo", "undone", "settled"
// (left as it is, never offered again), and at the end of every session
// "summary FILES STEPS DONE RENAMED FLAGS R U F" (FLAGS: "-" or u undo tried, d
// undone, s settled; R U F the last end, or "- - -") then "closed".
// Version 3, the journal of a run over a tree of folders, adds after "begun" the
// folders below the run's folder that hold files that move, and their parents:
//     place PARENT DEV INO NAME             place 1, 2...; PARENT 0 is the run's folder
// and gives each file its place: "file PLACE INO STAMP OLD NEW TEMPORARY|-". The
// steps of a stage (one place: its files, or its folders, or both) follow each
// other, move files after those of the stages before, and wait only for a step of
// their stage: a stage is done whole before the next.
// Version 1 has no stamps ("folder DEV INO PATH", "file INO OLD NEW TEMPORARY",
// "i FILE INO") and no summary; it is still read.
#pragma once

#include "files/listing/folder_listing.hpp"
#include "files/run/file_identity.hpp"
#include "files/run/journal_store.hpp"
#include "files/run/run_file.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

enum class StepState : std::uint8_t { NotDone, Done };

struct RunCounts {
    std::size_t renamed = 0;
    std::size_t unchanged = 0;
    std::size_t failed = 0;
};

enum class RecordedState {
    Complete,     // the run reached its end
    Interrupted,  // killed or crashed before its end, or its journal could not be completed
    Undone,       // every step taken back
    PartlyUndone, // an undo left steps in place
    Settled       // interrupted, and left as it was by choice
};

// A folder of a run over a tree: its parent's place (0, the run's folder, for a
// folder in it), its device and inode, and its name in its parent when the run began.
struct JournalPlace {
    std::uint32_t parent = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::string name;
};

// The places of a run over a tree and the place of each of its files (by the
// numbers of the files given to JournalWriter::Create). No places: one folder.
struct RunPlaces {
    std::vector<JournalPlace> places; // place 1 first
    std::vector<std::uint32_t> ofFile;
};

// A journal as read back.
struct Journal {
    std::string path;        // of the journal file
    std::uint64_t bytes = 0; // the size of the file when it was read, torn last line included
    int version = 2;
    FolderIdentity folder;
    std::int64_t begun = 0;        // seconds since the epoch
    std::size_t selected = 0;      // files in the run's selection
    std::size_t unchanged = 0;     // of them, left as they were by the plan
    std::size_t refused = 0;       // of them, refused by the checks before the run
    std::vector<RunFile> files;    // the files that move (Verdict::Ready)
    std::vector<FileStamp> stamps; // per file; unknown in a journal of version 1
    std::vector<Step> steps;
    // Version 3: the places below the folder (place k is places[k - 1]) and the
    // place of each file; empty for a run in one folder.
    std::vector<JournalPlace> places;
    std::vector<std::uint32_t> filePlace;
    std::vector<StepState> state;    // per step, as the records tell
    std::optional<RunCounts> counts; // from the last "end"
    // Files recorded under their new names at some time, undone since or not (the
    // records of a run killed in the middle may lag behind what it did).
    std::size_t everRenamed = 0;
    bool undone = false;      // an undo took every step back
    bool undoStarted = false; // an undo was tried
    bool settled = false;     // left as it is by choice
    // The last session (run, resume or undo) ended without "closed": what it did
    // last may be missing from the records.
    bool open = true;

    std::size_t DoneSteps() const;
    // What the run did, from the steps: files under their new names, and the rest.
    RunCounts Counts() const;
};

RecordedState StateOf(const Journal& journal);

// What is known of a journal without its plan: its head and its summary, read from
// its end when its last session closed, else from its records (the plan's names
// are read and checked on the way, not kept).
struct JournalSummary {
    std::string path;
    std::uint64_t bytes = 0;
    int version = 2;
    FolderIdentity folder;
    std::int64_t begun = 0;
    std::size_t selected = 0;
    std::size_t files = 0; // files that move
    std::size_t steps = 0;
    std::size_t done = 0;    // steps done, as the records tell
    std::size_t renamed = 0; // files under their new names, as the records tell
    std::optional<RunCounts> counts;
    bool undone = false;
    bool undoStarted = false;
    bool settled = false;
    bool open = true;
    // The counts and the flags above are known (not so for SummaryReading::HeadAndEnd
    // of a journal without a summary at its end, of which only `open` is known).
    bool whole = true;
};

RecordedState StateOf(const JournalSummary& summary);

enum class SummaryReading {
    Whole,     // from the records when the journal has no summary at its end
    HeadAndEnd // its first lines and its last ones only
};

// Reads a journal whole and checks it; nothing, with `why` set, when the file is no
// journal, cannot be read, fails a check or its plan is incomplete (a torn last
// record is left out).
std::optional<Journal> ReadJournal(const std::string& path, std::string& why);
// The same where why does not matter.
std::optional<Journal> ReadJournal(const std::string& path);

// Reads a journal's summary, with memory bounded whatever the size of its plan.
std::optional<JournalSummary> ReadJournalSummary(const std::string& path, std::string& why,
                                                 SummaryReading reading = SummaryReading::Whole);
std::optional<JournalSummary> ReadJournalSummary(const std::string& path,
                                                 SummaryReading reading = SummaryReading::Whole);

// The folder a journal is about, read from its first lines only.
std::optional<FolderIdentity> ReadJournalFolder(const std::string& path, std::string& why);

// The state of each file's steps read from the folder as it is now, where the
// file's inode is found under one of its names (old, temporary or new). Files found
// nowhere keep what the records say.
void ReconcileWithFolder(Journal& journal, const FolderListing& now);
// The same for a run over a tree: `byPlace[k]` is the listing of place k (0 the
// run's folder), null for a place that cannot be found; its files keep what the
// records say.
void ReconcileWithFolders(Journal& journal, const std::vector<const FolderListing*>& byPlace);

// One stage of a journal: the steps [firstStep, endStep) and the files
// [firstFile, endFile) of one place.
struct JournalStage {
    std::uint32_t place = 0;
    std::size_t firstStep = 0;
    std::size_t endStep = 0;
    std::size_t firstFile = 0;
    std::size_t endFile = 0;
};
// The stages of a journal in the order they were run (one for a run in one folder);
// a place may have two, one for its files and one for its folders.
std::vector<JournalStage> StagesOf(const Journal& journal);
// A stage taken out of a journal of a tree as a journal of one folder: its files
// (moved out of `journal`), its steps numbered within it, their state and the
// stamps of its files. PutStageBack returns the files and the state.
Journal TakeStage(Journal& journal, const JournalStage& stage);
void PutStageBack(Journal& journal, const JournalStage& stage, Journal& part);
// The place of file `i` of `journal`.
inline std::uint32_t PlaceOf(const Journal& journal, std::size_t i) {
    return journal.filePlace.empty() ? 0 : journal.filePlace[i];
}

// The files of `journal` under their temporary name, as the state of the steps says.
std::vector<std::uint32_t> FilesUnderTemporary(const Journal& journal);

} // namespace quorvel
