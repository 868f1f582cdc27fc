#include "files/run/file_order.hpp"

#include "files/listing/file_details.hpp"
#include "files/run/selection_facts.hpp"

#include <algorithm>
#include <tuple>
#include <utility>

namespace quorvel {

namespace {

// A moment as a key that sorts: the wall clock of the place, then the sub-seconds
// as written (padded, so that "5" is after "347" as 0.5 s is after 0.347 s).
std::tuple<int, int, int, int, int, int, std::string> KeyOf(const LocalTime& t) {
    std::string sub = t.subSeconds;
    sub.resize(9, '0');
    return {t.year, t.month, t.day, t.hour, t.minute, t.second, sub};
}

// The place of the folder of each record in the order of a tree scan: the files of
// one folder stay together, the folders in that order. Every record of a scan of
// one folder is in folder 0.
std::vector<std::uint32_t> FoldersOf(const std::vector<std::size_t>& indexes, const TListFiles& files) {
    std::vector<std::uint32_t> folders;
    folders.reserve(indexes.size());
    for (const std::size_t index : indexes) {
        folders.push_back(index < files.Count() ? files.Items(index).SharedFolder()->sequence : 0);
    }
    return folders;
}

template <typename Key>
void SortByKey(std::vector<std::size_t>& indexes, const std::vector<std::uint32_t>& folders,
               const std::vector<std::optional<Key>>& keys, bool reverse) {
    std::vector<std::size_t> places(indexes.size());
    for (std::size_t k = 0; k < places.size(); ++k) {
        places[k] = k;
    }
    std::stable_sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) {
        if (folders[a] != folders[b]) {
            return folders[a] < folders[b];
        }
        const std::optional<Key>& ka = keys[a];
        const std::optional<Key>& kb = keys[b];
        if (ka.has_value() != kb.has_value()) {
            return ka.has_value(); // without the key: last
        }
        if (ka && *ka != *kb) {
            return reverse ? *kb < *ka : *ka < *kb;
        }
        return indexes[a] < indexes[b]; // then in name order
    });
    std::vector<std::size_t> sorted;
    sorted.reserve(indexes.size());
    for (const std::size_t k : places) {
        sorted.push_back(indexes[k]);
    }
    indexes = std::move(sorted);
}

} // namespace

std::optional<SortKey> SortKeyNamed(std::string_view name) {
    if (name == "name") {
        return SortKey::Name;
    }
    if (name == "size") {
        return SortKey::Size;
    }
    if (name == "modified") {
        return SortKey::Modified;
    }
    if (name == "taken") {
        return SortKey::Taken;
    }
    return std::nullopt;
}

bool ArrangeFiles(std::vector<std::size_t>& indexes, const TListFiles& files, FileOrder order,
                  FactsCache& cache, const std::function<void(std::size_t done)>& progress,
                  std::stop_token stop) {
    if (order == FileOrder{} && std::is_sorted(indexes.begin(), indexes.end())) {
        return true; // the order of the list, folder by folder, as it stands
    }
    const std::vector<std::uint32_t> folders = FoldersOf(indexes, files);
    switch (order.key) {
    case SortKey::Name: {
        // The list is in name order within each folder: the index is the key.
        std::vector<std::pair<std::uint32_t, std::size_t>> keyed;
        keyed.reserve(indexes.size());
        for (std::size_t k = 0; k < indexes.size(); ++k) {
            keyed.emplace_back(folders[k], indexes[k]);
        }
        std::sort(keyed.begin(), keyed.end());
        for (auto run = keyed.begin(); order.reverse && run != keyed.end();) {
            const auto end =
                std::find_if(run, keyed.end(), [&](const auto& k) { return k.first != run->first; });
            std::reverse(run, end);
            run = end;
        }
        for (std::size_t k = 0; k < keyed.size(); ++k) {
            indexes[k] = keyed[k].second;
        }
        return true;
    }
    case SortKey::Size:
    case SortKey::Modified: {
        std::vector<std::optional<std::int64_t>> keys;
        keys.reserve(indexes.size());
        for (const std::size_t index : indexes) {
            std::optional<FileDetails> details;
            if (index < files.Count()) {
                details = ReadFileDetails(files, files.Items(index));
            }
            keys.push_back(details ? std::optional<std::int64_t>(order.key == SortKey::Size ? details->size
                                                                                            : details->date)
                                   : std::nullopt);
        }
        SortByKey(indexes, folders, keys, order.reverse);
        return true;
    }
    case SortKey::Taken: {
        const FactsOfFiles read = ReadFactsOfSelection(Fact::Taken, files, indexes, cache, progress, stop);
        if (read.stopped) {
            return false;
        }
        using Key = decltype(KeyOf(LocalTime{}));
        std::vector<std::optional<Key>> keys;
        keys.reserve(indexes.size());
        for (const FileFacts& facts : read.facts) {
            keys.push_back(facts.taken ? std::optional<Key>(KeyOf(facts.taken->value)) : std::nullopt);
        }
        SortByKey(indexes, folders, keys, order.reverse);
        return true;
    }
    }
    return true;
}

} // namespace quorvel
