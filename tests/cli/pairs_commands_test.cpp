// quorvel-cli pairs and edit on real folders: renames given name by name go through
// the checks, order, journal and verification of every run, and undo takes them
// back. Every file holds its own name, so that a folder read back tells which file
// went where.
#include "cli/cli_fixture.hpp"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace quorvel {
namespace {

class PairsCommandsTest : public test::CliFixture {
protected:
    PairsCommandsTest() {
        std::filesystem::create_directory(folder_);
        ::unsetenv("VISUAL");
        ::setenv("TMPDIR", (dir_ / "tmp").c_str(), 1);
        std::filesystem::create_directory(dir_ / "tmp");
    }
    ~PairsCommandsTest() override {
        ::unsetenv("EDITOR");
        ::unsetenv("TMPDIR");
    }

    void Files(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            std::filesystem::create_directories(std::filesystem::path(folder_ + "/" + name).parent_path());
            dir_.Write("files/" + name, name);
        }
    }

    // An editor: a shell script of the test run on the file it is given ("$1").
    std::string Editor(const std::string& name, const std::string& body) {
        const std::string path = dir_.Write(name, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    std::string folder_ = dir_ / "files";
};

TEST_F(PairsCommandsTest, ACycleAndAShiftGivenAsPairsAreDoneThenUndone) {
    Files({"a", "b", "1", "2"});
    const test::Content before = test::ReadFolder(folder_);
    const std::string list = "a\tb\nb\ta\n1\t2\n2\t3\n";

    // The plan goes through a temporary name for the cycle and frees 3 first.
    auto r = Cli({"pairs", "--dry-run", folder_}, list);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("b\ta\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(".quorvel-"), std::string::npos) << r.out;
    EXPECT_LT(r.out.find("2\t3\n"), r.out.find("1\t2\n")) << r.out;
    EXPECT_EQ(test::ReadFolder(folder_), before);

    const std::string file = dir_.Write("list.txt", list);
    r = Cli({"pairs", folder_, file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "4 fichiers : 4 renommés, 0 inchangé, 0 échec\n");
    EXPECT_EQ(test::ReadFolder(folder_), (test::Content{{"a", "b"}, {"b", "a"}, {"2", "1"}, {"3", "2"}}));

    r = Cli({"history", folder_});
    EXPECT_NE(r.out.find("4 renommés"), std::string::npos) << r.out;
    r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_), before);
}

TEST_F(PairsCommandsTest, EachRefusedPairFailsAloneWithItsReason) {
    Files({"a", "b", "c", "d", "e", "keep", "sub/x"});
    auto r = Cli({"pairs", folder_}, "missing\tm\n"
                                     "a\tkeep\n"
                                     "b\tb2\n"
                                     "b\tb3\n"
                                     "c\tnew\n"
                                     "d\tnew\n"
                                     "sub/x\tother/x\n"
                                     "e\tsub/e\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : « missing » -> « m » : aucun fichier de ce nom\n"
                     "échec : « a » -> « keep » : un fichier de ce nom existe déjà\n"
                     "échec : « b » -> « b3 » : ce fichier figure déjà plus haut dans la sélection\n"
                     "échec : « d » -> « new » : « c » reçoit déjà ce nom\n"
                     "échec : « sub/x » -> « other/x » : le nouveau nom doit rester dans le dossier de "
                     "l'ancien\n"
                     "échec : « e » -> « sub/e » : le nouveau nom doit rester dans le dossier de l'ancien\n"
                     "8 fichiers : 2 renommés, 0 inchangé, 6 échecs\n");
    EXPECT_EQ(test::ReadFolder(folder_), (test::Content{{"a", "a"},
                                                        {"b2", "b"},
                                                        {"new", "c"},
                                                        {"d", "d"},
                                                        {"e", "e"},
                                                        {"keep", "keep"},
                                                        {"sub", "<dir>"}}));
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub"), (test::Content{{"x", "sub/x"}}));
}

TEST_F(PairsCommandsTest, PairsBelowTheFolderRenameInTheirOwnFolders) {
    Files({"top", "sub1/a", "sub1/b", "sub2/a"});
    // A swap in one sub-folder; in another a file renamed, written both ways, and
    // its folder, after it.
    auto r = Cli({"pairs", folder_}, "sub1/a\tsub1/b\nsub1/b\ta\nsub2/a\tsub2/z\nsub2\tsub3\ntop\tsub1\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : « top » -> « sub1 » : un fichier de ce nom existe déjà\n"
                     "5 fichiers : 4 renommés, 0 inchangé, 1 échec\n");
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub1"), (test::Content{{"a", "sub1/b"}, {"b", "sub1/a"}}));
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub3"), (test::Content{{"z", "sub2/a"}}));
    r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub1"), (test::Content{{"a", "sub1/a"}, {"b", "sub1/b"}}));
    EXPECT_EQ(test::ReadFolder(folder_ + "/sub2"), (test::Content{{"a", "sub2/a"}}));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/sub3"));
}

TEST_F(PairsCommandsTest, NullSeparatedPairsCarryLineFeedsAndAMalformedListRenamesNothing) {
    Files({"line\nfeed", "plain"});
    auto r = Cli({"pairs", "-0", folder_}, std::string("line\nfeed\0new\nline\0", 19));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_), (test::Content{{"new\nline", "line\nfeed"}, {"plain", "plain"}}));

    const test::Content before = test::ReadFolder(folder_);
    for (const auto& [args, input, why] :
         std::vector<std::tuple<std::vector<std::string>, std::string, std::string>>{
             {{"pairs", folder_}, "plain\tp\nno tab here\n", "ligne 2 : pas de tabulation"},
             {{"pairs", folder_}, "plain\t\n", "ligne 1 : nom vide"},
             {{"pairs", folder_}, "plain\tp\tq\n", "ligne 1 : plus d'une tabulation"},
             {{"pairs", "-0", folder_},
              std::string("plain\0p\0other\0", 14),
              "paire 2 : l'ancien nom n'a pas"},
         }) {
        r = Cli(args, input);
        EXPECT_EQ(r.exitCode, 2) << why;
        EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("rien n'a été renommé"), std::string::npos) << r.err;
        EXPECT_EQ(test::ReadFolder(folder_), before);
    }
    EXPECT_EQ(Cli({"pairs"}).exitCode, 64);
    EXPECT_EQ(Cli({"pairs", folder_, "list", "more"}).exitCode, 64);
    EXPECT_EQ(Cli({"pairs", folder_, dir_ / "no-such-list"}).exitCode, 66);
}

TEST_F(PairsCommandsTest, EditRenamesTheLinesChangedInTheEditor) {
    Files({"a", "b", "c"});
    // Lines 1 and 2 swapped; the editor's file is private and goes afterwards. The
    // command may hold arguments, and $VISUAL comes before $EDITOR.
    const std::string swap =
        Editor("swap.sh", "stat -c %a \"$1\" > \"" + (dir_ / "mode") + "\"\nsed -i '1{h;d};2{G}' \"$1\"");
    ::setenv("EDITOR", "false", 1);
    ::setenv("VISUAL", ("sh " + swap).c_str(), 1);
    auto r = Cli({"edit", folder_});
    ::unsetenv("VISUAL");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_), (test::Content{{"a", "b"}, {"b", "a"}, {"c", "c"}}));
    EXPECT_EQ(test::ReadFileBytes(dir_ / "mode"), "600\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "tmp"));
    EXPECT_EQ(Cli({"undo", folder_}).exitCode, 0);

    // Nothing changed, a line gone, an editor that fails: nothing renamed.
    const test::Content before = test::ReadFolder(folder_);
    ::setenv("EDITOR", "true", 1);
    r = Cli({"edit", folder_});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "aucun nom changé\n");
    ::setenv("EDITOR", Editor("drop.sh", "sed -i 1d \"$1\"").c_str(), 1);
    r = Cli({"edit", folder_});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
              "quorvel-cli : le nombre de lignes a changé : 3 avant, 2 après ; rien n'a été renommé\n");
    ::setenv("EDITOR", Editor("fail.sh", "sed -i 's/a/z/' \"$1\"; exit 1").c_str(), 1);
    r = Cli({"edit", folder_});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("a échoué (code de sortie 1)"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_), before);
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "tmp"));
}

TEST_F(PairsCommandsTest, EditEscapesLineFeedsTabsAndBackslashesBothWays) {
    Files({"plain", "x\ny"});
    ::setenv("EDITOR",
             Editor("escape.sh", "grep -qx 'x\\\\ny' \"$1\" || exit 3\n"
                                 "printf '%s\\n' 'plain' 'new\\nline\\tand\\\\' > \"$1\"")
                 .c_str(),
             1);
    auto r = Cli({"edit", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_), (test::Content{{"plain", "plain"}, {"new\nline\tand\\", "x\ny"}}));

    // A backslash before another letter: the whole file is refused.
    ::setenv("EDITOR", Editor("bad.sh", "printf '%s\\n' 'pl\\ain' 'other' > \"$1\"").c_str(), 1);
    r = Cli({"edit", folder_});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("ligne 1 :"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFolder(folder_), (test::Content{{"plain", "plain"}, {"new\nline\tand\\", "x\ny"}}));
}

} // namespace
} // namespace quorvel
