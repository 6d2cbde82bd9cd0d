// The original-data window's copies, exports and format printing on a small data set: what the
// clipboard and the files hold byte for byte, that nothing is read or written without a
// selection, the steps recorded, and the print entry's file handed to the desktop.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"
#include "tests/support/temp_dir.h"
#include "windows/data_grid_model.h"

namespace zbq::windows {
namespace {

class DataViewExportTest : public ::testing::Test {
protected:
    void open(const std::string& data) {
        ASSERT_TRUE(harness.load(cp932::literal("Title = \"t\"\nitem = \"名前\"\n String\nEndItem\n"
                                                "item = \"数\"\n Integer\nEndItem\nEndTitle\n"),
                                 cp932::literal(data)));
        harness.app().SetDisplayItems({0, 1});
        harness.app().SetGridItems();
        harness.app().SetMacroPort(&macro);
        harness.app().SetExportTempPath(harness.file("temp/stamp_e.xlsx"));
        harness.app().SetPrintMenu({{5, cp932::literal("月報"), harness.file("report.xls")}});
        model = std::make_unique<DataGridModel>(harness.app());
        model->BuildGrid(0);
    }
    void openSmall() { open("名前\t数\na,b\t1200\nx\t\nﾌﾞﾗﾝｸ品\t3\n"); }

    test::AppHarness harness;
    test::RecordingMacro macro;
    ui::ScriptedClipboard clipboard;
    ui::ScriptedOpener opener;
    std::unique_ptr<DataGridModel> model;
};

TEST_F(DataViewExportTest, CopiesTheSelectedBlockWithAndWithoutNames) {
    openSmall();
    model->SetSelStart(1, 1);
    model->SetSelEnd(0, 0);
    model->CopyWithHead();
    EXPECT_EQ(clipboard.text(), cp932::literal("名前\t数\r\na,b\t1200\r\nx\t\r\n"));
    model->SetSelStart(0, 2);
    model->SetSelEnd(0, 2);
    model->Copy();
    EXPECT_EQ(clipboard.text(), cp932::literal("ﾌﾞﾗﾝｸ品\r\n"));
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Data_CopyWithHead", "Data_Copy"}));
}

// A blank String or Code value shows its caption in the grid and goes out as an empty field.
TEST_F(DataViewExportTest, BlankTextAndCodeCellsGoOutEmpty) {
    ASSERT_TRUE(harness.load(
        cp932::literal("Title = \"t\"\nitem = \"名前\"\n String\nEndItem\nitem = \"性別\"\n Code\n"
                       " Def\n  1 = \"男性\"\n EndDef\nEndItem\nEndTitle\n"),
        cp932::literal("名前\t性別\n\t1\nx\t\n")));
    harness.app().SetDisplayItems({0, 1});
    harness.app().SetGridItems();
    model = std::make_unique<DataGridModel>(harness.app());
    model->BuildGrid(0);
    std::string text;
    ASSERT_TRUE(model->GetCellText(0, 0, &text));
    ASSERT_EQ(text, cp932::literal("ﾌﾞﾗﾝｸ"));
    ASSERT_TRUE(model->GetCellText(1, 1, &text));
    ASSERT_EQ(text, cp932::literal("ﾌﾞﾗﾝｸ"));
    model->SelectAll();
    model->Copy();
    EXPECT_EQ(clipboard.text(), cp932::literal("\t男性\r\nx\t\r\n"));
}

TEST_F(DataViewExportTest, WithoutASelectionNothingIsCopiedOrWritten) {
    openSmall();
    model->SetSelStart(0, 99);  // clears the selection
    model->Copy();
    model->OutToCsv(harness.file("out.csv"));
    model->OutToExcel();
    EXPECT_EQ(clipboard.puts(), 0);
    EXPECT_FALSE(std::filesystem::exists(harness.file("out.csv")));
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(DataViewExportTest, AStepsPathChoosesTheFormByItsSuffix) {
    openSmall();
    model->SelectAll();
    macro.steps.clear();
    model->OutToCsvWithHead(harness.file("out.txt"));
    EXPECT_EQ(test::readFile(harness.file("out.txt")),
              cp932::literal("名前\t数\r\na,b\t1200\r\nx\t\r\nﾌﾞﾗﾝｸ品\t3\r\n"));
    model->OutToCsv(harness.file("out.csv"));
    EXPECT_EQ(test::readFile(harness.file("out.csv")),
              cp932::literal("\"a,b\",1200\r\nx,\r\nﾌﾞﾗﾝｸ品,3\r\n"));
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Data_OutToCsvWithHead,\"" + harness.file("out.txt") + "\"",
                                        "Data_OutToCsv,\"" + harness.file("out.csv") + "\""}));
}

TEST_F(DataViewExportTest, TheWorkbookGoesToTheSpreadsheetProgram) {
    openSmall();
    harness.app().SetExcelPath("calc.desktop");  // as start-up finds one
    model->SelectAll();
    model->OutToExcelWithHead();
    ASSERT_EQ(opener.opened().size(), 1u);
    EXPECT_EQ(opener.opened()[0].toStdString(), harness.file("temp/stamp_e.xlsx"));
    EXPECT_TRUE(std::filesystem::exists(harness.file("temp/stamp_e.xlsx")));
    EXPECT_EQ(macro.steps.back(), "Data_OutToExcelWithHead");
}

TEST_F(DataViewExportTest, FormatPrintingWritesTheWholeGridAndOpensTheEntrysFile) {
    openSmall();
    model->SetSelStart(0, 0);
    model->SetSelEnd(0, 0);
    model->FormatPrint(5);
    EXPECT_EQ(test::readFile(harness.file("temp/StylePrt.csv")),
              cp932::literal("名前,数\r\n\"a,b\",1200\r\nx,\r\nﾌﾞﾗﾝｸ品,3\r\n"));
    EXPECT_EQ(model->GetSelEnd(), (Cell{1, 2}));  // left selected whole
    ASSERT_EQ(opener.opened().size(), 1u);
    EXPECT_EQ(opener.opened()[0].toStdString(), harness.file("report.xls"));
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Data_SelectAll", "Prt,5"}));

    // A failing opener is told with the file's path; the CSV stays written.
    opener.setResult(false);
    model->FormatPrint(5);
    ASSERT_FALSE(harness.prompts().messages().empty());
    EXPECT_TRUE(harness.prompts().messages().back().text.startsWith(
        QString::fromUtf8("エクセルファイルの起動に失敗しました\n\n[")));
}

// Over no records the file still names the columns, so the entry's file opens on a CSV of the
// grid's shape.
TEST_F(DataViewExportTest, FormatPrintingOverNoRecordsWritesTheItemNames) {
    openSmall();
    ASSERT_EQ(harness.app().KWsrch("#1=99"), 0);
    ASSERT_EQ(model->GetRowCount(), 0);
    model->FormatPrint(5);
    EXPECT_EQ(test::readFile(harness.file("temp/StylePrt.csv")), cp932::literal("名前,数\r\n"));
    EXPECT_EQ(opener.opened().size(), 1u);
    EXPECT_TRUE(harness.prompts().messages().empty());
}

TEST_F(DataViewExportTest, ALargeGridAsksFirstAndANoWritesAndOpensNothing) {
    std::string data = "名前\t数\n";
    for (int i = 0; i < 5001; ++i)
        data += "n\t" + std::to_string(i) + "\n";
    open(data);
    {
        std::ofstream old(harness.file("temp/StylePrt.csv"), std::ios::binary);
        old << "old";
    }
    harness.prompts().answer(ui::Answer::No);
    model->FormatPrint(5);
    EXPECT_EQ(test::readFile(harness.file("temp/StylePrt.csv")), "old");
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_SelectAll"});
}

}  // namespace
}  // namespace zbq::windows
