// Large blocks of memory in huge pages where the system gives them on request: a
// table of a million entries then costs a few hundred page faults instead of a
// hundred thousand, and as many misses of the address cache.
#pragma once

#include <cstddef>
#include <vector>

namespace quorvel {

// Asks for huge pages under the part of [data, data + bytes) that they can cover.
// Only advice: nothing changes in the memory, and nothing happens for small blocks.
void AskForHugePages(const void* data, std::size_t bytes);

// Reserves room for `count` elements in `v`, in huge pages when it is new room.
template <typename T> void ReserveLarge(std::vector<T>& v, std::size_t count) {
    if (v.capacity() < count) {
        v.reserve(count);
        AskForHugePages(v.data(), v.capacity() * sizeof(T));
    }
}

} // namespace quorvel
