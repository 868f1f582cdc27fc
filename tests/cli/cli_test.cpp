// quorvel-cli run as a separate program on real script files.
#include "cli/cli_fixture.hpp"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quorvel {
namespace {

using test::RunProcess;

class CliTest : public test::CliFixture {
protected:
    // Writes a script of Windows-1252 lines ended by CR LF, as the program saves them.
    std::string Script(const std::string& cp1252Lines) { return dir_.Write("s.script", cp1252Lines); }
};

TEST_F(CliTest, ApplyPrintsTheNewNameOfEachArgumentInOrder) {
    const auto script = Script("19|Ajouter [Num\xE9ro=001] au d\xE9"
                               "but\r\n12|Remplacer l'extention par [Extension=jpeg]\r\n");
    const auto r = Cli({"apply", script, "b.JPG", "a.png", "-rf", "--", "noext"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "001b.jpeg\n002a.jpeg\n003-rf.jpeg\n004--.jpeg\n005noext.jpeg\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, ApplyReadsNamesFromStandardInput) {
    const auto script = Script("20|Ajouter [Num\xE9ro=1] \xE0 la fin\r\n");
    auto r = Cli({"apply", script}, "x.txt\ny.txt\n\nlast");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "x1.txt\ny2.txt\n3\nlast4\n");

    r = Cli({"apply", script}, "");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(CliTest, NulSeparatedNamesKeepNewlinesAndInvalidUtf8) {
    const auto script = Script("14|Ajouter [Chaine=new_] au d\xE9"
                               "but\r\n");
    const std::string input = std::string("line\nbreak.txt\0\xE9t\xE9\xFF.txt\0", 24);
    auto r = Cli({"apply", "-0", script}, input);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, std::string("new_line\nbreak.txt\0new_\xE9t\xE9\xFF.txt\0", 32));

    r = Cli({"apply", "--null", script, "a", "b"});
    EXPECT_EQ(r.out, std::string("new_a\0new_b\0", 12));
}

TEST_F(CliTest, InvalidScriptPrintsNothingAndExits2) {
    const auto script = Script("1|Supprimer les [n] premiers caract\xE8res\r\n");
    auto r = Cli({"apply", script, "a.txt"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Script invalide...\n");

    r = Cli({"check", script});
    EXPECT_EQ(r.exitCode, 2);
    const auto empty = dir_.Write("empty.script", "");
    EXPECT_EQ(Cli({"check", empty}).exitCode, 2);
    const auto good = dir_.Write("good.script", "7|Supprimer tous les espaces\r\n");
    EXPECT_EQ(Cli({"check", good}).exitCode, 0);
}

TEST_F(CliTest, ConversionErrorPrintsTheMessageAndNothingElse) {
    const auto script = Script("19|Ajouter [Num\xE9ro=a1] au d\xE9"
                               "but\r\n");
    const auto r = Cli({"apply", script}, "a.txt\nb.txt\n");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "'a1' n'est pas une valeur enti\xC3\xA8re correcte\n");
}

TEST_F(CliTest, UnreadableScriptsAndBadCommandLines) {
    const std::string missing = dir_ / "absent.script";
    auto r = Cli({"apply", missing, "a"});
    EXPECT_EQ(r.exitCode, 66);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Impossible d'ouvrir le fichier « " + missing + " »\n");
    EXPECT_EQ(Cli({"check", missing}).exitCode, 66);
    r = Cli({"check", ""});
    EXPECT_EQ(r.exitCode, 66);
    EXPECT_EQ(r.err, "Impossible d'ouvrir le fichier «  »\n");
    // A named pipe is refused at once, never waited on (timeout would exit 124).
    const std::string fifo = dir_ / "tube.script";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    r = RunProcess({"/usr/bin/timeout", "10", QUORVEL_CLI, "check", fifo});
    EXPECT_EQ(r.exitCode, 66);
    EXPECT_EQ(r.err, "Impossible d'ouvrir le fichier « " + fifo + " » : c'est un tube nommé\n");

    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"apply"},
                                                                  {"frobnicate"},
                                                                  {"apply", "-x", "s"},
                                                                  {"check"},
                                                                  {"check", "a", "b"},
                                                                  {"undo"},
                                                                  {"resume", "a", "b"},
                                                                  {"history", "a", "b"},
                                                                  {"undo", "--dry-run", "a"}}) {
        r = Cli(args);
        EXPECT_EQ(r.exitCode, 64) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage"), std::string::npos);
    }
    // What is not a command is named as it was typed, even when it is nothing.
    r = Cli({"fro\u2028b"});
    EXPECT_EQ(r.err.rfind("quorvel-cli : commande inconnue : « fro\\u2028b »\nUsage", 0), 0) << r.err;
    r = Cli({""});
    EXPECT_EQ(r.err.rfind("quorvel-cli : commande inconnue : «  »\nUsage", 0), 0) << r.err;
}

TEST_F(CliTest, HelpAndVersion) {
    auto r = Cli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("apply"), std::string::npos);
    r = Cli({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "quorvel-cli " QUORVEL_VERSION "\n");
}

TEST_F(CliTest, SpeaksEnglishWhenTheLocaleSaysEnglishAndFrenchOtherwise) {
    const std::string missing = dir_ / "absent.script";
    const std::string english = "Cannot open file \u201c" + missing + "\u201d\n";
    const std::string french = "Impossible d'ouvrir le fichier « " + missing + " »\n";
    // An English locale need not be installed: the catalogue is found all the same.
    for (const auto& locale :
         std::vector<std::vector<std::string>>{{"LANG=en_US.UTF-8"},
                                               {"LANG=fr_FR.UTF-8", "LC_MESSAGES=en_GB"},
                                               {"LANG=C.UTF-8", "LANGUAGE=de:en_US:fr"}}) {
        auto r = InLocale(locale, {"check", missing});
        EXPECT_EQ(r.exitCode, 66);
        EXPECT_EQ(r.err, english) << locale.back();
        r = InLocale(locale, {"--help"});
        EXPECT_EQ(r.out.rfind("Usage: quorvel-cli COMMAND [OPTIONS] ...\n", 0), 0) << r.out;
    }
    for (const auto& locale :
         std::vector<std::vector<std::string>>{{"LANG=fr_FR.UTF-8"},
                                               {"LANG=de_DE.UTF-8"},
                                               {"LANG=en_US.UTF-8", "LC_ALL=fr_FR.UTF-8"},
                                               {"LANG=C", "LANGUAGE=en"},
                                               {"LANG=C.UTF-8", "LANGUAGE=fr:en"}}) {
        const auto r = InLocale(locale, {"check", missing});
        EXPECT_EQ(r.err, french) << locale.back();
    }
    // Usage errors in English too, with the usage of the command.
    const auto r = InLocale({"LANG=en_US.UTF-8"}, {"undo", "-x", "folder"});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_EQ(r.err.rfind("quorvel-cli: unknown option: \u201c-x\u201d\nUsage: quorvel-cli undo FOLDER\n", 0),
              0)
        << r.err;
}

TEST_F(CliTest, ManyNamesStreamThrough) {
    const auto script = Script("19|Ajouter [Num\xE9ro=0001] au d\xE9"
                               "but\r\n");
    std::string input;
    std::string expected;
    for (int i = 1; i <= 30000; ++i) {
        input += "f" + std::to_string(i) + "\n";
        char number[16];
        std::snprintf(number, sizeof number, "%04d", i);
        expected += std::string(number) + "f" + std::to_string(i) + "\n";
    }
    const auto r = Cli({"apply", script}, input);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, expected);
}

} // namespace
} // namespace quorvel
