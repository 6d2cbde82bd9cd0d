// A large zip part inflated on a thread of its own, a few chunks ahead of whoever reads it.
//
// Inflating a worksheet takes about as long as skimming it, so the two overlap: while the reader
// works through one chunk, the worker fills the next ones. The worker holds the stream (and so
// the archive behind it) from construction until destruction: nothing else may use either
// meanwhile, and the stream's error() is read only once this object is gone.
//
// read() keeps the stream's contract: the part's bytes in order, then 0 at the end of a sound
// part or -1 where the stream failed. One reader; the object is not shared beyond its worker.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

namespace zbq::workbook {

class ZipPartStream;

class PartReadAhead {
public:
    // Up to 16 MiB ahead: on a virtual machine the two threads' pace wavers, and a worker
    // rewriting what the reader has only just read slows down, so a deep ring pays.
    static constexpr std::size_t kMaxSlots = 64;
    static constexpr std::size_t kSlotSize = std::size_t{256} << 10;

    // Starts the worker on `stream`, which must outlive this object. `partSize`, what the part
    // inflates to, sizes the ring: no larger than the part needs (a smaller one only wraps).
    PartReadAhead(ZipPartStream& stream, std::uint64_t partSize);
    ~PartReadAhead();
    PartReadAhead(const PartReadAhead&) = delete;
    PartReadAhead& operator=(const PartReadAhead&) = delete;

    long long read(char* data, std::size_t size);

private:
    struct Slot {
        std::size_t size = 0;
        long long end = 1;  // 1: more follows; 0: the part's sound end; -1: the stream failed
    };

    void work();
    // The bytes of the slot that the `count`-th chunk of the part goes to.
    char* slotData(uint32_t count) const {
        return data_.get() + std::size_t{count % slots_} * kSlotSize;
    }

    ZipPartStream& stream_;
    uint32_t slots_;  // in the ring
    std::unique_ptr<char[]> data_;
    std::unique_ptr<Slot[]> slot_;
    // Slots filled by the worker and slots given back by the reader, counted from the start;
    // their difference is how many are waiting to be read.
    std::atomic<uint32_t> filled_{0}, released_{0};
    std::atomic<bool> stop_{false};
    uint32_t current_ = 0;    // the slot being read, as a count
    std::size_t offset_ = 0;  // within it
    bool holding_ = false;    // the current slot has been waited for
    std::thread worker_;
};

}  // namespace zbq::workbook
