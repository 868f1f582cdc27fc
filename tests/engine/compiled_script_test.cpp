// The compiled script against the line-by-line engine on random scripts and names:
// the same names, counters, errors, and the same file where an error stops.
#include "engine/apply.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

class RandomScripts {
public:
    explicit RandomScripts(unsigned seed) : random_(seed) {}

    ScriptLines Script() {
        ScriptLines script(Below(7));
        for (Text& line : script) {
            line = Line();
        }
        return script;
    }

    std::vector<Text> Names() {
        std::vector<Text> names(1 + Below(5));
        for (Text& name : names) {
            std::string bytes; // stray bytes may meet and make a character
            const std::size_t length = Below(14);
            for (std::size_t i = 0; i < length; ++i) {
                bytes += Pick(kNameParts);
            }
            name = T(bytes);
        }
        return names;
    }

private:
    // Well-formed lines mostly, with brackets and bars that are not.
    Text Line() {
        std::string line = Pick(kNumbers) + "|G ";
        const std::size_t slots = Below(4);
        for (std::size_t k = 0; k < slots; ++k) {
            line += Below(12) == 0 ? "[x " : "[p=";
            // Small numbers often, so that positions and counts meet and cross.
            line += Below(2) == 0 ? std::to_string(static_cast<int>(Below(10)) - 3) : Pick(kValues);
            line += Below(12) == 0 ? "|" : "] ";
        }
        return T(line);
    }

    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    template <typename List> std::string Pick(const List& list) { return list[Below(std::size(list))]; }

    static constexpr const char* kNumbers[] = {
        "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10",  "11", "12", "13", "14", "15",  "16",
        "17", "18", "19", "20", "21", "22", "23", "24", "25", "26",  "27", "28", "29", "30", "31",  "32",
        "33", "34", "35", "36", "0",  "-1", "40", " 7", "x",  "2.4", "19", "20", "21", "22", "1e1", ""};
    static constexpr const char* kValues[] = {
        "",    "0",  "1",   "2",  "3",    "-1", "-3",  "9",     "2.5", "3.5", "2147483647", "-2147483648",
        "001", "a1", "$ff", " 7", "5 ",   "x",  "a",   "A",     "img", "IMG", ".",          "_",
        " ",   "é",  "ß",   "Σ",  "\xFF", "..", "a.b", "tar.gz"};
    static constexpr const char* kNameParts[] = {
        "a", "b", "A",      "Z",       "0",    "7",    ".",          ".",   " ",   "_",  "-",
        "'", "é", "É",      "e\u0301", "ß",    "ẞ",    "Σ",          "σ",   "ǆ",   "ǅ",  "İ",
        "ı", "ﬁ", "\u0301", "\xE9",    "\xFF", "\xC3", "\U0001F600", "img", "IMG", "jpg"};

    std::mt19937 random_;
};

// One selection through one engine, as a preview does: stops at the first error.
struct Outcome {
    std::vector<std::string> names;
    std::vector<NumberCounter> counters;
    std::string error;
    bool operator==(const Outcome&) const = default;
};

template <typename Engine> Outcome Preview(const std::vector<Text>& names, Engine apply) {
    Outcome outcome;
    NumberCounter counter = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        try {
            outcome.names.push_back(U8(apply(names[i], i == 0, counter)));
        } catch (const EngineError& e) {
            outcome.error = std::to_string(i) + ": " + e.what();
            break;
        }
        outcome.counters.push_back(counter);
    }
    return outcome;
}

TEST(CompiledScript, GivesWhatTheLineByLineEngineGivesOnRandomScripts) {
    RandomScripts random(20240611);
    std::size_t errors = 0;
    for (int round = 0; round < 6000; ++round) {
        const ScriptLines script = random.Script();
        const std::vector<Text> names = random.Names();
        const CompiledScript compiled(script);
        const Outcome reference = Preview(names, [&](TextView name, bool first, NumberCounter& counter) {
            return ApplyScript(script, name, first, counter);
        });
        const Outcome outcome = Preview(names, [&](TextView name, bool first, NumberCounter& counter) {
            return compiled.Apply(name, first, counter);
        });
        errors += reference.error.empty() ? 0 : 1;
        std::string shown;
        for (const Text& line : script) {
            shown += U8(line) + "\n";
        }
        ASSERT_EQ(outcome, reference) << shown;
        for (const bool first : {true, false}) {
            NumberCounter counter = 41;
            NumberCounter compiledCounter = 41;
            std::string error;
            std::string compiledError;
            try {
                AdvanceNumbering(script, first, counter);
            } catch (const EngineError& e) {
                error = e.what();
            }
            try {
                compiled.AdvanceNumbering(first, compiledCounter);
            } catch (const EngineError& e) {
                compiledError = e.what();
            }
            ASSERT_EQ(compiledError, error) << shown;
            ASSERT_EQ(compiledCounter, counter) << shown;
        }
    }
    // The scripts reach the errors too, not only the names.
    EXPECT_GT(errors, 100U);
}

TEST(CompiledScript, StopsRunawayGrowthAfterTheSameLine) {
    // The second line makes the name too long; the third would raise the conversion
    // error, which is never reached.
    const ScriptLines script = {T("14|Ajouter [Chaine=" + std::string(40'000, 'a') + "] au début"),
                                T("10|Remplacer [Chaine1=a] par [Chaine2=aa]"),
                                T("19|Ajouter [Numéro=x] au début")};
    NumberCounter counter = 0;
    EXPECT_THROW((void)CompiledScript(script).Apply(U"b", true, counter), NameTooLongError);
    EXPECT_THROW((void)ApplyScript(script, U"b", true, counter), NameTooLongError);
    Text out = U"kept storage";
    EXPECT_THROW(CompiledScript(script).AdvanceNumbering(true, counter), ConversionError);
    CompiledScript({T("11|Remplacer tout par [Chaine=x]")}).ApplyInto(U"name", true, counter, out);
    EXPECT_EQ(out, U"x");
}

} // namespace
} // namespace quorvel
