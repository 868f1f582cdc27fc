// The files the metadata tests read, made at run time by real tools: Pillow (through
// make_fixtures.py), the exiv2 program and ffmpeg. A test whose tool is missing is
// skipped, saying which.
#pragma once

#include "engine/file_facts.hpp"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quorvel::test {

// The full paths of the tools; empty when missing.
struct FixtureTools {
    std::string python; // a python3 that has Pillow
    std::string exiv2;
    std::string ffmpeg;
};
const FixtureTools& Tools();

#define QUORVEL_NEED_TOOL(tool, package)                                                                     \
    do {                                                                                                     \
        if (::quorvel::test::Tools().tool.empty()) {                                                         \
            GTEST_SKIP() << package " is not installed";                                                     \
        }                                                                                                    \
    } while (false)

// A picture (JPEG, PNG, WebP, TIFF by its extension) of width x height made by
// Pillow, with the EXIF tags of `ifd0` and of the Exif IFD (Python dictionaries).
void MakePicture(const std::string& path, int width, int height, const std::string& ifd0 = "{}",
                 const std::string& exif = "{}");
// A HEIF photo of 64x48 with those EXIF tags.
void MakeHeif(const std::string& path, const std::string& ifd0, const std::string& exif);
// exiv2 -M"..." for each command ("set Exif.Photo.DateTimeOriginal 2024:07:14 15:30:12").
void SetTags(const std::string& path, const std::vector<std::string>& commands);
// A video of 64x48 and 0.2 s made by ffmpeg, with `options` before the output
// ("-metadata", "creation_time=...").
void MakeVideo(const std::string& path, const std::vector<std::string>& options = {});
// A tone of 0.2 s made by ffmpeg in the format of the extension, with `options`.
void MakeAudio(const std::string& path, const std::vector<std::string>& options = {});

// The facts of `name` in `dir`, read through a descriptor of the folder.
FileFacts ReadIn(const std::string& dir, const std::string& name, FactSet wanted);

// The local time zone set to `zone` (a POSIX TZ value) while it lives.
class TimeZone {
public:
    explicit TimeZone(const char* zone);
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;
    ~TimeZone();

private:
    std::optional<std::string> saved_;
};

} // namespace quorvel::test

namespace quorvel {
// A LocalTime as GoogleTest shows it.
void PrintTo(const LocalTime& time, std::ostream* out);
} // namespace quorvel
