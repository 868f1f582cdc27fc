// Names from the date photos were taken, whole programs on a folder of 5,000
// JPEGs: quorvel-cli run --dry-run with {taken}, next to
// exiftool -fast2 -s3 -DateTimeOriginal on the same folder, and the floor: a
// plain C loop reading the first 64 KiB of every file. The page cache is warm for
// all three. Bound: quorvel-cli in at most a tenth of exiftool's time.
//
//   build/release/bench/metadata_bench --benchmark_min_time=3
//
// The photos are made once by Pillow and exiv2 (Debian's python3-pil and exiv2),
// each a 640x480 JPEG with its own DateTimeOriginal; QUORVEL_BENCH_DIR sets where
// (/tmp by default).
#include "spawn.hpp"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using quorvel::bench::Spawn;

constexpr int kPhotos = 5000;

std::string BenchBase() {
    const char* dir = std::getenv("QUORVEL_BENCH_DIR");
    return dir != nullptr ? dir : "/tmp";
}

// The folder of photos and the script, removed at the end.
class Photos {
public:
    Photos() : folder_(BenchBase() + "/quorvel-metadata-bench"), script_(folder_ + ".script") {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        const std::string first = folder_ + "/IMG_0000.jpg";
        made_ = Spawn({"/usr/bin/python3", "-c",
                       "import random, sys\n"
                       "from PIL import Image\n"
                       "random.seed(1)\n"
                       "img = Image.new('RGB', (640, 480))\n"
                       "img.putdata([(random.randrange(256), random.randrange(256), random.randrange(256))"
                       " for _ in range(640 * 480)])\n"
                       "img.save(sys.argv[1], quality=85)\n",
                       first}) == 0 &&
                Spawn({"exiv2", "-Mset Exif.Image.Make Quorvel", "-Mset Exif.Image.Model Bench",
                       "-Mset Exif.Image.DateTime 2025:01:02 03:04:05",
                       "-Mset Exif.Photo.DateTimeOriginal 2024:07:14 15:30:12",
                       "-Mset Exif.Photo.SubSecTimeOriginal 347", "-Mset Exif.Photo.OffsetTimeOriginal +02:00",
                       first}) == 0;
        for (int i = 1; i < kPhotos && made_; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/IMG_%04d.jpg", i);
            fs::copy_file(first, folder_ + name);
        }
        std::ofstream(script_, std::ios::binary) << "40|Composer le nom avec [Mod\xE8le={taken}_{n:0001}]\r\n";
    }
    Photos(const Photos&) = delete;
    Photos& operator=(const Photos&) = delete;
    ~Photos() {
        fs::remove_all(folder_);
        fs::remove(script_);
    }
    bool Made() const { return made_; }
    const std::string& folder() const { return folder_; }
    const std::string& script() const { return script_; }

private:
    std::string folder_;
    std::string script_;
    bool made_ = false;
};

const Photos& ThePhotos() {
    static const Photos photos;
    return photos;
}

void RunQuietly(benchmark::State& state, const std::string& command, const std::vector<std::string>& args) {
    if (!ThePhotos().Made()) {
        state.SkipWithError("the photos could not be made (python3-pil and exiv2 needed)");
        return;
    }
    std::vector<std::string> argv = {"/bin/sh", "-c", command + " >/dev/null", "sh"};
    argv.insert(argv.end(), args.begin(), args.end());
    for (auto _ : state) {
        if (Spawn(argv) < 0) {
            state.SkipWithError("the program could not be run");
            return;
        }
    }
    state.counters["files"] = kPhotos;
}

void BM_QuorvelCliDryRunTaken(benchmark::State& state) {
    RunQuietly(state, "exec \"$1\" run --dry-run \"$2\" \"$3\"",
               {QUORVEL_CLI, ThePhotos().script(), ThePhotos().folder()});
}
BENCHMARK(BM_QuorvelCliDryRunTaken)->Unit(benchmark::kMillisecond);

void BM_ExiftoolFast2(benchmark::State& state) {
    if (Spawn({"/bin/sh", "-c", "command -v exiftool >/dev/null"}) != 0) {
        state.SkipWithError("exiftool is missing (libimage-exiftool-perl)");
        return;
    }
    RunQuietly(state, "exec exiftool -fast2 -s3 -DateTimeOriginal \"$1\"", {ThePhotos().folder()});
}
BENCHMARK(BM_ExiftoolFast2)->Unit(benchmark::kMillisecond);

// The floor: the first 64 KiB of every file, read by a plain C loop.
void BM_First64KiBPlainC(benchmark::State& state) {
    if (!ThePhotos().Made()) {
        state.SkipWithError("the photos could not be made");
        return;
    }
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        DIR* dir = ::opendir(ThePhotos().folder().c_str());
        std::size_t bytes = 0;
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.') {
                continue;
            }
            const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                const ssize_t n = ::read(fd, buffer.data(), buffer.size());
                bytes += n > 0 ? static_cast<std::size_t>(n) : 0;
                ::close(fd);
            }
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["files"] = kPhotos;
}
BENCHMARK(BM_First64KiBPlainC)->Unit(benchmark::kMillisecond);

} // namespace
