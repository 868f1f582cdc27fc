#include "engine/primitives.hpp"

#include "engine/search.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace quorvel {

// --- Base operations ---------------------------------------------------------

TextView SubText(TextView s, Pos index, Pos count) {
    const Pos len = Length(s);
    if (len == 0 || index > len || count <= 0) {
        return {};
    }
    const Pos start = std::max<Pos>(index, 1);
    const Pos n = std::min(count, len - start + 1);
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}

Text DeleteText(TextView s, Pos index, Pos count) {
    const Pos len = Length(s);
    Text out(s);
    if (index < 1 || index > len || count <= 0) {
        return out;
    }
    const Pos n = std::min(count, len - index + 1);
    out.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(n));
    return out;
}

Text InsertText(TextView piece, TextView s, Pos index) {
    const Pos at = std::clamp<Pos>(index, 1, Length(s) + 1);
    Text out;
    out.reserve(s.size() + piece.size());
    out.append(s.substr(0, static_cast<std::size_t>(at - 1)));
    out.append(piece);
    out.append(s.substr(static_cast<std::size_t>(at - 1)));
    return out;
}

Pos PosOf(TextView sub, TextView s) {
    const std::size_t at = Searcher(sub, CaseMode::Exact).FindFrom(s, 0);
    return at == Searcher::npos ? 0 : static_cast<Pos>(at) + 1;
}

TextView ExtOf(TextView name) {
    for (std::size_t at = name.size(); at > 0; --at) {
        const char32_t c = name[at - 1];
        if (c == U'.') {
            return name.substr(at - 1);
        }
        if (c == U'/') {
            break;
        }
    }
    return {};
}

Text ChangeExt(TextView name, TextView ext) {
    Text out(name.substr(0, name.size() - ExtOf(name).size()));
    out.append(ext);
    return out;
}

// --- Primitives --------------------------------------------------------------

TextView StrLeft(TextView s, Pos n) {
    const Pos len = Length(s);
    if (n < 0) {
        n += len;
    }
    n = std::min(n, len);
    return n <= 0 ? TextView{} : SubText(s, 1, n);
}

TextView StrRight(TextView s, Pos n) {
    const Pos len = Length(s);
    const Pos m = std::clamp<Pos>(n, 0, len);
    return m <= 0 ? TextView{} : SubText(s, len - n + 1, n);
}

TextView StrFrom(TextView s, Pos p) {
    const Pos len = Length(s);
    if (p == 0 || p > len) {
        return {};
    }
    return SubText(s, p, len - p + 1);
}

TextView StrMid(TextView s, Pos p, Pos n) {
    if (s.empty() || n <= 0 || p > Length(s)) {
        return {};
    }
    return SubText(s, p, n);
}

Pos FindNth(TextView s, TextView sub, Pos n) {
    const std::size_t at = Searcher(sub, CaseMode::FoldAZ).FindNth(s, n);
    return at == Searcher::npos ? 0 : static_cast<Pos>(at) + 1;
}

namespace {

// NthField for a one-character separator that is not a letter: the same cuts
// without the general search machinery. Script lines are cut this way at "|",
// "]", "[" and "=" many times for every file.
TextView NthFieldAtChar(TextView s, char32_t sep, Pos n) {
    if (n <= 0) {
        return s;
    }
    std::size_t start = 0;
    for (Pos k = 1; k < n; ++k) {
        const std::size_t at = FindChar(s, start, sep);
        if (at == TextView::npos) {
            return {};
        }
        start = at + 1;
    }
    const std::size_t end = FindChar(s, start, sep);
    return s.substr(start, end == TextView::npos ? TextView::npos : end - start);
}

} // namespace

TextView NthField(TextView s, TextView sep, Pos n) {
    if (sep.size() == 1 && !IsLetterAZ(sep[0])) {
        return NthFieldAtChar(s, sep[0], n);
    }
    const Searcher searcher(sep, CaseMode::FoldAZ);
    const Pos len = Length(s);
    Pos start = 1;
    std::size_t next = Searcher::npos; // 0-based index of the n-th separator
    if (n >= 2) {
        const std::size_t a = searcher.FindNth(s, n - 1);
        if (a == Searcher::npos) {
            return {};
        }
        start = static_cast<Pos>(a) + 1 + Length(sep);
        // The n-th occurrence is the first one after the (n-1)-th, overlaps allowed.
        next = searcher.FindFrom(s, a + 1);
    } else if (n == 1) {
        next = searcher.FindFrom(s, 0);
    }
    if (next == Searcher::npos) {
        return StrMid(s, start, len - start + 1);
    }
    return StrMid(s, start, static_cast<Pos>(next) + 1 - start);
}

namespace {

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

const locale_t& CLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

} // namespace

std::optional<double> ParseDecimal(TextView s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == U' ') {
        ++i;
    }
    const std::size_t begin = i;
    bool negative = false;
    if (i < s.size() && (s[i] == U'+' || s[i] == U'-')) {
        negative = s[i] == U'-';
        ++i;
    }
    const std::size_t intStart = i;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
    }
    const std::size_t intDigits = i - intStart;
    std::size_t fracDigits = 0;
    bool point = false;
    if (i < s.size() && s[i] == U'.') {
        point = true;
        ++i;
        const std::size_t fracStart = i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
        }
        fracDigits = i - fracStart;
    }
    if (intDigits + fracDigits == 0) {
        return std::nullopt;
    }
    bool exponent = false;
    if (i < s.size() && (s[i] == U'e' || s[i] == U'E')) {
        exponent = true;
        ++i;
        if (i < s.size() && (s[i] == U'+' || s[i] == U'-')) {
            ++i;
        }
        const std::size_t expStart = i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
        }
        if (i == expStart) {
            return std::nullopt;
        }
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    // Plain integers of up to 15 digits are exact in a double: no need for strtod.
    if (!point && !exponent && intDigits <= 15) {
        std::int64_t v = 0;
        for (std::size_t k = intStart; k < intStart + intDigits; ++k) {
            v = v * 10 + static_cast<std::int64_t>(s[k] - U'0');
        }
        return static_cast<double>(negative ? -v : v);
    }
    // Everything from `begin` is ASCII now.
    std::string ascii;
    ascii.reserve(s.size() - begin);
    for (std::size_t k = begin; k < s.size(); ++k) {
        ascii.push_back(static_cast<char>(s[k]));
    }
    return strtod_l(ascii.c_str(), nullptr, CLocale());
}

double NthFieldFloat(TextView s, TextView sep, Pos n) {
    return ParseDecimal(NthField(Trim(s), sep, n)).value_or(0.0);
}

std::int32_t NthFieldInt(TextView s, TextView sep, Pos n) {
    const double rounded = std::nearbyint(NthFieldFloat(s, sep, n));
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(rounded)) {
        return 0;
    }
    if (rounded >= kMax) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (rounded <= kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(rounded);
}

Text ReplaceFirst(TextView s, TextView sub, TextView repl) {
    const Pos p = PosOf(sub, s);
    if (p == 0) {
        return Text(s);
    }
    Text out;
    out.reserve(s.size() - sub.size() + repl.size());
    out.append(s.substr(0, static_cast<std::size_t>(p - 1)));
    out.append(repl);
    out.append(s.substr(static_cast<std::size_t>(p - 1) + sub.size()));
    return out;
}

std::optional<Text> ReplaceAllLimited(TextView s, TextView sub, TextView repl, Pos limit) {
    const Searcher searcher(sub, CaseMode::FoldAZ);
    std::size_t at = searcher.FindFrom(s, 0);
    if (at == Searcher::npos) {
        return Text(s);
    }
    Text out;
    out.reserve(s.size());
    std::size_t done = 0;
    while (at != Searcher::npos) {
        out.append(s.substr(done, at - done));
        out.append(repl);
        done = at + sub.size();
        if (Length(out) > limit) {
            return std::nullopt;
        }
        at = searcher.FindFrom(s, done);
    }
    out.append(s.substr(done));
    if (Length(out) > limit) {
        return std::nullopt;
    }
    return out;
}

Text ReplaceAll(TextView s, TextView sub, TextView repl) {
    return *ReplaceAllLimited(s, sub, repl, std::numeric_limits<Pos>::max());
}

Pos CountOf(TextView s, TextView sub) {
    return Searcher(sub, CaseMode::Exact).CountOverlapping(s);
}

Text TrimZeros(TextView s, char32_t sep) {
    if (s.find(sep) == TextView::npos) {
        return Text(s);
    }
    while (!s.empty() && s.back() == U'0') {
        s.remove_suffix(1);
    }
    if (!s.empty() && s.back() == sep) {
        s.remove_suffix(1);
    }
    return Text(s);
}

char32_t WithoutAccent(char32_t c) {
    switch (c) {
    case U'\u00E9':
    case U'\u00E8':
    case U'\u00EA':
        return U'e';
    case U'\u00E0':
    case U'\u00E2':
        return U'a';
    case U'\u00F9':
    case U'\u00FB':
        return U'u';
    case U'\u00EE':
    case U'\u00EF':
        return U'i';
    case U'\u00F4':
        return U'o';
    case U'\u00E7':
        return U'c';
    default:
        return c;
    }
}

Text RemoveAccents(TextView s) {
    Text out(s);
    for (char32_t& c : out) {
        c = WithoutAccent(c);
    }
    return out;
}

void AppendPadNumber(std::int64_t v, Pos width, Text& out) {
    std::array<char32_t, 24> digits{};
    std::size_t n = 0;
    // Work on the magnitude as unsigned so that the smallest value has one too.
    std::uint64_t m = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    do {
        digits[n++] = U'0' + static_cast<char32_t>(m % 10);
        m /= 10;
    } while (m != 0);
    if (v < 0) {
        digits[n++] = U'-';
    }
    std::reverse(digits.begin(), digits.begin() + static_cast<std::ptrdiff_t>(n));
    const Pos pad = std::max<Pos>(0, width - static_cast<Pos>(n));
    out.append(static_cast<std::size_t>(pad), U'0');
    out.append(digits.data(), n);
}

Text PadNumber(std::int64_t v, Pos width) {
    Text out;
    AppendPadNumber(v, width, out);
    return out;
}

namespace {
bool IsWordDelimiter(char32_t c) {
    switch (c) {
    case 10:
    case 13:
    case U' ':
    case U'!':
    case U'"':
    case U'\'':
    case U',':
    case U'.':
    case U':':
    case U';':
    case U'?':
        return true;
    default:
        return false;
    }
}
} // namespace

WordRange WordBounds(TextView s, Pos p) {
    const Pos len = Length(s);
    if (len == 0) {
        return {1, 0};
    }
    p = std::clamp<Pos>(p, 1, len);
    Pos first = 1;
    for (Pos i = p; i >= 1; --i) {
        if (IsWordDelimiter(s[static_cast<std::size_t>(i - 1)])) {
            first = i + 1;
            break;
        }
    }
    Pos last = len;
    for (Pos i = p; i <= len; ++i) {
        if (IsWordDelimiter(s[static_cast<std::size_t>(i - 1)])) {
            last = i - 1;
            break;
        }
    }
    return {first, last};
}

} // namespace quorvel
