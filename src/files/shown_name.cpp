#include "files/shown_name.hpp"

#include "engine/codec.hpp"
#include "files/run_messages.hpp"

#include <cstdio>

namespace quorvel {

namespace {

// Characters that reorder or hide the text around them.
bool IsBidiControl(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F ||
           c == 0x061C;
}

void AppendHex(std::string& out, const char* format, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

} // namespace

std::string ShownName(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    const Text text = DecodeName(bytes);
    std::string utf8;
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
        } else if ((c >= 0x80 && c <= 0x9F) || IsBidiControl(c)) {
            AppendHex(shown, "\\u%04X", static_cast<unsigned>(c));
        } else {
            utf8.clear();
            EncodeNameInto(TextView(&c, 1), utf8);
            shown += utf8;
        }
    }
    return shown;
}

std::string Quoted(std::string_view bytes) {
    // TRANSLATORS: a name quoted in a message.
    return FormatText(Tr("« %s »"), {ShownName(bytes)});
}

} // namespace quorvel
