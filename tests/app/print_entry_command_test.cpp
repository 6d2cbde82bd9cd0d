// A format-printing entry only ever prints. Its number comes from ZBQ.ini and serves as its
// command, so it may equal one of the frame's own commands (終了, 全てをｱｲｺﾝ化, ｺﾝｿｰﾙを表示): chosen
// from the menu it still prints, and the frame's command does not run.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include "app/analysis_window.h"
#include "app/main_frame.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/recording_macro.h"
#include "tests/support/temp_dir.h"

namespace {

class PrintingView : public QWidget, public DataViewOps {
public:
    std::vector<std::int32_t> printed;
    void RebuildGrid(std::int32_t) override {}
    std::int32_t ShowRecord(std::int32_t, std::int32_t) override { return 0; }
    std::int32_t GetCurrentRow() const override { return 0; }
    void FormatPrint(std::int32_t number) override { printed.push_back(number); }
};

TEST(PrintEntryCommand, AnEntryNumberedLikeAFrameCommandPrintsAndRunsNothingElse) {
    zbq::test::TempDir dir;
    zbq::ui::ScriptedPrompts prompts;
    zbq::test::RecordingMacro macro;
    CKWApp app;
    app.SetProgramDir(dir.path());
    app.SetMacroPort(&macro);
    app.SetDataLoaded(1);
    PrintingView* view = nullptr;
    int consoles = 0;
    WindowFactories factories;
    factories.dataView = [&view](CMainFrame&) { return view = new PrintingView; };
    factories.console = [&consoles](CMainFrame&) {
        ++consoles;
        return ConsoleHandle{new QWidget, nullptr, nullptr};
    };
    {
        CMainFrame frame(app, factories);
        frame.show();
        app.SetPrintMenu({{CMainFrame::kExit, "A", "a.xlsx"},
                          {CMainFrame::kIconizeAll, "B", "b.xlsx"},
                          {CMainFrame::kShowConsole, "C", "c.xlsx"},
                          {7, "D", "d.xlsx"}});
        frame.ShowDataView();
        ASSERT_NE(view, nullptr);

        QMenu* menu = frame.printMenu();
        ASSERT_EQ(menu->actions().size(), 4);
        for (int i = 0; i < 4; ++i) {
            // Chosen as a user chooses it: the menu open, a click on the entry.
            menu->popup(frame.mapToGlobal(QPoint(10, 10)));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
            QAction* entry = menu->actions()[i];
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        }
        EXPECT_EQ(view->printed,
                  (std::vector<std::int32_t>{CMainFrame::kExit, CMainFrame::kIconizeAll,
                                             CMainFrame::kShowConsole, 7}));
        EXPECT_TRUE(prompts.messages().empty()) << "the frame asked to close";
        EXPECT_TRUE(frame.isVisible());
        EXPECT_EQ(consoles, 0) << "the console was shown";
        EXPECT_TRUE(macro.steps.empty()) << macro.steps.front();

        // The frame's own commands stay its own, and a number no command has runs nothing.
        EXPECT_TRUE(frame.RunPrintEntry(7));
        EXPECT_FALSE(frame.runCommand(7));
        EXPECT_FALSE(frame.RunPrintEntry(8));
        EXPECT_EQ(view->printed.size(), 5u);
        frame.UnregisterDataView();
    }
    app.SetMacroPort(nullptr);
}

}  // namespace
