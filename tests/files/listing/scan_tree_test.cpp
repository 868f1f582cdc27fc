// ScanTree on real trees: the order, the depth, folders as entries, links to
// folders, folders that cannot be read, and the folders opened again for a run.
#include "engine/codec.hpp"
#include "files/listing/project_file.hpp"
#include "files/listing/scan.hpp"
#include "support/temp_dir.hpp"
#include "support/unprivileged.hpp"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {
namespace {

class ScanTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"b", "b/deep", "a", "a/z"}) {
            std::filesystem::create_directory(dir_ / folder);
        }
        for (const char* file : {"y.txt", "X.txt", "b/1.txt", "b/deep/2.txt", "a/3.txt", "a/z/4.txt"}) {
            dir_.Write(file, file);
        }
    }

    // The entries listed, by their paths below the folder ("/" after a folder).
    std::vector<std::string> Scan(TreeScan scan, const std::string& filter = "*",
                                  TreeScanReport* out = nullptr) {
        TListFiles list;
        TreeScanReport report = ScanTree(FolderPath(dir_.path()), list, DecodeName(filter), scan);
        list.Sort(); // keeps the order of the tree
        std::vector<std::string> paths;
        for (const TProjectFile& file : list) {
            paths.push_back(file.RelativeBytes() + (file.IsFolder() ? "/" : ""));
        }
        if (out != nullptr) {
            *out = std::move(report);
        }
        return paths;
    }

    static TreeScan Depth(std::uint32_t depth, TreeEntries entries = TreeEntries::Files) {
        TreeScan scan;
        scan.depth = depth;
        scan.entries = entries;
        return scan;
    }

    test::TempDir dir_;
};

TEST_F(ScanTreeTest, EachFolderItsOwnEntriesFirstThenItsFoldersDepthFirst) {
    EXPECT_EQ(Scan(Depth(0)), (std::vector<std::string>{"X.txt", "y.txt", "a/3.txt", "a/z/4.txt", "b/1.txt",
                                                        "b/deep/2.txt"}));
    EXPECT_EQ(Scan(Depth(1)), (std::vector<std::string>{"X.txt", "y.txt"})) << "depth 1 is the folder alone";
    EXPECT_EQ(Scan(Depth(2)), (std::vector<std::string>{"X.txt", "y.txt", "a/3.txt", "b/1.txt"}));
    EXPECT_EQ(Scan(Depth(2), "[0-9]*;*.txt"), Scan(Depth(2))) << "the filter applies to names, not to paths";
    EXPECT_EQ(Scan(Depth(0), "4*"), (std::vector<std::string>{"a/z/4.txt"}));
}

TEST_F(ScanTreeTest, FoldersAreEntriesOfTheFolderThatHoldsThem) {
    EXPECT_EQ(Scan(Depth(0, TreeEntries::FilesAndFolders)),
              (std::vector<std::string>{"a/", "b/", "X.txt", "y.txt", "a/3.txt", "a/z/", "a/z/4.txt",
                                        "b/1.txt", "b/deep/", "b/deep/2.txt"}));
    EXPECT_EQ(Scan(Depth(0, TreeEntries::FoldersOnly)),
              (std::vector<std::string>{"a/", "b/", "a/z/", "b/deep/"}));
    EXPECT_EQ(Scan(Depth(2, TreeEntries::FoldersOnly)),
              (std::vector<std::string>{"a/", "b/", "a/z/", "b/deep/"}))
        << "the folders of the last level read are listed, not entered";
    EXPECT_EQ(Scan(Depth(0, TreeEntries::FoldersOnly), "d*"), (std::vector<std::string>{"b/deep/"}));
}

TEST_F(ScanTreeTest, ALinkToAFolderIsNeverEnteredAndIsAFolderEntry) {
    std::filesystem::create_symlink("a", dir_ / "link");
    std::filesystem::create_symlink(dir_.path(), dir_ / "b/loop"); // would never end if entered
    EXPECT_EQ(Scan(Depth(0)), (std::vector<std::string>{"X.txt", "y.txt", "a/3.txt", "a/z/4.txt", "b/1.txt",
                                                        "b/deep/2.txt"}));
    EXPECT_EQ(Scan(Depth(0, TreeEntries::FoldersOnly)),
              (std::vector<std::string>{"a/", "b/", "link/", "a/z/", "b/deep/", "b/loop/"}));
}

TEST_F(ScanTreeTest, AFolderThatCannotBeReadIsReportedAndTheRestListed) {
    // Root reads every folder: the scan happens in a child without root's rights.
    for (const char* folder : {"", "/a", "/a/z", "/b"}) {
        ASSERT_EQ(::chmod((dir_.path() + folder).c_str(), 0755), 0);
    }
    ASSERT_EQ(::chmod((dir_ / "b/deep").c_str(), 0711), 0);
    const auto status = test::InChildWithoutRoot([&] {
        TreeScanReport report;
        const auto paths = Scan(Depth(0), "*", &report);
        const bool rest =
            paths == std::vector<std::string>{"X.txt", "y.txt", "a/3.txt", "a/z/4.txt", "b/1.txt"};
        const bool told = report.error == 0 && report.unreadable.size() == 1 &&
                          report.unreadable[0].relative == "b/deep" && report.unreadable[0].error == EACCES;
        return (rest ? 0 : 1) + (told ? 0 : 2);
    });
    ::chmod((dir_ / "b/deep").c_str(), 0700);
    if (!status) {
        GTEST_SKIP() << "cannot give up root's rights here";
    }
    EXPECT_EQ(*status, 0) << "1: the rest was not listed, 2: the folder was not reported";
}

TEST_F(ScanTreeTest, AStopKeepsWhatWasListed) {
    TreeScan scan = Depth(0);
    scan.progress = [](std::size_t folders, std::size_t) { return folders < 2; };
    TreeScanReport report;
    EXPECT_EQ(Scan(scan, "*", &report), (std::vector<std::string>{"X.txt", "y.txt", "a/3.txt"}));
    EXPECT_TRUE(report.stopped);
}

// A folder below the one scanned is opened again from its parent: a folder swapped
// for a link to another since the scan is refused, not followed.
TEST_F(ScanTreeTest, AFolderIsOpenedAgainOnlyWhenItIsStillTheOneRead) {
    TListFiles list;
    ASSERT_EQ(ScanTree(FolderPath(dir_.path()), list, U"*", Depth(0)).error, 0);
    const ScannedFolder& deep = *list.Items(5).SharedFolder(); // b/deep/2.txt
    ASSERT_EQ(deep.relative, "b/deep/");
    int error = -1;
    EXPECT_TRUE(OpenScannedFolder(list, deep, error).Valid());
    EXPECT_EQ(error, 0);
    std::filesystem::rename(dir_ / "b", dir_ / "b-moved");
    std::filesystem::create_directory(dir_ / "elsewhere");
    std::filesystem::create_directory(dir_ / "elsewhere/deep");
    std::filesystem::create_symlink("elsewhere", dir_ / "b");
    EXPECT_FALSE(OpenScannedFolder(list, deep, error).Valid()) << "b is a link now";
    EXPECT_EQ(error, ENOTDIR);
    std::filesystem::remove(dir_ / "b");
    std::filesystem::rename(dir_ / "elsewhere", dir_ / "b");
    EXPECT_FALSE(OpenScannedFolder(list, deep, error).Valid()) << "b/deep is another folder now";
    EXPECT_EQ(error, ENOTDIR);
}

} // namespace
} // namespace quorvel
