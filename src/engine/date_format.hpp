// How a template writes a date ({taken:%Y-%m-%d}): strftime's conversions, done
// here on the moment as the file tells it, with no time zone involved.
//
//   %Y  the year, 4 digits        %y  its last 2 digits
//   %m  the month, 01..12         %d  the day, 01..31
//   %H  the hour, 00..23          %M  the minute      %S  the second
//   %j  the day of the year, 001..366
//   %B  %b  the month's name, whole or short (engine/date_names.hpp)
//   %A  %a  the day's name, whole or short
//   %f  the fractions of a second as the camera wrote them ("347"); "0" when it
//       wrote none
//   %z  the offset from UTC, "+0200" or "-0530"; nothing when it is unknown,
//       since "+0000" would claim a time in UTC
//   %%  a percent sign
// Every other character stands for itself; a "%" before any other character, or
// at the end, makes the format unreadable.
//
// The day of the week and of the year are worked out from the date (the
// Gregorian calendar), whatever the moment's own fields say. A moment that no
// calendar has (month 0 or 13, 30 February, 25 o'clock, the year 0 that cameras
// write when they know no date) is no date at all.
#pragma once

#include "engine/date_names.hpp"
#include "engine/errors.hpp"
#include "engine/file_facts.hpp"
#include "engine/text.hpp"

#include <optional>

namespace quorvel {

// What a date token writes when it names no format: 20240714_153012.
inline constexpr TextView kDefaultDateFormat = U"%Y%m%d_%H%M%S";

class DateFormat {
public:
    // Reads `format`, found at 1-based position `at` of its template.
    DateFormat(TextView format, Pos at);
    // Why it cannot be read; nothing when it can.
    const std::optional<TemplateProblem>& Problem() const { return problem_; }
    // Appends `moment` written in this format to `out`; `moment` must be a date
    // (IsDate).
    void AppendTo(const LocalTime& moment, const DateNames& names, Text& out) const;

private:
    Text format_;
    std::optional<TemplateProblem> problem_;
};

// Whether `moment` is a date of the calendar, years 1 to 9999, with an hour, a
// minute and a second (60 for a leap second) that a clock shows.
bool IsDate(const LocalTime& moment);

} // namespace quorvel
