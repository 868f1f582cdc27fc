#include "metadata/exiv2_io.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exiv2/error.hpp>

namespace quorvel::metadata {
namespace {

constexpr std::size_t kWindow = 64 * 1024;

} // namespace

int FileSourceIo::open() {
    pos_ = 0;
    eof_ = false;
    return 0;
}

int FileSourceIo::close() {
    return 0;
}

long FileSourceIo::write(const Exiv2::byte*, long) {
    return 0;
}

long FileSourceIo::write(Exiv2::BasicIo&) {
    return 0;
}

int FileSourceIo::putb(Exiv2::byte) {
    return EOF;
}

void FileSourceIo::transfer(Exiv2::BasicIo&) {
    throw Exiv2::Error(Exiv2::kerFunctionNotSupported, "FileSourceIo::transfer");
}

long FileSourceIo::Available() const {
    const std::uint64_t size = source_.Size();
    return static_cast<std::uint64_t>(pos_) >= size
               ? 0
               : static_cast<long>(size - static_cast<std::uint64_t>(pos_));
}

long FileSourceIo::read(Exiv2::byte* buf, long rcount) {
    if (rcount <= 0) {
        return 0;
    }
    const long available = Available();
    const std::size_t wanted = static_cast<std::size_t>(std::min(rcount, available));
    std::size_t got = 0;
    const std::uint64_t at = static_cast<std::uint64_t>(pos_);
    if (wanted >= kWindow) {
        got = source_.ReadAt(at, buf, wanted);
    } else if (wanted > 0) {
        if (at < windowStart_ || at + wanted > windowStart_ + window_.size()) {
            window_.resize(kWindow);
            window_.resize(source_.ReadAt(at, window_.data(), kWindow));
            windowStart_ = at;
        }
        got = std::min(wanted, static_cast<std::size_t>(windowStart_ + window_.size() - at));
        std::memcpy(buf, window_.data() + (at - windowStart_), got);
    }
    pos_ += static_cast<long>(got);
    if (rcount > available || got < wanted) {
        eof_ = true;
    }
    return static_cast<long>(got);
}

Exiv2::DataBuf FileSourceIo::read(long rcount) {
    // Never more room than the file has left, whatever size its data claims.
    const long count = std::max(0L, std::min(rcount, Available()));
    Exiv2::DataBuf buf(count);
    buf.size_ = read(buf.pData_, count);
    if (rcount > count) {
        eof_ = true;
    }
    return buf;
}

int FileSourceIo::getb() {
    Exiv2::byte b = 0;
    return read(&b, 1) == 1 ? b : EOF;
}

int FileSourceIo::seek(long offset, Position pos) {
    long base = 0;
    switch (pos) {
    case BasicIo::cur:
        base = pos_;
        break;
    case BasicIo::beg:
        base = 0;
        break;
    case BasicIo::end:
        base = static_cast<long>(source_.Size());
        break;
    }
    long target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0) {
        return 1;
    }
    if (static_cast<std::uint64_t>(target) > source_.Size()) {
        eof_ = true;
        return 1;
    }
    pos_ = target;
    eof_ = false;
    return 0;
}

Exiv2::byte* FileSourceIo::mmap(bool isWriteable) {
    if (isWriteable) {
        throw Exiv2::Error(Exiv2::kerFunctionNotSupported, "FileSourceIo::mmap");
    }
    const std::uint64_t size = source_.Size();
    if (size > kWholeFileLimit) {
        throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
    }
    if (whole_.size() != size) {
        whole_.resize(static_cast<std::size_t>(size));
        if (source_.ReadAt(0, whole_.data(), whole_.size()) != whole_.size()) {
            whole_.clear();
            throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
        }
    }
    return whole_.data();
}

int FileSourceIo::munmap() {
    whole_.clear();
    whole_.shrink_to_fit();
    return 0;
}

long FileSourceIo::tell() const {
    return pos_;
}

std::size_t FileSourceIo::size() const {
    return static_cast<std::size_t>(source_.Size());
}

bool FileSourceIo::isopen() const {
    return true;
}

int FileSourceIo::error() const {
    return source_.Failed() ? 1 : 0;
}

bool FileSourceIo::eof() const {
    return eof_;
}

std::string FileSourceIo::path() const {
    return source_.Name();
}

} // namespace quorvel::metadata
