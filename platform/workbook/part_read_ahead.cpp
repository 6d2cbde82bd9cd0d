// Inflating a zip part a few chunks ahead of its reader, on a worker thread.
#include "platform/workbook/part_read_ahead.h"

#include <algorithm>
#include <cstring>

#include "platform/workbook/zip_part_stream.h"

namespace zbq::workbook {

namespace {

uint32_t slotsFor(std::uint64_t partSize) {
    const std::uint64_t needed = partSize / PartReadAhead::kSlotSize + 1;
    return static_cast<uint32_t>(std::clamp<std::uint64_t>(needed, 2, PartReadAhead::kMaxSlots));
}

}  // namespace

PartReadAhead::PartReadAhead(ZipPartStream& stream, std::uint64_t partSize)
    : stream_(stream),
      slots_(slotsFor(partSize)),
      data_(new char[slots_ * kSlotSize]),
      slot_(new Slot[slots_]) {
    worker_ = std::thread([this] { work(); });
}

PartReadAhead::~PartReadAhead() {
    stop_.store(true, std::memory_order_relaxed);
    // Wakes a worker waiting for a free slot; it sees the stop before it fills another.
    released_.fetch_add(1, std::memory_order_release);
    released_.notify_one();
    worker_.join();
}

void PartReadAhead::work() {
    for (uint32_t k = 0;; ++k) {
        for (uint32_t released = released_.load(std::memory_order_acquire); k - released >= slots_;
             released = released_.load(std::memory_order_acquire)) {
            if (stop_.load(std::memory_order_relaxed)) return;
            released_.wait(released, std::memory_order_acquire);
        }
        if (stop_.load(std::memory_order_relaxed)) return;
        Slot& slot = slot_[k % slots_];
        char* data = slotData(k);
        slot.size = 0;
        slot.end = 1;
        while (slot.size < kSlotSize) {
            const long long got = stream_.read(data + slot.size, kSlotSize - slot.size);
            if (got <= 0) {
                slot.end = got < 0 ? -1 : 0;
                break;
            }
            slot.size += static_cast<std::size_t>(got);
        }
        filled_.store(k + 1, std::memory_order_release);
        filled_.notify_one();
        if (slot.end != 1) return;
    }
}

long long PartReadAhead::read(char* data, std::size_t size) {
    for (;;) {
        if (!holding_) {
            for (uint32_t filled = filled_.load(std::memory_order_acquire); filled == current_;
                 filled = filled_.load(std::memory_order_acquire))
                filled_.wait(filled, std::memory_order_acquire);
            holding_ = true;
            offset_ = 0;
        }
        const Slot& slot = slot_[current_ % slots_];
        if (offset_ < slot.size) {
            const std::size_t n = std::min(size, slot.size - offset_);
            std::memcpy(data, slotData(current_) + offset_, n);
            offset_ += n;
            return static_cast<long long>(n);
        }
        // The slot is read through: its end is the part's, or the next slot follows.
        if (slot.end != 1) return slot.end;
        holding_ = false;
        ++current_;
        released_.store(current_, std::memory_order_release);
        released_.notify_one();
    }
}

}  // namespace zbq::workbook
