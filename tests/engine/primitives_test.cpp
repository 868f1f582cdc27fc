#include "engine/primitives.hpp"
#include "support/text.hpp"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

struct CutCase {
    const char* s;
    Pos a;
    Pos b;
    const char* expected;
};

TEST(BaseOperations, SubTextClampsItsArguments) {
    const std::vector<CutCase> cases = {
        {"abcdef", 2, 3, "bcd"}, {"abcdef", 0, 3, "abc"},    {"abcdef", -5, 2, "ab"}, {"abcdef", 5, 10, "ef"},
        {"abcdef", 7, 1, ""},    {"abcdef", 6, 1, "f"},      {"abcdef", 2, 0, ""},    {"abcdef", 2, -1, ""},
        {"", 1, 1, ""},          {"abcdef", 1, 6, "abcdef"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(SubText(T(c.s), c.a, c.b)), c.expected) << c.s << " " << c.a << " " << c.b;
    }
}

TEST(BaseOperations, DeleteTextDeletesOnlyInsideTheText) {
    const std::vector<CutCase> cases = {
        {"abcdef", 2, 2, "adef"},    {"abcdef", 5, 10, "abcd"},  {"abcdef", 0, 2, "abcdef"},
        {"abcdef", -1, 2, "abcdef"}, {"abcdef", 7, 1, "abcdef"}, {"abcdef", 2, 0, "abcdef"},
        {"abcdef", 2, -3, "abcdef"}, {"abcdef", 1, 6, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(DeleteText(T(c.s), c.a, c.b)), c.expected) << c.s << " " << c.a << " " << c.b;
    }
}

TEST(BaseOperations, InsertTextClampsThePosition) {
    EXPECT_EQ(U8(InsertText(U"-", U"abc", 2)), "a-bc");
    EXPECT_EQ(U8(InsertText(U"-", U"abc", 0)), "-abc");
    EXPECT_EQ(U8(InsertText(U"-", U"abc", -7)), "-abc");
    EXPECT_EQ(U8(InsertText(U"-", U"abc", 4)), "abc-");
    EXPECT_EQ(U8(InsertText(U"-", U"abc", 99)), "abc-");
    EXPECT_EQ(U8(InsertText(U"", U"abc", 2)), "abc");
    EXPECT_EQ(U8(InsertText(U"xy", U"", 5)), "xy");
}

TEST(BaseOperations, PosOfComparesExactly) {
    EXPECT_EQ(PosOf(U"c", U"abcabc"), 3);
    EXPECT_EQ(PosOf(U"C", U"abcabc"), 0);
    EXPECT_EQ(PosOf(U"", U"abc"), 0);
    EXPECT_EQ(PosOf(U"a", U""), 0);
    EXPECT_EQ(PosOf(T("é"), T("Été é")), 3);
}

TEST(BaseOperations, ExtensionsSplitAtTheLastDot) {
    struct Case {
        const char* name;
        const char* ext;
        const char* base;
    };
    const std::vector<Case> cases = {
        {"a.b.txt", ".txt", "a.b"},       {"archive", "", "archive"},
        {".profile", ".profile", ""},     {"name.", ".", "name"},
        {"dir.d/file", "", "dir.d/file"}, {"a\\b.c", ".c", "a\\b"},
        {"c:x.y", ".y", "c:x"},           {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(ExtOf(T(c.name))), c.ext) << c.name;
        EXPECT_EQ(U8(ChangeExt(T(c.name), U"")), c.base) << c.name;
    }
    EXPECT_EQ(U8(ChangeExt(U"essai", U".script")), "essai.script");
    EXPECT_EQ(U8(ChangeExt(U"essai.txt", U".script")), "essai.script");
}

TEST(Primitives, LeftRightFromMid) {
    const std::vector<CutCase> left = {
        {"abcdef", 2, 0, "ab"},          {"abcdef", 10, 0, "abcdef"}, {"abcdef", 0, 0, ""},
        {"abcdef", -2, 0, "abcd"},       {"abcdef", -6, 0, ""},       {"abcdef", -9, 0, ""},
        {"report.txt", -4, 0, "report"}, {"ab", -2, 0, ""},
    };
    for (const auto& c : left) {
        EXPECT_EQ(U8(StrLeft(T(c.s), c.a)), c.expected) << "StrLeft " << c.s << " " << c.a;
    }
    const std::vector<CutCase> right = {
        {"abcdef", 2, 0, "ef"}, {"abcdef", 10, 0, "abcdef"}, {"abcdef", 0, 0, ""}, {"abcdef", -1, 0, ""},
        {"", 3, 0, ""},
    };
    for (const auto& c : right) {
        EXPECT_EQ(U8(StrRight(T(c.s), c.a)), c.expected) << "StrRight " << c.s << " " << c.a;
    }
    const std::vector<CutCase> from = {
        {"abcdef", 3, 0, "cdef"},    {"abcdef", 1, 0, "abcdef"}, {"abcdef", 7, 0, ""}, {"abcdef", 0, 0, ""},
        {"abcdef", -4, 0, "abcdef"}, {"abc", -1, 0, "abc"},      {"abc", 4, 0, ""},    {"", -1, 0, ""},
    };
    for (const auto& c : from) {
        EXPECT_EQ(U8(StrFrom(T(c.s), c.a)), c.expected) << "StrFrom " << c.s << " " << c.a;
    }
    const std::vector<CutCase> mid = {
        {"abcdef", 2, 3, "bcd"}, {"abcdef", 0, 2, "ab"}, {"abcdef", 5, 9, "ef"},
        {"abcdef", 7, 1, ""},    {"abcdef", 2, 0, ""},   {"", 1, 1, ""},
    };
    for (const auto& c : mid) {
        EXPECT_EQ(U8(StrMid(T(c.s), c.a, c.b)), c.expected) << "StrMid " << c.s << " " << c.a << " " << c.b;
    }
}

TEST(Primitives, LargeCountsDoNotWrap) {
    constexpr Pos kMax = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(U8(StrFrom(U"abc", kMax + 1)), "");
    EXPECT_EQ(U8(StrLeft(U"abc", kMax)), "abc");
    EXPECT_EQ(U8(StrRight(U"abc", kMax)), "abc");
    EXPECT_EQ(U8(SubText(U"abc", std::numeric_limits<Pos>::min() / 2, 2)), "ab");
}

TEST(Primitives, FindNthIgnoresLetterCaseAndAllowsOverlaps) {
    struct Case {
        const char* s;
        const char* sub;
        Pos n;
        Pos expected;
    };
    const std::vector<Case> cases = {
        {"a-b-c", "-", 2, 4},
        {"a-b-c", "-", 3, 0},
        {"xAxa", "a", 2, 4},
        {"a_b_", "_", 2, 4},
        {"aaa", "aa", 1, 1},
        {"aaa", "aa", 2, 2},
        {"aaa", "aa", 3, 0},
        {"a-b", "-", 0, 0},
        {"a-b", "-", -1, 0},
        {"abc", "", 1, 0},
        // Texts holding "_" are counted once per place and in order.
        {"x_a_x_a", "_a", 1, 2},
        {"x_a_x_a", "_a", 2, 6},
        {"a__b", "__", 1, 2},
        {"IMG_0042_v2.jpg", "_", 2, 9},
        // Only A-Z fold: accented capitals stay distinct.
        {"éÉ", "É", 1, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindNth(T(c.s), T(c.sub), c.n), c.expected) << c.s << " / " << c.sub << " / " << c.n;
    }
}

TEST(Primitives, FindNthStaysLinearOnLongRepetitiveTexts) {
    const Text hay(200000, U'a');
    const Text needle(1000, U'a');
    EXPECT_EQ(FindNth(hay, needle, 150000), 150000);
    EXPECT_EQ(FindNth(hay, needle, 199002), 0);
    EXPECT_EQ(CountOf(hay, needle), 199001);
    Text almost = needle;
    almost.back() = U'b';
    EXPECT_EQ(FindNth(hay, almost, 1), 0);
}

TEST(Primitives, NthFieldCutsAtSeparators) {
    struct Case {
        const char* s;
        const char* sep;
        Pos n;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"a|b|c", "|", 1, "a"},    {"a|b|c", "|", 2, "b"}, {"a|b|c", "|", 3, "c"},
        {"a|b|c", "|", 4, ""},     {"a||c", "|", 2, ""},   {"abc", "|", 1, "abc"},
        {"abc", "|", 2, ""},       {"a|b", "|", 0, "a|b"}, {"a|b", "|", -3, "a|b"},
        {"xAby", "a", 1, "x"},     {"xAby", "a", 2, "by"}, {"1|Supprimer x", "|", 2, "Supprimer x"},
        {"a::b::c", "::", 2, "b"}, {"a|b", "", 1, "a|b"},  {"a|b", "", 2, ""},
        {"", "|", 1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(NthField(T(c.s), T(c.sep), c.n)), c.expected) << c.s << " / " << c.sep << " / " << c.n;
    }
}

TEST(Primitives, NthFieldIntReadsStrictDecimalsAndRoundsHalfToEven) {
    struct Case {
        const char* s;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"n=3", 3},
        {"n=", 0},
        {"n=2,5", 0},
        {"n= 4", 4},
        {"n=4 ", 4},
        {"n=4 |", 0},
        {"n=2.5", 2},
        {"n=3.5", 4},
        {"n=-2.5", -2},
        {"n=2.4999", 2},
        {"n=-2", -2},
        {"n=+7", 7},
        {"n=.5", 0},
        {"n=1.5", 2},
        {"n=5.", 5},
        {"n=1e2", 100},
        {"n=1E+2", 100},
        {"n=25e-1", 2},
        {"n=1e", 0},
        {"n=e5", 0},
        {"n=.", 0},
        {"n=+", 0},
        {"n=0x10", 0},
        {"n=1 2", 0},
        {"n=abc", 0},
        {"n=2147483647", 2147483647},
        {"n=99999999999999999999", 2147483647},
        {"n=-99999999999999999999", -2147483647 - 1},
        {"n=1e999", 2147483647},
        {"n=-1e999", -2147483647 - 1},
        {"n=1e-999", 0},
        {"n=٣", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NthFieldInt(T(c.s), U"=", 2), c.expected) << c.s;
    }
    EXPECT_DOUBLE_EQ(NthFieldFloat(U"x=0.25", U"=", 2), 0.25);
    EXPECT_DOUBLE_EQ(NthFieldFloat(U"x=-.5e1", U"=", 2), -5.0);
}

TEST(Primitives, NumberReadingDoesNotDependOnTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no French locale on this machine";
    }
    EXPECT_DOUBLE_EQ(NthFieldFloat(U"x=1.25", U"=", 2), 1.25);
    EXPECT_EQ(NthFieldInt(U"x=1,25", U"=", 2), 0);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Primitives, ReplaceFirstAndReplaceAll) {
    EXPECT_EQ(U8(ReplaceAll(U"Le.Chat.le", U"LE", U"x")), "x.Chat.x");
    EXPECT_EQ(U8(ReplaceFirst(U"Le.Chat.le", U"le", U"x")), "Le.Chat.x");
    EXPECT_EQ(U8(ReplaceFirst(U"Photo", U"photo", U"x")), "Photo");
    EXPECT_EQ(U8(ReplaceFirst(U"abc", U"", U"x")), "abc");
    EXPECT_EQ(U8(ReplaceAll(U"aaa", U"a", U"aa")), "aaaaaa");
    EXPECT_EQ(U8(ReplaceAll(U"A b a", U"a", U"")), " b ");
    EXPECT_EQ(U8(ReplaceAll(U"abc", U"", U"x")), "abc");
    EXPECT_EQ(U8(ReplaceAll(U"aaaa", U"aa", U"b")), "bb");
    EXPECT_EQ(U8(ReplaceAll(U"aaa", U"aa", U"b")), "ba");
    EXPECT_EQ(U8(ReplaceAll(T("ÉtÉ été"), T("é"), U"e")), "ÉtÉ ete");
    EXPECT_FALSE(ReplaceAllLimited(U"aaaa", U"a", U"bbb", 11).has_value());
    EXPECT_EQ(U8(*ReplaceAllLimited(U"aaaa", U"a", U"bbb", 12)), "bbbbbbbbbbbb");
}

TEST(Primitives, CountOfCountsExactOccurrencesAndNeverLoops) {
    EXPECT_EQ(CountOf(U"[n=1] [m=]", U"="), 2);
    EXPECT_EQ(CountOf(U"aaa", U"aa"), 2);
    EXPECT_EQ(CountOf(U"abc", U""), 0);
    EXPECT_EQ(CountOf(U"aAa", U"a"), 2);
    EXPECT_EQ(CountOf(U"__x__", U"_"), 4);
    EXPECT_EQ(CountOf(U"a__b", U"__"), 1);
    EXPECT_EQ(CountOf(U"_x_x", U"_x"), 2);
}

TEST(Primitives, TrimZerosDropsTrailingZerosAfterTheSeparator) {
    struct Case {
        const char* s;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"12,500", "12,5"}, {"3,000", "3"}, {"100", "100"}, {",", ""}, {"1,05", "1,05"}, {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(TrimZeros(T(c.s), U',')), c.expected) << c.s;
    }
    EXPECT_EQ(U8(TrimZeros(U"12,500", U'.')), "12,500");
}

TEST(Primitives, RemoveAccentsReplacesElevenLowerCaseLetters) {
    EXPECT_EQ(U8(RemoveAccents(T("Été à Noël"))), "Éte a Noël");
    EXPECT_EQ(U8(RemoveAccents(T("éèêàâùûîïôç"))), "eeeaauuiioc");
    EXPECT_EQ(U8(RemoveAccents(T("ÀÇëüö"))), "ÀÇëüö");
}

TEST(Primitives, PadNumber) {
    EXPECT_EQ(U8(PadNumber(7, 3)), "007");
    EXPECT_EQ(U8(PadNumber(123, 2)), "123");
    EXPECT_EQ(U8(PadNumber(0, 0)), "0");
    EXPECT_EQ(U8(PadNumber(-5, 3)), "0-5");
    EXPECT_EQ(U8(PadNumber(12, 4)), "0012");
    EXPECT_EQ(U8(PadNumber(-2147483647 - 1, 0)), "-2147483648");
    EXPECT_EQ(U8(PadNumber(5, -3)), "5");
}

TEST(Primitives, WordBounds) {
    const Text s = U"Supprimer les n premiers";
    EXPECT_EQ(WordBounds(s, 15), (WordRange{15, 15}));
    EXPECT_EQ(WordBounds(s, 3), (WordRange{1, 9}));
    EXPECT_EQ(WordBounds(s, 10), (WordRange{11, 9}));
    EXPECT_EQ(WordBounds(s, 24), (WordRange{17, 24}));
    EXPECT_EQ(WordBounds(U"a'b?c", 3), (WordRange{3, 3}));
    // Outside the text: the nearest end.
    EXPECT_EQ(WordBounds(s, 0), (WordRange{1, 9}));
    EXPECT_EQ(WordBounds(s, 99), (WordRange{17, 24}));
    EXPECT_EQ(WordBounds(U"", 1), (WordRange{1, 0}));
}

} // namespace
} // namespace quorvel
