// Cross tabulation axes: categories from condition lists (labels, first match in category
// order, the reserved classes, error and blank entries under each operator, display names,
// MultiAns items) and plain value axes, with the list calls' refusals.
#include <gtest/gtest.h>

#include "platform/core/cp932.h"
#include "tests/engine/cross_fixture.h"

namespace {

using namespace zbq::test;

const std::string kBlankCaption = zbq::cp932::literal("ﾌﾞﾗﾝｸ");
const std::string kErrorCaption = zbq::cp932::literal("ｴﾗｰ");

enum Item { kAge, kName, kSex, kScore, kHobby };

FixtureTable people() {
    FixtureTable t;
    t.items = {{"age", KW_TYPE_INTEGER},
               {"name", KW_TYPE_STRING},
               {"sex", KW_TYPE_STRING, {{"m", "Male"}, {"f", "Female"}}},
               {"score", KW_TYPE_FLOAT},
               {"hobby", KW_TYPE_MULTI, {{"x", "Ex"}, {"y", "Why"}, {"z", "Zed"}}}};
    t.rows = {
        {"10", "a", "m", "1.5", "x,y,x"},  //
        {"15", "b", "f", "2.5", "y"},     {"20", "ab", "m", "3.5", "z"}, {"25", "", "", "", ""},
        {"", "c", "q", "e1e", "w"},  // blank age; error code, score and answer
        {"x", "b", "f", "2.5", "x,z"},    {"40", "a", "m", "10", "y,z"}};
    return t;
}

struct CategoryCase {
    const char* name;
    Item item;
    std::int32_t nameMode;
    std::vector<Cond> conds;
    const char* counts;  // records per X category, "." for none
};

void PrintTo(const CategoryCase& c, std::ostream* os) {
    *os << c.name;
}

class CrossCategories : public ::testing::TestWithParam<CategoryCase> {};

TEST_P(CrossCategories, RecordsFallIntoTheFirstCategoryThatClaimsTheirValue) {
    const CategoryCase& c = GetParam();
    LoadedTable t(people());
    setAxis(t.s, 0, c.item, c.nameMode, c.conds);
    setAxis(t.s, 1, kAge, 0, {ic("all", KW_COND_OTHERS)});
    ASSERT_EQ(t.s.ExecuteCross(c.item, kAge, -1, KW_CROSS_RECORDS, 0), 0);
    EXPECT_EQ(countGrid(t.s), c.counts);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, CrossCategories,
    ::testing::Values(
        // Category order, not list order: "young" is category 0, so its later "= 25" wins
        // over the range of "mid" that stands before it in the list.
        CategoryCase{"CategoryOrderNotListOrder",
                     kAge,
                     0,
                     {ic("young", KW_COND_LT, 20), ic("mid", KW_COND_RANGE, 15, 25),
                      ic("young", KW_COND_EQ, 25)},
                     "3 1"},
        CategoryCase{"ReservedClasses",
                     kAge,
                     0,
                     {ic("e", KW_COND_ERROR), ic("b", KW_COND_BLANK), ic("n", KW_COND_NORMAL)},
                     "1 1 5"},
        CategoryCase{
            "OthersAfterTwoClasses",
            kAge,
            0,
            {ic("lo", KW_COND_LE, 15), ic("hi", KW_COND_GT, 25), ic("rest", KW_COND_OTHERS)},
            "2 1 4"},
        CategoryCase{
            "OthersTakesEverythingLeftAtItsPlace",
            kAge,
            0,
            {ic("lo", KW_COND_LE, 15), ic("rest", KW_COND_OTHERS), ic("hi", KW_COND_GT, 25)},
            "2 5 ."},
        // Blank and error entries hold 0, yet no range or ordering selects them.
        CategoryCase{
            "RangesNeverSelectErrorOrBlank",
            kAge,
            0,
            {ic("r", KW_COND_RANGE, -100, 100), ic("lt", KW_COND_LT, 1), ic("eq", KW_COND_EQ, 0)},
            "5 . ."},
        CategoryCase{"NotEqualKeepsErrorAndBlank", kAge, 0, {ic("ne", KW_COND_NE, 10)}, "6"},
        // The blank caption sorts above every ASCII text; only "=" may name it.
        CategoryCase{"TextEqualityMayNameACaption",
                     kName,
                     0,
                     {tc("ge", KW_COND_GE, "b"), tc("bl", KW_COND_EQ, kBlankCaption),
                      tc("a", KW_COND_RANGE_OPEN, "a", "b")},
                     "3 1 1"},
        CategoryCase{"NameModeComparesDisplayNames",
                     kSex,
                     1,
                     {tc("M", KW_COND_EQ, "Male"), tc("F", KW_COND_EQ, "f")},
                     "3 ."},
        CategoryCase{"CodesOtherwise",
                     kSex,
                     0,
                     {tc("M", KW_COND_EQ, "Male"), tc("F", KW_COND_EQ, "f"),
                      tc("E", KW_COND_EQ, kErrorCaption)},
                     ". 2 1"},
        CategoryCase{"FloatRangeEnds",
                     kScore,
                     0,
                     {dc("a", KW_COND_RANGE_LOW, 1.5, 3.5), dc("b", KW_COND_RANGE_OPEN, 2.5, 10),
                      dc("c", KW_COND_RANGE_HIGH, 2.5, 10), dc("d", KW_COND_GE, 0)},
                     "3 1 1 ."},
        CategoryCase{"UnknownOperatorSelectsNothing",
                     kAge,
                     0,
                     {ic("odd", 99), ic("all", KW_COND_OTHERS)},
                     ". 7"},
        // x, y and x of one record count once in "xy".
        CategoryCase{"MultiAnsCountsARecordOncePerCategory",
                     kHobby,
                     0,
                     {tc("xy", KW_COND_EQ, "x"), tc("xy", KW_COND_EQ, "y"),
                      tc("z", KW_COND_EQ, "z"), ic("rest", KW_COND_OTHERS)},
                     "4 3 2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CrossAxes, ValueAxisHasACategoryForEveryDictionaryEntry) {
    LoadedTable t(people());
    // Only records 0 and 1: the error, blank and unused values keep their columns and rows.
    auto map = std::make_shared<KW_map>(7);
    map->set(0);
    map->set(1);
    ASSERT_EQ(t.s.KWmapSet(map), 2);
    t.s.ResetCrossX();
    t.s.ResetCrossY();
    ASSERT_EQ(t.s.ExecuteCross(kSex, kAge, -1, KW_CROSS_RECORDS, 0), 0);
    ASSERT_EQ(t.s.GetCrossXCount(), 4);
    ASSERT_EQ(t.s.GetCrossYCount(), 7);
    EXPECT_EQ(countGrid(t.s), ". . . .|. . . .|. . . 1|. . 1 .|. . . .|. . . .|. . . .");

    const std::vector<std::string> sexLabels = {kErrorCaption, kBlankCaption, "Female", "Male"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(t.s.GetCrossXLabel(i), sexLabels[i]);
    EXPECT_EQ(t.s.GetCrossYLabel(1), kBlankCaption);
    EXPECT_EQ(t.s.GetCrossYLabel(6), "40");
    EXPECT_EQ(t.s.GetCrossYInt(2), 10);
    EXPECT_EQ(t.s.GetCrossYDouble(6), 40.0);
    EXPECT_EQ(t.s.GetCrossXInt(2), -1);  // a Code item has no integer values
    EXPECT_EQ(t.s.GetCrossYLabel(7), "");
    EXPECT_EQ(t.s.GetCrossYInt(7), -1);

    ASSERT_EQ(t.s.ExecuteCross(kScore, kName, -1, KW_CROSS_RECORDS, 0), 0);
    EXPECT_EQ(t.s.GetCrossXLabel(2), "1.5");
    EXPECT_EQ(t.s.GetCrossXDouble(3), 2.5);
    EXPECT_EQ(t.s.GetCrossXDouble(1), 0.0);  // the blank entry holds no number
    EXPECT_EQ(t.s.GetCrossYLabel(2), "a");
    EXPECT_EQ(t.s.GetCrossYDouble(2), -1.0);
}

TEST(CrossAxes, ConditionAxisReadsLabelsOnly) {
    LoadedTable t(people());
    setAxis(t.s, 0, kAge, 0, {ic("young", KW_COND_LT, 20), ic("old", KW_COND_GE, 20)});
    // Before any result the getters describe the built list.
    EXPECT_EQ(t.s.GetCrossXCount(), 2);
    EXPECT_EQ(t.s.GetCrossXLabel(1), "old");
    t.s.ResetCrossY();
    ASSERT_EQ(t.s.ExecuteCross(kAge, kSex, -1, KW_CROSS_RECORDS, 0), 0);
    EXPECT_EQ(t.s.GetCrossXLabel(0), "young");
    EXPECT_EQ(t.s.GetCrossXInt(0), -1);
    EXPECT_EQ(t.s.GetCrossXDouble(0), -1.0);
    // A result keeps its axes when the list is reset.
    t.s.ResetCrossX();
    EXPECT_EQ(t.s.GetCrossXCount(), 2);
    ASSERT_EQ(t.s.ExecuteCross(kAge, kSex, -1, KW_CROSS_RECORDS, 0), 0);
    EXPECT_EQ(t.s.GetCrossXCount(), 7);
}

TEST(CrossAxes, LabelsAndTextsAreCutOnACharacterBoundary) {
    LoadedTable t(people());
    const std::string longName = std::string(126, 'a') + zbq::cp932::literal("あ");  // 128 bytes
    setAxis(t.s, 0, kName, 0,
            {tc(longName, KW_COND_EQ, "x"), tc(longName + "tail", KW_COND_EQ, "y")});
    // Both labels keep their first 126 bytes and so name one category.
    ASSERT_EQ(t.s.GetCrossXCount(), 1);
    EXPECT_EQ(t.s.GetCrossXLabel(0), std::string(126, 'a'));
}

TEST(CrossAxes, ListCallsRefuseWhatTheyCannotDo) {
    LoadedTable t(people());
    EXPECT_EQ(t.s.InitCrossX(5, 0, 1), -1);
    EXPECT_EQ(t.s.InitCrossX(kAge, 0, -1), -1);
    EXPECT_EQ(t.s.AddCrossXInt("a", KW_COND_EQ, 1, 0), -1);  // no list
    EXPECT_EQ(t.s.BuildCrossX(), -1);

    ASSERT_EQ(t.s.InitCrossX(kAge, 0, 1), 0);
    EXPECT_EQ(t.s.AddCrossXInt("a", KW_COND_EQ, 10, 0), 0);
    EXPECT_EQ(t.s.AddCrossXInt("b", KW_COND_EQ, 15, 0), -1);  // full
    t.s.ResetCrossY();
    EXPECT_EQ(t.s.ExecuteCross(kAge, kSex, -1, KW_CROSS_RECORDS, 0), -1);  // not built
    ASSERT_EQ(t.s.BuildCrossX(), 0);
    EXPECT_EQ(t.s.ExecuteCross(kScore, kSex, -1, KW_CROSS_RECORDS, 0), -1);  // another item
    EXPECT_EQ(t.s.GetCrossXCount(), 1);
    ASSERT_EQ(t.s.ExecuteCross(kAge, kSex, -1, KW_CROSS_RECORDS, 0), 0);
    EXPECT_EQ(countGrid(t.s), ".|.|.|1");
}

}  // namespace
