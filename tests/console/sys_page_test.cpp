// The system tab offscreen: the system text, the window list's rows by window identity, and the
// popup menu's commands: what each does to the windows, which flag their close handlers see,
// the order of the all-window commands, and the steps recorded.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPointer>
#include <QTextEdit>
#include <QTreeWidget>

#include <memory>

#include "console/sys_page.h"
#include "platform/core/memory_status.h"
#include "tests/console/console_fixture.h"

namespace {

using zbq::test::ConsoleTest;

// An analysis window that notes, when it closes, which of the application's close flags is up.
class NotingWindow : public QWidget {
public:
    NotingWindow(CKWApp& app, std::vector<std::string>& log, std::string name)
        : app_(app), log_(log), name_(std::move(name)) {
        setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        std::string flags;
        if (app_.IsSuppressed(Suppress::CloseOne)) flags += " one";
        if (app_.IsSuppressed(Suppress::CloseAll)) flags += " all";
        log_.push_back(name_ + flags);
        event->accept();
    }

private:
    CKWApp& app_;
    std::vector<std::string>& log_;
    std::string name_;
};

class SysPageTest : public ConsoleTest {
protected:
    ~SysPageTest() override {
        for (const QPointer<NotingWindow>& window : windows)
            delete window.data();
    }

    // Opens a window and reports it as the main frame does.
    NotingWindow* open(const std::string& name) {
        auto* window = new NotingWindow(app, closed, name);
        windows.emplace_back(window);
        window->show();
        app.AddWindowRow(name, "", 2, window);
        return window;
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        const WindowList& list = page()->Windows();
        for (int row = 0; row < list.rowCount(); ++row)
            out.push_back(list.row(row).title);
        return out;
    }
    CSysPage* page() const { return sheet->SysPage(); }

    std::vector<std::string> closed;
    std::vector<QPointer<NotingWindow>> windows;
};

TEST_F(SysPageTest, ShowsVersionAndInjectedMemory) {
    zbq::MemoryStatus memory;
    memory.totalPhysical = 8ULL << 30;
    memory.totalVirtual = 10ULL << 30;
    zbq::setMemoryStatusForTest(memory);
    CSysPage fresh(app);
    zbq::setMemoryStatusForTest(std::nullopt);
    const QString shown = fresh.textView()->toPlainText();
    EXPECT_TRUE(shown.startsWith(QString::fromUtf8(" ZEBRINE V1.0.2 J\n\n")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QString(36, QLatin1Char('-')) + "\n"));
    EXPECT_TRUE(shown.contains(QString::fromUtf8("  全メモリー    8,589,934,592 ﾊﾞｲﾄ\n")));
    EXPECT_TRUE(shown.contains(QString::fromUtf8("  全仮想記憶   10,737,418,240 ﾊﾞｲﾄ\n")));
    EXPECT_EQ(fresh.SystemText().find('\n'), fresh.SystemText().find("\r\n") + 1);
}

TEST_F(SysPageTest, RowsOfSameNamedWindowsAreRemovedByWindow) {
    NotingWindow* first = open("age");
    NotingWindow* second = open("age");
    open("sex");
    app.RemoveWindowRow(second);
    ASSERT_EQ(titles(), (std::vector<std::string>{"age", "sex"}));
    EXPECT_EQ(page()->Windows().windowAt(0), first);
    EXPECT_EQ(page()->listView()->topLevelItemCount(), 2);

    // A window that is destroyed takes its row with it; one never listed changes nothing.
    delete first;
    EXPECT_EQ(titles(), (std::vector<std::string>{"sex"}));
    QWidget stranger;
    app.RemoveWindowRow(&stranger);
    app.RemoveWindowRow(nullptr);
    EXPECT_EQ(titles(), (std::vector<std::string>{"sex"}));
    EXPECT_EQ(sheet->ListedWindows().size(), 1u);
}

TEST_F(SysPageTest, CloseAllGoesLastToFirstSkipsEmptyRowsAndRecordsOnce) {
    open("first");
    app.AddWindowRow("no window", "", 10, nullptr);
    open("second");
    open("third");
    page()->OnCloseAll();
    EXPECT_EQ(closed, (std::vector<std::string>{"third all", "second all", "first all"}));
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"CloseAllWindow"}));
    EXPECT_FALSE(app.IsSuppressed(Suppress::CloseAll));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(titles(), (std::vector<std::string>{"no window"}));

    macro.steps.clear();
    page()->OnIconizeAll();  // only a row without a window left: nothing to do, still recorded
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"MinimizedAllWindow"}));
}

TEST_F(SysPageTest, OneWindowCommandsActOnTheirRowAndRecordIt) {
    open("a");
    NotingWindow* b = open("b");
    page()->OnMaximizeWindow(1);
    EXPECT_TRUE(b->isMaximized());
    page()->OnIconizeWindow(1);
    EXPECT_TRUE(b->isMinimized());
    page()->OnOriginalSize(1);
    EXPECT_FALSE(b->isMinimized());
    EXPECT_FALSE(b->isMaximized());
    page()->OnCloseWindow(1);
    EXPECT_EQ(closed, (std::vector<std::string>{"b one"}));
    EXPECT_FALSE(app.IsSuppressed(Suppress::CloseOne));
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"MaximizedWindow,1", "MinimizedWindow,1",
                                                     "NomalWindow,1", "CloseWindow,1"}));

    // Outside the list (no selection, or a row past the end): nothing, not even a step.
    macro.steps.clear();
    for (int row : {-1, 2, 5}) {
        page()->OnCloseWindow(row);
        page()->OnMaximizeWindow(row);
    }
    EXPECT_TRUE(macro.steps.empty());

    // A row without a window records its step and does nothing else.
    app.AddWindowRow("empty", "", 12, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // b leaves the list
    page()->OnCloseWindow(1);
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"CloseWindow,1"}));
}

TEST_F(SysPageTest, IconizeAllMinimisesEveryListedWindow) {
    NotingWindow* a = open("a");
    NotingWindow* b = open("b");
    page()->OnIconizeAll();
    EXPECT_TRUE(a->isMinimized());
    EXPECT_TRUE(b->isMinimized());
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"MinimizedAllWindow"}));
}

TEST_F(SysPageTest, TheMenuActsOnTheSelectedRow) {
    open("a");
    NotingWindow* b = open("b");
    page()->SelectRow(1);
    EXPECT_EQ(page()->SelectedRow(), 1);
    page()->popupMenu()->actions().at(3)->trigger();  // "最大化"
    EXPECT_TRUE(b->isMaximized());
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"MaximizedWindow,1"}));
}

}  // namespace
