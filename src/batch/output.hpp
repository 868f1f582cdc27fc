// Writing to a file descriptor, buffered.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

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

// "1 fichier", "2 fichiers", "0 renommé": the count and the word, in the language of
// the messages (French: plural from 2 on; English: "0 files").
std::string CountText(std::size_t n, const char* singular, const char* plural);

// Writes one line to standard error.
void Say(std::string_view text);

} // namespace quorvel
