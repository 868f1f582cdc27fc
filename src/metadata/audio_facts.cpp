#include "metadata/audio_facts.hpp"

#include "metadata/fact_time.hpp"
#include "metadata/taglib_stream.hpp"

#include <memory>
#include <mutex>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

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

// The file as TagLib reads it, told by its content: FLAC, Ogg Vorbis, Opus or FLAC,
// MP4 (M4A), WAV, else MPEG (MP3), whose frames are the loosest to recognise. The
// other formats TagLib knows are left alone: its reader of ASF, for one, loops for
// seconds over a count of attributes that a few damaged bytes make huge.
std::unique_ptr<TagLib::File> OpenAudio(TagLib::IOStream& stream) {
    const auto supported = [&](bool (*isSupported)(TagLib::IOStream*)) {
        stream.seek(0);
        const bool yes = isSupported(&stream);
        stream.seek(0);
        return yes;
    };
    TagLib::ID3v2::FrameFactory* frames = TagLib::ID3v2::FrameFactory::instance();
    if (supported(&TagLib::FLAC::File::isSupported)) {
        return std::make_unique<TagLib::FLAC::File>(&stream, frames, false);
    }
    if (supported(&TagLib::Ogg::Vorbis::File::isSupported)) {
        return std::make_unique<TagLib::Ogg::Vorbis::File>(&stream, false);
    }
    if (supported(&TagLib::Ogg::Opus::File::isSupported)) {
        return std::make_unique<TagLib::Ogg::Opus::File>(&stream, false);
    }
    if (supported(&TagLib::Ogg::FLAC::File::isSupported)) {
        return std::make_unique<TagLib::Ogg::FLAC::File>(&stream, false);
    }
    if (supported(&TagLib::MP4::File::isSupported)) {
        return std::make_unique<TagLib::MP4::File>(&stream, false);
    }
    if (supported(&TagLib::RIFF::WAV::File::isSupported)) {
        return std::make_unique<TagLib::RIFF::WAV::File>(&stream, false);
    }
    if (supported(&TagLib::MPEG::File::isSupported)) {
        return std::make_unique<TagLib::MPEG::File>(&stream, frames, false);
    }
    return nullptr;
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
        const std::unique_ptr<TagLib::File> file = OpenAudio(stream);
        if (!file || !file->isValid()) {
            return;
        }
        const TagLib::PropertyMap properties = file->properties();
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
