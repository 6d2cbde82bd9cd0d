// The value list as a table: cells per item type, options, the order toggles, marks that stay
// with their value, the ten marking commands on one selection and the pop-up menu's state.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/windows/item_fixture.h"
#include "windows/value_list_model.h"
#include "windows/value_list_view.h"

namespace zbq::windows {
namespace {

using test::FixtureItem;

class ValueListModelTest : public test::ItemWindowTest {
protected:
    std::string cell(ValueListModel& m, int row, int column) { return u8(m.cellText(row, column)); }
    // Marks of every row as "1"/"0".
    static std::string marks(const ValueListModel& m) {
        std::string out;
        for (int row = 0; row < m.rowCount(); ++row)
            out += m.IsValueChecked(row) ? '1' : '0';
        return out;
    }
};

TEST_F(ValueListModelTest, CellsPerType) {
    struct Case {
        int item, row, column;
        const char* text;
    };
    ValueListModel age(app(), test::kAge), sex(app(), test::kSex), score(app(), test::kScore),
        date(app(), test::kDate), time(app(), test::kTime), id(app(), test::kId);
    std::map<int, ValueListModel*> models = {{test::kAge, &age},     {test::kSex, &sex},
                                             {test::kScore, &score}, {test::kDate, &date},
                                             {test::kTime, &time},   {test::kId, &id}};
    for (const Case& c : {
             Case{test::kAge, 0, 0, "ｴﾗｰ"},       Case{test::kAge, 1, 0, "ﾌﾞﾗﾝｸ"},
             Case{test::kAge, 2, 0, "-3"},        Case{test::kAge, 2, 1, "1"},
             Case{test::kAge, 2, 2, "8.3"},       Case{test::kAge, 6, 0, "34"},
             Case{test::kAge, 6, 2, "16.7"},      Case{test::kAge, 11, 0, ""},
             Case{test::kAge, 2, 3, ""},          Case{test::kSex, 0, 0, ""},
             Case{test::kSex, 1, 0, ""},          Case{test::kSex, 2, 0, "1"},
             Case{test::kSex, 2, 1, "男性"},      Case{test::kSex, 3, 2, "5"},
             Case{test::kSex, 3, 3, "41.7"},      Case{test::kScore, 0, 0, "ｴﾗｰ"},
             Case{test::kScore, 2, 0, "-1.500"},  Case{test::kScore, 11, 0, "5.000"},
             Case{test::kDate, 1, 0, "ﾌﾞﾗﾝｸ"},    Case{test::kDate, 2, 0, "2023/12/31"},
             Case{test::kTime, 2, 0, "00:00:00"}, Case{test::kId, 2, 0, "A001"},
         }) {
        EXPECT_EQ(cell(*models[c.item], c.row, c.column), c.text)
            << "item " << c.item << " row " << c.row << " column " << c.column;
    }
    EXPECT_EQ(sex.columnCount(), 4);
    EXPECT_EQ(age.columnCount(), 3);
    EXPECT_EQ(u8(sex.columnHeader(0)) + u8(sex.columnHeader(1)) + u8(sex.columnHeader(2)) +
                  sex.columnHeader(3),
              "ｺｰﾄﾞ値存在数%");
    EXPECT_EQ(u8(age.columnHeader(0)), "値");
    // A date or time that is not eight or six digits shows nothing.
    EXPECT_EQ(dateText(123456789), "");
    EXPECT_EQ(dateText(-1), "");
    EXPECT_EQ(timeText(1234567), "");
    EXPECT_EQ(timeText(93000), "09:30:00");
}

TEST_F(ValueListModelTest, PercentOfAnItemWithoutRecordsIsZero) {
    ValueListModel age(app(), test::kAge);
    ASSERT_EQ(app().KWsrch("#2=999"), 0);
    age.refresh();
    EXPECT_EQ(cell(age, 2, 2), "0.0");
    ASSERT_TRUE(age.SetPercentDigit(0));
    EXPECT_EQ(cell(age, 2, 2), "0");
}

TEST(ValueListOptions, CommasAndPlaces) {
    test::AppHarness harness;
    ASSERT_TRUE(harness.load(cp932::literal("Title = \"数\"\nitem = \"額\"\n  Float\nEndItem\n"
                                            "item = \"数\"\n  Integer\nEndItem\nEndTitle\n"),
                             "a\tb\n1234567.25\t1234567\n-0.5\t-1234\n"));
    ValueListModel money(harness.app(), 0), count(harness.app(), 1);
    EXPECT_EQ(money.cellText(3, 0), "1,234,567.250");
    EXPECT_EQ(count.cellText(3, 0), "1,234,567");
    EXPECT_EQ(count.cellText(2, 0), "-1,234");
    money.DispComma();
    count.DispComma();
    EXPECT_EQ(money.cellText(3, 0), "1234567.250");
    EXPECT_EQ(count.cellText(3, 0), "1234567");
    EXPECT_TRUE(money.SetDecimalDigit(0));
    EXPECT_EQ(money.cellText(3, 0), "1234567");
    EXPECT_EQ(money.cellText(2, 0), "-0");
    EXPECT_TRUE(money.SetDecimalDigit(14));
    EXPECT_EQ(money.cellText(3, 0), "1234567.25000000000000");
    EXPECT_FALSE(money.SetDecimalDigit(15));
    EXPECT_FALSE(money.SetPercentDigit(7));
    EXPECT_EQ(money.decimals(), 14);
    // Counts are grouped whatever the option says.
    money.ResetOptions();
    EXPECT_EQ(money.decimals(), 3);
    EXPECT_TRUE(money.comma());
    EXPECT_EQ(money.percentDigits(), 1);
}

TEST_F(ValueListModelTest, SortTogglesAndTheirSteps) {
    ValueListModel age(app(), test::kAge);
    age.SortUp();
    EXPECT_EQ(age.order(), ValueOrder::CountUp);
    EXPECT_EQ(cell(age, 10, 0), "34");  // the only value with two records comes last
    age.SortUp();
    EXPECT_EQ(age.order(), ValueOrder::Natural);
    EXPECT_EQ(cell(age, 2, 0), "-3");
    age.SortDown();
    EXPECT_EQ(cell(age, 2, 0), "34");
    age.SortReverse();  // one switches the others off
    EXPECT_EQ(age.order(), ValueOrder::Reverse);
    EXPECT_EQ(cell(age, 2, 0), "66");
    const ValueMenuState state = age.menuState();
    EXPECT_TRUE(state.reverseChecked);
    EXPECT_FALSE(state.downChecked);
    EXPECT_FALSE(state.upChecked);
    age.SortReverse();
    EXPECT_EQ(cell(age, 2, 0), "-3");
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Item_SortUp,2", "Item_SortUp,2", "Item_SortDown,2",
                                        "Item_SortReverse,2", "Item_SortReverse,2"}));
}

TEST_F(ValueListModelTest, MarksStayWithTheirValueAcrossOrders) {
    ValueListModel age(app(), test::kAge);
    age.setSelection({0, 6}, {0, 6});  // 34
    age.Mark(MarkCommand::RemoveSelection);
    age.SortDown();
    EXPECT_EQ(cell(age, 2, 0), "34");
    EXPECT_FALSE(age.IsValueChecked(2));
    EXPECT_TRUE(age.IsValueChecked(6));
    // The engine excludes the value itself, whatever row it stands on.
    EXPECT_EQ(app().KWpassDataGet(test::kAge, 2), 0);
    EXPECT_EQ(age.GetCheckedRecordCount(), 10);
}

TEST_F(ValueListModelTest, TenMarkCommandsOnOneSelection) {
    // Rows 0..10 of 年齢: error, blank, -3, 0, 19, 28, 34, 42, 45, 51, 66. The selection is rows
    // 3 and 4; the search hits are 19 and 28 (rows 4 and 5); before each command row 2 is
    // unmarked.
    struct Case {
        MarkCommand command;
        const char* after;
    };
    const std::vector<std::int32_t> hits = {4, 5};
    for (const Case& c : {Case{MarkCommand::RemoveSelection, "11000111111"},
                          Case{MarkCommand::RemoveOnlySelection, "11100111111"},
                          Case{MarkCommand::RemoveAll, "00000000000"},
                          Case{MarkCommand::RemoveSearchResult, "11010011111"},
                          Case{MarkCommand::RemoveOnlySearchResult, "11110011111"},
                          Case{MarkCommand::AddSelection, "11011111111"},
                          Case{MarkCommand::AddOnlySelection, "00011000000"},
                          Case{MarkCommand::AddAll, "11111111111"},
                          Case{MarkCommand::AddSearchResult, "11011111111"},
                          Case{MarkCommand::AddOnlySearchResult, "00001100000"}}) {
        ValueListModel age(app(), test::kAge);
        age.setSelection({0, 2}, {0, 2});
        age.Mark(MarkCommand::RemoveSelection);
        age.setSelection({2, 4}, {0, 3});  // either corner first
        macro.steps.clear();
        EXPECT_EQ(age.Mark(c.command, &hits), 1);
        EXPECT_EQ(marks(age), c.after) << markStepName(c.command);
        EXPECT_EQ(macro.steps, std::vector<std::string>{markStepName(c.command) + ",2"});
        // What the engine excludes is what the list shows.
        for (int row = 0; row < age.rowCount(); ++row)
            EXPECT_EQ(app().KWpassDataGet(test::kAge, row) == 1 ? 0 : 1,
                      age.IsValueChecked(row) ? 0 : 1)
                << markStepName(c.command) << " row " << row;
    }
}

TEST_F(ValueListModelTest, SearchMarksWithoutHitsChangeNothing) {
    ValueListModel age(app(), test::kAge);
    const std::vector<std::int32_t> none;
    for (MarkCommand command :
         {MarkCommand::AddOnlySearchResult, MarkCommand::RemoveSearchResult}) {
        EXPECT_EQ(age.Mark(command, &none), 0);
        EXPECT_EQ(age.Mark(command, nullptr), 0);
    }
    EXPECT_EQ(marks(age), "11111111111");
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(ValueListModelTest, MenuStatePerType) {
    struct Case {
        int item;
        bool comma, decimals;
    };
    for (const Case& c : {Case{test::kSex, false, false}, Case{test::kHobby, false, false},
                          Case{test::kId, false, false}, Case{test::kDate, false, false},
                          Case{test::kTime, false, false}, Case{test::kAge, true, false},
                          Case{test::kScore, true, true}}) {
        ValueListModel m(app(), c.item);
        EXPECT_EQ(m.menuState().commaEnabled, c.comma) << c.item;
        EXPECT_EQ(m.menuState().decimalsEnabled, c.decimals) << c.item;
        // The workbook entries need a spreadsheet program to open what they write.
        EXPECT_FALSE(m.menuState().excelEnabled) << c.item;
        app().SetExcelPath("calc.desktop");
        EXPECT_TRUE(m.menuState().excelEnabled) << c.item;
        app().SetExcelPath("");
    }
    ValueListModel score(app(), test::kScore);
    score.SetDecimalDigit(9);
    EXPECT_EQ(score.menuState().decimals, 9);
}

TEST_F(ValueListModelTest, ARefreshKeepsTheCountOrderUnderTheNewCounts) {
    ValueListModel age(app(), test::kAge);
    age.SortDown();
    ASSERT_EQ(app().KWsrch("#1=2"), 5);  // 女性: 28, blank, 66, 34, -3
    age.refresh();
    EXPECT_EQ(age.order(), ValueOrder::CountDown);
    EXPECT_TRUE(age.menuState().downChecked);
    // Every present value has one record now (34 no longer leads): ties in reversed natural
    // order, the absent values after them.
    std::string rows;
    for (int row = 2; row <= 6; ++row)
        rows += cell(age, row, 0) + ":" + cell(age, row, 1) + " ";
    EXPECT_EQ(rows, "66:1 34:1 28:1 -3:1 51:0 ");
}

}  // namespace
}  // namespace zbq::windows

namespace zbq::windows {
namespace {

TEST(ValueListKeys, WhereEachKeyTakesTheCell) {
    // A table of 3 columns by 10 rows, 4 rows to a page.
    struct Case {
        std::int32_t key;
        CellPos from;
        std::optional<CellPos> to;
    };
    const auto at = [](int c, int r) { return std::optional<CellPos>(CellPos{c, r}); };
    for (const Case& c : {
             Case{kKeyLeft, {1, 5}, at(0, 5)},
             Case{kKeyLeft, {0, 5}, std::nullopt},
             Case{kKeyRight, {1, 5}, at(2, 5)},
             Case{kKeyRight, {2, 5}, std::nullopt},
             Case{kKeyUp, {1, 0}, std::nullopt},
             Case{kKeyDown, {1, 9}, std::nullopt},
             Case{kKeyPageUp, {1, 2}, at(1, 0)},
             Case{kKeyPageDown, {1, 4}, at(1, 8)},
             Case{kKeyPageDown, {1, 5}, at(1, 9)},
             Case{kKeyHome, {2, 5}, at(0, 5)},
             Case{kKeyEnd, {0, 5}, at(2, 5)},
             Case{kKeyTab, {1, 5}, at(2, 5)},
             Case{kKeyTab, {2, 5}, at(0, 6)},
             Case{kKeyTab, {2, 9}, std::nullopt},
             Case{65, {1, 5}, std::nullopt},
         }) {
        const std::optional<CellPos> to = valueListKeyTarget(c.key, c.from, 3, 10, 4);
        ASSERT_EQ(to.has_value(), c.to.has_value())
            << c.key << " from " << c.from.column << "," << c.from.row;
        if (to) {
            EXPECT_EQ(to->column, c.to->column) << c.key;
            EXPECT_EQ(to->row, c.to->row) << c.key;
        }
    }
}

}  // namespace
}  // namespace zbq::windows
