#include "metadata/audio_facts.hpp"

#include "metadata/fact_time.hpp"
#include "metadata/taglib_stream.hpp"

#include <mutex>
#include <taglib/fileref.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>

namespace quorvel::metadata {
namespace {

// TagLib's messages about damaged files go nowhere.
class SilentListener final : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String&) override {}
};

void PrepareTagLib() {
    static std::once_flag once;
    static SilentListener silent;
    std::call_once(once, [] { TagLib::setDebugListener(&silent); });
}

// The values of `key`, joined by ", ", trimmed; nothing when there is none.
std::optional<std::string> PropertyText(const TagLib::PropertyMap& properties, const char* key) {
    const auto it = properties.find(key);
    if (it == properties.end()) {
        return std::nullopt;
    }
    std::string joined;
    for (const TagLib::String& value : it->second) {
        const std::string text(Trimmed(value.to8Bit(true)));
        if (!text.empty()) {
            joined += (joined.empty() ? "" : ", ") + text;
        }
    }
    if (joined.empty()) {
        return std::nullopt;
    }
    return joined;
}

std::optional<Sourced<std::string>> TextFact(const TagLib::PropertyMap& properties, const char* key) {
    std::optional<std::string> text = PropertyText(properties, key);
    if (!text) {
        return std::nullopt;
    }
    std::string source = std::string(key) + " " + *text;
    return Sourced<std::string>{std::move(*text), std::move(source)};
}

std::optional<Sourced<std::int64_t>> NumberFact(const TagLib::PropertyMap& properties, const char* key,
                                                std::int64_t least, std::int64_t most) {
    const std::optional<std::string> text = PropertyText(properties, key);
    const std::optional<std::int64_t> number = text ? LeadingNumber(*text) : std::nullopt;
    if (!number || *number < least || *number > most) {
        return std::nullopt;
    }
    return Sourced<std::int64_t>{*number, std::string(key) + " " + *text};
}

} // namespace

std::optional<std::int64_t> LeadingNumber(std::string_view text) {
    text = Trimmed(text);
    std::int64_t value = 0;
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        if (digits == 9) {
            return std::nullopt; // no tag counts that far
        }
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0 || value == 0) {
        return std::nullopt;
    }
    return value;
}

void ReadAudioFacts(FileSource& source, FactSet wanted, FileFacts& facts) {
    PrepareTagLib();
    try {
        FileSourceStream stream(source);
        const TagLib::FileRef file(&stream, false);
        if (file.isNull() || !file.file()->isValid()) {
            return;
        }
        const TagLib::PropertyMap properties = file.file()->properties();
        if (wanted.Has(Fact::Artist)) {
            facts.artist = TextFact(properties, "ARTIST");
        }
        if (wanted.Has(Fact::Album)) {
            facts.album = TextFact(properties, "ALBUM");
        }
        if (wanted.Has(Fact::Title)) {
            facts.title = TextFact(properties, "TITLE");
        }
        if (wanted.Has(Fact::Genre)) {
            facts.genre = TextFact(properties, "GENRE");
        }
        if (wanted.Has(Fact::Year)) {
            facts.year = NumberFact(properties, "DATE", 1000, 9999);
        }
        if (wanted.Has(Fact::Track)) {
            facts.track = NumberFact(properties, "TRACKNUMBER", 1, 99999999);
        }
        if (wanted.Has(Fact::Disc)) {
            facts.disc = NumberFact(properties, "DISCNUMBER", 1, 99999999);
        }
    } catch (...) {
        // TagLib throws nothing of its own; memory it could not have is this file's
        // failure alone.
        facts.artist.reset();
        facts.album.reset();
        facts.title.reset();
        facts.genre.reset();
        facts.year.reset();
        facts.track.reset();
        facts.disc.reset();
    }
}

} // namespace quorvel::metadata
