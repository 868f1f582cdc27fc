#include "files/tables/huge_pages.hpp"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace quorvel {

namespace {

constexpr std::size_t kHuge = std::size_t{2} << 20;

std::size_t Rounded(std::size_t bytes) {
    return (bytes + kHuge - 1) & ~(kHuge - 1);
}

} // namespace

void AskForHugePages(const void* data, std::size_t bytes) {
    if (bytes < 2 * kHuge) {
        return;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kHuge - 1) & ~std::uintptr_t{kHuge - 1};
    const std::uintptr_t last = (start + bytes) & ~std::uintptr_t{kHuge - 1};
    if (first < last) {
        // Advice only: a system without transparent huge pages says no, and the
        // memory is the same either way.
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kLargeBlock) {
        void* block = std::malloc(bytes == 0 ? 1 : bytes);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return block;
    }
    void* block = ::mmap(nullptr, Rounded(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) {
        throw std::bad_alloc();
    }
    AskForHugePages(block, Rounded(bytes));
    return block;
}

void FreeLarge(void* block, std::size_t bytes) {
    if (block == nullptr) {
        return;
    }
    if (bytes < kLargeBlock) {
        std::free(block);
        return;
    }
    ::munmap(block, Rounded(bytes));
}

} // namespace quorvel
