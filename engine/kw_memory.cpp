// Huge-page advice for large arrays.
#include "engine/kw_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace kw {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// What glibc adds to a request it maps on its own: the request plus a size word, rounded to
// 16 bytes, plus another size word; 32 bytes less than a whole number of 2 MiB pages keeps the
// mapping at exactly that number.
constexpr std::size_t kChunkHeader = 32;

}  // namespace

void adviseHugePages(const void* data, std::size_t bytes) {
    if (bytes == 0) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(data) & ~(kHugePage - 1);
    const auto end =
        (reinterpret_cast<std::uintptr_t>(data) + bytes + kHugePage - 1) & ~(kHugePage - 1);
    // The widened range may reach past the mapping; the kernel then advises what is mapped and
    // says ENOMEM, which changes nothing for us.
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

namespace {

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

std::size_t largeCapacityBytes(std::size_t bytes) {
    const std::size_t mapped = (bytes + kChunkHeader + kHugePage - 1) & ~(kHugePage - 1);
    return mapped - kChunkHeader;
}

}  // namespace kw
