// The "Rechercher" commands: PCRE2 patterns on the bytes of names, and the
// replacement text with its groups and case escapes.
#include "engine/apply.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "engine/value_code.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

// The line of command 37 (every match) or 38 (the first), values as typed.
Text Line(std::string_view pattern, std::string_view replacement, bool all = true) {
    return (all ? U"37|Rechercher [Motif=" : U"38|Rechercher [Motif=") + EncodeValue(T(pattern)) +
           (all ? U"] et remplacer par [Chaine2=" : U"] et remplacer le premier par [Chaine2=") +
           EncodeValue(T(replacement)) + U"]";
}

// The new name by both engines, which must agree, error included.
std::string Rename(const Text& line, std::string_view name) {
    const ScriptLines script = {line};
    NumberCounter counter = 0;
    std::string compiledError;
    std::string compiled;
    try {
        compiled = U8(CompiledScript(script).Apply(T(name), true, counter));
    } catch (const EngineError& e) {
        compiledError = e.what();
    }
    try {
        const std::string result = U8(ApplyScript(script, T(name), true, counter));
        EXPECT_EQ(compiledError, "");
        EXPECT_EQ(compiled, result);
        return result;
    } catch (const EngineError& e) {
        EXPECT_EQ(compiledError, e.what());
        throw;
    }
}

struct Case {
    const char* pattern;
    const char* replacement;
    const char* name;
    const char* expected;
    bool all = true;
};

void Check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Rename(Line(c.pattern, c.replacement, c.all), c.name), c.expected)
            << c.pattern << " -> " << c.replacement << " on " << c.name;
    }
}

TEST(Search, WholeNameEveryMatchOrTheFirst) {
    EXPECT_EQ(Rename(U"37|Rechercher [Motif=(\\d+)] et remplacer par [Chaine2=<$1>]", "IMG_0042_v2.jpg"),
              "IMG_<0042>_v<2>.jpg");
    Check({
        {"(\\d+)", "<$1>", "IMG_0042_v2.jpg", "IMG_<0042>_v2.jpg", false},
        {"\\.jpe?g$", ".jpeg", "a.jpg.jpg", "a.jpg.jpeg"},
        {"(?i)img", "photo", "IMG_img.JPG", "photo_photo.JPG"},
        {"(?i)É", "e", "été.txt", "ete.txt"},
        {"^", "new_", "a.txt", "new_a.txt"},
        {"z", "y", "abc", "abc"},
        {"[ae]", "", "a.b.txt", ".b.txt"},
    });
}

TEST(Search, GroupsByNumberAndName) {
    Check({
        {"(?<y>\\d{4})-(\\d\\d)", "${2}.${y}", "2024-05.txt", "05.2024.txt"},
        {"(a)|(b)", "[$1|$2]", "ab", "[a|][|b]"},       // a group that did not take part is empty
        {"(a)", "$2${nosuch}$1", "a", "a"},             // so is one the pattern lacks
        {"(\\w)(\\w)", "$2$1$$", "ab.cd", "ba$.dc$"},   // $$ is a dollar
        {"(.)", "$10|${1}0|$0", "x", "|x0|x"},          // $10 is group 10, ${1}0 group 1 then 0
        {"a", "${1|$|\\n|${ }", "a", "${1|$|\\n|${ }"}, // what reads as no reference stands for itself
    });
}

TEST(Search, CaseEscapesUseUnicodesFullMappings) {
    Check({
        {"(.+)\\.", "\\U$1.", "straße.txt", "STRASSE.txt"},
        {"^(\\w+)", "\\L$1", "ΟΔΟΣ", "οδος"}, // \w takes every letter
        {"(\\w+)", "<$1>", "été_2", "<été_2>"},
        {"[0-9]+", "#", "٣3", "٣#"},
        {"(*UCP)^(\\w+)", "\\L$1", "ΟΔΟΣ.txt", "οδος.txt"},
        {"(*UCP)(\\w+) (\\w+)", "\\U$1\\E $2", "straße weg", "STRASSE weg"},
        {"(.*)", "\\u\\L$1", "hELLO", "Hello"},
        {"^(.)", "\\u$1", "ßa", "Ssa"},
        {"^(.)", "\\l$1", "ABC", "aBC"},
        {"b", "\\\\U", "abc", "a\\Uc"}, // \\ is a backslash
        {"b", "\\x\\", "abc", "a\\x\\c"},
    });
}

TEST(Search, EmptyMatchesGoBetweenCharactersAsPerlDoes) {
    Check({
        {"x*", "-", "abc", "-a-b-c-"},
        {"x*", "-", "axb", "-a--b-"},
        {"x*", "-", "", "-"},
        {"x*", "-", "abc", "-abc", false},
        {"\\b", "|", "ab cd", "|ab| |cd|"},
        {"(?=é)", "^", "éé", "^é^é"},
    });
}

// Bytes that are not UTF-8 are never matched, and come back as they were.
TEST(Search, BytesThatAreNotUtf8StayAsTheyAre) {
    Check({
        {".", "x", "caf\xE9.t", "xxx\xE9xx"},
        {"[^a]+", "<$0>",
         "a\xFF\xFE"
         "b\xC3\xA9",
         "a\xFF\xFE<b\xC3\xA9>"},
        {"\\xFF|\\x{FF}|ÿ", "y", "\xFF\xC3\xBF", "\xFFy"},
        {"(.)", "\\U$1", "\xE9t\xE9", "\xE9T\xE9"},
    });
}

TEST(Search, ARunawayPatternFailsItsFileAtOnce) {
    const std::string name = std::string(40, 'a') + "b";
    try {
        (void)Rename(Line("(a+)+$", "x"), name);
        ADD_FAILURE() << "no error";
    } catch (const PatternTooCostlyError& e) {
        EXPECT_EQ(std::string(e.what()), "expression trop coûteuse pour « " + name + " »");
        EXPECT_EQ(U8(e.name()), name);
    }
    // Only the name it is too costly on fails.
    EXPECT_EQ(Rename(Line("(a+)+$", "x"), "aab"), "aab");
}

TEST(Search, APatternThatDoesNotCompileIsFoundBeforeAndRaisedAtItsLine) {
    const ScriptLines script = {T("7|Supprimer tous les espaces"), Line("ab(c", "x"), Line("[z", "y")};
    const auto problem = PatternProblemOf(script);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->message, "missing closing parenthesis");
    EXPECT_EQ(problem->position, 5);
    EXPECT_EQ(CompiledScript(script).Problem(), problem);
    EXPECT_EQ(PatternProblemOf({Line("é(", "x")})->position, 3) << "positions count characters";
    EXPECT_EQ(PatternProblemOf({Line("a\\C", "x")})->position, 4) << "\\C could split a character";
    EXPECT_FALSE(PatternProblemOf({Line("(\\d+)", "x"), T("1|Supprimer les [n=1] premiers caractères")}));
    try {
        (void)Rename(Line("ab(c", "x"), "abc");
        ADD_FAILURE() << "no error";
    } catch (const InvalidPatternError& e) {
        EXPECT_EQ(std::string(e.what()), "Expression invalide : missing closing parenthesis à la position 5");
    }
}

} // namespace
} // namespace quorvel
