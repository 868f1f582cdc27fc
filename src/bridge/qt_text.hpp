// Conversions between the engine's texts and Qt strings.
#pragma once

#include "engine/text.hpp"

#include <QString>
#include <string_view>

namespace quorvel {

// For display: code points that stand for bytes of an ill-formed name show as
// U+FFFD.
QString ToQString(TextView text);
// The name whose directory entry holds `bytes`, as ToQString(DecodeName(bytes)).
QString NameToQString(std::string_view bytes);
// Text typed by the user or shown by a widget.
Text FromQString(const QString& text);

} // namespace quorvel
