// The lines of a journal: names escaped as text, fields, numbers, and a reader that
// goes through a journal line by line with memory bounded by the longest line.
#pragma once

#include "engine/unique_fd.hpp"

#include <array>
#include <charconv>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Every byte outside "!".."~" and the backslash as \xHH.
void EscapeName(std::string_view bytes, std::string& out);
// The bytes of an escaped name into `out`; false when an escape is malformed.
bool UnescapeName(std::string_view text, std::string& out);

// The space-separated fields of a line, without a copy. No record has more than
// kMost fields: a line with more counts kMost + 1.
class Fields {
public:
    static constexpr std::size_t kMost = 10;

    explicit Fields(std::string_view line);
    std::size_t size() const { return count_; }
    std::string_view operator[](std::size_t i) const { return i < kMost ? fields_[i] : std::string_view(); }

private:
    std::array<std::string_view, kMost> fields_{};
    std::size_t count_ = 0;
};

template <typename T> bool Number(std::string_view text, T& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// A journal read from its start, line by line, in blocks. A line longer than any a
// journal writes makes it fail, and so does a read error; a last line without its
// end (torn by a crash) is left out.
class JournalLines {
public:
    // The longest line a journal holds: a folder line with a path of PATH_MAX bytes
    // all escaped, with room to spare.
    static constexpr std::size_t kLongestLine = std::size_t{1} << 16;

    explicit JournalLines(int fd);
    JournalLines(const JournalLines&) = delete;
    JournalLines& operator=(const JournalLines&) = delete;

    // The next whole line, without its "\n"; nothing at the end or on failure.
    std::optional<std::string_view> Next();
    // The end was not reached: a line too long, or the file could not be read (errno
    // value in Error()).
    bool Failed() const { return failed_; }
    int Error() const { return error_; }
    bool TooLong() const { return failed_ && error_ == 0; }
    // The bytes read so far, torn last line included.
    std::uint64_t BytesRead() const { return read_; }

private:
    bool Fill();

    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    int fd_;
    std::unique_ptr<char[]> buffer_;
    std::size_t start_ = 0; // of the unread bytes in buffer_
    std::size_t end_ = 0;
    std::uint64_t read_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    int error_ = 0;
};

} // namespace quorvel
