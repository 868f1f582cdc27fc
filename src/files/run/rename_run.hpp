// The preview and the run: the new names of the selected files, and their renaming,
// shared by the window, quorvel-cli and the unattended run.
//
// A run goes through its stages once, in this order, one RunFile per selected file
// flowing through all of them:
//     new names -> validate -> order -> journal -> rename -> verify -> report
// Selections are 0-based indexes into the list of files, in selection order; an
// index outside the list is skipped. The numbering counter restarts at 0 on every
// preview and run, and the first file processed starts the numbering.
#pragma once

#include "engine/apply.hpp"
#include "engine/file_facts.hpp"
#include "files/listing/project_file.hpp"
#include "files/run/journal.hpp"
#include "files/run/progress.hpp"
#include "files/run/run_file.hpp"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

// The new name of every selected file, in selection order. No names when the
// script is not valid (the caller decides about a message). EngineError
// propagates.
std::vector<Text> PreviewNames(const ScriptLines& script, const TListFiles& files,
                               std::span<const std::size_t> selection, NumberCounter& counter);

struct RunOptions {
    std::string journalFolder; // where the journal goes; empty: JournalFolder()
    bool dryRun = false;       // stop after the order: plan, touch nothing
    ProgressHook progress;     // told as the renames go, over the whole run; may stop it
    // The facts the script's templates ask of the records, by their index
    // (NewNames); none when they ask for none.
    std::span<const FileFacts> facts;
};

struct RunReport {
    std::vector<RunFile> files; // one per selected file, in selection order
    std::vector<Step> steps;    // in the order they were (or would be) done; files index `files`
    std::size_t renamed = 0;    // in a dry run: to be renamed
    std::size_t unchanged = 0;
    std::size_t failed = 0;
    std::vector<std::string> journals; // the journals written, one per folder that had renames
    // Why the run could not start in a folder (nothing was renamed there): it could
    // not be read, or no journal could be written.
    enum class Stop { None, FolderUnreadable, NoJournal } stop = Stop::None;
    std::string error;
    // Not empty when a journal could not be completed once the renames had begun
    // ("journal incomplet : ..."): the renames went on, and were done.
    std::string journalError;
    bool stopped = false; // the progress hook stopped it: the files not reached are Unchanged
};

// Renames the selected files: every new name is computed first, so a
// ConversionError propagates with nothing renamed; the checks come before the first
// rename; the renames are ordered so that shifts and swaps work; the plan is
// journaled before the first rename and the folder is read again after the last.
// An existing file is never replaced. An empty report when the script is not valid.
// The files of one folder are renamed through the descriptor of its scan when the
// list keeps one.
RunReport RunRenames(const ScriptLines& script, const TListFiles& files,
                     std::span<const std::size_t> selection, NumberCounter& counter,
                     const RunOptions& options = {});

// What RunRenames would do, found without touching anything.
RunReport PlanRenames(const ScriptLines& script, const TListFiles& files,
                      std::span<const std::size_t> selection, NumberCounter& counter,
                      const RunOptions& options = {});

// The same stages from the validation on, for names given rather than made by a
// script: `newNames[k]` (bytes) is the new name of record `selection[k]` in its
// folder. With options.dryRun the plan alone, as PlanRenames; otherwise the run, as
// RunRenames, journaled and taken back by undo like any other.
RunReport RunGivenNames(const TListFiles& files, std::span<const std::size_t> selection,
                        std::span<const std::string> newNames, const RunOptions& options = {});

} // namespace quorvel
