// A hash table from names to indexes, made for the million names of a run: it keeps
// views of names stored elsewhere (which must outlive it), in one flat array.
#pragma once

#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quorvel {

class NameTable {
public:
    static constexpr std::uint32_t kAbsent = UINT32_MAX;

    explicit NameTable(std::size_t expected = 0) { Reserve(expected); }

    // The index stored under `name`; kAbsent when there is none.
    std::uint32_t Find(std::string_view name) const {
        if (slots_.empty()) {
            return kAbsent;
        }
        const std::uint64_t h = Hash(name);
        for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
            const Slot& s = slots_[i];
            if (s.value == kAbsent) {
                return kAbsent;
            }
            if (s.hash == static_cast<std::uint32_t>(h) && s.name == name) {
                return s.value;
            }
        }
    }

    // Stores `value` under `name` unless the name is there already; returns the
    // index under the name after the call.
    std::uint32_t Insert(std::string_view name, std::uint32_t value) {
        if ((count_ + 1) * 2 > slots_.size()) {
            Reserve(count_ * 2 + 16);
        }
        const std::uint64_t h = Hash(name);
        for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
            Slot& s = slots_[i];
            if (s.value == kAbsent) {
                s = {name, value, static_cast<std::uint32_t>(h)};
                ++count_;
                return value;
            }
            if (s.hash == static_cast<std::uint32_t>(h) && s.name == name) {
                return s.value;
            }
        }
    }

    // Replaces the index under `name`, which must be there.
    void Set(std::string_view name, std::uint32_t value) {
        const std::uint64_t h = Hash(name);
        for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
            Slot& s = slots_[i];
            if (s.hash == static_cast<std::uint32_t>(h) && s.name == name) {
                s.value = value;
                return;
            }
        }
    }

    std::size_t Count() const { return count_; }

private:
    struct Slot {
        std::string_view name;
        std::uint32_t value = kAbsent;
        std::uint32_t hash = 0;
    };

    static std::uint64_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

    void Reserve(std::size_t expected) {
        const std::size_t wanted = std::bit_ceil(expected * 2 + 2);
        if (wanted <= slots_.size()) {
            return;
        }
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(wanted, Slot{});
        mask_ = wanted - 1;
        count_ = 0;
        for (const Slot& s : old) {
            if (s.value != kAbsent) {
                Insert(s.name, s.value);
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

} // namespace quorvel
