// Stage of a run: the new name of every selected file.
//
// Contract: the engine is applied to the selected files in selection order with one
// counter, the first of them starting the numbering. Each file is told the name of
// its folder and its place in the selection and in its folder's files (for the
// templates of "Composer"), and no facts. A name the engine cannot make (too long,
// a pattern too costly on it, a value its template lacks) is that file's failure
// (Verdict::EngineFailure, its reason in the language of the messages; a value a
// template asks for and the file lacks is Verdict::ValueMissing) and the
// numbering goes on as if it had been made; a ConversionError (it can only come
// with the first file), an InvalidPatternError or an InvalidTemplateError
// propagates, nothing computed. Indexes outside the list are skipped. Reads no disk.
#pragma once

#include "engine/apply.hpp"
#include "engine/file_facts.hpp"
#include "files/listing/project_file.hpp"
#include "files/run/run_file.hpp"

#include <span>
#include <string>
#include <vector>

namespace quorvel {

// `selection` holds 0-based indexes into `files`. `counter` is reset to 0 first.
// `facts`, when given, holds the facts of the records of `files`, by their index
// (ReadFactsOfSelection, FactsByRecord); a record past its end has none, and a
// template that asks for a fact fails it.
std::vector<RunFile> NewNames(const ScriptLines& script, const TListFiles& files,
                              std::span<const std::size_t> selection, NumberCounter& counter,
                              std::span<const FileFacts> facts = {});
// The same into `run`, whose files and the memory of their names are used again: a
// preview after a preview allocates next to nothing. On a ConversionError `run` is
// left empty.
void NewNamesInto(const ScriptLines& script, const TListFiles& files, std::span<const std::size_t> selection,
                  NumberCounter& counter, std::vector<RunFile>& run, std::span<const FileFacts> facts = {});

// The files of a run whose new names are given, not made: file k is record
// `selection[k]` with the new name `newNames[k]` (bytes), checked by the stages
// that follow as any other. A pair whose record is outside the list is skipped.
std::vector<RunFile> GivenNames(const TListFiles& files, std::span<const std::size_t> selection,
                                std::span<const std::string> newNames);

} // namespace quorvel
