// The values a run is made of: one RunFile per selected file, which every stage of
// the run reads and completes (new name, verdict, outcome), and the steps that
// rename them, in the order they are done.
#pragma once

#include "files/listing/folder_listing.hpp"
#include "files/tables/rare_text.hpp"

#include <cstddef>
#include <cstdint>
#include <dirent.h>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// What the checks before the run found for a file.
enum class Verdict : std::uint8_t {
    Ready,           // will be renamed
    Unchanged,       // the new name is the old one
    BadName,         // empty, ".", "..", holds "/" or NUL, longer than 255 bytes
    EngineFailure,   // the script could not make a name (too long for the engine)
    ValueMissing,    // a template asks for a value the file does not have (no date taken...)
    SourceMissing,   // no longer in the folder, or now a folder
    ListedTwice,     // the same entry came earlier in the selection
    DuplicateTarget, // an earlier file of the selection gets the same new name
    TargetHeld,      // the new name belongs to an entry that stays
};

enum class RenameOutcome : std::uint8_t { Renamed, Unchanged, Failed };

inline constexpr std::uint32_t kNoFile = UINT32_MAX;

struct RunFile {
    std::size_t index = 0;   // position of its record in the list of files
    std::string oldName;     // bytes of the directory entry
    std::string newName;     // bytes
    RareText temporary;      // the stop of a cycle of renames on the way; empty otherwise
    std::uint64_t inode = 0; // from the listing before the run; 0 when unknown
    unsigned char type = DT_UNKNOWN;
    bool folder = false; // listed as a folder (or a link to one), to be renamed as one
    Verdict verdict = Verdict::Ready;
    RenameOutcome outcome = RenameOutcome::Unchanged;
    // The file of the run whose old name is this file's new name: it has to move
    // first. kNoFile when the new name is free.
    std::uint32_t waitsFor = kNoFile;
    // Where the file was in the listing it was found in: where the checks look for
    // it first, in whatever listing they are given.
    std::uint32_t entry = kNoEntry;
    RareText reason; // French, UTF-8: why the file is not renamed
    RareText note;   // French, UTF-8: a warning about a name that looks like another
};

enum class StepKind : std::uint8_t {
    Move,          // old name -> new name
    ToTemporary,   // old name -> temporary name (opens a cycle)
    FromTemporary, // temporary name -> new name (closes the cycle)
};

struct Step {
    std::uint32_t file = 0; // index in the run's files
    StepKind kind = StepKind::Move;
    // The step that frees this step's target; -1 when the target is free already.
    std::int64_t after = -1;
};

inline std::string_view StepFrom(const Step& step, std::span<const RunFile> files) {
    const RunFile& f = files[step.file];
    return step.kind == StepKind::FromTemporary ? std::string_view(f.temporary) : std::string_view(f.oldName);
}

inline std::string_view StepTo(const Step& step, std::span<const RunFile> files) {
    const RunFile& f = files[step.file];
    return step.kind == StepKind::ToTemporary ? std::string_view(f.temporary) : std::string_view(f.newName);
}

} // namespace quorvel
