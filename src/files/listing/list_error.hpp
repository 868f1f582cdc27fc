// Error raised by the program's lists for an index outside 0..Count - 1.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quorvel {

class ListIndexError : public std::out_of_range {
public:
    explicit ListIndexError(std::int64_t index)
        : std::out_of_range("Indice de liste hors limites (" + std::to_string(index) + ")") {}
};

} // namespace quorvel
