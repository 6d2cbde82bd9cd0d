// Details of the analysis windows as seen on the screen: the cross-tab row labels show no menu
// (the cells and the column titles have theirs); a double-click on a value list's divider fits
// the column to its widest visible text anywhere from the column's own minimum (its title) to
// the widest column a grid has, as every grid's divider does, where it was held to 50..256.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "platform/core/cp932.h"
#include "tests/windows/console_screen.h"
#include "windows/grid_controller.h"
#include "windows/value_list_view.h"

namespace zbq::windows {
namespace {

// Whether a right click at `at` of the control opens a menu; a menu that opens is closed again.
bool menuOpens(QWidget* control, QPoint at) {
    bool opened = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = true;
            popup->close();
        }
    });
    closer.start(5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, control->mapToGlobal(at));
    QApplication::sendEvent(control, &event);
    QTest::qWait(30);
    return opened;
}

TEST(WindowDetails, TheCrossTabsRowLabelsHaveNoMenu) {
    ConsoleScreen s;
    CrossSettings settings;
    settings.xItem = 1;
    settings.yItem = 2;
    s.h.app().SetCrossSettings(settings);
    ASSERT_EQ(s.frame.ShowCrossWindow(), 1);
    auto* window = qobject_cast<CCrossFrm*>(s.frame.crossWindow());
    ASSERT_NE(window, nullptr);
    ResultGrid& grid = window->view().grid();
    const int rowHeight = grid.geometry().rowHeight();
    EXPECT_FALSE(menuOpens(grid.rowHeader(), QPoint(20, rowHeight / 2)));
    EXPECT_EQ(window->view().BuildMenu(GridRole::RowHeader, -1), nullptr);
    // The cells and the column titles keep theirs.
    EXPECT_TRUE(menuOpens(grid.list()->viewport(), QPoint(10, rowHeight / 2)));
    EXPECT_TRUE(menuOpens(grid.columnHeader(),
                          QPoint(CrossTabModel::kRowHeaderWidth + 10, CrossTabModel::kHeaderHeight / 2)));
    EXPECT_TRUE(s.h.prompts().messages().empty());
}

// An item "名" of one value far wider than 256 pixels and an item "n" of short numbers.
bool loadWideAndNarrow(test::AppHarness& h) {
    const std::string wide(80, 'W');
    return h.load(cp932::literal("Title = \"t\"\nitem = \"名\"\n  String\nEndItem\n"
                                 "item = \"n\"\n  Integer\nEndItem\nEndTitle\n"),
                  "name\tn\n" + wide + "\t1\nw\t2\n");
}

TEST(WindowDetails, ADividerDoubleClickFitsFromTheTitleToTheWidestColumn) {
    test::AppHarness h;
    ASSERT_TRUE(loadWideAndNarrow(h));
    h.app().SetDataLoaded(1);
    CMainFrame frame(h.app(), analysisFactories(h));
    frame.resize(1024, 720);
    for (const std::int32_t item : {0, 1}) {
        ASSERT_EQ(frame.ShowItemSheet(item), 1);
        auto* sheet = dynamic_cast<CItemSheet*>(frame.FindItemSheet(item));
        ASSERT_NE(sheet, nullptr);
        ValueListView* view = sheet->view();
        const ResultGrid& grid = view->grid();
        // The value column, its widest visible text and its title as the grid measures them.
        int widest = 0;
        for (std::int32_t row = 0; row < view->model().rowCount(); ++row)
            widest = std::max(widest, grid.textWidth(view->model().cellText(row, 0)));
        const int title = grid.textWidth(cp932::literal("値"));

        QWidget* header = grid.columnHeader();
        const QPoint divider(ValueListView::kRowHeaderWidth + view->columnWidth(0), 10);
        QTest::mouseDClick(header, Qt::LeftButton, {}, divider);
        const int fitted = view->columnWidth(0);
        if (item == 0) {
            EXPECT_GT(widest + GridController::kFitPadding, 256);
            EXPECT_EQ(fitted, widest + GridController::kFitPadding) << "held below the text";
        } else {
            ASSERT_LT(std::max(widest, title) + GridController::kFitPadding, 50);
            EXPECT_EQ(fitted, std::max(widest, title) + GridController::kFitPadding)
                << "held wider than its texts and its title";
        }
        frame.RemoveItemSheet(item);
    }
}

}  // namespace
}  // namespace zbq::windows
