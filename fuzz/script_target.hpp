// One run of the script reader and the engine on arbitrary bytes, shared by the
// libFuzzer target and the test that replays the regression corpus.
//
// The compiled script must give exactly what the line-by-line engine gives: the
// same names and counter, and the same error on the same file (a "Rechercher"
// pattern that does not compile, or that is too costly on a name, a "Composer"
// template that cannot be read, or a value it lacks, included). Every other file
// has the facts of a photo and a song; every file has a folder and its place.
// Every value stored encoded reads back as it was typed.
//
// Input: the bytes of a script file, optionally followed by a NUL and then
// NUL-separated names to rename. Without names a fixed set is used.
#pragma once

#include "engine/apply.hpp"
#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "engine/value_code.hpp"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::fuzz {

inline void CheckOrAbort(bool ok) {
    if (!ok) {
        std::abort();
    }
}

inline void RunScriptTarget(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view file = input.substr(0, nul);

    std::vector<Text> names;
    if (nul != std::string_view::npos) {
        std::string_view rest = input.substr(nul + 1);
        while (!rest.empty() && names.size() < 16) {
            const std::size_t end = rest.find('\0');
            names.push_back(DecodeName(rest.substr(0, end)));
            rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        }
    }
    if (names.empty()) {
        for (const char* n : {"IMG_0042_v2.jpg", "a.b.txt", "", ".profile", "README", "x-y.txt"}) {
            names.push_back(DecodeName(n));
        }
    }

    const ScriptLines script = ParseScriptText(file);

    // Writing and reading back gives the same script.
    CheckOrAbort(ParseScriptText(FormatScriptText(script)) == script);

    for (const Text& line : script) {
        CheckOrAbort(DecodeValue(EncodeValue(line)) == line);
    }

    // Validity is only a gate: the engine must also cope with invalid scripts.
    (void)ScriptIsValid(script);
    const CompiledScript compiled(script);
    CheckOrAbort(compiled.Problem() == PatternProblemOf(script));
    CheckOrAbort(compiled.ProblemOfTemplates() == TemplateProblemOf(script));
    CheckOrAbort(compiled.Needs() == NeedsOf(script));
    FileFacts facts;
    facts.taken.emplace();
    facts.taken->value.year = 2024;
    facts.taken->value.month = 7;
    facts.taken->value.day = 14;
    facts.taken->value.subSeconds = "347";
    facts.taken->value.offsetMinutes = 120;
    facts.taken->source = "DateTimeOriginal";
    facts.modified.emplace(); // no date: month 0
    facts.modified->value.month = 0;
    facts.modified->value.offsetMinutes = -5000;
    facts.make = Sourced<std::string>{" Ca/non\n\xFF", "Make"};
    facts.album = Sourced<std::string>{" \t", "TALB"};
    facts.width = Sourced<std::int64_t>{-1, "ImageWidth"};
    facts.track = Sourced<std::int64_t>{std::int64_t{1} << 62, "TRCK"};
    NumberCounter counter = 0;
    NumberCounter compiledCounter = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const FileContext context{.facts = i % 2 == 0 ? facts : NoFacts(),
                                  .folder = i % 3 == 0 ? TextView() : TextView(U"Été/\n"),
                                  .place = i * 1000003,
                                  .placeInFolder = i / 2,
                                  .dateNames = i % 2 == 0 ? kFrenchDateNames : kEnglishDateNames};
        std::string compiledError;
        Text compiledResult;
        try {
            const NumberCounter before = compiledCounter;
            compiledResult = compiled.Apply(names[i], i == 0, compiledCounter, context);
            // Following the sources makes the same name.
            NumberCounter again = before;
            Text traced;
            (void)compiled.SourcesUsed(names[i], i == 0, again, context, traced);
            CheckOrAbort(traced == compiledResult && again == compiledCounter);
        } catch (const EngineError& e) {
            compiledError = e.what();
        }
        try {
            const Text result = ApplyScript(script, names[i], i == 0, counter, context);
            CheckOrAbort(Length(result) <= kMaxWorkingName);
            CheckOrAbort(compiledError.empty() && compiledResult == result && compiledCounter == counter);
        } catch (const EngineError& e) {
            CheckOrAbort(compiledError == e.what());
            break; // ends the loop, as a preview or a run does
        }
    }
}

} // namespace quorvel::fuzz
