// The cache of facts, and the facts of many files read on the pool.
#include "metadata/fixtures.hpp"
#include "metadata/read_facts.hpp"
#include "metadata/read_many.hpp"
#include "support/temp_dir.hpp"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quorvel {
namespace {

// Writes `replacement` over the first `original` in the file, in place, and puts
// its modification time back: the same inode, size and time, another content.
void PatchKeepingStat(const std::string& path, const std::string& original, const std::string& replacement) {
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const std::string bytes = test::ReadFileBytes(path);
    const std::size_t at = bytes.find(original);
    ASSERT_NE(at, std::string::npos);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, replacement.data(), replacement.size(), static_cast<off_t>(at)),
              static_cast<ssize_t>(replacement.size()));
    ::close(fd);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class MetadataCache : public ::testing::Test {
protected:
    void SetUp() override {
        QUORVEL_NEED_TOOL(python, "Pillow (python3-pil)");
        test::MakePicture(dir_ / "a.jpg", 8, 8, "{0x010f: 'Canon'}", "{0x9003: '2024:07:14 15:30:12'}");
        folder_ = ::open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    void TearDown() override {
        if (folder_ >= 0) {
            ::close(folder_);
        }
    }

    test::TempDir dir_;
    int folder_ = -1;
};

TEST_F(MetadataCache, AFileKeptIsNotReadAgainAndMoreFactsReadOnlyWhatIsMissing) {
    FactsCache cache;
    EXPECT_EQ(ReadFacts(folder_, "a.jpg", Fact::Taken, cache).taken->value.year, 2024);
    EXPECT_EQ(cache.Size(), 1U);

    // The same device, inode, size and time: the cache answers, the file is not read.
    PatchKeepingStat(dir_ / "a.jpg", "2024:07:14", "2023:07:14");
    PatchKeepingStat(dir_ / "a.jpg", "Canon", "Nikon");
    EXPECT_EQ(ReadFacts(folder_, "a.jpg", Fact::Taken, cache).taken->value.year, 2024);
    EXPECT_EQ(ReadFacts(folder_, "a.jpg", Fact::Taken).taken->value.year, 2023);

    // Asked for more, it reads only what it was not asked before.
    const FileFacts more = ReadFacts(folder_, "a.jpg", FactSet(Fact::Taken) | Fact::Make, cache);
    EXPECT_EQ(more.taken->value.year, 2024);
    EXPECT_EQ(more.make->value, "Nikon");
    // A fact asked and not found is known to be missing.
    EXPECT_FALSE(ReadFacts(folder_, "a.jpg", Fact::Lens, cache).lens);
    EXPECT_FALSE(ReadFacts(folder_, "a.jpg", Fact::Lens, cache).taken);

    // Touched, it is another version of the file: read again.
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir_ / "a.jpg").c_str(), nullptr, 0), 0);
    EXPECT_EQ(ReadFacts(folder_, "a.jpg", Fact::Taken, cache).taken->value.year, 2023);
    EXPECT_EQ(cache.Size(), 2U);
}

TEST_F(MetadataCache, ManyFilesInTheirOrderWithProgressAndStop) {
    // 600 photos, each taken on a day of its own, among a FIFO and a missing file.
    const std::string bytes = test::ReadFileBytes(dir_ / "a.jpg");
    const std::size_t at = bytes.find("2024:07:14");
    std::vector<FileToRead> files;
    for (int i = 0; i < 600; ++i) {
        std::string copy = bytes;
        char date[16];
        std::snprintf(date, sizeof date, "%04d:07:%02d", 2010 + i / 28, 1 + i % 28);
        copy.replace(at, 10, date);
        const std::string name = "p" + std::to_string(i) + ".jpg";
        dir_.Write(name, copy);
        files.push_back({folder_, name});
    }
    ASSERT_EQ(::mkfifo((dir_ / "fifo.jpg").c_str(), 0600), 0);
    files.insert(files.begin() + 3, {folder_, "fifo.jpg"});
    files.insert(files.begin() + 5, {folder_, "missing.jpg"});

    const auto check = [&](const FactsOfFiles& result) {
        ASSERT_EQ(result.facts.size(), files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            const FileFacts& facts = result.facts[i];
            if (!facts.taken) {
                continue;
            }
            const int n = std::stoi(files[i].name.substr(1));
            EXPECT_EQ(facts.taken->value.year, 2010 + n / 28) << files[i].name;
            EXPECT_EQ(facts.taken->value.day, 1 + n % 28) << files[i].name;
        }
    };

    FactsCache cache;
    std::vector<std::size_t> told;
    const std::thread::id caller = std::this_thread::get_id();
    const FactsOfFiles all = ReadFactsOfFiles(files, Fact::Taken, cache, [&](std::size_t done) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        told.push_back(done);
    });
    EXPECT_FALSE(all.stopped);
    check(all);
    EXPECT_FALSE(all.facts[3].taken || all.facts[5].taken);
    EXPECT_EQ(std::count_if(all.facts.begin(), all.facts.end(), [](const FileFacts& f) { return f.taken; }),
              600);
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), files.size());
    EXPECT_EQ(cache.Size(), 600U);

    // Stopped before it starts: nothing read.
    std::stop_source stopped;
    stopped.request_stop();
    FactsCache empty;
    const FactsOfFiles none = ReadFactsOfFiles(files, Fact::Taken, empty, {}, stopped.get_token());
    EXPECT_TRUE(none.stopped);
    EXPECT_EQ(empty.Size(), 0U);

    // Stopped at the first news of progress: each thread ends the file it is
    // reading and starts no other; the files read are read right, the others empty.
    std::stop_source stop;
    std::size_t keptAtStop = 0;
    std::size_t last = 0;
    FactsCache partial;
    const FactsOfFiles some = ReadFactsOfFiles(
        files, Fact::Taken, partial,
        [&](std::size_t done) {
            if (!stop.stop_requested()) {
                stop.request_stop();
                keptAtStop = partial.Size();
            }
            last = done;
        },
        stop.get_token());
    check(some);
    EXPECT_EQ(some.stopped, last < files.size());
    EXPECT_LE(partial.Size(), keptAtStop + kFactReadingThreads);
    EXPECT_EQ(std::count_if(some.facts.begin(), some.facts.end(), [](const FileFacts& f) { return f.taken; }),
              static_cast<std::ptrdiff_t>(partial.Size()));
}

} // namespace
} // namespace quorvel
