// Files given one by one, as a file manager hands over its selection: listed in the
// order given below the folder that holds them all, the paths that name no file
// refused, and the set renamed and undone as any run.
#include "files/history/recorded_runs.hpp"
#include "files/listing/file_uri.hpp"
#include "files/listing/given_files.hpp"
#include "files/run/run_fixture.hpp"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <string>
#include <unistd.h>
#include <vector>

namespace quorvel {
namespace {

class GivenFilesTest : public test::RunFixture {
protected:
    void SetUp() override {
        for (const char* folder : {"a", "a/sub", "b", "b/c"}) {
            std::filesystem::create_directory(dir_ / folder);
        }
        for (const char* file : {"top.txt", "a/1.txt", "a/2.txt", "b/c/3.txt", "b/c/\xFF.bin"}) {
            dir_.Write(file, file);
        }
        std::filesystem::create_directory_symlink(dir_ / "a", dir_ / "lnk");
    }

    // The records listed, by their paths below the folder of the listing ("/" after
    // a folder).
    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const TProjectFile& file : files_) {
            paths.push_back(file.RelativeBytes() + (file.IsFolder() ? "/" : ""));
        }
        return paths;
    }
};

TEST_F(GivenFilesTest, InTheirOrderBelowTheFolderThatHoldsThemAll) {
    const std::vector<std::string> given = {
        dir_ / "b/c/3.txt", dir_ / "a/1.txt",      dir_ / "missing.txt",
        dir_ / "a/1.txt",   dir_ / "a/sub/",       "/",
        dir_ / "lnk",       dir_ / "b/c/\xFF.bin", dir_ / "a/../top.txt",
        dir_ / "a/..",
    };
    const GivenFilesReport report = ListGivenFiles(given, files_);
    EXPECT_EQ(report.folder.Bytes(), dir_.path() + "/");
    EXPECT_EQ(Paths(),
              (std::vector<std::string>{"b/c/3.txt", "a/1.txt", "a/sub/", "lnk/", "b/c/\xFF.bin", "top.txt"}))
        << "in the order given, once each; a link is an entry of its own";
    ASSERT_EQ(report.refused.size(), 3u);
    EXPECT_EQ(report.refused[0].path, dir_ / "missing.txt");
    EXPECT_EQ(report.refused[0].error, ENOENT);
    EXPECT_EQ(report.refused[1].path, "/");
    EXPECT_EQ(report.refused[1].error, EINVAL);
    EXPECT_EQ(report.refused[2].error, EINVAL) << "a path that names no entry";
    // Each folder is one of a tree, opened again from the folder above it.
    const ScannedFolder& c = *files_.Items(0).SharedFolder();
    ASSERT_TRUE(c.parent && c.parent->parent);
    EXPECT_EQ(c.relative, "b/c/");
    EXPECT_EQ(c.parent->parent.get(), files_.Items(5).SharedFolder().get());
    int error = 0;
    EXPECT_TRUE(OpenScannedFolder(files_, c, error).Valid());
    EXPECT_EQ(error, 0);

    // Paths relative to the working folder; all in one folder, that folder is the
    // folder of the listing.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir_ / "a");
    files_.Clear();
    const GivenFilesReport here = ListGivenFiles(std::vector<std::string>{"2.txt", "./1.txt"}, files_);
    std::filesystem::current_path(before);
    EXPECT_EQ(here.folder.Bytes(), dir_ / "a/");
    EXPECT_TRUE(here.refused.empty());
    EXPECT_EQ(Paths(), (std::vector<std::string>{"2.txt", "1.txt"}));
    EXPECT_EQ(files_.Items(0).SharedFolder()->parent, nullptr);

    files_.Clear();
    const GivenFilesReport none = ListGivenFiles(std::vector<std::string>{dir_ / "nothing"}, files_);
    EXPECT_EQ(files_.Count(), 0u);
    EXPECT_EQ(none.refused.size(), 1u);
}

// Nemo and Caja hand their bulk-rename tool "file:" URIs, not paths.
TEST_F(GivenFilesTest, FileUrisNameTheirFiles) {
    const std::string top = dir_.path();
    const std::vector<std::string> given = {
        "file://" + top + "/b/c/%FF.bin", "FILE://localhost" + top + "/a/1.txt",
        "file:" + top + "/a/2.txt",       "file://elsewhere" + top + "/top.txt",
        "file://" + top + "/a/%00x",      "file://" + top + "/top.txt#x",
    };
    const GivenFilesReport report = ListGivenFiles(given, files_);
    EXPECT_EQ(Paths(), (std::vector<std::string>{"b/c/\xFF.bin", "a/1.txt", "a/2.txt", "top.txt"}));
    ASSERT_EQ(report.refused.size(), 2u) << "another host, a NUL";
    EXPECT_EQ(report.refused[0].path, given[3]) << "said as given";

    // A file whose path only looks like a URI is that file.
    std::filesystem::create_directory(dir_ / "file:");
    dir_.Write("file:/top.txt", "here");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    files_.Clear();
    ListGivenFiles(std::vector<std::string>{"file:/top.txt"}, files_);
    std::filesystem::current_path(before);
    EXPECT_EQ(Paths(), (std::vector<std::string>{"top.txt"}));
    EXPECT_EQ(files_.Items(0).SharedFolder()->path.Bytes(), dir_ / "file:/");

    EXPECT_EQ(LocalPathOfFileUri("file:///a%20b/%e9t%C3%A9%zz?q"), "/a b/\xE9t\xC3\xA9%zz");
    EXPECT_EQ(LocalPathOfFileUri("file://LocalHost/x"), "/x");
    for (const char* other : {"http://x/y", "file:relative", "file://", "file://localhostx/y", "fil:/x"}) {
        EXPECT_EQ(LocalPathOfFileUri(other), std::nullopt) << other;
    }
}

// A long list is followed; stopped, it keeps the files before the stop.
TEST_F(GivenFilesTest, ALongListCanBeStopped) {
    std::vector<std::string> given = {dir_ / "a/1.txt"};
    for (int i = 0; i < 5000; ++i) {
        given.push_back(dir_ / ("a/gone" + std::to_string(i)));
    }
    given.push_back(dir_ / "a/2.txt");
    std::vector<std::size_t> told;
    const GivenFilesReport whole = ListGivenFiles(given, files_, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, given.size());
        told.push_back(done);
        return true;
    });
    EXPECT_FALSE(whole.stopped);
    EXPECT_EQ(told, std::vector<std::size_t>{4096});
    EXPECT_EQ(Paths(), (std::vector<std::string>{"1.txt", "2.txt"}));
    EXPECT_EQ(whole.refused.size(), 5000u);

    files_.Clear();
    const GivenFilesReport stopped =
        ListGivenFiles(given, files_, [](std::size_t, std::size_t) { return false; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(Paths(), (std::vector<std::string>{"1.txt"}));
}

TEST_F(GivenFilesTest, AGivenSetIsRenamedAndUndoneAsAnyRun) {
    const test::Content before = test::FolderContent(dir_ / "a");
    const GivenFilesReport report = ListGivenFiles(
        std::vector<std::string>{dir_ / "b/c/3.txt", dir_ / "a/2.txt", dir_ / "a/sub"}, files_);
    ASSERT_TRUE(report.refused.empty());
    selection_.resize(files_.Count());
    std::iota(selection_.begin(), selection_.end(), std::size_t{0});
    const RunReport run = Run(test::kAddPrefix);
    EXPECT_EQ(run.renamed, 3u);
    EXPECT_EQ(run.failed, 0u);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "b/c/x_3.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "a/x_2.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "a/x_sub"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "a/1.txt")) << "a file not given stays";
    const TakeBackReport undo = UndoLastRun(report.folder, journals_.path());
    EXPECT_EQ(undo.status, TakeBackReport::Status::Done) << undo.error;
    EXPECT_EQ(undo.done, 3u);
    EXPECT_EQ(test::FolderContent(dir_ / "a"), before);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "b/c/3.txt"));
}

} // namespace
} // namespace quorvel
