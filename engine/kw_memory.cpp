// Huge-page advice for large arrays.
#include "engine/kw_memory.h"

#include <sys/mman.h>

#include <cstdint>

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

std::size_t largeCapacityBytes(std::size_t bytes) {
    const std::size_t mapped = (bytes + kChunkHeader + kHugePage - 1) & ~(kHugePage - 1);
    return mapped - kChunkHeader;
}

}  // namespace kw
