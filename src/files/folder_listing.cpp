#include "files/folder_listing.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace quorvel {

void FolderListing::Add(std::string_view name, unsigned char type, std::uint64_t inode) {
    entries_.push_back({names_.size(), inode, static_cast<std::uint16_t>(name.size()), type});
    names_.append(name);
}

void FolderListing::Reserve(std::size_t folderBytes) {
    names_.reserve(folderBytes);
    entries_.reserve(folderBytes / 16); // an entry of the smallest name takes 16 bytes or more
}

void FolderListing::Clear() {
    names_.clear();
    entries_.clear();
}

UniqueFd OpenFolder(const std::string& path, int& error) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    error = fd.Valid() ? 0 : errno;
    return fd;
}

int ListFolder(int dirfd, FolderListing& out) {
    out.Clear();
    // A fresh open file description: its reading position is its own.
    const UniqueFd fd(::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid()) {
        return errno;
    }
    // Room for as many entries as the folder's size could hold, so that a folder of
    // a million files is not copied again and again as it is read; room not
    // written to is never touched.
    struct stat st {};
    if (::fstat(fd.Get(), &st) == 0 && st.st_size > 0) {
        out.Reserve(static_cast<std::size_t>(std::min<off_t>(st.st_size, off_t{1} << 30)));
    }
    constexpr std::size_t kBuffer = std::size_t{1} << 18;
    const auto buffer = std::make_unique<char[]>(kBuffer);
    for (;;) {
        const ssize_t n = ::getdents64(fd.Get(), buffer.get(), kBuffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        for (ssize_t at = 0; at < n;) {
            dirent64 entry;
            // The records are packed in the buffer; copy the fixed part to read it.
            std::memcpy(&entry, buffer.get() + at, offsetof(dirent64, d_name));
            const char* name = buffer.get() + at + offsetof(dirent64, d_name);
            const std::size_t length = ::strnlen(name, entry.d_reclen - offsetof(dirent64, d_name));
            const bool dots = name[0] == '.' && (length == 1 || (length == 2 && name[1] == '.'));
            if (!dots && length > 0) {
                out.Add(std::string_view(name, length), entry.d_type, entry.d_ino);
            }
            at += entry.d_reclen;
        }
    }
}

} // namespace quorvel
