// The item window offscreen: how it opens and is raised, which of its tab, state and close
// steps are recorded (the user's, not the program's), the divider's fit step, the percent
// button's step, and its summary and counters as a user sees them.
#include "tests/windows/item_sheet_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

#include "platform/ui/modal_runner.h"
#include "windows/summary_percent_dialog.h"
#include "windows/value_list_placeholder_view.h"

namespace zbq::windows {
namespace {

using test::ItemSheetTest;

void clickTab(CItemSheet& sheet, int index) {
    QTabBar* bar = sheet.tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

TEST_F(ItemSheetTest, OpensOnTheValueListAndIsRaisedNotOpenedTwice) {
    CItemSheet* sheet = open(test::kAge);
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->tabs()->currentIndex(), CItemSheet::kValueListPage);
    EXPECT_EQ(open(test::kAge), sheet);
    EXPECT_EQ(frame->ItemSheetCount(), 1);
    EXPECT_TRUE(macro.steps.empty());
    EXPECT_EQ(sheet->summaryText().substr(0, 3), "1.\x8d");  // the summary is written
    EXPECT_EQ(sheet->findChild<QLabel*>("totalCount")->text(), "12");
}

TEST_F(ItemSheetTest, TabStepsAreTheUsersOnly) {
    CItemSheet* sheet = open(test::kAge);
    sheet->ShowPage(CItemSheet::kSummaryPage);
    sheet->ShowPage(CItemSheet::kValueListPage);
    EXPECT_TRUE(macro.steps.empty());
    clickTab(*sheet, CItemSheet::kSummaryPage);
    clickTab(*sheet, CItemSheet::kValueListPage);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"OpenSummaryTab,2", "OpenValListTab,2"}));
}

TEST_F(ItemSheetTest, AWindowOpenedByAnotherCommandRecordsNoTabAndLaterClosesWithItsStep) {
    {
        // What the original-data window's item details do around the opening.
        CKWApp::SuppressGuard opening(app(), Suppress::CloseOne);
        open(test::kAge);
        open(test::kAge);
    }
    EXPECT_TRUE(macro.steps.empty());
    frame->FindItemSheet(test::kAge)->close();
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Item_Close,2"});
    EXPECT_EQ(frame->FindItemSheet(test::kAge), nullptr);
}

TEST_F(ItemSheetTest, TheWindowListsCloseRecordsNoCloseStep) {
    CItemSheet* sheet = open(test::kAge);
    {
        CKWApp::SuppressGuard closing(app(), Suppress::CloseOne);
        sheet->close();
    }
    EXPECT_TRUE(macro.steps.empty());
    EXPECT_EQ(frame->ItemSheetCount(), 0);
}

TEST_F(ItemSheetTest, TheUsersMaximiseAndRestoreAreRecorded) {
    CItemSheet* sheet = open(test::kAge);
    // The desktop's title-bar buttons reach the window through its platform window.
    sheet->windowHandle()->setWindowStates(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    sheet->windowHandle()->setWindowStates(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Item_Max,2", "Item_Restore,2"}));
    // The program's own changes (the window list's commands, the players) record nothing here.
    macro.steps.clear();
    sheet->showMaximized();
    sheet->showNormal();
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(ItemSheetTest, ADividerDoubleClickLeavesOneFitStep) {
    CItemSheet* sheet = open(test::kAge);
    ValueListPlaceholderView* view = sheet->view();
    const QPoint divider(view->columnWidth(0) - view->xOffset(), 10);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, divider);
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Item_Alignment,2,0"});
    // A fit of another column leaves the drag step of this one.
    macro.steps = {"Item_AlignmentFree,2,1,80"};
    view->FitColumn(0);
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Item_AlignmentFree,2,1,80", "Item_Alignment,2,0"}));
}

TEST_F(ItemSheetTest, ADragSelectionIsOneStep) {
    CItemSheet* sheet = open(test::kAge);
    ValueListPlaceholderView* view = sheet->view();
    const int y2 = ValueListPlaceholderView::kHeaderHeight + 2 * 20 + 5;  // row 2
    const int y4 = y2 + 2 * 20;                                           // row 4
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(10, y2));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, y4),
                     view->viewport()->mapToGlobal(QPointF(10, y4)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(10, y4));
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Item_SelectCell,2,0,2,0,4"});
}

TEST_F(ItemSheetTest, ThePercentButtonRecordsItsValue) {
    CItemSheet* sheet = open(test::kAge);
    std::string typed = "37.5";
    ui::ScopedModalHook hook([&typed](QDialog& dialog) {
        auto* percent = dynamic_cast<CPercentRankDlg*>(&dialog);
        if (!percent) return int(QDialog::Rejected);
        percent->percentEdit()->setText(QString::fromStdString(typed));
        percent->accept();
        return percent->result();
    });
    sheet->percentButton()->click();
    macro.variable = true;
    typed = "50";
    sheet->percentButton()->click();
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Item_PercentValue,2,37.5", "Item_PercentValue,2,???"}));
    EXPECT_NE(cp932::toUtf8(sheet->summaryText()).find("％順位[37.5]\r\n値      42\r\n"),
              std::string::npos);
    // A refused text keeps the dialog open with its reason and adds nothing.
    typed = "150";
    macro.steps.clear();
    sheet->percentButton()->click();
    EXPECT_TRUE(macro.steps.empty());
    EXPECT_EQ(harness.prompts().messages().back().text.toStdString(),
              "0～100の範囲で入力してください");
}

TEST_F(ItemSheetTest, ARefreshRewritesTheSummaryAndCounts) {
    CItemSheet* sheet = open(test::kAge);
    ASSERT_EQ(app().KWsrch("#1=1"), 5);
    app().RefreshItemWindows();
    EXPECT_EQ(sheet->findChild<QLabel*>("totalCount")->text(), "5");
    EXPECT_NE(cp932::toUtf8(sheet->summaryText()).find("3.全ﾚｺｰﾄﾞ数:\t\t5\r\n"), std::string::npos);
    EXPECT_NE(sheet->summaryEdit()->toPlainText().indexOf(QStringLiteral("全ﾚｺｰﾄﾞ数")), -1);
}

TEST_F(ItemSheetTest, GoingAwayDropsTheItemsExclusionFlags) {
    CItemSheet* sheet = open(test::kAge);
    sheet->model().setSelection({0, 2}, {0, 2});
    sheet->page().Mark(MarkCommand::RemoveSelection);
    ASSERT_EQ(app().KWpassDataGet(test::kAge, 2), 0);
    delete sheet;
    EXPECT_EQ(app().KWpassDataGet(test::kAge, 2), 1);
}

}  // namespace
}  // namespace zbq::windows
