#include "metadata/taglib_stream.hpp"

#include <algorithm>
#include <limits>

namespace quorvel::metadata {

TagLib::ByteVector FileSourceStream::readBlock(unsigned long length) {
    const std::uint64_t at = static_cast<std::uint64_t>(pos_);
    if (length == 0 || at >= source_.Size()) {
        return {};
    }
    // Never more room than the file has left, whatever size a tag claims.
    const auto count = static_cast<unsigned int>(std::min<std::uint64_t>(
        {length, source_.Size() - at, std::uint64_t{std::numeric_limits<unsigned int>::max()}}));
    TagLib::ByteVector bytes(count, '\0');
    const std::size_t got = source_.ReadAt(at, bytes.data(), count);
    bytes.resize(static_cast<unsigned int>(got));
    pos_ += static_cast<long>(got);
    return bytes;
}

void FileSourceStream::seek(long offset, Position p) {
    long base = 0;
    if (p == Current) {
        base = pos_;
    } else if (p == End) {
        base = static_cast<long>(source_.Size());
    }
    long target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0) {
        return;
    }
    pos_ = target;
}

} // namespace quorvel::metadata
