// Text model of the rename engine: a text is a sequence of Unicode code points,
// positions count code points from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

using Text = std::u32string;
using TextView = std::u32string_view;

// Positions and counts. 64 bits, so that arithmetic on user-supplied values such
// as 2147483647 + 1 never wraps.
using Pos = std::int64_t;

inline Pos Length(TextView s) {
    return static_cast<Pos>(s.size());
}

// Folds only the 26 letters a-z onto A-Z; every other code point is its own case.
constexpr char32_t FoldAZ(char32_t c) {
    return (c >= U'a' && c <= U'z') ? c - 32 : c;
}

constexpr bool IsLetterAZ(char32_t c) {
    return FoldAZ(c) >= U'A' && FoldAZ(c) <= U'Z';
}

// Characters removed by trimming: every code point from 0 to 32.
constexpr bool IsTrimmed(char32_t c) {
    return c <= 32;
}

TextView Trim(TextView s);

// Converts ASCII/Latin text written in the source (UTF-8) to a Text. Used for the
// program's own fixed texts.
Text FromUtf8Literal(std::string_view s);

} // namespace quorvel
