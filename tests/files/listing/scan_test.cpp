// ScanFolder on real folders.
#include "files/listing/file_details.hpp"
#include "files/listing/project_file.hpp"
#include "files/listing/scan.hpp"
#include "support/temp_dir.hpp"
#include "support/text.hpp"
#include "support/unprivileged.hpp"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

class ScanTest : public ::testing::Test {
protected:
    // The names a sorted scan of `folder` lists, as bytes.
    std::vector<std::string> Scan(const std::string& folder, const std::string& filter = "*.*",
                                  ScanDetail detail = ScanDetail::SizeAndDate) {
        TListFiles list;
        ScanFolder(FolderPath(folder), list, DecodeName(filter), detail);
        list.Sort();
        std::vector<std::string> names;
        for (const TProjectFile& file : list) {
            names.push_back(EncodeName(file.Name()));
        }
        return names;
    }
    std::vector<std::string> Scan() { return Scan(dir_.path()); }

    test::TempDir dir_;
};

TEST_F(ScanTest, ListsEveryEntryThatIsNotAFolderWithOrWithoutSizes) {
    dir_.Write("b.txt", "b");
    dir_.Write("A.txt", "a");
    dir_.Write("_x.txt", "x");
    dir_.Write(".hidden", "h");
    dir_.Write("noext", "n");
    std::filesystem::create_directory(dir_ / "sub");
    dir_.Write("sub/inner.txt", "i");
    std::filesystem::create_symlink("b.txt", dir_ / "link-to-file");
    std::filesystem::create_symlink("sub", dir_ / "link-to-folder");
    std::filesystem::create_symlink("nowhere", dir_ / "dangling");
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    const std::vector<std::string> expected = {".hidden", "A.txt",        "b.txt", "dangling",
                                               "fifo",    "link-to-file", "noext", "_x.txt"};
    EXPECT_EQ(Scan(), expected);
    EXPECT_EQ(Scan(dir_.path(), "*.*", ScanDetail::NamesOnly), expected);

    TListFiles list;
    ScanFolder(FolderPath(dir_.path()), list, U"b.txt", ScanDetail::NamesOnly);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Items(0).Size(), -1);
    EXPECT_EQ(list.Items(0).Date(), -1);
}

TEST_F(ScanTest, RecordsCarryFolderSizeAndDate) {
    const std::string path = dir_.Write("big.bin", "");
    const off_t size = (off_t{5} << 30) + 3; // sparse, 5 Gio: beyond 32 bits
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
    const timespec times[2] = {{1000, 0}, {1234567890, 999999999}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    for (const std::string& folder : {dir_.path(), dir_.path() + "/", dir_.path() + "//./"}) {
        TListFiles list;
        ScanFolder(FolderPath(folder), list, U"*.*");
        ASSERT_EQ(list.Count(), 1u) << folder;
        const TProjectFile& file = list.Items(0);
        EXPECT_EQ(U8(file.Folder()), dir_.path() + "/") << folder;
        EXPECT_EQ(U8(file.FullPath()), path);
        EXPECT_EQ(file.Size(), size);
        EXPECT_EQ(file.Date(), 1234567890);
    }

    // Read names only, the details come when asked for: through the folder's
    // descriptor, the link's own for a link that points nowhere, none once gone.
    std::filesystem::create_symlink("nowhere", dir_ / "dangling");
    dir_.Write("gone", "");
    TListFiles list;
    ScanFolder(FolderPath(dir_.path()), list, U"*.*", ScanDetail::NamesOnly);
    list.Sort();
    ASSERT_EQ(list.Count(), 3u);
    std::filesystem::rename(dir_.path(), dir_.path() + ".moved");
    const std::optional<FileDetails> big = ReadFileDetails(list, list.Items(0));
    const std::optional<FileDetails> dangling = ReadFileDetails(list, list.Items(1));
    std::filesystem::remove(dir_.path() + ".moved/gone");
    const std::optional<FileDetails> gone = ReadFileDetails(list, list.Items(2));
    std::filesystem::rename(dir_.path() + ".moved", dir_.path());
    ASSERT_TRUE(big && dangling);
    EXPECT_EQ(big->size, size);
    EXPECT_EQ(big->date, 1234567890);
    EXPECT_EQ(dangling->size, 7); // "nowhere"
    EXPECT_FALSE(gone);
}

TEST_F(ScanTest, ARelativeFolderIsTakenFromTheCurrentFolder) {
    dir_.Write("a.txt", "a");
    const std::string relative = std::filesystem::relative(dir_.path()).string();
    ASSERT_NE(relative.front(), '/');
    TListFiles list;
    ScanFolder(FolderPath(relative), list, U"*.*");
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(U8(list.Items(0).Folder()), dir_.path() + "/");
}

TEST_F(ScanTest, FilterPatternsAreCutAtSemicolonsAndNotTrimmed) {
    for (const char* name : {"a.txt", "b.TXT", "c.jpg", "d.png", " e.png", "f.jpeg"}) {
        dir_.Write(name, name);
    }
    struct Case {
        const char* filter;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.txt;*.TXT", {"a.txt", "b.TXT"}},
        {"*.jpg; *.png", {" e.png", "c.jpg"}},
        {"*.jpg;*.png", {" e.png", "c.jpg", "d.png"}},
        {"?.jp*", {"c.jpg", "f.jpeg"}},
        {"*;*.jpg", {" e.png", "a.txt", "b.TXT", "c.jpg", "d.png", "f.jpeg"}},
        {"*.jpg;*.png;*.JPG;c.*;*.jpg", {" e.png", "c.jpg", "d.png"}},
        {"", {}},
        {";;", {}},
        {"*.gif", {}},
        {"sub/*.*", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Scan(dir_.path(), c.filter), c.names) << '"' << c.filter << '"';
    }
}

// Case is ignored, so "*.jpg;*.JPG" is what people type to be sure: every photo
// matches both patterns and is listed once, each record with its own entry.
TEST_F(ScanTest, AFileMatchingSeveralPatternsIsListedOnce) {
    for (const char* name : {"IMG_3.JPG", "img_1.jpg", "Img_2.Jpg", "notes.txt"}) {
        dir_.Write(name, name);
    }
    const std::vector<std::string> photos = {"img_1.jpg", "Img_2.Jpg", "IMG_3.JPG"};
    struct Case {
        const char* filter;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.jpg;*.JPG", photos},
        {"*.JPG;img*;*.jpg;?MG_*", photos},
        {"*;*.*", {"img_1.jpg", "Img_2.Jpg", "IMG_3.JPG", "notes.txt"}},
    };
    for (const Case& c : cases) {
        for (const ScanDetail detail : {ScanDetail::SizeAndDate, ScanDetail::NamesOnly}) {
            TListFiles list;
            ASSERT_EQ(ScanFolder(FolderPath(dir_.path()), list, DecodeName(c.filter), detail), 0);
            list.Sort();
            std::vector<std::string> names;
            std::vector<std::uint32_t> entries;
            for (const TProjectFile& file : list) {
                names.push_back(EncodeName(file.Name()));
                entries.push_back(file.ListingEntry());
            }
            EXPECT_EQ(names, c.names) << c.filter;
            std::sort(entries.begin(), entries.end());
            EXPECT_EQ(std::adjacent_find(entries.begin(), entries.end()), entries.end())
                << c.filter << ": an entry listed twice";
        }
    }
}

TEST_F(ScanTest, NamesComeBackByteForByte) {
    const std::vector<std::string> names = {
        "line\nbreak.txt",     "tab\there",     "-rf",        "--",
        std::string(255, 'n'), "\xE9t\xE9.txt", "ok\xFF\xFE", "\xC3\xA9t\xC3\xA9",
        " lead and trail ",    "[x]*?.txt",
    };
    for (const std::string& name : names) {
        dir_.Write(name, name);
    }
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return CompareFileNames(a, b) < 0; });
    EXPECT_EQ(Scan(), expected);
}

TEST_F(ScanTest, ScanAppendsToTheList) {
    dir_.Write("a", "");
    TListFiles list;
    ScanFolder(FolderPath(dir_.path()), list, U"*");
    ScanFolder(FolderPath(dir_.path()), list, U"*");
    EXPECT_EQ(list.Count(), 2u);
}

TEST_F(ScanTest, BadFoldersListNothing) {
    const std::string file = dir_.Write("a.txt", "a");
    for (const std::string& folder : {dir_ / "missing", file, std::string(), dir_ / "a.txt/"}) {
        EXPECT_EQ(Scan(folder), std::vector<std::string>{}) << folder;
    }
    TListFiles list;
    EXPECT_EQ(ScanFolder(FolderPath(dir_ / "missing"), list, U"*"), ENOENT);
    EXPECT_EQ(ScanFolder(FolderPath(file), list, U"*"), ENOTDIR);
    EXPECT_EQ(ScanFolder(FolderPath(), list, U"*"), ENOENT);
    EXPECT_EQ(ScanFolder(FolderPath(dir_.path()), list, U"*"), 0);
}

TEST_F(ScanTest, AnUnreadableFolderListsNothing) {
    // Root reads every folder: the scan happens in a child without root's rights, in
    // a folder that others may enter but not read, next to one they may read.
    for (const char* folder : {"locked", "open"}) {
        std::filesystem::create_directory(dir_ / folder);
        dir_.Write(std::string(folder) + "/a.txt", "");
    }
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0711), 0);
    ASSERT_EQ(::chmod((dir_ / "locked").c_str(), 0711), 0);
    ASSERT_EQ(::chmod((dir_ / "open").c_str(), 0755), 0);
    const auto status = test::InChildWithoutRoot([&] {
        const bool lockedEmpty = Scan(dir_ / "locked").empty();
        const bool openListed = Scan(dir_ / "open") == std::vector<std::string>{"a.txt"};
        return (lockedEmpty ? 0 : 1) + (openListed ? 0 : 2);
    });
    if (!status) {
        GTEST_SKIP() << "cannot give up root's rights here";
    }
    EXPECT_EQ(*status, 0) << "1: the locked folder was listed, 2: the open one was not";
}

} // namespace
} // namespace quorvel
