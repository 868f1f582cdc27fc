// quorvel-cli preview and run on a tree: -r, --depth, --folders, --folders-only, each
// entry named by its path below the folder. Every file holds its own name.
#include "cli/cli_fixture.hpp"
#include "support/mounted_folder.hpp"
#include "support/unprivileged.hpp"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quorvel {
namespace {

class TreeCommandsTest : public test::CliFixture {
protected:
    // files/  a.txt  b.txt  sub1/{c.txt, d.txt, deep/e.txt}  sub2/f.txt  zlink -> sub2
    TreeCommandsTest() {
        for (const char* folder : {"files", "files/sub1", "files/sub1/deep", "files/sub2"}) {
            std::filesystem::create_directory(dir_ / folder);
        }
        for (const char* name : {"a.txt", "b.txt", "sub1/c.txt", "sub1/deep/e.txt", "sub2/f.txt"}) {
            dir_.Write(std::string("files/") + name, name);
        }
        dir_.Write("files/sub1/d.txt", "the biggest file of sub1");
        std::filesystem::create_directory_symlink("sub2", dir_ / "files/zlink");
        prefix_ = dir_.Write("prefix.script", "14|Ajouter [Chaine=x_] au d\xE9"
                                              "but\r\n");
        number_ = dir_.Write("number.script", "19|Ajouter [Num\xE9ro=1] au d\xE9"
                                              "but\r\n");
    }

    std::string folder_ = dir_ / "files";
    std::string prefix_;
    std::string number_;
};

TEST_F(TreeCommandsTest, PreviewGoesDownTheTreeInOrderAndNamesEachFileByItsPath) {
    auto r = Cli({"preview", "-r", number_, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Each folder's files by name, then its folders; the link is never entered.
    EXPECT_EQ(r.out, "a.txt\t1a.txt\nb.txt\t2b.txt\nsub1/c.txt\tsub1/3c.txt\nsub1/d.txt\tsub1/4d.txt\n"
                     "sub1/deep/e.txt\tsub1/deep/5e.txt\nsub2/f.txt\tsub2/6f.txt\n");
    EXPECT_EQ(r.err, "6 fichiers\n");
    EXPECT_EQ(Cli({"preview", "--recursive", number_, folder_}).out, r.out);

    r = Cli({"preview", "--depth", "2", prefix_, folder_, "*.txt"});
    EXPECT_EQ(r.out, "a.txt\tx_a.txt\nb.txt\tx_b.txt\nsub1/c.txt\tsub1/x_c.txt\nsub1/d.txt\tsub1/x_d.txt\n"
                     "sub2/f.txt\tsub2/x_f.txt\n");
    EXPECT_EQ(Cli({"preview", "--depth=1", prefix_, folder_}).out, Cli({"preview", prefix_, folder_}).out);
    EXPECT_EQ(Cli({"preview", prefix_, folder_}).out, "a.txt\tx_a.txt\nb.txt\tx_b.txt\n");

    // Folders, and the link to one, are entries like files; the filter applies to
    // their names, and a folder that does not match is entered all the same.
    r = Cli({"preview", "--folders", prefix_, folder_});
    EXPECT_EQ(r.out, "a.txt\tx_a.txt\nb.txt\tx_b.txt\nsub1\tx_sub1\nsub2\tx_sub2\nzlink\tx_zlink\n");
    r = Cli({"preview", "-r", "--folders-only", prefix_, folder_});
    EXPECT_EQ(r.out, "sub1\tx_sub1\nsub2\tx_sub2\nzlink\tx_zlink\nsub1/deep\tsub1/x_deep\n");
    r = Cli({"preview", "-r", "--folders-only", prefix_, folder_, "d*"});
    EXPECT_EQ(r.out, "sub1/deep\tsub1/x_deep\n");

    // Names keep their bytes, in a sub-folder too.
    const std::string odd = "line\nbreak\xFF";
    dir_.Write("files/sub2/" + odd, "odd");
    r = Cli({"preview", "-0", "--depth", "2", prefix_, folder_, "*k*"});
    EXPECT_EQ(r.out, "sub2/" + odd + '\0' + "sub2/x_" + odd + '\0');
}

// A key orders the files of each folder; the folders stay in the order of the tree,
// and the numbering follows. {n:...:folder} counts again in each folder.
TEST_F(TreeCommandsTest, ASortKeyOrdersEachFolderAndNumberingFollows) {
    auto r = Cli({"preview", "-r", "--sort", "size", "--reverse", number_, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a.txt\t1a.txt\nb.txt\t2b.txt\nsub1/d.txt\tsub1/3d.txt\nsub1/c.txt\tsub1/4c.txt\n"
                     "sub1/deep/e.txt\tsub1/deep/5e.txt\nsub2/f.txt\tsub2/6f.txt\n");
    r = Cli({"preview", "-r", "--reverse", number_, folder_});
    EXPECT_EQ(r.out, "b.txt\t1b.txt\na.txt\t2a.txt\nsub1/d.txt\tsub1/3d.txt\nsub1/c.txt\tsub1/4c.txt\n"
                     "sub1/deep/e.txt\tsub1/deep/5e.txt\nsub2/f.txt\tsub2/6f.txt\n");

    const std::string perFolder = dir_.Write("folder.script", "40|Composer le nom avec [Mod\xE8le="
                                                              "{folder}-{n:1:1:folder}]\r\n");
    r = Cli({"run", "--dry-run", "-r", "--sort", "size", perFolder, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a.txt\tfiles-1.txt\nb.txt\tfiles-2.txt\nsub1/c.txt\tsub1/sub1-1.txt\n"
                     "sub1/d.txt\tsub1/sub1-2.txt\nsub1/deep/e.txt\tsub1/deep/deep-1.txt\n"
                     "sub2/f.txt\tsub2/sub2-1.txt\n");
}

TEST_F(TreeCommandsTest, ABadDepthIsABadCommandLine) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"preview", "--depth", "0", prefix_, folder_},
                                               {"run", "--depth=x", prefix_, folder_},
                                               {"run", "--depth=-1", prefix_, folder_},
                                               {"preview", "--depth=", prefix_, folder_},
                                               {"preview", "--depth", "+2", prefix_, folder_},
                                               {"preview", "--depth"},
                                               {"undo", "-r", folder_},
                                               {"apply", "--folders", prefix_}}) {
        const auto r = Cli(args);
        EXPECT_EQ(r.exitCode, 64) << args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage"), std::string::npos) << r.err;
    }
    EXPECT_EQ(
        Cli({"preview", "--depth", "0", prefix_, folder_})
            .err.rfind("quorvel-cli : profondeur incorrecte : « 0 » (un entier à partir de 1)\nUsage", 0),
        0);
    const auto r = InLocale({"LANG=en_US.UTF-8"}, {"run", "--depth", "two", prefix_, folder_});
    EXPECT_EQ(r.err.rfind("quorvel-cli: bad depth: \u201ctwo\u201d (a whole number from 1)\nUsage", 0), 0)
        << r.err;
}

// A sub-folder that cannot be read is said, the rest is previewed, and the status is
// 1. Root reads every folder: quorvel-cli runs in a child without root's rights.
TEST_F(TreeCommandsTest, AnUnreadableSubFolderIsSaidAndTheRestPreviewed) {
    for (const char* folder : {"", "/files", "/files/sub1", "/files/sub2"}) {
        ASSERT_EQ(::chmod((dir_.path() + folder).c_str(), 0755), 0);
    }
    ASSERT_EQ(::chmod((dir_ / "files/sub1/deep").c_str(), 0311), 0);
    const auto status = test::InChildWithoutRoot([&] {
        const auto french = Cli({"preview", "-r", prefix_, folder_});
        const auto english = InLocale({"LANG=en_US.UTF-8"}, {"preview", "-r", prefix_, folder_});
        const bool rest = french.out == "a.txt\tx_a.txt\nb.txt\tx_b.txt\nsub1/c.txt\tsub1/x_c.txt\n"
                                        "sub1/d.txt\tsub1/x_d.txt\nsub2/f.txt\tsub2/x_f.txt\n";
        const bool said =
            french.err == "dossier illisible : « sub1/deep » : accès refusé\n5 fichiers\n" &&
            english.err == "unreadable folder: \u201csub1/deep\u201d: permission denied\n5 files\n";
        return (rest ? 0 : 1) + (said ? 0 : 2) + (french.exitCode == 1 && english.exitCode == 1 ? 0 : 4);
    });
    ::chmod((dir_ / "files/sub1/deep").c_str(), 0755);
    if (!status) {
        GTEST_SKIP() << "cannot give up root's rights here";
    }
    EXPECT_EQ(*status, 0) << "1: the rest was not previewed, 2: not said so, 4: not status 1";
}

// A file system mounted below the folder is entered only with --cross-devices.
TEST_F(TreeCommandsTest, AnotherFileSystemIsEnteredOnlyWhenAsked) {
    const test::MountedFolder tmpfs(test::MountedFolder::Kind::Tmpfs, std::uint64_t{1} << 20);
    if (!tmpfs.Mounted()) {
        GTEST_SKIP() << tmpfs.Why();
    }
    const std::string above = std::filesystem::path(tmpfs.path()).parent_path();
    std::ofstream(above + "/a.txt") << "above";
    std::ofstream(tmpfs / "b.txt") << "mounted";
    EXPECT_EQ(Cli({"preview", "-r", prefix_, above}).out, "a.txt\tx_a.txt\n");
    EXPECT_EQ(Cli({"preview", "-r", "--cross-devices", prefix_, above}).out,
              "a.txt\tx_a.txt\nmnt/b.txt\tmnt/x_b.txt\n");
}

TEST_F(TreeCommandsTest, RunRenamesTheFilesOfTheTreeAndNamesThemByTheirPath) {
    // A folder that is not renamed holds the new name of f.txt.
    std::filesystem::create_directory(dir_ / "files/sub2/x_f.txt");
    auto r = Cli({"run", "--dry-run", "-r", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "a.txt\tx_a.txt\nb.txt\tx_b.txt\nsub1/c.txt\tsub1/x_c.txt\nsub1/d.txt\tsub1/x_d.txt\n"
                     "sub1/deep/e.txt\tsub1/deep/x_e.txt\n");
    EXPECT_EQ(r.err, "échec : « sub2/f.txt » -> « sub2/x_f.txt » : un fichier de ce nom existe déjà\n"
                     "6 fichiers : 5 à renommer, 0 inchangé, 1 échec (simulation : rien n'a été modifié)\n");

    r = Cli({"run", "-r", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_), (test::Content{{"x_a.txt", "a.txt"},
                                                        {"x_b.txt", "b.txt"},
                                                        {"sub1", "<dir>"},
                                                        {"sub2", "<dir>"},
                                                        {"zlink", "<dir>"}}));
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub1"),
              (test::Content{
                  {"x_c.txt", "sub1/c.txt"}, {"x_d.txt", "the biggest file of sub1"}, {"deep", "<dir>"}}));
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub1/deep"), (test::Content{{"x_e.txt", "sub1/deep/e.txt"}}));
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub2"),
              (test::Content{{"f.txt", "sub2/f.txt"}, {"x_f.txt", "<dir>"}}));
}

} // namespace
} // namespace quorvel
