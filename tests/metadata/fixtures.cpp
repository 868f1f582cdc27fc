#include "metadata/fixtures.hpp"

#include "engine/unique_fd.hpp"
#include "metadata/read_facts.hpp"
#include "support/process.hpp"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace quorvel::test {
namespace {

std::string FindProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string candidate = std::string(folders.substr(0, colon)) + "/" + std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        folders = colon == std::string_view::npos ? std::string_view{} : folders.substr(colon + 1);
    }
    // The window's tests run with a PATH of their own: the system's tools are still
    // where Debian puts them.
    const std::string system = "/usr/bin/" + std::string(name);
    return ::access(system.c_str(), X_OK) == 0 ? system : std::string();
}

void Run(const std::vector<std::string>& argv) {
    const ProcessResult result = RunProcess(argv);
    if (result.exitCode != 0) {
        throw std::runtime_error(argv[0] + " failed: " + result.err);
    }
}

} // namespace

const FixtureTools& Tools() {
    static const FixtureTools tools = [] {
        FixtureTools found;
        // The system's python3 first: Pillow comes with it (python3-pil).
        for (const std::string& python : {std::string("/usr/bin/python3"), FindProgram("python3")}) {
            if (!python.empty() && ::access(python.c_str(), X_OK) == 0 &&
                RunProcess({python, "-c", "import PIL.Image"}).exitCode == 0) {
                found.python = python;
                break;
            }
        }
        found.exiv2 = FindProgram("exiv2");
        found.ffmpeg = FindProgram("ffmpeg");
        return found;
    }();
    return tools;
}

void MakePicture(const std::string& path, int width, int height, const std::string& ifd0,
                 const std::string& exif) {
    Run({Tools().python, QUORVEL_FIXTURE_SCRIPT, "picture", path, std::to_string(width),
         std::to_string(height), ifd0, exif});
}

void MakeHeif(const std::string& path, const std::string& ifd0, const std::string& exif) {
    Run({Tools().python, QUORVEL_FIXTURE_SCRIPT, "heif", path, ifd0, exif});
}

void SetTags(const std::string& path, const std::vector<std::string>& commands) {
    std::vector<std::string> argv = {Tools().exiv2};
    for (const std::string& command : commands) {
        argv.push_back("-M" + command);
    }
    argv.push_back(path);
    Run(argv);
}

void MakeVideo(const std::string& path, const std::vector<std::string>& options) {
    std::vector<std::string> argv = {
        Tools().ffmpeg, "-nostdin", "-hide_banner", "-loglevel", "error",
        "-y",           "-f",       "lavfi",        "-i",        "color=c=red:s=64x48:d=0.2",
        "-c:v",         "mpeg4"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(path);
    Run(argv);
}

void MakeAudio(const std::string& path, const std::vector<std::string>& options) {
    std::vector<std::string> argv = {Tools().ffmpeg, "-nostdin", "-hide_banner", "-loglevel", "error",
                                     "-y",           "-f",       "lavfi",        "-i",        "sine=d=0.2"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(path);
    Run(argv);
}

FileFacts ReadIn(const std::string& dir, const std::string& name, FactSet wanted) {
    const UniqueFd folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid()) {
        throw std::runtime_error("cannot open " + dir);
    }
    return ReadFacts(folder.Get(), name, wanted);
}

TimeZone::TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
        saved_ = old;
    }
    ::setenv("TZ", zone, 1);
    ::tzset();
}

TimeZone::~TimeZone() {
    if (saved_) {
        ::setenv("TZ", saved_->c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

} // namespace quorvel::test

namespace quorvel {

void PrintTo(const LocalTime& time, std::ostream* out) {
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    *out << text << " ." << time.subSeconds << " weekday " << time.weekday << " day " << time.yearDay
         << " offset " << (time.offsetMinutes ? std::to_string(*time.offsetMinutes) : "none");
}

} // namespace quorvel
