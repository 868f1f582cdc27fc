#include "engine/script.hpp"
#include "engine/script_line.hpp"
#include "engine/value_code.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

TEST(ScriptLines, CommandNumberIsTheNumberBeforeTheFirstBar) {
    struct Case {
        const char* line;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"1|Supprimer les [n=3] premiers caractères", 1},
        {"  12|Remplacer", 12},
        {"28|x|y", 28},
        {"abc", 0},
        {"7", 7},
        {"x7|a", 0},
        {"2.5|a", 2},
        {"|a", 0},
        {"", 0},
        {"-3|a", -3},
        {"99999999999|a", 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandNumber(T(c.line)), c.expected) << c.line;
    }
}

TEST(ScriptLines, ParametersAreReadByPosition) {
    const Text text = T("Supprimer du [nième=2] au [mième=5] caractères");
    EXPECT_EQ(U8(ParamText(text, 1)), "2");
    EXPECT_EQ(U8(ParamText(text, 2)), "5");
    EXPECT_EQ(U8(ParamText(text, 3)), "");
    EXPECT_EQ(ParamInt(text, 1), 2);
    EXPECT_EQ(ParamInt(text, 2), 5);
    EXPECT_EQ(ParamInt(text, 3), 0);

    struct Case {
        const char* text;
        int k;
        const char* asText;
        std::int32_t asInt;
    };
    const std::vector<Case> cases = {
        {"les [n] premiers", 1, "", 0},
        {"les [n=] premiers", 1, "", 0},
        {"les [n=7] premiers", 1, "7", 7},
        {"les [n=-2] premiers", 1, "-2", -2},
        {"les [n=2.5] premiers", 1, "2.5", 2},
        {"les [n=3.5] premiers", 1, "3.5", 4},
        {"les [n=3,5] premiers", 1, "3,5", 0},
        {"les [n= 3 ] premiers", 1, " 3 ", 3},
        {"les [n=abc] premiers", 1, "abc", 0},
        {"par [Extension=.txt]", 1, ".txt", 0},
        {"[Chaine=a]b] par [Chaine2=c]", 1, "a", 0},
        {"[Chaine=a]b] par [Chaine2=c]", 2, "", 0},
        {"[Chaine=my file] au début", 1, "my file", 0},
        {"no placeholder", 1, "", 0},
        {"[a=1] [b=2]", 3, "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(ParamText(T(c.text), c.k)), c.asText) << c.text << " k=" << c.k;
        EXPECT_EQ(ParamInt(T(c.text), c.k), c.asInt) << c.text << " k=" << c.k;
    }
}

TEST(ScriptLines, LineTextStopsAtTheSecondBar) {
    EXPECT_EQ(U8(LineText(T("14|Ajouter [Chaine=a|b] au début"))), "Ajouter [Chaine=a");
    EXPECT_EQ(U8(LineText(U"abc")), "");
    EXPECT_EQ(U8(LineText(U"1|x")), "x");
}

TEST(ScriptLines, ValidityCountsEqualsAgainstBrackets) {
    struct Case {
        std::vector<const char*> lines;
        bool valid;
    };
    const std::vector<Case> cases = {
        {{}, false},
        {{"7|Supprimer tous les espaces"}, true},
        {{"1|Supprimer les [n] premiers caractères"}, false},
        {{"1|Supprimer les [n=] premiers caractères"}, true},
        {{"3|Supprimer du [nième=2] au [mième] caractères"}, false},
        {{"3|Supprimer du [nième=2] au [mième=4] caractères"}, true},
        {{"12|Remplacer l'extention par [Extension=a=b]"}, false},
        {{"4|Supprimer tout ce qu'il y a avant [Chaine=_]"}, true},
        {{"abc"}, true},
        {{""}, true},
        {{"7|Supprimer tous les espaces", "1|Supprimer les [n] premiers caractères"}, false},
    };
    for (const auto& c : cases) {
        ScriptLines script;
        for (const char* line : c.lines) {
            script.push_back(T(line));
        }
        EXPECT_EQ(ScriptIsValid(script), c.valid) << (c.lines.empty() ? "(empty)" : c.lines[0]);
    }
}

TEST(ScriptLines, FillPlaceholderWritesTheGivenSlot) {
    const Text line = T("16|Ajouter [Chaine=nième] à la [nième] postion");
    const std::size_t second = line.find(U"[nième]");
    EXPECT_EQ(U8(FillPlaceholder(line, second, second + 6, U"2")),
              "16|Ajouter [Chaine=nième] à la [nième=2] postion");
    EXPECT_EQ(U8(FillPlaceholder(line, 11, 24, U"x")), "16|Ajouter [Chaine=x] à la [nième] postion");
    // Slots that overlap are written exactly where they are said to be.
    EXPECT_EQ(U8(FillPlaceholder(U"[a [b] c]", 3, 8, U"v")), "[a [b] c=v]");
    // Anything but a "[" and a later "]" leaves the line as it is.
    for (const auto& [open, close] :
         {std::pair<std::size_t, std::size_t>{0, 5}, {11, 11}, {11, 999}, {24, 11}}) {
        EXPECT_EQ(U8(FillPlaceholder(line, open, close, U"x")), U8(line)) << open << " " << close;
    }
    EXPECT_EQ(U8(FillPlaceholder(U"[n=1]", 0, 4, U"")), "[n=]");
}

} // namespace
} // namespace quorvel

namespace quorvel {
namespace {

// The view's placeholders and the engine's parameters agree on lines the program
// writes, and part on a line whose first "]" comes before its first "[".
TEST(ScriptLineReadings, AgreeOnWrittenLinesAndPartOnMalformedOnes) {
    const ScriptLine written(U"10|Remplacer [Chaine1=a] par [Chaine2=]");
    ASSERT_EQ(written.Slots().size(), 2U);
    EXPECT_EQ(written.Number(), 10);
    EXPECT_EQ(Text(written.Placeholder(0)), U"[Chaine1=a]");
    EXPECT_EQ(Text(written.Parameter(1)), U"a");
    EXPECT_EQ(written.Shown(0), U"a");
    EXPECT_EQ(Text(written.Parameter(2)), U"");
    EXPECT_EQ(written.Filled(1, U"b").Whole(), U"10|Remplacer [Chaine1=a] par [Chaine2=b]");

    const ScriptLine malformed(U"1|x]a[n=3]");
    EXPECT_TRUE(malformed.Slots().empty());
    EXPECT_EQ(Text(malformed.Parameter(2)), U"3");
    EXPECT_EQ(malformed.Filled(0, U"9").Whole(), malformed.Whole());
}

TEST(ScriptLineReadings, KindComesFromEitherLanguagesNames) {
    EXPECT_EQ(KindOfPlaceholder(U"[Chaine=abc]"), PlaceholderKind::String);
    EXPECT_EQ(KindOfPlaceholder(U"[String]"), PlaceholderKind::String);
    EXPECT_EQ(KindOfPlaceholder(U"[Numéro=01]"), PlaceholderKind::Number);
    EXPECT_EQ(KindOfPlaceholder(U"[Number]"), PlaceholderKind::Number);
    EXPECT_EQ(KindOfPlaceholder(U"[mième=2]"), PlaceholderKind::Integer);
    EXPECT_EQ(KindOfPlaceholder(U"[Modèle={n:001}]"), PlaceholderKind::Template);
    EXPECT_EQ(KindOfPlaceholder(U"[Template]"), PlaceholderKind::Template);
    EXPECT_EQ(KindOfPlaceholder(U"[Zahl]"), std::nullopt);
    EXPECT_EQ(KindOfPlaceholder(U"n]"), std::nullopt);
}

// A value holds any character: what shapes a line is stored as a code, and a "%"
// becomes "%25" only where it would otherwise read as one.
TEST(ValueCodes, EveryValueComesBackAndOldValuesReadAsBefore) {
    EXPECT_EQ(U8(EncodeValue(U"[x]=|")), "%5Bx%5D%3D%7C");
    EXPECT_EQ(U8(EncodeValue(U"100%")), "100%");
    EXPECT_EQ(U8(EncodeValue(U"%Y-%m %5B %3d")), "%Y-%m %255B %253d");
    for (const char* value : {"", "%", "%%", "%5", "%5B", "%%5B", "%2%5B", "%25", "%2525", "%[",
                              "%3=", "a]b[c", "%7c|%7C", "%5b%5D%3D%7C%25%zz", "[Chaine=x]", "é%20ß|"}) {
        EXPECT_EQ(U8(DecodeValue(EncodeValue(T(value)))), value) << value;
    }
    // Stored forms that older copies wrote read as they always have.
    for (const char* old : {"100%", "%Y%m%d", "50%off", "%", "%zz", "%5", "%5G", "%20"}) {
        EXPECT_EQ(U8(DecodeValue(T(old))), old) << old;
    }
    EXPECT_EQ(U8(DecodeValue(U"%5b%5D%3d%7C%25%2525")), "[]=|%%25");
}

TEST(ValueCodes, ParametersAreDecodedAfterTheCutsAndWrittenEncoded) {
    const Text text = U"Remplacer [Chaine1=a%3Db] par [Chaine2=%5Bx%5D]";
    EXPECT_EQ(U8(ParamText(text, 1)), "a=b");
    EXPECT_EQ(U8(ParamText(text, 2)), "[x]");
    EXPECT_TRUE(ScriptIsValid({U"10|" + text}));

    const ScriptLine line(U"10|Remplacer [Chaine1] par [Chaine2=old]");
    const ScriptLine filled = line.Filled(0, U"[x]=|%5B").Filled(1, U"100%");
    EXPECT_EQ(U8(filled.Whole()), "10|Remplacer [Chaine1=%5Bx%5D%3D%7C%255B] par [Chaine2=100%]");
    ASSERT_EQ(filled.Slots().size(), 2U);
    EXPECT_EQ(U8(filled.Shown(0)), "[x]=|%5B");
    EXPECT_EQ(U8(filled.Parameter(1)), "[x]=|%5B");
    EXPECT_EQ(U8(filled.Shown(1)), "100%");
    EXPECT_TRUE(ScriptIsValid({filled.Whole()}));
}

} // namespace
} // namespace quorvel
