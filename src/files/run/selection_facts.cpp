#include "files/run/selection_facts.hpp"

#include <fcntl.h>

namespace quorvel {

FactsOfFiles ReadFactsOfSelection(FactSet wanted, const TListFiles& files,
                                  std::span<const std::size_t> selection, FactsCache& cache,
                                  const std::function<void(std::size_t done)>& progress,
                                  std::stop_token stop) {
    if (wanted.Empty()) {
        FactsOfFiles none;
        none.facts.resize(selection.size());
        return none;
    }
    std::vector<FileToRead> toRead;
    toRead.reserve(selection.size());
    for (const std::size_t index : selection) {
        FileToRead& file = toRead.emplace_back();
        if (index >= files.Count()) {
            continue; // no name: read as a file that is not there
        }
        const TProjectFile& record = files.Items(index);
        if (const std::optional<int> dirfd = files.FolderDescriptor(record.SharedFolder())) {
            file.dirfd = *dirfd;
            file.name = record.NameBytes();
        } else {
            file.dirfd = AT_FDCWD;
            file.name = record.Location().EntryPath(record.NameBytes());
        }
    }
    return ReadFactsOfFiles(toRead, wanted, cache, progress, std::move(stop));
}

std::vector<FileFacts> FactsByRecord(FactsOfFiles facts, std::span<const std::size_t> selection,
                                     std::size_t count) {
    std::vector<FileFacts> byRecord;
    if (facts.facts.empty()) {
        return byRecord;
    }
    byRecord.resize(count);
    for (std::size_t k = 0; k < selection.size() && k < facts.facts.size(); ++k) {
        if (selection[k] < count) {
            byRecord[selection[k]] = std::move(facts.facts[k]);
        }
    }
    return byRecord;
}

} // namespace quorvel
