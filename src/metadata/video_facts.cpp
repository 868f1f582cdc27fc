#include "metadata/video_facts.hpp"

#include "metadata/fact_time.hpp"
#include "metadata/mp4_boxes.hpp"

#include <cstdio>
#include <ctime>
#include <map>
#include <new>

namespace quorvel::metadata {
namespace {

// Seconds from 1904-01-01, where the clocks of movies start, to 1970-01-01.
constexpr std::int64_t kSeconds1904To1970 = 2082844800;
// Beyond the year 9999.
constexpr std::uint64_t kLastMovieSecond = 255000000000ULL;

constexpr std::size_t kMaxSmallBox = 4096;
constexpr std::size_t kMaxKeys = 1 << 20;
constexpr std::size_t kMaxItem = 64 * 1024;

bool IsPictureBrand(std::string_view brand) {
    for (const std::string_view picture :
         {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif", "avis", "crx "}) {
        if (brand == picture) {
            return true;
        }
    }
    return false;
}

// What a movie says of itself.
struct MovieBoxes {
    std::uint64_t created = 0; // seconds since 1904, UTC; 0 when unknown
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::map<std::string, std::string> keys; // Apple's metadata keys and their UTF-8 values
};

// The kind of media of a track, from mdia/hdlr.
std::string HandlerOf(FileSource& source, const Box& container, int& boxesLeft) {
    BoxList children(source, container.payload, container.end, boxesLeft);
    if (const std::optional<Box> hdlr = children.Find("hdlr")) {
        if (const std::optional<std::string> bytes = ReadPayload(source, *hdlr, kMaxSmallBox);
            bytes && bytes->size() >= 12) {
            return bytes->substr(8, 4);
        }
    }
    return {};
}

void ReadTrack(FileSource& source, const Box& trak, MovieBoxes& movie, int& boxesLeft) {
    std::optional<std::string> header;
    std::string handler;
    BoxList children(source, trak.payload, trak.end, boxesLeft);
    while (const std::optional<Box> child = children.Next()) {
        if (child->Is("tkhd")) {
            header = ReadPayload(source, *child, kMaxSmallBox);
        } else if (child->Is("mdia")) {
            handler = HandlerOf(source, *child, boxesLeft);
        }
    }
    if (handler != "vide" || !header || header->empty() || movie.width != 0) {
        return;
    }
    // The width and height, 16.16 fixed point, end the track header.
    const std::size_t at = (*header)[0] == 1 ? 88 : 76;
    const std::optional<std::uint32_t> width = Be32(*header, at);
    const std::optional<std::uint32_t> height = Be32(*header, at + 4);
    if (width && height && (*width >> 16) != 0 && (*height >> 16) != 0) {
        movie.width = *width >> 16;
        movie.height = *height >> 16;
    }
}

// Apple's keys (a meta box of handler "mdta": names in keys, values in ilst, each
// item numbered after its key).
void ReadMeta(FileSource& source, const Box& meta, MovieBoxes& movie, int& boxesLeft) {
    // ISO's meta has a version and flags before its children, QuickTime's does not.
    char peek[8] = {};
    if (source.ReadAt(meta.payload, peek, sizeof peek) != sizeof peek) {
        return;
    }
    const std::uint64_t first = std::string_view(peek + 4, 4) == "hdlr" ? meta.payload : meta.payload + 4;
    if (first > meta.end) {
        return;
    }
    std::string handler;
    std::map<std::uint32_t, std::string> names;
    std::map<std::uint32_t, std::string> values;
    BoxList children(source, first, meta.end, boxesLeft);
    while (const std::optional<Box> child = children.Next()) {
        if (child->Is("hdlr")) {
            if (const std::optional<std::string> bytes = ReadPayload(source, *child, kMaxSmallBox);
                bytes && bytes->size() >= 12) {
                handler = bytes->substr(8, 4);
            }
        } else if (child->Is("keys")) {
            const std::optional<std::string> bytes = ReadPayload(source, *child, kMaxKeys);
            if (!bytes) {
                continue;
            }
            const std::uint32_t count = Be32(*bytes, 4).value_or(0);
            std::size_t at = 8;
            for (std::uint32_t index = 1; index <= count; ++index) {
                const std::optional<std::uint32_t> size = Be32(*bytes, at);
                if (!size || *size < 8 || *size > bytes->size() - at) {
                    break;
                }
                names[index] = bytes->substr(at + 8, *size - 8);
                at += *size;
            }
        } else if (child->Is("ilst")) {
            BoxList items(source, child->payload, child->end, boxesLeft);
            while (const std::optional<Box> item = items.Next()) {
                BoxList data(source, item->payload, item->end, boxesLeft);
                const std::optional<Box> value = data.Find("data");
                const std::optional<std::string> bytes =
                    value ? ReadPayload(source, *value, kMaxItem) : std::nullopt;
                // A type of 1 is UTF-8 text.
                if (bytes && Be32(*bytes, 0) == 1U) {
                    const std::string_view type(item->type.data(), item->type.size());
                    values[*Be32(type, 0)] = bytes->substr(8);
                }
            }
        }
    }
    if (handler != "mdta") {
        return;
    }
    for (const auto& [index, value] : values) {
        if (const auto name = names.find(index); name != names.end()) {
            movie.keys.emplace(name->second, value);
        }
    }
}

MovieBoxes ReadMovie(FileSource& source) {
    MovieBoxes movie;
    int boxesLeft = kMaxBoxesOfFile;
    BoxList top(source, 0, source.Size(), boxesLeft);
    const std::optional<Box> moov = top.Find("moov");
    if (!moov) {
        return movie;
    }
    BoxList children(source, moov->payload, moov->end, boxesLeft);
    while (const std::optional<Box> child = children.Next()) {
        if (child->Is("mvhd")) {
            if (const std::optional<std::string> bytes = ReadPayload(source, *child, kMaxSmallBox);
                bytes && !bytes->empty()) {
                movie.created = (*bytes)[0] == 1 ? Be64(*bytes, 4).value_or(0) : Be32(*bytes, 4).value_or(0);
            }
        } else if (child->Is("trak")) {
            ReadTrack(source, *child, movie, boxesLeft);
        } else if (child->Is("meta")) {
            ReadMeta(source, *child, movie, boxesLeft);
        } else if (child->Is("udta")) {
            BoxList userData(source, child->payload, child->end, boxesLeft);
            while (const std::optional<Box> meta = userData.Find("meta")) {
                ReadMeta(source, *meta, movie, boxesLeft);
            }
        }
    }
    return movie;
}

std::optional<Sourced<LocalTime>> MovieHeaderTime(std::uint64_t created) {
    if (created == 0 || created > kLastMovieSecond) {
        return std::nullopt;
    }
    const std::int64_t epoch = static_cast<std::int64_t>(created) - kSeconds1904To1970;
    std::optional<LocalTime> time = LocalTimeOfEpochSeconds(epoch);
    const std::time_t when = static_cast<std::time_t>(epoch);
    std::tm utc{};
    if (!time || ::gmtime_r(&when, &utc) == nullptr) {
        return std::nullopt;
    }
    char text[64];
    std::snprintf(text, sizeof text, "mvhd %04d-%02d-%02d %02d:%02d:%02d UTC", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return Sourced<LocalTime>{std::move(*time), text};
}

std::optional<Sourced<std::string>> KeyText(const MovieBoxes& movie, const std::string& key) {
    const auto it = movie.keys.find(key);
    if (it == movie.keys.end() || Trimmed(it->second).empty()) {
        return std::nullopt;
    }
    return Sourced<std::string>{std::string(Trimmed(it->second)),
                                key + " " + std::string(Trimmed(it->second))};
}

} // namespace

BoxFileKind KindOfBoxFile(FileSource& source) {
    int boxesLeft = 1;
    BoxList top(source, 0, source.Size(), boxesLeft);
    const std::optional<Box> first = top.Next();
    if (!first) {
        return BoxFileKind::Other;
    }
    if (first->Is("ftyp")) {
        const std::optional<std::string> brands = ReadPayload(source, *first, kMaxSmallBox);
        if (!brands || brands->size() < 4) {
            return BoxFileKind::Other;
        }
        return IsPictureBrand(std::string_view(*brands).substr(0, 4)) ? BoxFileKind::Picture
                                                                      : BoxFileKind::Movie;
    }
    // QuickTime movies older than the ftyp box.
    for (const char* name : {"moov", "mdat", "wide", "free", "skip", "pnot"}) {
        if (first->Is(name)) {
            return BoxFileKind::Movie;
        }
    }
    return BoxFileKind::Other;
}

void ReadVideoFacts(FileSource& source, FactSet wanted, FileFacts& facts) {
    MovieBoxes movie;
    try {
        movie = ReadMovie(source);
    } catch (const std::bad_alloc&) {
        return; // this file's failure alone: it has no video facts
    }
    if (wanted.Has(Fact::Taken)) {
        const std::optional<Sourced<std::string>> apple = KeyText(movie, "com.apple.quicktime.creationdate");
        std::optional<LocalTime> time = apple ? ParseMoment(apple->value) : std::nullopt;
        if (time) {
            facts.taken = Sourced<LocalTime>{std::move(*time), apple->source};
        } else {
            facts.taken = MovieHeaderTime(movie.created);
        }
    }
    if (wanted.Has(Fact::Make)) {
        facts.make = KeyText(movie, "com.apple.quicktime.make");
    }
    if (wanted.Has(Fact::Model)) {
        facts.model = KeyText(movie, "com.apple.quicktime.model");
    }
    if (wanted.Has(Fact::Lens)) {
        facts.lens = KeyText(movie, "com.apple.quicktime.camera.lens_model");
    }
    if (movie.width != 0) {
        if (wanted.Has(Fact::Width)) {
            facts.width = Sourced<std::int64_t>{movie.width, "tkhd width " + std::to_string(movie.width)};
        }
        if (wanted.Has(Fact::Height)) {
            facts.height = Sourced<std::int64_t>{movie.height, "tkhd height " + std::to_string(movie.height)};
        }
    }
}

} // namespace quorvel::metadata
