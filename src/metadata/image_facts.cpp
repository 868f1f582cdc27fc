#include "metadata/image_facts.hpp"

#include "metadata/exiv2_io.hpp"
#include "metadata/fact_time.hpp"

#include <exiv2/exiv2.hpp>
#include <memory>
#include <mutex>

namespace quorvel::metadata {
namespace {

// exiv2 is set up once: its own messages silenced, its reader of ISO media boxes
// (HEIF, AVIF, CR3) enabled, and the XMP toolkit, which is not thread-safe, made
// to take a lock.
void PrepareExiv2() {
    static std::once_flag once;
    static std::mutex xmpLock;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::enableBMFF(true);
        Exiv2::XmpParser::initialize(
            [](void* data, bool lock) {
                auto* mutex = static_cast<std::mutex*>(data);
                if (lock) {
                    mutex->lock();
                } else {
                    mutex->unlock();
                }
            },
            &xmpLock);
    });
}

// The text of an EXIF or XMP datum, trimmed; nothing when missing or blank.
template <typename Data, typename Key> std::optional<std::string> TextOf(const Data& data, const char* key) {
    const auto it = data.findKey(Key(key));
    if (it == data.end() || it->count() == 0) {
        return std::nullopt;
    }
    const std::string whole = it->toString();
    const std::string_view text = Trimmed(whole);
    if (text.empty()) {
        return std::nullopt;
    }
    return std::string(text);
}

std::optional<std::string> ExifText(const Exiv2::ExifData& exif, const char* key) {
    return TextOf<Exiv2::ExifData, Exiv2::ExifKey>(exif, key);
}

std::optional<std::string> XmpText(const Exiv2::XmpData& xmp, const char* key) {
    return TextOf<Exiv2::XmpData, Exiv2::XmpKey>(xmp, key);
}

// A date of EXIF with its fractions of a second and its offset from their own tags.
std::optional<Sourced<LocalTime>> ExifMoment(const Exiv2::ExifData& exif, const char* dateKey,
                                             const char* subSecondKey, const char* offsetKey,
                                             const char* name) {
    const std::optional<std::string> date = ExifText(exif, dateKey);
    if (!date) {
        return std::nullopt;
    }
    std::optional<LocalTime> time = ParseMoment(*date);
    if (!time) {
        return std::nullopt;
    }
    std::string source = std::string(name) + " " + *date;
    if (const std::optional<std::string> text = ExifText(exif, subSecondKey)) {
        if (std::optional<std::string> digits = ParseSubSeconds(*text)) {
            time->subSeconds = std::move(*digits);
            source += "." + time->subSeconds;
        }
    }
    if (const std::optional<std::string> text = ExifText(exif, offsetKey)) {
        if (const std::optional<int> offset = ParseOffset(*text)) {
            time->offsetMinutes = offset;
            source += " " + *text;
        }
    }
    return Sourced<LocalTime>{std::move(*time), std::move(source)};
}

std::optional<Sourced<LocalTime>> XmpMoment(const Exiv2::XmpData& xmp, const char* key, const char* name) {
    const std::optional<std::string> text = XmpText(xmp, key);
    if (!text) {
        return std::nullopt;
    }
    std::optional<LocalTime> time = ParseMoment(*text);
    if (!time) {
        return std::nullopt;
    }
    return Sourced<LocalTime>{std::move(*time), std::string(name) + " " + *text};
}

// When the photo was taken: the original date, else the date it was digitised,
// else what XMP says. Never Exif.Image.DateTime, the date of the last edit.
std::optional<Sourced<LocalTime>> Taken(const Exiv2::ExifData& exif, const Exiv2::XmpData& xmp) {
    if (auto taken = ExifMoment(exif, "Exif.Photo.DateTimeOriginal", "Exif.Photo.SubSecTimeOriginal",
                                "Exif.Photo.OffsetTimeOriginal", "DateTimeOriginal")) {
        return taken;
    }
    // The same tag in the first IFD, where TIFF/EP raws put it.
    if (auto taken = ExifMoment(exif, "Exif.Image.DateTimeOriginal", "Exif.Photo.SubSecTimeOriginal",
                                "Exif.Photo.OffsetTimeOriginal", "DateTimeOriginal")) {
        return taken;
    }
    if (auto taken = ExifMoment(exif, "Exif.Photo.DateTimeDigitized", "Exif.Photo.SubSecTimeDigitized",
                                "Exif.Photo.OffsetTimeDigitized", "DateTimeDigitized")) {
        return taken;
    }
    if (auto taken = XmpMoment(xmp, "Xmp.exif.DateTimeOriginal", "XMP exif:DateTimeOriginal")) {
        return taken;
    }
    return XmpMoment(xmp, "Xmp.xmp.CreateDate", "XMP xmp:CreateDate");
}

std::optional<Sourced<std::string>> FirstText(const Exiv2::ExifData& exif, const Exiv2::XmpData& xmp,
                                              const char* exifKey, const char* xmpKey, const char* name) {
    if (std::optional<std::string> text = ExifText(exif, exifKey)) {
        return Sourced<std::string>{*text, std::string(name) + " " + *text};
    }
    if (std::optional<std::string> text = XmpText(xmp, xmpKey)) {
        return Sourced<std::string>{*text, std::string("XMP ") + xmpKey + " " + *text};
    }
    return std::nullopt;
}

// The lens: LensModel, else the maker's own tags as exiv2 names them, else XMP.
std::optional<Sourced<std::string>> Lens(const Exiv2::ExifData& exif, const Exiv2::XmpData& xmp) {
    if (std::optional<std::string> text = ExifText(exif, "Exif.Photo.LensModel")) {
        return Sourced<std::string>{*text, "LensModel " + *text};
    }
    const auto it = Exiv2::lensName(exif);
    if (it != exif.end() && it->count() > 0) {
        const std::string printed(Trimmed(it->print(&exif)));
        // exiv2 prints a lens it does not know by its number, in brackets.
        if (!printed.empty() && printed.front() != '(' && printed != "n/a" && printed != "Unknown") {
            return Sourced<std::string>{printed, it->tagName() + " " + printed};
        }
    }
    for (const char* key : {"Xmp.exifEX.LensModel", "Xmp.aux.Lens"}) {
        if (std::optional<std::string> text = XmpText(xmp, key)) {
            return Sourced<std::string>{*text, std::string("XMP ") + key + " " + *text};
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> ExifNumber(const Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->count() == 0) {
        return std::nullopt;
    }
    const long value = it->toLong(0);
    if (!it->value().ok() || value <= 0) {
        return std::nullopt;
    }
    return value;
}

// The size in pixels: the image's own, else what EXIF says (which an editor that
// resized the picture may have left as it was).
std::optional<Sourced<std::int64_t>> Dimension(int own, const Exiv2::ExifData& exif, const char* key,
                                               const char* ownName, const char* tagName) {
    if (own > 0) {
        return Sourced<std::int64_t>{own, std::string(ownName) + " " + std::to_string(own)};
    }
    if (const std::optional<std::int64_t> value = ExifNumber(exif, key)) {
        return Sourced<std::int64_t>{*value, std::string(tagName) + " " + std::to_string(*value)};
    }
    return std::nullopt;
}

// exiv2 0.27's types of videos (Exiv2::ImageType::riff, mkv, qtime and asf, in
// headers that cannot be included alone).
bool IsVideoType(int type) {
    return type == 20 || type == 21 || type == 22 || type == 24;
}

} // namespace

void ReadImageFacts(FileSource& source, FactSet wanted, FileFacts& facts) {
    PrepareExiv2();
    try {
        FileSourceIo probe(source);
        const int type = Exiv2::ImageFactory::getType(probe);
        // Videos are read by the parser of their boxes, never by exiv2's old video
        // readers.
        if (type == Exiv2::ImageType::none || IsVideoType(type)) {
            return;
        }
        // exiv2 0.27 takes its IO as an auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        Exiv2::BasicIo::AutoPtr io(std::make_unique<FileSourceIo>(source).release());
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(io);
#pragma GCC diagnostic pop
        if (image.get() == nullptr) {
            return;
        }
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const Exiv2::XmpData& xmp = image->xmpData();
        if (wanted.Has(Fact::Taken)) {
            facts.taken = Taken(exif, xmp);
        }
        if (wanted.Has(Fact::Make)) {
            facts.make = FirstText(exif, xmp, "Exif.Image.Make", "Xmp.tiff.Make", "Make");
        }
        if (wanted.Has(Fact::Model)) {
            facts.model = FirstText(exif, xmp, "Exif.Image.Model", "Xmp.tiff.Model", "Model");
        }
        if (wanted.Has(Fact::Lens)) {
            facts.lens = Lens(exif, xmp);
        }
        if (wanted.Has(Fact::Width)) {
            facts.width = Dimension(image->pixelWidth(), exif, "Exif.Photo.PixelXDimension", "image width",
                                    "PixelXDimension");
        }
        if (wanted.Has(Fact::Height)) {
            facts.height = Dimension(image->pixelHeight(), exif, "Exif.Photo.PixelYDimension", "image height",
                                     "PixelYDimension");
        }
    } catch (...) {
        // Whatever exiv2 throws (a damaged file, a file cut short, memory it could
        // not have) is this file's failure alone: it has no photo facts.
        facts.taken.reset();
        facts.make.reset();
        facts.model.reset();
        facts.lens.reset();
        facts.width.reset();
        facts.height.reset();
    }
}

} // namespace quorvel::metadata
