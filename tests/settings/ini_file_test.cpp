#include "engine/errors.hpp"
#include "settings/ini_file.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

TEST(IniFile, KeepsOrderUpdatesInPlaceAndAppendsNewKeysToTheirSection) {
    test::TempDir dir;
    const IniFile ini(dir / "quorvel.ini");
    EXPECT_FALSE(ini.Exists());
    ini.WriteInteger("FENPOS", "LEFT", 10);
    ini.WriteInteger("FENPOS", "TOP", 20);
    ini.WriteInteger("OPTIONS", "LANGUAGE", 0);
    ini.WriteInteger("FENPOS", "WIDTH", 799);
    ini.WriteInteger("fenpos", "left", 11);
    EXPECT_EQ(test::ReadFileBytes(ini.path()),
              "[FENPOS]\nLEFT=11\nTOP=20\nWIDTH=799\n[OPTIONS]\nLANGUAGE=0\n");
    EXPECT_EQ(ini.ReadInteger("Fenpos", "Width", -1), 799);
    EXPECT_EQ(ini.ReadInteger("FENPOS", "HEIGHT", -1), -1);
    EXPECT_EQ(ini.ReadInteger("NOPE", "LEFT", 7), 7);
}

TEST(IniFile, ReadsIntegersLikeTheClassicFunctions) {
    test::TempDir dir;
    const std::string path =
        dir.Write("s.ini", "; comment\r\n[OPTIONS]\r\nA = 12 \r\nB=0x1F\r\nC=$10\r\nD=abc\r\n"
                           "E=\r\nF=-3\r\nG=99999999999\r\n\r\n[OTHER]\r\nA=5\r\n");
    const IniFile ini(path);
    struct Case {
        const char* key;
        std::int32_t expected;
    };
    for (const Case& c : {Case{"A", 12}, Case{"B", 31}, Case{"C", 16}, Case{"D", -1}, Case{"E", -1},
                          Case{"F", -3}, Case{"G", -1}, Case{"H", -1}}) {
        EXPECT_EQ(ini.ReadInteger("OPTIONS", c.key, -1), c.expected) << c.key;
    }
    EXPECT_EQ(ini.ReadInteger("OTHER", "A", -1), 5);
    // A new key goes after the last key of its section, before the blank line.
    ini.WriteInteger("OPTIONS", "LANGUAGE", 1);
    EXPECT_EQ(test::ReadFileBytes(path), "; comment\n[OPTIONS]\nA = 12 \nB=0x1F\nC=$10\nD=abc\nE=\nF=-3\n"
                                         "G=99999999999\nLANGUAGE=1\n\n[OTHER]\nA=5\n");
}

TEST(IniFile, AWriteThatFailsSaysWhere) {
    test::TempDir dir;
    const std::string missingFolder = dir / "none/quorvel.ini";
    try {
        IniFile(missingFolder).WriteInteger("OPTIONS", "LANGUAGE", 0);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible d'écrire dans " + missingFolder);
    }
    // Garbage in a settings file is read as missing values, never as an error.
    const std::string garbage = dir.Write("g.ini", std::string("\0\xFF[\n=\n[[x]]\nLEFT\n", 17));
    EXPECT_EQ(IniFile(garbage).ReadInteger("x", "LEFT", 4), 4);
}

// A FIFO or a huge file reads as missing, at once; a write replaces the target of a
// symbolic link, which stays a link, and leaves a FIFO alone.
TEST(IniFile, OddFilesReadAsMissingAndWritesGoThroughLinks) {
    test::TempDir dir;
    const std::string fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(IniFile(fifo).ReadInteger("OPTIONS", "LANGUAGE", 3), 3);
    EXPECT_THROW(IniFile(fifo).WriteInteger("OPTIONS", "LANGUAGE", 1), FileError);
    const std::string huge = dir.Write("huge.ini", "[OPTIONS]\nLANGUAGE=1\n" + std::string(2 << 20, ';'));
    EXPECT_EQ(IniFile(huge).ReadInteger("OPTIONS", "LANGUAGE", 3), 3);

    const std::string real = dir.Write("real.ini", "[OPTIONS]\nLANGUAGE=0\n");
    const std::string link = dir / "link.ini";
    ASSERT_EQ(::symlink("real.ini", link.c_str()), 0);
    IniFile(link).WriteInteger("OPTIONS", "LANGUAGE", 1);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(test::ReadFileBytes(real), "[OPTIONS]\nLANGUAGE=1\n");
}

// In a session the file is read once and written once, when it commits.
TEST(IniFile, ASessionReadsOnceAndWritesOnce) {
    test::TempDir dir;
    const std::string path = dir.Write("s.ini", "[OPTIONS]\nLANGUAGE=0\n");
    {
        SettingsSession session;
        const IniFile ini(path);
        EXPECT_EQ(ini.ReadInteger("OPTIONS", "LANGUAGE", -1), 0);
        dir.Write("s.ini", "[OPTIONS]\nLANGUAGE=7\n"); // not read again
        EXPECT_EQ(ini.ReadInteger("OPTIONS", "LANGUAGE", -1), 0);
        ini.WriteInteger("OPTIONS", "LANGUAGE", 1);
        ini.WriteInteger("FENPOS", "LEFT", 5);
        EXPECT_EQ(test::ReadFileBytes(path), "[OPTIONS]\nLANGUAGE=7\n");
        session.Commit();
    }
    EXPECT_EQ(test::ReadFileBytes(path), "[OPTIONS]\nLANGUAGE=1\n[FENPOS]\nLEFT=5\n");
}

} // namespace
} // namespace quorvel
