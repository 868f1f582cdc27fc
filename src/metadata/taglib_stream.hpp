// TagLib's view of a FileSource: a read-only IOStream at its own position, which
// refuses every write.
#pragma once

#include "metadata/file_source.hpp"

#include <taglib/tiostream.h>

namespace quorvel::metadata {

class FileSourceStream final : public TagLib::IOStream {
public:
    explicit FileSourceStream(FileSource& source) : source_(source) {}

    TagLib::FileName name() const override { return source_.Name().c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long = 0, unsigned long = 0) override {}
    void removeBlock(unsigned long = 0, unsigned long = 0) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p = Beginning) override;
    void clear() override {}
    long tell() const override { return pos_; }
    long length() override { return static_cast<long>(source_.Size()); }
    void truncate(long) override {}

private:
    FileSource& source_;
    long pos_ = 0;
};

} // namespace quorvel::metadata
