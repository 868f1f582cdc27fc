#include "cli/records.hpp"

#include "engine/descriptor_io.hpp"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace quorvel::cli {

namespace {
constexpr std::size_t kChunk = std::size_t{1} << 20;
} // namespace

bool ReadRecords(int fd, char separator, const std::function<void(std::string_view)>& visit) {
    std::vector<char> buffer(kChunk);
    std::string pending; // an incomplete record carried over from the previous chunk
    for (;;) {
        const ssize_t n = ReadSome(fd, buffer.data(), buffer.size());
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        std::string_view chunk(buffer.data(), static_cast<std::size_t>(n));
        for (std::size_t end = chunk.find(separator); end != std::string_view::npos;
             end = chunk.find(separator)) {
            if (pending.empty()) {
                visit(chunk.substr(0, end));
            } else {
                pending.append(chunk.substr(0, end));
                visit(pending);
                pending.clear();
            }
            chunk.remove_prefix(end + 1);
        }
        pending.append(chunk);
    }
    if (!pending.empty()) {
        visit(pending);
    }
    return true;
}

} // namespace quorvel::cli
