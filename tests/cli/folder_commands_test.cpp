// quorvel-cli preview and run, as a separate program on real folders. Every file
// holds its own original name, so that the tests see where each file went.
#include "cli/cli_fixture.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using test::Content;

class FolderCommandsTest : public test::CliFixture {
protected:
    FolderCommandsTest() {
        std::filesystem::create_directory(folder_);
        // Windows-1252 and CR LF, as the program saves scripts.
        prefix_ = dir_.Write("prefix.script", "14|Ajouter [Chaine=x_] au d\xE9"
                                              "but\r\n");
        number_ = dir_.Write("number.script", "19|Ajouter [Num\xE9ro=01] au d\xE9"
                                              "but\r\n");
    }

    void Files(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            dir_.Write("files/" + name, name);
        }
    }
    Content Folder() const { return test::ReadFolder(folder_); }

    std::string folder_ = dir_ / "files";
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

    // Every name matches both patterns: each file once, numbered without a gap.
    r = Cli({"preview", number_, folder_, "*.TXT;*.txt"});
    EXPECT_EQ(r.out, "A.txt\t01A.txt\nb.txt\t02b.txt\n_x.txt\t03_x.txt\n");
    EXPECT_EQ(r.err, "3 fichiers\n");

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
    // b takes the name x_b gives up: a chain, which runs from its free end.
    Files({"a", "b", "x_b", "line\nbreak", "-rf", "\xE9t\xE9\xFF"});
    auto r = Cli({"run", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "6 fichiers : 6 renommés, 0 inchangé, 0 échec\n");
    const Content after{{"x_a", "a"},     {"x_b", "b"},
                        {"x_x_b", "x_b"}, {"x_line\nbreak", "line\nbreak"},
                        {"x_-rf", "-rf"}, {"x_\xE9t\xE9\xFF", "\xE9t\xE9\xFF"}};
    EXPECT_EQ(Folder(), after);

    // x_x_b is not selected: it stays, and keeps its name.
    r = Cli({"run", prefix_, folder_, "x_b"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : « x_b » -> « x_x_b » : un fichier de ce nom existe déjà\n"
                     "1 fichier : 0 renommé, 0 inchangé, 1 échec\n");
    EXPECT_EQ(Folder(), after);

    // A new name that differs from a name that stays only by case is given, with a warning.
    dir_.Write("files/X_X_-RF", "X_X_-RF");
    r = Cli({"run", prefix_, folder_, "x_-rf"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(
        r.err,
        "attention : « x_-rf » -> « x_x_-rf » : ne diffère de « X_X_-RF » que par la casse ou les accents\n"
        "1 fichier : 1 renommé, 0 inchangé, 0 échec\n");
    EXPECT_EQ(test::ReadFileBytes(folder_ + "/x_x_-rf"), "-rf");
}

// "*.jpg;*.JPG": case is ignored, so every photo matches both patterns; the run
// takes each once, numbers them 1, 2, 3 and reports no failure.
TEST_F(FolderCommandsTest, RunTakesAFileMatchingTwoPatternsOnce) {
    Files({"b.JPG", "a.jpg", "c.Jpg", "notes.txt"});
    const auto r = Cli({"run", number_, folder_, "*.jpg;*.JPG"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "3 fichiers : 3 renommés, 0 inchangé, 0 échec\n");
    EXPECT_EQ(
        Folder(),
        (Content{
            {"01a.jpg", "a.jpg"}, {"02b.JPG", "b.JPG"}, {"03c.Jpg", "c.Jpg"}, {"notes.txt", "notes.txt"}}));
}

TEST_F(FolderCommandsTest, FailuresAreListedWithTheirReasons) {
    Files({"ab", "line\nfeed", "zz"});
    const auto script = dir_.Write("s.script", "1|Supprimer les [n=2] premiers caract\xE8res\r\n"
                                               "10|Remplacer [Chaine1=feed] par [Chaine2=/x]\r\n");
    const auto r = Cli({"run", script, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : « ab » -> «  » : le nouveau nom est vide\n"
                     "échec : « line\\nfeed » -> « ne\\n/x » : le nouveau nom contient « / »\n"
                     "échec : « zz » -> «  » : le nouveau nom est vide\n"
                     "3 fichiers : 0 renommé, 0 inchangé, 3 échecs\n");
    EXPECT_EQ(Folder(), (Content{{"ab", "ab"}, {"line\nfeed", "line\nfeed"}, {"zz", "zz"}}));
}

// Names that would fake the layout of a failure line, break it, or hide from the
// reader: each is quoted and escaped in the messages, in French and in English, and
// stays byte for byte what it is in the output that programs read.
TEST_F(FolderCommandsTest, NamesInMessagesCanNeitherFakeTheLayoutNorHide) {
    const std::vector<std::string> names = {"a -> b",   "a\nb",     "a\u2028b",
                                            "a\u200Bb", "a\uFEFFb", "a\u202Eb",
                                            "a\xFF",    "a\\b",     "a \u00BB -> \u00AB b",
                                            "a\u201Db", "zz"};
    for (const std::string& name : names) {
        dir_.Write("files/" + name, name);
    }
    const Content before = Folder();
    // "zz" loses every character; every other name gets a "/" for its "a".
    const auto script = dir_.Write("s.script", "6|Supprimer toutes les occurences de [Chaine=zz]\r\n"
                                               "10|Remplacer [Chaine1=a] par [Chaine2=/]\r\n");
    auto r = Cli({"run", script, folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    // In the folder's name order.
    const std::string slash = " : le nouveau nom contient « / »\n";
    EXPECT_EQ(
        r.err,
        "échec : « a\\nb » -> « /\\nb »" + slash + "échec : « a -> b » -> « / -> b »" + slash +
            "échec : « a \\u00BB -> « b » -> « / \\u00BB -> « b »" + slash +
            "échec : « a\\\\b » -> « /\\\\b »" + slash + "échec : « a\\u200Bb » -> « /\\u200Bb »" + slash +
            "échec : « a\u201Db » -> « /\u201Db »" + slash + "échec : « a\\u2028b » -> « /\\u2028b »" +
            slash + "échec : « a\\u202Eb » -> « /\\u202Eb »" + slash +
            "échec : « a\\uFEFFb » -> « /\\uFEFFb »" + slash + "échec : « a\\xFF » -> « /\\xFF »" + slash +
            "échec : « zz » -> «  » : le nouveau nom est vide\n"
            "11 fichiers : 0 renommé, 0 inchangé, 11 échecs\n");
    EXPECT_EQ(Folder(), before);

    // In English the quotes are others, and so is the mark a name cannot hold raw.
    r = InLocale({"LANG=en_US.UTF-8"}, {"run", script, folder_, "*b;zz"});
    EXPECT_EQ(r.exitCode, 1);
    const std::string contains = ": the new name contains \u201c/\u201d\n";
    EXPECT_EQ(r.err, "failed: \u201ca\\nb\u201d -> \u201c/\\nb\u201d" + contains +
                         "failed: \u201ca -> b\u201d -> \u201c/ -> b\u201d" + contains +
                         "failed: \u201ca \u00BB -> \u00AB b\u201d -> \u201c/ \u00BB -> \u00AB b\u201d" +
                         contains + "failed: \u201ca\\\\b\u201d -> \u201c/\\\\b\u201d" + contains +
                         "failed: \u201ca\\u200Bb\u201d -> \u201c/\\u200Bb\u201d" + contains +
                         "failed: \u201ca\\u201Db\u201d -> \u201c/\\u201Db\u201d" + contains +
                         "failed: \u201ca\\u2028b\u201d -> \u201c/\\u2028b\u201d" + contains +
                         "failed: \u201ca\\u202Eb\u201d -> \u201c/\\u202Eb\u201d" + contains +
                         "failed: \u201ca\\uFEFFb\u201d -> \u201c/\\uFEFFb\u201d" + contains +
                         "failed: \u201czz\u201d -> \u201c\u201d: the new name is empty\n"
                         "10 files: 0 renamed, 0 unchanged, 10 failures\n");

    // What programs read keeps every name as it is.
    r = Cli({"preview", "-0", script, folder_, "a -> b;a\u2028b;zz"});
    EXPECT_EQ(r.out, std::string("a -> b\0/ -> b\0a\u2028b\0/\u2028b\0zz\0\0", 30));
    EXPECT_EQ(r.err, "3 fichiers\n");
    EXPECT_EQ(Folder(), before);
}

TEST_F(FolderCommandsTest, DryRunPrintsTheStepsInTheOrderOfTheRunAndTouchesNothing) {
    Files({"1.txt", "2.txt", "3.txt", "ab", "ba"});
    const Content before = Folder();
    // 1.txt -> 2.txt, 2.txt -> 3.txt, 3.txt -> 4.txt: a shift, from its free end.
    const auto shift = dir_.Write("shift.script", "1|Supprimer les [n=1] premiers caract\xE8res\r\n"
                                                  "19|Ajouter [Num\xE9ro=2] au d\xE9"
                                                  "but\r\n");
    auto r = Cli({"run", "--dry-run", shift, folder_, "*.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "3.txt\t4.txt\n2.txt\t3.txt\n1.txt\t2.txt\n");
    EXPECT_EQ(r.err, "3 fichiers : 3 à renommer, 0 inchangé, 0 échec (simulation : rien n'a été modifié)\n");

    r = Cli({"run", "-0", "--dry-run", shift, folder_, "*.txt"});
    EXPECT_EQ(r.out, std::string("3.txt\0004.txt\0002.txt\0003.txt\0001.txt\0002.txt\0", 36));

    // ab <-> ba: a swap, through a hidden temporary name that holds the pid.
    const auto rotate = dir_.Write("rotate.script", "24|Les [n=1] premiers caract\xE8res \xE0 la fin\r\n");
    r = Cli({"run", "--dry-run", rotate, folder_, "ab;ba"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(
        std::regex_match(r.out, std::regex("ab\t(\\.quorvel-[0-9]+-[0-9]+\\.tmp)\nba\tab\n\\1\tba\n")))
        << r.out;

    // 2.txt is not selected, so 1.txt cannot have its name.
    r = Cli({"run", "--dry-run", shift, folder_, "1.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "échec : « 1.txt » -> « 2.txt » : un fichier de ce nom existe déjà\n"
                     "1 fichier : 0 à renommer, 0 inchangé, 1 échec (simulation : rien n'a été modifié)\n");

    EXPECT_EQ(Folder(), before);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "state")) << "a dry run writes no journal";
}

TEST_F(FolderCommandsTest, FoldersThatCannotBeReadStopWithTheReason) {
    const std::string file = dir_.Write("plain.txt", "p");
    const std::string missing = dir_ / "missing";
    const std::string odd = dir_ / "odd\n\xFF";
    const std::pair<std::string, std::string> cases[] = {
        {missing, "dossier illisible : « " + missing + " » : ce dossier n'existe pas\n"},
        {file, "dossier illisible : « " + file + " » : ce n'est pas un dossier\n"},
        {odd, "dossier illisible : « " + dir_.path() + "/odd\\n\\xFF » : ce dossier n'existe pas\n"},
        {"", "dossier illisible : «  » : ce dossier n'existe pas\n"},
    };
    for (const auto& [folder, message] : cases) {
        for (const char* command : {"preview", "run"}) {
            const auto r = Cli({command, prefix_, folder});
            EXPECT_EQ(r.exitCode, 66) << command << " " << folder;
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, message);
        }
    }
    EXPECT_EQ(Cli({"run", "--dry-run", prefix_, missing}).exitCode, 66);
    for (const char* command : {"undo", "resume"}) {
        const auto r = Cli({command, missing});
        EXPECT_EQ(r.exitCode, 66) << command;
        EXPECT_EQ(r.err, "dossier illisible : « " + missing + " » : ce dossier n'existe pas\n");
    }
    EXPECT_EQ(test::ReadFileBytes(file), "p");
}

TEST_F(FolderCommandsTest, ARunWhoseJournalCannotBeWrittenRenamesNothing) {
    Files({"a", "b"});
    const Content before = Folder();
    dir_.Write("state", "not a folder"); // where the journals go
    const auto r = Cli({"run", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 74);
    EXPECT_EQ(r.err.rfind("journal impossible à écrire : « " + dir_.path() + "/state/quorvel » : ", 0), 0U)
        << r.err;
    EXPECT_TRUE(r.err.ends_with(" ; rien n'a été renommé\n")) << r.err;
    EXPECT_EQ(Folder(), before);
}

TEST_F(FolderCommandsTest, ScriptProblemsStopBeforeAnyRename) {
    Files({"a", "b"});
    const Content before = Folder();
    struct Case {
        std::string script;
        int exitCode;
        std::string err;
    };
    const std::string missing = dir_ / "absent.script";
    const Case cases[] = {
        {dir_.Write("open.script", "14|Ajouter [Chaine] au d\xE9"
                                   "but\r\n"),
         2, "Script invalide...\n"},
        {dir_.Write("bad.script", "19|Ajouter [Num\xE9ro=a1] au d\xE9"
                                  "but\r\n"),
         3, "'a1' n'est pas une valeur enti\xC3\xA8re correcte\n"},
        {missing, 66, "Impossible d'ouvrir le fichier « " + missing + " »\n"},
        {dir_.Write("pattern.script", "37|Rechercher [Motif=(] et remplacer par [Chaine2=x]\r\n"), 2,
         "Expression invalide : missing closing parenthesis à la position 2\n"},
        {dir_.Write("template.script", "40|Composer le nom avec [Mod\xE8le={n}{taken,make}]\r\n"), 2,
         "Modèle invalide : jetons de natures différentes dans « taken,make » à la position 11\n"},
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

// A pattern too costly on one name fails that file alone, with the reason.
TEST_F(FolderCommandsTest, APatternTooCostlyOnANameFailsThatFileAlone) {
    const std::string runaway(40, 'a');
    Files({runaway + "b", "c1"});
    const std::string script =
        dir_.Write("runaway.script", "37|Rechercher [Motif=(a+)+$%7C1] et remplacer par [Chaine2=2]\r\n");
    const std::string why =
        "échec : « " + runaway + "b » : expression trop coûteuse pour « " + runaway + "b »\n";
    auto r = Cli({"preview", script, folder_});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "c1\tc2\n");
    EXPECT_EQ(r.err, why + "2 fichiers\n");

    r = Cli({"run", script, folder_});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(Folder(), (Content{{runaway + "b", runaway + "b"}, {"c2", "c1"}}));
    EXPECT_NE(r.err.find("expression trop coûteuse pour « " + runaway + "b »"), std::string::npos) << r.err;
}

// A template is told each file's folder and place; a file without a value its
// template asks for fails alone, with its reason, the others are renamed.
TEST_F(FolderCommandsTest, ComposerLinesNameEachFileAndFailOnlyThoseWithoutTheirValue) {
    Files({"b.txt", "a.txt", ".profile"});
    const std::string composed =
        dir_.Write("composed.script", "40|Composer le nom avec [Mod\xE8le={folder}-{n:10:-3}-{name}]\r\n");
    auto r = Cli({"preview", composed, folder_});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "a.txt\tfiles-07-a.txt\nb.txt\tfiles-04-b.txt\n");
    EXPECT_EQ(r.err, "échec : « .profile » : pas de nom\n3 fichiers\n");

    r = Cli({"run", composed, folder_});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(Folder(),
              (Content{{"files-07-a.txt", "a.txt"}, {"files-04-b.txt", "b.txt"}, {".profile", ".profile"}}));
    EXPECT_NE(r.err.find("pas de nom"), std::string::npos) << r.err;

    // No facts are read here yet: every file lacks its date, and none is renamed.
    const std::string dated = dir_.Write("dated.script", "41|Composer [Mod\xE8le={taken:%Y}_] au d\xE9"
                                                         "but\r\n");
    const Content before = Folder();
    r = InLocale({"LANG=en_US.UTF-8"}, {"preview", dated, folder_, "*.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "failed: \u201cfiles-04-b.txt\u201d: no date taken\n"
                     "failed: \u201cfiles-07-a.txt\u201d: no date taken\n2 files\n");
    EXPECT_EQ(Cli({"run", dated, folder_}).exitCode, 1);
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

TEST_F(FolderCommandsTest, HelpAndUnknownOptionsOfACommandGiveItsUsage) {
    const std::string usage = "Usage : quorvel-cli run [--dry-run] [-0] [-r] [--depth N]\n"
                              "                       [--folders | --folders-only] [--cross-devices]\n"
                              "                       [--sort CLÉ] [--reverse] SCRIPT DOSSIER [FILTRE]\n";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"run", "--help"}, {"run", "-0", "-h", prefix_, folder_}, {"run", "--bogus", "--help"}}) {
        const auto r = Cli(args);
        EXPECT_EQ(r.exitCode, 0) << args[1];
        EXPECT_EQ(r.out.rfind(usage, 0), 0) << r.out;
        EXPECT_EQ(r.err, "");
    }
    auto r = Cli({"run", "--bogus", prefix_, folder_});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("quorvel-cli : option inconnue : « --bogus »\n" + usage, 0), 0) << r.err;
    EXPECT_EQ(r.err.find("history"), std::string::npos) << "only the usage of run";
    // After SCRIPT, "--help" is a name: here the folder, which does not exist.
    r = Cli({"run", prefix_, "--help"});
    EXPECT_EQ(r.exitCode, 66);
    EXPECT_EQ(r.err, "dossier illisible : « --help » : ce dossier n'existe pas\n");
    EXPECT_EQ(Cli({"help", "preview"}).out.rfind("Usage : quorvel-cli preview", 0), 0);
}

TEST_F(FolderCommandsTest, TheRunReportsInEnglishUnderAnEnglishLocale) {
    Files({"a", "b", "x_b", "X_A"});
    const auto r = InLocale({"LANG=en_US.UTF-8"}, {"run", prefix_, folder_, "?"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        r.err,
        "warning: \u201ca\u201d -> \u201cx_a\u201d: differs from \u201cX_A\u201d only by case or accents\n"
        "failed: \u201cb\u201d -> \u201cx_b\u201d: a file of this name already exists\n"
        "2 files: 1 renamed, 0 unchanged, 1 failure\n");
}

TEST_F(FolderCommandsTest, AFolderNamedLikeAnOptionAfterTwoDashes) {
    const std::string dashed = dir_ / "-files";
    std::filesystem::create_directory(dashed);
    dir_.Write("-files/a", "a");
    const auto r = Cli({"run", "--", prefix_, dashed});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFileBytes(dashed + "/x_a"), "a");
}

} // namespace
} // namespace quorvel
