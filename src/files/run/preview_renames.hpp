// The preview with its checks: what the run would do to each selected file, found
// from the folders as they were listed.
#pragma once

#include "engine/apply.hpp"
#include "engine/file_facts.hpp"
#include "files/listing/project_file.hpp"
#include "files/run/run_file.hpp"

#include <cstddef>
#include <span>
#include <vector>

namespace quorvel {

// The selected files with their new names and the verdicts the run would give them
// if their folders were as their scan saw them: the names are checked against the
// entries the list keeps of each folder (files/scan.hpp), so that a preview reads
// no folder again; a folder the list keeps no entries of is read. No order, no
// journal, nothing touched. Empty when the script is not valid. A name the engine
// cannot make is that file's Verdict::EngineFailure; a ConversionError propagates.
std::vector<RunFile> PreviewRenames(const ScriptLines& script, const TListFiles& files,
                                    std::span<const std::size_t> selection, NumberCounter& counter);
// The same into `into`, whose memory is used again (files/new_names.hpp), with the
// facts of the selected files the templates ask for (NewNames).
void PreviewRenamesInto(const ScriptLines& script, const TListFiles& files,
                        std::span<const std::size_t> selection, NumberCounter& counter,
                        std::vector<RunFile>& into, std::span<const FileFacts> facts = {});

} // namespace quorvel
