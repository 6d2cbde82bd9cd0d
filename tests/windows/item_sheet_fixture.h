// An item window as ZBQ opens it: the harness's data set, a main frame whose factory builds
// CItemSheet, and a recording macro port, offscreen. Header-only.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"
#include "tests/windows/item_fixture.h"
#include "windows/item_sheet.h"

namespace zbq::test {

class ItemSheetMacro : public RecordingMacro {
public:
    bool variable = false;
    bool isVariable() const override { return variable; }
};

class ItemSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.load());
        WindowFactories factories;
        factories.itemWindow = [this](CMainFrame& f, std::int32_t item) -> QWidget* {
            return new windows::CItemSheet(app(), f, item);
        };
        frame = std::make_unique<CMainFrame>(app(), std::move(factories));
        frame->resize(1024, 720);
        app().SetMacroPort(&macro);
    }
    void TearDown() override {
        app().SetMacroPort(nullptr);
        frame.reset();
    }
    CKWApp& app() { return harness.app(); }
    windows::CItemSheet* open(std::int32_t item) {
        frame->ShowItemSheet(item);
        return dynamic_cast<windows::CItemSheet*>(frame->FindItemSheet(item));
    }

    AppHarness harness;
    ItemSheetMacro macro;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace zbq::test
