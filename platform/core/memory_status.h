// The machine's memory, as the open-time memory check and the system tab read it: from
// /proc/meminfo, in bytes. Tests install their own figures with setMemoryStatusForTest.
//
// The check before opening a data file compares with what is available now (MemAvailable, and
// MemAvailable + SwapFree standing where a page file's free space stood); the system tab shows
// the totals (MemTotal, MemTotal + SwapTotal). Thread-safe for reading.
#pragma once

#include <cstdint>
#include <optional>

namespace zbq {

struct MemoryStatus {
    std::uint64_t totalPhysical = 0;      // MemTotal
    std::uint64_t availablePhysical = 0;  // MemAvailable
    std::uint64_t totalVirtual = 0;       // MemTotal + SwapTotal
    std::uint64_t availableVirtual = 0;   // MemAvailable + SwapFree
};

// The figures now; all zero when /proc/meminfo cannot be read.
MemoryStatus memoryStatus();

// Replaces what memoryStatus() answers (nullopt: the machine's own figures again).
void setMemoryStatusForTest(std::optional<MemoryStatus> status);

}  // namespace zbq
