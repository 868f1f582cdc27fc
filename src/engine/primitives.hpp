// Text primitives on which every cut, search, count and replacement of the program
// rests. Their clamping at the edges (zero and negative counts, positions beyond
// the end, absent separators, empty texts) is deliberate: the results of the
// rename commands for unusual parameters follow directly from it.
//
// Positions count characters (code points) from 1. Where a primitive ignores case,
// only the letters A-Z and a-z are folded. Primitives whose result is a piece of an
// argument return a view into that argument.
#pragma once

#include "engine/text.hpp"

#include <cstdint>
#include <optional>

namespace quorvel {

// --- Base operations ---------------------------------------------------------

// The `count` characters of `s` from `index`. An `index` below 1 is taken as 1
// without reducing `count`; a `count` reaching past the end stops at the end.
TextView SubText(TextView s, Pos index, Pos count);
// `s` without the `count` characters from `index`; nothing is deleted for an
// `index` outside 1..length or a `count` of 0 or less.
Text DeleteText(TextView s, Pos index, Pos count);
// `s` with `piece` inserted so that it begins at `index` (clamped to 1..length+1).
Text InsertText(TextView piece, TextView s, Pos index);
// Position of the first occurrence of `sub` in `s`, exact case; 0 when none.
Pos PosOf(TextView sub, TextView s);
// Extension of a file name: from the last "." to the end, dot included, unless a
// "/" comes after it or there is no "."; then empty.
TextView ExtOf(TextView name);
// `name` without its extension, followed by `ext`.
Text ChangeExt(TextView name, TextView ext);

// --- Primitives --------------------------------------------------------------

// The first `n` characters; a negative `n` gives all but the last -n.
TextView StrLeft(TextView s, Pos n);
// The last `n` characters.
TextView StrRight(TextView s, Pos n);
// The characters from `p` to the end; empty for p = 0 or beyond the end, the
// whole text for a negative p.
TextView StrFrom(TextView s, Pos p);
// `n` characters from `p`.
TextView StrMid(TextView s, Pos p, Pos n);
// Position of the n-th occurrence of `sub` (A-Z case ignored, overlaps allowed);
// 0 when there is none or n < 1.
Pos FindNth(TextView s, TextView sub, Pos n);
// The n-th field of `s` cut at `sep` (A-Z case ignored), fields counted from 1.
TextView NthField(TextView s, TextView sep, Pos n);
// The n-th field of the trimmed `s` read as a decimal number ("." as the point);
// 0 when the field is not exactly such a number.
double NthFieldFloat(TextView s, TextView sep, Pos n);
// NthFieldFloat rounded to nearest (halves to even), clamped to the 32-bit range.
std::int32_t NthFieldInt(TextView s, TextView sep, Pos n);
// `s` with its first exact-case occurrence of `sub` replaced by `repl`.
Text ReplaceFirst(TextView s, TextView sub, TextView repl);
// `s` with every occurrence of `sub` (A-Z case ignored) replaced by `repl`, from
// left to right without overlap; the inserted text is never searched again.
Text ReplaceAll(TextView s, TextView sub, TextView repl);
// ReplaceAll, or nothing when the result would be longer than `limit`.
std::optional<Text> ReplaceAllLimited(TextView s, TextView sub, TextView repl, Pos limit);
// Number of exact-case occurrences of `sub` in `s`, overlaps counted.
Pos CountOf(TextView s, TextView sub);
// A number's text without trailing zeros after the decimal separator `sep` (and
// without the separator itself when nothing follows it).
Text TrimZeros(TextView s, char32_t sep);
// `s` with é è ê à â ù û î ï ô ç replaced by the plain lower-case letter.
Text RemoveAccents(TextView s);
// The letter RemoveAccents puts for `c`: `c` itself when it is none of those.
char32_t WithoutAccent(char32_t c);
// Decimal text of `v` ("-" before a negative number), padded on the left with
// "0" to at least `width` characters: -5 with 3 gives "0-5".
Text PadNumber(std::int64_t v, Pos width);
// Appends PadNumber(v, width) to `out`.
void AppendPadNumber(std::int64_t v, Pos width, Text& out);

struct WordRange {
    Pos first = 0;
    Pos last = 0;
    bool operator==(const WordRange&) const = default;
};
// The first and last positions of the word around `p`, words being cut at line
// feed, carriage return, space and ! " ' , . : ; ?. When the character at `p` is
// itself a delimiter the range is {p + 1, p - 1}. A `p` outside the text is taken
// as the nearest end of it; an empty text gives {1, 0}.
WordRange WordBounds(TextView s, Pos p);

// Reads a whole text as a decimal number by the rule of NthFieldFloat: optional
// spaces, optional sign, a mantissa with at least one digit, an optional exponent.
std::optional<double> ParseDecimal(TextView s);

} // namespace quorvel
