// Folder scan: one listing of the folder, the patterns of the filter tried on each
// name until one matches.
#include "files/listing/scan.hpp"

#include "engine/codec.hpp"
#include "engine/primitives.hpp"
#include "files/listing/filter.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/listing/project_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {

namespace {

// The patterns of a filter, cut at ";" without trimming; empty ones find nothing
// and are left out. A pattern that matches every name ("*", "*.*") makes the
// filter match every name, so that the usual filter costs no decoding of names.
struct Filter {
    std::vector<Text> patterns;
    bool matchAll = false;

    bool Empty() const { return patterns.empty() && !matchAll; }

    // Whether the name `raw` matches at least one pattern; `name` is a buffer for
    // its text. The first pattern that matches ends the search.
    bool Matches(std::string_view raw, Text& name) const {
        if (matchAll) {
            return true;
        }
        if (patterns.empty()) {
            return false;
        }
        name.clear();
        DecodeNameInto(raw, name);
        return std::any_of(patterns.begin(), patterns.end(),
                           [&](const Text& pattern) { return MatchesFilterPattern(name, pattern); });
    }
};

bool MatchesEveryName(TextView pattern) {
    if (pattern.ends_with(U".*")) {
        pattern.remove_suffix(2);
    }
    return !pattern.empty() && pattern.find_first_not_of(U'*') == TextView::npos;
}

Filter ParseFilter(TextView filter) {
    Filter parsed;
    const Pos count = CountOf(filter, U";") + 1;
    for (Pos k = count; k >= 1; --k) {
        const TextView pattern = NthField(filter, U";", k);
        if (MatchesEveryName(pattern)) {
            parsed.matchAll = true;
        } else if (!pattern.empty()) {
            parsed.patterns.emplace_back(pattern);
        }
    }
    return parsed;
}

// Entry types that are known not to be folders without following anything.
bool IsPlainEntry(unsigned char type) {
    return type == DT_REG || type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK;
}

} // namespace

int ScanFolder(const FolderPath& folder, TListFiles& list, TextView filter, ScanDetail detail) {
    if (folder.Empty()) {
        return ENOENT; // no folder given
    }
    errno = 0;
    const std::optional<FolderPath> absolute = folder.Absolute();
    if (!absolute) {
        return errno != 0 ? errno : ENOENT;
    }
    int error = 0;
    UniqueFd fd = OpenFolder(*absolute, error);
    if (!fd.Valid()) {
        return error;
    }
    FolderListing listing;
    if (const int listed = ListFolder(fd.Get(), listing); listed != 0) {
        return listed;
    }
    // In name order, so that the records come in the order they are shown, and a
    // preview goes through the entries in the order of the files.
    listing.SortByName();
    const std::shared_ptr<const ScannedFolder> shared = list.SharedFolder(*absolute);
    list.Reserve(list.Count() + listing.Count());
    const Filter parsed = ParseFilter(filter);
    Text name; // decoding buffer of the filter
    std::string raw;
    for (std::size_t i = 0; i < listing.Count() && !parsed.Empty(); ++i) {
        const std::string_view bytes = listing.Name(i);
        const unsigned char type = listing.Type(i);
        if (type == DT_DIR) {
            continue;
        }
        if (!parsed.Matches(bytes, name)) {
            continue;
        }
        std::int64_t size = -1;
        std::int64_t date = -1;
        if (detail == ScanDetail::SizeAndDate || !IsPlainEntry(type)) {
            // Size and date of what a link points to; of the link itself when it
            // points nowhere. An entry that vanished since the listing is left out.
            raw.assign(bytes);
            struct stat st {};
            if (::fstatat(fd.Get(), raw.c_str(), &st, 0) != 0 &&
                ::fstatat(fd.Get(), raw.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            if (S_ISDIR(st.st_mode)) {
                continue;
            }
            if (detail == ScanDetail::SizeAndDate) {
                size = static_cast<std::int64_t>(st.st_size);
                date = static_cast<std::int64_t>(st.st_mtim.tv_sec);
            }
        }
        list.Add(TProjectFile(shared, std::string(bytes), size, date, static_cast<std::uint32_t>(i)));
    }
    list.KeepFolderDescriptor(shared, std::move(fd));
    list.KeepFolderListing(shared, std::move(listing));
    return 0;
}

} // namespace quorvel
