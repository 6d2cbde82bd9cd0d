// The data-selection tab's rules without widgets: the search expression the conditions make,
// the rows' texts, the filter dialog's item-change steps and OK checks, and the set list's
// placement, numbering, captions, subtrees and menus.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/struct_def.h"
#include "console/condition_list.h"
#include "console/filter_dialog_model.h"
#include "console/set_list.h"
#include "platform/core/cp932.h"

namespace {

using zbq::cp932::literal;

// Item types by number: 0 Code, 1 MultiAns, 2 Integer, 3 Float, 4 String, 5 Date, 6 RecNo,
// 7 Time, as the structure definition numbers the types themselves.
const std::vector<std::int32_t> kTypes = {0, 1, 2, 3, 4, 5, 6, 7};

SearchCondition cond(std::int32_t item, std::int32_t op, std::string v1, std::int32_t kind = -1,
                     std::int32_t bound = -1, std::string v2 = {}) {
    return SearchCondition{item, op, bound, std::move(v1), std::move(v2), kind};
}

std::optional<std::string> build(std::vector<SearchCondition> conditions,
                                 FilterJoin join = FilterJoin::And) {
    return BuildSearchExpression(conditions, kTypes, join);
}

TEST(SearchExpression, WritesEachFormAsTheSearchLanguageReadsIt) {
    struct Case {
        std::vector<SearchCondition> conditions;
        FilterJoin join;
        std::string expected;
    };
    const Case cases[] = {
        {{cond(2, 3, "10", 2)}, FilterJoin::And, "(#2>=10)"},
        {{cond(2, 3, "10", 2), cond(5, 7, "2001/1/5", 2, 1, "2001/2/1")},
         FilterJoin::Or,
         "((#2>=10)+(#5>=20010105*#5<=20010201))"},
        {{cond(4, 0, "abc", 1)}, FilterJoin::And, "(#4=%\"abc\"%)"},
        {{cond(0, 0, "abc", -1)}, FilterJoin::And, "(#0=%\"NAME:abc\"%)"},
        {{cond(1, 1, "x", -1)}, FilterJoin::And, "(#1!=%\"NAME:x\"%)"},
        // A range with an inclusive lower and an exclusive upper bound.
        {{cond(2, 7, "10", 2, 0, "20")}, FilterJoin::And, "(#2>=10*#2<20)"},
        {{cond(2, 6, "-5", 2, 1, "5")}, FilterJoin::And, "(#2>-5*#2<=5)"},
        {{cond(3, 1, "1.5", 2)}, FilterJoin::And, "(#3!=1.5)"},
        {{cond(7, 4, "9:05:00", 2)}, FilterJoin::And, "(#7<090500)"},
        {{cond(0, 5, "12", 0)}, FilterJoin::And, "(#0<=12)"},
        {{cond(2, 0, "1", 2), cond(3, 2, "2", 2), cond(4, 1, "z", 1)},
         FilterJoin::And,
         "((#2=1)*(#3>2)*(#4!=%\"z\"%))"},
        {{}, FilterJoin::And, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(build(c.conditions, c.join), c.expected);
    }
}

TEST(SearchExpression, RefusesWhatTheLanguageCannotSay) {
    const std::vector<SearchCondition> refused[] = {
        {cond(0, 0, "a b", 0)},                      // a code with a blank, compared as code
        {cond(0, 0, literal("男"), 0)},              // a Japanese code
        {cond(4, 0, "say \"hi\"", 1)},               // no escape for '"' in a text
        {cond(0, 0, "a\"b", -1)},                    // nor in a display name
        {cond(2, 3, "-", 2)},                        // a sign alone
        {cond(2, 3, "4294967296", 2)},               // beyond 32 bits
        {cond(3, 0, ".", 2)},                        // no digit
        {cond(5, 0, "2001/2/30", 2)},                // no such day
        {cond(7, 7, "10:00:00", 2, 1, "25:00:00")},  // the second value checked too
        {cond(2, 0, "1", 2), cond(0, 0, "a-b", 0)},  // one bad row fails the whole build
    };
    for (const auto& conditions : refused)
        EXPECT_EQ(build(conditions), std::nullopt) << conditions.back().value1;
}

TEST(ConditionRows, ShowOperatorValueAndKind) {
    EXPECT_EQ(conditionText(cond(2, 7, "10", 2, 0, "20")), "[ 10, 20 )");
    EXPECT_EQ(conditionText(cond(2, 6, "1", 2, 1, "2")), "( 1, 2 ]");
    EXPECT_EQ(conditionText(cond(2, 6, "1", 2, -1, "2")), "( 1, 2 ");
    EXPECT_EQ(conditionText(cond(4, 1, "abc", 1)), "! abc");
    EXPECT_EQ(conditionText(cond(2, 5, "3", 2)), "<= 3");
    EXPECT_EQ(zbq::cp932::toUtf8(valueKindText(0)), "ｺｰﾄﾞ");
    EXPECT_EQ(zbq::cp932::toUtf8(valueKindText(1)), "文字列");
    EXPECT_EQ(zbq::cp932::toUtf8(valueKindText(2)), "数字");
    EXPECT_EQ(valueKindText(-1), "");
}

// --- Filter dialog ---

const std::vector<FilterItem> kOffered = {{0, "code", 0}, {2, "int", 2},  {4, "str", 4},
                                          {5, "date", 5}, {7, "time", 7}, {3, "flt", 3}};

TEST(FilterDialog, AddModeOpensTheFieldsOnceAnItemIsChosen) {
    FilterDialogModel m = FilterDialogModel::forAdd(kOffered);
    EXPECT_TRUE(m.enabled(FilterControl::Item));
    for (FilterControl c : {FilterControl::Operator, FilterControl::Value1, FilterControl::Bound,
                            FilterControl::Value2})
        EXPECT_FALSE(m.enabled(c));
    m.selectItem(1);  // Integer
    EXPECT_EQ(m.operatorTexts().size(), 8u);
    EXPECT_EQ(m.valueKind(), 2);
    EXPECT_TRUE(m.enabled(FilterControl::Bound));  // no operator yet: a range may follow
    m.selectOperator(3);
    EXPECT_FALSE(m.enabled(FilterControl::Bound));
    EXPECT_FALSE(m.enabled(FilterControl::Value2));
    m.selectOperator(7);
    EXPECT_TRUE(m.enabled(FilterControl::Value2));
}

TEST(FilterDialog, TextAndCodeByNameItemsOfferEqualityOnly) {
    FilterDialogModel m = FilterDialogModel::forAdd(kOffered);
    m.selectItem(1);
    m.selectOperator(1);  // "!"
    m.selectItem(2);      // String: the list shrinks and "!" stays chosen
    EXPECT_EQ(m.operatorTexts(), (std::vector<std::string>{"=", "!"}));
    EXPECT_EQ(m.operatorIndex(), 1);
    EXPECT_EQ(m.valueKind(), 1);
    EXPECT_FALSE(m.enabled(FilterControl::Value2));

    m.selectItem(1);  // back to eight, "!" kept
    EXPECT_EQ(m.operatorTexts().size(), 8u);
    EXPECT_EQ(m.operatorIndex(), 1);
    m.selectOperator(7);
    m.setValue2("20");
    m.selectItem(2);  // a range does not survive on a text item
    EXPECT_EQ(m.operatorIndex(), -1);
    EXPECT_EQ(m.value2(), "");

    FilterDialogModel code = FilterDialogModel::forAdd(kOffered);
    code.selectItem(0);  // Code at kind -1 is matched by name
    EXPECT_EQ(code.operatorTexts().size(), 2u);
    EXPECT_EQ(code.valueKind(), -1);
}

TEST(FilterDialog, OkChecksInOrderAndNamesTheControl) {
    using zbq::ui::Icon;
    struct Case {
        int item;  // index into kOffered, -1 none
        int op;
        int bound;
        std::string v1, v2;
        std::optional<FilterRefusal> expected;
    };
    const Case cases[] = {
        {-1, -1, -1, "", "",
         FilterRefusal{"指定項目名を選択して下さい", Icon::Information, FilterControl::Item}},
        {1, -1, -1, "1", "",
         FilterRefusal{"条件を選択して下さい", Icon::Information, FilterControl::Operator}},
        {1, 0, -1, "", "",
         FilterRefusal{"値を入力して下さい", Icon::Information, FilterControl::Value1}},
        {1, 7, -1, "1", "2",
         FilterRefusal{"条件を選択して下さい", Icon::Information, FilterControl::Bound}},
        {1, 7, 0, "1", "",
         FilterRefusal{"値を入力して下さい", Icon::Information, FilterControl::Value2}},
        {1, 0, -1, "-", "",
         FilterRefusal{"数値が不正です", Icon::Exclamation, FilterControl::Value1}},
        {1, 0, -1, "2147483648", "",
         FilterRefusal{"数値が不正です", Icon::Exclamation, FilterControl::Value1}},
        {1, 7, 1, "1", "x",
         FilterRefusal{"数値が不正です", Icon::Exclamation, FilterControl::Value2}},
        {5, 0, -1, "1.2.3", "",
         FilterRefusal{"数値が不正です", Icon::Exclamation, FilterControl::Value1}},
        {3, 0, -1, "2023/2/29", "",
         FilterRefusal{"日付が不正です", Icon::Exclamation, FilterControl::Value1}},
        {4, 0, -1, "24:00:00", "",
         FilterRefusal{"時刻が不正です", Icon::Exclamation, FilterControl::Value1}},
        {1, 0, -1, "-2147483648", "", std::nullopt},
        {5, 0, -1, "-.5", "", std::nullopt},
        {3, 7, 0, "2024/2/29", "2024/3/1", std::nullopt},
        {2, 0, -1, "any \"text\"", "", std::nullopt},  // texts are the build's to refuse
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v1);
        FilterDialogModel m = FilterDialogModel::forAdd(kOffered);
        m.selectItem(c.item);
        m.selectOperator(c.op);
        m.selectBound(c.bound);
        m.setValue1(c.v1);
        m.setValue2(c.v2);
        EXPECT_EQ(m.check(), c.expected);
    }
}

TEST(FilterDialog, EditModeShowsTheConditionAndKeepsItsItem) {
    const SearchCondition stored = cond(2, 7, "10", 2, 0, "20");
    FilterDialogModel m = FilterDialogModel::forEdit(3, stored, {2, "int", 2});
    EXPECT_FALSE(m.enabled(FilterControl::Item));
    EXPECT_EQ(m.itemIndex(), 0);
    EXPECT_EQ(m.operatorIndex(), 7);
    EXPECT_EQ(m.boundIndex(), 0);
    EXPECT_EQ(m.value2(), "20");
    EXPECT_EQ(m.condition(), stored);
    EXPECT_EQ(m.check(), std::nullopt);
}

TEST(FilterDialog, CodesOrderAsNumbersOnlyWhenTheyAreDigitsOfOneWidth) {
    using Codes = std::vector<std::string_view>;
    EXPECT_EQ(codeDigitsOf(Codes{"1", "2", "9"}), 1);
    EXPECT_EQ(codeDigitsOf(Codes{"01", "02", "12"}), 2);
    EXPECT_EQ(codeDigitsOf(Codes{"1", "2", "10"}), -1);  // "10" sorts before "2" as text
    EXPECT_EQ(codeDigitsOf(Codes{"A", "B"}), -1);
    EXPECT_EQ(codeDigitsOf(Codes{"1", ""}), -1);
    EXPECT_EQ(codeDigitsOf(Codes{}), -1);
}

// On Code and MultiAns items the code/text choice is the value kind: a code compared as a
// code (0), by its name (1), or by name while nothing is chosen (-1). Ordering is offered only
// where the codes order as their numbers; other types keep the kind their type gives.
TEST(FilterDialog, TheCodeTextChoiceSetsTheKindOfCodeItemsOnly) {
    const std::vector<FilterItem> offered = {
        {0, "digits", 0, 1}, {1, "mixed", 0, -1}, {2, "multi", 1, 2}, {3, "int", 2}, {4, "str", 4}};
    struct Case {
        int item;
        int choice;  // -1 none
        int kind;
        std::size_t operators;
        int shown;
    };
    const Case cases[] = {
        {0, -1, -1, 2, -1}, {0, 0, 0, 8, 0}, {0, 1, 1, 2, 1}, {1, -1, -1, 2, -1}, {1, 0, 0, 2, 0},
        {1, 1, 1, 2, 1},    {2, 0, 0, 8, 0}, {3, 1, 2, 8, 0}, {4, 0, 1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(offered[static_cast<std::size_t>(c.item)].name + " choice " +
                     std::to_string(c.choice));
        FilterDialogModel m = FilterDialogModel::forAdd(offered);
        m.selectItem(c.item);
        m.selectCodeStr(c.choice);
        EXPECT_EQ(m.valueKind(), c.kind);
        EXPECT_EQ(m.operatorTexts().size(), c.operators);
        EXPECT_EQ(m.codeStrShown(), c.shown);
    }

    // A choice made before the item holds for the code item chosen after it; a numeric
    // item's kind is not carried over to a code item.
    FilterDialogModel first = FilterDialogModel::forAdd(offered);
    first.selectCodeStr(0);
    EXPECT_EQ(first.codeStrShown(), 0);
    first.selectItem(0);
    EXPECT_EQ(first.valueKind(), 0);
    FilterDialogModel carried = FilterDialogModel::forAdd(offered);
    carried.selectItem(3);
    carried.selectOperator(2);
    carried.selectItem(0);
    EXPECT_EQ(carried.valueKind(), -1);
    EXPECT_EQ(carried.operatorTexts().size(), 2u);
    EXPECT_EQ(carried.operatorIndex(), -1);
}

// Codes 01..12: a number is written at the codes' width, so that the text comparison orders
// as the numbers do; what cannot be such a number is refused for an ordering operator.
TEST(FilterDialog, AnOrderedCodeValueIsWrittenAtTheCodesWidth) {
    using zbq::ui::Icon;
    struct Case {
        int op;
        std::string v1, v2;
        std::optional<FilterRefusal> refusal;
        std::string stored1, stored2;
    };
    const FilterRefusal bad1{"数値が不正です", Icon::Exclamation, FilterControl::Value1};
    const FilterRefusal bad2{"数値が不正です", Icon::Exclamation, FilterControl::Value2};
    const Case cases[] = {
        {3, "2", "", std::nullopt, "02", ""},  {3, "0002", "", std::nullopt, "02", ""},
        {2, "10", "", std::nullopt, "10", ""}, {7, "1", "9", std::nullopt, "01", "09"},
        {3, "100", "", bad1, "", ""},          {4, "1a", "", bad1, "", ""},
        {7, "1", "x", bad2, "", ""},           {0, "2", "", std::nullopt, "02", ""},
        {0, "A1", "", std::nullopt, "A1", ""},  // equality keeps what is no number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v1 + " " + c.v2);
        FilterDialogModel m = FilterDialogModel::forAdd({{0, "month", 0, 2}});
        m.selectItem(0);
        m.selectCodeStr(0);
        m.selectOperator(c.op);
        m.selectBound(1);
        m.setValue1(c.v1);
        m.setValue2(c.v2);
        EXPECT_EQ(m.check(), c.refusal);
        if (c.refusal) continue;
        EXPECT_EQ(m.stored().value1, c.stored1);
        EXPECT_EQ(m.stored().value2, c.stored2);
        EXPECT_EQ(m.stored().valueKind, 0);
    }
}

TEST(FilterDialog, EditModeShowsTheStoredKindOfACodeCondition) {
    for (const std::int32_t kind : {-1, 0, 1}) {
        SCOPED_TRACE(kind);
        const SearchCondition stored = cond(0, 0, "2", kind);
        FilterDialogModel m = FilterDialogModel::forEdit(0, stored, {0, "code", 0, 1});
        EXPECT_EQ(m.codeStrShown(), kind);
        EXPECT_EQ(m.condition(), stored);
        EXPECT_EQ(m.operatorTexts().size(), kind == 0 ? 8u : 2u);
    }
}

// --- Set list ---

SetRecord set(std::int32_t level, std::int32_t number) {
    SetRecord s;
    s.level = level;
    s.number = number;
    return s;
}

std::vector<std::int32_t> numbers(const std::vector<SetRecord>& sets) {
    std::vector<std::int32_t> out;
    for (const SetRecord& s : sets)
        out.push_back(s.number);
    return out;
}

// 0 { 1 { 2 }, 3 }, 4
std::vector<SetRecord> tree() {
    return {set(0, 0), set(1, 1), set(2, 2), set(1, 3), set(0, 4)};
}

TEST(SetList, NewSetsGoAfterTheParentsSubtreeWithTheNextNumber) {
    std::vector<SetRecord> sets = tree();
    std::int32_t next = 9;
    SetRecord r;
    r.level = 2;
    r.text1 = literal("年齢*性別");
    r.recordCount = 1234;
    const SetRecord stored = addSet(sets, next, 1, r);
    EXPECT_EQ(stored.number, 9);
    EXPECT_EQ(next, 10);
    EXPECT_EQ(zbq::cp932::toUtf8(stored.text2), "No.9 年齢*性別 / 1,234");
    EXPECT_EQ(numbers(sets), (std::vector<std::int32_t>{0, 1, 2, 9, 3, 4}));

    addSet(sets, next, -1, set(0, 0));  // no parent: at the end
    addSet(sets, next, 77, set(0, 0));  // an unknown parent: at the end too
    addSet(sets, next, 4, set(1, 0));   // under 4: before the top-level sets that follow it
    EXPECT_EQ(numbers(sets), (std::vector<std::int32_t>{0, 1, 2, 9, 3, 4, 12, 10, 11}));
}

TEST(SetList, RemovingASubtreeKeepsTheOtherNumbers) {
    std::vector<SetRecord> sets = tree();
    EXPECT_TRUE(removeSubtree(sets, 1));
    EXPECT_EQ(numbers(sets), (std::vector<std::int32_t>{0, 3, 4}));
    EXPECT_FALSE(removeSubtree(sets, 1));
    std::vector<SetRecord> all = tree();
    EXPECT_TRUE(removeSubtree(all, 0));
    EXPECT_EQ(numbers(all), (std::vector<std::int32_t>{4}));
}

TEST(SetList, CaptionsAreCutOnACharacterBoundary) {
    std::string title = "x";
    for (int i = 0; i < 200; ++i)
        title += literal("集");
    const std::string caption = setCaption(5, title, 10);
    EXPECT_LE(caption.size(), kSetTextBytes);
    // "No.5 x" and 124 two-byte characters: the 125th would be cut in half.
    EXPECT_EQ(caption.size(), 254u);
}

TEST(SetList, DeleteAndAlgebraMenusFollowTheTree) {
    const std::vector<SetRecord> sets = tree();
    EXPECT_FALSE(canDeleteSet(sets, 0, 4));  // the whole data set
    EXPECT_FALSE(canDeleteSet(sets, 2, 2));  // the current set
    EXPECT_FALSE(canDeleteSet(sets, 1, 2));  // its ancestor
    EXPECT_TRUE(canDeleteSet(sets, 3, 2));
    EXPECT_TRUE(canDeleteSet(sets, 4, 2));
    EXPECT_FALSE(canDeleteSet(sets, 8, 2));  // no such set
    EXPECT_EQ(setTreeMenu(true, true), 151);
    EXPECT_EQ(setTreeMenu(true, false), 137);
    EXPECT_EQ(setTreeMenu(false, true), 138);
    EXPECT_EQ(setTreeMenu(false, false), 139);

    EXPECT_EQ(algebraMenu(sets, 2, 2), 173);
    EXPECT_EQ(algebraMenu(sets, 1, 2), 172);  // dropped on its parent
    EXPECT_EQ(algebraMenu(sets, 2, 0), 172);  // on a descendant
    EXPECT_EQ(algebraMenu(sets, 3, 2), 171);  // siblings' children
    EXPECT_EQ(algebraMenu(sets, 4, 1), 171);
    EXPECT_TRUE(algebraMenuOffers(173, SetOp::Complement));
    EXPECT_FALSE(algebraMenuOffers(173, SetOp::Difference));
    EXPECT_FALSE(algebraMenuOffers(172, SetOp::Union));
    EXPECT_FALSE(algebraMenuOffers(172, SetOp::Product));
    EXPECT_TRUE(algebraMenuOffers(172, SetOp::Difference));
    EXPECT_TRUE(algebraMenuOffers(171, SetOp::Product));
}

TEST(SetList, CombinationTitlesAndStepsNameTargetThenDragged) {
    EXPECT_EQ(combinationTitle(SetOp::Union, 1, 2), "No.1 + No.2");
    EXPECT_EQ(combinationTitle(SetOp::Product, 1, 2), "No.1 * No.2");
    EXPECT_EQ(combinationTitle(SetOp::Difference, 1, 2), "No.1 - No.2");
    EXPECT_EQ(combinationTitle(SetOp::Complement, 1, 2), "NOT No.2");
    // Macro files hold the product as DifferenceSet and the difference as ProductSet.
    EXPECT_STREQ(combinationStep(SetOp::Product), "DifferenceSet");
    EXPECT_STREQ(combinationStep(SetOp::Difference), "ProductSet");
}

}  // namespace
