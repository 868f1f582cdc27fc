// A script line read once: its command number, its text and the placeholders in
// the text, for the script view and the parameter boxes.
//
// A line is "<number>|<text>", the text running up to a second "|" if there is one.
// Placeholders are read in two ways, which agree on every line the program writes:
//  - the view's pairing (Slots): the k-th "[" of the text goes with its k-th "]",
//    and a pair whose "]" comes first is no placeholder. These are the links the
//    user clicks and the places a value is written to.
//  - the engine's reading (Parameter): parameter k is the text after the first "="
//    of the k-th "]"-ended field, from its first "[" on (engine/script.hpp).
// On a malformed line they part: in "x]a[n=3]" the view finds no placeholder (the
// first "]" comes before the first "["), while the engine reads an empty first
// parameter from "x" and "3" as the second from "a[n=3".
#pragma once

#include "engine/catalogue.hpp"
#include "engine/text.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvel {

// A placeholder of a line text: the 0-based offsets of its "[" and of its "]".
struct PlaceholderSlot {
    std::size_t open;
    std::size_t close;
    TextView In(TextView text) const { return text.substr(open, close - open + 1); }
};

// The view's pairing of a line text: the k-th "[" with the k-th "]".
std::vector<PlaceholderSlot> PlaceholderSlots(TextView lineText);

// What a placeholder link shows: the text between the brackets when it holds no
// "=", otherwise the text after its first "=" up to the next "=" or the end, less
// its last character, decoded (engine/value_code.hpp).
Text ShownText(TextView placeholder);

// What an empty value shows instead: its placeholder's name ("n" for "[n=]"), or
// "?" for a placeholder without a name.
Text EmptyValueLabel(TextView placeholder);

// Offset in the whole script line of the start of its line text.
std::size_t LineTextOffset(TextView line);

// The kind of value a placeholder takes, from its name ("[n]", "[Chaine=abc]",
// "[String]"...) in either language's table; none for a name the catalogue lacks.
std::optional<PlaceholderKind> KindOfPlaceholder(TextView placeholder);

class ScriptLine {
public:
    explicit ScriptLine(Text line);

    const Text& Whole() const { return line_; }
    std::int32_t Number() const { return number_; }
    // The line text: after the first "|", up to the second "|" or the end.
    TextView LineText() const { return TextView(line_).substr(textOffset_, textLength_); }
    std::size_t TextOffset() const { return textOffset_; }

    // The view's placeholders, offsets in LineText().
    const std::vector<PlaceholderSlot>& Slots() const { return slots_; }
    // Placeholder `slot` (0-based) as it stands, "[n=3]"; empty when there is none.
    TextView Placeholder(std::size_t slot) const;
    // What its link shows.
    Text Shown(std::size_t slot) const;
    std::optional<PlaceholderKind> KindOf(std::size_t slot) const;
    // The line with `value`, as typed, written into placeholder `slot` in its stored
    // form: "[n]" or "[n=old]" becomes "[n=value]". The same line when there is no
    // such placeholder.
    ScriptLine Filled(std::size_t slot, TextView value) const;

    // The engine's reading of parameter k (1 and up), decoded.
    Text Parameter(std::int64_t k) const;

private:
    Text line_;
    std::int32_t number_ = 0;
    std::size_t textOffset_ = 0;
    std::size_t textLength_ = 0;
    std::vector<PlaceholderSlot> slots_;
};

} // namespace quorvel
