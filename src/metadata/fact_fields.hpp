// Each fact with its field of FileFacts, so that sets of facts can be kept, merged
// and cut down field by field.
#pragma once

#include "engine/file_facts.hpp"

namespace quorvel::metadata {

// Calls visit(fact, &FileFacts::field) for every fact.
template <typename Visit> void VisitFactFields(Visit&& visit) {
    visit(Fact::Taken, &FileFacts::taken);
    visit(Fact::Modified, &FileFacts::modified);
    visit(Fact::Make, &FileFacts::make);
    visit(Fact::Model, &FileFacts::model);
    visit(Fact::Lens, &FileFacts::lens);
    visit(Fact::Width, &FileFacts::width);
    visit(Fact::Height, &FileFacts::height);
    visit(Fact::Artist, &FileFacts::artist);
    visit(Fact::Album, &FileFacts::album);
    visit(Fact::Title, &FileFacts::title);
    visit(Fact::Genre, &FileFacts::genre);
    visit(Fact::Year, &FileFacts::year);
    visit(Fact::Track, &FileFacts::track);
    visit(Fact::Disc, &FileFacts::disc);
}

// The facts of `a` that are not in `b`.
inline FactSet Without(FactSet a, FactSet b) {
    FactSet rest;
    VisitFactFields([&](Fact fact, auto) {
        if (a.Has(fact) && !b.Has(fact)) {
            rest |= fact;
        }
    });
    return rest;
}

// `facts` with only the facts of `kept`.
inline FileFacts OnlyFacts(FileFacts facts, FactSet kept) {
    VisitFactFields([&](Fact fact, auto field) {
        if (!kept.Has(fact)) {
            (facts.*field).reset();
        }
    });
    return facts;
}

// The facts of `which` copied from `from` into `to`.
inline void CopyFacts(const FileFacts& from, FactSet which, FileFacts& to) {
    VisitFactFields([&](Fact fact, auto field) {
        if (which.Has(fact)) {
            to.*field = from.*field;
        }
    });
}

// The photo facts: what exiv2 or the boxes of a video give.
inline constexpr FactSet kPictureFacts =
    FactSet(Fact::Taken) | Fact::Make | Fact::Model | Fact::Lens | Fact::Width | Fact::Height;
// The tags of audio files, which TagLib gives.
inline constexpr FactSet kAudioFacts =
    FactSet(Fact::Artist) | Fact::Album | Fact::Title | Fact::Genre | Fact::Year | Fact::Track | Fact::Disc;

// Whether `a` and `b` share a fact.
inline bool Meet(FactSet a, FactSet b) {
    return Without(a, b) != a;
}

} // namespace quorvel::metadata
