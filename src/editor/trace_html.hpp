// A name's way through the script as the list under "Exemple :" shows it in a
// tooltip: the file's name, then one numbered line per script line with what that
// line changed highlighted, or a red bar where it only took characters out.
#pragma once

#include "editor/preview_source.hpp"

#include <QString>

namespace quorvel {

QString TraceHtml(const NameTrace& trace);

} // namespace quorvel
