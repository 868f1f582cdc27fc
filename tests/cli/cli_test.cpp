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

TEST_F(CliTest, SearchLinesAndCodedValues) {
    auto r = Cli({"apply", Script("37|Rechercher [Motif=(\\d+)] et remplacer par [Chaine2=<$1>]\r\n"),
                  "IMG_0042_v2.jpg",
                  "x\xFF"
                  "9.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "IMG_<0042>_v<2>.jpg\nx\xFF<9>.txt\n");
    r = Cli(
        {"apply", Script("10|Remplacer [Chaine1=a%3Db] par [Chaine2=%5Bx%5D]\r\n"), "a=b.txt", "100%.txt"});
    EXPECT_EQ(r.out, "[x].txt\n100%.txt\n");

    // A pattern that does not compile: nothing is read or written.
    const auto bad = Script("38|Rechercher [Motif=a{2,1}] et remplacer le premier par [Chaine2=x]\r\n");
    for (const char* command : {"check", "apply"}) {
        r = Cli({command, bad}, "a.txt\n");
        EXPECT_EQ(r.exitCode, 2) << command;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Expression invalide : numbers out of order in {} quantifier à la position 6\n");
    }
    // A runaway pattern stops apply as every engine error does.
    r = Cli({"apply", Script("37|Rechercher [Motif=(a+)+$] et remplacer par [Chaine2=x]\r\n")},
            "ab\n" + std::string(40, 'a') + "b\n");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "expression trop coûteuse pour « " + std::string(40, 'a') + "b »\n");
}

// "Composer" lines in apply: the names alone, counted in the order read; a template
// that cannot be read refuses the script, one that asks for a folder or a fact
// stops at the first name, which has neither.
TEST_F(CliTest, ComposerLinesInApply) {
    auto r = Cli({"apply", Script("40|Composer le nom avec [Mod\xE8le={n:01:5}_{name}%7C{{x}}]\r\n"
                                  "42|Composer [Mod\xE8le=-{n:9:-3}] \xE0 la fin\r\n")},
                 "a.txt\nb.tar.gz\nc\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "01_a|{x}-9.txt\n06_b.tar|{x}-6.gz\n11_c|{x}-3\n");

    const auto bad = Script("41|Composer [Mod\xE8le={taken:%Y}_{nom}] au d\xE9"
                            "but\r\n");
    for (const char* command : {"check", "apply"}) {
        r = Cli({command, bad}, "a.txt\n");
        EXPECT_EQ(r.exitCode, 2) << command;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Modèle invalide : jeton inconnu « nom » à la position 13\n");
        r = InLocale({"LANG=en_US.UTF-8"}, {command, bad});
        EXPECT_EQ(r.exitCode, 2) << command;
        EXPECT_EQ(r.err, "Invalid template: unknown token \u201cnom\u201d at position 13\n");
    }
    r = Cli({"check", Script("40|Composer le nom avec [Mod\xE8le={taken:%Y-%q}]\r\n")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Modèle invalide : format inconnu « %q » à la position 11\n");

    // No folder, no facts: the first name stops apply, said with its reason.
    const auto taken = Script("41|Composer [Mod\xE8le={taken,modified:%Y}_] au d\xE9"
                              "but\r\n");
    EXPECT_EQ(Cli({"check", taken}).exitCode, 0);
    r = Cli({"apply", taken}, "a.jpg\nb.jpg\n");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "échec : « a.jpg » : pas de date de prise de vue\n");
    r = InLocale({"LANG=en_US.UTF-8"}, {"apply", taken, "a.jpg"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "failed: \u201ca.jpg\u201d: no date taken\n");
    r = Cli({"apply", Script("42|Composer [Mod\xE8le=_{folder}] \xE0 la fin\r\n"), "a.jpg"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "échec : « a.jpg » : pas de dossier\n");
    // A name without a base fails too, after the names before it were written.
    r = Cli(
        {"apply", Script("40|Composer le nom avec [Mod\xE8le={name}{artist,title}]\r\n"), "x", ".profile"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "échec : « x » : pas d'artiste\n");
    r = Cli({"apply",
             Script("41|Composer [Mod\xE8le={name}_] au d\xE9"
                    "but\r\n"),
             "x", ".profile"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "x_x\n");
    EXPECT_EQ(r.err, "échec : « .profile » : pas de nom\n");
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
