// Records (names) on standard input and output: one per line, or NUL-terminated
// with -0. Bytes pass through untouched.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace quorvel::cli {

// Reads `fd` to its end and calls `visit` with every record. A record is ended by
// `separator`; a last record without one still counts, an empty tail does not.
// Returns false when reading failed.
bool ReadRecords(int fd, char separator, const std::function<void(std::string_view)>& visit);

// Buffered writer on a file descriptor; remembers whether any write failed.
class Output {
public:
    explicit Output(int fd) : fd_(fd) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output() { Flush(); }

    void Write(std::string_view bytes);
    void Put(char c);
    // Writes what is buffered; false when a write has failed.
    bool Flush();

private:
    int fd_;
    std::string buffer_;
    bool failed_ = false;
};

} // namespace quorvel::cli
