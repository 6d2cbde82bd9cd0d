// What the console tests share: an application object whose macro port records every step, and
// a fixture that builds the console on it and installs it as the console port, the way the main
// frame does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ckw_app.h"
#include "console/cons_sheet.h"
#include "platform/core/cp932.h"
#include "tests/support/recording_macro.h"

namespace zbq::test {

class ConsoleTest : public ::testing::Test {
protected:
    ConsoleTest() {
        app.SetMacroPort(&macro);
        sheet = std::make_unique<CConsSheet>(app);
        app.SetConsolePort(sheet.get());
    }
    ~ConsoleTest() override {
        sheet.reset();
        app.SetMacroPort(nullptr);
    }

    static std::string cp(const char* utf8) { return cp932::literal(utf8); }

    CKWApp app;
    RecordingMacro macro;
    std::unique_ptr<CConsSheet> sheet;
};

}  // namespace zbq::test
