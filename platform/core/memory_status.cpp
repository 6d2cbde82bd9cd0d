#include "platform/core/memory_status.h"

#include <charconv>
#include <fstream>
#include <string>

namespace zbq {
namespace {

std::optional<MemoryStatus> injected;

// "MemTotal:       16318480 kB" -> bytes.
bool field(const std::string& line, std::string_view name, std::uint64_t* bytes) {
    if (line.compare(0, name.size(), name) != 0 || line.size() <= name.size() ||
        line[name.size()] != ':')
        return false;
    std::size_t i = name.size() + 1;
    while (i < line.size() && line[i] == ' ')
        ++i;
    std::uint64_t kib = 0;
    const auto [end, ec] = std::from_chars(line.data() + i, line.data() + line.size(), kib);
    if (ec != std::errc()) return false;
    *bytes = kib * 1024;
    return true;
}

}  // namespace

MemoryStatus memoryStatus() {
    if (injected) return *injected;
    std::ifstream in("/proc/meminfo");
    std::uint64_t total = 0, available = 0, swapTotal = 0, swapFree = 0;
    for (std::string line; std::getline(in, line);) {
        field(line, "MemTotal", &total) || field(line, "MemAvailable", &available) ||
            field(line, "SwapTotal", &swapTotal) || field(line, "SwapFree", &swapFree);
    }
    return {total, available, total + swapTotal, available + swapFree};
}

void setMemoryStatusForTest(std::optional<MemoryStatus> status) {
    injected = status;
}

}  // namespace zbq
