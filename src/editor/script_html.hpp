// The script as the script view shows it: one HTML line per script line, the
// line's text with every placeholder turned into a link.
//
// The line made from script line i is its text (after the first "|", up to the
// second "|") with each placeholder replaced by
//     <a Name="i" href="file://PLACEHOLDER">SHOWN</a>
// followed by "<br>". SHOWN is the placeholder's name when it is unfilled ("n" for
// "[n]") and its value otherwise ("3" for "[n=3]"). Text that HTML would read as
// markup is escaped, and an empty value shows its placeholder's name in grey
// italics, so that every link stays visible and clickable.
#pragma once

#include "engine/script.hpp"

#include <QString>
#include <QStringList>
#include <vector>

namespace quorvel {

// A placeholder of a line text: the 0-based offsets of its "[" and of its "]".
struct PlaceholderSlot {
    std::size_t open;
    std::size_t close;
    TextView In(TextView text) const { return text.substr(open, close - open + 1); }
};

// The placeholders of a line text in order: the k-th "[" paired with the k-th
// "]"; a pair whose "]" comes before its "[" is no placeholder.
std::vector<PlaceholderSlot> PlaceholderSlots(TextView lineText);

// What a placeholder link shows: the text between the brackets when it holds no
// "=", otherwise the text after its first "=" up to the next "=" or the end, less
// its last character.
Text ShownText(TextView placeholder);

// What an empty value shows instead: its placeholder's name ("n" for "[n=]"), or
// "?" for a placeholder without a name.
Text EmptyValueLabel(TextView placeholder);

QString ScriptHtmlLine(TextView line, std::size_t index);
QStringList BuildHtmlLines(const ScriptLines& script);

// Offset in the whole script line of the start of its line text.
std::size_t LineTextOffset(TextView line);

} // namespace quorvel
