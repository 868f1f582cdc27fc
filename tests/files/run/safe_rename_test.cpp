// Renaming inside a folder without replacing anything, with renameat2 and without.
#include "engine/unique_fd.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/safe_rename.hpp"
#include "methods.hpp"
#include "support/temp_dir.hpp"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {
namespace {

using test::ReadFileBytes;

class SafeRenameTest : public ::testing::TestWithParam<test::Method> {
protected:
    SafeRenameTest() : fd_(::open(dir_.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

    int Rename(const std::string& from, const std::string& to) {
        return SafeRename(fd_.Get(), from, to).error;
    }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    test::UsingMethod method_{GetParam()};
    test::TempDir dir_;
    UniqueFd fd_;
};

TEST_P(SafeRenameTest, RenamesToAFreeName) {
    dir_.Write("a", "content of a");
    EXPECT_EQ(Rename("a", "b\n\xFF"), 0);
    EXPECT_EQ(Entries(), (std::set<std::string>{"b\n\xFF"}));
    EXPECT_EQ(ReadFileBytes(dir_ / "b\n\xFF"), "content of a");
}

TEST_P(SafeRenameTest, NeverReplacesAnExistingEntry) {
    dir_.Write("a", "A");
    dir_.Write("b", "B");
    std::filesystem::create_directory(dir_ / "dir");
    std::filesystem::create_symlink("a", dir_ / "link");
    for (const char* target : {"b", "dir", "link"}) {
        EXPECT_EQ(Rename("a", target), EEXIST) << target;
    }
    EXPECT_EQ(Rename("link", "b"), EEXIST);
    EXPECT_EQ(Entries(), (std::set<std::string>{"a", "b", "dir", "link"}));
    EXPECT_EQ(ReadFileBytes(dir_ / "a"), "A");
    EXPECT_EQ(ReadFileBytes(dir_ / "b"), "B");
    EXPECT_EQ(std::filesystem::read_symlink(dir_ / "link"), "a");
}

TEST_P(SafeRenameTest, TwoHardLinksOfOneFileAreTwoEntries) {
    dir_.Write("a", "A");
    ASSERT_EQ(::link((dir_ / "a").c_str(), (dir_ / "b").c_str()), 0);
    EXPECT_EQ(Rename("a", "b"), EEXIST);
    EXPECT_EQ(Entries(), (std::set<std::string>{"a", "b"})) << "no temporary name left behind";
}

TEST_P(SafeRenameTest, AnEntryRenamedToItselfStays) {
    dir_.Write("a", "A");
    EXPECT_EQ(Rename("a", "a"), 0);
    EXPECT_EQ(Entries(), (std::set<std::string>{"a"}));
    EXPECT_EQ(ReadFileBytes(dir_ / "a"), "A");
}

TEST_P(SafeRenameTest, LinksAndOtherEntriesMoveAsThemselves) {
    dir_.Write("target", "T");
    std::filesystem::create_symlink("target", dir_ / "link");
    std::filesystem::create_symlink("nowhere", dir_ / "dangling");
    EXPECT_EQ(Rename("link", "link2"), 0);
    EXPECT_EQ(Rename("dangling", "dangling2"), 0);
    EXPECT_EQ(std::filesystem::read_symlink(dir_ / "link2"), "target");
    EXPECT_EQ(std::filesystem::read_symlink(dir_ / "dangling2"), "nowhere");
    EXPECT_EQ(ReadFileBytes(dir_ / "target"), "T");
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(Rename("fifo", "fifo2"), 0);
    EXPECT_EQ(std::filesystem::status(dir_ / "fifo2").type(), std::filesystem::file_type::fifo);
    // A folder has no hard link: without renameat2 it keeps its name.
    std::filesystem::create_directory(dir_ / "dir");
    const bool native = GetParam() == test::Method::Native;
    EXPECT_EQ(Rename("dir", "dir2"), native ? 0 : kNoSafeRename);
    EXPECT_EQ(Entries(),
              (std::set<std::string>{"target", "link2", "dangling2", "fifo2", native ? "dir2" : "dir"}));
}

TEST_P(SafeRenameTest, AMissingSourceOrAnImpossibleNameFails) {
    EXPECT_EQ(Rename("absent", "b"), ENOENT);
    dir_.Write("a", "A");
    EXPECT_EQ(Rename("a", std::string(256, 'x')), ENAMETOOLONG);
    EXPECT_EQ(Entries(), (std::set<std::string>{"a"}));
}

INSTANTIATE_TEST_SUITE_P(Methods, SafeRenameTest, test::kAllMethods, test::MethodName);

TEST(BadNameReasonTest, RefusesNamesThatLeaveTheFolder) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "le nouveau nom est vide"},
        {".", "le nom « . » est réservé"},
        {"..", "le nom « .. » est réservé"},
        {"a/b", "le nouveau nom contient « / »"},
        {"/", "le nouveau nom contient « / »"},
        {std::string("a\0b", 3), "le nouveau nom contient un caractère nul"},
        {std::string(256, 'x'), "nom trop long"},
    };
    for (const auto& [name, reason] : cases) {
        EXPECT_EQ(BadNameReason(name).value_or("(accepté)"), reason);
    }
    for (const std::string& name :
         std::vector<std::string>{"...", ".a", "a.", " ", "-", "\\", std::string(255, 'x')}) {
        EXPECT_FALSE(BadNameReason(name)) << name;
    }
}

TEST(RenameErrorTextTest, SaysWhyInFrench) {
    EXPECT_EQ(RenameErrorText(EEXIST), "un fichier de ce nom existe déjà");
    EXPECT_EQ(RenameErrorText(ENOENT), "le fichier n'existe plus");
    EXPECT_EQ(RenameErrorText(EACCES), "accès refusé");
    EXPECT_EQ(RenameErrorText(12345), "erreur système 12345");
}

} // namespace
} // namespace quorvel
