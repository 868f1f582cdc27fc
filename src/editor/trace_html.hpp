// A name's way through the script as the list under "Exemple :" shows it in a
// tooltip: the file's name, then one numbered line per script line with what that
// line changed highlighted, or a red bar where it only took characters out, and
// under a "Composer" line where the facts it wrote came from.
#pragma once

#include "editor/preview_source.hpp"

#include <QColor>
#include <QString>

namespace quorvel {

// The colours of a trace: the classic ones unless told otherwise.
struct TraceColours {
    QColor changed{0xFF, 0xE0, 0x8A}; // behind what a line put in
    QColor removed{0xC0, 0x00, 0x00}; // the bar where a line only took characters out
};

QString TraceHtml(const NameTrace& trace, const TraceColours& colours = {});

} // namespace quorvel
