// What the engine may be told about a file besides its name, for the "Composer"
// templates: its facts, the folder that holds it, its place in the run, and the
// names of months and days in the language shown. A caller that knows none of it
// passes FileContext{}: no facts, no folder, the first place, French names.
#pragma once

#include "engine/date_names.hpp"
#include "engine/file_facts.hpp"
#include "engine/text.hpp"

#include <cstddef>

namespace quorvel {

// The facts of a file that has none.
inline const FileFacts& NoFacts() {
    static const FileFacts none;
    return none;
}

struct FileContext {
    const FileFacts& facts = NoFacts();
    // The name of the folder holding the file ("Vacances" for /photos/Vacances/a.jpg);
    // empty when it is not known, and {folder} is then missing.
    TextView folder = {};
    // The file's place in the order of the run, and among the files of its folder,
    // from 0.
    std::size_t place = 0;
    std::size_t placeInFolder = 0;
    const DateNames& dateNames = kFrenchDateNames;
};

// What a script's templates ask of a file, so that only that is read.
struct ScriptNeeds {
    FactSet facts;
    bool folder = false;        // {folder}
    bool place = false;         // {n}, {n:...}
    bool placeInFolder = false; // {n:START:STEP:folder}
    ScriptNeeds& operator|=(const ScriptNeeds& other) {
        facts |= other.facts;
        folder = folder || other.folder;
        place = place || other.place;
        placeInFolder = placeInFolder || other.placeInFolder;
        return *this;
    }
    bool operator==(const ScriptNeeds&) const = default;
};

} // namespace quorvel
