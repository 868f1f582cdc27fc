#include "files/listing/given_files.hpp"

#include "files/listing/file_uri.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/listing/listing_index.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace quorvel {

namespace {

// A path given, as the real path of its folder (no symbolic link in it, no "/" at
// its end but for the root) and its name there.
struct Place {
    const std::string* folder = nullptr; // owned by the FolderPaths that found it
    std::string name;
};

// The real paths of the folders of the paths given, each resolved once however
// many paths name it: a long list names the same few folders again and again.
class FolderPaths {
public:
    std::optional<Place> PlaceOf(std::string_view path, int& error) {
        while (path.size() > 1 && path.back() == '/') {
            path.remove_suffix(1); // "photos/" names the folder "photos"
        }
        const std::size_t slash = path.rfind('/');
        const std::string_view folder =
            slash == std::string::npos ? std::string_view(".") : (slash == 0 ? "/" : path.substr(0, slash));
        std::string name(slash == std::string::npos ? path : path.substr(slash + 1));
        if (name.empty() || name == "." || name == "..") {
            error = EINVAL;
            return std::nullopt;
        }
        auto found = real_.find(folder);
        if (found == real_.end()) {
            // Resolved as opening it would resolve it; the name itself is never followed.
            const std::string given(folder);
            Resolved resolved;
            const std::unique_ptr<char, decltype(&std::free)> real(::realpath(given.c_str(), nullptr),
                                                                   &std::free);
            if (real) {
                resolved.real = real.get();
            } else {
                resolved.error = errno;
            }
            found = real_.emplace(given, std::move(resolved)).first;
        }
        if (found->second.error != 0) {
            error = found->second.error;
            return std::nullopt;
        }
        return Place{&found->second.real, std::move(name)};
    }

private:
    struct Resolved {
        std::string real;
        int error = 0;
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    // Node-based: the real paths stay where they are as more are added.
    std::unordered_map<std::string, Resolved, Hash, std::equal_to<>> real_;
};

// The path of the "file:" URI `given` (as some file managers hand their selection
// to a bulk-rename tool) when no file has that name; nothing when `given` is the
// path itself.
std::optional<std::string> PathOfUri(const std::string& given) {
    struct stat st {};
    if (given.size() > 5 && (given[0] == 'f' || given[0] == 'F') && ::lstat(given.c_str(), &st) != 0) {
        return LocalPathOfFileUri(given);
    }
    return std::nullopt;
}

// The parts of an absolute path: "/a/b" gives "a" and "b"; "/" none.
std::vector<std::string> PartsOf(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t from = 1;
    while (from < path.size()) {
        const std::size_t slash = path.find('/', from);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        parts.push_back(path.substr(from, end - from));
        from = end + 1;
    }
    return parts;
}

// A folder of the listing: opened, read, its entries by name.
struct Node {
    std::shared_ptr<ScannedFolder> folder;
    UniqueFd fd;
    FolderListing listing;
    // Its entries by name, and which of them are listed already.
    std::unique_ptr<ListingIndex> entries;
    std::vector<bool> taken;
    int error = 0; // why it could not be opened or read
};

class GivenTree {
public:
    GivenTree(TListFiles& list, std::string top) : list_(list), top_(std::move(top)) {}

    // The folder `parts` below the top (made, opened and read the first time).
    Node& FolderAt(const std::vector<std::string>& parts) {
        std::string relative;
        for (const std::string& part : parts) {
            relative += part + "/";
        }
        if (const auto found = nodes_.find(relative); found != nodes_.end()) {
            return found->second;
        }
        Node node;
        if (parts.empty()) {
            const FolderPath path(top_ == "/" ? top_ : top_ + "/");
            node.fd = OpenFolder(path, node.error);
            struct stat st {};
            if (node.error == 0 && ::fstat(node.fd.Get(), &st) != 0) {
                node.error = errno;
            }
            auto folder = std::make_shared<ScannedFolder>();
            folder->path = path;
            folder->shown = path.Shown();
            folder->device = static_cast<std::uint64_t>(st.st_dev);
            folder->inode = static_cast<std::uint64_t>(st.st_ino);
            node.folder = std::move(folder);
        } else {
            const std::vector<std::string> above(parts.begin(), parts.end() - 1);
            Node& parent = FolderAt(above);
            auto folder = std::make_shared<ScannedFolder>();
            folder->parent = parent.folder;
            folder->name = parts.back();
            folder->relative = relative;
            folder->path = FolderPath(parent.folder->path.EntryPath(parts.back()) + "/");
            folder->shown = folder->path.Shown();
            folder->depth = parent.folder->depth + 1;
            folder->sequence = ++sequence_;
            node.error = parent.error;
            if (node.error == 0) {
                node.fd = UniqueFd(::openat(parent.fd.Get(), parts.back().c_str(),
                                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                struct stat st {};
                if (!node.fd.Valid() || ::fstat(node.fd.Get(), &st) != 0) {
                    node.error = errno;
                } else {
                    folder->device = static_cast<std::uint64_t>(st.st_dev);
                    folder->inode = static_cast<std::uint64_t>(st.st_ino);
                }
            }
            node.folder = std::move(folder);
        }
        if (node.error == 0) {
            node.error = ListFolder(node.fd.Get(), node.listing);
        }
        Node& kept = nodes_.emplace(relative, std::move(node)).first->second;
        kept.entries = std::make_unique<ListingIndex>(kept.listing); // the listing stays in the map
        kept.taken.resize(kept.listing.Count());
        return kept;
    }

    // Keeps what was read of every folder with the list.
    void Keep() {
        for (auto& [relative, node] : nodes_) {
            if (node.error != 0) {
                continue;
            }
            list_.KeepFolderListing(node.folder, std::move(node.listing));
            if (relative.empty()) {
                list_.KeepFolderDescriptor(node.folder, std::move(node.fd));
            }
        }
    }

private:
    TListFiles& list_;
    std::string top_;
    std::map<std::string, Node> nodes_;
    std::uint32_t sequence_ = 0;
};

} // namespace

GivenFilesReport ListGivenFiles(std::span<const std::string> paths, TListFiles& list,
                                const GivenProgress& progress) {
    GivenFilesReport report;
    std::vector<std::pair<std::size_t, RefusedPath>> refusals; // by the place of the path given
    FolderPaths folders;
    std::vector<std::optional<Place>> places;
    places.reserve(paths.size());
    std::optional<std::vector<std::string>> top; // the parts every folder begins with
    const std::string* last = nullptr;           // the folder of the path before
    for (std::size_t k = 0; k < paths.size(); ++k) {
        int error = 0;
        const std::optional<std::string> fromUri = PathOfUri(paths[k]);
        places.push_back(folders.PlaceOf(fromUri ? *fromUri : paths[k], error));
        if (!places.back()) {
            refusals.push_back({k, {paths[k], error}});
            continue;
        }
        if (places.back()->folder == last) {
            continue;
        }
        last = places.back()->folder;
        const std::vector<std::string> parts = PartsOf(*last);
        if (!top) {
            top = parts;
        } else {
            std::size_t same = 0;
            while (same < top->size() && same < parts.size() && (*top)[same] == parts[same]) {
                ++same;
            }
            top->resize(same);
        }
    }
    const auto refusedInOrder = [&] {
        std::stable_sort(refusals.begin(), refusals.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [k, refusal] : refusals) {
            report.refused.push_back(std::move(refusal));
        }
    };
    if (!top) {
        refusedInOrder();
        return report;
    }
    std::string topPath;
    for (const std::string& part : *top) {
        topPath += "/" + part;
    }
    if (topPath.empty()) {
        topPath = "/";
    }
    GivenTree tree(list, topPath);
    std::unordered_map<const std::string*, Node*> nodes; // by the real path of the folder
    constexpr std::size_t kEvery = 4096;
    for (std::size_t k = 0; k < places.size(); ++k) {
        if (progress && k % kEvery == kEvery - 1 && !progress(k + 1, places.size())) {
            report.stopped = true;
            break;
        }
        const std::optional<Place>& place = places[k];
        if (!place) {
            continue;
        }
        Node*& known = nodes[place->folder];
        if (known == nullptr) {
            const std::vector<std::string> parts = PartsOf(*place->folder);
            known = &tree.FolderAt(std::vector<std::string>(
                parts.begin() + static_cast<std::ptrdiff_t>(top->size()), parts.end()));
        }
        Node& node = *known;
        if (node.error != 0) {
            refusals.push_back({k, {paths[k], node.error}});
            continue;
        }
        const std::uint32_t entry = node.entries->Find(place->name);
        if (entry != kNoIndex && node.taken[entry]) {
            continue; // given twice
        }
        struct stat own {};
        if (entry == kNoIndex ||
            ::fstatat(node.fd.Get(), place->name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0) {
            refusals.push_back({k, {paths[k], entry == kNoIndex ? ENOENT : errno}});
            continue;
        }
        // Size and date of what a link points to, as a scan shows them; a link to a
        // folder is renamed as a folder is, after the files.
        struct stat st = own;
        if (S_ISLNK(own.st_mode) && ::fstatat(node.fd.Get(), place->name.c_str(), &st, 0) != 0) {
            st = own;
        }
        node.taken[entry] = true;
        list.Add(TProjectFile(node.folder, place->name, static_cast<std::int64_t>(st.st_size),
                              static_cast<std::int64_t>(st.st_mtim.tv_sec), entry,
                              S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::File));
    }
    tree.Keep();
    report.folder = FolderPath(topPath == "/" ? topPath : topPath + "/");
    refusedInOrder();
    return report;
}

} // namespace quorvel
