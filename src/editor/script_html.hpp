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

#include "engine/script_line.hpp"

#include <QString>
#include <QStringList>
#include <vector>

namespace quorvel {

QString ScriptHtmlLine(const ScriptLine& line, std::size_t index);
QStringList BuildHtmlLines(const std::vector<ScriptLine>& script);

} // namespace quorvel
