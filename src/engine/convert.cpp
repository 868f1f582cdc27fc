#include "engine/convert.hpp"

#include "engine/errors.hpp"

#include <memory>
#include <new>
#include <string>
#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

namespace quorvel {

namespace {

// Texts handed to ICU stay far below its 32-bit counts; no name comes near this.
constexpr std::size_t kMaxConverted = std::size_t{1} << 26;

bool IsScalar(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

std::uint32_t CategoryMask(char32_t c) {
    return U_GET_GC_MASK(static_cast<UChar32>(c));
}

bool InWord(char32_t c) {
    return IsScalar(c) && (CategoryMask(c) & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
}

bool IsAscii(TextView s) {
    for (const char32_t c : s) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

char32_t LowerAscii(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c + 32 : c;
}

char32_t UpperAscii(char32_t c) {
    return c >= U'a' && c <= U'z' ? c - 32 : c;
}

// Every character of `s` is a scalar value.
void ToUtf16(TextView s, std::u16string& out) {
    out.clear();
    for (const char32_t c : s) {
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        }
    }
}

void AppendUtf32(std::u16string_view s, Text& out) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char32_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((u - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(u);
        }
    }
}

// Writes into `out` with `call(dest, capacity, src, length, status)`, which returns
// the length it wrote or, on U_BUFFER_OVERFLOW_ERROR, the length it needs. A text
// that ICU cannot convert for another reason than memory stays as it was.
template <typename Call> void Run(const std::u16string& in, std::u16string& out, Call call) {
    // Case mappings and composition grow a text three times at most.
    auto capacity = static_cast<std::int32_t>(in.size() * 3 + 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        out.resize(static_cast<std::size_t>(capacity));
        UErrorCode status = U_ZERO_ERROR;
        const std::int32_t length =
            call(out.data(), capacity, in.data(), static_cast<std::int32_t>(in.size()), status);
        if (U_SUCCESS(status)) {
            out.resize(static_cast<std::size_t>(length));
            return;
        }
        if (status == U_MEMORY_ALLOCATION_ERROR) {
            throw std::bad_alloc();
        }
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            break;
        }
        capacity = length;
    }
    out = in;
}

struct CloseCaseMap {
    void operator()(UCaseMap* map) const { ucasemap_close(map); }
};

// Title case of one word: its first character titled, whatever its kind, and the
// rest lower-cased with the whole word as context.
UCaseMap* WordTitleMap() {
    thread_local const std::unique_ptr<UCaseMap, CloseCaseMap> map = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCaseMap, CloseCaseMap> opened(
            ucasemap_open("", U_TITLECASE_WHOLE_STRING | U_TITLECASE_NO_BREAK_ADJUSTMENT, &status));
        if (U_FAILURE(status)) {
            opened.reset();
        }
        return opened;
    }();
    if (map == nullptr) {
        throw std::bad_alloc();
    }
    return map.get();
}

const UNormalizer2* Nfc() {
    static const UNormalizer2* const nfc = [] {
        UErrorCode status = U_ZERO_ERROR;
        const UNormalizer2* instance = unorm2_getNFCInstance(&status);
        return U_SUCCESS(status) ? instance : nullptr;
    }();
    if (nfc == nullptr) {
        throw std::bad_alloc();
    }
    return nfc;
}

void AppendAscii(TextView run, Conversion how, Text& out) {
    switch (how) {
    case Conversion::Lower:
        for (const char32_t c : run) {
            out.push_back(LowerAscii(c));
        }
        return;
    case Conversion::Upper:
        for (const char32_t c : run) {
            out.push_back(UpperAscii(c));
        }
        return;
    case Conversion::TitleWords:
        out.push_back(UpperAscii(run[0]));
        for (const char32_t c : run.substr(1)) {
            out.push_back(LowerAscii(c));
        }
        return;
    case Conversion::Compose:
        out.append(run);
        return;
    }
}

// `run` is a word for TitleWords, a run of scalar values otherwise; never empty.
void AppendRun(TextView run, Conversion how, Text& out) {
    if (IsAscii(run)) {
        AppendAscii(run, how, out);
        return;
    }
    // Kept from name to name, so that converting many names does not allocate each time.
    thread_local std::u16string in;
    thread_local std::u16string converted;
    ToUtf16(run, in);
    switch (how) {
    case Conversion::Lower:
        Run(in, converted,
            [](char16_t* d, std::int32_t cap, const char16_t* s, std::int32_t n, UErrorCode& st) {
                return u_strToLower(d, cap, s, n, "", &st);
            });
        break;
    case Conversion::Upper:
        Run(in, converted,
            [](char16_t* d, std::int32_t cap, const char16_t* s, std::int32_t n, UErrorCode& st) {
                return u_strToUpper(d, cap, s, n, "", &st);
            });
        break;
    case Conversion::TitleWords:
        if ((CategoryMask(run[0]) & U_GC_L_MASK) != 0) {
            UCaseMap* map = WordTitleMap();
            Run(in, converted,
                [map](char16_t* d, std::int32_t cap, const char16_t* s, std::int32_t n, UErrorCode& st) {
                    return ucasemap_toTitle(map, d, cap, s, n, &st);
                });
        } else {
            Run(in, converted,
                [](char16_t* d, std::int32_t cap, const char16_t* s, std::int32_t n, UErrorCode& st) {
                    return u_strToLower(d, cap, s, n, "", &st);
                });
        }
        break;
    case Conversion::Compose: {
        const UNormalizer2* nfc = Nfc();
        UErrorCode status = U_ZERO_ERROR;
        if (unorm2_spanQuickCheckYes(nfc, in.data(), static_cast<std::int32_t>(in.size()), &status) ==
                static_cast<std::int32_t>(in.size()) &&
            U_SUCCESS(status)) {
            out.append(run);
            return;
        }
        Run(in, converted,
            [nfc](char16_t* d, std::int32_t cap, const char16_t* s, std::int32_t n, UErrorCode& st) {
                return unorm2_normalize(nfc, s, n, d, cap, &st);
            });
        break;
    }
    }
    AppendUtf32(converted, out);
}

} // namespace

void AppendConverted(TextView s, Conversion how, Text& out) {
    if (s.size() > kMaxConverted) {
        throw NameTooLongError();
    }
    // Runs of what may change, cut at what never does.
    auto changes = [how](char32_t c) { return how == Conversion::TitleWords ? InWord(c) : IsScalar(c); };
    std::size_t i = 0;
    while (i < s.size()) {
        if (!changes(s[i])) {
            out.push_back(s[i]);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < s.size() && changes(s[j])) {
            ++j;
        }
        AppendRun(s.substr(i, j - i), how, out);
        i = j;
    }
}

} // namespace quorvel
