// What the tests of the windows on the main frame share: the harness's data set loaded, a main
// frame offscreen with its real console shown, and the frame's factories of the analysis
// windows (cross-tabulation, aggregation, item windows) over that harness.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "tests/support/app_harness.h"
#include "windows/cross_frame.h"
#include "windows/item_sheet.h"
#include "windows/molap_frame.h"

namespace zbq::windows {

inline WindowFactories analysisFactories(test::AppHarness& h) {
    WindowFactories f;
    f.console = [&h](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
    f.crossWindow = [&h](CMainFrame&) { return CCrossFrm::Make(h.app()); };
    f.molapWindow = [&h](CMainFrame&, const MolapParams& p) { return CMOLAPFrm::Make(h.app(), p); };
    f.itemWindow = [&h](CMainFrame& owner, std::int32_t item) -> QWidget* {
        return new CItemSheet(h.app(), owner, item);
    };
    return f;
}

struct ConsoleScreen {
    ConsoleScreen() : frame(load(), analysisFactories(h)) {
        h.app().SetDataLoaded(1);
        frame.ShowConsole();
    }
    CKWApp& load() {
        EXPECT_TRUE(h.load());
        return h.app();
    }

    test::AppHarness h;
    CMainFrame frame;
};

}  // namespace zbq::windows
