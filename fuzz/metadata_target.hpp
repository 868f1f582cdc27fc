// One read of the facts of arbitrary bytes, shared by the libFuzzer target and the
// test that replays its corpus (fuzz/metadata_corpus).
//
// Input: the content of a file (every reader tells the type by the content, never
// by the name).
//
// The facts read are sound moments and numbers, and the same whether asked all
// together, in parts, or through the cache.
#pragma once

#include "engine/unique_fd.hpp"
#include "metadata/read_facts.hpp"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace quorvel::fuzz {

inline void CheckMetadataOrAbort(bool ok) {
    if (!ok) {
        std::abort();
    }
}

inline void CheckMoment(const std::optional<Sourced<LocalTime>>& moment) {
    if (!moment) {
        return;
    }
    const LocalTime& t = moment->value;
    CheckMetadataOrAbort(t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                         t.day <= 31 && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
                         t.second >= 0 && t.second <= 60 && t.weekday >= 0 && t.weekday <= 6 &&
                         t.yearDay >= 1 && t.yearDay <= 366 && t.subSeconds.size() <= 9 &&
                         !moment->source.empty());
}

inline void CheckNumber(const std::optional<Sourced<std::int64_t>>& number) {
    CheckMetadataOrAbort(!number || number->value > 0);
}

inline constexpr const char* kMetadataExtensions[] = {".jpg",  ".tif", ".png", ".webp", ".heic",
                                                      ".mp4",  ".mov", ".mp3", ".flac", ".ogg",
                                                      ".opus", ".m4a", ".wav", ".bin"};

// Reads `data` as a file in `folder`.
inline void RunMetadataTarget(const std::string& folder, const std::uint8_t* data, std::size_t size) {
    const std::string name = "input";
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    {
        const UniqueFd file(
            ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        CheckMetadataOrAbort(file.Valid() && ::write(file.Get(), content.data(), content.size()) ==
                                                 static_cast<ssize_t>(content.size()));
    }
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    CheckMetadataOrAbort(dir.Valid());

    const FactSet picture =
        FactSet(Fact::Taken) | Fact::Make | Fact::Model | Fact::Lens | Fact::Width | Fact::Height;
    const FactSet audio = FactSet(Fact::Artist) | Fact::Album | Fact::Title | Fact::Genre | Fact::Year |
                          Fact::Track | Fact::Disc;
    const FileFacts all = ReadFacts(dir.Get(), name, picture | audio | Fact::Modified);
    CheckMoment(all.taken);
    CheckMoment(all.modified);
    for (const auto* number : {&all.width, &all.height, &all.year, &all.track, &all.disc}) {
        CheckNumber(*number);
    }
    FactsCache cache;
    const FileFacts pictureOnly = ReadFacts(dir.Get(), name, picture, cache);
    const FileFacts audioOnly = ReadFacts(dir.Get(), name, audio);
    FileFacts together = ReadFacts(dir.Get(), name, picture | audio | Fact::Modified, cache);
    CheckMetadataOrAbort(together == all);
    CheckMetadataOrAbort(pictureOnly.taken == all.taken && pictureOnly.make == all.make &&
                         pictureOnly.width == all.width && pictureOnly.lens == all.lens &&
                         !pictureOnly.artist);
    CheckMetadataOrAbort(audioOnly.artist == all.artist && audioOnly.track == all.track &&
                         audioOnly.disc == all.disc && !audioOnly.taken);
}

} // namespace quorvel::fuzz
