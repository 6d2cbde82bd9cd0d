// The value-list page: the search text read into operator and operands, stepping through the
// values and the records, the history, the search-text step, and a new set made of the checked
// values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/item_fixture.h"
#include "windows/value_list_page.h"

namespace zbq::windows {
namespace {

TEST(SearchText, ReadsIntoOperatorAndOperands) {
    struct Case {
        const char* text;
        std::int32_t type;
        bool textSearch;
        std::optional<ValueSearch::Kind> kind;
        std::int32_t op;
        std::string first, second;  // texts, or the numbers as "%d" / "%g"
    };
    using K = ValueSearch::Kind;
    for (const Case& c : {
             Case{"[10,20)", 2, false, K::Int, 7, "10", "20"},
             Case{"(a,c)", 0, false, K::TextRange, 9, "a", "c"},
             Case{"(a,c)", 0, true, K::Contains, 4, "(a,c)", ""},
             Case{"=2001/4/1", 5, false, K::Int, 4, "20010401", "0"},
             Case{"!x", 4, false, K::Contains, 4, "!x", ""},
             Case{"!x", 0, false, K::TextRange, 5, "x", ""},
             Case{">= 5", 2, false, K::Int, 1, "5", "0"},
             Case{">5", 3, false, K::Double, 0, "5", "0"},
             Case{"<=2.5", 3, false, K::Double, 3, "2.5", "0"},
             Case{"<9:30:00", 7, false, K::Int, 2, "93000", "0"},
             Case{"(1,2]", 2, false, K::Int, 8, "1", "2"},
             Case{"[1,2]", 2, false, K::Int, 6, "1", "2"},
             Case{"34", 2, false, K::Int, 4, "34", "0"},
             Case{"[1 2]", 2, false, std::nullopt, 0, "", ""},
             Case{"=2001/13/1", 5, false, std::nullopt, 0, "", ""},
             Case{"=25:00:00", 7, false, std::nullopt, 0, "", ""},
             Case{"=abc", 2, false, std::nullopt, 0, "", ""},
             Case{"", 4, false, std::nullopt, 0, "", ""},
         }) {
        const std::optional<ValueSearch> s = makeValueSearch(c.text, c.type, c.textSearch);
        ASSERT_EQ(s.has_value(), c.kind.has_value()) << c.text;
        if (!s) continue;
        EXPECT_EQ(s->kind, *c.kind) << c.text;
        if (s->kind == K::Contains) {
            EXPECT_EQ(s->text1, c.first) << c.text;
            continue;
        }
        EXPECT_EQ(s->op, c.op) << c.text;
        const auto number = [](double v) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", v);
            return std::string(text);
        };
        const std::string first = s->kind == K::TextRange ? s->text1
                                  : s->kind == K::Int     ? std::to_string(s->int1)
                                                          : number(s->double1);
        const std::string second = s->kind == K::TextRange ? s->text2
                                   : s->kind == K::Int     ? std::to_string(s->int2)
                                                           : number(s->double2);
        EXPECT_EQ(first, c.first) << c.text;
        EXPECT_EQ(second, c.second) << c.text;
    }
}

class ValueListPageTest : public test::ItemWindowTest {
protected:
    void open(std::int32_t item) {
        model = std::make_unique<ValueListModel>(app(), item);
        page = std::make_unique<ValueListPage>(app(), *model);
        page->showCell = [this](std::int32_t row, std::int32_t column) {
            shown.push_back({column, row});
        };
    }
    std::unique_ptr<ValueListModel> model;
    std::unique_ptr<ValueListPage> page;
    std::vector<CellPos> shown;
};

TEST_F(ValueListPageTest, IntegerRangeFindsTheValuesInIt) {
    open(test::kAge);
    ASSERT_TRUE(page->setSearchText("[10,30)"));
    const auto hits = page->searchHits();
    ASSERT_TRUE(hits);
    EXPECT_EQ(*hits, (std::vector<std::int32_t>{4, 5}));  // 19 and 28
}

TEST_F(ValueListPageTest, CodeSearchComparesCodesOrNames) {
    open(test::kSex);
    ASSERT_TRUE(page->setSearchText("(1,3)"));
    EXPECT_EQ(*page->searchHits(), std::vector<std::int32_t>{3});  // code 2
    ASSERT_TRUE(page->setSearchText(cp932::literal("女")));
    EXPECT_FALSE(page->searchHits().has_value() && !page->searchHits()->empty());
    page->ChechStr();
    EXPECT_EQ(*page->searchHits(), std::vector<std::int32_t>{3});
}

TEST_F(ValueListPageTest, DateSearchFindsTheStoredDate) {
    open(test::kDate);
    ASSERT_TRUE(page->setSearchText("=2024/4/1"));
    page->ToTopItemData();
    EXPECT_EQ(u8(model->cellText(model->GetSelStart().row, 0)), "2024/04/01");
    ASSERT_EQ(shown.size(), 1u);
}

TEST_F(ValueListPageTest, StepsThroughValuesAndKeepsTheHistoryOnce) {
    open(test::kAge);
    model->SortDown();  // the steps return the list to natural order first
    ASSERT_TRUE(page->setSearchText(">30"));
    page->ToTopItemData();
    page->ToTopItemData();
    EXPECT_EQ(model->order(), ValueOrder::Natural);
    EXPECT_EQ(model->GetSelStart().row, 6);  // 34
    page->ToNextItemData();
    EXPECT_EQ(model->GetSelStart().row, 7);  // 42
    page->ToEndItemData();
    EXPECT_EQ(model->GetSelStart().row, 10);  // 66
    page->ToPrevItemData();
    EXPECT_EQ(model->GetSelStart().row, 9);
    EXPECT_EQ(page->history(), std::vector<std::string>{">30"});
    // A text that sets up no search moves nothing, is still kept and still recorded.
    ASSERT_TRUE(page->setSearchText("[1 2]"));
    page->ToTopItemData();
    EXPECT_EQ(model->GetSelStart().row, 9);
    EXPECT_EQ(page->history(), (std::vector<std::string>{">30", "[1 2]"}));
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Item_SortDown,2", "ToTopItemData,2", "ToTopItemData,2",
                                        "ToNextItemData,2", "ToEndItemData,2", "ToPrevItemData,2",
                                        "ToTopItemData,2"}));
}

TEST_F(ValueListPageTest, SearchFieldHoldsAtMost255Bytes) {
    open(test::kId);
    EXPECT_TRUE(page->setSearchText(std::string(255, 'a')));
    EXPECT_FALSE(page->setSearchText(std::string(256, 'b')));
    EXPECT_EQ(page->searchText(), std::string(255, 'a'));
}

TEST_F(ValueListPageTest, LeavingTheFieldRecordsOnlyAChangedText) {
    open(test::kId);
    page->searchFocusIn();
    page->searchFocusOut();
    EXPECT_TRUE(macro.steps.empty());
    page->searchFocusIn();
    page->setSearchText("A0,1");
    page->searchFocusOut();
    macro.variable = true;
    page->searchFocusIn();
    page->setSearchText("A02");
    page->searchFocusOut();
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"InputSearchTerm,0,\"A0,1\"",
                                                     "InputSearchTerm,0,\"???\""}));
}

TEST_F(ValueListPageTest, SearchMarkingUsesThePageText) {
    open(test::kAge);
    model->SortUp();
    ASSERT_TRUE(page->setSearchText("<0"));
    EXPECT_EQ(page->Mark(MarkCommand::RemoveSearchResult), 1);
    EXPECT_EQ(model->order(), ValueOrder::Natural);
    EXPECT_FALSE(model->IsValueChecked(2));
    EXPECT_EQ(page->selectedCountText(), "11");  // all but the record of -3
    // No hit: nothing changes, nothing recorded.
    macro.steps.clear();
    ASSERT_TRUE(page->setSearchText(">100"));
    EXPECT_EQ(page->Mark(MarkCommand::AddOnlySearchResult), 0);
    EXPECT_FALSE(model->IsValueChecked(2));
    EXPECT_TRUE(model->IsValueChecked(3));
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(ValueListPageTest, RecordStepping) {
    open(test::kAge);
    model->setSelection({0, 6}, {0, 6});
    model->Mark(MarkCommand::AddOnlySelection);  // 34: records 0 and 9
    macro.steps.clear();
    page->ToTopHitData();
    page->ToNextHitData();
    page->ToNextHitData();  // past the last: the grid stays, the step is recorded
    page->ToEndHitData();
    page->ToPrevHitData();  // from record 9 back to 0
    page->ToPrevHitData();  // nothing before the first: no step
    EXPECT_EQ(windows.calls,
              (std::vector<std::string>{"ShowRecord 0 2", "ShowRecord 9 2", "ShowRecord -1 2",
                                        "ShowRecord 9 2", "ShowRecord 0 2"}));
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"ToTopHitData,2", "ToNextHitData,2", "ToNextHitData,2",
                                        "ToEndHitData,2", "ToPrevHitData,2"}));
}

TEST_F(ValueListPageTest, CreateSetWithEveryValueCheckedDoesNothing) {
    open(test::kAge);
    EXPECT_EQ(page->CreateSet(), 0);
    EXPECT_TRUE(console.calls.empty());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(ValueListPageTest, CreateSetWithoutTheBlankValue) {
    open(test::kAge);
    model->setSelection({0, 1}, {0, 1});
    model->Mark(MarkCommand::RemoveSelection);
    macro.steps.clear();
    EXPECT_EQ(page->CreateSet(), 1);
    EXPECT_EQ(app().Search().KWgetDataCount(), 11);
    EXPECT_EQ(console.callsStartingWith("AddResultSet"),
              std::vector<std::string>{"AddResultSet " + cp932::literal("年齢") + " 0"});
    EXPECT_EQ(console.callsStartingWith("LogSearch"),
              std::vector<std::string>{"LogSearch " + cp932::literal("年齢") + " 12 11"});
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"RebuildGrid 1", "RefreshItemWindows",
                                                       "RefreshCrossView", "ExecuteMolap"}));
    EXPECT_EQ(macro.steps, std::vector<std::string>{"CreateSet,2"});
    EXPECT_TRUE(model->IsValueChecked(1));
}

TEST_F(ValueListPageTest, AnUncheckedValueStaysOutAfterASetChangeAndASort) {
    open(test::kAge);
    model->setSelection({0, 6}, {0, 6});  // 34
    model->Mark(MarkCommand::RemoveSelection);
    ASSERT_EQ(app().KWsrch("#1=2"), 5);  // the set change drops the engine's flags
    model->refresh();
    model->SortDown();
    EXPECT_EQ(page->CreateSet(), 1);
    EXPECT_EQ(app().Search().KWgetDataCount(), 4);
    std::int32_t value = 0;
    for (std::int32_t row = 0; row < 4; ++row)
        if (app().KWreadInteger(row, test::kAge, &value) == 0) {
            EXPECT_NE(value, 34);
        }
}

}  // namespace
}  // namespace zbq::windows
