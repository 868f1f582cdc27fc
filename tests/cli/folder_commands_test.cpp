// quorvel-cli preview and run, as a separate program on real folders. Every file
// holds its own original name, so that the tests see where each file went.
#include "support/process.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using test::RunProcess;
using Content = std::map<std::string, std::string>;

class FolderCommandsTest : public ::testing::Test {
protected:
    FolderCommandsTest() {
        std::filesystem::create_directory(folder_);
        // Windows-1252 and CR LF, as the program saves scripts.
        prefix_ = scripts_.Write("prefix.script", "14|Ajouter [Chaine=x_] au d\xE9"
                                                  "but\r\n");
        number_ = scripts_.Write("number.script", "19|Ajouter [Num\xE9ro=01] au d\xE9"
                                                  "but\r\n");
    }

    void Files(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            scripts_.Write("files/" + name, name);
        }
    }
    Content Folder() const {
        Content content;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            content[entry.path().filename().string()] =
                entry.is_directory() ? "<dir>" : test::ReadFileBytes(entry.path().string());
        }
        return content;
    }
    test::ProcessResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), QUORVEL_CLI);
        return RunProcess(args);
    }

    test::TempDir scripts_;
    std::string folder_ = scripts_ / "files";
    std::string prefix_;
    std::string number_;
};

TEST_F(FolderCommandsTest, PreviewListsOldAndNewNamesInNameOrder) {
    Files({"b.txt", "A.txt", "_x.txt", "c.jpg"});
    std::filesystem::create_directory(folder_ + "/sub");
    auto r = Cli({"preview", number_, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "A.txt\t01A.txt\nb.txt\t02b.txt\nc.jpg\t03c.jpg\n_x.txt\t04_x.txt\n");
    EXPECT_EQ(r.err, "4 fichiers\n");

    r = Cli({"preview", number_, folder_, "*.TXT;*.txt"});
    EXPECT_EQ(r.out, "A.txt\t01A.txt\nA.txt\t02A.txt\nb.txt\t03b.txt\nb.txt\t04b.txt\n_x.txt\t05_x.txt\n"
                     "_x.txt\t06_x.txt\n");

    r = Cli({"preview", number_, folder_, "*.jpg"});
    EXPECT_EQ(r.out, "c.jpg\t01c.jpg\n");
    EXPECT_EQ(r.err, "1 fichier\n");
    EXPECT_EQ(Cli({"preview", number_, folder_, ""}).out, Cli({"preview", number_, folder_}).out)
        << "an empty filter is *.*";
    EXPECT_EQ(Folder(), (Content{{"A.txt", "A.txt"},
                                 {"b.txt", "b.txt"},
                                 {"_x.txt", "_x.txt"},
                                 {"c.jpg", "c.jpg"},
                                 {"sub", "<dir>"}}));
}

TEST_F(FolderCommandsTest, NulSeparatedPreviewKeepsEveryName) {
    Files({"line\nbreak", "tab\there", "-rf", "\xE9t\xE9\xFF", std::string(253, 'l')});
    const auto r = Cli({"preview", "-0", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string longName(253, 'l');
    const std::string expected = std::string("-rf\0x_-rf\0", 10) +
                                 std::string("line\nbreak\0x_line\nbreak\0", 24) + longName + '\0' + "x_" +
                                 longName + '\0' + std::string("tab\there\0x_tab\there\0", 20) +
                                 std::string("\xE9t\xE9\xFF\0x_\xE9t\xE9\xFF\0", 12);
    EXPECT_EQ(r.out, expected);
}

TEST_F(FolderCommandsTest, RunRenamesWithoutAskingAndSaysHowItWent) {
    Files({"a", "b", "x_b", "line\nbreak", "-rf", "\xE9t\xE9\xFF"});
    const auto r = Cli({"run", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "échec : b -> x_b : un fichier de ce nom existe déjà\n"
                     "6 fichiers : 5 renommés, 0 inchangé, 1 échec\n");
    EXPECT_EQ(Folder(), (Content{{"x_a", "a"},
                                 {"b", "b"},
                                 {"x_x_b", "x_b"},
                                 {"x_line\nbreak", "line\nbreak"},
                                 {"x_-rf", "-rf"},
                                 {"x_\xE9t\xE9\xFF", "\xE9t\xE9\xFF"}}));

    const auto clean = Cli({"run", prefix_, folder_, "x_l*"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_EQ(clean.err, "1 fichier : 1 renommé, 0 inchangé, 0 échec\n");
}

TEST_F(FolderCommandsTest, FailuresAreListedWithTheirReasons) {
    Files({"ab", "line\nfeed", "zz"});
    const auto script = scripts_.Write("s.script", "1|Supprimer les [n=2] premiers caract\xE8res\r\n"
                                                   "10|Remplacer [Chaine1=feed] par [Chaine2=/x]\r\n");
    const auto r = Cli({"run", script, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : ab ->  : le nouveau nom est vide\n"
                     "échec : line\\nfeed -> ne\\n/x : le nouveau nom contient « / »\n"
                     "échec : zz ->  : le nouveau nom est vide\n"
                     "3 fichiers : 0 renommé, 0 inchangé, 3 échecs\n");
    EXPECT_EQ(Folder(), (Content{{"ab", "ab"}, {"line\nfeed", "line\nfeed"}, {"zz", "zz"}}));
}

TEST_F(FolderCommandsTest, DryRunForeseesTheRunAndTouchesNothing) {
    Files({"a", "b", "x_b"});
    const Content before = Folder();
    const auto r = Cli({"run", "--dry-run", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "a\tx_a\nb\tx_b\nx_b\tx_x_b\n");
    EXPECT_EQ(r.err, "échec : b -> x_b : un fichier de ce nom existe déjà\n"
                     "3 fichiers : 2 à renommer, 0 inchangé, 1 échec (simulation : rien n'a été modifié)\n");
    EXPECT_EQ(Folder(), before);

    const auto null = Cli({"run", "-0", "--dry-run", prefix_, folder_, "a"});
    EXPECT_EQ(null.exitCode, 0);
    EXPECT_EQ(null.out, std::string("a\0x_a\0", 6));
    EXPECT_EQ(Folder(), before);
}

TEST_F(FolderCommandsTest, FoldersThatCannotBeListedGiveNoFile) {
    const std::string file = scripts_.Write("plain.txt", "p");
    for (const std::string& folder : {scripts_ / "missing", file, std::string()}) {
        for (const char* command : {"preview", "run"}) {
            const auto r = Cli({command, prefix_, folder});
            EXPECT_EQ(r.exitCode, 0) << command << " " << folder;
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, "0 fichier\n");
        }
    }
    EXPECT_EQ(test::ReadFileBytes(file), "p");
}

TEST_F(FolderCommandsTest, ScriptProblemsStopBeforeAnyRename) {
    Files({"a", "b"});
    const Content before = Folder();
    struct Case {
        std::string script;
        int exitCode;
        std::string err;
    };
    const std::string missing = scripts_ / "absent.script";
    const Case cases[] = {
        {scripts_.Write("open.script", "14|Ajouter [Chaine] au d\xE9"
                                       "but\r\n"),
         2, "Script invalide...\n"},
        {scripts_.Write("bad.script", "19|Ajouter [Num\xE9ro=a1] au d\xE9"
                                      "but\r\n"),
         3, "'a1' n'est pas une valeur enti\xC3\xA8re correcte\n"},
        {missing, 66, "Impossible d'ouvrir le fichier " + missing + "\n"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"preview", "run"}) {
            const auto r = Cli({command, c.script, folder_});
            EXPECT_EQ(r.exitCode, c.exitCode) << command << " " << c.script;
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, c.err);
        }
    }
    EXPECT_EQ(Folder(), before);
}

TEST_F(FolderCommandsTest, BadCommandLines) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"preview"},
                                                                  {"preview", prefix_},
                                                                  {"run", prefix_, folder_, "*", "extra"},
                                                                  {"preview", "--dry-run", prefix_, folder_},
                                                                  {"run", "-x", prefix_, folder_}}) {
        const auto r = Cli(args);
        EXPECT_EQ(r.exitCode, 64) << args.size();
        EXPECT_NE(r.err.find("Usage"), std::string::npos);
    }
}

TEST_F(FolderCommandsTest, AFolderNamedLikeAnOptionAfterTwoDashes) {
    const std::string dashed = scripts_ / "-files";
    std::filesystem::create_directory(dashed);
    scripts_.Write("-files/a", "a");
    const auto r = Cli({"run", "--", prefix_, dashed});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFileBytes(dashed + "/x_a"), "a");
}

} // namespace
} // namespace quorvel
