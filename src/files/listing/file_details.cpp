#include "files/listing/file_details.hpp"

#include "engine/codec.hpp"

#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace quorvel {

std::optional<FileDetails> ReadFileDetails(const TListFiles& list, const TProjectFile& file) {
    if (file.Size() >= 0 && file.Date() >= 0) {
        return FileDetails{file.Size(), file.Date()};
    }
    const std::optional<int> dirfd = list.FolderDescriptor(file.SharedFolder());
    const std::string path = dirfd ? file.NameBytes() : EncodeName(file.FullPath());
    const int at = dirfd.value_or(AT_FDCWD);
    struct stat st {};
    if (::fstatat(at, path.c_str(), &st, 0) != 0 &&
        ::fstatat(at, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return FileDetails{static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec)};
}

const std::optional<FileDetails>& FileDetailCache::Of(const TListFiles& list, std::size_t index) {
    if (const auto it = known_.find(index); it != known_.end()) {
        return it->second;
    }
    return known_.emplace(index, ReadFileDetails(list, list.Items(index))).first->second;
}

} // namespace quorvel
