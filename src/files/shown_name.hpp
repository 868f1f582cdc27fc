// A name as shown to people in messages and reports, so that it can neither break a
// line nor fake one: control characters, bidirectional controls and bytes that are
// not UTF-8 are written as escapes ("\n", "\t", "\x01", "\u202E", "\xFF"), and a
// backslash is doubled. Everything else is the name's own UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

std::string ShownName(std::string_view bytes);

// ShownName between the quotes of the language of the messages: « name ».
std::string Quoted(std::string_view bytes);

} // namespace quorvel
