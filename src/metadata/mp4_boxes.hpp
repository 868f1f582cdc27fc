// The boxes of ISO media files (MP4, MOV, M4V, 3GP, HEIF...): a careful reader that
// trusts no size. A box lies wholly inside its parent, a child list is walked to a
// bounded count, and nothing is read beyond the file.
#pragma once

#include "metadata/file_source.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::metadata {

struct Box {
    std::array<char, 4> type{};
    std::uint64_t start = 0;   // where its header begins
    std::uint64_t payload = 0; // where its content begins
    std::uint64_t end = 0;     // just past its content

    bool Is(std::string_view name) const { return name == std::string_view(type.data(), type.size()); }
    std::uint64_t PayloadSize() const { return end - payload; }
};

// The most boxes read of one file, all lists together.
inline constexpr int kMaxBoxesOfFile = 20000;

// The boxes found in [begin, end) one after another. `boxesLeft` is shared by the
// lists of one file, so that no nesting of lists reads more than kMaxBoxesOfFile.
class BoxList {
public:
    BoxList(FileSource& source, std::uint64_t begin, std::uint64_t end, int& boxesLeft)
        : source_(source), next_(begin), end_(end), boxesLeft_(boxesLeft) {}
    // The next box, or nothing at the end of the list, on a box whose size does not
    // fit in it, or once the file's boxes are spent.
    std::optional<Box> Next();
    // The first box of type `name` that follows, or nothing.
    std::optional<Box> Find(std::string_view name);

private:
    FileSource& source_;
    std::uint64_t next_;
    std::uint64_t end_;
    int& boxesLeft_;
};

// The content of `box`, when it is no larger than `most` bytes and can be read whole.
std::optional<std::string> ReadPayload(FileSource& source, const Box& box, std::size_t most);

// Big-endian numbers of `bytes` at `at`: nothing past its end.
std::optional<std::uint32_t> Be32(std::string_view bytes, std::size_t at);
std::optional<std::uint64_t> Be64(std::string_view bytes, std::size_t at);

} // namespace quorvel::metadata
