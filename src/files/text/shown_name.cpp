#include "files/text/shown_name.hpp"

#include "engine/codec.hpp"
#include "files/text/message_language.hpp"

#include <algorithm>
#include <cstdio>
#include <unicode/uchar.h>

namespace quorvel {

namespace {

// Characters that draw nothing of their own, or act on the text around them: the
// controls (Cc), the format characters (Cf: bidirectional controls, zero width
// space and joiners, the byte order mark, the soft hyphen...) and the line and
// paragraph separators (Zl, Zp), which a terminal may take for a line break.
bool IsHidden(char32_t c) {
    switch (u_charType(static_cast<UChar32>(c))) {
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
        return true;
    default:
        return false;
    }
}

void AppendHex(std::string& out, const char* format, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

// "\u200B", or "\U000E0001" past the first plane, so that the digits that follow
// an escape are never read as part of it.
void AppendCodePoint(std::string& out, char32_t c) {
    AppendHex(out, c <= 0xFFFF ? "\\u%04X" : "\\U%08X", static_cast<unsigned>(c));
}

// The mark that ends a quoted name: what follows "%s" in `pattern`, without the
// blanks before it (" »" gives "»").
std::string ClosingMark(std::string_view pattern) {
    const std::size_t at = pattern.find("%s");
    if (at == std::string_view::npos) {
        return {};
    }
    Text mark = DecodeName(pattern.substr(at + 2));
    const auto blank = [](char32_t c) { return u_isUWhiteSpace(static_cast<UChar32>(c)) != 0; };
    mark.erase(mark.begin(), std::find_if_not(mark.begin(), mark.end(), blank));
    return EncodeName(mark);
}

} // namespace

std::string ShownName(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    const Text text = DecodeName(bytes);
    for (const char32_t c : text) {
        if (c == U'\\') {
            shown += "\\\\";
        } else if (c == U'\n') {
            shown += "\\n";
        } else if (c == U'\t') {
            shown += "\\t";
        } else if (c == U'\r') {
            shown += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            AppendHex(shown, "\\x%02X", static_cast<unsigned>(c));
        } else if (c >= 0xDC80 && c <= 0xDCFF) { // a byte that is not UTF-8
            AppendHex(shown, "\\x%02X", static_cast<unsigned>(c - 0xDC00));
        } else if (c < 0x80) {
            shown += static_cast<char>(c);
        } else if (IsHidden(c)) {
            AppendCodePoint(shown, c);
        } else {
            EncodeNameInto(TextView(&c, 1), shown);
        }
    }
    return shown;
}

std::string Quoted(std::string_view bytes) {
    // TRANSLATORS: a name quoted in a message. A name that holds the mark after %s
    // shows that mark escaped.
    const std::string_view pattern = Tr("« %s »");
    const std::string shown = ShownName(bytes);
    const std::string closing = ClosingMark(pattern);
    if (closing.empty() || shown.find(closing) == std::string::npos) {
        return FormatText(pattern, {shown});
    }
    // A name that held the closing mark could seem to end early: the name
    // `a » -> « b` would read "« a » -> « b »".
    std::string escaped;
    for (const char32_t c : DecodeName(closing)) {
        AppendCodePoint(escaped, c);
    }
    std::string safe;
    safe.reserve(shown.size() + escaped.size());
    std::size_t at = 0;
    for (std::size_t found = shown.find(closing); found != std::string::npos;
         found = shown.find(closing, at)) {
        safe.append(shown, at, found - at).append(escaped);
        at = found + closing.size();
    }
    safe.append(shown, at);
    return FormatText(pattern, {safe});
}

} // namespace quorvel
