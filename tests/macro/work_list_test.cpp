// The work list: one step per press through the dispatcher, the arrow on the step that runs next,
// the completion message, a stopping step, 中止, the captions and the layout of its widget.
#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "macro/macro_dialogs.h"
#include "macro/work_list_dlg.h"
#include "platform/ui/modal_runner.h"
#include "tests/macro/macro_fixture.h"

namespace zbq::test {
namespace {

// The players of this file write what they played here.
std::vector<std::string> played;

std::int32_t playLogged(CMacro&, StepFields& fields) {
    played.push_back(fields[0]);
    return 1;
}
std::int32_t playStopping(CMacro&, StepFields& fields) {
    played.push_back(fields[0]);
    return 0;
}

// A press that arrives while a step plays, as the message pump of a long step lets it in.
QPushButton* pressedWhilePlaying = nullptr;
std::int32_t playPressingAgain(CMacro&, StepFields& fields) {
    played.push_back(fields[0]);
    if (pressedWhilePlaying) pressedWhilePlaying->click();
    return 1;
}

const std::string kComplete = "マクロの実行が完了しました。";

class WorkList : public MacroTest {
protected:
    WorkList() {
        played.clear();
        windows.open = true;
        macro.RegisterPlayer("DispConsole", &playLogged);
        macro.RegisterPlayer("OpenLogTab", &playLogged);
        macro.RegisterPlayer("MinAll", &playStopping);
        macro.SetScreen(&screen);
    }
    ~WorkList() override { macro.SetScreen(nullptr); }

    MacroDialogs screen{macro};
};

TEST_F(WorkList, AOneStepMacroRunsAtTheFirstPressAndSaysItIsComplete) {
    macro.AddMacro("one", "", {"DispConsole"});
    WorkListModel list(macro, 0);
    EXPECT_EQ(list.step(), WorkListModel::Outcome::Done);
    EXPECT_EQ(played, std::vector<std::string>{"DispConsole"});
    EXPECT_EQ(messages(), std::vector<std::string>{kComplete});
}

TEST_F(WorkList, AStoppingStepEndsTheListSilentlyWithTheLaterStepsUnrun) {
    macro.AddMacro("three", "", {"DispConsole", "MinAll", "OpenLogTab"});
    WorkListModel list(macro, 0);
    EXPECT_EQ(list.step(), WorkListModel::Outcome::Next);
    EXPECT_EQ(list.current(), 1);
    EXPECT_EQ(list.step(), WorkListModel::Outcome::Stopped);
    EXPECT_EQ(played, (std::vector<std::string>{"DispConsole", "MinAll"}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(WorkList, RowsShowTheCaptionAndTheWholeStep) {
    macro.AddMacro("m", "", {"ExeMacro,\"a,b\"", "NoSuchCommand,1", "Prt,3"});
    const WorkListModel list(macro, 0);
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.caption(0), "マクロ実行");
    EXPECT_EQ(list.text(0), "ExeMacro,\"a,b\"");
    EXPECT_EQ(list.caption(1), "");
    EXPECT_EQ(list.text(1), "NoSuchCommand,1");
    EXPECT_EQ(list.caption(2), "定型印刷");
}

TEST_F(WorkList, EachPressMovesTheArrowAndSelectionAndKeepsTheListOnTop) {
    macro.AddMacro("m", "", {"DispConsole", "OpenLogTab", "DispConsole"});
    CWorkListDlg dialog(macro, 0);
    dialog.show();
    const QAbstractItemModel& rows = *dialog.rows();
    const auto arrowRow = [&] {
        int found = -1;
        for (int row = 0; row < rows.rowCount(); ++row) {
            const QIcon icon = rows.data(rows.index(row, 0), Qt::DecorationRole).value<QIcon>();
            const QImage image = icon.pixmap(16, 16).toImage();
            if (image.pixelColor(8, 8) == QColor(255, 255, 0)) {
                EXPECT_EQ(found, -1) << "two arrows";
                found = row;
            }
        }
        return found;
    };
    EXPECT_EQ(arrowRow(), 0);
    EXPECT_FALSE(dialog.list()->selectionModel()->hasSelection());
    EXPECT_EQ(rows.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
              "ｽﾃｯﾌﾟ名");
    EXPECT_EQ(rows.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
              "ｺﾏﾝﾄﾞ");

    std::vector<int> changedRows;
    QObject::connect(dialog.rows(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         for (int r = from.row(); r <= to.row(); ++r)
                             changedRows.push_back(r);
                     });
    for (int next : {1, 2}) {
        changedRows.clear();
        dialog.stepButton()->click();
        EXPECT_EQ(arrowRow(), next);
        EXPECT_EQ(changedRows, (std::vector<int>{next - 1, next})) << "repaints two rows";
        const QModelIndexList selected = dialog.list()->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected[0].row(), next);
        EXPECT_EQ(dialog.list()->currentIndex().row(), next);
        EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(dialog.isVisible());
    }
    dialog.stepButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(messages(), std::vector<std::string>{kComplete});
}

TEST_F(WorkList, APressWhileAStepPlaysPlaysNothingMore) {
    macro.RegisterPlayer("OpenSystemTab", &playPressingAgain);
    macro.AddMacro("m", "", {"OpenSystemTab", "DispConsole", "DispConsole"});
    CWorkListDlg dialog(macro, 0);
    pressedWhilePlaying = dialog.stepButton();
    dialog.stepButton()->click();
    pressedWhilePlaying = nullptr;
    EXPECT_EQ(played, std::vector<std::string>{"OpenSystemTab"});
    EXPECT_EQ(dialog.model().current(), 1);
    EXPECT_TRUE(dialog.stepButton()->isEnabled());
}

TEST_F(WorkList, ColumnsShareTheWidthAndButtonsKeepTheirCorner) {
    macro.AddMacro("m", "", {"DispConsole"});
    CWorkListDlg dialog(macro, 0);
    const int w = dialog.list()->contentsRect().width();
    EXPECT_GT(w, 100);
    EXPECT_EQ(dialog.list()->columnWidth(0), 3 * (w / 5));
    EXPECT_EQ(dialog.list()->columnWidth(1), 2 * (w / 5));
    for (const QSize size : {QSize(400, 500), QSize(300, 200)}) {
        dialog.resize(size);
        QResizeEvent resized(size, dialog.size());
        QCoreApplication::sendEvent(&dialog, &resized);
        EXPECT_EQ(dialog.abortButton()->pos(), QPoint(size.width() - 100, size.height() - 30));
        EXPECT_EQ(dialog.stepButton()->pos(), QPoint(size.width() - 200, size.height() - 30));
        EXPECT_EQ(dialog.list()->size(), QSize(size.width() - 25, size.height() - 48));
        // The columns grow and shrink with the list.
        const int fifth = dialog.list()->contentsRect().width() / 5;
        EXPECT_EQ(dialog.list()->columnWidth(0), 3 * fifth) << size.width();
        EXPECT_EQ(dialog.list()->columnWidth(1), 2 * fifth) << size.width();
    }
}

// The list as the macro menu opens it, in its own modal loop: a timer presses ステップ like a
// user, looking each time at what the list shows.
TEST_F(WorkList, InItsOwnModalLoopEveryPressPlaysOneStepUntilTheMacroIsComplete) {
    macro.AddMacro("m", "", {"DispConsole", "OpenLogTab", "DispConsole", "OpenLogTab"});
    struct Seen {
        int current, selected;
        bool onTop;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        auto* list = qobject_cast<CWorkListDlg*>(QApplication::activeModalWidget());
        if (!list || !list->isVisible() || !list->stepButton()->isEnabled()) return;
        const QModelIndexList selected = list->list()->selectionModel()->selectedRows();
        seen.push_back({list->model().current(), selected.size() == 1 ? selected[0].row() : -1,
                        (list->windowFlags() & Qt::WindowStaysOnTopHint) != 0});
        QTest::mouseClick(list->stepButton(), Qt::LeftButton);
    });
    presser.start(5);
    EXPECT_EQ(macro.StepMacro(0), 1);
    presser.stop();
    EXPECT_EQ(played,
              (std::vector<std::string>{"DispConsole", "OpenLogTab", "DispConsole", "OpenLogTab"}));
    EXPECT_EQ(seen, (std::vector<Seen>{{0, -1, true}, {1, 1, true}, {2, 2, true}, {3, 3, true}}));
    EXPECT_EQ(messages(), std::vector<std::string>{kComplete});
    EXPECT_EQ(screen.openDialog(), "");
}

TEST_F(WorkList, AbortForgetsThePositionAndTheNextListStartsAtTheFirstStep) {
    macro.AddMacro("m", "", {"DispConsole", "OpenLogTab", "DispConsole"});
    std::vector<int> opened;
    ui::ScopedModalHook hook([&](QDialog& d) {
        auto& dialog = dynamic_cast<CWorkListDlg&>(d);
        opened.push_back(dialog.model().current());
        EXPECT_EQ(screen.openDialog(), "work list: step 0");
        dialog.stepButton()->click();
        EXPECT_EQ(screen.openDialog(), "work list: step 1");
        dialog.abortButton()->click();
        return dialog.result();
    });
    EXPECT_EQ(macro.StepMacro(0), 1);
    EXPECT_EQ(macro.StepMacro(0), 1);
    EXPECT_EQ(opened, (std::vector<int>{0, 0}));
    EXPECT_EQ(played, (std::vector<std::string>{"DispConsole", "DispConsole"}));
    EXPECT_EQ(screen.openDialog(), "");
    EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace zbq::test
