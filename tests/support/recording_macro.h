// A macro port for tests: recording until told otherwise, keeping every step it is given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/macro_port.h"

namespace zbq::test {

class RecordingMacro : public MacroPort {
public:
    bool recording = true;
    std::vector<std::string> steps;
    bool isRecording() const override { return recording; }
    void record(std::string_view step) override { steps.emplace_back(step); }
    void recordReplacingLast(std::string_view step, std::string_view lastPrefix) override {
        if (!steps.empty() && steps.back().starts_with(lastPrefix)) steps.pop_back();
        steps.emplace_back(step);
    }
};

}  // namespace zbq::test
