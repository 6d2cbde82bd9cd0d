// The Excel import over workbooks written here by libxlsxwriter: the sheet list, the item names
// and proposed types of a header row, the checks of OK in both modes, the macro hooks by index,
// the definition and text data written (byte for byte) and loaded, and workbooks that stop it.
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/ckw_app.h"
#include "app/excel_read_dlg.h"
#include "app/excel_read_model.h"
#include "app/startup_input.h"
#include "app/temp_names.h"
#include "platform/core/cp932.h"
#include "tests/app/import_fixture.h"
#include "tests/app/start_fixture.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/app_harness.h"
#include "tests/support/full_disk.h"
#include "tests/support/in_language.h"
#include "tests/support/recording_macro.h"

namespace zbq::test {
namespace {

using app::ExcelReadModel;
using Outcome = ExcelReadModel::Outcome;

// The sales book: sheet "売上" with a title in A1, the header in row 2 and three records;
// an empty sheet "空"; sheet "追加" with the same columns and one record.
void writeSalesBook(const std::string& path) {
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy/m/d");
    lxw_format* decimal = workbook_add_format(book);
    format_set_num_format(decimal, "0.0");
    lxw_worksheet* sales = workbook_add_worksheet(book, "売上");
    worksheet_write_string(sales, 0, 0, "売上一覧", nullptr);
    const char* header[] = {"番号", "金額", "日付", "名前"};
    for (int c = 0; c < 4; ++c)
        worksheet_write_string(sales, 1, c, header[c], nullptr);
    worksheet_write_number(sales, 2, 0, 1, nullptr);
    worksheet_write_number(sales, 2, 1, 1.5, decimal);
    worksheet_write_number(sales, 2, 2, 45356, date);  // 2024/3/5
    worksheet_write_string(sales, 2, 3, "山田\n太郎", nullptr);
    worksheet_write_number(sales, 3, 0, 2, nullptr);
    worksheet_write_string(sales, 3, 1, "1,234.5", nullptr);
    worksheet_write_number(sales, 3, 2, 45357, date);
    worksheet_write_string(sales, 3, 3, "a\tb,c", nullptr);
    worksheet_write_number(sales, 4, 0, 3, nullptr);  // the rest empty: padded
    workbook_add_worksheet(book, "空");
    lxw_worksheet* more = workbook_add_worksheet(book, "追加");
    for (int c = 0; c < 4; ++c)
        worksheet_write_string(more, 0, c, header[c], nullptr);
    worksheet_write_number(more, 1, 0, 4, nullptr);
    worksheet_write_number(more, 1, 1, 2.25, decimal);
    worksheet_write_number(more, 1, 2, 45358, date);
    worksheet_write_string(more, 1, 3, "佐藤", nullptr);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

// One sheet "S": the header row `names`, then the rows of `cells` (texts, or numbers when they
// parse as one).
void writeBook(const std::string& path, const std::vector<std::vector<std::string>>& rows) {
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "S");
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& v = rows[r][c];
            char* end = nullptr;
            const double number = std::strtod(v.c_str(), &end);
            if (!v.empty() && end && *end == '\0')
                worksheet_write_number(sheet, r, c, number, nullptr);
            else if (!v.empty())
                worksheet_write_string(sheet, r, c, v.c_str(), nullptr);
        }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

class ExcelReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeSalesBook(h.file("sales.xlsx"));
        h.app().SetMacroPort(&macro);
    }
    void TearDown() override { h.app().SetMacroPort(nullptr); }
    std::vector<std::string> shownTexts() { return shown(h.prompts()); }
    std::vector<std::string> captions(const ExcelReadModel& m) {
        std::vector<std::string> out;
        for (const app::ItemRow& item : m.items())
            out.push_back(cp932::toUtf8(item.name) + ":" + cp932::toUtf8(item.caption));
        return out;
    }

    AppHarness h;
    RecordingMacro macro;
};

TEST_F(ExcelReadTest, SheetsAreListedAsTheModelIsMadeInWorkbookOrder) {
    writeBook(h.file("b.xlsx"), {{"x"}, {"1"}});
    ExcelReadModel model(h.app(), {h.file("sales.xlsx"), h.file("b.xlsx")}, false);
    EXPECT_EQ(model.result(), 1);
    EXPECT_EQ(model.folder(), h.programDir());
    ASSERT_EQ(model.sheets().size(), 4u);
    const char* expected[][3] = {{"0", "sales.xlsx", "売上"},
                                 {"1", "sales.xlsx", "空"},
                                 {"2", "sales.xlsx", "追加"},
                                 {"0", "b.xlsx", "S"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(std::to_string(model.sheets()[i].index), expected[i][0]);
        EXPECT_EQ(model.sheets()[i].file, expected[i][1]);
        EXPECT_EQ(model.sheets()[i].sheet, sj(expected[i][2]));
    }
    EXPECT_FALSE(model.okEnabled());
}

TEST_F(ExcelReadTest, AWorkbookThatCannotBeListedStopsTheListWhereItFailed) {
    std::ofstream(h.file("bad.xlsx")) << "not a workbook";
    ExcelReadModel model(h.app(), {h.file("sales.xlsx"), h.file("bad.xlsx")}, false);
    EXPECT_EQ(model.result(), 0);
    EXPECT_EQ(model.sheets().size(), 3u);
    EXPECT_EQ(shownTexts(),
              std::vector<std::string>{"Excelのシート名の取得に失敗しました。処理を中止します。"});
}

// Its message says the import stops, and so it does: no dialog opens after it (a dialog that
// did is answered by the timer, so that a regression fails instead of waiting).
TEST_F(ExcelReadTest, AWorkbookThatCannotBeListedOpensNoDialogAfterItsMessage) {
    std::ofstream(h.file("bad.xlsx")) << "not a workbook";
    int dialogs = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ++dialogs;
            dialog->reject();
        }
    });
    answer.start(20);
    for (const bool addMode : {false, true}) {
        EXPECT_EQ(runExcelReadDialog(h.app(), {h.file("bad.xlsx")}, addMode), std::nullopt);
        EXPECT_EQ(dialogs, 0) << addMode;
        EXPECT_EQ(shownTexts(), std::vector<std::string>{
                                    "Excelのシート名の取得に失敗しました。処理を中止します。"});
        h.prompts().clear();
    }
}

TEST_F(ExcelReadTest, ItemsComeFromTheHeaderRowTheirTypesFromTheRowBelow) {
    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
    // The used range begins at A1's title: the first reading takes it as the header.
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    EXPECT_EQ(model.headerRow(), 1);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(captions(model),
              (std::vector<std::string>{"売上一覧:文字列", ":文字列", ":文字列", ":文字列"}));
    // 次行: the header one row lower.
    ASSERT_EQ(model.ReadColumnInfoNext(), 1);
    EXPECT_EQ(model.headerRow(), 2);
    EXPECT_EQ(captions(model),
              (std::vector<std::string>{"番号:整数", "金額:浮動小数", "日付:日付", "名前:文字列"}));
    EXPECT_TRUE(model.okEnabled());
    EXPECT_TRUE(model.nextEnabled());
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"ColumnInfoRead,0", "ColumnInfoReadNext"}));

    // Moving on until the row below the header lies past the used range.
    EXPECT_EQ(model.ReadColumnInfoNext(), 1);
    EXPECT_EQ(model.ReadColumnInfoNext(), 1);
    EXPECT_EQ(model.ReadColumnInfoNext(), 0);
    EXPECT_EQ(shownTexts(),
              std::vector<std::string>{"Excelからの読込に失敗しました。処理を中止します。"});
    EXPECT_EQ(model.headerRow(), 4);  // the last good reading stands
}

TEST_F(ExcelReadTest, HeaderCellsAndSampleTypes) {
    writeBook(h.file("t.xlsx"), {{"2024", "x", "", "n"}, {"3", "1.5", "t", ""}});
    ExcelReadModel model(h.app(), {h.file("t.xlsx")}, false);
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    EXPECT_EQ(captions(model),
              (std::vector<std::string>{"2024.00:整数", "x:浮動小数", ":文字列", "n:文字列"}));
}

TEST_F(ExcelReadTest, ReadingAnEmptySheetOrAOneRowSheetFails) {
    writeBook(h.file("one.xlsx"), {{"only"}});
    ExcelReadModel model(h.app(), {h.file("sales.xlsx"), h.file("one.xlsx")}, false);
    EXPECT_EQ(model.ReadColumnInfo(1), 0);
    model.selectSheets({});
    EXPECT_EQ(model.ReadColumnInfo(3), 0);
    EXPECT_EQ(model.ReadColumnInfo(4), 0);  // past the list: no message
    EXPECT_EQ(shownTexts(), (std::vector<std::string>{
                                "指定のシートから項目情報を取り出すことはせきませんでした。",
                                "Excelからの読込に失敗しました。処理を中止します。"}));
    EXPECT_TRUE(model.items().empty());
}

TEST_F(ExcelReadTest, HooksSelectByIndexAndRefuseIndexesOutsideTheList) {
    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
    EXPECT_EQ(model.DeleteSheets({3}), 0);
    EXPECT_EQ(model.DeleteSheets({-1}), 0);
    EXPECT_EQ(model.sheets().size(), 3u);
    model.selectSheets({});
    EXPECT_EQ(model.DeleteSheets({}), 1);  // nothing selected: nothing removed
    EXPECT_EQ(model.sheets().size(), 3u);
    EXPECT_EQ(model.DeleteSheets({0, 2}), 1);
    ASSERT_EQ(model.sheets().size(), 1u);
    EXPECT_EQ(model.sheets()[0].sheet, sj("空"));

    ExcelReadModel moved(h.app(), {h.file("sales.xlsx")}, false);
    EXPECT_EQ(moved.MoveSheetsDown({0}), 1);
    EXPECT_EQ(moved.sheets()[1].sheet, sj("売上"));
    moved.selectSheets({});
    EXPECT_EQ(moved.MoveSheetsUp({0, 1}), 1);  // already at the top: stays
    EXPECT_EQ(moved.sheets()[1].sheet, sj("売上"));

    moved.selectSheets({});
    ASSERT_EQ(moved.ReadColumnInfo(2), 1);
    EXPECT_EQ(moved.UpdateColumnInfo(4, "x", "y"), 0);
    EXPECT_EQ(moved.UpdateColumnInfo(-1, "x", "y"), 0);
    EXPECT_EQ(moved.UpdateColumnInfo(1, "a,b", "なんでも"), 1);
    EXPECT_EQ(moved.items()[1].caption, "なんでも");
    EXPECT_EQ(moved.DeleteColumns({4}), 0);
    EXPECT_EQ(moved.DeleteColumns({0, 3}), 1);
    EXPECT_EQ(moved.items().size(), 2u);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"ExcelSheetDelete,0,2", "ExcelSheetDown,0",
                                                     "ExcelSheetUp,0,1", "ColumnInfoRead,2",
                                                     "ColumnInfoDelete,0,3"}));
}

TEST_F(ExcelReadTest, OkWritesTheDefinitionAndEverySheetsRowsBelowItsHeader) {
    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
    model.setTitle(sj("売上"));
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    ASSERT_EQ(model.ReadColumnInfoNext(), 1);  // header in row 2 of 売上, so of 追加 too
    model.selectItems({2});
    model.OnEditItem([](const std::string&, int) {
        return std::optional<app::ImportItem>(app::ImportItem{0, sj("年月日"), 4});
    });
    EXPECT_EQ(macro.steps.back(), sj("ColumnInfoUpdate,2,\"年月日\",\"文字列\""));

    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    EXPECT_TRUE(shownTexts().empty());
    const std::string def = model.outputPath();
    EXPECT_TRUE(def.ends_with("_t.def"));
    EXPECT_EQ(readBytes(def), sj("Title = \"売上\"\r\nNOHEADER\r\nAlloc = \"1,2,3,4\"\r\n\r\n"
                                 "\tItem = \"番号\"\r\n\t\tInteger\r\n\tEndItem\r\n\r\n"
                                 "\tItem = \"金額\"\r\n\t\tFloat\r\n\tEndItem\r\n\r\n"
                                 "\tItem = \"年月日\"\r\n\t\tString\r\n\tEndItem\r\n\r\n"
                                 "\tItem = \"名前\"\r\n\t\tString\r\n\tEndItem\r\n\r\n"
                                 "EndTitle\r\n"));
    // Every sheet is read below the same header row: 追加's one record lies above it there.
    // Line breaks and TABs are gone, and the commas of the numeric column.
    EXPECT_EQ(readBytes(app::withEnding(def, ".dat")), sj("1\t1.5\t2024/3/5\t山田太郎\r\n"
                                                          "2\t1234.5\t2024/3/6\tab,c\r\n"
                                                          "3\t\t\t\r\n"));
}

TEST_F(ExcelReadTest, OkRefusesItemsAndKeepsTheDialog) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> items;  // name, caption (UTF-8)
        std::string message;
    } cases[] = {
        {"empty name",
         {{"a", "整数"}, {"", "整数"}},
         "項目名が設定されていない項目があります。項目名を入力してください。"},
        {"61 bytes",
         {{std::string(61, 'x'), "整数"}},
         "項目名が長すぎます。[1 : " + std::string(61, 'x') + "]"},
        {"repeated",
         {{"a", "整数"}, {"b", "整数"}, {"a", "文字列"}},
         "項目名が重複しています。項目名はユニークな名前でなくてはなりません。"
         "次の項目名を変更してください。[3 : a]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        h.prompts().clear();
        ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
        ASSERT_EQ(model.ReadColumnInfo(0), 1);  // four items; the case's texts set as a macro does
        while (model.items().size() > c.items.size())
            model.DeleteColumns({static_cast<int>(model.items().size()) - 1});
        for (std::size_t i = 0; i < c.items.size(); ++i)
            model.UpdateColumnInfo(static_cast<int>(i), sj(c.items[i].first),
                                   sj(c.items[i].second));
        EXPECT_EQ(model.Execute(), 0);
        EXPECT_EQ(shownTexts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(h.tempFiles().empty());
    }
}

// Adding: the items must be those of the loaded data set, in number and in type.
TEST_F(ExcelReadTest, AddModeChecksTheItemsAgainstTheLoadedDefinition) {
    ASSERT_TRUE(h.load(sj("Title = \"売上\"\nitem = \"番号\"\n Integer\nEndItem\n"
                          "item = \"金額\"\n Float\nEndItem\nitem = \"日付\"\n Date\nEndItem\n"
                          "item = \"名前\"\n String\nEndItem\nEndTitle\n"),
                       "n\ta\td\tm\n9\t1\t2024/1/1\tz\n"))
        << ::testing::PrintToString(shownTexts());
    h.prompts().clear();
    const std::vector<std::string> before = h.tempFiles();
    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, true);
    EXPECT_EQ(model.title(), sj("売上"));
    model.setTitle("other");
    EXPECT_EQ(model.title(), sj("売上"));
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    ASSERT_EQ(model.ReadColumnInfoNext(), 1);

    model.UpdateColumnInfo(1, sj("金額"), sj("整数"));
    EXPECT_EQ(model.Execute(), 0);
    model.UpdateColumnInfo(1, sj("金額"), sj("浮動小数"));
    model.DeleteColumns({3});
    EXPECT_EQ(model.Execute(), 0);
    EXPECT_EQ(shownTexts(),
              (std::vector<std::string>{"2 の項目タイプが違います。浮動小数でなければなりません。",
                                        "項目の数が異なっています。追加できません。"}));
    EXPECT_EQ(h.tempFiles(), before);

    ExcelReadModel good(h.app(), {h.file("sales.xlsx")}, true);
    good.ReadColumnInfo(0);
    good.ReadColumnInfoNext();
    ASSERT_EQ(good.OnOK(), Outcome::Accepted);
    // Only the text data: no definition beside it.
    EXPECT_TRUE(good.outputPath().ends_with("_t.dat"));
    EXPECT_FALSE(std::filesystem::exists(app::withEnding(good.outputPath(), ".def")));
    EXPECT_EQ(readBytes(good.outputPath()).substr(0, 7), "1\t1.5\t2");
}

TEST_F(ExcelReadTest, ATextShiftJisCannotHoldStopsWithNothingWrittenAndTheDialogStays) {
    for (const char* text : {"①～", "😀", "𠮷"}) {
        SCOPED_TRACE(text);
        h.prompts().clear();
        writeBook(h.file("u.xlsx"), {{"a", "b"}, {"1", "x"}, {"2", text}});
        ExcelReadModel model(h.app(), {h.file("u.xlsx")}, false);
        ASSERT_EQ(model.ReadColumnInfo(0), 1);
        const bool holds = std::string(text) == "①～";
        EXPECT_EQ(model.OnOK(), holds ? Outcome::Accepted : Outcome::Stay);
        if (holds) {
            EXPECT_TRUE(shownTexts().empty());
            std::filesystem::remove_all(h.file("temp"));
        } else {
            EXPECT_EQ(shownTexts(),
                      std::vector<std::string>{
                          "シフトJISで表せない文字が含まれています。[u.xlsx : S : B3]"});
            EXPECT_TRUE(h.tempFiles().empty());
            EXPECT_FALSE(model.busy());
        }
    }
}

TEST_F(ExcelReadTest, NoRecordRowCancelsWithNothingLeft) {
    writeBook(h.file("h.xlsx"), {{"a", "b"}, {"1", "2"}});
    ExcelReadModel model(h.app(), {h.file("h.xlsx")}, false);
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    ASSERT_EQ(model.ReadColumnInfoNext(), 0);  // a one-record sheet has no row below
    model.ReadColumnInfo(0);
    model.DeleteSheets({0});
    EXPECT_FALSE(model.okEnabled());
    EXPECT_EQ(model.OnOK(), Outcome::Cancelled);
    EXPECT_EQ(shownTexts().back(), "Excelからデータを読み込めませんでした。");
    EXPECT_TRUE(h.tempFiles().empty());
}

// A workbook that turns out damaged at a later stage gets that stage's message; nothing is
// written.
TEST_F(ExcelReadTest, AWorkbookDamagedAfterItWasListedStopsWithItsStagesMessage) {
    ExcelReadModel items(h.app(), {h.file("sales.xlsx")}, false);
    ExcelReadModel data(h.app(), {h.file("sales.xlsx")}, false);
    ASSERT_EQ(data.ReadColumnInfo(0), 1);
    ASSERT_EQ(data.ReadColumnInfoNext(), 1);
    const std::string whole = readBytes(h.file("sales.xlsx"));
    std::ofstream(h.file("sales.xlsx"), std::ios::binary) << whole.substr(0, whole.size() / 2);
    EXPECT_EQ(items.ReadColumnInfo(0), 0);
    EXPECT_TRUE(items.items().empty());
    EXPECT_EQ(data.OnOK(), Outcome::Cancelled);
    EXPECT_EQ(data.result(), 0);
    EXPECT_EQ(shownTexts(), (std::vector<std::string>{
                                "Excelからの読込に失敗しました。処理を中止します。",
                                "Excelからのデータ読込に失敗しました。処理を中止します。"}));
    EXPECT_TRUE(h.tempFiles().empty());
}

// The progress line names each sheet, and after each block of rows the rows read so far; a
// block holds 500,000 cells of the sheet's width, at least 1,000 rows.
TEST_F(ExcelReadTest, TheProgressLineCountsBlocksOfRows) {
    lxw_workbook* book = workbook_new(h.file("wide.xlsx").c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "W");
    for (int c = 0; c < 500; ++c)  // to column 500: blocks of 1,000 rows
        worksheet_write_string(sheet, 0, c, ("c" + std::to_string(c)).c_str(), nullptr);
    for (int r = 1; r <= 2500; ++r)
        worksheet_write_number(sheet, r, 0, r, nullptr);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
    ExcelReadModel model(h.app(), {h.file("wide.xlsx")}, false);
    std::vector<std::string> lines;
    model.setProgressSink([&](const std::string& text) { lines.push_back(cp932::toUtf8(text)); });
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    EXPECT_EQ(lines, (std::vector<std::string>{"wide.xlsx : W", "wide.xlsx / W : 1000 行読込",
                                               "wide.xlsx / W : 2000 行読込"}));
    const std::string dat = readBytes(app::withEnding(model.outputPath(), ".dat"));
    EXPECT_EQ(std::count(dat.begin(), dat.end(), '\n'), 2500);
    EXPECT_TRUE(dat.starts_with("1" + std::string(499, '\t') + "\r\n2\t"));
}

// The data set built from what the import wrote holds, record by record, what openpyxl reads of
// the workbook: the 売上 sheet's rows below its header, integers, decimals, dates, texts.
TEST_F(ExcelReadTest, TheBuiltRecordsAreWhatOpenpyxlReads) {
    const ProgramRun run = runPython({"-c", R"py(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1], read_only=True)["売上"]
for row in ws.iter_rows(min_row=3, values_only=True):
    out = []
    for v in row[:4]:
        if v is None: out.append("")
        elif hasattr(v, "year"): out.append(f"{v.year}/{v.month}/{v.day}")
        elif isinstance(v, float): out.append(repr(v))
        else: out.append(str(v).replace("\n", "").replace("\t", ""))
    print("|".join(out))
)py",
                                      h.file("sales.xlsx")});
    ASSERT_EQ(run.status, 0) << run.output;

    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
    model.ReadColumnInfo(0);
    model.ReadColumnInfoNext();
    model.UpdateColumnInfo(1, sj("金額"), sj("文字列"));  // as read, commas and all
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    ASSERT_TRUE(h.load(readBytes(model.outputPath()),
                       readBytes(app::withEnding(model.outputPath(), ".dat"))));
    // A blank reads as the engine's caption for one; openpyxl gives None.
    const std::string blank = h.app().GetSpecialCaptions()[1];
    auto text = [&](int row, int item) {
        const char* t = nullptr;
        h.app().KWreadString(row, item, &t);
        return t && blank != t ? cp932::toUtf8(t) : std::string();
    };
    std::string built;
    for (int row = 0; row < h.app().KWgetDataCount(); ++row) {
        std::int32_t number = 0;
        h.app().KWreadInteger(row, 0, &number);
        std::string amount = text(row, 1);
        if (!amount.empty() && amount.find('.') == std::string::npos) amount += ".0";
        built += std::to_string(number) + "|" + amount + "|" + text(row, 3) + "\n";
    }
    // The dates are compared as the data file's texts, which the build reads as dates.
    const std::string dat = readBytes(app::withEnding(model.outputPath(), ".dat"));
    std::string expected;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> f;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '|');)
            f.push_back(cell);
        f.resize(4);
        expected += f[0] + "|" + f[1] + "|" + f[3] + "\n";
        EXPECT_NE(dat.find("\t" + f[2] + "\t"), std::string::npos) << f[2];
    }
    EXPECT_EQ(built, expected);
}

// The import names what it writes by the program's clock, as the run names its temporaries, so
// that a run and a replay of it started at one stamp write the same names.
TEST_F(ExcelReadTest, TheWrittenFilesAreNamedByTheProgramsClock) {
    using namespace std::chrono;
    const system_clock::time_point stamp = sys_days{year{2024} / 5 / 6} + hours{12} + minutes{34};
    h.app().SetClock([stamp] { return stamp; });
    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
    model.ReadColumnInfo(0);
    model.ReadColumnInfoNext();
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    EXPECT_EQ(std::filesystem::path(model.outputPath()).filename().string(),
              app::startupStamp(stamp) + "_t.def");
}

// One shared string named by many cells: a small workbook that would make a data file of
// hundreds of megabytes is refused once what it wrote passes what a workbook of its size can
// hold, with the data stage's message and nothing left in temp/.
TEST_F(ExcelReadTest, AWorkbookThatWouldWriteFarMoreThanItHoldsIsRefused) {
    const std::string path = h.file("shared.xlsx");
    {
        lxw_workbook* book = workbook_new(path.c_str());
        lxw_worksheet* sheet = workbook_add_worksheet(book, "S");
        const std::string text(8000, 'x');
        worksheet_write_string(sheet, 0, 0, "name", nullptr);
        worksheet_write_string(sheet, 0, 1, "n", nullptr);
        for (int r = 1; r <= 20000; ++r) {
            worksheet_write_string(sheet, r, 0, text.c_str(), nullptr);
            worksheet_write_number(sheet, r, 1, r, nullptr);
        }
        ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
    }
    ASSERT_LT(std::filesystem::file_size(path), 1u << 20);  // 160 MB of cells
    ExcelReadModel model(h.app(), {path}, false);
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    EXPECT_EQ(model.OnOK(), Outcome::Cancelled);
    EXPECT_EQ(model.result(), 0);
    EXPECT_EQ(shownTexts(),
              std::vector<std::string>{"Excelからのデータ読込に失敗しました。処理を中止します。"});
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

// --- Room in temp/ ---

// One sheet "S": a header and `rows` rows of the same 104 bytes in the text data ("1", TAB, 100
// letters, CR LF), small as a workbook (one shared string).
std::string writeEvenRows(AppHarness& h, const std::string& name, int rows) {
    const std::string path = h.file(name);
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "S");
    worksheet_write_string(sheet, 0, 0, "n", nullptr);
    worksheet_write_string(sheet, 0, 1, "text", nullptr);
    const std::string text(100, 'x');
    for (int r = 1; r <= rows; ++r) {
        worksheet_write_number(sheet, r, 0, 1, nullptr);
        worksheet_write_string(sheet, r, 1, text.c_str(), nullptr);
    }
    EXPECT_EQ(workbook_close(book), LXW_NO_ERROR);
    return path;
}

// temp/ too small for the rows: refused with what is needed, estimated from the rows read (here
// exact, every row being the same size), nothing kept, and the dialog stays.
void expectNoRoom(AppHarness& h, ExcelReadModel& model, const std::string& needed,
                  const std::string& free) {
    h.prompts().clear();
    EXPECT_EQ(model.OnOK(), Outcome::Stay);
    EXPECT_EQ(model.result(), 0);
    const std::vector<std::string> texts = shown(h.prompts());
    ASSERT_EQ(texts.size(), 1u);
    const std::string head = "一時フォルダ[" + h.programDir() + "/temp]の空き容量が足りません。\n" +
                             "この読込には少なくとも" + needed + "の空きが必要です（今の空きは";
    EXPECT_TRUE(texts[0].starts_with(head)) << texts[0];
    EXPECT_TRUE(texts[0].ends_with(free + "です）。")) << texts[0];
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
    EXPECT_TRUE(model.outputPath().empty());
}

// The child of the test below, in a user and mount namespace of its own (unshare), where temp/
// is a file system of 1 MiB.
TEST(ExcelReadSmallTemp, Child) {
    if (!std::getenv("ZBQ_SMALL_TEMP")) GTEST_SKIP() << "run by ExcelReadSmallTemp.OnlyWhat...";
    AppHarness h;
    const std::string temp = h.file("temp");
    std::filesystem::create_directories(temp);
    ASSERT_EQ(h.tempFiles(), std::vector<std::string>{});
    if (::mount("tmpfs", temp.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no file system can be mounted here: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount(path.c_str()); }
    } unmount{temp};

    // Far less room than the margin once kept free: a few rows still fit.
    writeSalesBook(h.file("sales.xlsx"));
    {
        ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
        ASSERT_EQ(model.ReadColumnInfo(0), 1);
        ASSERT_EQ(model.ReadColumnInfoNext(), 1);
        EXPECT_EQ(model.OnOK(), Outcome::Accepted);
        EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{});
        const std::string dat = readBytes(app::withEnding(model.outputPath(), ".dat"));
        EXPECT_EQ(std::count(dat.begin(), dat.end(), '\n'), 3);
    }

    // 3,120,000 bytes of rows cannot fit; given room, the same dialog imports them.
    ExcelReadModel model(h.app(), {writeEvenRows(h, "even.xlsx", 30000)}, false);
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    expectNoRoom(h, model, "3.0 MB", "1.0 MB");
    ASSERT_EQ(::mount("tmpfs", temp.c_str(), "tmpfs", MS_REMOUNT, "size=8m"), 0);
    h.prompts().clear();
    EXPECT_EQ(model.OnOK(), Outcome::Accepted);
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{});
    EXPECT_EQ(readBytes(app::withEnding(model.outputPath(), ".dat")).size(), 3120000u);
}

// An import refuses only what temp/ cannot hold, and says that temp/ lacks the room: on a file
// system of 1 MiB a few rows import and 3 MB of rows are refused with the room they need.
TEST(ExcelReadSmallTemp, OnlyWhatCannotFitIsRefusedNamingTheFolderAndTheRoomNeeded) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZBQ_SMALL_TEMP", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.start("unshare", {"--user", "--map-root-user", "--mount",
                            QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe")),
                            "--gtest_filter=ExcelReadSmallTemp.Child"});
    if (!child.waitForStarted(10000)) GTEST_SKIP() << "unshare cannot be run here";
    ASSERT_TRUE(child.waitForFinished(180000));
    const std::string output =
        child.readAllStandardOutput().toStdString() + child.readAllStandardError().toStdString();
    if (output.find("[==========]") == std::string::npos)
        GTEST_SKIP() << "no namespace of its own here: " << output;
    if (output.find("[  SKIPPED ]") != std::string::npos) GTEST_SKIP() << output;
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

// A disk found full while the rows are written (another program took the room meanwhile) is told
// the same way.
TEST_F(ExcelReadTest, ADiskThatFillsWhileTheRowsAreWrittenIsToldAsTempLackingRoom) {
    ExcelReadModel model(h.app(), {writeEvenRows(h, "even.xlsx", 30000)}, false);
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    FullDisk full(100000, "/temp/");
    expectNoRoom(h, model, "3.0 MB", " MB");
    EXPECT_GT(FullDisk::refused(), 0);
}

// A workbook is read once per import: the sheet list, the item information and OK all take the
// reader that listed it while the file stays as it was (here its bytes are spoiled behind an
// unchanged size and time, which only a second reading would meet); a file changed since is
// read afresh.
TEST_F(ExcelReadTest, AWorkbookIsReadOncePerImportWhileItStaysAsItWas) {
    const std::string path = h.file("once.xls");
    const ProgramRun made = runPython({"-c", R"py(
import sys, xlwt
wb = xlwt.Workbook(encoding="utf-8")
ws = wb.add_sheet("S")
for r, row in enumerate([["name", "n"], ["a", 1], ["b", 2]]):
    for c, v in enumerate(row):
        ws.write(r, c, v)
wb.save(sys.argv[1])
)py",
                                       path});
    ASSERT_EQ(made.status, 0) << made.output;
    ExcelReadModel model(h.app(), {path}, false);
    ASSERT_EQ(model.result(), 1);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::filesystem::resize_file(path, 0);
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(before.st_size));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    ASSERT_EQ(model.items().size(), 2u);
    EXPECT_EQ(model.OnOK(), Outcome::Accepted);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{});
    // Changed since it was read: read again, and found spoiled.
    ASSERT_FALSE(model.outputPath().empty());
    std::ofstream(path, std::ios::app) << "more";
    EXPECT_EQ(model.ReadColumnInfo(0), 0);
    EXPECT_EQ(shownTexts(),
              std::vector<std::string>{"Excelからの読込に失敗しました。処理を中止します。"});
}

// A name already taken, by a file or by a link planted there, is passed over and left as it is:
// the import's files are only ever ones it created itself.
TEST_F(ExcelReadTest, TheWrittenFilesNeverTakeOverANameAlreadyThere) {
    using namespace std::chrono;
    const system_clock::time_point stamp = sys_days{year{2024} / 5 / 6} + hours{12} + minutes{34};
    h.app().SetClock([stamp] { return stamp; });
    const std::string temp = h.programDir() + "/temp/";
    std::filesystem::create_directories(temp);
    const std::string base = temp + app::startupStamp(stamp);
    std::ofstream(base + "_t.def") << "someone's";
    std::ofstream(h.file("target")) << "elsewhere";
    std::filesystem::create_symlink(h.file("target"), base + "-2_t.dat");
    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
    model.ReadColumnInfo(0);
    model.ReadColumnInfoNext();
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    EXPECT_EQ(model.outputPath(), base + "-3_t.def");
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(bytes(base + "_t.def"), "someone's");
    EXPECT_EQ(bytes(h.file("target")), "elsewhere");
    EXPECT_TRUE(std::filesystem::is_symlink(base + "-2_t.dat"));
}

// Every name OK lets through loads under exactly that name: the definition is written and read
// by the real writer and parser. A header's line break goes as its cells' do; what the parser
// would change (blanks, TABs, quotes) or refuse (NUL, line breaks) is refused at OK.
TEST(ExcelReadNames, EveryNameOkAcceptsLoadsUnderThatExactName) {
    struct Case {
        std::string name;  // CP932
        bool accepted;
    };
    const Case cases[] = {
        {"first name", false},    {"a\tb", false},
        {"\"id\"", false},        {"\"", false},
        {"x\"", false},           {"a\rb", false},
        {"a\nb", false},          {std::string("a\0b", 3), false},
        {"a//b", true},           {"//", true},
        {"x//\"y", false},        {"=", true},
        {"a=\"b", false},         {"item=x", true},
        {"EndItem", true},        {"help", true},
        {"Integer", true},        {"#1[x](y),z;", true},
        {sj("全角　空白"), true},  // the ideographic space is no blank to the parser
        {sj("ｱｲｳ\\表"), true},    {sj("売上金額"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(cp932::toUtf8(c.name));
        AppHarness h;
        writeBook(h.file("n.xlsx"), {{"a", "b"}, {"1", "x"}});
        ExcelReadModel model(h.app(), {h.file("n.xlsx")}, false);
        model.setTitle("t");
        ASSERT_EQ(model.ReadColumnInfo(0), 1);
        model.UpdateColumnInfo(0, c.name, sj("文字列"));
        const Outcome outcome = model.OnOK();
        if (!c.accepted) {
            EXPECT_EQ(outcome, Outcome::Stay);
            EXPECT_EQ(shown(h.prompts()),
                      std::vector<std::string>{app::kNameCharacters +
                                               ("[1 : " + cp932::toUtf8(c.name) + "]")});
            EXPECT_TRUE(h.tempFiles().empty());
            continue;
        }
        ASSERT_EQ(outcome, Outcome::Accepted) << shown(h.prompts()).size();
        ASSERT_TRUE(h.load(readBytes(model.outputPath()),
                           readBytes(app::withEnding(model.outputPath(), ".dat"))));
        ASSERT_EQ(h.app().GetStructDef().items.size(), 2u);
        EXPECT_EQ(h.app().GetStructDef().items[0].name, c.name);
        EXPECT_EQ(h.app().GetStructDef().items[1].name, "b");
    }
}

// A header with a line break becomes its name without it, as the cells below lose theirs; a
// title the parser would change is refused; quoted cells load as they stand.
TEST(ExcelReadNames, AHeaderLosesItsLineBreaksAndCellsKeepTheirQuotes) {
    AppHarness h;
    writeBook(h.file("n.xlsx"), {{"売上\n金額", "b\r\nc"}, {"\"1\"", "x\""}, {"\"", "\"y"}});
    ExcelReadModel model(h.app(), {h.file("n.xlsx")}, false);
    ASSERT_EQ(model.ReadColumnInfo(0), 1);
    ASSERT_EQ(model.items().size(), 2u);
    EXPECT_EQ(model.items()[0].name, sj("売上金額"));
    EXPECT_EQ(model.items()[1].name, "bc");
    model.setTitle("a title");
    EXPECT_EQ(model.OnOK(), Outcome::Stay);
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{app::kTitleCharacters});
    model.setTitle("t");
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    ASSERT_TRUE(h.load(readBytes(model.outputPath()),
                       readBytes(app::withEnding(model.outputPath(), ".dat"))));
    EXPECT_EQ(h.app().GetStructDef().items[0].name, sj("売上金額"));
    const char* expected[2][2] = {{"\"1\"", "x\""}, {"\"", "\"y"}};
    ASSERT_EQ(h.app().KWgetDataCount(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            const char* cell = nullptr;
            ASSERT_GE(h.app().KWreadString(r, c, &cell), 0);
            EXPECT_EQ(std::string(cell), expected[r][c]) << r << " " << c;
        }
}

// A number in the header is written with a point whatever the locale (Qt sets LC_NUMERIC).
TEST(ExcelReadNames, ANumberInTheHeaderIgnoresTheLocale) {
    AppHarness h;
    writeBook(h.file("n.xlsx"), {{"2024.5", "-3"}, {"1", "2"}});  // strtod: before the switch
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
        if ((chosen = std::setlocale(LC_ALL, name))) break;
    if (!chosen) GTEST_SKIP() << "no German locale installed (scripts/deps makes one)";
    ExcelReadModel model(h.app(), {h.file("n.xlsx")}, false);
    const int read = model.ReadColumnInfo(0);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_EQ(read, 1);
    ASSERT_EQ(model.items().size(), 2u);
    EXPECT_EQ(model.items()[0].name, "2024.50");
    EXPECT_EQ(model.items()[1].name, "-3.00");
}

// What the import wrote is read by the definition parser and built into the data set.
TEST_F(ExcelReadTest, TheWrittenFilesLoadIntoTheSheetsRecords) {
    ExcelReadModel model(h.app(), {h.file("sales.xlsx")}, false);
    model.ReadColumnInfo(0);
    model.ReadColumnInfoNext();
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    ASSERT_TRUE(h.load(readBytes(model.outputPath()),
                       readBytes(app::withEnding(model.outputPath(), ".dat"))));
    CKWApp& app = h.app();
    ASSERT_EQ(app.KWgetDataCount(), 3);
    EXPECT_EQ(app.GetItemType(2), 5);
    double value = 0;
    ASSERT_GE(app.KWreadDouble(1, 1, &value), 0);
    EXPECT_DOUBLE_EQ(value, 1234.5);
    const char* name = nullptr;
    ASSERT_GE(app.KWreadString(0, 3, &name), 0);
    EXPECT_EQ(std::string(name), sj("山田太郎"));
}

}  // namespace
}  // namespace zbq::test

namespace zbq::test {
namespace {

// Start-up on a workbook: the dialog lists its sheets; the user deletes one, reads the items of
// another one row lower, and confirms; the data set is loaded and the import's files are gone.
TEST(ExcelReadStartUp, AWorkbookChosenAtStartUpLoadsThroughTheDialog) {
    AppHarness h;
    h.setSpreadsheet("");
    writeSalesBook(h.file("sales.xlsx"));
    h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("sales.xlsx"))});
    h.driveImports([](QDialog& dialog) {
        auto& excel = dynamic_cast<CExcelReadDlg&>(dialog);
        EXPECT_EQ(excel.sheetList()->topLevelItemCount(), 3);
        EXPECT_FALSE(excel.button(1)->isEnabled());
        excel.sheetList()->topLevelItem(2)->setSelected(true);
        EXPECT_TRUE(excel.button(1102)->isEnabled());
        excel.button(1102)->click();
        excel.sheetList()->topLevelItem(0)->setSelected(true);
        excel.button(1074)->click();
        excel.button(1106)->click();
        EXPECT_EQ(excel.itemList()->topLevelItemCount(), 4);
        EXPECT_TRUE(excel.button(1)->isEnabled());
        excel.titleEdit()->setText(QStringLiteral("売上"));
        excel.button(1)->click();
        return dialog.result();
    });
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.app().GetStructDef().title, sj("売上"));
    EXPECT_EQ(h.app().KWgetDataCount(), 3);
    for (const std::string& name : h.tempFiles())
        EXPECT_FALSE(name.ends_with(".def") || name.ends_with(".dat")) << name;
    h.exit();
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

// A selected row of the dialog's lists stays readable: its text stands out from its ground,
// whether the list has the focus or not.
TEST_F(ExcelReadTest, ASelectedRowsTextStandsOutFromItsGround) {
    CExcelReadDlg dialog(h.app(), {h.file("sales.xlsx")}, false);
    dialog.resize(600, 500);
    QTreeWidget* list = dialog.sheetList();
    QTreeWidgetItem* row = list->topLevelItem(0);
    ASSERT_NE(row, nullptr);
    row->setSelected(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QRect cell = list->visualItemRect(row);
    const QImage image = list->viewport()->grab(cell).toImage();
    ASSERT_FALSE(cell.isEmpty());
    ASSERT_EQ(image.size(), cell.size() * image.devicePixelRatio());
    // The ground is the row's commonest colour; ink is what differs from it clearly.
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    const QRgb ground =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first;
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (std::abs(qGray(image.pixel(x, y)) - qGray(ground)) > 96) ++ink;
    EXPECT_GT(ink, 20) << "ground " << std::hex << ground;
}

// Every column title of both lists shows whole in the dialog as it opens, in either language
// ("Sheet name" was cut to "Sheet na…").
TEST_F(ExcelReadTest, TheListsColumnTitlesShowWhole) {
    for (const char* locale : {"en_US", "ja_JP"}) {
        const InLanguage language(locale);
        CExcelReadDlg dialog(h.app(), {h.file("sales.xlsx")}, false);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        for (QTreeWidget* list : {dialog.sheetList(), dialog.itemList()}) {
            const QHeaderView* header = list->header();
            for (int c = 1; c < header->count(); ++c) {
                const std::string title = list->headerItem()->text(c).toStdString();
                EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c))
                    << locale << ": " << title;
                EXPECT_LE(header->sectionViewportPosition(c) + header->sectionSize(c),
                          list->viewport()->width())
                    << locale << ": " << title;
            }
        }
    }
}

// Both lists grow and shrink with the dialog; the buttons beside them keep their size.
TEST_F(ExcelReadTest, TheListsGrowWithTheDialog) {
    CExcelReadDlg dialog(h.app(), {h.file("sales.xlsx")}, false);
    dialog.resize(dialog.minimumSizeHint());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QSize sheets = dialog.sheetList()->size(), items = dialog.itemList()->size();
    const QSize button = dialog.button(1106)->size();
    dialog.resize(dialog.size() + QSize(300, 400));
    QCoreApplication::processEvents();
    for (const auto& [list, before] :
         {std::pair{dialog.sheetList(), sheets}, std::pair{dialog.itemList(), items}}) {
        EXPECT_EQ(list->width(), before.width() + 300) << list->headerItem()->text(1).toStdString();
        EXPECT_GE(list->height(), before.height() + 150)
            << list->headerItem()->text(1).toStdString();
    }
    // The buttons keep their size, each under the one above it.
    EXPECT_EQ(dialog.button(1106)->size(), button);
    EXPECT_LT(dialog.button(1074)->y() - dialog.button(1004)->y(), 2 * button.height());
    EXPECT_LT(dialog.button(1105)->y() - dialog.button(1104)->y(), 2 * button.height());
}

}  // namespace
}  // namespace zbq::test
