#include "files/run/journal_text.hpp"

#include "engine/descriptor_io.hpp"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace quorvel {

void EscapeName(std::string_view bytes, std::string& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto plain = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b > 0x20 && b < 0x7F && b != '\\';
    };
    std::size_t from = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (plain(bytes[i])) {
            continue;
        }
        out.append(bytes.substr(from, i - from));
        const auto b = static_cast<unsigned char>(bytes[i]);
        const char escaped[4] = {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
        out.append(escaped, sizeof escaped);
        from = i + 1;
    }
    out.append(bytes.substr(from));
}

bool UnescapeName(std::string_view text, std::string& out) {
    out.clear();
    if (text.find('\\') == std::string_view::npos) {
        out.assign(text);
        return true;
    }
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        unsigned value = 0;
        if (i + 4 > text.size() || text[i + 1] != 'x' ||
            std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16).ptr != text.data() + i + 4) {
            return false;
        }
        out.push_back(static_cast<char>(value));
        i += 3;
    }
    return true;
}

Fields::Fields(std::string_view line) {
    std::size_t start = 0;
    while (start <= line.size() && count_ <= kMost) {
        std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        if (count_ < kMost) {
            fields_[count_] = line.substr(start, end - start);
        }
        ++count_;
        start = end + 1;
    }
}

JournalLines::JournalLines(int fd) : fd_(fd), buffer_(std::make_unique<char[]>(kBlock)) {}

bool JournalLines::Fill() {
    if (start_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    while (end_ < kBlock) {
        const ssize_t n = ReadSome(fd_, buffer_.get() + end_, kBlock - end_);
        if (n < 0) {
            failed_ = true;
            error_ = errno;
            return false;
        }
        if (n == 0) {
            eof_ = true;
            break;
        }
        end_ += static_cast<std::size_t>(n);
        read_ += static_cast<std::uint64_t>(n);
        break;
    }
    return true;
}

std::optional<std::string_view> JournalLines::Next() {
    for (;;) {
        if (failed_) {
            return std::nullopt;
        }
        const char* begin = buffer_.get() + start_;
        const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', end_ - start_));
        if (newline != nullptr) {
            const auto length = static_cast<std::size_t>(newline - begin);
            if (length > kLongestLine) {
                failed_ = true;
                return std::nullopt;
            }
            start_ += length + 1;
            return std::string_view(begin, length);
        }
        if (end_ - start_ > kLongestLine) {
            failed_ = true;
            return std::nullopt;
        }
        if (eof_ || !Fill()) {
            return std::nullopt;
        }
    }
}

} // namespace quorvel
