// The desktop program started from the command line for an unattended run, with no
// display: it renames, says what went wrong on the standard error and exits with
// a status.
#include "support/process.hpp"
#include "support/temp_dir.hpp"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("HOME", sandbox_.path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", (sandbox_ / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (sandbox_ / "config").c_str(), 1);
        ::setenv("PATH", "/nonexistent", 1);
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

    bool Has(const char* name) const { return std::filesystem::exists(folder_ / name); }

    test::TempDir sandbox_;
    test::TempDir folder_;
};

TEST_F(UnattendedRun, RenamesTheMatchingFilesAndExitsZero) {
    const auto r = Run("14|Ajouter [Chaine=x_] au d\xE9"
                       "but\r\n",
                       {folder_.path(), "*.jpg"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(Has("x_a.jpg") && Has("x_b.jpg") && Has("c.txt"));
}

TEST_F(UnattendedRun, ExitsOneWhenARenameFails) {
    const auto r = Run("11|Remplacer tout par [Chaine=same.txt]\r\n", {folder_.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(test::ReadFileBytes(folder_ / "same.txt"), "a.jpg");
    EXPECT_TRUE(Has("b.jpg") && Has("c.txt"));
}

TEST_F(UnattendedRun, ReportsAnIncompleteScriptAMissingFileAndAnEngineError) {
    auto r = Run("1|Supprimer les [n] premiers caract\xE8res\r\n", {folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Script invalide...\n");

    const std::string missing = sandbox_ / "none.script";
    r = test::RunProcess({QUORVEL_APP, missing, folder_.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Le fichier " + missing + " n'existe pas\n");

    r = Run("19|Ajouter [Num\xE9ro=a1] au d\xE9"
            "but\r\n",
            {folder_.path()});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "Une erreur est survenue !\n");
    EXPECT_TRUE(Has("a.jpg") && Has("b.jpg") && Has("c.txt"));
}

} // namespace
} // namespace quorvel
