// The tags of audio files made by ffmpeg, read by TagLib.
#include "metadata/fixtures.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::ReadIn;

const FactSet kTags =
    FactSet(Fact::Artist) | Fact::Album | Fact::Title | Fact::Genre | Fact::Year | Fact::Track | Fact::Disc;

class MetadataAudio : public ::testing::Test {
protected:
    void SetUp() override { QUORVEL_NEED_TOOL(ffmpeg, "ffmpeg"); }

    test::TempDir dir_;
};

const std::vector<std::string> kMetadata = {
    "-metadata", "artist=AC/DC", "-metadata", "album=Back in Black", "-metadata", "title=Hells Bells",
    "-metadata", "genre=Rock",   "-metadata", "date=1980-07-25",     "-metadata", "track=3/12",
    "-metadata", "disc=1/2"};

std::vector<std::string> With(std::vector<std::string> options, const std::vector<std::string>& more) {
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

TEST_F(MetadataAudio, TagsOfEveryFormat) {
    const struct {
        const char* name;
        std::vector<std::string> codec;
        bool disc;
    } files[] = {
        {"song.mp3", {"-c:a", "libmp3lame"}, true}, {"song.flac", {"-c:a", "flac"}, true},
        {"song.ogg", {"-c:a", "libvorbis"}, true},  {"song.opus", {"-c:a", "libopus"}, true},
        {"song.m4a", {"-c:a", "aac"}, true},        {"song.wav", {}, false},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        test::MakeAudio(dir_ / file.name, With(file.codec, kMetadata));
        const FileFacts facts = ReadIn(dir_.path(), file.name, kTags);
        ASSERT_TRUE(facts.artist && facts.album && facts.title && facts.genre && facts.year && facts.track);
        EXPECT_EQ(facts.artist->value, "AC/DC");
        EXPECT_EQ(facts.artist->source, "ARTIST AC/DC");
        EXPECT_EQ(facts.album->value, "Back in Black");
        EXPECT_EQ(facts.title->value, "Hells Bells");
        EXPECT_EQ(facts.genre->value, "Rock");
        EXPECT_EQ(facts.year->value, 1980);
        EXPECT_EQ(facts.track->value, 3);
        EXPECT_EQ(facts.track->source.rfind("TRACKNUMBER 3", 0), 0U) << facts.track->source;
        if (file.disc) {
            ASSERT_TRUE(facts.disc);
            EXPECT_EQ(facts.disc->value, 1);
        }
    }
}

TEST_F(MetadataAudio, Id3v1AloneAndNoTagAtAll) {
    // ffmpeg writes ID3v1 only with ID3v2: the ID3v2 tag is cut off the front.
    test::MakeAudio(dir_ / "both.mp3", With({"-c:a", "libmp3lame", "-write_id3v1", "1"}, kMetadata));
    const std::string both = test::ReadFileBytes(dir_ / "both.mp3");
    ASSERT_EQ(both.substr(0, 3), "ID3");
    std::size_t tagSize = 10;
    for (int i = 6; i < 10; ++i) {
        tagSize += static_cast<std::size_t>(static_cast<unsigned char>(both[i])) << (7 * (9 - i));
    }
    dir_.Write("old.mp3", both.substr(tagSize));
    const FileFacts old = ReadIn(dir_.path(), "old.mp3", kTags);
    ASSERT_TRUE(old.artist && old.title && old.year);
    EXPECT_EQ(old.artist->value, "AC/DC");
    EXPECT_EQ(old.year->value, 1980);

    test::MakeAudio(dir_ / "bare.mp3", {"-c:a", "libmp3lame", "-id3v2_version", "0"});
    const FileFacts bare = ReadIn(dir_.path(), "bare.mp3", kTags | Fact::Taken);
    EXPECT_EQ(bare, FileFacts{});
}

} // namespace
} // namespace quorvel
