#include "metadata/fact_time.hpp"

#include <cstdio>

namespace quorvel::metadata {
namespace {

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the date, in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A reader of `text` from left to right.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    bool Take(char c) {
        if (Peek() != c || AtEnd()) {
            return false;
        }
        ++pos_;
        return true;
    }
    // Exactly `count` digits.
    std::optional<int> Number(std::size_t count) {
        if (text_.size() - pos_ < count) {
            return std::nullopt;
        }
        int value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const char c = text_[pos_ + i];
            if (!IsDigit(c)) {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
        pos_ += count;
        return value;
    }
    std::string_view Digits() {
        const std::size_t start = pos_;
        while (IsDigit(Peek())) {
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }
    std::string_view Rest() const { return text_.substr(pos_); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\0' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<LocalTime> MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) {
        return std::nullopt;
    }
    LocalTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    const std::int64_t days = DaysFromCivil(year, month, day);
    time.weekday = static_cast<int>(((days % 7) + 11) % 7); // 1970-01-01 was a Thursday
    time.yearDay = static_cast<int>(days - DaysFromCivil(year, 1, 1) + 1);
    return time;
}

std::optional<int> ParseOffset(std::string_view text) {
    text = Trimmed(text);
    if (text == "Z" || text == "z") {
        return 0;
    }
    Cursor in(text);
    const int sign = in.Take('+') ? 1 : in.Take('-') ? -1 : 0;
    const std::optional<int> hours = in.Number(2);
    if (sign == 0 || !hours) {
        return std::nullopt;
    }
    int minutes = 0;
    if (!in.AtEnd()) {
        in.Take(':');
        const std::optional<int> m = in.Number(2);
        if (!m || !in.AtEnd()) {
            return std::nullopt;
        }
        minutes = *m;
    }
    if (*hours > 18 || minutes > 59 || *hours * 60 + minutes > 18 * 60) {
        return std::nullopt;
    }
    return sign * (*hours * 60 + minutes);
}

std::optional<std::string> ParseSubSeconds(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    for (const char c : text) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
    }
    return std::string(text);
}

std::optional<LocalTime> ParseMoment(std::string_view text) {
    Cursor in(Trimmed(text));
    const std::optional<int> year = in.Number(4);
    const char dateSeparator = in.Peek();
    if (!year || (dateSeparator != ':' && dateSeparator != '-')) {
        return std::nullopt;
    }
    in.Take(dateSeparator);
    const std::optional<int> month = in.Number(2);
    if (!month || !in.Take(dateSeparator)) {
        return std::nullopt;
    }
    const std::optional<int> day = in.Number(2);
    if (!day || !(in.Take('T') || in.Take(' '))) {
        return std::nullopt;
    }
    const std::optional<int> hour = in.Number(2);
    if (!hour || !in.Take(':')) {
        return std::nullopt;
    }
    const std::optional<int> minute = in.Number(2);
    std::optional<int> second = 0;
    if (in.Take(':')) {
        second = in.Number(2);
    }
    if (!minute || !second) {
        return std::nullopt;
    }
    std::optional<LocalTime> time = MakeLocalTime(*year, *month, *day, *hour, *minute, *second);
    if (!time) {
        return std::nullopt;
    }
    if (in.Take('.') || in.Take(',')) {
        const std::optional<std::string> fraction = ParseSubSeconds(in.Digits());
        if (!fraction) {
            return std::nullopt;
        }
        time->subSeconds = *fraction;
    }
    in.Take(' ');
    if (!in.AtEnd()) {
        time->offsetMinutes = ParseOffset(in.Rest());
        if (!time->offsetMinutes) {
            return std::nullopt;
        }
    }
    return time;
}

std::optional<LocalTime> LocalTimeOfEpochSeconds(std::int64_t seconds) {
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (::localtime_r(&when, &parts) == nullptr || parts.tm_year > 9999 - 1900) {
        return std::nullopt;
    }
    std::optional<LocalTime> time = MakeLocalTime(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                                                  parts.tm_hour, parts.tm_min, parts.tm_sec);
    if (time) {
        time->offsetMinutes = static_cast<int>(parts.tm_gmtoff / 60);
    }
    return time;
}

std::string MomentText(const LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    std::string result = text;
    if (!time.subSeconds.empty()) {
        result += "." + time.subSeconds;
    }
    if (time.offsetMinutes) {
        const int offset = *time.offsetMinutes;
        const int magnitude = offset < 0 ? -offset : offset;
        std::snprintf(text, sizeof text, " %c%02d:%02d", offset < 0 ? '-' : '+', magnitude / 60,
                      magnitude % 60);
        result += text;
    }
    return result;
}

} // namespace quorvel::metadata
