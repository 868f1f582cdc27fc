// A name as shown to people in messages and reports, so that it can neither break a
// line, nor fake one, nor hide: every character that draws nothing of its own or
// acts on the text around it (Unicode's controls Cc, format characters Cf, line and
// paragraph separators Zl and Zp) and every byte that is not UTF-8 is written as an
// escape ("\n", "\t", "\r", "\x01", "\xFF", "\u0085", "\u200B", "\u202E", "\u2028",
// "\uFEFF", "\U000E0001"), and a backslash is doubled. Everything else is the name's
// own UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

std::string ShownName(std::string_view bytes);

// ShownName between the quotes of the language of the messages: « name », “name”.
// Every name in a message goes through it, so that an empty name still shows
// ("«  »") and one that holds " -> " stays inside its quotes; the closing quote
// mark, when a name holds it, is escaped too ("\u00BB").
std::string Quoted(std::string_view bytes);

} // namespace quorvel
