#include "engine/date_format.hpp"

#include "engine/codec.hpp"
#include "engine/primitives.hpp"

#include <cstdlib>

namespace quorvel {

namespace {

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// 0 for Sunday .. 6 (Sakamoto's method).
int WeekdayOf(int year, int month, int day) {
    static constexpr int kShift[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = month < 3 ? year - 1 : year;
    return (y + y / 4 - y / 100 + y / 400 + kShift[month - 1] + day) % 7;
}

int YearDayOf(int year, int month, int day) {
    int days = day;
    for (int m = 1; m < month; ++m) {
        days += DaysInMonth(year, m);
    }
    return days;
}

bool IsConversion(char32_t c) {
    switch (c) {
    case U'Y':
    case U'y':
    case U'm':
    case U'd':
    case U'H':
    case U'M':
    case U'S':
    case U'j':
    case U'b':
    case U'B':
    case U'a':
    case U'A':
    case U'f':
    case U'z':
    case U'%':
        return true;
    default:
        return false;
    }
}

// The digits of the fractions of a second as written, "0" when there are none.
void AppendSubSeconds(const std::string& written, Text& out) {
    const std::size_t before = out.size();
    for (const char c : written) {
        if (c >= '0' && c <= '9') {
            out.push_back(static_cast<char32_t>(c));
        }
    }
    if (out.size() == before) {
        out.push_back(U'0');
    }
}

// "+0200", "-0530"; nothing for an offset no place on Earth has.
void AppendOffset(const std::optional<int>& minutes, Text& out) {
    constexpr int kFurthest = 18 * 60;
    if (!minutes || *minutes < -kFurthest || *minutes > kFurthest) {
        return;
    }
    out.push_back(*minutes < 0 ? U'-' : U'+');
    const int magnitude = std::abs(*minutes);
    AppendPadNumber(magnitude / 60, 2, out);
    AppendPadNumber(magnitude % 60, 2, out);
}

} // namespace

bool IsDate(const LocalTime& t) {
    return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

DateFormat::DateFormat(TextView format, Pos at) : format_(format) {
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != U'%') {
            continue;
        }
        if (i + 1 == format.size() || !IsConversion(format[i + 1])) {
            problem_ = TemplateProblem{kTemplateUnknownFormatMessage, EncodeName(format.substr(i, 2)),
                                       at + static_cast<Pos>(i)};
            return;
        }
        ++i;
    }
}

void DateFormat::AppendTo(const LocalTime& t, const DateNames& names, Text& out) const {
    for (std::size_t i = 0; i < format_.size(); ++i) {
        if (format_[i] != U'%' || i + 1 == format_.size()) {
            out.push_back(format_[i]);
            continue;
        }
        const auto month = static_cast<std::size_t>(t.month - 1);
        const auto weekday = static_cast<std::size_t>(WeekdayOf(t.year, t.month, t.day));
        switch (format_[++i]) {
        case U'Y':
            AppendPadNumber(t.year, 4, out);
            break;
        case U'y':
            AppendPadNumber(t.year % 100, 2, out);
            break;
        case U'm':
            AppendPadNumber(t.month, 2, out);
            break;
        case U'd':
            AppendPadNumber(t.day, 2, out);
            break;
        case U'H':
            AppendPadNumber(t.hour, 2, out);
            break;
        case U'M':
            AppendPadNumber(t.minute, 2, out);
            break;
        case U'S':
            AppendPadNumber(t.second, 2, out);
            break;
        case U'j':
            AppendPadNumber(YearDayOf(t.year, t.month, t.day), 3, out);
            break;
        case U'B':
            out.append(names.months[month]);
            break;
        case U'b':
            out.append(names.shortMonths[month]);
            break;
        case U'A':
            out.append(names.days[weekday]);
            break;
        case U'a':
            out.append(names.shortDays[weekday]);
            break;
        case U'f':
            AppendSubSeconds(t.subSeconds, out);
            break;
        case U'z':
            AppendOffset(t.offsetMinutes, out);
            break;
        default: // "%%"; a format that was refused is never written
            out.push_back(format_[i]);
            break;
        }
    }
}

} // namespace quorvel
