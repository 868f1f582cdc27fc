// Reading and writing through a file descriptor, a call interrupted by a signal
// made again: what the script files, the settings file, the journals and the
// output of quorvel-cli all read and write through.
#pragma once

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quorvel {

// `call()` (a read, write or such, which returns -1 and sets errno on failure),
// made again as long as a signal interrupts it.
template <typename Call> auto Retried(const Call& call) {
    for (;;) {
        const auto n = call();
        if (n >= 0 || errno != EINTR) {
            return n;
        }
    }
}

// read(2) of up to `size` bytes into `buffer`: the bytes read, 0 at the end, or -1
// with errno set.
ssize_t ReadSome(int fd, char* buffer, std::size_t size);

// What ReadAll read: the bytes, and the errno value of a read that failed (0 when
// it read to the end or to its limit).
struct ReadBytes {
    std::string bytes;
    int error = 0;
};

// Reads `fd` to its end, but never more than `most` + 1 bytes, so that a file
// larger than `most` (or one that grew while it was read) shows as larger.
// `expected` is the size to make room for.
ReadBytes ReadAll(int fd, std::size_t most, std::size_t expected = 0);

// Writes all of `bytes`; false with errno set (EIO when nothing could be written).
bool WriteAll(int fd, std::string_view bytes);

} // namespace quorvel
