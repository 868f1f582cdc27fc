#include "engine/descriptor_io.hpp"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace quorvel {

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    return Retried([&] { return ::read(fd, buffer, size); });
}

ReadBytes ReadAll(int fd, std::size_t most, std::size_t expected) {
    ReadBytes read;
    read.bytes.reserve(std::min(expected, most + 1));
    char buffer[65536];
    while (read.bytes.size() <= most) {
        const ssize_t n = ReadSome(fd, buffer, std::min(sizeof buffer, most + 1 - read.bytes.size()));
        if (n < 0) {
            read.error = errno;
            break;
        }
        if (n == 0) {
            break;
        }
        read.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return read;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = Retried([&] { return ::write(fd, bytes.data(), bytes.size()); });
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace quorvel
