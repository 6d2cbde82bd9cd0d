// The Excel read dialog's commands and AddData, played on the real frame and console over a
// data set loaded from a data file: the dialog opened without a modal loop, driven by index,
// closed by a failing step before the run stops, and its records added.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <QComboBox>
#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/excel_read_dlg.h"
#include "app/item_edit_dlg.h"
#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/item_sel_page.h"
#include "console/progress_animation.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/ui/modal_runner.h"
#include "tests/support/app_harness.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

const std::string kStop = "\nマクロの実行を中止します。";
const std::string kNoWindow = "画面が表示されていないため、マクロを実行できません。" + kStop;
const std::string kNoAdd = "データ追加はできません。ZBQファイルから起動してください。" + kStop;

std::string sj(std::string_view utf8) {
    return cp932::literal(utf8);
}

// Sheets S1 (two records), S2 (one) and S3 (one), each headed 番号, 金額, 日付, 名前.
void writeBook(const std::string& path) {
    lxw_workbook* book = workbook_new(path.c_str());
    int number = 1;
    for (const auto& [name, rows] : {std::pair{"S1", 2}, std::pair{"S2", 1}, std::pair{"S3", 1}}) {
        lxw_worksheet* sheet = workbook_add_worksheet(book, name);
        const char* header[] = {"番号", "金額", "日付", "名前"};
        for (int c = 0; c < 4; ++c)
            worksheet_write_string(sheet, 0, c, header[c], nullptr);
        for (int r = 1; r <= rows; ++r, ++number) {
            worksheet_write_number(sheet, r, 0, number, nullptr);
            worksheet_write_number(sheet, r, 1, number + 0.5, nullptr);
            worksheet_write_string(sheet, r, 2, "2024/1/5", nullptr);
            worksheet_write_string(sheet, r, 3, name, nullptr);
        }
    }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

// The data set loaded as from a data file, on the real frame and console.
struct AddScreen {
    explicit AddScreen(const std::string& bookPath = "") {
        EXPECT_TRUE(harness.load(sj("Title = \"売上\"\nitem = \"番号\"\n Integer\nEndItem\n"
                                    "item = \"金額\"\n Float\nEndItem\nitem = \"日付\"\n Date\n"
                                    "EndItem\nitem = \"名前\"\n String\nEndItem\nEndTitle\n"),
                                 "n\ta\td\tm\n0\t0.5\t2024/1/1\tz\n"));
        frame = std::make_unique<CMainFrame>(app(), factories());
        macro = std::make_unique<CMacro>(app());
        frame->ShowConsole();
        console = qobject_cast<CConsSheet*>(frame->console());
        app().RebuildSetTree();
        app().MarkCurrentSet(0);
        // As a start-up on a data file leaves it.
        app().SetTempAddFile(harness.file("temp/harness_a.zbq"));
        app().SetTempMergeFile(harness.file("temp/harness_m.zbq"));
        app().SetLoadMode(2);
        app().SetDataFilePath(app().GetTempDataFile());
        app().ShowItemSelControl1();
        app().ShowItemSelControl2();
        bookPath_ = bookPath.empty() ? harness.file("book.xlsx") : bookPath;
        if (bookPath.empty()) writeBook(bookPath_);
        harness.prompts().clear();
    }
    ~AddScreen() {
        macro.reset();
        frame.reset();
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& fr) { return CConsSheet::MakeHandle(app(), &fr); };
        return f;
    }
    CKWApp& app() { return harness.app(); }
    std::int32_t play(const std::string& step) { return macro->ExecuteStep(step); }
    std::string book() { return "\"" + bookPath_ + "\""; }
    CExcelReadDlg* dialog() {
        return qobject_cast<CExcelReadDlg*>(app().windows().playerDialog(PlayerDialog::ExcelRead));
    }
    std::vector<std::string> messages() { return harness.prompts().messageTexts(); }
    std::vector<std::string> importFiles() {
        std::vector<std::string> names;
        for (const std::string& name : harness.tempFiles())
            if (name.ends_with(".def") || name.ends_with(".dat")) names.push_back(name);
        return names;
    }

    AppHarness harness;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CMacro> macro;
    CConsSheet* console = nullptr;
    std::string bookPath_;
};

class ExcelReadPlayers : public ::testing::Test, public AddScreen {};

TEST_F(ExcelReadPlayers, ARecordedAdditionReplaysByIndexAndAddsTheRecords) {
    ASSERT_EQ(play("DispExcelDialog," + book()), 1);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_TRUE(dialog()->model().addMode());
    EXPECT_EQ(dialog()->model().sheets().size(), 3u);
    ASSERT_EQ(play("ExcelSheetDelete,1"), 1);
    ASSERT_EQ(play("ExcelSheetDown,0"), 1);  // S3, S1
    ASSERT_EQ(play("ColumnInfoRead,1"), 1);
    ASSERT_EQ(play(sj("ColumnInfoUpdate,2,\"日付\",\"日付\"")), 1);
    ASSERT_EQ(play("ExcelAddExecute"), 1);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(app().KWgetDataCount(), 4);
    const char* name = nullptr;
    ASSERT_GE(app().KWreadString(1, 3, &name), 0);
    EXPECT_EQ(std::string(name), "S3");
    EXPECT_EQ(app().GetLoadMode(), 3);
    EXPECT_EQ(messages(), std::vector<std::string>{"Excelファイルのデータを追加しました"});
    EXPECT_TRUE(importFiles().empty());
    EXPECT_TRUE(macro->RecordedSteps().empty());
}

TEST_F(ExcelReadPlayers, AFailingStepClosesTheDialogAndLaterStepsFindNone) {
    struct Case {
        const char* step;
        std::string message;
    } cases[] = {
        {"ExcelSheetDelete,3", "削除するシートがありません。" + kStop},
        {"ExcelSheetDelete,-1", "削除するシートがありません。" + kStop},
        {"ExcelSheetUp,0,5", "移動するシートがありません。" + kStop},
        {"ColumnInfoRead,3", "項目情報を読み込むシートがありません。" + kStop},
        {"ColumnInfoDelete,0", "削除する項目がありません。" + kStop},
        {"ColumnInfoUpdate,0,\"a\",\"b\"", "編集する項目がありません。" + kStop},
        {"ExcelAddExecute", "マクロの実行を中止します。"},  // nothing read: the OK refuses
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        harness.prompts().clear();
        ASSERT_EQ(play("DispExcelDialog," + book()), 1);
        EXPECT_EQ(play(c.step), 0);
        EXPECT_EQ(dialog(), nullptr);
        EXPECT_EQ(messages().back(), c.message);
        EXPECT_EQ(play("ExcelSheetDelete,0"), 0);
        EXPECT_EQ(messages().back(), kNoWindow);
    }
    EXPECT_EQ(app().KWgetDataCount(), 1);
    EXPECT_TRUE(importFiles().empty());
}

TEST_F(ExcelReadPlayers, EdgesOfTheDialogsLife) {
    // Without an index and a selection nothing is deleted and the run goes on.
    ASSERT_EQ(play("DispExcelDialog," + book()), 1);
    EXPECT_EQ(play("ExcelSheetDelete"), 1);
    EXPECT_EQ(dialog()->model().sheets().size(), 3u);
    // A second dialog replaces the first.
    QPointer<CExcelReadDlg> first = dialog();
    ASSERT_EQ(play("DispExcelDialog," + book()), 1);
    EXPECT_TRUE(first.isNull());
    // After a read-execute the dialog stays drivable; its files go when it closes.
    ASSERT_EQ(play("ColumnInfoRead,0"), 1);
    ASSERT_EQ(play(sj("ColumnInfoUpdate,2,\"日付\",\"日付\"")), 1);
    ASSERT_EQ(play("ExcelReadExecute"), 1);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(importFiles().size(), 1u);
    const std::string shown = harness.snapshot();
    EXPECT_NE(shown.find("import add result=1 header=1 columns=4\nimport sheet book.xlsx 0 S1\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("import item 3 日付 日付\n"), std::string::npos);
    EXPECT_EQ(play("ExcelSheetDelete,2"), 1);
    EXPECT_EQ(play("ExcelReadCancel"), 1);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(importFiles().empty());
    EXPECT_EQ(app().KWgetDataCount(), 1);
    // Too few fields.
    ASSERT_EQ(play("DispExcelDialog," + book()), 1);
    EXPECT_EQ(play("ColumnInfoUpdate,0,\"x\""), 0);
    EXPECT_EQ(messages().back(),
              "コマンド[ColumnInfoUpdate]のパラメータ数が不正です。\n"
              "このコマンドのパラメータ数は[3]個です。" +
                  kStop);
}

TEST_F(ExcelReadPlayers, RefusalsBeforeAnyDialog) {
    EXPECT_EQ(play("DispExcelDialog,\"" + harness.file("gone.xlsx") + "\""), 0);
    EXPECT_EQ(messages().back(),
              "ファイル[" + harness.file("gone.xlsx") + "]が存在しません。" + kStop);
    // Only the first file is looked for: the dialog decides about the rest.
    EXPECT_EQ(play("DispExcelDialog," + book() + ",\"" + harness.file("gone.xlsx") + "\""), 0);
    EXPECT_EQ(messages().back(), "マクロの実行を中止します。");
    EXPECT_EQ(dialog(), nullptr);
    app().SetLoadMode(1);
    EXPECT_EQ(play("DispExcelDialog," + book()), 0);
    EXPECT_EQ(messages().back(), kNoAdd);
    EXPECT_EQ(play("AddData," + book()), 0);
    EXPECT_EQ(messages().back(), kNoAdd);
    EXPECT_EQ(dialog(), nullptr);
}

// AddData: a workbook read as the dialog would be with no step of its own (every sheet, the
// header in the first row, the loaded items' types), and a text file added as it is.
TEST_F(ExcelReadPlayers, AddDataTakesAWorkbookOrATextFile) {
    EXPECT_EQ(play("AddData," + book()), 1);
    EXPECT_EQ(app().KWgetDataCount(), 5);
    const std::string text = harness.file("more.txt");
    std::ofstream(text, std::ios::binary) << "n\ta\td\tm\n9\t9.5\t2024/2/2\ttext\n";
    EXPECT_EQ(play("AddData,\"" + text + "\""), 1);
    EXPECT_EQ(app().KWgetDataCount(), 6);
    EXPECT_TRUE(std::filesystem::exists(text));  // the user's own file stays
    EXPECT_EQ(messages(), std::vector<std::string>(2, "Excelファイルのデータを追加しました"));
    EXPECT_TRUE(importFiles().empty());
}

// A workbook's AddData says "読込み中" with the progress running while the workbook is read, as
// the text file's does, and takes both back at the end.
TEST_F(ExcelReadPlayers, AddDataOfAWorkbookShowsItIsReadingWhileItReads) {
    std::vector<std::pair<std::string, bool>> seen;
    // Long work lets messages through at most every 30 ms: this one goes at the first chance.
    const auto started = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - started < std::chrono::milliseconds(40))
        QCoreApplication::processEvents();
    QTimer::singleShot(
        0, [&] { seen.emplace_back(console->StatusText(), console->progress().isRunning()); });
    EXPECT_EQ(play("AddData," + book()), 1);
    EXPECT_EQ(app().KWgetDataCount(), 5);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{sj("読込み中"), true}}));
    EXPECT_EQ(console->StatusText(), "");
    EXPECT_FALSE(console->progress().isRunning());
}

// "ﾃﾞｰﾀ追加" closed without OK records the cancel and adds nothing; with 可変 chosen the
// workbook is recorded as "???".
TEST_F(ExcelReadPlayers, AnAdditionCancelledInTheDialogIsRecordedAsCancelled) {
    ASSERT_EQ(macro->StartRecording(), 1);
    harness.prompts().answer(ui::Answer::Ok);
    harness.prompts().chooseFiles(QStringList{QString::fromStdString(bookPath_)});
    ui::ScopedModalHook hook([](QDialog&) { return int(QDialog::Rejected); });
    console->ItemSelPage()->addDataButton()->click();
    EXPECT_EQ(hook.calls(), 1);
    EXPECT_EQ(macro->RecordedSteps(),
              (std::vector<std::string>{"DispExcelDialog," + book(), "ExcelReadCancel"}));
    EXPECT_EQ(app().KWgetDataCount(), 1);
    EXPECT_TRUE(importFiles().empty());
}

// An addition that fails after the dialog's OK (the records cannot be built) has not been
// executed: no ExcelAddExecute step, and nothing added.
TEST_F(ExcelReadPlayers, AnAdditionThatFailsIsNotRecordedAsExecuted) {
    app().SetAddFaultHook([](CKWApp::AddStage stage) { return stage == CKWApp::AddStage::Build; });
    ASSERT_EQ(macro->StartRecording(), 1);
    harness.prompts().answer(ui::Answer::Ok);
    harness.prompts().chooseFiles(QStringList{QString::fromStdString(bookPath_)});
    ui::ScopedModalHook hook([](QDialog& dialog) {
        if (auto* edit = dynamic_cast<CItemEditDlg*>(&dialog)) {
            edit->typeCombo()->setCurrentIndex(2);  // 日付
            edit->accept();
            return int(QDialog::Accepted);
        }
        auto& excel = dynamic_cast<CExcelReadDlg&>(dialog);
        excel.sheetList()->topLevelItem(0)->setSelected(true);
        excel.button(1074)->click();
        excel.itemList()->topLevelItem(2)->setSelected(true);
        excel.button(1105)->click();
        excel.button(1)->click();
        return dialog.result();
    });
    console->ItemSelPage()->addDataButton()->click();
    EXPECT_EQ(messages().back(), "読み込みに失敗しました");
    EXPECT_EQ(macro->RecordedSteps(),
              (std::vector<std::string>{"DispExcelDialog," + book(), "ColumnInfoRead,0",
                                        sj("ColumnInfoUpdate,2,\"日付\",\"日付\"")}));
    EXPECT_EQ(app().KWgetDataCount(), 1);
}

// A workbook whose path the macro file cannot hold is recorded as "???", asked for at the
// replay, as with 可変.
TEST_F(ExcelReadPlayers, AWorkbookTheMacroFileCannotNameIsRecordedAsAsked) {
    const std::string folder = harness.file("\xF0\x9F\x93\x8A");  // U+1F4CA, not in CP932
    std::filesystem::create_directory(folder);
    writeBook(folder + "/book.xlsx");
    ASSERT_EQ(macro->StartRecording(), 1);
    harness.prompts().answer(ui::Answer::Ok);
    harness.prompts().chooseFiles(QStringList{QString::fromStdString(folder + "/book.xlsx")});
    ui::ScopedModalHook hook([](QDialog&) { return int(QDialog::Rejected); });
    console->ItemSelPage()->addDataButton()->click();
    EXPECT_EQ(hook.calls(), 1);
    EXPECT_EQ(macro->RecordedSteps(),
              (std::vector<std::string>{"DispExcelDialog,\"???\"", "ExcelReadCancel"}));
}

// "ﾃﾞｰﾀ追加" through the real widgets while recording (a sheet deleted and one moved, items
// read, one edited, OK), then the recording replayed on a fresh program over the same data set:
// the same records and the same screen.
TEST(ExcelReadReplay, AnAdditionRecordedThroughTheWidgetsReplaysToTheSameDataSet) {
    TempDir books;
    writeBook(books.file("book.xlsx"));
    std::vector<std::string> steps;
    std::string recorded;
    {
        AddScreen screen(books.file("book.xlsx"));
        ASSERT_EQ(screen.macro->StartRecording(), 1);
        screen.harness.prompts().answer(ui::Answer::Ok);
        screen.harness.prompts().chooseFiles(
            QStringList{QString::fromStdString(books.file("book.xlsx"))});
        ui::ScopedModalHook hook([](QDialog& dialog) {
            if (auto* edit = dynamic_cast<CItemEditDlg*>(&dialog)) {
                edit->typeCombo()->setCurrentIndex(2);  // 日付
                edit->accept();
                return int(QDialog::Accepted);
            }
            auto& excel = dynamic_cast<CExcelReadDlg&>(dialog);
            excel.sheetList()->topLevelItem(1)->setSelected(true);
            excel.button(1102)->click();
            excel.sheetList()->topLevelItem(0)->setSelected(true);
            excel.button(1004)->click();  // S3, S1
            excel.sheetList()->clearSelection();
            excel.sheetList()->topLevelItem(1)->setSelected(true);
            excel.button(1074)->click();
            excel.itemList()->topLevelItem(2)->setSelected(true);
            excel.button(1105)->click();
            excel.button(1)->click();
            return dialog.result();
        });
        CItemSelPage* page = screen.console->ItemSelPage();
        page->addDataButton()->click();
        EXPECT_EQ(screen.app().KWgetDataCount(), 4);
        steps = screen.macro->RecordedSteps();
        screen.macro->StopRecording("");  // the replay is compared with the screen
        recorded = screen.harness.snapshot();
    }
    const std::string file = sj("\"") + books.file("book.xlsx") + "\"";
    EXPECT_EQ(steps, (std::vector<std::string>{"DispExcelDialog," + file, "ExcelSheetDelete,1",
                                               "ExcelSheetDown,0", "ColumnInfoRead,1",
                                               sj("ColumnInfoUpdate,2,\"日付\",\"日付\""),
                                               "ExcelAddExecute"}));

    AddScreen replay(books.file("book.xlsx"));
    for (const std::string& step : steps)
        ASSERT_EQ(replay.play(step), 1) << step;
    EXPECT_EQ(replay.app().KWgetDataCount(), 4);
    EXPECT_EQ(replay.harness.snapshot(), recorded);
}

}  // namespace
}  // namespace zbq::test
