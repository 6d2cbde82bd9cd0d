// The item window offscreen: how it opens and is raised, which of its tab, state and close
// steps are recorded (the user's, not the program's), the divider's fit step, the percent
// button's step, and its summary and counters as a user sees them.
#include "tests/windows/item_sheet_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>
#include <QWindow>

#include <functional>
#include <utility>

#include "macro/cmacro.h"
#include "platform/ui/modal_runner.h"
#include "windows/summary_percent_dialog.h"
#include "windows/value_list_view.h"

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

// The window list's close of one window and its close of all windows record no close step.
TEST_F(ItemSheetTest, TheWindowListsCloseRecordsNoCloseStep) {
    for (const Suppress flag : {Suppress::CloseOne, Suppress::CloseAll}) {
        CItemSheet* sheet = open(test::kAge);
        {
            CKWApp::SuppressGuard closing(app(), flag);
            sheet->close();
        }
        EXPECT_TRUE(macro.steps.empty());
        EXPECT_EQ(frame->ItemSheetCount(), 0);
    }
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
    ValueListView* view = sheet->view();
    QWidget* header = view->grid().columnHeader();
    const QPoint divider(ValueListView::kRowHeaderWidth + view->columnWidth(0) - view->xOffset(),
                         10);
    QTest::mousePress(header, Qt::LeftButton, {}, divider);
    QTest::mouseRelease(header, Qt::LeftButton, {}, divider);
    QTest::mouseDClick(header, Qt::LeftButton, {}, divider);
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Item_Alignment,2,0"});
    // A fit of another column leaves the drag step of this one.
    macro.steps = {"Item_AlignmentFree,2,1,80"};
    view->FitColumn(0);
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Item_AlignmentFree,2,1,80", "Item_Alignment,2,0"}));
}

TEST_F(ItemSheetTest, ADragSelectionIsOneStep) {
    CItemSheet* sheet = open(test::kAge);
    ValueListView* view = sheet->view();
    QWidget* list = view->grid().list()->viewport();
    const int rowHeight = view->grid().geometry().rowHeight();
    const int y2 = 2 * rowHeight + 5;   // row 2
    const int y4 = y2 + 2 * rowHeight;  // row 4
    QTest::mousePress(list, Qt::LeftButton, {}, QPoint(10, y2));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, y4), list->mapToGlobal(QPointF(10, y4)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &move);
    QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(10, y4));
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

// The search typed as a user does: a click into the field, keys, a click on a value button. The
// field is left for the button, so its step comes first; played back on a fresh window the two
// steps find the same value.
TEST_F(ItemSheetTest, ATypedSearchIsRecordedBeforeTheButtonThatUsesIt) {
    CItemSheet* sheet = open(test::kAge);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    QTest::mouseClick(sheet->searchField()->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(">40"));
    QTest::mouseClick(sheet->findChild<QPushButton*>("toTopValue"), Qt::LeftButton);
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"InputSearchTerm,2,\">40\"", "ToTopItemData,2"}));
    const CellPos found = sheet->model().GetSelStart();
    EXPECT_GT(found.row, 0) << "a value above 40 is selected";

    // The history dropping down keeps the user in the field: nothing more is recorded.
    macro.steps.clear();
    QTest::mouseClick(sheet->searchField()->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0"));
    sheet->searchField()->showPopup();
    sheet->searchField()->hidePopup();
    EXPECT_TRUE(macro.steps.empty()) << ::testing::PrintToString(macro.steps);

    const std::vector<std::string> recorded = {"InputSearchTerm,2,\">40\"", "ToTopItemData,2"};
    sheet->close();
    CItemSheet* fresh = open(test::kAge);
    EXPECT_NE(fresh->model().GetSelStart().row, found.row);
    CMacro player(app());
    for (const std::string& step : recorded)
        EXPECT_EQ(player.ExecuteStep(step), 1) << step;
    EXPECT_EQ(fresh->model().GetSelStart().row, found.row);
    EXPECT_EQ(fresh->model().GetSelStart().column, found.column);
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

// Closed and opened again in one turn: the flags go with the close, and the old window dying
// later leaves the new window's marks in the engine.
TEST_F(ItemSheetTest, AClosedWindowDyingLateKeepsTheNewWindowsMarks) {
    CItemSheet* old = open(test::kAge);
    old->model().setSelection({0, 2}, {0, 2});
    old->page().Mark(MarkCommand::RemoveSelection);
    const QPointer<CItemSheet> dying(old);
    ASSERT_TRUE(old->close());
    EXPECT_EQ(app().KWpassDataGet(test::kAge, 2), 1);
    CItemSheet* sheet = open(test::kAge);
    ASSERT_TRUE(sheet);
    ASSERT_NE(sheet, old);
    sheet->model().setSelection({0, 3}, {0, 3});
    sheet->page().Mark(MarkCommand::RemoveSelection);
    ASSERT_EQ(app().KWpassDataGet(test::kAge, 3), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(dying.isNull());
    EXPECT_EQ(app().KWpassDataGet(test::kAge, 3), 0);
    EXPECT_EQ(app().KWpassDataGet(test::kAge, 2), 1);
}

// Red pixels of the list's text in the band of a row.
int redPixels(const QImage& image, int top, int height) {
    int red = 0;
    for (int y = top; y < top + height && y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    return red;
}

TEST_F(ItemSheetTest, UncheckedValuesAreDrawnInRedSelectedOrNot) {
    CItemSheet* sheet = open(test::kAge);
    ValueListView* view = sheet->view();
    view->SelectRows(3, 4);
    view->model().Mark(MarkCommand::RemoveSelection);
    view->SelectRows(4, 5);  // row 4 unchecked and selected, row 5 checked and selected
    view->refresh();
    ASSERT_FALSE(view->model().IsValueChecked(3));
    ASSERT_TRUE(view->model().IsValueChecked(5));
    QWidget* list = view->grid().list()->viewport();
    const QImage image = list->grab().toImage();
    const int h = view->grid().geometry().rowHeight();
    for (const int row : {3, 4})
        EXPECT_GT(redPixels(image, row * h, h), 0) << "row " << row;
    for (const int row : {2, 5})
        EXPECT_EQ(redPixels(image, row * h, h), 0) << "row " << row;
}

// The leftmost and rightmost columns of dark ink in a box of the image; {-1, -1} for none.
std::pair<int, int> inkSpan(const QImage& image, const QRect& box) {
    int first = -1, last = -1;
    for (int x = box.left(); x <= box.right() && x < image.width(); ++x)
        for (int y = box.top(); y <= box.bottom() && y < image.height(); ++y)
            if (image.pixelColor(x, y).lightness() < 100) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST_F(ItemSheetTest, ErrorAndBlankRowsAreLeftAlignedAndValuesRight) {
    CItemSheet* sheet = open(test::kAge);
    ValueListView* view = sheet->view();
    view->SelectCells({2, 11}, {2, 11});  // keep the highlight out of the way
    view->SetColumnWidth(0, 200);
    QWidget* list = view->grid().list()->viewport();
    const QImage image = list->grab().toImage();
    const int h = view->grid().geometry().rowHeight();
    // Inside the grid lines of column 0.
    const auto box = [h](int row) { return QRect(1, row * h + 1, 196, h - 3); };
    const auto [errorLeft, errorRight] = inkSpan(image, box(0));
    const auto [valueLeft, valueRight] = inkSpan(image, box(2));
    ASSERT_GE(errorLeft, 0);
    ASSERT_GE(valueLeft, 0);
    EXPECT_LT(errorLeft, 20);
    EXPECT_GT(valueRight, 180);
    EXPECT_GT(valueLeft, 100);
}

void drag(QWidget* on, QPoint from, QPoint to) {
    QTest::mousePress(on, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), on->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &move);
    QTest::mouseRelease(on, Qt::LeftButton, {}, to);
}

TEST_F(ItemSheetTest, TheGridsControlsRecordTheValueListsSteps) {
    CItemSheet* sheet = open(test::kAge);
    ValueListView* view = sheet->view();
    ResultGrid& grid = view->grid();
    const int h = grid.geometry().rowHeight();
    const int W = ValueListView::kRowHeaderWidth;
    const auto titleX = [&](int column) {
        return W + grid.geometry().columnLeft(column) + grid.geometry().columnWidth(column) / 2;
    };
    const auto wheel = [](QWidget* over, QPoint delta) {
        QWheelEvent turn(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), delta,
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(over, &turn);
    };
    struct Case {
        const char* gesture;
        std::function<void()> act;
        std::vector<std::string> steps;
    };
    const std::vector<Case> cases = {
        {"corner",
         [&] {
             QTest::mouseClick(grid.columnHeader(), Qt::LeftButton, {}, {5, 5});
         },
         {"Item_SelectAll,2"}},
        {"row labels",
         [&] {
             drag(grid.rowHeader(), {10, 2 * h + 5}, {10, 4 * h + 5});
         },
         {"Item_SelectRow,2,2,4"}},
        {"titles",
         [&] {
             drag(grid.columnHeader(), {titleX(0), 10}, {titleX(1), 10});
         },
         {"Item_SelectColumn,2,0,1"}},
        {"move key",
         [&] { QTest::keyClick(grid.list(), Qt::Key_Down); },
         {"Item_ChangeSelectByKey,2,40,1,0"}},
        {"scroll bar",
         [&] {
             grid.list()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
         },
         {"Item_VScroll,2,1,0"}},
        {"wheel",
         [&] {
             wheel(grid.list()->viewport(), {0, -120});
         },
         {"Item_MouseWheel,2,0,-120"}},
        {"wheel over the scroll bar",
         [&] {
             wheel(grid.list()->verticalScrollBar(), {0, 120});
         },
         {"Item_MouseWheel,2,0,120"}},
        {"sideways wheel",
         [&] {
             wheel(grid.list()->viewport(), {-120, 0});
         },
         {}},
    };
    for (const Case& c : cases) {
        macro.steps.clear();
        const int top = view->topRow();
        c.act();
        EXPECT_EQ(macro.steps, c.steps) << c.gesture;
        if (c.steps.empty()) {
            EXPECT_EQ(view->topRow(), top) << c.gesture;
        }
    }
}

}  // namespace
}  // namespace zbq::windows
