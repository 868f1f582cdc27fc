#include "batch/output.hpp"

#include "engine/descriptor_io.hpp"
#include "files/run/run_messages.hpp"

#include <cerrno>
#include <unistd.h>

namespace quorvel {

namespace {
constexpr std::size_t kChunk = std::size_t{1} << 20;
} // namespace

void Output::Write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kChunk) {
        Flush();
    }
}

void Output::Put(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kChunk) {
        Flush();
    }
}

bool Output::Flush() {
    if (!failed_ && !WriteAll(fd_, buffer_)) {
        failed_ = true;
    }
    buffer_.clear();
    return !failed_;
}

std::string CountText(std::size_t n, const char* singular, const char* plural) {
    return std::to_string(n) + " " + std::string(TrN(singular, plural, n));
}

void Say(std::string_view text) {
    Output err(STDERR_FILENO);
    err.Write(text);
    err.Put('\n');
}

} // namespace quorvel
