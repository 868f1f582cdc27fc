#include "metadata/file_source.hpp"

#include "engine/descriptor_io.hpp"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace quorvel::metadata {

std::optional<FileSource> FileSource::Open(int dirfd, const std::string& name, struct stat& status) {
    UniqueFd fd(
        Retried([&] { return ::openat(dirfd, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY); }));
    if (!fd.Valid() || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        return std::nullopt;
    }
    return FileSource(std::move(fd), static_cast<std::uint64_t>(status.st_size), name);
}

std::size_t FileSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset >= size_) {
        return 0;
    }
    const std::uint64_t wanted = std::min<std::uint64_t>(size, size_ - offset);
    if (wanted > kReadBudget - spent_) {
        failed_ = true;
        return 0;
    }
    std::size_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < wanted) {
        const ssize_t n = Retried([&] {
            return ::pread(fd_.Get(), out + done, static_cast<std::size_t>(wanted) - done,
                           static_cast<off_t>(offset + done));
        });
        if (n <= 0) {
            // An error, or a file shortened since it was opened.
            failed_ = n < 0 || failed_;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    spent_ += done;
    return done;
}

} // namespace quorvel::metadata
