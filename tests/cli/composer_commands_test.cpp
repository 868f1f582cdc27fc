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

// Numbering in the order of the dates taken, of the sizes, reversed; files without
// the key come last, in name order.
TEST_F(ComposerCommandsTest, FilesAreNumberedInTheOrderOfTheKeyAsked) {
    QUORVEL_NEED_TOOL(python, "python3-pil");
    QUORVEL_NEED_TOOL(exiv2, "exiv2");
    const std::pair<const char*, const char*> photos[] = {
        {"a.jpg", "2024:07:14 15:30:12"}, {"b.jpg", "2023:01:01 08:00:00"}, {"c.jpg", "2024:07:14 15:30:11"}};
    for (const auto& [name, taken] : photos) {
        test::MakePicture(folder_ + "/" + name, 8, 8);
        test::SetTags(folder_ + "/" + name, {std::string("set Exif.Photo.DateTimeOriginal ") + taken});
    }
    dir_.Write("photos/0.jpg", "no date, the smallest file");
    const std::string script = dir_.Write("n.script", "19|Ajouter [Num\xE9ro=1] au d\xE9"
                                                      "but\r\n");
    auto r = Cli({"preview", "--sort", "taken", script, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "b.jpg\t1b.jpg\nc.jpg\t2c.jpg\na.jpg\t3a.jpg\n0.jpg\t40.jpg\n");
    r = Cli({"preview", "--sort=taken", "--reverse", script, folder_});
    EXPECT_EQ(r.out, "a.jpg\t1a.jpg\nc.jpg\t2c.jpg\nb.jpg\t3b.jpg\n0.jpg\t40.jpg\n");
    r = Cli({"preview", "--sort", "size", script, folder_});
    EXPECT_TRUE(r.out.starts_with("0.jpg\t10.jpg\n")) << r.out;
    r = Cli({"run", "--dry-run", "--sort", "name", "--reverse", script, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("c.jpg\t1c.jpg\n"), std::string::npos) << r.out;

    r = Cli({"preview", "--sort", "colour", script, folder_});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_NE(r.err.find("clé de tri inconnue : « colour »"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"preview", script, folder_, "--sort"}).out, "") << "after the script, the filter";
    EXPECT_EQ(Cli({"apply", "--sort", "taken", script}).exitCode, 64) << "apply has no files to sort";
}

} // namespace
} // namespace quorvel
