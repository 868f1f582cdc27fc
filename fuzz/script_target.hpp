// One run of the script reader and the engine on arbitrary bytes, shared by the
// libFuzzer target and the test that replays the regression corpus.
//
// The compiled script must give exactly what the line-by-line engine gives: the
// same names and counter, and the same error on the same file (a "Rechercher"
// pattern that does not compile, or that is too costly on a name, included).
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
    NumberCounter counter = 0;
    NumberCounter compiledCounter = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string compiledError;
        Text compiledResult;
        try {
            compiledResult = compiled.Apply(names[i], i == 0, compiledCounter);
        } catch (const EngineError& e) {
            compiledError = e.what();
        }
        try {
            const Text result = ApplyScript(script, names[i], i == 0, counter);
            CheckOrAbort(Length(result) <= kMaxWorkingName);
            CheckOrAbort(compiledError.empty() && compiledResult == result && compiledCounter == counter);
        } catch (const EngineError& e) {
            CheckOrAbort(compiledError == e.what());
            break; // ends the loop, as a preview or a run does
        }
    }
}

} // namespace quorvel::fuzz
