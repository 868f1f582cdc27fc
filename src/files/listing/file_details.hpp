// The size and date of a listed file, read from the folder when they are wanted
// (a scan with ScanDetail::NamesOnly leaves them out), and kept once read.
#pragma once

#include "files/listing/project_file.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace quorvel {

struct FileDetails {
    std::int64_t size = 0; // bytes
    std::int64_t date = 0; // modification time, whole seconds since the Unix epoch
};

// The size and date of `file`, the record of `list`, read through the descriptor
// the list keeps for its folder (by its path otherwise): those of what a link
// points to, of the link itself when it points nowhere; the record's own when the
// scan read them. Nothing when the file is gone or cannot be read.
std::optional<FileDetails> ReadFileDetails(const TListFiles& list, const TProjectFile& file);

// The details of the records of one list, each read at its first call and then
// kept; Clear when the records are replaced.
class FileDetailCache {
public:
    const std::optional<FileDetails>& Of(const TListFiles& list, std::size_t index);
    void Clear() { known_.clear(); }

private:
    std::unordered_map<std::size_t, std::optional<FileDetails>> known_;
};

} // namespace quorvel
