// Large arrays and the cost of fresh memory.
//
// A data set lives in a few dozen arrays of megabytes each. Their first touch, not their
// filling, dominates a load or a build: every 4 KiB page faults once, and under a hypervisor
// a fault costs microseconds. Backed by transparent huge pages a 2 MiB page faults once
// instead of 512 times, and random lookups into it miss the TLB less. The heap cannot be
// relied on for that: after the first large free the allocator serves such requests from
// memory it holds, in small pages.
//
// LargeVector's large allocations are therefore mappings of their own, aligned to 2 MiB and
// advised before the first touch, so the whole array faults in huge pages; and it leaves the
// new elements of a trivially copyable type unset on resize, so an array that is written
// before it is read is not written twice (nor zeroed a second time after the kernel). Where
// the kernel has huge pages off, it is an ordinary mapping.
//
// Free functions without state; thread-safe. Allocation failures throw std::bad_alloc, as a
// resize does.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace kw {

// Arrays from this size on are worth the advice.
inline constexpr std::size_t kLargeArrayBytes = std::size_t{1} << 20;

// A mapping of at least `bytes`, 2 MiB aligned and advised for huge pages; freeLarge with the
// same size gives it back. Throws std::bad_alloc.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* data, std::size_t bytes) noexcept;

// The allocator of LargeVector: small requests from the heap, large ones from allocateLarge.
template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        if (n * sizeof(T) < kLargeArrayBytes) return std::allocator<T>().allocate(n);
        return static_cast<T*>(allocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (n * sizeof(T) < kLargeArrayBytes)
            std::allocator<T>().deallocate(p, n);
        else
            freeLarge(p, n * sizeof(T));
    }
    // No write at all for a trivially copyable type: its bytes are whatever the memory held.
    template <typename U>
    void construct(U* p) {
        if constexpr (!std::is_trivially_copyable_v<U> || !std::is_trivially_destructible_v<U>)
            ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

// resize(n) leaves new elements of a trivially copyable type unset, default member
// initialisers included: use assign(n, value) where they are read before they are written.
template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace kw
