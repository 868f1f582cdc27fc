#include "files/listing/folder_listing.hpp"

#include "engine/descriptor_io.hpp"
#include "files/listing/name_order.hpp"

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

void FolderListing::SortByName() {
    LargeVector<NameKey> keys;
    keys.reserve(Count());
    for (std::size_t i = 0; i < Count(); ++i) {
        keys.push_back(NameKeyOf(Name(i), i));
    }
    SortNameKeys(keys, [&](std::size_t a, std::size_t b) {
        const int c = CompareFileNames(Name(a), Name(b));
        return c != 0 ? c < 0 : Name(a) < Name(b);
    });
    // Copied in their new order, the old places asked for ahead of their turn.
    LargeString names;
    names.reserve(names_.size());
    LargeVector<Entry> entries;
    entries.reserve(entries_.size());
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k + 2 * kAhead < keys.size()) {
            PrefetchEntry(keys[k + 2 * kAhead].index);
        }
        if (k + kAhead < keys.size()) {
            PrefetchName(keys[k + kAhead].index);
        }
        const Entry& e = entries_[keys[k].index];
        entries.push_back({names.size(), e.inode, e.size, e.type});
        names.append(names_, e.offset, e.size);
    }
    names_ = std::move(names);
    entries_ = std::move(entries);
}

void FolderListing::Reserve(std::size_t folderBytes) {
    names_.reserve(folderBytes);
    entries_.reserve(folderBytes / 16); // an entry of the smallest name takes 16 bytes or more
}

void FolderListing::Clear() {
    names_.clear();
    entries_.clear();
}

UniqueFd OpenFolder(const FolderPath& path, int& error) {
    UniqueFd fd(::open(path.ForSystem(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
    // One buffer per thread, kept: a tree of ten thousand folders is read without
    // ten thousand fresh pages to zero.
    thread_local const std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(kBuffer);
    for (;;) {
        const ssize_t n = Retried([&] { return ::getdents64(fd.Get(), buffer.get(), kBuffer); });
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

ListedFolder OpenListedFolder(const FolderPath& path, std::optional<int> kept) {
    ListedFolder folder;
    if (kept) {
        folder.fd = *kept;
    } else {
        folder.opened = OpenFolder(path, folder.error);
        folder.fd = folder.opened.Get();
    }
    if (folder.error == 0) {
        folder.error = ListFolder(folder.fd, folder.listing);
    }
    return folder;
}

} // namespace quorvel
