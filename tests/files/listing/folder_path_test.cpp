// Folder paths from the command line or the window to the system, byte for byte.
#include "engine/codec.hpp"
#include "files/listing/folder_path.hpp"
#include "files/run/file_identity.hpp"
#include "support/temp_dir.hpp"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Runs the test's body with the working folder changed, and changes it back.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : before_(fs::current_path()) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(before_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path before_;
};

TEST(FolderPathTest, KeepsItsBytesAndShowsThemWithoutLosingAny) {
    const std::string odd = "/tmp/caf\xE9/photos\n";
    const FolderPath path(odd);
    EXPECT_EQ(path.Bytes(), odd);
    EXPECT_EQ(EncodeName(path.Shown()), odd) << "bytes that are not UTF-8 come back as they were";
    EXPECT_EQ(path.EntryPath("-a.jpg"), odd + "/-a.jpg");
    EXPECT_EQ(FolderPath("/").EntryPath("x"), "/x");
    EXPECT_EQ(FolderPath("dir/").EntryPath("x"), "dir/x");
    EXPECT_TRUE(FolderPath().Empty());
    EXPECT_STREQ(FolderPath().ForSystem(), ".");
    EXPECT_EQ(FolderPath().EntryPath("x"), "x");
}

TEST(FolderPathTest, IsMadeAbsoluteFromTheWorkingFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "a\xE9/b");
    fs::create_directory_symlink(dir / "a\xE9/b", dir / "link");
    const InFolder in(dir.path());
    const std::string root = fs::canonical(dir.path()).string();
    EXPECT_EQ(FolderPath("a\xE9//./b/").Absolute()->Bytes(), fs::current_path().string() + "/a\xE9/b/");
    EXPECT_EQ(FolderPath(".").AbsoluteWithoutSlash().Bytes(), fs::current_path().string());
    EXPECT_EQ(FolderPath("/").AbsoluteWithoutSlash().Bytes(), "/");
    // ".." goes up from where a symbolic link leads, as opening the folder would.
    EXPECT_EQ(FolderPath("link/..").Absolute()->Bytes(), root + "/a\xE9/");
    EXPECT_FALSE(FolderPath("missing/..").Absolute());
}

TEST(FolderPathTest, TheFolderOfADescriptorIsItsRealPath) {
    test::TempDir dir;
    fs::create_directory(dir / "real");
    fs::create_directory_symlink(dir / "real", dir / "link");
    const int fd = ::open((dir / "link").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(FolderPathOf(fd, FolderPath(dir / "link/")).Bytes(), fs::canonical(dir / "real").string());
    ::close(fd);
}

} // namespace
} // namespace quorvel
