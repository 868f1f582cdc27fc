// Stage of a run: the new name of every selected file.
//
// Contract: the engine is applied to the selected files in selection order with one
// counter, the first of them starting the numbering. A name the engine cannot make
// (too long) is that file's failure (Verdict::EngineFailure) and the numbering goes
// on as if it had been made; a ConversionError (it can only come with the first file)
// propagates, nothing computed. Indexes outside the list are skipped. Reads no disk.
#pragma once

#include "engine/apply.hpp"
#include "files/project_file.hpp"
#include "files/run_file.hpp"

#include <span>
#include <vector>

namespace quorvel {

// `selection` holds 0-based indexes into `files`. `counter` is reset to 0 first.
std::vector<RunFile> NewNames(const ScriptLines& script, const TListFiles& files,
                              std::span<const std::size_t> selection, NumberCounter& counter);

} // namespace quorvel
