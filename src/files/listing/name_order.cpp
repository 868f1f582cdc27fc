#include "files/listing/name_order.hpp"

#include "engine/text.hpp"

namespace quorvel {

int CompareFileNames(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(FoldAZ(static_cast<unsigned char>(a[i])));
        const auto y = static_cast<unsigned char>(FoldAZ(static_cast<unsigned char>(b[i])));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

NameKey NameKeyOf(std::string_view name, std::size_t index) {
    NameKey key;
    key.index = index;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t byte =
            i < name.size() ? static_cast<unsigned char>(FoldAZ(static_cast<unsigned char>(name[i]))) : 0;
        (i < 8 ? key.high : key.low) |= byte << (8 * (7 - i % 8));
    }
    return key;
}

} // namespace quorvel
