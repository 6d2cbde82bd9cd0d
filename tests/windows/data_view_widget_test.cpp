// The original-data window offscreen, through real mouse events on its controls: each gesture
// of the header strips and the list records exactly the step it stands for, and the list follows
// the scroll bar and the auto-scroll of a drag.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

#include "app/main_frame.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"
#include "windows/kw_view.h"

namespace zbq::windows {
namespace {

class DataViewWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.load());
        harness.app().SetDisplayItems({0, 1, 2, 3, 4, 5, 6});
        harness.app().SetGridItems();
        WindowFactories factories;
        factories.dataView = [this](CMainFrame&) { return CKWView::Make(harness.app()); };
        factories.itemWindow = [this](CMainFrame&, std::int32_t item) {
            itemsOpened.push_back(item);
            flagWhileOpening = harness.app().IsSuppressed(Suppress::CloseOne);
            return new QWidget;
        };
        frame = std::make_unique<CMainFrame>(harness.app(), std::move(factories));
        harness.app().SetMacroPort(&macro);
        frame->resize(700, 200);
        frame->show();
        frame->ShowDataView();
        view = qobject_cast<CKWView*>(frame->dataView());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        QCoreApplication::processEvents();
        macro.steps.clear();
    }
    void TearDown() override {
        harness.app().SetMacroPort(nullptr);
        frame.reset();
    }

    GridController& g() { return view->model().geometry(); }
    // The centre of a cell in list coordinates.
    QPoint cellPoint(int column, int row) {
        return {g().columnLeft(column) - g().xOffset() + g().columnWidth(column) / 2,
                (row - g().topRow()) * g().rowHeight() + g().rowHeight() / 2};
    }
    QWidget* list() { return view->grid().list()->viewport(); }
    QWidget* header() { return view->grid().columnHeader(); }
    QWidget* rows() { return view->grid().rowHeader(); }
    static void doubleClick(QWidget* widget, QPoint at) {
        QMouseEvent event(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
    int dividerX(int column) { return 80 + g().columnLeft(column + 1) - g().xOffset(); }

    test::AppHarness harness;
    test::RecordingMacro macro;
    std::unique_ptr<CMainFrame> frame;
    CKWView* view = nullptr;
    std::vector<std::int32_t> itemsOpened;
    bool flagWhileOpening = false;
};

TEST_F(DataViewWidgetTest, DragsSelectAndRecordCellsRowsAndTheCorner) {
    QTest::mousePress(list(), Qt::LeftButton, {}, cellPoint(1, 1));
    QTest::mouseMove(list(), cellPoint(2, 3));
    QTest::mouseRelease(list(), Qt::LeftButton, {}, cellPoint(2, 3));
    EXPECT_EQ(view->model().GetSelStart(), (Cell{1, 1}));
    EXPECT_EQ(view->model().GetSelEnd(), (Cell{2, 3}));

    QTest::mousePress(rows(), Qt::LeftButton, {}, QPoint(40, cellPoint(0, 2).y()));
    QTest::mouseMove(rows(), QPoint(40, cellPoint(0, 4).y()));
    QTest::mouseRelease(rows(), Qt::LeftButton, {}, QPoint(40, cellPoint(0, 4).y()));
    EXPECT_EQ(view->model().GetSelEnd(), (Cell{6, 4}));

    const int titleY = 10;
    QTest::mousePress(header(), Qt::LeftButton, {}, QPoint(80 + cellPoint(1, 0).x(), titleY));
    QTest::mouseMove(header(), QPoint(80 + cellPoint(3, 0).x(), titleY));
    QTest::mouseRelease(header(), Qt::LeftButton, {}, QPoint(80 + cellPoint(3, 0).x(), titleY));
    EXPECT_EQ(view->model().GetSelStart(), (Cell{1, 0}));
    EXPECT_EQ(view->model().GetSelEnd(), (Cell{3, 11}));

    QTest::mouseClick(header(), Qt::LeftButton, {}, QPoint(40, titleY));
    EXPECT_EQ(view->model().GetSelEnd(), (Cell{6, 11}));
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Data_SelectCell,1,1,2,3", "Data_SelectRow,2,4",
                                        "Data_SelectColumn,1,3", "Data_SelectAll"}));
}

TEST_F(DataViewWidgetTest, DividerDragResizesAndItsDoubleClickRecordsOnlyTheFit) {
    const int x = dividerX(1);
    const int before = g().columnWidth(1);
    QTest::mousePress(header(), Qt::LeftButton, {}, QPoint(x, 10));
    QTest::mouseMove(header(), QPoint(x + 25, 10));
    QTest::mouseRelease(header(), Qt::LeftButton, {}, QPoint(x + 25, 10));
    EXPECT_EQ(g().columnWidth(1), before + 25);
    ASSERT_EQ(macro.steps,
              std::vector<std::string>{"Data_AlignmentFree,1," + std::to_string(before + 25)});

    // What the window system sends for a double-click: press, release, double-click, release.
    macro.steps.clear();
    const QPoint at(dividerX(2), 10);
    QTest::mousePress(header(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(header(), Qt::LeftButton, {}, at);
    doubleClick(header(), at);
    QTest::mouseRelease(header(), Qt::LeftButton, {}, at);
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_Alignment,2"});
}

TEST_F(DataViewWidgetTest, TitleDoubleClickOpensTheItemWindowWithTheFlagRaisedOnlyMeanwhile) {
    doubleClick(header(), QPoint(80 + cellPoint(2, 0).x(), 10));
    EXPECT_EQ(itemsOpened, std::vector<std::int32_t>{2});
    EXPECT_TRUE(flagWhileOpening);
    EXPECT_FALSE(harness.app().IsSuppressed(Suppress::CloseOne));
    ASSERT_FALSE(macro.steps.empty());
    EXPECT_EQ(macro.steps.back(), "DispItemDlg,2");
    EXPECT_EQ(std::count(macro.steps.begin(), macro.steps.end(), "DispItemDlg,2"), 1);
}

TEST_F(DataViewWidgetTest, ADragBelowTheListScrollsAndReachesTheLastVisibleRow) {
    ASSERT_LT(g().rowsPerPage(), 12) << "the window must show fewer rows than the records";
    QTest::mousePress(list(), Qt::LeftButton, {}, cellPoint(0, 0));
    QTest::mouseMove(list(), QPoint(cellPoint(0, 0).x(), list()->height() + 30));
    EXPECT_EQ(g().topRow(), 1);
    const std::int32_t last = g().lastVisibleRow();
    QTest::mouseRelease(list(), Qt::LeftButton, {},
                        QPoint(cellPoint(0, 0).x(), list()->height() + 30));
    EXPECT_EQ(view->model().GetSelEnd(), (Cell{0, last}));
    EXPECT_EQ(macro.steps.back(), "Data_SelectCell,0,0,0," + std::to_string(last));
}

TEST_F(DataViewWidgetTest, TheThumbRecordsTheTopRowWhereItIsLetGo) {
    QScrollBar* bar = view->grid().list()->verticalScrollBar();
    ASSERT_GE(bar->maximum(), 3);
    bar->setSliderDown(true);
    bar->triggerAction(QAbstractSlider::SliderMove);
    bar->setSliderPosition(3);
    bar->setSliderDown(false);
    EXPECT_EQ(g().topRow(), 3);
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_VScroll,4,3"});

    macro.steps.clear();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(g().topRow(), std::min(3 + g().rowsPerPage(), g().maxTopRow()));
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_VScroll,3,0"});
}

// A column header's menu offers "コードで表示" on the Code and MultiAns columns alone.
TEST_F(DataViewWidgetTest, CodesAreOfferedForCodeColumnsOnly) {
    for (const std::int32_t column : {0, 1, 2, 3, 4}) {
        const std::unique_ptr<QMenu> menu = view->BuildMenu(GridRole::ColumnHeader, column);
        const QList<QAction*> actions = menu->findChildren<QAction*>();
        const auto codes = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
            return a->data().toInt() == CKWView::kDispByCode;
        });
        ASSERT_NE(codes, actions.end());
        EXPECT_EQ((*codes)->isEnabled(), column == 1 || column == 3) << column;
    }
}

TEST_F(DataViewWidgetTest, KeysAndTheWheelGoThroughTheModel) {
    view->model().ShowRecord(0, 0);
    QTest::keyClick(view->grid().list(), Qt::Key_Tab);
    EXPECT_EQ(view->model().GetSelStart(), (Cell{1, 0}));
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list(), &wheel);
    EXPECT_EQ(g().topRow(), (20 + g().rowHeight() - 1) / g().rowHeight());  // 20 pixels down
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Data_ChengeSelectByKey,9,1,0", "Data_MouseWheel,0,-120"}));
}

TEST_F(DataViewWidgetTest, ClosingTheWindowRecordsAndUnregistersIt) {
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    ASSERT_NE(sub, nullptr);
    sub->showNormal();
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_Restore"});
    sub->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->dataView(), nullptr);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Data_Restore", "Data_Close"}));
}

TEST_F(DataViewWidgetTest, PrintEntriesWorkOnlyWhileTheWindowIsOpen) {
    harness.app().SetPrintMenu({{5, cp932::literal("月報"), harness.file("report.xls")}});
    frame->BuildPrintMenu();
    ASSERT_EQ(frame->printMenu()->actions().size(), 1);
    QAction* entry = frame->printMenu()->actions()[0];
    EXPECT_EQ(entry->text(), QString::fromUtf8("月報"));
    EXPECT_EQ(entry->data().toInt(), 5);
    EXPECT_TRUE(entry->isEnabled());
    qobject_cast<QMdiSubWindow*>(view->parentWidget())->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(entry->isEnabled());
    frame->BuildPrintMenu();  // the start-up builds the menu before any window is open
    EXPECT_FALSE(frame->printMenu()->actions()[0]->isEnabled());
}

}  // namespace
}  // namespace zbq::windows
