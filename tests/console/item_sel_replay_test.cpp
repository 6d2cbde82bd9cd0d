// A session on the item-selection tab recorded through the real frame and console and replayed
// in a fresh program: the user drags a group and an item onto the display list, drags a row to
// another place, hides a row from the list's menu, switches "閉を許可" from the tree's menu,
// shows the data and writes the shown set to a new data file. The data file both programs open
// holds a set, current when it was saved, so the write asks for its scope. The replay ends on
// the same screen and writes the same data file. Also: the screen reset after a busy session
// gives the screen a fresh start-up shows.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/main_frame.h"
#include "app/password_dlg.h"
#include "console/cons_sheet.h"
#include "console/item_sel_page.h"
#include "console/save_mode_dlg.h"
#include "engine/kw_search.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/ui/modal_runner.h"
#include "tests/support/app_harness.h"
#include "tests/support/saved_bytes.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12} + minutes{34} + seconds{56};
}

// An original-data window that notes what the frame asks of it.
class FakeDataView : public QWidget, public DataViewOps {
public:
    explicit FakeDataView(std::vector<std::string>& log) : log_(log) {}
    void RebuildGrid(std::int32_t flag) override {
        log_.push_back("RebuildGrid(" + std::to_string(flag) + ")");
    }
    std::int32_t ShowRecord(std::int32_t, std::int32_t) override { return 0; }
    std::int32_t GetCurrentRow() const override { return 0; }
    void FormatPrint(std::int32_t) override {}

private:
    std::vector<std::string>& log_;
};

// The user's answers once the program runs: the scope dialog chooses the displayed set and the
// password dialog is left empty.
int answerDialog(QDialog& dialog) {
    if (auto* scope = dynamic_cast<CSaveModeDlg*>(&dialog)) {
        scope->displayedSetButton()->setChecked(true);
        return int(QDialog::Accepted);
    }
    EXPECT_NE(dynamic_cast<CPasswordDlg*>(&dialog), nullptr);
    return int(QDialog::Rejected);
}

// A program with its frame, console and a fake original-data window.
struct Program {
    Program() : frame(h.app(), factories()) { h.app().SetClock(fixedTime); }
    // Starts it on a data file; the dialogs are answered from then on.
    bool start(const std::string& dataFile) {
        const bool started = h.start({dataFile});
        dialogs = std::make_unique<ui::ScopedModalHook>(answerDialog);
        return started;
    }
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.dataView = [this](CMainFrame&) { return new FakeDataView(viewLog); };
        return f;
    }
    CConsSheet* console() const { return qobject_cast<CConsSheet*>(frame.console()); }
    CItemSelPage& page() const { return *console()->ItemSelPage(); }
    int node(const char* utf8Name) const {
        return page().tree().FindItem(cp932::literal(utf8Name));
    }

    AppHarness h;
    CMacro macro{h.app()};
    std::vector<std::string> viewLog;
    CMainFrame frame;
    std::unique_ptr<ui::ScopedModalHook> dialogs;
};

// The fixture saved as a data file with a set of three records, current when it was saved.
std::string dataFileWithASet(const TempDir& dir) {
    Program p;
    EXPECT_TRUE(p.h.start({p.h.writeFixture()}));
    CKWApp& app = p.h.app();
    auto map = std::make_shared<KW_map>(AppHarness::kFixtureRecords);
    for (int record : {0, 3, 6})
        map->set(record);
    SetRecord set;
    set.level = 1;
    set.number = 1;
    set.text1 = "#1=1";
    set.text2 = "No.1 #1=1 / 3";
    set.map = map;
    set.mapLength = map->byteLength();
    set.recordCount = 3;
    app.SetSetList(2, {app.Sets().front(), set});
    app.RebuildSetTree();
    app.MarkCurrentSet(1);
    app.SetSaveMode(1);
    app.SetSavePath(dir.file("prep.zbq"));
    EXPECT_EQ(app.SaveDataAndMacro("", 0), 1);
    return dir.file("prep.zbq");
}

TEST(ItemSelReplay, ASessionOnTheTabReplaysToTheSameScreenAndDataFile) {
    TempDir out;
    const std::string prepared = dataFileWithASet(out);
    const std::string target = out.file("shown.zbq");
    std::string recordedScreen, savedBytes;
    std::vector<std::string> recordedViewLog;
    {
        Program session;
        std::filesystem::copy_file(prepared, session.h.file("prep.zbq"));
        ASSERT_TRUE(session.start(session.h.file("prep.zbq")));
        ASSERT_EQ(session.h.app().GetCurrentSetNo(), 1);
        CItemSelPage& page = session.page();
        std::vector<std::int32_t> menuPicks = {kListHide, kAllowClose};
        page.SetMenuChooser([&](QWidget*, const MenuVariant&, const QPoint&) {
            const std::int32_t pick = menuPicks.front();
            menuPicks.erase(menuPicks.begin());
            return pick;
        });
        session.h.prompts().choose(QString::fromStdString(target));

        ASSERT_EQ(session.macro.StartRecording(), 1);
        const std::function<void()> actions[] = {
            [&] { page.DropNodeOnList(session.node("属性"), -1); },
            [&] { page.DropNodeOnList(session.node("趣味"), 0); },
            [&] {
                page.SelectListRows({2});
                page.DropRowsOnList(0);
            },
            [&] {
                page.SelectListRows({1});
                page.ShowListMenu({});
            },
            [&] { page.ShowTreeMenu(0, {}); },
            [&] { page.showDataButton()->click(); },
            [&] { page.writeButton()->click(); },
        };
        for (const auto& action : actions) {
            action();
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(session.macro.RecordedSteps(),
                  (std::vector<std::string>{
                      cp932::literal("ToListItem,\"属性\""), cp932::literal("ToListItem,\"趣味\""),
                      cp932::literal("ChangeListItem,0,\"趣味\""),
                      cp932::literal("ChangeListItem,0,\"年齢\""), "BackListItem,1",
                      "PermitItemCollapse", "DispData", "SaveZbw,\"" + target + "\",\"\",1"}));
        ASSERT_EQ(session.macro.StopRecording("session"), 1);
        EXPECT_EQ(session.h.prompts().unanswered(), 0);
        EXPECT_EQ(session.h.app().GetDisplayItems(), (std::vector<std::int32_t>{2, 1}));

        recordedScreen = session.h.snapshot();
        recordedViewLog = session.viewLog;
        savedBytes = readFile(target);
        KW_search saved;
        ASSERT_GE(saved.KWopen(target, ""), 0);
        EXPECT_EQ(saved.KWgetRecordCount(), 3) << "the shown set alone";
        ASSERT_EQ(session.macro.WriteMacroFile(out.file("recorded.mcr")), 1);
    }
    std::filesystem::remove(target);
    std::filesystem::remove(out.file("shown.mcr"));

    Program replay;
    std::filesystem::copy_file(prepared, replay.h.file("prep.zbq"));
    std::filesystem::copy_file(out.file("recorded.mcr"), replay.h.file("prep.mcr"));
    ASSERT_TRUE(replay.start(replay.h.file("prep.zbq")));
    const int index = replay.macro.FindMacro("session");
    ASSERT_GE(index, 0);
    ASSERT_EQ(replay.macro.RunMacro(index), 1);

    EXPECT_EQ(replay.h.snapshot(), recordedScreen);
    EXPECT_EQ(replay.viewLog, recordedViewLog);
    EXPECT_TRUE(withoutPasswordField(readFile(target)) == withoutPasswordField(savedBytes))
        << "the replayed data file differs";
}

TEST(ItemSelReplay, TheScreenResetAfterABusySessionGivesTheFreshScreen) {
    Program program;
    ASSERT_TRUE(program.h.start({program.h.writeFixture()}));
    const std::string fresh = program.h.snapshot();
    CItemSelPage& page = program.page();
    page.OnAllToDisplayList();
    page.SelectListRows({1, 2});
    page.OnCollapseAll();
    page.OnAllowClose();
    page.SelectNode(3);
    program.console()->tabs()->setCurrentIndex(4);
    ASSERT_NE(program.h.snapshot(), fresh);
    program.h.app().ResetScreen();
    EXPECT_EQ(program.h.snapshot(), fresh);
}

}  // namespace
}  // namespace zbq::test
