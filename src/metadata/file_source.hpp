// A regular file opened once to read its facts, read at given offsets only.
//
// Whatever reads a file's facts (exiv2, TagLib, the parser of video boxes) reads
// through one FileSource, each from its own position, so that the file is opened
// once and never read past what it held when it was opened. Every file has a budget
// of bytes: a reader that scans on and on (a photo of junk, a tag that claims a
// gigabyte) is stopped there, and the file simply has no facts.
#pragma once

#include "engine/unique_fd.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace quorvel::metadata {

// The most a reader may take in one piece (exiv2 takes a TIFF-based raw whole), and
// the most read of one file in all.
inline constexpr std::uint64_t kWholeFileLimit = std::uint64_t{256} << 20;
inline constexpr std::uint64_t kReadBudget = kWholeFileLimit + (std::uint64_t{64} << 20);

class FileSource {
public:
    // Opens `name` in `dirfd` for reading, without waiting (O_NONBLOCK) and without
    // becoming its controlling terminal; `status` is the fstat of what was opened.
    // Nothing when it cannot be opened or is not a regular file: a FIFO, a device, a
    // socket, a link to one of them are never read.
    static std::optional<FileSource> Open(int dirfd, const std::string& name, struct stat& status);

    // The size when opened.
    std::uint64_t Size() const { return size_; }
    // The name it was opened by, for the readers' messages.
    const std::string& Name() const { return name_; }

    // Reads up to `size` bytes at `offset` into `buffer`: fewer at the end of the
    // file, on an error or once the budget is spent (then Failed() says so).
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    bool Failed() const { return failed_; }

private:
    FileSource(UniqueFd fd, std::uint64_t size, std::string name)
        : fd_(std::move(fd)), size_(size), name_(std::move(name)) {}

    UniqueFd fd_;
    std::uint64_t size_ = 0;
    std::string name_;
    std::uint64_t spent_ = 0;
    bool failed_ = false;
};

} // namespace quorvel::metadata
