// exiv2's view of a FileSource: a read-only BasicIo that reads at its own position
// through the file's one descriptor.
//
// Sequential readers (JPEG, PNG, WebP, the boxes of HEIF) read little: a window of
// 64 KiB read ahead serves their many small reads and single bytes. exiv2 takes
// TIFF and the raws built on it whole, through mmap(): they are read into memory
// rather than mapped, up to kWholeFileLimit, so that a file shortened while it is
// read is a read that fails, not a SIGBUS.
#pragma once

#include "metadata/file_source.hpp"

#include <exiv2/basicio.hpp>
#include <vector>

namespace quorvel::metadata {

class FileSourceIo final : public Exiv2::BasicIo {
public:
    explicit FileSourceIo(FileSource& source) : source_(source) {}

    int open() override;
    int close() override;
    long write(const Exiv2::byte* data, long wcount) override;
    long write(Exiv2::BasicIo& src) override;
    int putb(Exiv2::byte data) override;
    Exiv2::DataBuf read(long rcount) override;
    long read(Exiv2::byte* buf, long rcount) override;
    int getb() override;
    void transfer(Exiv2::BasicIo& src) override;
    int seek(long offset, Position pos) override;
    Exiv2::byte* mmap(bool isWriteable = false) override;
    int munmap() override;
    long tell() const override;
    std::size_t size() const override;
    bool isopen() const override;
    int error() const override;
    bool eof() const override;
    std::string path() const override;

private:
    long Available() const;

    FileSource& source_;
    long pos_ = 0;
    bool eof_ = false;
    std::vector<Exiv2::byte> window_;
    std::uint64_t windowStart_ = 0;
    std::vector<Exiv2::byte> whole_;
};

} // namespace quorvel::metadata
