// Script lines and their parameters.
//
// A script line is "<number>|<group caption> <command caption>" with the command's
// parameters written inside the captions as placeholders: "[name]" unfilled,
// "[name=value]" filled. Parameters are identified by position only: parameter k
// is the k-th bracketed slot of the line text.
#pragma once

#include "engine/text.hpp"

#include <cstdint>
#include <vector>

namespace quorvel {

using ScriptLines = std::vector<Text>;

// The number before the first "|" of the trimmed line (the whole trimmed line when
// there is no "|"), read as a decimal number and rounded; 0 when it is not one.
std::int32_t CommandNumber(TextView line);

// The text of a line: after the first "|", up to the second "|" or the end.
TextView LineText(TextView line);

// Parameter k (1..3) of a line text as text: empty when the slot is missing or
// unfilled. The value read is decoded last (engine/value_code.hpp).
Text ParamText(TextView text, std::int64_t k);
// Parameter k of a line text as an integer: 0 when empty or not a number.
std::int32_t ParamInt(TextView text, std::int64_t k);

// A script is valid when it has at least one line and every line holds as many
// "=" as "[" (every placeholder filled).
bool ScriptIsValid(const ScriptLines& script);

// Fills the placeholder of `line` that runs from its "[" at 0-based index `open` to
// its "]" at `close` with `value`, written as it is (already in its stored form):
// "[name]" or "[name=old]" becomes "[name=value]".
// The line is returned unchanged when those are not a "[" and a later "]".
Text FillPlaceholder(TextView line, std::size_t open, std::size_t close, TextView value);

} // namespace quorvel
