// A growable list of 32-bit integers; the selected rows of the file grid live in one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel {

class TListInt {
public:
    // When set, every Add keeps the list in ascending order. Setting it does not
    // sort by itself.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted) { sorted_ = sorted; }

    // Appends `value`; with Sorted, the list ends up sorted ascending as if it had
    // been re-sorted, in logarithmic time when it already was. Duplicates are kept.
    void Add(std::int32_t value);
    // Add of first, first + 1, ... up to last - 1, in one step.
    void AddRange(std::int32_t first, std::int32_t last);
    // Throws ListIndexError for an index outside 0..Count - 1.
    std::int32_t Items(std::size_t index) const;
    std::size_t Count() const { return values_.size(); }
    // Index of the first element equal to `value`; -1 when there is none.
    std::ptrdiff_t IndexOf(std::int32_t value) const;
    // Removes the element at `index`; throws ListIndexError outside 0..Count - 1.
    void Delete(std::size_t index);
    void Clear();
    // Sorts ascending (direction 0) or descending (any other direction).
    void Sort(int direction);

private:
    std::vector<std::int32_t> values_;
    bool sorted_ = false;
    bool ascending_ = true; // the values are in ascending order
};

} // namespace quorvel
