// Files that are not what their names say, cut short, or not files at all: they
// have no facts, and reading them never blocks, crashes or reads a device.
#include "metadata/fixtures.hpp"
#include "support/temp_dir.hpp"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::ReadIn;

const FactSet kAll = FactSet(Fact::Taken) | Fact::Modified | Fact::Make | Fact::Model | Fact::Lens |
                     Fact::Width | Fact::Height | Fact::Artist | Fact::Album | Fact::Title | Fact::Genre |
                     Fact::Year | Fact::Track | Fact::Disc;

// `facts` with nothing but the modification time.
bool OnlyModified(FileFacts facts) {
    const bool modified = facts.modified.has_value();
    facts.modified.reset();
    return modified && facts == FileFacts{};
}

TEST(MetadataSafety, WhatIsNotARegularFileHasNoFactsAndIsNeverOpened) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.jpg").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "zero.mp3");
    std::filesystem::create_symlink("nowhere", dir / "dangling.jpg");
    std::filesystem::create_directory(dir / "folder.jpg");
    for (const char* name : {"fifo.jpg", "zero.mp3", "dangling.jpg", "folder.jpg", "missing.jpg"}) {
        EXPECT_EQ(ReadIn(dir.path(), name, kAll), FileFacts{}) << name;
    }
}

TEST(MetadataSafety, TextEmptyAndTruncatedFilesHaveTheirDateAlone) {
    test::TempDir dir;
    dir.Write("text.jpg", "This is no picture at all.\n");
    dir.Write("empty.jpg", "");
    dir.Write("empty.mp3", "");
    dir.Write("ff.jpg", std::string("\xFF\xD8\xFF\xE1\xFF\xFF", 6));
    for (const char* name : {"text.jpg", "empty.jpg", "empty.mp3", "ff.jpg"}) {
        EXPECT_TRUE(OnlyModified(ReadIn(dir.path(), name, kAll))) << name;
    }

    // Real files cut in half or near their start: whatever is left is read safely.
    std::vector<std::string> made;
    if (!test::Tools().python.empty()) {
        test::MakePicture(dir / "whole.jpg", 64, 48, "{0x010f: 'Canon'}", "{0x9003: '2024:07:14 15:30:12'}");
        test::MakePicture(dir / "whole.tif", 64, 48, "{0x010f: 'Canon'}");
        test::MakeHeif(dir / "whole.heic", "{0x010f: 'Canon'}", "{0x9003: '2024:07:14 15:30:12'}");
        made.insert(made.end(), {"whole.jpg", "whole.tif", "whole.heic"});
    }
    if (!test::Tools().ffmpeg.empty()) {
        test::MakeVideo(dir / "whole.mp4", {"-metadata", "creation_time=2024-07-14T13:30:12Z"});
        test::MakeAudio(dir / "whole.mp3", {"-metadata", "artist=AC/DC"});
        test::MakeAudio(dir / "whole.flac", {"-metadata", "artist=AC/DC"});
        test::MakeAudio(dir / "whole.m4a", {"-c:a", "aac", "-metadata", "artist=AC/DC"});
        made.insert(made.end(), {"whole.mp4", "whole.mp3", "whole.flac", "whole.m4a"});
    }
    for (const std::string& name : made) {
        const std::string bytes = test::ReadFileBytes(dir / name);
        for (const std::size_t size : {bytes.size() / 2, std::size_t{40}, std::size_t{9}}) {
            const std::string cut = "cut-" + std::to_string(size) + "-" + name;
            dir.Write(cut, bytes.substr(0, size));
            const FileFacts facts = ReadIn(dir.path(), cut, kAll);
            EXPECT_TRUE(facts.modified) << cut;
        }
    }
}

TEST(MetadataSafety, TheModificationTimeIsLocalWithItsOffsetAndNoFraction) {
    test::TempDir dir;
    dir.Write("notes.txt", "text");
    const timespec times[2] = {{0, UTIME_OMIT}, {1720963812, 123456789}}; // 2024-07-14 13:30:12.123 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "notes.txt").c_str(), times, 0), 0);
    const test::TimeZone paris("CET-1CEST,M3.5.0,M10.5.0/3");
    const FileFacts facts = ReadIn(dir.path(), "notes.txt", Fact::Modified);
    ASSERT_TRUE(facts.modified);
    EXPECT_EQ(facts.modified->value.hour, 15);
    EXPECT_EQ(facts.modified->value.offsetMinutes, 120);
    EXPECT_EQ(facts.modified->value.subSeconds, "");
    EXPECT_EQ(facts.modified->source, "mtime 2024-07-14 15:30:12 +02:00");
}

TEST(MetadataSafety, ALinkToAPhotoIsReadThroughIt) {
    QUORVEL_NEED_TOOL(python, "Pillow (python3-pil)");
    test::TempDir dir;
    test::MakePicture(dir / "photo.jpg", 8, 8, "{}", "{0x9003: '2024:07:14 15:30:12'}");
    std::filesystem::create_symlink("photo.jpg", dir / "link.jpg");
    EXPECT_TRUE(ReadIn(dir.path(), "link.jpg", Fact::Taken).taken);
}

} // namespace
} // namespace quorvel
