// Large blocks of memory in huge pages where the system gives them on request: a
// table of a million entries then costs a few page faults instead of thousands, and
// as many misses of the address cache. Faults are what a fresh block of memory
// costs most, far more than filling it.
#pragma once

#include <cstddef>
#include <new>
#include <string>
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

// Blocks of `bytes` from the system, in huge pages where it can (a block of at least
// kLargeBlock), or from the heap.
inline constexpr std::size_t kLargeBlock = std::size_t{4} << 20;
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes);

// The allocator of the large tables of a listing or a run.
template <typename T> struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U> LargeAllocator(const LargeAllocator<U>&) {} // NOLINT: rebinding, as std::allocator
    T* allocate(std::size_t n) {
        if (n > SIZE_MAX / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(AllocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) { FreeLarge(p, n * sizeof(T)); }
    template <typename U> bool operator==(const LargeAllocator<U>&) const { return true; }
};

template <typename T> using LargeVector = std::vector<T, LargeAllocator<T>>;
using LargeString = std::basic_string<char, std::char_traits<char>, LargeAllocator<char>>;

} // namespace quorvel
