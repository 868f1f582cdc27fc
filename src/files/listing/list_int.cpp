#include "files/listing/list_int.hpp"

#include "files/listing/list_error.hpp"

#include <algorithm>
#include <functional>
#include <numeric>

namespace quorvel {

void TListInt::Add(std::int32_t value) {
    if (!sorted_) {
        ascending_ = ascending_ && (values_.empty() || values_.back() <= value);
        values_.push_back(value);
        return;
    }
    if (ascending_) {
        values_.insert(std::upper_bound(values_.begin(), values_.end(), value), value);
        return;
    }
    values_.push_back(value);
    std::sort(values_.begin(), values_.end());
    ascending_ = true;
}

void TListInt::AddRange(std::int32_t first, std::int32_t last) {
    if (first >= last) {
        return;
    }
    const bool after = values_.empty() || values_.back() <= first;
    if (!after || (sorted_ && !ascending_)) {
        for (std::int32_t v = first; v < last; ++v) {
            Add(v);
        }
        return;
    }
    // After every value already there: the list keeps whatever order it had.
    const std::size_t at = values_.size();
    values_.resize(at + static_cast<std::size_t>(static_cast<std::int64_t>(last) - first));
    std::iota(values_.begin() + static_cast<std::ptrdiff_t>(at), values_.end(), first);
}

std::int32_t TListInt::Items(std::size_t index) const {
    if (index >= values_.size()) {
        throw ListIndexError(static_cast<std::int64_t>(index));
    }
    return values_[index];
}

std::ptrdiff_t TListInt::IndexOf(std::int32_t value) const {
    const auto it = ascending_ ? std::lower_bound(values_.begin(), values_.end(), value)
                               : std::find(values_.begin(), values_.end(), value);
    if (it == values_.end() || *it != value) {
        return -1;
    }
    return it - values_.begin();
}

void TListInt::Delete(std::size_t index) {
    if (index >= values_.size()) {
        throw ListIndexError(static_cast<std::int64_t>(index));
    }
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TListInt::Clear() {
    values_.clear();
    ascending_ = true;
}

void TListInt::Sort(int direction) {
    if (direction == 0) {
        std::sort(values_.begin(), values_.end());
        ascending_ = true;
    } else {
        std::sort(values_.begin(), values_.end(), std::greater<>());
        ascending_ = std::is_sorted(values_.begin(), values_.end());
    }
}

} // namespace quorvel
