#include "metadata/mp4_boxes.hpp"

#include <cstring>

namespace quorvel::metadata {

std::optional<std::uint32_t> Be32(std::string_view bytes, std::size_t at) {
    if (at > bytes.size() || bytes.size() - at < 4) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

std::optional<std::uint64_t> Be64(std::string_view bytes, std::size_t at) {
    const std::optional<std::uint32_t> high = Be32(bytes, at);
    const std::optional<std::uint32_t> low = Be32(bytes, at + 4);
    if (!high || !low) {
        return std::nullopt;
    }
    return (std::uint64_t{*high} << 32) | *low;
}

std::optional<Box> BoxList::Next() {
    if (boxesLeft_ <= 0 || next_ >= end_ || end_ - next_ < 8) {
        return std::nullopt;
    }
    char header[16] = {};
    if (source_.ReadAt(next_, header, 8) != 8) {
        return std::nullopt;
    }
    const std::string_view bytes(header, sizeof header);
    std::uint64_t size = *Be32(bytes, 0);
    std::uint64_t headerSize = 8;
    if (size == 1) {
        // A 64-bit size follows the type.
        if (end_ - next_ < 16 || source_.ReadAt(next_ + 8, header + 8, 8) != 8) {
            return std::nullopt;
        }
        size = *Be64(bytes, 8);
        headerSize = 16;
    } else if (size == 0) {
        // The last box, to the end of its parent.
        size = end_ - next_;
    }
    if (size < headerSize || size > end_ - next_) {
        return std::nullopt;
    }
    Box box;
    std::memcpy(box.type.data(), header + 4, 4);
    box.start = next_;
    box.payload = next_ + headerSize;
    box.end = next_ + size;
    next_ = box.end;
    --boxesLeft_;
    return box;
}

std::optional<Box> BoxList::Find(std::string_view name) {
    while (const std::optional<Box> box = Next()) {
        if (box->Is(name)) {
            return box;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadPayload(FileSource& source, const Box& box, std::size_t most) {
    if (box.PayloadSize() > most) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(box.PayloadSize()), '\0');
    if (source.ReadAt(box.payload, bytes.data(), bytes.size()) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace quorvel::metadata
