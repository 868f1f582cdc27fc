// Dates as files write them, read into a LocalTime; the numbers of tags.
#include "metadata/audio_facts.hpp"
#include "metadata/fact_time.hpp"
#include "metadata/fixtures.hpp"

#include <gtest/gtest.h>

namespace quorvel::metadata {
namespace {

TEST(MetadataDates, ExifAndIsoDatesWithTheirFractionsAndOffsets) {
    const std::optional<LocalTime> exif = ParseMoment("2024:07:14 15:30:12");
    ASSERT_TRUE(exif);
    EXPECT_EQ(exif->year, 2024);
    EXPECT_EQ(exif->month, 7);
    EXPECT_EQ(exif->day, 14);
    EXPECT_EQ(exif->hour, 15);
    EXPECT_EQ(exif->minute, 30);
    EXPECT_EQ(exif->second, 12);
    EXPECT_EQ(exif->weekday, 0); // a Sunday
    EXPECT_EQ(exif->yearDay, 196);
    EXPECT_EQ(exif->subSeconds, "");
    EXPECT_FALSE(exif->offsetMinutes);

    const std::optional<LocalTime> iso = ParseMoment("2024-07-14T15:30:12.347+02:00");
    ASSERT_TRUE(iso);
    EXPECT_EQ(iso->subSeconds, "347");
    EXPECT_EQ(iso->offsetMinutes, 120);
    EXPECT_EQ(iso->second, 12);
    EXPECT_EQ(ParseMoment("2024-07-14T15:30:12+0200")->offsetMinutes, 120); // as Apple writes it
    EXPECT_EQ(ParseMoment("2024-07-14T15:30:12Z")->offsetMinutes, 0);
    EXPECT_EQ(ParseMoment("2024-07-14T15:30-05:30")->offsetMinutes, -330);
    EXPECT_EQ(ParseMoment(std::string_view("  2024:07:14 15:30:12\0\0", 23)), exif);

    EXPECT_EQ(ParseOffset("+02:00"), 120);
    EXPECT_EQ(ParseOffset("-03"), -180);
    EXPECT_FALSE(ParseOffset("   :  "));
    EXPECT_FALSE(ParseOffset("+25:00"));
    EXPECT_EQ(ParseSubSeconds(" 347 "), "347");
    EXPECT_FALSE(ParseSubSeconds("34a"));
    EXPECT_FALSE(ParseSubSeconds(""));
}

TEST(MetadataDates, WeekdayAndDayOfYearComeFromTheDate) {
    const std::optional<LocalTime> leapDay = ParseMoment("2024:02:29 00:00:00");
    ASSERT_TRUE(leapDay);
    EXPECT_EQ(leapDay->weekday, 4); // a Thursday
    EXPECT_EQ(leapDay->yearDay, 60);
    EXPECT_EQ(ParseMoment("2024:12:31 23:59:59")->yearDay, 366);
    EXPECT_EQ(ParseMoment("1900:03:01 12:00:00")->weekday, 4);
    EXPECT_EQ(ParseMoment("1900:03:01 12:00:00")->yearDay, 60);
    EXPECT_EQ(ParseMoment("1969:12:31 23:00:00")->weekday, 3);
}

TEST(MetadataDates, WhatIsNoRealMomentIsNoDate) {
    for (const char* text :
         {"0000:00:00 00:00:00", "", "    :  :     :  :  ", "2024:13:01 00:00:00", "2024:04:31 10:00:00",
          "2023:02:29 10:00:00", "2024:07:14 24:00:00", "2024:07:14", "2024:07:14 15:30:12 junk",
          "2024-07-14T15:30:12+25:00", "2024:07:14 15:30:12.", "24:07:14 15:30:12"}) {
        EXPECT_FALSE(ParseMoment(text)) << text;
    }
}

TEST(MetadataDates, EpochSecondsInTheLocalTimeZone) {
    const std::int64_t moment = 1720963812; // 2024-07-14 13:30:12 UTC
    {
        const test::TimeZone paris("CET-1CEST,M3.5.0,M10.5.0/3");
        const std::optional<LocalTime> summer = LocalTimeOfEpochSeconds(moment);
        ASSERT_TRUE(summer);
        EXPECT_EQ(summer->hour, 15);
        EXPECT_EQ(summer->offsetMinutes, 120);
        EXPECT_EQ(MomentText(*summer), "2024-07-14 15:30:12 +02:00");
    }
    const test::TimeZone westward("<-03>3");
    const std::optional<LocalTime> early = LocalTimeOfEpochSeconds(moment - 14 * 3600);
    ASSERT_TRUE(early);
    EXPECT_EQ(early->day, 13);
    EXPECT_EQ(early->hour, 20);
    EXPECT_EQ(early->weekday, 6);
    EXPECT_EQ(early->offsetMinutes, -180);
}

TEST(MetadataDates, NumbersOfTags) {
    EXPECT_EQ(LeadingNumber("3/12"), 3);
    EXPECT_EQ(LeadingNumber(" 07 "), 7);
    EXPECT_EQ(LeadingNumber("2024-05-01"), 2024);
    EXPECT_FALSE(LeadingNumber("0"));
    EXPECT_FALSE(LeadingNumber("A1"));
    EXPECT_FALSE(LeadingNumber("12345678901"));
}

} // namespace
} // namespace quorvel::metadata
