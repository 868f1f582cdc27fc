// The preview and the run: the new names of the selected files, and the renaming of
// those files one after the other. Shared by the window and quorvel-cli.
//
// Row r (r >= 1) of the file grid holds item r - 1 of the file list; a selected row
// without a record is skipped. The numbering counter restarts at 0 on every preview
// and run, and the first file processed starts the numbering.
#pragma once

#include "engine/apply.hpp"
#include "files/list_int.hpp"
#include "files/project_file.hpp"
#include "files/safe_rename.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace quorvel {

// The new name of every selected file, in selection order. No names when the
// script is not valid (the caller decides about a message). EngineError
// propagates.
std::vector<Text> PreviewNames(const ScriptLines& script, const TListFiles& files,
                               const TListInt& selectedRows, NumberCounter& counter);

enum class RenameOutcome { Renamed, Unchanged, Failed };

struct RenameEntry {
    Text oldName;
    Text newName;
    RenameOutcome outcome = RenameOutcome::Failed;
    std::string reason; // French, UTF-8; empty unless Failed
};

struct RunReport {
    std::vector<RenameEntry> entries; // one per selected file, in selection order
    std::size_t renamed = 0;
    std::size_t unchanged = 0;
    std::size_t failed = 0;
};

// Renames the selected files in selection order, going on after a failure. Every
// new name is computed before the first rename, so an EngineError propagates with
// nothing renamed. An existing file is never replaced; a new name that is empty,
// "." or "..", or holds "/" or NUL fails. An empty report when the script is not
// valid.
RunReport RunRenames(const ScriptLines& script, const TListFiles& files, const TListInt& selectedRows,
                     NumberCounter& counter, RenameMethod method = RenameMethod::Atomic);

// What RunRenames would report, found without touching anything: the folder is
// looked at, and the renames are played on a picture of it. Failures that only
// the rename itself reveals (rights, read-only file systems) are not foreseen.
RunReport PlanRenames(const ScriptLines& script, const TListFiles& files, const TListInt& selectedRows,
                      NumberCounter& counter);

} // namespace quorvel
