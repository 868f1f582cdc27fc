// The size text shown under each file name.
#include "files/listing/size_text.hpp"

#include "engine/codec.hpp"
#include "engine/primitives.hpp"
#include "files/listing/project_file.hpp"
#include "files/text/message_language.hpp"

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <string>

namespace quorvel {

namespace {

// The number and its unit, in the language of the messages.
constexpr std::array<const char*, 4> kUnits = {TrNoop("%s o"), TrNoop("%s Ko"), TrNoop("%s Mo"),
                                               TrNoop("%s Go")};

Text WithUnit(std::string_view number, std::size_t level) {
    return DecodeName(FormatText(Tr(kUnits[level]), {number}));
}

std::int64_t PowerOfTen(int n) {
    std::int64_t p = 1;
    while (n-- > 0) {
        p *= 10;
    }
    return p;
}

// `x` (at least 1) rounded to 5 significant digits and at most 2 decimals, in
// hundredths.
std::int64_t RoundedHundredths(double x) {
    int digits = 1;
    for (double whole = std::floor(x); whole >= 10; whole /= 10) {
        ++digits;
    }
    if (digits <= 5) {
        const int decimals = std::min(2, 5 - digits);
        const auto scaled =
            static_cast<std::int64_t>(std::round(x * static_cast<double>(PowerOfTen(decimals))));
        return scaled * PowerOfTen(2 - decimals);
    }
    const auto step = static_cast<double>(PowerOfTen(digits - 5));
    return static_cast<std::int64_t>(std::round(x / step) * step) * 100;
}

} // namespace

Text SizeText(std::int64_t size, char32_t decimalSeparator) {
    double x = static_cast<double>(size);
    std::size_t level = 0;
    // Beyond Go the count goes on in Go: a size is never shown smaller than it is.
    while (level + 1 < kUnits.size() && std::floor(x / 1024) >= 1) {
        x /= 1024;
        ++level;
    }
    if (level == 0) {
        return WithUnit(std::to_string(size), 0);
    }
    const std::int64_t hundredths = RoundedHundredths(x);
    const std::int64_t cents = hundredths % 100;
    Text number = FromUtf8Literal(std::to_string(hundredths / 100));
    number.push_back(decimalSeparator);
    number.push_back(static_cast<char32_t>(U'0' + cents / 10));
    number.push_back(static_cast<char32_t>(U'0' + cents % 10));
    return WithUnit(EncodeName(Trim(TrimZeros(number, decimalSeparator))), level);
}

Text SizeText(std::int64_t size) {
    const std::lconv* conv = std::localeconv();
    const Text point = DecodeName(conv && conv->decimal_point ? conv->decimal_point : ".");
    return SizeText(size, point.empty() ? U'.' : point.front());
}

} // namespace quorvel
