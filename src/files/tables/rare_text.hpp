// A text that few files of a run have (a reason, a note, a temporary name): the size
// of a pointer when it is empty, as it is for most of a million files, instead of
// the 32 bytes of a string.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace quorvel {

class RareText {
public:
    RareText() = default;
    RareText(const RareText& other) { *this = other.str(); }
    RareText(RareText&&) noexcept = default;
    RareText& operator=(const RareText& other) {
        if (this != &other) {
            *this = other.str();
        }
        return *this;
    }
    RareText& operator=(RareText&&) noexcept = default;
    ~RareText() = default;

    RareText& operator=(std::string text) {
        if (text.empty()) {
            text_.reset();
        } else if (text_) {
            *text_ = std::move(text);
        } else {
            text_ = std::make_unique<std::string>(std::move(text));
        }
        return *this;
    }
    RareText& operator=(std::string_view text) { return *this = std::string(text); }
    RareText& operator=(const char* text) { return *this = std::string(text); }
    RareText& operator+=(std::string_view more) {
        if (!more.empty()) {
            if (!text_) {
                text_ = std::make_unique<std::string>();
            }
            text_->append(more);
        }
        return *this;
    }

    RareText& operator+=(const std::string& more) { return *this += std::string_view(more); }

    bool empty() const { return !text_ || text_->empty(); }
    void clear() { text_.reset(); }
    const std::string& str() const {
        static const std::string kEmpty;
        return text_ ? *text_ : kEmpty;
    }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }

    friend bool operator==(const RareText& a, const RareText& b) { return a.str() == b.str(); }
    friend bool operator==(const RareText& a, std::string_view b) { return std::string_view(a.str()) == b; }
    friend bool operator==(const RareText& a, const char* b) { return std::string_view(a.str()) == b; }
    friend std::ostream& operator<<(std::ostream& out, const RareText& text) { return out << text.str(); }

private:
    std::unique_ptr<std::string> text_;
};

} // namespace quorvel
