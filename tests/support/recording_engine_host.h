// An engine host for tests: records the status texts, counts message pumps (running an
// optional probe at each, to look at the world while the engine works) and answers
// MemoryReadCsvSize from a field.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/engine_host.h"

namespace zbq::test {

class RecordingEngineHost : public zbq::EngineHost {
public:
    std::vector<std::string> statuses;  // CP932 bytes, in order
    int pumps = 0;
    int memoryMb = kDefaultMemoryReadCsvSizeMb;
    std::function<void()> onPump;

    void setStatusText(std::string_view text) override { statuses.emplace_back(text); }
    void pumpMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    int memoryReadCsvSizeMb() override { return memoryMb; }
};

}  // namespace zbq::test
