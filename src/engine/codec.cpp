#include "engine/codec.hpp"

#include <array>

namespace quorvel {

namespace {

constexpr char32_t kEscapeBase = 0xDC00;
constexpr char32_t kReplacement = 0xFFFD;

// Length of the well-formed UTF-8 sequence at the start of `s`, 0 when there is
// none (ill-formed lead byte, truncated, overlong, surrogate or beyond U+10FFFF).
std::size_t SequenceLength(std::string_view s, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    auto cont = [&](std::size_t i, unsigned char lo, unsigned char hi) {
        if (i >= s.size()) {
            return false;
        }
        const auto b = static_cast<unsigned char>(s[i]);
        return b >= lo && b <= hi;
    };
    auto tail = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(s[i]) & 0x3F); };
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (!cont(1, 0x80, 0xBF)) {
            return 0;
        }
        cp = (static_cast<char32_t>(b0 & 0x1F) << 6) | tail(1);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;
        if (!cont(1, lo, hi) || !cont(2, 0x80, 0xBF)) {
            return 0;
        }
        cp = (static_cast<char32_t>(b0 & 0x0F) << 12) | (tail(1) << 6) | tail(2);
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;
        if (!cont(1, lo, hi) || !cont(2, 0x80, 0xBF) || !cont(3, 0x80, 0xBF)) {
            return 0;
        }
        cp = (static_cast<char32_t>(b0 & 0x07) << 18) | (tail(1) << 12) | (tail(2) << 6) | tail(3);
        return 4;
    }
    return 0;
}

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Code points of the bytes 0x80..0x9F in Windows-1252; the five undefined bytes
// keep their own value.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Copies the leading ASCII of `bytes` to the end of `out`; returns how many bytes.
// Most names are ASCII: this is the fast way through them.
std::size_t DecodeAsciiHead(std::string_view bytes, Text& out) {
    std::size_t n = 0;
    while (n < bytes.size() && static_cast<unsigned char>(bytes[n]) < 0x80) {
        ++n;
    }
    const std::size_t at = out.size();
    out.resize(at + n);
    char32_t* dest = out.data() + at;
    for (std::size_t i = 0; i < n; ++i) {
        dest[i] = static_cast<unsigned char>(bytes[i]);
    }
    return n;
}

std::size_t EncodeAsciiHead(TextView text, std::string& out) {
    std::size_t n = 0;
    while (n < text.size() && text[n] < 0x80) {
        ++n;
    }
    const std::size_t at = out.size();
    out.resize(at + n);
    char* dest = out.data() + at;
    for (std::size_t i = 0; i < n; ++i) {
        dest[i] = static_cast<char>(text[i]);
    }
    return n;
}

} // namespace

void DecodeNameInto(std::string_view bytes, Text& out) {
    out.reserve(out.size() + bytes.size());
    std::size_t i = DecodeAsciiHead(bytes, out);
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = SequenceLength(bytes.substr(i), cp);
        if (n == 0) {
            out.push_back(kEscapeBase + b);
            ++i;
        } else {
            out.push_back(cp);
            i += n;
        }
    }
}

Text DecodeName(std::string_view bytes) {
    Text out;
    DecodeNameInto(bytes, out);
    return out;
}

void EncodeNameInto(TextView text, std::string& out) {
    out.reserve(out.size() + text.size());
    for (const char32_t cp : text.substr(EncodeAsciiHead(text, out))) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp >= 0xDC80 && cp <= 0xDCFF) {
            out.push_back(static_cast<char>(cp - kEscapeBase));
        } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            AppendUtf8(kReplacement, out);
        } else {
            AppendUtf8(cp, out);
        }
    }
}

std::string EncodeName(TextView text) {
    std::string out;
    EncodeNameInto(text, out);
    return out;
}

std::optional<Text> DecodeUtf8Strict(std::string_view bytes) {
    Text out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp = 0;
        const std::size_t n = SequenceLength(bytes.substr(i), cp);
        if (n == 0) {
            return std::nullopt;
        }
        out.push_back(cp);
        i += n;
    }
    return out;
}

Text DecodeCp1252(std::string_view bytes) {
    Text out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back((b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : static_cast<char32_t>(b));
    }
    return out;
}

std::optional<std::string> EncodeCp1252(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t cp : text) {
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        bool found = false;
        for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
            if (kCp1252High[i] == cp) {
                out.push_back(static_cast<char>(0x80 + i));
                found = true;
                break;
            }
        }
        if (!found) {
            return std::nullopt;
        }
    }
    return out;
}

Text DecodeTextFile(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (auto utf8 = DecodeUtf8Strict(bytes)) {
        if (bytes.starts_with(kBom)) {
            utf8->erase(0, 1);
        }
        return *std::move(utf8);
    }
    return DecodeCp1252(bytes);
}

} // namespace quorvel
