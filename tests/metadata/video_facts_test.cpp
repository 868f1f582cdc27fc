// The facts of MP4 and QuickTime videos made by ffmpeg.
#include "metadata/fact_time.hpp"
#include "metadata/fixtures.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::ReadIn;

const FactSet kVideo = FactSet(Fact::Taken) | Fact::Make | Fact::Model | Fact::Width | Fact::Height;

class MetadataVideos : public ::testing::Test {
protected:
    void SetUp() override { QUORVEL_NEED_TOOL(ffmpeg, "ffmpeg"); }

    test::TempDir dir_;
};

TEST_F(MetadataVideos, MovieHeaderTimeIsUtcShownInTheLocalZone) {
    test::MakeVideo(dir_ / "end.mp4", {"-metadata", "creation_time=2024-07-14T13:30:12Z"});
    test::MakeVideo(dir_ / "start.mp4",
                    {"-metadata", "creation_time=2024-07-14T13:30:12Z", "-movflags", "+faststart"});
    test::MakeVideo(dir_ / "clip.mov", {"-metadata", "creation_time=2024-07-14T13:30:12Z"});
    for (const char* name : {"end.mp4", "start.mp4", "clip.mov"}) {
        SCOPED_TRACE(name);
        {
            const test::TimeZone paris("CET-1CEST,M3.5.0,M10.5.0/3");
            const FileFacts facts = ReadIn(dir_.path(), name, kVideo);
            ASSERT_TRUE(facts.taken);
            EXPECT_EQ(facts.taken->value, metadata::ParseMoment("2024-07-14T15:30:12+02:00"));
            EXPECT_EQ(facts.taken->source, "mvhd 2024-07-14 13:30:12 UTC");
            ASSERT_TRUE(facts.width && facts.height);
            EXPECT_EQ(facts.width->value, 64);
            EXPECT_EQ(facts.height->value, 48);
            EXPECT_FALSE(facts.make);
        }
        const test::TimeZone utc("UTC0");
        const FileFacts facts = ReadIn(dir_.path(), name, Fact::Taken);
        ASSERT_TRUE(facts.taken);
        EXPECT_EQ(facts.taken->value, metadata::ParseMoment("2024-07-14T13:30:12Z"));
    }
}

TEST_F(MetadataVideos, AppleCreationDateKeepsTheOffsetOfThePlace) {
    test::MakeVideo(dir_ / "phone.mov",
                    {"-movflags", "use_metadata_tags", "-metadata", "creation_time=2024-07-14T13:30:12Z",
                     "-metadata", "com.apple.quicktime.creationdate=2024-07-14T09:30:12-0400", "-metadata",
                     "com.apple.quicktime.make=Apple", "-metadata", "com.apple.quicktime.model=iPhone 15"});
    const test::TimeZone paris("CET-1CEST,M3.5.0,M10.5.0/3");
    const FileFacts facts = ReadIn(dir_.path(), "phone.mov", kVideo);
    ASSERT_TRUE(facts.taken && facts.make && facts.model);
    EXPECT_EQ(facts.taken->value, metadata::ParseMoment("2024-07-14T09:30:12-04:00"));
    EXPECT_EQ(facts.taken->source, "com.apple.quicktime.creationdate 2024-07-14T09:30:12-0400");
    EXPECT_EQ(facts.make->value, "Apple");
    EXPECT_EQ(facts.model->value, "iPhone 15");
}

TEST_F(MetadataVideos, AVideoWithoutDateHasOnlyItsSize) {
    test::MakeVideo(dir_ / "plain.mp4");
    const FileFacts facts = ReadIn(dir_.path(), "plain.mp4", kVideo | Fact::Artist);
    EXPECT_FALSE(facts.taken || facts.make || facts.model || facts.artist);
    ASSERT_TRUE(facts.width);
    EXPECT_EQ(facts.width->value, 64);
}

} // namespace
} // namespace quorvel
