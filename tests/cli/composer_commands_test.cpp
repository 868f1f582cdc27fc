// quorvel-cli on real photos and songs: names from the date a photo was taken and
// from the tags of a song, and the files that lack them failing alone.
#include "cli/cli_fixture.hpp"
#include "metadata/fixtures.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace quorvel {
namespace {

class ComposerCommandsTest : public test::CliFixture {
protected:
    ComposerCommandsTest() { std::filesystem::create_directory(folder_); }

    std::string folder_ = dir_ / "photos";
};

TEST_F(ComposerCommandsTest, PhotosAreNamedByTheDateTheyWereTakenAndTheOthersFailAlone) {
    QUORVEL_NEED_TOOL(python, "python3-pil");
    QUORVEL_NEED_TOOL(exiv2, "exiv2");
    // Taken in summer at +02:00, edited in winter: the edit date is never used.
    test::MakePicture(folder_ + "/IMG_0001.jpg", 32, 24);
    test::SetTags(folder_ + "/IMG_0001.jpg",
                  {"set Exif.Photo.DateTimeOriginal 2024:07:14 15:30:12",
                   "set Exif.Photo.SubSecTimeOriginal 347", "set Exif.Photo.OffsetTimeOriginal +02:00",
                   "set Exif.Image.DateTime 2025:01:02 03:04:05"});
    // Edited only: no date taken.
    test::MakePicture(folder_ + "/IMG_0002.jpg", 32, 24);
    test::SetTags(folder_ + "/IMG_0002.jpg", {"set Exif.Image.DateTime 2025:01:02 03:04:05"});
    dir_.Write("photos/notes.jpg", "not a photo at all");
    const std::string script = dir_.Write(
        "taken.script", "40|Composer le nom avec [Mod\xE8le={taken:%Y-%m-%d_%H%M%S.%f%z}_{n:01}]\r\n");

    auto r = Cli({"preview", script, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "IMG_0001.jpg\t2024-07-14_153012.347+0200_01.jpg\n");
    EXPECT_NE(r.err.find("échec : « IMG_0002.jpg » : pas de date de prise de vue\n"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("échec : « notes.jpg » : pas de date de prise de vue\n"), std::string::npos)
        << r.err;

    r = Cli({"run", "--dry-run", script, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "IMG_0001.jpg\t2024-07-14_153012.347+0200_01.jpg\n");

    // The modification date stands in where there is no date taken.
    const std::string either =
        dir_.Write("either.script", "41|Composer [Mod\xE8le={taken,modified:%Y}_] au d\xE9"
                                    "but\r\n");
    std::filesystem::last_write_time(folder_ + "/notes.jpg", std::filesystem::file_time_type::clock::now() -
                                                                 std::chrono::hours(24 * 800));
    r = Cli({"run", either, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/2024_IMG_0001.jpg"));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/notes.jpg"));
    EXPECT_EQ(Cli({"undo", folder_}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/IMG_0001.jpg"));
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/notes.jpg"));
}

TEST_F(ComposerCommandsTest, SongsAreNamedByTheirTagsAndASlashNeverMakesAFolder) {
    QUORVEL_NEED_TOOL(ffmpeg, "ffmpeg");
    test::MakeAudio(folder_ + "/a.mp3", {"-metadata", "artist=AC/DC", "-metadata", "title= Thunderstruck ",
                                         "-metadata", "track=3/12"});
    test::MakeAudio(folder_ + "/b.flac", {"-metadata", "title=Untitled"});
    const std::string script =
        dir_.Write("song.script", "40|Composer le nom avec [Mod\xE8le={track:2} {artist} - {title}]\r\n");
    const auto r = Cli({"run", script, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/03 AC_DC - Thunderstruck.mp3")) << r.err;
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/b.flac"));
    EXPECT_NE(r.err.find("« b.flac »"), std::string::npos) << r.err;
}

} // namespace
} // namespace quorvel
