// What start-up leaves on the item-selection tab, through the real start-up, frame and console:
// "ZBQに書出し" once any data set is loaded, "ﾃﾞｰﾀ追加" only after a data file; and the data
// file's original-data window opened through "ﾃﾞｰﾀ表示", whose check tells of a file that
// carries no display list.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QPushButton>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "console/item_sel_page.h"
#include "tests/support/app_harness.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

// Data files of the fixture: all records with the display list {3, 0}, and the men alone
// (the displayed set), which carries no display list.
struct SavedFiles {
    SavedFiles() {
        AppHarness maker;  // one application at a time: gone before the test's starts
        EXPECT_TRUE(maker.start({maker.writeFixture()}));
        CKWApp& app = maker.app();
        app.SetDisplayItems({3, 0});
        app.SetSaveMode(1);
        app.SetSavePath(all);
        EXPECT_EQ(app.SaveDataAndMacro("", 0), 1);
        EXPECT_EQ(app.KWsrch("#1=1"), 5);
        app.SetSaveMode(2);
        app.SetSavePath(men);
        EXPECT_EQ(app.SaveDataAndMacro("", 0), 1);
        maker.exit();
    }
    TempDir dir;
    const std::string all = dir.file("all.zbq");
    const std::string men = dir.file("men.zbq");
};

struct Program {
    Program() : frame(h.app(), factories()) {}
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.dataView = [](CMainFrame&) { return new QWidget; };
        return f;
    }
    CItemSelPage& page() { return *qobject_cast<CConsSheet*>(frame.console())->ItemSelPage(); }
    bool shown(QPushButton* button) { return button->isVisibleTo(&page()); }

    AppHarness h;
    CMainFrame frame;
};

TEST(ItemSelStart, WriteAfterAnyLoadAddOnlyAfterADataFile) {
    {
        CKWApp app;
        CItemSelPage page(app);
        EXPECT_FALSE(page.writeButton()->isVisibleTo(&page));
        EXPECT_FALSE(page.addDataButton()->isVisibleTo(&page));
    }
    {
        Program p;
        ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
        EXPECT_TRUE(p.shown(p.page().writeButton()));
        EXPECT_FALSE(p.shown(p.page().addDataButton()));
        // Reached all the same, the addition says why and asks nothing, chooses nothing.
        p.h.prompts().clear();
        p.page().OnAddData();
        EXPECT_EQ(
            p.h.prompts().messageTexts(),
            std::vector<std::string>{"データ追加はできません。ZBQファイルから起動してください。"});
        EXPECT_TRUE(p.h.prompts().choosers().empty());
    }
    SavedFiles files;
    Program p;
    ASSERT_TRUE(p.h.start({files.all}));
    EXPECT_TRUE(p.shown(p.page().writeButton()));
    EXPECT_TRUE(p.shown(p.page().addDataButton()));
    EXPECT_NE(p.frame.dataView(), nullptr);
    EXPECT_EQ(p.h.app().GetGridItems(), (std::vector<std::int32_t>{3, 0}));
    EXPECT_TRUE(p.h.prompts().messageTexts().empty());
}

TEST(ItemSelStart, ADataFileWithoutADisplayListIsToldAndOpensNoGrid) {
    SavedFiles files;
    Program p;
    ASSERT_TRUE(p.h.start({files.men}));
    ASSERT_TRUE(p.h.app().GetDisplayItems().empty());
    EXPECT_EQ(p.h.prompts().messageTexts(), std::vector<std::string>{CItemSelPage::kNoItems});
    EXPECT_EQ(p.frame.dataView(), nullptr);
    EXPECT_EQ(p.h.app().IsDataLoaded(), 1);
}

}  // namespace
}  // namespace zbq::test
