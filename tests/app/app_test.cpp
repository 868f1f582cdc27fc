// The desktop program started from the command line for an unattended run, with no
// display: it renames, says on the standard error what went wrong and how the run
// went, and exits with a status.
#include "support/process.hpp"
#include "support/temp_dir.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quorvel {
namespace {

class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        for (const char* locale : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            ::unsetenv(locale); // the report in the built-in language
        }
        ::setenv("HOME", sandbox_.path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", (sandbox_ / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (sandbox_ / "config").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (sandbox_ / "state").c_str(), 1);
        ::setenv("PATH", "/nonexistent", 1);
        for (const char* session : {"QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP"}) {
            ::unsetenv(session); // X11, Qt's own choice without a session of another kind
        }
        for (const char* name : {"a.jpg", "b.jpg", "c.txt"}) {
            folder_.Write(name, name);
        }
    }

    test::ProcessResult Run(const std::string& scriptBytes, std::vector<std::string> args) {
        const std::string script = sandbox_.Write("s.script", scriptBytes);
        args.insert(args.begin(), script);
        args.insert(args.begin(), QUORVEL_APP);
        return test::RunProcess(args);
    }

    // quorvel with `args` as they are, the script s.script holding `scriptBytes`.
    test::ProcessResult RunAs(const std::string& scriptBytes, std::vector<std::string> args) {
        sandbox_.Write("s.script", scriptBytes);
        args.insert(args.begin(), QUORVEL_APP);
        return test::RunProcess(args);
    }

    bool Has(const char* name) const { return std::filesystem::exists(folder_ / name); }

    static constexpr const char* kPrefix = "14|Ajouter [Chaine=x_] au d\xE9"
                                           "but\r\n";
    test::TempDir sandbox_;
    test::TempDir folder_;
};

TEST_F(UnattendedRun, RenamesTheMatchingFilesAndExitsZero) {
    const auto r = Run(kPrefix, {folder_.path(), "*.jpg"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "2 fichiers : 2 renommés, 0 inchangé, 0 échec\n");
    EXPECT_TRUE(Has("x_a.jpg") && Has("x_b.jpg") && Has("c.txt"));
}

// Every photo matches both patterns of "*.jpg;*.JPG": each is renamed once,
// numbered 1, 2, 3, and no file is refused as listed twice.
TEST_F(UnattendedRun, AFileMatchingTwoPatternsIsRenamedOnce) {
    folder_.Write("d.JPG", "d.JPG");
    const auto r = Run("19|Ajouter [Num\xE9ro=1] au d\xE9"
                       "but\r\n",
                       {folder_.path(), "*.jpg;*.JPG"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "3 fichiers : 3 renommés, 0 inchangé, 0 échec\n");
    EXPECT_EQ(test::ReadFileBytes(folder_ / "1a.jpg"), "a.jpg");
    EXPECT_EQ(test::ReadFileBytes(folder_ / "2b.jpg"), "b.jpg");
    EXPECT_EQ(test::ReadFileBytes(folder_ / "3d.JPG"), "d.JPG");
    EXPECT_TRUE(Has("c.txt"));
}

// The window needs a display: without one the program says so instead of aborting.
TEST_F(UnattendedRun, TheWindowWithoutADisplaySaysSo) {
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{QUORVEL_APP},
          std::vector<std::string>{QUORVEL_APP, sandbox_ / "s.script", ""}}) {
        const auto r = test::RunProcess(args);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_EQ(r.err, "quorvel : aucun affichage disponible\n");
    }
    ::unsetenv("QT_QPA_PLATFORM");
}

// --files and --files-from open the window with the files of a file manager: the
// help says so, and what cannot be done is said before any window.
TEST_F(UnattendedRun, FilesGivenAreForTheWindowAlone) {
    const auto help = test::RunProcess({QUORVEL_APP, "--help"});
    EXPECT_NE(help.out.find("  --files FICHIER...\n"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("  --files-from LISTE\n"), std::string::npos) << help.out;
    const auto english =
        test::RunProcess({"/usr/bin/env", "LANG=C.UTF-8", "LANGUAGE=en", QUORVEL_APP, "--help"});
    EXPECT_NE(english.out.find("  --files FILE...\n"), std::string::npos) << english.out;

    auto r = test::RunProcess({QUORVEL_APP, "--files-from"});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_EQ(r.err, "quorvel : --files-from attend une LISTE\n");
    // A script and a folder with files: not the unattended run, which would rename.
    sandbox_.Write("s.script", kPrefix);
    r = test::RunProcess({QUORVEL_APP, sandbox_ / "s.script", folder_.path(), "--files", folder_ / "a.jpg"});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_EQ(r.err, "quorvel : avec --files ou --files-from, seul un SCRIPT est accept\xC3\xA9\n");
    EXPECT_TRUE(Has("a.jpg") && Has("b.jpg"));
    // Everything after --files is a file, Qt's options and "--" too.
    r = test::RunProcess({QUORVEL_APP, sandbox_ / "s.script", "--files", folder_.path(), "-style", "x"});
    EXPECT_EQ(r.err, "quorvel : aucun affichage disponible\n");
    EXPECT_TRUE(Has("a.jpg") && Has("b.jpg"));

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    r = test::RunProcess({QUORVEL_APP, "--files-from=" + (sandbox_ / "none")});
    ::unsetenv("QT_QPA_PLATFORM");
    EXPECT_EQ(r.exitCode, 66);
    EXPECT_EQ(r.err.rfind("liste illisible : \xC2\xAB " + (sandbox_ / "none") + " \xC2\xBB : ", 0), 0U)
        << r.err;
}

TEST_F(UnattendedRun, NeedsNoDisplayEvenWhenTheX11PlatformIsAskedFor) {
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const auto r = Run(kPrefix, {folder_.path()});
    ::unsetenv("QT_QPA_PLATFORM");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "3 fichiers : 3 renommés, 0 inchangé, 0 échec\n");
    EXPECT_TRUE(Has("x_a.jpg") && Has("x_b.jpg") && Has("x_c.txt"));
}

TEST_F(UnattendedRun, HelpAndVersionNeedNoDisplay) {
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    for (const char* option : {"--help", "-h"}) {
        const auto r = test::RunProcess({QUORVEL_APP, option});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.rfind("Usage : quorvel [SCRIPT [DOSSIER [FILTRE]]]\n\n"
                              "  quorvel                          ouvre la fen\xC3\xAAtre\n",
                              0),
                  0)
            << r.out;
        EXPECT_EQ(r.err, "");
    }
    for (const char* locale : {"LANG=en_US.UTF-8", "LANGUAGE=en"}) {
        const auto r = test::RunProcess({"/usr/bin/env", "LANG=C.UTF-8", locale, QUORVEL_APP, "--help"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.rfind("Usage: quorvel [SCRIPT [FOLDER [FILTER]]]\n\n"
                              "  quorvel                          opens the window\n",
                              0),
                  0)
            << r.out;
    }
    // Qt's options change nothing of it, and neither do operands.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{QUORVEL_APP, "--version"},
          std::vector<std::string>{QUORVEL_APP, "-style", "fusion", "--version"},
          std::vector<std::string>{QUORVEL_APP, sandbox_ / "s.script", folder_.path(), "--version"}}) {
        const auto r = test::RunProcess(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "quorvel " QUORVEL_VERSION "\n");
        EXPECT_EQ(r.err, "");
    }
    EXPECT_TRUE(Has("a.jpg") && Has("b.jpg") && Has("c.txt"));
}

// Qt takes its own options out of the command line, with their values, wherever
// they stand; the unattended run, which makes no QApplication, reads the same
// operands.
TEST_F(UnattendedRun, QtOptionsAreNeverTakenForTheScriptOrTheFolder) {
    const std::string script = sandbox_ / "s.script";
    const std::string folder = folder_.path();
    const std::vector<std::vector<std::string>> options = {
        {"-style", "fusion"},
        {"-style=fusion"},
        {"--style", "fusion"},
        {"-platform", "offscreen"},
        {"-platform", "xcb", "-geometry", "640x480", "-title", "Photos", "-icon", "quorvel"},
        {"-platformtheme", "gtk3"},
        {"-platformpluginpath", "/nowhere"},
        {"-reverse"},
        {"-stylesheet", "look.qss"},
        {"-stylesheet=look.qss"},
        {"-qwindowgeometry", "640x480+10+10"},
        {"-qwindowtitle", "Photos"},
        {"-qwindowicon", "quorvel"},
        {"-plugin", "evdevmouse"},
        {"-session", "1a2b_3c"},
        {"-widgetcount"},
        {"-testability"},
        {"-qmljsdebugger=port:1234"},
        {"-qmljsdebugger", "port:1234"},
        {"-display", ":7"},
        {"-name", "photos"},
        {"-visual", "33"},
        {"-nograb", "-dograb"},
        {"-reverse", "-style", "fusion", "-qwindowtitle", "Photos"},
    };
    for (const auto& option : options) {
        std::vector<std::string> args = option;
        args.insert(args.end(), {script, folder});
        const auto r = RunAs(kPrefix, args);
        EXPECT_EQ(r.exitCode, 0) << option[0] << ": " << r.err;
        EXPECT_EQ(r.err, "3 fichiers : 3 renommés, 0 inchangé, 0 échec\n") << option[0];
    }
    // Between and after the operands too.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{script, "-style", "fusion", folder},
          std::vector<std::string>{script, folder, "-reverse", "-qwindowtitle", "Photos"}}) {
        const auto r = RunAs(kPrefix, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "3 fichiers : 3 renommés, 0 inchangé, 0 échec\n");
    }
    EXPECT_TRUE(Has("x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_x_c.txt"));

    // "-display" and "-geometry" are X11's: on another platform Qt leaves them,
    // and so does the program.
    const auto r = RunAs(kPrefix, {"-platform", "offscreen", "-display", ":7", script, folder});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Le fichier « -display » n'existe pas\n");
}

TEST_F(UnattendedRun, QtOptionsAloneOpenTheWindowWhichNeedsADisplay) {
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const std::string script = sandbox_ / "s.script";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-style", "fusion"}, std::vector<std::string>{"-style=fusion", script},
          std::vector<std::string>{"-qwindowtitle", "Photos", script, ""},
          std::vector<std::string>{"-session", "1a2b_3c", "-reverse"}}) {
        const auto r = RunAs(kPrefix, args);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_EQ(r.err, "quorvel : aucun affichage disponible\n") << args[0];
    }
    // The platform named on the command line is the one Qt uses; timeout would exit
    // 124 if a window were opened.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const auto r = test::RunProcess({"/usr/bin/timeout", "10", QUORVEL_APP, "-platform", "xcb"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "quorvel : aucun affichage disponible\n");
    EXPECT_TRUE(Has("a.jpg") && Has("b.jpg") && Has("c.txt"));
}

// After "--" everything is an operand, whatever it looks like.
TEST_F(UnattendedRun, DoubleDashEndsTheOptions) {
    const std::string here = std::filesystem::current_path();
    std::filesystem::current_path(sandbox_.path());
    sandbox_.Write("-style", kPrefix);
    auto r = test::RunProcess({QUORVEL_APP, "--", "-style", folder_.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "3 fichiers : 3 renommés, 0 inchangé, 0 échec\n");
    r = test::RunProcess({QUORVEL_APP, "-reverse", "--", "--version", folder_.path(), "-reverse"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Le fichier « --version » n'existe pas\n");
    std::filesystem::current_path(here);
    EXPECT_TRUE(Has("x_a.jpg") && Has("x_b.jpg") && Has("x_c.txt"));
}

TEST_F(UnattendedRun, AFolderWhoseNameIsNotUtf8IsRenamedInPlace) {
    const std::string latin1 = sandbox_ / "\xE9t\xE9";
    ASSERT_TRUE(std::filesystem::create_directory(latin1));
    sandbox_.Write("\xE9t\xE9/a.jpg", "a");
    const auto r = Run(kPrefix, {latin1});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFileBytes(latin1 + "/x_a.jpg"), "a");
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox_.path())) {
        entries.push_back(entry.path().filename().string());
    }
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"s.script", "state", "\xE9t\xE9"}));
}

TEST_F(UnattendedRun, ExitsOneWhenARenameFails) {
    const auto r = Run("11|Remplacer tout par [Chaine=same.txt]\r\n", {folder_.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : « b.jpg » -> « same.txt » : « a.jpg » reçoit déjà ce nom\n"
                     "échec : « c.txt » -> « same.txt » : « a.jpg » reçoit déjà ce nom\n"
                     "3 fichiers : 1 renommé, 0 inchangé, 2 échecs\n");
    EXPECT_EQ(test::ReadFileBytes(folder_ / "same.txt"), "a.jpg");
    EXPECT_TRUE(Has("b.jpg") && Has("c.txt"));
}

// Names that would fake a line of the report or hide in it are quoted and escaped.
TEST_F(UnattendedRun, NamesInItsReportAreQuotedAndEscaped) {
    test::TempDir odd;
    for (const char* name : {"a -> b", "x\u2028y", "\uFEFFz"}) {
        odd.Write(name, name);
    }
    const auto r = Run("11|Remplacer tout par [Chaine=\u200B]\r\n", {odd.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : « x\\u2028y » -> « \\u200B » : « a -> b » reçoit déjà ce nom\n"
                     "échec : « \\uFEFFz » -> « \\u200B » : « a -> b » reçoit déjà ce nom\n"
                     "3 fichiers : 1 renommé, 0 inchangé, 2 échecs\n");
    EXPECT_EQ(test::ReadFileBytes(odd / "\u200B"), "a -> b");
}

TEST_F(UnattendedRun, ReportsScriptAndFolderProblemsBeforeAnyRename) {
    auto r = Run("1|Supprimer les [n] premiers caract\xE8res\r\n", {folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Script invalide...\n");

    const std::string missing = sandbox_ / "none.script";
    r = test::RunProcess({QUORVEL_APP, missing, folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Le fichier « " + missing + " » n'existe pas\n");

    r = test::RunProcess({QUORVEL_APP, sandbox_.path(), folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Le fichier « " + sandbox_.path() + " » est un dossier\n");

    // A named pipe is refused at once, never waited on (timeout would exit 124).
    const std::string fifo = sandbox_ / "tube.script";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    r = test::RunProcess({"/usr/bin/timeout", "10", QUORVEL_APP, fifo, folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Le fichier « " + fifo + " » est un tube nommé\n");

    r = Run("19|Ajouter [Num\xE9ro=a1] au d\xE9"
            "but\r\n",
            {folder_.path()});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "Une erreur est survenue !\n'a1' n'est pas une valeur enti\xC3\xA8re correcte\n");

    // A pattern or a template that cannot be read refuses the script, as quorvel-cli does.
    r = Run("37|Rechercher [Motif=(] et remplacer par [Chaine2=x]\r\n", {folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Expression invalide : missing closing parenthesis à la position 2\n");
    r = Run("40|Composer le nom avec [Mod\xE8le={n:1:1:dossier}]\r\n", {folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Modèle invalide : option de numérotation inconnue « dossier » à la position 8\n");

    const std::string nowhere = sandbox_ / "nowhere";
    r = Run(kPrefix, {nowhere});
    EXPECT_EQ(r.exitCode, 66);
    EXPECT_EQ(r.err, "dossier illisible : « " + nowhere + " » : ce dossier n'existe pas\n");
    EXPECT_TRUE(Has("a.jpg") && Has("b.jpg") && Has("c.txt"));
}

} // namespace
} // namespace quorvel
