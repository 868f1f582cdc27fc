#include "files/listing/project_file.hpp"

#include "engine/codec.hpp"
#include "files/listing/list_error.hpp"
#include "files/listing/name_order.hpp"

#include <algorithm>

namespace quorvel {

namespace {

const std::shared_ptr<const ScannedFolder>& EmptyFolder() {
    static const auto empty = std::make_shared<const ScannedFolder>();
    return empty;
}

} // namespace

TProjectFile::TProjectFile(std::shared_ptr<const ScannedFolder> folder, std::string nameBytes,
                           std::int64_t size, std::int64_t date, std::uint32_t entry, EntryKind kind)
    : name_(std::move(nameBytes)), folder_(folder ? std::move(folder) : EmptyFolder()), size_(size),
      date_(date), entry_(entry), kind_(kind) {
    name_.shrink_to_fit(); // a million records: no spare room in any of them
}

TProjectFile::TProjectFile(std::shared_ptr<const ScannedFolder> folder, TextView name, std::int64_t size,
                           std::int64_t date)
    : TProjectFile(std::move(folder), EncodeName(name), size, date) {}

Text TProjectFile::Name() const {
    return DecodeName(name_);
}

Text TProjectFile::FullPath() const {
    Text path = folder_->shown;
    DecodeNameInto(name_, path);
    return path;
}

const TProjectFile& TListFiles::Items(std::size_t index) const {
    if (index >= items_.size()) {
        throw ListIndexError(static_cast<std::int64_t>(index));
    }
    return items_[index];
}

void TListFiles::Clear() {
    items_.clear();
    items_.shrink_to_fit();
    onlyFolder_.reset();
    sorted_ = true;
    lastFolder_.reset();
    descriptors_.clear();
    listings_.clear();
}

// The maps are keyed by the folder's address: the records keep the folder alive
// as long as the list holds them, and Clear empties both maps.
void TListFiles::KeepFolderDescriptor(const std::shared_ptr<const ScannedFolder>& folder, UniqueFd fd) {
    descriptors_[folder.get()] = std::make_shared<const UniqueFd>(std::move(fd));
}

std::optional<int> TListFiles::FolderDescriptor(const std::shared_ptr<const ScannedFolder>& folder) const {
    const auto it = descriptors_.find(folder.get());
    if (it == descriptors_.end()) {
        return std::nullopt;
    }
    return it->second->Get();
}

void TListFiles::KeepFolderListing(const std::shared_ptr<const ScannedFolder>& folder,
                                   FolderListing listing) {
    listings_[folder.get()] =
        Kept{folder, std::make_shared<const FolderListing>(std::move(listing)), nullptr};
}

const TListFiles::Kept* TListFiles::KeptOf(const std::shared_ptr<const ScannedFolder>& folder) const {
    const auto it = listings_.find(folder.get());
    return it == listings_.end() ? nullptr : &it->second;
}

const FolderListing* TListFiles::KeptListing(const std::shared_ptr<const ScannedFolder>& folder) const {
    const Kept* kept = KeptOf(folder);
    return kept == nullptr ? nullptr : kept->listing.get();
}

std::optional<std::reference_wrapper<const ListingIndex>>
TListFiles::KeptListingIndex(const std::shared_ptr<const ScannedFolder>& folder) const {
    const Kept* kept = KeptOf(folder);
    if (kept == nullptr) {
        return std::nullopt;
    }
    if (!kept->index) {
        kept->index = std::make_shared<const ListingIndex>(*kept->listing);
    }
    return std::cref(*kept->index);
}

namespace {

// The order of Sort: the folders of a tree in the order they were scanned, then
// the names.
bool Before(const TProjectFile& a, const TProjectFile& b) {
    if (a.SharedFolder()->sequence != b.SharedFolder()->sequence) {
        return a.SharedFolder()->sequence < b.SharedFolder()->sequence;
    }
    if (const int c = CompareFileNames(a, b); c != 0) {
        return c < 0;
    }
    if (a.NameBytes() != b.NameBytes()) {
        return a.NameBytes() < b.NameBytes();
    }
    return a.Folder() < b.Folder();
}

} // namespace

void TListFiles::Sort() {
    const auto before = [](const TProjectFile& a, const TProjectFile& b) { return Before(a, b); };
    if (sorted_) {
        return;
    }
    // Keys and places are sorted, then the records moved into their order.
    LargeVector<NameKey> keys;
    keys.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        keys.push_back(NameKeyOf(items_[i].NameBytes(), i));
    }
    const bool oneFolder = std::all_of(items_.begin(), items_.end(), [&](const TProjectFile& f) {
        return f.SharedFolder()->sequence == items_.front().SharedFolder()->sequence;
    });
    if (oneFolder) {
        SortNameKeys(keys, [&](std::size_t a, std::size_t b) { return before(items_[a], items_[b]); });
    } else { // the folders of a tree first, then the keys of the names
        std::sort(keys.begin(), keys.end(), [&](const NameKey& a, const NameKey& b) {
            const std::uint32_t sa = items_[a.index].SharedFolder()->sequence;
            const std::uint32_t sb = items_[b.index].SharedFolder()->sequence;
            if (sa != sb) {
                return sa < sb;
            }
            if (a.high != b.high || a.low != b.low) {
                return a.high != b.high ? a.high < b.high : a.low < b.low;
            }
            return before(items_[a.index], items_[b.index]);
        });
    }
    // In place, one cycle of the permutation after the other: no second copy of the
    // records. A place done points to itself.
    for (std::size_t start = 0; start < keys.size(); ++start) {
        if (keys[start].index == start) {
            continue;
        }
        TProjectFile held = std::move(items_[start]);
        std::size_t at = start;
        while (keys[at].index != start) {
            const std::size_t from = keys[at].index;
            items_[at] = std::move(items_[from]);
            keys[at].index = at;
            at = from;
        }
        items_[at] = std::move(held);
        keys[at].index = at;
    }
    sorted_ = true;
}

void TListFiles::Rearrange(std::span<const std::size_t> order) {
    std::vector<bool> seen(items_.size(), false);
    for (const std::size_t index : order) {
        if (index >= items_.size() || seen[index]) {
            throw ListIndexError(static_cast<std::int64_t>(index));
        }
        seen[index] = true;
    }
    if (order.size() != items_.size()) {
        throw ListIndexError(static_cast<std::int64_t>(order.size()));
    }
    LargeVector<TProjectFile> arranged;
    arranged.reserve(items_.size());
    for (const std::size_t index : order) {
        arranged.push_back(std::move(items_[index]));
    }
    items_ = std::move(arranged);
    sorted_ = std::is_sorted(items_.begin(), items_.end(), Before);
}

void TListFiles::Add(TProjectFile file) {
    if (items_.empty()) {
        onlyFolder_ = file.SharedFolder();
    } else {
        if (onlyFolder_ != file.SharedFolder()) {
            onlyFolder_.reset();
        }
        sorted_ = sorted_ && !Before(file, items_.back());
    }
    items_.push_back(std::move(file));
}

std::shared_ptr<const ScannedFolder> TListFiles::SharedFolder(const FolderPath& folder, std::uint64_t device,
                                                              std::uint64_t inode) {
    if (!lastFolder_ || lastFolder_->path != folder || lastFolder_->device != device ||
        lastFolder_->inode != inode) {
        auto shared = std::make_shared<ScannedFolder>();
        shared->path = folder;
        shared->shown = folder.Shown();
        shared->device = device;
        shared->inode = inode;
        lastFolder_ = std::move(shared);
    }
    return lastFolder_;
}

TextView FolderName(TextView folder) {
    while (!folder.empty() && folder.back() == U'/') {
        folder.remove_suffix(1);
    }
    const std::size_t slash = folder.rfind(U'/');
    return slash == TextView::npos ? folder : folder.substr(slash + 1);
}

Text JoinPath(TextView dir, TextView name) {
    Text path;
    path.reserve(dir.size() + name.size() + 1);
    path.append(dir);
    if (!dir.empty() && dir.back() != U'/' && !name.starts_with(U'/')) {
        path.push_back(U'/');
    }
    path.append(name);
    return path;
}

void AddFoundFile(TListFiles& list, TextView fullPath, std::int64_t size, std::int64_t date) {
    const std::size_t slash = fullPath.rfind(U'/');
    const std::size_t cut = slash == TextView::npos ? 0 : slash + 1;
    list.Add(TProjectFile(list.SharedFolder(FolderPath(EncodeName(fullPath.substr(0, cut)))),
                          Text(fullPath.substr(cut)), size, date));
}

int CompareFileNames(const TProjectFile& a, const TProjectFile& b) {
    return CompareFileNames(a.NameBytes(), b.NameBytes());
}

} // namespace quorvel
