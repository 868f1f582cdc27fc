// Moments as files give them, read into a LocalTime: the dates of EXIF
// ("2024:07:14 15:30:12"), of XMP and QuickTime (ISO 8601, "2024-07-14T15:30:12.347+02:00"),
// and seconds since the epoch shown in the local time zone. The day of the week
// and of the year are always worked out from the date, never taken from the file;
// a date that is no real moment (zeros, blanks, a 13th month, a 31st of April) is
// no date at all.
#pragma once

#include "engine/file_facts.hpp"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::metadata {

// The moment of these date and time fields, with its weekday and day of the year;
// nothing when they make no real moment (years 1 to 9999, a second of 60 allowed).
std::optional<LocalTime> MakeLocalTime(int year, int month, int day, int hour, int minute, int second);

// A date and time "YYYY:MM:DD hh:mm[:ss]" (EXIF) or "YYYY-MM-DDThh:mm[:ss]" (ISO
// 8601), with an optional fraction of a second (".347") and offset ("Z", "+02:00",
// "+0200", "+02"). Blanks and NULs around it are ignored.
std::optional<LocalTime> ParseMoment(std::string_view text);

// An EXIF SubSecTime value: its digits (at most 9), or nothing.
std::optional<std::string> ParseSubSeconds(std::string_view text);
// An offset from UTC ("+02:00", "-0530", "+02", "Z"), in minutes east, or nothing.
std::optional<int> ParseOffset(std::string_view text);

// The moment `seconds` after the epoch (UTC) in the local time zone (TZ), with its
// offset; nothing when the system cannot show it.
std::optional<LocalTime> LocalTimeOfEpochSeconds(std::int64_t seconds);

// "2024-07-14 15:30:12" with ".347" and " +02:00" when known, for the traces.
std::string MomentText(const LocalTime& time);

// `text` without the blanks and NULs around it.
std::string_view Trimmed(std::string_view text);

} // namespace quorvel::metadata
