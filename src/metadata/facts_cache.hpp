// The facts already read, kept by what tells one version of a file from another:
// its device, inode, size and time of modification to the nanosecond. A file
// written again, replaced or touched is a new key and is read again.
//
// Each entry remembers which facts were asked: a later request for more reads only
// the facts not asked before, and merges them in. Thread-safe. It holds at most
// `capacity` files; beyond, an entry is dropped for each one added.
#pragma once

#include "engine/file_facts.hpp"

#include <cstdint>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unordered_map>

namespace quorvel {

struct FileKey {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;

    static FileKey Of(const struct stat& status);
    bool operator==(const FileKey&) const = default;
};

// What is kept of one file: the facts read, and the facts asked (a fact asked and
// not found is known to be missing).
struct CachedFacts {
    FileFacts facts;
    FactSet asked;
};

class FactsCache {
public:
    explicit FactsCache(std::size_t capacity = 200000) : capacity_(capacity) {}
    FactsCache(const FactsCache&) = delete;
    FactsCache& operator=(const FactsCache&) = delete;

    std::optional<CachedFacts> Find(const FileKey& key) const;
    // Keeps the facts read of `asked` with those already kept of the file; returns
    // what is kept now.
    CachedFacts Store(const FileKey& key, FactSet asked, const FileFacts& facts);

    std::size_t Size() const;
    void Clear();

private:
    struct KeyHash {
        std::size_t operator()(const FileKey& key) const;
    };

    std::size_t capacity_;
    mutable std::mutex mutex_;
    std::unordered_map<FileKey, CachedFacts, KeyHash> entries_;
};

} // namespace quorvel
