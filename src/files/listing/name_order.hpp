// The order in which file names are shown, and the sort of a million names in it.
#pragma once

#include "files/tables/huge_pages.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorvel {

// Order of file names: byte by byte with the letters a-z taken as A-Z and nothing
// else folded; a name sorts after its own beginning. So "A.txt" < "b.txt" <
// "_x.txt", and a name with a non-ASCII character sorts after every ASCII one at
// that place. Negative, zero or positive.
int CompareFileNames(std::string_view a, std::string_view b);

// The first 16 bytes of a name with a-z taken as A-Z, big-endian, padded with
// zeros (no name holds a NUL): keys in the order of the names, so that most
// comparisons of a sort read no name.
struct NameKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::size_t index = 0;
};

NameKey NameKeyOf(std::string_view name, std::size_t index);

// Sorts `keys` in the order of their names; `before(i, j)` orders the names of
// indexes i and j when their keys are equal.
template <typename Before> void SortNameKeys(LargeVector<NameKey>& keys, const Before& before) {
    std::sort(keys.begin(), keys.end(), [&](const NameKey& a, const NameKey& b) {
        if (a.high != b.high) {
            return a.high < b.high;
        }
        if (a.low != b.low) {
            return a.low < b.low;
        }
        return before(a.index, b.index);
    });
}

} // namespace quorvel
