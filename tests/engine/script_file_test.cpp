#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "support/temp_dir.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

std::vector<std::string> AsUtf8(const ScriptLines& lines) {
    std::vector<std::string> out;
    for (const Text& line : lines) {
        out.push_back(U8(line));
    }
    return out;
}

using Lines = std::vector<std::string>;

TEST(ScriptText, CutsLinesAtEveryKindOfBreak) {
    struct Case {
        std::string bytes;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\n\n", {"a", ""}},
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        {std::string("\0abc", 4), {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AsUtf8(ParseScriptText(c.bytes)), c.expected);
    }
}

TEST(ScriptText, ReadsWindows1252AndUtf8) {
    EXPECT_EQ(AsUtf8(ParseScriptText("1|Supprimer les [n=3] premiers caract\xE8res\r\n")),
              Lines{"1|Supprimer les [n=3] premiers caractères"});
    EXPECT_EQ(AsUtf8(ParseScriptText("1|Supprimer les [n=3] premiers caract\xC3\xA8res\r\n")),
              Lines{"1|Supprimer les [n=3] premiers caractères"});
    EXPECT_EQ(AsUtf8(ParseScriptText("\xEF\xBB\xBF"
                                     "14|Ajouter [Chaine=\xE2\x82\xAC] au d\xC3\xA9"
                                     "but\n")),
              Lines{"14|Ajouter [Chaine=€] au début"});
    // One stray byte makes the whole file Windows-1252, "€" included.
    EXPECT_EQ(AsUtf8(ParseScriptText("14|[Chaine=\x80]\r\n15|\xC3\xA9\xE9\r\n")),
              (Lines{"14|[Chaine=€]", "15|Ã©é"}));
}

TEST(ScriptText, WritesWindows1252WhenEveryCharacterFits) {
    const ScriptLines script = {T("1|Supprimer les [n=3] premiers caractères"),
                                T("7|Supprimer tous les espaces")};
    EXPECT_EQ(FormatScriptText(script),
              "1|Supprimer les [n=3] premiers caract\xE8res\r\n7|Supprimer tous les espaces\r\n");
    EXPECT_EQ(FormatScriptText({}), "");
    EXPECT_EQ(FormatScriptText({T("")}), "\r\n");
    EXPECT_EQ(FormatScriptText({T("14|[Chaine=€]")}), "14|[Chaine=\x80]\r\n");
}

TEST(ScriptText, WritesUtf8WhenACharacterIsOutsideWindows1252) {
    const ScriptLines script = {T("14|Ajouter [Chaine=日本] au début")};
    EXPECT_EQ(FormatScriptText(script), "14|Ajouter [Chaine=\xE6\x97\xA5\xE6\x9C\xAC] au d\xC3\xA9"
                                        "but\r\n");
}

TEST(ScriptText, RoundTripsWhateverTheText) {
    const std::vector<ScriptLines> scripts = {
        {T("1|Supprimer les [n=3] premiers caractères"), T(""), T("abc")},
        {T("14|Ajouter [Chaine=日本] au début"), T("15|Ajouter [Chaine=é] à la fin")},
        // Windows-1252 bytes of this text would read back as UTF-8 "é".
        {T("14|Ajouter [Chaine=Ã©] au début")},
        // A line that starts with a byte-order mark keeps it.
        {T("\uFEFF14|x"), T("y")},
        {T("\u0081\u008D\u008F\u0090\u009D")},
    };
    for (const auto& script : scripts) {
        EXPECT_EQ(AsUtf8(ParseScriptText(FormatScriptText(script))), AsUtf8(script));
    }
}

TEST(ScriptFiles, WriteThenReadGivesTheSameScript) {
    test::TempDir dir;
    const std::string path = dir / "essai.script";
    const ScriptLines script = {T("1|Supprimer les [n=2] premiers caractères"),
                                T("20|Ajouter [Numéro=001] à la fin")};
    WriteScriptFile(path, script);
    EXPECT_EQ(test::ReadFileBytes(path),
              "1|Supprimer les [n=2] premiers caract\xE8res\r\n20|Ajouter [Num\xE9ro=001] \xE0 la fin\r\n");
    EXPECT_EQ(ReadScriptFile(path), script);
    // Writing again replaces the file.
    WriteScriptFile(path, {T("7|Supprimer tous les espaces")});
    EXPECT_EQ(test::ReadFileBytes(path), "7|Supprimer tous les espaces\r\n");
}

TEST(ScriptFiles, ReportFilesThatCannotBeOpenedOrCreated) {
    test::TempDir dir;
    const std::string missing = dir / "absent.script";
    try {
        (void)ReadScriptFile(missing);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier " + missing);
    }
    EXPECT_THROW((void)ReadScriptFile(dir.path()), FileError);
    const std::string inMissingFolder = dir / "nowhere/x.script";
    try {
        WriteScriptFile(inMissingFolder, {T("7|x")});
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible de créer le fichier " + inMissingFolder);
    }
}

} // namespace
} // namespace quorvel
