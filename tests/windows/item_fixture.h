// What the item window's model tests stand on: the harness's data set loaded, a recording macro
// port whose 可変 can be switched, a recording console, and a window port that logs the refresh
// fan-out and answers the original-data window's current row. Header-only.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_port.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_console.h"
#include "tests/support/recording_macro.h"

namespace zbq::test {

class ItemMacro : public RecordingMacro {
public:
    bool variable = false;
    bool isVariable() const override { return variable; }
};

class LoggingWindows : public WindowPort {
public:
    std::vector<std::string> calls;
    std::int32_t currentRow = 0;
    void RebuildGrid(std::int32_t flag) override {
        calls.push_back("RebuildGrid " + std::to_string(flag));
    }
    std::int32_t ShowRecord(std::int32_t row, std::int32_t item) override {
        calls.push_back("ShowRecord " + std::to_string(row) + " " + std::to_string(item));
        if (row >= 0) currentRow = row;
        return 1;
    }
    std::int32_t GetCurrentRow() const override { return currentRow; }
    void RefreshItemWindows() override { calls.push_back("RefreshItemWindows"); }
    std::int32_t RefreshCrossView() override {
        calls.push_back("RefreshCrossView");
        return 0;
    }
    std::int32_t ExecuteMolap() override {
        calls.push_back("ExecuteMolap");
        return 0;
    }
};

// Items of the harness's data set.
enum FixtureItem { kId = 0, kSex = 1, kAge = 2, kHobby = 3, kScore = 4, kDate = 5, kTime = 6 };

class ItemWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.load());
        app().SetMacroPort(&macro);
        app().SetConsolePort(&console);
        app().SetWindowPort(&windows);
    }
    void TearDown() override {
        app().SetMacroPort(nullptr);
        app().SetConsolePort(nullptr);
        app().SetWindowPort(nullptr);
    }
    CKWApp& app() { return harness.app(); }
    static std::string u8(const std::string& cp932) { return cp932::toUtf8(cp932); }

    AppHarness harness;
    ItemMacro macro;
    RecordingConsole console;
    LoggingWindows windows;
};

}  // namespace zbq::test
