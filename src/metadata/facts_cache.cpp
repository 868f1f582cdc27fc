#include "metadata/facts_cache.hpp"

#include "metadata/fact_fields.hpp"

namespace quorvel {

FileKey FileKey::Of(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

std::size_t FactsCache::KeyHash::operator()(const FileKey& key) const {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const std::uint64_t part : {key.device, key.inode, static_cast<std::uint64_t>(key.size),
                                     static_cast<std::uint64_t>(key.modifiedNanoseconds)}) {
        h = (h ^ part) * 0x100000001b3ULL;
        h ^= h >> 29;
    }
    return static_cast<std::size_t>(h);
}

std::optional<CachedFacts> FactsCache::Find(const FileKey& key) const {
    const std::lock_guard lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return it->second;
}

CachedFacts FactsCache::Store(const FileKey& key, FactSet asked, const FileFacts& facts) {
    const std::lock_guard lock(mutex_);
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        if (capacity_ == 0) {
            return {metadata::OnlyFacts(facts, asked), asked};
        }
        if (entries_.size() >= capacity_) {
            entries_.erase(entries_.begin());
        }
        it = entries_.emplace(key, CachedFacts{}).first;
    }
    metadata::CopyFacts(facts, asked, it->second.facts);
    it->second.asked |= asked;
    return it->second;
}

std::size_t FactsCache::Size() const {
    const std::lock_guard lock(mutex_);
    return entries_.size();
}

void FactsCache::Clear() {
    const std::lock_guard lock(mutex_);
    entries_.clear();
}

} // namespace quorvel
