// The main frame offscreen: when it may close, the windows it keeps (console, item windows up to
// the limit), the registry that forgets a closed window, the menu commands that record their
// steps, help and the format-printing menu; with the real console, the window list's rows.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/images.h"
#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "console/sys_page.h"
#include "platform/core/cp932.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/recording_console.h"
#include "tests/support/recording_macro.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::ui::Answer;

using zbq::test::RecordingMacro;

// A console widget that is also its port and lists the windows it was told about.
class FakeConsole : public QWidget, public zbq::test::RecordingConsole {
public:
    std::vector<QWidget*> rows;
    void AddWindowRow(std::string_view title, std::string_view kind, std::int32_t image,
                      QWidget* window) override {
        RecordingConsole::AddWindowRow(title, kind, image, window);
        rows.push_back(window);
    }
    void RemoveWindowRow(QWidget* window) override {
        RecordingConsole::RemoveWindowRow(window);
        std::erase(rows, window);
    }
    std::vector<QWidget*> ListedWindows() const override { return rows; }
};

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() : frame(app, factories()) {
        app.SetProgramDir(dir.path());
        app.SetMacroPort(&macro);
    }
    ~MainFrameTest() override { app.SetMacroPort(nullptr); }

    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame&) {
            auto* console = new FakeConsole;
            consoleMade = console;
            return ConsoleHandle{console, console, nullptr};
        };
        f.itemWindow = [](CMainFrame&, std::int32_t) { return new QWidget; };
        return f;
    }

    QString lastMessage() const {
        return prompts.messages().empty() ? QString() : prompts.messages().back().text;
    }

    zbq::test::TempDir dir;
    zbq::ui::ScriptedPrompts prompts;
    RecordingMacro macro;
    CKWApp app;
    FakeConsole* consoleMade = nullptr;
    CMainFrame frame;
};

TEST_F(MainFrameTest, RefusesToCloseUntilLoadedAndWhileAddingData) {
    for (int adding : {0, 1}) {
        app.SetDataLoaded(adding);
        app.SetAddingData(adding);
        EXPECT_FALSE(frame.RequestClose());
        EXPECT_EQ(lastMessage(), QString::fromUtf8("データがロードされるまでお待ちください"));
        EXPECT_EQ(prompts.messages().back().icon, zbq::ui::Icon::Information);
    }
}

TEST_F(MainFrameTest, AsksBeforeClosingAndNoKeepsEverythingOpen) {
    app.SetDataLoaded(1);
    ASSERT_EQ(frame.ShowConsole(), 1);
    prompts.answer(Answer::No);
    EXPECT_FALSE(frame.RequestClose());
    EXPECT_EQ(lastMessage(), QString::fromUtf8("ZEBRINE を終了しますか？"));
    EXPECT_NE(frame.console(), nullptr);

    prompts.answer(Answer::Yes);
    EXPECT_TRUE(frame.RequestClose());
    EXPECT_EQ(frame.console(), nullptr);
    EXPECT_FALSE(app.console().exists());  // the console's port went with it

    frame.CloseWithoutAsking();  // a refused start-up never asks
    EXPECT_EQ(prompts.unanswered(), 0);
}

TEST_F(MainFrameTest, ConsoleIsMadeOnceAndForgottenWhenClosed) {
    frame.OnShowConsole();
    QWidget* first = frame.console();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(app.console().exists());
    frame.OnShowConsole();
    EXPECT_EQ(frame.console(), first);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"DispConsole", "DispConsole"}));

    delete first;
    EXPECT_EQ(frame.console(), nullptr);
    EXPECT_FALSE(app.console().exists());
}

// Both open about the frame's centre: the console 440 x 524 from (-220, -257), an item window
// 350 x 600 from (-175, -300).
TEST_F(MainFrameTest, TheConsoleAndItemWindowsOpenAboutTheFramesCentre) {
    frame.setGeometry(100, 100, 1000, 800);  // centre (599, 499)
    ASSERT_EQ(frame.ShowConsole(), 1);
    EXPECT_EQ(frame.console()->geometry(), QRect(379, 242, 440, 524));
    ASSERT_EQ(frame.ShowItemSheet(1), 1);
    EXPECT_EQ(frame.itemWindow(1)->geometry(), QRect(424, 199, 350, 600));
}

// Notes which watched window changed its state, in order.
class StateOrder : public QObject {
public:
    std::vector<QObject*> changed;
    void watch(QObject* window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) changed.push_back(watched);
        return false;
    }
};

TEST_F(MainFrameTest, IconizeAllMinimisesListedWindowsLastFirstThenTheConsoleAndRecordsOnce) {
    frame.show();
    ASSERT_EQ(frame.ShowConsole(), 1);
    ASSERT_EQ(frame.ShowItemSheet(1), 1);
    ASSERT_EQ(frame.ShowItemSheet(2), 1);
    QWidget* first = frame.itemWindow(1);
    QWidget* second = frame.itemWindow(2);
    ASSERT_EQ(consoleMade->rows, (std::vector<QWidget*>{first, second}));
    StateOrder order;
    for (QObject* window : {static_cast<QObject*>(first), static_cast<QObject*>(second),
                            static_cast<QObject*>(frame.console())})
        order.watch(window);

    frame.OnIconizeAll();
    EXPECT_TRUE(first->isMinimized());
    EXPECT_TRUE(second->isMinimized());
    EXPECT_TRUE(frame.console()->isMinimized());
    EXPECT_EQ(order.changed, (std::vector<QObject*>{second, first, frame.console()}));
    EXPECT_EQ(macro.steps, std::vector<std::string>{"MinAll"});
}

// The frame with the real console: what the system tab's window list shows of its windows.
class FrameWithConsoleTest : public ::testing::Test {
protected:
    FrameWithConsoleTest() : frame(app, factories()) { app.SetMacroPort(&macro); }
    ~FrameWithConsoleTest() override { app.SetMacroPort(nullptr); }

    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& frame) { return CConsSheet::MakeHandle(app, &frame); };
        f.itemWindow = [](CMainFrame&, std::int32_t) { return new QWidget; };
        f.dataView = [](CMainFrame&) { return new QWidget; };
        f.crossWindow = [](CMainFrame&) { return new QWidget; };
        return f;
    }
    const WindowList& rows() const {
        return qobject_cast<CConsSheet*>(frame.console())->SysPage()->Windows();
    }

    zbq::ui::ScriptedPrompts prompts;
    RecordingMacro macro;
    CKWApp app;
    CMainFrame frame;
};

// Row numbers are what CloseWindow,<row> records: one row per window, however often it is
// shown, or a replay closes another window.
TEST_F(FrameWithConsoleTest, AWindowHiddenAndShownAgainKeepsItsOneRow) {
    ASSERT_EQ(frame.ShowConsole(), 1);
    ASSERT_EQ(frame.ShowItemSheet(4), 1);
    QWidget* item = frame.itemWindow(4);
    item->hide();
    ASSERT_EQ(frame.ShowItemSheet(4), 1);
    EXPECT_TRUE(item->isVisible());
    ASSERT_EQ(frame.ShowItemSheet(5), 1);
    ASSERT_EQ(rows().rowCount(), 2);
    EXPECT_EQ(rows().windowAt(0), item);
    EXPECT_EQ(rows().windowAt(1), frame.itemWindow(5));
    auto* list = qobject_cast<CConsSheet*>(frame.console())->SysPage()->listView();
    EXPECT_EQ(list->topLevelItemCount(), 2);

    frame.RemoveItemSheet(4);
    EXPECT_EQ(rows().rowCount(), 1);
    EXPECT_EQ(rows().windowAt(0), frame.itemWindow(5));
    EXPECT_EQ(list->topLevelItemCount(), 1);
}

TEST_F(FrameWithConsoleTest, EveryRowShowsItsKind) {
    ASSERT_EQ(frame.ShowConsole(), 1);
    frame.ShowDataView();
    ASSERT_EQ(frame.ShowCrossWindow(), 1);
    CStructDef def;
    CItemDef item;
    item.itemNo = 0;
    item.name = zbq::cp932::literal("年齢");
    item.type = 2;
    def.items = {item};
    app.StructDef() = def;
    ASSERT_EQ(frame.ShowItemSheet(0), 1);

    ASSERT_EQ(rows().rowCount(), 3);
    const std::pair<const char*, std::int32_t> expected[] = {
        {"元データ", 10}, {"ｸﾛｽ集計", 12}, {"整数", 2}};
    auto* list = qobject_cast<CConsSheet*>(frame.console())->SysPage()->listView();
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(rows().row(row).kind, zbq::cp932::literal(expected[row].first));
        EXPECT_EQ(rows().row(row).image, expected[row].second);
        EXPECT_EQ(list->topLevelItem(row)->text(1), QString::fromUtf8(expected[row].first));
    }
    // The original-data window, maximised in the frame, shows its picture in the menu bar
    // rather than the toolkit's own.
    auto* sub = qobject_cast<QMdiSubWindow*>(frame.dataView()->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->windowIcon().cacheKey(), zbq::zbqImage(zbq::kItemImages, 10).cacheKey());
}

TEST_F(MainFrameTest, ItemWindowsStopAtTheLimitUntilOneCloses) {
    ASSERT_EQ(frame.ShowConsole(), 1);
    for (int item = 0; item < CMainFrame::kMaxItemWindows; ++item)
        ASSERT_EQ(frame.ShowItemSheet(item), 1);
    EXPECT_EQ(frame.ShowItemSheet(7), 1);  // open already: raised, not a second window
    EXPECT_EQ(frame.ItemSheetCount(), CMainFrame::kMaxItemWindows);
    EXPECT_TRUE(prompts.messages().empty());

    EXPECT_EQ(frame.ShowItemSheet(1000), 0);
    EXPECT_EQ(lastMessage(),
              QString::fromUtf8("表示中値一覧ウィンドウの数が規定数：255を超えました。\n"
                                "他のウィンドウを閉じてからもう一度処理を行ってください"));
    EXPECT_EQ(frame.itemWindow(1000), nullptr);

    EXPECT_EQ(frame.RemoveItemSheet(3), 1);
    EXPECT_EQ(frame.itemWindow(3), nullptr);
    EXPECT_EQ(frame.ShowItemSheet(1000), 1);
    EXPECT_NE(frame.itemWindow(1000), nullptr);
    EXPECT_EQ(consoleMade->rows.size(), static_cast<std::size_t>(CMainFrame::kMaxItemWindows));
}

TEST_F(MainFrameTest, ClosedItemWindowReadsAsNotOpen) {
    ASSERT_EQ(frame.ShowItemSheet(4), 1);
    delete frame.itemWindow(4);
    EXPECT_EQ(frame.itemWindow(4), nullptr);
    EXPECT_EQ(frame.ShowItemSheet(4), 1);
}

TEST_F(MainFrameTest, HelpTellsWhenTheFileIsMissingOrCannotBeOpened) {
    zbq::ui::ScriptedOpener opener(false);
    frame.OnHelp();
    EXPECT_EQ(lastMessage(), QString::fromUtf8("ヘルプファイルの検索に失敗しました"));
    EXPECT_TRUE(opener.opened().empty());

    zbq::test::writeFile(dir.file("ZBQhelp.chm"), "help");
    frame.OnHelp();
    EXPECT_EQ(lastMessage(), QString::fromUtf8("ヘルプファイルの表示に失敗しました"));
    ASSERT_EQ(opener.opened().size(), 1u);
}

TEST_F(MainFrameTest, PrintEntriesReplaceThePlaceholderWithTheirNumbersAsCommands) {
    ASSERT_EQ(frame.printMenu()->actions().size(), 1);
    app.SetPrintMenu({{40000, "A", "a.xlsx"}, {7, "B", "b.xlsx"}});
    frame.BuildPrintMenu();
    const QList<QAction*> items = frame.printMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->data().toInt(), 40000);
    EXPECT_EQ(items[0]->text(), "A");
    EXPECT_EQ(items[1]->data().toInt(), 7);
    EXPECT_TRUE(frame.RunPrintEntry(40000));
    EXPECT_FALSE(frame.RunPrintEntry(40001));

    app.SetPrintMenu({});
    frame.BuildPrintMenu();
    EXPECT_TRUE(frame.printMenu()->actions().isEmpty());
}

// The version dialog runs modally through its own loop and is closed by its OK button; it is wide
// enough for its title.
TEST_F(MainFrameTest, VersionDialogShowsTheVersionAndClosesByItsButton) {
    QString title, shown;
    int width = 0, titleWidth = 0;
    bool closedByButton = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        answer.stop();
        title = dialog->windowTitle();
        width = dialog->width();
        titleWidth = dialog->fontMetrics().horizontalAdvance(title);
        for (QLabel* label : dialog->findChildren<QLabel*>())
            shown += label->text();
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("OK") && !closedByButton) {
                closedByButton = true;
                button->click();
            }
        if (!closedByButton) dialog->reject();
    });
    answer.start(10);
    frame.action(CMainFrame::kAbout)->trigger();
    EXPECT_EQ(title.toStdString(), "ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_TRUE(shown.contains(QStringLiteral("ZEBRINE"))) << shown.toStdString();
    EXPECT_GE(width, titleWidth + 100) << "the title is cut";
    EXPECT_TRUE(closedByButton);
}

TEST_F(MainFrameTest, MacroMenuFollowsTheRecordingFlag) {
    std::vector<std::int32_t> handled;
    frame.setMacroCommandHandler([&](std::int32_t command) { handled.push_back(command); });
    macro.recording = false;
    frame.updateMacroMenu();
    EXPECT_TRUE(frame.action(CMainFrame::kRecordStart)->isEnabled());
    EXPECT_FALSE(frame.action(CMainFrame::kRecordStop)->isEnabled());
    macro.recording = true;
    frame.action(CMainFrame::kMacroMenu)->trigger();
    EXPECT_FALSE(frame.action(CMainFrame::kRecordStart)->isEnabled());
    EXPECT_TRUE(frame.action(CMainFrame::kRecordStop)->isEnabled());
    EXPECT_EQ(handled, std::vector<std::int32_t>{CMainFrame::kMacroMenu});
}

}  // namespace
