// The name transformation engine: applies every line of a rename script, in order,
// to one file name.
#pragma once

#include "engine/file_context.hpp"
#include "engine/name_template.hpp"
#include "engine/script.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvel {

// Longest working name the engine builds, in characters. No file system holds a
// name anywhere near this long; a script that grows a name beyond it (a replacement
// doubling the name line after line, say) raises NameTooLongError instead of
// exhausting memory.
inline constexpr Pos kMaxWorkingName = Pos{1} << 16;

// The numbering counter shared by all numbering lines and carried from one file to
// the next within a preview or a run. Wraps like a 32-bit two's complement integer.
using NumberCounter = std::int32_t;

// Strict integer conversion of a numbering start value: optional leading spaces,
// then decimal digits with an optional sign, or hexadecimal digits after "$", "x",
// "X", "0x" or "0X"; nothing may follow and the value must fit in 32 signed bits.
std::optional<std::int32_t> StrictStrToInt(TextView s);

// The new name of `name`. `first` is true for the first selected file only: its
// numbering lines set `counter` from their start value (and raise ConversionError
// when that is not an integer); for every other file they advance it by one.
Text ApplyScript(const ScriptLines& script, TextView name, bool first, NumberCounter& counter);
// The same for a file of which more is known, for the "Composer" lines: its facts,
// its folder, its place in the run (engine/file_context.hpp). A "Composer" line
// raises MissingValueError when the file lacks a value its template asks for, and
// InvalidTemplateError when its template cannot be read. The overload above is
// this one with FileContext{}.
Text ApplyScript(const ScriptLines& script, TextView name, bool first, NumberCounter& counter,
                 const FileContext& context);

// The facts that the script line `line` writes into the working name `w` of a file,
// with where each came from; empty for a line that is no "Composer" line. For the
// trace of a name, line by line.
std::vector<ValueSource> SourcesOfLine(TextView line, TextView w, const FileContext& context);

// What ApplyScript does to `counter`, without making the name: for a file whose new
// name could not be made, so that the files after it are numbered as if it had been.
// Raises ConversionError as ApplyScript does.
void AdvanceNumbering(const ScriptLines& script, bool first, NumberCounter& counter);

} // namespace quorvel
