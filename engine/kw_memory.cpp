// Mappings of their own for large arrays, aligned and advised for huge pages.
#include "engine/kw_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace kw {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

std::size_t wholeHugePages(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void* allocateLarge(std::size_t bytes) {
    const std::size_t length = wholeHugePages(bytes);
    if (length < bytes || length + kHugePage < length) throw std::bad_alloc();
    // One huge page more than needed, so that an aligned start lies inside; the ends go back.
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto begin = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (begin + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > begin) ::munmap(raw, aligned - begin);
    const std::uintptr_t end = begin + length + kHugePage;
    if (end > aligned + length)
        ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void freeLarge(void* data, std::size_t bytes) noexcept {
    if (data != nullptr) ::munmap(data, wholeHugePages(bytes));
}

}  // namespace kw
