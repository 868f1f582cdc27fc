// A hash table from names to indexes for the tables of a run, whose every name is
// the name of its index in some array (a listing, the files of the run): a slot
// keeps only the index and a part of the hash, 8 bytes, and the name is asked of
// `NameOf` when the hashes agree. `Keys` hashes and compares the names (bytes by
// default).
#pragma once

#include "files/tables/huge_pages.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quorvel {

// What IndexTable::Find gives for a name it does not hold.
inline constexpr std::uint32_t kNoIndex = UINT32_MAX;

struct ByteKeys {
    static std::uint64_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }
    static bool Equal(std::string_view a, std::string_view b) { return a == b; }
};

template <typename NameOf, typename Keys = ByteKeys> class IndexTable {
public:
    static constexpr std::uint32_t kAbsent = kNoIndex;

    explicit IndexTable(NameOf nameOf, std::size_t expected = 0) : nameOf_(std::move(nameOf)) {
        Reserve(expected);
    }

    template <typename Key> std::uint32_t Find(const Key& name) const { return Find(name, Keys::Hash(name)); }
    // The same for a name whose hash (Keys::Hash) is known.
    template <typename Key> std::uint32_t Find(const Key& name, std::uint64_t hash) const {
        if (slots_.empty()) {
            return kAbsent;
        }
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            const Slot& s = slots_[i];
            if (s.value == kAbsent) {
                return kAbsent;
            }
            if (s.hash == static_cast<std::uint32_t>(hash >> 32) && Keys::Equal(nameOf_(s.value), name)) {
                return s.value;
            }
        }
    }

    // Stores `value` (whose name is `nameOf(value)`) unless its name is there
    // already; returns the index under the name after the call.
    std::uint32_t Insert(std::uint32_t value) { return Insert(value, Keys::Hash(nameOf_(value))); }
    // The same for a value whose name's hash is known.
    std::uint32_t Insert(std::uint32_t value, std::uint64_t hash) {
        if ((count_ + 1) * 2 > slots_.size()) {
            Reserve(count_ * 2 + 16);
        }
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            Slot& s = slots_[i];
            if (s.value == kAbsent) {
                s = {value, static_cast<std::uint32_t>(hash >> 32)};
                ++count_;
                return value;
            }
            if (s.hash == static_cast<std::uint32_t>(hash >> 32) &&
                Keys::Equal(nameOf_(s.value), nameOf_(value))) {
                return s.value;
            }
        }
    }

    // Asks the processor for the slot where a name of this hash is looked for first,
    // ahead of the Find or Insert that needs it.
    void Prefetch(std::uint64_t hash) const {
        if (!slots_.empty()) {
            __builtin_prefetch(&slots_[hash & mask_]);
        }
    }

    std::size_t Count() const { return count_; }

private:
    struct Slot {
        std::uint32_t value = kAbsent;
        std::uint32_t hash = 0;
    };

    void Reserve(std::size_t expected) {
        const std::size_t wanted = std::bit_ceil(expected * 2 + 2);
        if (wanted <= slots_.size()) {
            return;
        }
        LargeVector<Slot> old = std::move(slots_);
        slots_.assign(wanted, Slot{});
        mask_ = wanted - 1;
        count_ = 0;
        for (const Slot& s : old) {
            if (s.value != kAbsent) {
                Insert(s.value);
            }
        }
    }

    NameOf nameOf_;
    LargeVector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

// Calls `use(i, hashOf(i))` for i = 0..count-1, and `prefetch(hashOf(i))` a few calls
// before: lookups of a million names in tables larger than the caches then wait
// for several slots at once instead of for one after the other.
template <typename HashOf, typename Prefetch, typename Use>
void Pipelined(std::size_t count, const HashOf& hashOf, const Prefetch& prefetch, const Use& use) {
    constexpr std::size_t kAhead = 16;
    std::array<std::uint64_t, kAhead> ahead{};
    for (std::size_t i = 0; i < std::min(count, kAhead); ++i) {
        ahead[i] = hashOf(i);
        prefetch(ahead[i]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t& slot = ahead[i % kAhead];
        const std::uint64_t hash = slot;
        if (i + kAhead < count) {
            slot = hashOf(i + kAhead);
            prefetch(slot);
        }
        use(i, hash);
    }
}

} // namespace quorvel
