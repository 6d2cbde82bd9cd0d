// The original-data window's model on loaded data sets, with no display: what each cell says for
// every item type and display setting, the empty table, the selection setters, the menu's
// enabling per column type, the key moves through the application, and the steps each operation
// records.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"
#include "windows/data_grid_model.h"

namespace zbq::windows {
namespace {

std::string u8(std::string_view cp932) {
    return cp932::toUtf8(cp932);
}

// A window port whose ShowRecord goes to the model, as the frame's does.
struct ModelPort : WindowPort {
    DataGridModel* model = nullptr;
    std::int32_t ShowRecord(std::int32_t row, std::int32_t item) override {
        return model ? model->ShowRecord(row, item) : -1;
    }
};

class DataGridTest : public ::testing::Test {
protected:
    void open(bool fixture = true, const std::string& def = {}, const std::string& data = {}) {
        ASSERT_TRUE(fixture ? harness.load() : harness.load(def, data));
        std::vector<std::int32_t> items;
        for (std::int32_t i = 0; i < harness.app().GetStructDef().itemCount; ++i)
            items.push_back(i);
        harness.app().SetDisplayItems(items);
        harness.app().SetGridItems();
        model = std::make_unique<DataGridModel>(harness.app());
        port.model = model.get();
        harness.app().SetWindowPort(&port);
        harness.app().SetMacroPort(&macro);
        model->BuildGrid(0);
        model->SetViewport(400, 18 * 5);
    }
    std::string cell(std::int32_t row, std::int32_t column) {
        std::string text;
        model->GetCellText(row, column, &text);
        return u8(text);
    }

    test::AppHarness harness;
    test::RecordingMacro macro;
    ModelPort port;
    std::unique_ptr<DataGridModel> model;
};

// Items of the fixture: 0 ID String, 1 性別 Code, 2 年齢 Integer, 3 趣味 MultiAns, 4 満足度 Float,
// 5 回答日 Date, 6 回答時刻 Time.
TEST_F(DataGridTest, CellsShowEachTypeWithBlanksAndErrors) {
    open();
    ASSERT_EQ(model->GetColumnCount(), 7);
    EXPECT_EQ(model->GetRowCount(), test::AppHarness::kFixtureRecords);
    EXPECT_EQ(model->rowCount(), test::AppHarness::kFixtureRecords + 1);
    EXPECT_EQ(u8(model->GetColumnName(2)), "年齢");
    const std::vector<std::string> first = {"A001", "男性",       "34",      "読書,旅行",
                                            "4",    "2024/04/01", "09:30:05"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cell(0, c), first[static_cast<std::size_t>(c)]) << "column " << c;
    EXPECT_EQ(cell(2, 2), "ﾌﾞﾗﾝｸ");  // blank integer
    EXPECT_EQ(cell(5, 2), "ｴﾗｰ");    // "abc" in an Integer item
    EXPECT_EQ(cell(2, 6), "ﾌﾞﾗﾝｸ");
    EXPECT_TRUE(model->ReadCell(2, 2).blank);
    EXPECT_FALSE(model->ReadCell(5, 2).blank);

    std::string text = "x";
    EXPECT_FALSE(model->GetCellText(12, 0, &text));  // the empty last row
    EXPECT_EQ(text, "");
    EXPECT_FALSE(model->GetCellText(0, 7, &text));
    EXPECT_TRUE(model->IsRightAligned(2));
    EXPECT_FALSE(model->IsRightAligned(1));
}

TEST_F(DataGridTest, NumbersFollowTheColumnsCommaAndDecimalPlaces) {
    open(false,
         cp932::literal("Title = \"t\"\nitem = \"件数\"\n Integer\nEndItem\n"
                        "item = \"率\"\n Float\nEndItem\nEndTitle\n"),
         cp932::literal("件数\t率\n1200000\t2.5\n-7\t1234567.125\n"));
    EXPECT_EQ(cell(0, 0), "1200000");
    model->DispComma(0);
    EXPECT_EQ(cell(0, 0), "1,200,000");
    EXPECT_EQ(cell(1, 0), "-7");
    model->SetDecimalDigit(1, 3);
    EXPECT_EQ(cell(0, 1), "2.500");  // no leading blanks
    model->DispComma(1);
    EXPECT_EQ(cell(1, 1), "1,234,567.125");
    model->SetDecimalDigit(1, 15);  // refused: places stay
    EXPECT_EQ(model->GetDecimalDigit(1), 3);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Data_DispComma,0", "Data_DecimalDigit,1,3",
                                                     "Data_DispComma,1"}));
}

TEST_F(DataGridTest, ALongMultipleAnswerTextIsCutOnACharacterBoundary) {
    // Sixty answers named by forty double-byte characters: the 4,800th byte falls inside one.
    std::string def = "Title = \"t\"\nitem = \"複数\"\n MultiAns\n Def\n";
    std::string answers;
    for (int code = 1; code <= 60; ++code) {
        std::string name;
        for (int i = 0; i < 40; ++i)
            name += "あ";
        def += "  " + std::to_string(code) + " = \"" + name + "\"\n";
        answers += (code > 1 ? "," : "") + std::to_string(code);
    }
    def += " EndDef\nEndItem\nEndTitle\n";
    open(false, cp932::literal(def), cp932::literal("複数\n\"" + answers + "\"\n2\n"));
    std::string text;
    ASSERT_TRUE(model->GetCellText(0, 0, &text));
    EXPECT_EQ(text.size(), 4799u);
    std::string name;
    for (int i = 0; i < 40; ++i)
        name += "あ";
    EXPECT_EQ(text.substr(0, 81), cp932::literal(name + ","));
    EXPECT_TRUE(cp932::isCharStart(text, text.size() - 2));
}

TEST_F(DataGridTest, ShowingCodesInOneOfTwoColumnsOfAnItemSwitchesBoth) {
    ASSERT_TRUE(harness.load());
    harness.app().SetDisplayItems({1, 0, 1});
    harness.app().SetGridItems();
    model = std::make_unique<DataGridModel>(harness.app());
    harness.app().SetMacroPort(&macro);
    model->BuildGrid(0);
    EXPECT_EQ(cell(0, 0), "男性");
    model->DispByCode(0);
    EXPECT_EQ(cell(0, 0), "1");
    EXPECT_EQ(cell(0, 2), "1");
    EXPECT_TRUE(model->GetDispCode(0));
    EXPECT_FALSE(model->GetDispCode(2));  // only the switched column's flag moves
    // A rebuild that keeps the engine's setting shows codes again; one that does not, names.
    model->BuildGrid(1);
    EXPECT_TRUE(model->GetDispCode(0) && model->GetDispCode(2));
    EXPECT_EQ(cell(0, 2), "1");
    model->BuildGrid(0);
    EXPECT_EQ(cell(0, 2), "男性");
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_DispByCode,0"});
}

TEST_F(DataGridTest, AnEmptySetShowsOneEmptyRowAndSelectAllSelectsNothing) {
    open(false, cp932::literal("Title = \"t\"\nitem = \"件数\"\n Integer\nEndItem\nEndTitle\n"),
         cp932::literal("件数\n"));
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_FALSE(model->GetCellText(0, 0, nullptr));
    model->SelectAll();
    EXPECT_EQ(model->GetSelEnd(), (Cell{0, -1}));
    EXPECT_FALSE(model->IsSelected(0, 0));
}

TEST_F(DataGridTest, SelectionSettersClearAllOnARowPastTheRecords) {
    open();
    EXPECT_FALSE(model->HasSelection());  // a build clears it
    model->SetSelStart(1, 2);
    model->SetSelEnd(3, 0);
    EXPECT_TRUE(model->IsSelected(2, 1));
    EXPECT_FALSE(model->IsSelected(4, 1));
    EXPECT_EQ(model->GetCurrentRow(), 2);
    model->SetSelEnd(0, 12);
    EXPECT_EQ(model->GetSelStart(), (Cell{-1, -1}));
    EXPECT_EQ(model->GetSelEnd(), (Cell{-1, -1}));
}

TEST_F(DataGridTest, TheMenuIsEnabledByTheColumnsType) {
    open();
    struct Case {
        std::int32_t column;
        bool sort, codes, details, width, comma, decimals;
    };
    const Case cases[] = {
        {0, true, false, true, true, false, false},      // String
        {1, true, true, true, true, false, false},       // Code
        {2, true, false, true, true, true, false},       // Integer
        {3, false, true, true, true, false, false},      // MultiAns
        {4, true, false, true, true, true, true},        // Float
        {5, true, false, true, true, false, false},      // Date
        {-1, false, false, false, false, false, false},  // the corner
    };
    harness.app().SetExcelPath("calc.desktop");
    for (const Case& c : cases) {
        const GridMenuState s = model->EnableMenuByType(c.column);
        EXPECT_TRUE(s.excel);
        EXPECT_EQ(s.sort, c.sort) << c.column;
        EXPECT_EQ(s.codes, c.codes) << c.column;
        EXPECT_EQ(s.itemDetails, c.details) << c.column;
        EXPECT_EQ(s.cellWidth, c.width) << c.column;
        EXPECT_EQ(s.comma, c.comma) << c.column;
        EXPECT_EQ(s.decimals, c.decimals) << c.column;
    }
    // Without a spreadsheet program no workbook is offered, whatever the column.
    harness.app().SetExcelPath("");
    for (const Case& c : cases)
        EXPECT_FALSE(model->EnableMenuByType(c.column).excel) << c.column;
    model->DispComma(4);
    model->SetDecimalDigit(4, 9);
    EXPECT_TRUE(model->EnableMenuByType(4).commaChecked);
    EXPECT_EQ(model->EnableMenuByType(4).checkedDecimals, 9);
    // A column without codes is left as it is, with no message and no step.
    macro.steps.clear();
    const std::string shown = cell(0, 2);
    model->DispByCode(2);
    EXPECT_FALSE(model->GetDispCode(2));
    EXPECT_EQ(cell(0, 2), shown);
    EXPECT_TRUE(harness.prompts().messages().empty());
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(DataGridTest, KeysRecordFirstAndMoveThroughShowRecord) {
    open();
    model->OnKeyDown(kVkDown, 1, 0);  // no selection: recorded, nothing moves
    EXPECT_FALSE(model->HasSelection());
    ASSERT_EQ(model->ShowRecord(11, 6), 1);
    model->OnKeyDown(kVkTab, 1, 0);  // the last cell: nothing
    EXPECT_EQ(model->GetSelStart(), (Cell{6, 11}));
    model->OnKeyDown(kVkPageUp, 1, 0);
    EXPECT_EQ(model->GetSelStart(), (Cell{6, 6}));
    EXPECT_EQ(model->geometry().topRow(), 6);
    model->OnKeyDown(kVkHome, 1, 0);
    EXPECT_EQ(model->GetSelEnd(), (Cell{0, 6}));
    model->OnKeyDown(65, 1, 0);  // not a move key: neither recorded nor moved
    EXPECT_EQ(macro.steps, (std::vector<std::string>{
                               "Data_ChengeSelectByKey,40,1,0", "Data_ChengeSelectByKey,9,1,0",
                               "Data_ChengeSelectByKey,33,1,0", "Data_ChengeSelectByKey,36,1,0"}));
    EXPECT_EQ(model->ShowRecord(12, 6), 0);
    EXPECT_EQ(model->ShowRecord(0, 42), 0);
    EXPECT_EQ(model->GetSelStart(), (Cell{0, 6}));
}

// An item shown in two columns: the keys move column by column, past the repeated item.
TEST_F(DataGridTest, KeysMoveByColumnOverARepeatedItem) {
    ASSERT_TRUE(harness.load());
    harness.app().SetDisplayItems({1, 0, 1});
    harness.app().SetGridItems();
    model = std::make_unique<DataGridModel>(harness.app());
    port.model = model.get();
    harness.app().SetWindowPort(&port);
    model->BuildGrid(0);
    model->SetViewport(400, 18 * 5);
    ASSERT_EQ(model->ShowRecord(3, 0), 1);
    const std::pair<std::int32_t, Cell> moves[] = {
        {kVkRight, Cell{2, 3}}, {kVkRight, Cell{2, 3}}, {kVkLeft, Cell{1, 3}},
        {kVkLeft, Cell{0, 3}},  {kVkTab, Cell{1, 3}},   {kVkTab, Cell{2, 3}},
    };
    for (const auto& [key, cell] : moves) {
        model->OnKeyDown(key, 1, 0);
        EXPECT_EQ(model->GetSelStart(), cell) << key;
        EXPECT_EQ(model->GetSelEnd(), cell) << key;
    }
}

TEST_F(DataGridTest, SortsReorderTheRowsAndRecordTheirSteps) {
    open();
    model->SortDown(2);
    EXPECT_EQ(cell(0, 2), "66");
    model->SortUp(0);
    EXPECT_EQ(cell(0, 0), "ﾌﾞﾗﾝｸ");  // the record without an ID first
    EXPECT_EQ(cell(1, 0), "A001");
    model->SortOrg(0);
    EXPECT_EQ(cell(8, 0), "テスト");
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Data_SortDown,2", "Data_SortUp,0", "Data_SortOrg"}));
}

TEST_F(DataGridTest, WidthsFitTheVisibleCellsAndADragsWidthIsClamped) {
    open();
    model->SetColumnWidth(0, 30000);
    EXPECT_EQ(model->geometry().columnWidth(0), 24000);
    model->SetColumnWidth(2, -5);
    EXPECT_EQ(model->geometry().columnWidth(2), 0);
    // A double-click on the divider supersedes the drag of the same column only.
    model->AdjustCellWidth(2, true);
    EXPECT_EQ(model->geometry().columnWidth(2), 5 * 7 + 12);  // "ﾌﾞﾗﾝｸ" in row 2, 7 per byte
    model->SetMinWidth(1, 90);
    model->AdjustCellWidth(1, true);
    EXPECT_EQ(model->geometry().columnWidth(1), 90);
    model->AdjustCellWidth(1);  // from the menu: the step before stays
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Data_AlignmentFree,0,24000", "Data_Alignment,2",
                                        "Data_Alignment,1", "Data_Alignment,1"}));
}

// A date column under a short caption opens wide enough for its dates, year included.
TEST_F(DataGridTest, ADateColumnOpensAsWideAsItsDates) {
    open();
    const int opened = model->geometry().columnWidth(5);
    model->AdjustCellWidth(5);
    EXPECT_GE(opened, model->geometry().columnWidth(5));
}

}  // namespace
}  // namespace zbq::windows
