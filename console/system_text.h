// The system tab's text: the product and its version, a notice, a rule of 36 "-", and the
// machine's memory: the physical total and the total with the swap space, in bytes grouped by
// ",". CP932 with "\r\n" line ends.
#pragma once

#include <string>

#include "platform/core/memory_status.h"

inline constexpr const char* kProductName = "ZEBRINE";
inline constexpr const char* kProductVersion = "V1.0.2 J";

std::string systemText(const zbq::MemoryStatus& memory);
