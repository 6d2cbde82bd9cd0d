// What the data-selection tests share: the harness's data set (12 records: 0 ID String, 1 性別
// Code, 2 年齢 Integer, 3 趣味 MultiAns, 4 満足度 Float, 5 回答日 Date, 6 回答時刻 Time) on a
// main frame with its real console, a macro object that records every step, and fake
// original-data, item, cross-tab and aggregation windows that log each refresh they get.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "app/analysis_window.h"
#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"

namespace zbq::test {

using RefreshLog = std::vector<std::string>;

class FakeDataView : public QWidget, public DataViewOps {
public:
    explicit FakeDataView(RefreshLog& log) : log_(log) {}
    void RebuildGrid(std::int32_t flag) override {
        log_.push_back("RebuildGrid(" + std::to_string(flag) + ")");
    }
    std::int32_t ShowRecord(std::int32_t, std::int32_t) override { return 0; }
    std::int32_t GetCurrentRow() const override { return 0; }
    void FormatPrint(std::int32_t) override {}

private:
    RefreshLog& log_;
};

class FakeItemWindow : public QWidget, public ItemWindowOps {
public:
    FakeItemWindow(RefreshLog& log, std::int32_t item) : log_(log), item_(item) {}
    std::int32_t GetItemNo() const override { return item_; }
    void Refresh() override { log_.push_back("item"); }
    void Rebuild() override { log_.push_back("item rebuilt"); }

private:
    RefreshLog& log_;
    std::int32_t item_;
};

class FakeCrossWindow : public QWidget, public CrossWindowOps {
public:
    explicit FakeCrossWindow(RefreshLog& log) : log_(log) {}
    std::int32_t RefreshCrossView() override {
        log_.push_back("cross");
        return 1;
    }

private:
    RefreshLog& log_;
};

class FakeMolapWindow : public QWidget, public MolapWindowOps {
public:
    explicit FakeMolapWindow(RefreshLog& log) : log_(log) {}
    std::int32_t ExecuteMolap() override {
        log_.push_back("molap");
        return 1;
    }

private:
    RefreshLog& log_;
};

// The screen: loaded, the console up on the data-selection tab.
struct DataSelScreen {
    DataSelScreen() {
        EXPECT_TRUE(harness.load());
        frame = std::make_unique<CMainFrame>(app(), factories());
        macro = std::make_unique<CMacro>(app());
        frame->ShowConsole();
        console = qobject_cast<CConsSheet*>(frame->console());
        page = console->DataSelPage();
        app().RebuildSetTree();
        app().MarkCurrentSet(0);
        console->ActivatePage(ConsolePage::DataSelection);
    }
    ~DataSelScreen() {
        macro.reset();
        frame.reset();
    }

    CKWApp& app() { return harness.app(); }
    static std::string cp(const char* utf8) { return cp932::literal(utf8); }

    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& fr) { return CConsSheet::MakeHandle(app(), &fr); };
        f.dataView = [this](CMainFrame&) -> QWidget* { return new FakeDataView(refreshes); };
        f.itemWindow = [this](CMainFrame&, std::int32_t item) -> QWidget* {
            return new FakeItemWindow(refreshes, item);
        };
        f.crossWindow = [this](CMainFrame&) -> QWidget* { return new FakeCrossWindow(refreshes); };
        f.molapWindow = [this](CMainFrame&, const MolapParams&) -> QWidget* {
            return new FakeMolapWindow(refreshes);
        };
        return f;
    }

    // Opens one window of each kind; their own first refreshes are forgotten.
    void openWindows() {
        frame->ShowDataView();
        frame->ShowItemSheet(2);
        frame->ShowCrossWindow();
        frame->ShowMolapWindow(MolapParams{});
        refreshes.clear();
    }

    // A filter of one condition run from the current set; the new set's number.
    std::int32_t filter(const SearchCondition& condition) {
        app().SetSearchConditions({condition});
        EXPECT_EQ(page->OnExecuteFilter(), 1);
        return app().Sets().empty() ? -1 : page->CurrentSetNo();
    }

    std::int32_t play(const std::string& step) { return macro->ExecuteStep(step); }

    std::vector<std::string> steps() const { return macro->RecordedSteps(); }
    std::vector<std::string> messages() { return harness.prompts().messageTexts(); }

    AppHarness harness;
    RefreshLog refreshes;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CMacro> macro;
    CConsSheet* console = nullptr;
    CDataSelPage* page = nullptr;
};

class DataSelTest : public ::testing::Test, public DataSelScreen {};

// Conditions on the fixture's items.
inline SearchCondition codeIs(const char* code) {
    return SearchCondition{1, 0, -1, code, "", 0};
}
inline SearchCondition ageAtLeast(const char* age) {
    return SearchCondition{2, 3, -1, age, "", 2};
}

// The records of a set, by number.
inline std::vector<std::int32_t> recordsOf(const SetRecord& set, std::int32_t records) {
    std::vector<std::int32_t> out;
    for (std::int32_t r = 0; r < records; ++r)
        if (!set.map || set.map->test(r)) out.push_back(r);
    return out;
}

}  // namespace zbq::test
