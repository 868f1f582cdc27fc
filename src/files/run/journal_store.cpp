#include "files/run/journal_store.hpp"

#include "files/listing/folder_listing.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/safe_rename.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

// Belongs to the user, and nobody else may write to it.
bool Safe(const struct stat& st) {
    return st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string JournalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
        return std::string(state) + "/quorvel";
    }
    std::string home;
    if (const char* h = std::getenv("HOME"); h != nullptr && h[0] != '\0') {
        home = h;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        home = pw->pw_dir;
    }
    return home + "/.local/state/quorvel";
}

std::optional<JournalStore> JournalStore::Open(const std::string& path, Use use, std::string& error) {
    std::string folder = path;
    while (folder.size() > 1 && folder.ends_with('/')) {
        folder.pop_back();
    }
    JournalStore store(folder);
    if (use == Use::Write && !MakeFolders(folder)) {
        error = Quoted(folder) + " : " + FolderErrorText(errno);
        return std::nullopt;
    }
    // A symbolic link the user made to a folder elsewhere is followed: what counts
    // is the folder it leads to.
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid()) {
        if (errno == ENOENT && use == Use::Read) {
            store.missing_ = true;
            return store;
        }
        error = Quoted(folder) + " : " + FolderErrorText(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !Safe(st)) {
        error = UnsafeJournalFolderText(folder);
        return std::nullopt;
    }
    return store;
}

std::vector<std::string> JournalStore::Journals() const {
    std::vector<std::string> names;
    if (missing_) {
        return names;
    }
    int error = 0;
    const UniqueFd fd = OpenFolder(FolderPath(path_), error);
    FolderListing listing;
    if (!fd.Valid() || ListFolder(fd.Get(), listing) != 0) {
        return names;
    }
    for (std::size_t i = 0; i < listing.Count(); ++i) {
        const std::string_view name = listing.Name(i);
        if (name.ends_with(kJournalSuffix) && name.front() != '.') {
            names.emplace_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    for (std::string& name : names) {
        name.insert(0, path_ + "/");
    }
    return names;
}

bool JournalStore::Holds(std::string_view journal) const {
    if (journal.size() <= path_.size() + 1 || !journal.starts_with(path_) || journal[path_.size()] != '/') {
        return false;
    }
    const std::string_view name = journal.substr(path_.size() + 1);
    return name.find('/') == std::string_view::npos && name.ends_with(kJournalSuffix) && name.front() != '.';
}

UniqueFd OpenJournalFile(const std::string& path, std::uint64_t& size, std::string& why) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid()) {
        why = errno == ELOOP ? std::string(kNotAJournalText) : JournalUnreadableText(RenameErrorText(errno));
        return {};
    }
    if (::fstat(fd.Get(), &st) != 0) {
        why = JournalUnreadableText(RenameErrorText(errno));
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        why = kNotAJournalText;
        return {};
    }
    if (!Safe(st)) {
        why = kJournalUnsafeText;
        return {};
    }
    size = static_cast<std::uint64_t>(st.st_size);
    if (size > kMostJournalBytes) {
        why = kJournalTooLargeText;
        return {};
    }
    return fd;
}

} // namespace quorvel
