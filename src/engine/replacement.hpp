// What a "Rechercher" line puts in place of each match: its replacement text read
// once, then written out for every match.
//
//   $1, ${1}     the text of group 1 ($0 and ${0}: the whole match)
//   ${name}      the text of the group of that name
//   $$           a dollar
//   \U \L        everything after, up to \E or the end, in upper or lower case
//   \E           ends \U or \L
//   \u \l        the next character written in title or lower case
//   \\           a backslash
// A group that did not take part in the match, or that the pattern does not have,
// gives an empty text. Any other "$" or "\" stands for itself. Cases are Unicode's
// full mappings ("\U" on "straße" gives "STRASSE"), and a text in \U or \L is
// converted as one, so that a final sigma is found.
#pragma once

#include "engine/text.hpp"

#include <functional>
#include <span>
#include <vector>

namespace quorvel {

class Replacement {
public:
    // `groupOf` gives the number of a named group, or -1 when there is none.
    Replacement(TextView text, const std::function<int(TextView)>& groupOf);

    // Appends the replacement of one match to `out`; groups[g] is the text of group
    // g, empty when it did not take part.
    void AppendTo(std::span<const TextView> groups, Text& out) const;

private:
    enum class Kind : std::uint8_t { Literal, Group, Upper, Lower, End, UpperNext, LowerNext };
    struct Piece {
        Kind kind;
        int group = -1; // for Kind::Group
        Text text;      // for Kind::Literal
    };
    void Literal(char32_t c);

    std::vector<Piece> pieces_;
    bool cases_ = false; // holds a case escape
};

} // namespace quorvel
