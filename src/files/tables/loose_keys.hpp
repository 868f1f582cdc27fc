// Names as a file system that ignores case compares them, hashed 8 bytes at a time:
// the keys of the tables that find a name whatever its case (IndexTable with
// LooseKeys), for the checks of a run on a million names.
#pragma once

#include "files/tables/name_fold.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvel {

// Folded copies of names, kept one after the other; views are taken only once every
// name is in.
class FoldedStore {
public:
    void Add(std::string_view name) {
        FoldedNameInto(name, buffer_);
        text_.append(buffer_);
        ends_.push_back(text_.size());
    }
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_).substr(start, ends_[i] - start);
    }

private:
    std::string text_;
    std::string buffer_;
    std::vector<std::size_t> ends_;
};

// A name as a file system that ignores case compares it (FoldedName): read from the
// name itself when it is ASCII, its letters A-Z taken as a-z, or from a folded copy.
struct LooseName {
    std::string_view text;
    bool lowerAscii;
};

// Up to 8 bytes of `text` from `at`, as one word (zeros after the end).
inline std::uint64_t WordAt(std::string_view text, std::size_t at) {
    std::uint64_t word = 0;
    const std::size_t n = std::min<std::size_t>(8, text.size() - at);
    if (n == 8) { // a copy of a known size is a single load
        std::memcpy(&word, text.data() + at, 8);
    } else {
        std::memcpy(&word, text.data() + at, n);
    }
    return word;
}

// The word with its bytes A-Z taken as a-z; every byte must be below 0x80.
inline std::uint64_t LowerAsciiWord(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    const std::uint64_t fromA = word + kOnes * (0x80 - 'A');
    const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
    return word | (((fromA & ~pastZ) & (kOnes * 0x80)) >> 2);
}

struct LooseKeys {
    static char At(const LooseName& n, std::size_t i) {
        const char c = n.text[i];
        return n.lowerAscii && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    // The name 8 bytes at a time, those of an ASCII name lowered.
    static std::uint64_t Hash(const LooseName& n) {
        std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ n.text.size();
        for (std::size_t at = 0; at < n.text.size(); at += 8) {
            const std::uint64_t word = WordAt(n.text, at);
            h = (h ^ (n.lowerAscii ? LowerAsciiWord(word) : word)) * 0xff51afd7ed558ccdULL;
            h ^= h >> 29;
        }
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ULL;
        h ^= h >> 33;
        return h;
    }
    static bool Equal(const LooseName& a, const LooseName& b) {
        if (a.text.size() != b.text.size()) {
            return false;
        }
        if (a.lowerAscii == b.lowerAscii && a.text == b.text) {
            return true;
        }
        for (std::size_t i = 0; i < a.text.size(); ++i) {
            if (At(a, i) != At(b, i)) {
                return false;
            }
        }
        return true;
    }
};

inline bool IsAscii(std::string_view bytes) {
    std::uint64_t any = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 8) {
        any |= WordAt(bytes, at);
    }
    return (any & 0x8080808080808080ULL) == 0;
}

// The loose names of a set of names, `nameAt(k)` being name k: the names that are
// not ASCII are folded once, the others are read as they are.
template <typename NameAt> class LooseNames {
public:
    LooseNames(const NameAt& nameAt, std::size_t count) : nameAt_(nameAt) {
        for (std::size_t k = 0; k < count; ++k) {
            if (!IsAscii(nameAt_(k))) {
                copyOf_.emplace(static_cast<std::uint32_t>(k), copies_.size());
                copies_.Add(nameAt_(k));
            }
        }
    }
    LooseName operator()(std::uint32_t k) const {
        if (!copyOf_.empty()) {
            if (const auto it = copyOf_.find(k); it != copyOf_.end()) {
                return {copies_[it->second], false};
            }
        }
        return {nameAt_(k), true};
    }

private:
    const NameAt& nameAt_;
    FoldedStore copies_;
    std::unordered_map<std::uint32_t, std::size_t> copyOf_;
};

} // namespace quorvel
