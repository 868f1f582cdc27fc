// Case and composition of names, by Unicode's rules (ICU, root locale).
//
// Characters that are not Unicode scalar values, among them the stand-ins
// U+DC80..U+DCFF for bytes that are not UTF-8, are never changed and never belong
// to a word, so that a name keeps its raw bytes byte for byte.
#pragma once

#include "engine/text.hpp"

namespace quorvel {

enum class Conversion {
    Lower,      // full lower-case mapping, final sigma included
    Upper,      // full upper-case mapping ("ß" gives "SS")
    TitleWords, // each run of letters, marks and digits: see below
    Compose,    // Unicode normalisation form C
};

// Appends `s` converted to `out`. TitleWords: a word is a maximal run of
// characters of the general categories L, M and N. A word that starts with a
// letter gets that letter's full title-case mapping and the rest of the word
// lower-cased, the word being one text for the context rules; a word that starts
// with a digit or a mark is lower-cased. Everything between words stays.
// Raises NameTooLongError for a text far beyond any name.
void AppendConverted(TextView s, Conversion how, Text& out);

} // namespace quorvel
