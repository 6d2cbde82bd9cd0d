// Large arrays and the cost of fresh memory.
//
// A data set lives in a few dozen arrays of megabytes each. Their first touch, not their
// filling, dominates a load or a build: every 4 KiB page faults once, and under a hypervisor
// a fault costs microseconds. Backed by transparent huge pages a 2 MiB page faults once
// instead of 512 times, and random lookups into it miss the TLB less. sizeLarge() sizes a
// vector so that the kernel can do that: the request is rounded so that the allocator maps a
// whole number of 2 MiB pages (which the kernel aligns), and the range is advised for huge
// pages before the vector touches it. The first 2 MiB of each mapping stay in small pages,
// since the allocator writes its chunk header there first; a 4 MiB array is thus half huge,
// a 24 MiB one nearly all. Where the kernel has huge pages off, or the allocator serves the
// request from memory it already holds, it is an ordinary resize.
//
// Where an array is made fresh for every build, LargeVector goes further: its large
// allocations are mappings of their own, aligned to 2 MiB and advised before the first touch,
// so the whole array faults in huge pages; and it leaves the new elements of a trivially
// copyable type unset on resize, so an array that is written before it is read is not written
// twice (nor zeroed a second time after the kernel).
//
// Free functions without state; thread-safe. Allocation failures throw std::bad_alloc, as a
// resize does.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace kw {

// Arrays from this size on are worth the advice.
inline constexpr std::size_t kLargeArrayBytes = std::size_t{1} << 20;

// Advises [data, data + bytes) for transparent huge pages, widened to the 2 MiB pages it
// touches. Harmless on memory that is not anonymous or not mapped.
void adviseHugePages(const void* data, std::size_t bytes);

// The capacity to reserve for `bytes`: rounded up so that, with the allocator's chunk header,
// the mapping is a whole number of 2 MiB pages (which the kernel aligns to 2 MiB).
std::size_t largeCapacityBytes(std::size_t bytes);

// v.resize(n): the elements kept, new ones value-initialised; when the array is large and its
// capacity short, the new storage is reserved and advised first.
template <typename T>
void sizeLarge(std::vector<T>& v, std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kLargeArrayBytes && v.capacity() < n) {
        std::vector<T> grown;
        grown.reserve(largeCapacityBytes(bytes) / sizeof(T));
        adviseHugePages(grown.data(), grown.capacity() * sizeof(T));
        grown.assign(std::make_move_iterator(v.begin()), std::make_move_iterator(v.end()));
        v.swap(grown);
    }
    v.resize(n);
}

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
