// The console sheet offscreen: its tabs and pages, the steps the user's tab and window-state
// changes record (and the program's own, which record none), the status bar's parts, the
// progress animation, the close box, and the data-selection tab's list of sets.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <QTreeWidgetItem>

#include <QWindow>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "console/cons_status_bar.h"
#include "console/data_sel_page.h"
#include "console/log_page.h"
#include "console/progress_animation.h"
#include "console/state_image_delegate.h"
#include "console/sys_page.h"
#include "tests/console/console_fixture.h"

namespace {

// The set tree's mark of the current set: its state image.
int stateImage(const QTreeWidgetItem* node) {
    return node->data(0, StateImageDelegate::kStateImageRole).toInt();
}

using zbq::test::ConsoleTest;

TEST_F(ConsoleTest, FiveTabsSixPagesOpeningOnTheLogTab) {
    QTabWidget* tabs = sheet->tabs();
    ASSERT_EQ(tabs->count(), 5);
    const char* captions[] = {"ｼｽﾃﾑ", "項目選択", "ﾃﾞｰﾀ選択", "多次元集計", "ﾛｸﾞ"};
    const ConsolePage pages[] = {ConsolePage::System, ConsolePage::ItemSelection,
                                 ConsolePage::DataSelection, ConsolePage::Molap, ConsolePage::Log};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs->tabText(i), QString::fromUtf8(captions[i]));
        EXPECT_EQ(tabs->widget(i), sheet->Page(pages[i]));
    }
    // The OLAP page exists, belongs to the console and has no tab.
    QWidget* olap = sheet->Page(ConsolePage::Olap);
    ASSERT_NE(olap, nullptr);
    EXPECT_EQ(tabs->indexOf(olap), -1);
    EXPECT_TRUE(sheet->isAncestorOf(olap));
    EXPECT_FALSE(sheet->ActivatePage(ConsolePage::Olap));

    EXPECT_EQ(sheet->CurrentPage(), ConsolePage::Log);
    EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("ｺﾝｿｰﾙ (Main Navigator)"));
    EXPECT_TRUE(sheet->isWindow());
}

// The user's tab changes record their steps; the program's own (start-up showing the item
// tab, an action or a player opening one) and showing the console record none.
TEST_F(ConsoleTest, OnlyTheUsersTabChangesRecordTheirSteps) {
    sheet->show();
    sheet->hide();
    sheet->show();
    app.ActivateConsolePage(0);
    sheet->ActivatePage(ConsolePage::Molap);
    app.ActivateConsolePage(5);  // no such tab
    EXPECT_TRUE(macro.steps.empty());
    EXPECT_EQ(sheet->CurrentPage(), ConsolePage::Molap);

    QTabBar* bar = sheet->tabs()->findChild<QTabBar*>();
    ASSERT_NE(bar, nullptr);
    const auto click = [bar](int tab) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    };
    click(1);
    click(1);  // already there: no change
    click(0);
    QTest::keyClick(sheet->tabs(), Qt::Key_Tab, Qt::ControlModifier);
    sheet->ActivatePage(ConsolePage::Log);
    click(2);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"OpenItemSelTab", "OpenSystemTab",
                                                     "OpenItemSelTab", "OpenDataSelTab"}));
    EXPECT_EQ(sheet->CurrentPage(), ConsolePage::DataSelection);

    macro.recording = false;
    click(4);
    EXPECT_EQ(macro.steps.size(), 4u);
}

TEST_F(ConsoleTest, TitleBarCommandsRecordAndTheProgramsOwnStateChangesDoNot) {
    sheet->show();
    sheet->OnSysCommand(ConsoleSysCommand::Maximize);
    EXPECT_TRUE(sheet->isMaximized());
    sheet->OnSysCommand(ConsoleSysCommand::Minimize);
    EXPECT_TRUE(sheet->isMinimized());
    sheet->OnSysCommand(ConsoleSysCommand::Restore);
    EXPECT_FALSE(sheet->isMinimized());
    EXPECT_TRUE(sheet->isMaximized()) << "back at the size it had";
    sheet->OnSysCommand(ConsoleSysCommand::Restore);
    EXPECT_FALSE(sheet->isMaximized());
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Cons_Max", "Cons_Min", "Cons_Restore", "Cons_Restore"}));

    // The frame minimising every window, say: nothing recorded.
    macro.steps.clear();
    sheet->showMinimized();
    sheet->showNormal();
    sheet->showMaximized();
    EXPECT_TRUE(macro.steps.empty());

    // The window system confirming those changes late records nothing either.
    QCoreApplication::processEvents();
    EXPECT_TRUE(macro.steps.empty());

    // The user's double click on the caption, as the window system reports it.
    sheet->showNormal();
    QCoreApplication::processEvents();
    sheet->windowHandle()->setWindowStates(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Cons_Max"}));
}

TEST_F(ConsoleTest, TwoTitleBarCommandsInOneTurnRecordTwoSteps) {
    sheet->show();
    QCoreApplication::processEvents();
    sheet->OnSysCommand(ConsoleSysCommand::Maximize);
    sheet->OnSysCommand(ConsoleSysCommand::Restore);
    QCoreApplication::processEvents();  // the window system's late reports arrive now
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Cons_Max", "Cons_Restore"}));
}

TEST_F(ConsoleTest, StatusBarPartsAndText) {
    sheet->resize(440, 524);
    sheet->show();
    CConsStatusBar* status = sheet->statusBar();
    EXPECT_EQ(status->edges(), (std::array<int, 3>{146, 292, -1}));
    EXPECT_EQ(status->partRect(0).right() + 1, 146);
    EXPECT_EQ(status->partRect(1).left(), 146);
    EXPECT_EQ(status->partRect(2).right() + 1, status->width());

    app.SetStatusText(zbq::cp932::literal("読込み中"));
    EXPECT_EQ(status->partText(0), QString::fromUtf8("読込み中"));
    EXPECT_EQ(sheet->StatusText(), zbq::cp932::literal("読込み中"));
    EXPECT_TRUE(status->partText(1).isEmpty());
}

// A second start must not leave a first animation behind: one stop ends all movement.
TEST_F(ConsoleTest, StartingProgressTwiceRunsOneAnimationThatOneStopEnds) {
    QProgressBar* bar = sheet->progressBar();
    EXPECT_EQ(bar->maximum(), 32767);
    int moves = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&moves] { ++moves; });

    EXPECT_EQ(app.StartProgress(), 1);
    bar->setValue(5);
    EXPECT_EQ(app.StartProgress(), 1);
    EXPECT_EQ(bar->value(), 10922);
    moves = 0;
    QTest::qWait(3 * ProgressAnimation::kStepMs);
    EXPECT_GT(moves, 0) << "the bar moves while work runs";

    app.StopProgress();
    EXPECT_FALSE(sheet->progress().isRunning());
    EXPECT_EQ(bar->value(), 0);
    moves = 0;
    QTest::qWait(3 * ProgressAnimation::kStepMs);
    EXPECT_EQ(moves, 0) << "an animation still drives the bar after the stop";
    EXPECT_EQ(bar->value(), 0);
    app.StopProgress();  // stopping again is harmless
    EXPECT_EQ(bar->value(), 0);
}

// A main window that counts the close requests it receives.
class CountingFrame : public QWidget, public WindowPort {
public:
    int closes = 0;
    QWidget* mainWindow() const override { return const_cast<CountingFrame*>(this); }

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        event->ignore();
    }
};

TEST_F(ConsoleTest, ClosingTheConsoleAsksTheFrameToCloseAfterwards) {
    CountingFrame frame;
    app.SetWindowPort(&frame);
    sheet->show();
    EXPECT_FALSE(sheet->close());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(frame.closes, 0) << "the frame may destroy the console: not inside its close";
    QApplication::processEvents();
    EXPECT_EQ(frame.closes, 1);
    app.SetWindowPort(nullptr);
}

TEST_F(ConsoleTest, DestroyingTheConsoleRemovesItsPort) {
    EXPECT_TRUE(app.console().exists());
    sheet.reset();
    EXPECT_FALSE(app.console().exists());
    app.SetStatusText("x");  // reaches the null port, not a dead console
}

TEST_F(ConsoleTest, DataSelectionTabListsTheSetsWithTheMarkedOneBold) {
    const std::string title = zbq::cp932::literal("調査");
    SetRecord all;
    all.text2 = "No.0 " + title + " / 5,000";
    SetRecord part;
    part.level = 1;
    part.number = 3;
    part.text2 = "No.3 x / 12";
    app.SetSetList(4, {all, part});
    EXPECT_EQ(app.GetCurrentSetNo(), -1);

    app.RebuildSetTree();
    app.MarkCurrentSet(3);
    EXPECT_EQ(app.GetCurrentSetNo(), 3);
    CDataSelPage* page = sheet->DataSelPage();
    EXPECT_EQ(page->SetLines(), (std::vector<std::string>{all.text2, part.text2}));
    EXPECT_EQ(stateImage(page->FindSetItem(0)), 0);
    EXPECT_EQ(stateImage(page->FindSetItem(3)), 1);
    EXPECT_EQ(page->FindSetItem(0)->text(0), QString::fromUtf8("No.0 調査 / 5,000"));
    EXPECT_EQ(page->FindSetItem(3)->parent(), page->FindSetItem(0));

    // A rebuild keeps the mark on its set.
    app.RebuildSetTree();
    EXPECT_EQ(stateImage(page->FindSetItem(3)), 1);
}

}  // namespace
