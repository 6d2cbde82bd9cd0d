// A category at class levels 1 to 3 as the conditions of a cross-tab axis: the conditions
// themselves, and the counts per category the engine makes of them on 10,000 generated
// questionnaire records, against what SQLite counts of the same table.
#include <gtest/gtest.h>

#include <map>

#include "bench/gen/questionnaire.h"
#include "console/category_conditions.h"
#include "engine/kw_condition.h"
#include "engine/kw_search.h"
#include "platform/core/cp932.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/sqlite_reference.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::cp932::literal;
using namespace zbq::test;

const std::vector<std::string> kReserved = {"Brank", "Error", "Normal", "Others"};

CategoryDefinition ageCategory() {
    CategoryDefinition d;
    d.name = literal("年齢");
    d.valueType = 1;
    d.smallClasses = {{literal("若年"), 6, "15", "29"},
                      {literal("中年"), 6, "30", "59"},
                      {literal("高齢"), 2, "60", ""},
                      {literal("他"), 0, "Others", ""}};
    d.middleClasses = {{literal("現役"), literal("若年")},
                       {literal("現役"), literal("中年")},
                       {literal("引退"), literal("高齢")},
                       {literal("他"), "Others"}};
    d.largeClasses = {{literal("全体"), literal("現役")},
                      {literal("全体"), literal("引退")},
                      {literal("他"), "Others"}};
    return d;
}

CategoryDefinition occupationCategory() {
    CategoryDefinition d;
    d.name = literal("職業");
    d.valueType = 6;
    d.smallClasses = {{literal("会社員"), 0, "1", ""},
                      {literal("公務員系"), 6, "2", "3"},
                      {literal("通常"), 0, "Normal", ""},
                      {literal("空白"), 0, "Brank", ""},
                      {literal("エラー"), 0, "Error", ""}};
    d.middleClasses = {{literal("勤め"), literal("会社員")},
                       {literal("勤め"), literal("公務員系")},
                       {literal("その他"), literal("通常")},
                       {literal("無回答"), literal("空白")},
                       {literal("無回答"), literal("エラー")}};
    d.largeClasses = {{literal("有効"), literal("勤め")},
                      {literal("有効"), literal("その他")},
                      {literal("無効"), literal("無回答")}};
    return d;
}

ClassCondition intCondition(std::string label, std::int32_t code, std::int32_t from = 0,
                            std::int32_t to = 0) {
    ClassCondition c;
    c.label = std::move(label);
    c.code = code;
    c.intFrom = from;
    c.intTo = to;
    return c;
}

std::vector<std::string> labelsOf(const std::vector<ClassCondition>& conditions) {
    std::vector<std::string> labels;
    for (const ClassCondition& c : conditions)
        labels.push_back(c.label);
    return labels;
}

TEST(ClassConditionsTest, LevelsExpandMembersInOrder) {
    const CategoryDefinition age = ageCategory();
    const std::vector<ClassCondition> small = ClassConditions(age, 1, kReserved);
    ASSERT_EQ(small.size(), 4u);
    EXPECT_EQ(small[0], intCondition(literal("若年"), KW_COND_RANGE, 15, 29));
    EXPECT_EQ(small[2].code, KW_COND_GE);
    EXPECT_EQ(small[2].intTo, 0);  // an empty VAL2
    EXPECT_EQ(small[3].code, KW_COND_OTHERS);

    EXPECT_EQ(labelsOf(ClassConditions(age, 2, kReserved)),
              (std::vector<std::string>{literal("現役"), literal("現役"), literal("引退"),
                                        literal("他")}));
    const std::vector<ClassCondition> large = ClassConditions(age, 3, kReserved);
    EXPECT_EQ(labelsOf(large), (std::vector<std::string>{literal("全体"), literal("全体"),
                                                         literal("全体"), literal("他")}));
    EXPECT_EQ(large[1].intFrom, 30);
    EXPECT_TRUE(ClassConditions(age, 0, kReserved).empty());
    EXPECT_TRUE(ClassConditions(age, 4, kReserved).empty());
}

TEST(ClassConditionsTest, ValuesByTypeAndUnknownMembers) {
    CategoryDefinition d;
    d.valueType = 3;
    d.smallClasses = {{"d", 6, "2024/1/5", "2024/12/31"}};
    d.middleClasses = {{"m", "nothing"}, {"n", "d"}, {"b", "Brank"}};
    const std::vector<ClassCondition> middle = ClassConditions(d, 2, kReserved);
    ASSERT_EQ(middle.size(), 2u);  // the unknown member gives nothing
    EXPECT_EQ(middle[0].intFrom, 20240105);
    EXPECT_EQ(middle[0].intTo, 20241231);
    EXPECT_EQ(middle[1].code, KW_COND_BLANK);

    d.valueType = 4;
    d.smallClasses = {{"t", 8, "9:05:00", "12:00:00"}};
    const ClassCondition time = ClassConditions(d, 1, kReserved).at(0);
    EXPECT_EQ(time.code, KW_COND_RANGE_LOW);
    EXPECT_EQ(time.intFrom, 90500);
    EXPECT_EQ(time.intTo, 120000);

    d.valueType = 2;
    d.smallClasses = {{"f", 9, "1.5", "2.25x"}};
    const ClassCondition real = ClassConditions(d, 1, kReserved).at(0);
    EXPECT_EQ(real.kind, ClassCondition::Double);
    EXPECT_EQ(real.code, KW_COND_RANGE_OPEN);
    EXPECT_DOUBLE_EQ(real.doubleTo, 2.25);

    d.valueType = 0;
    d.smallClasses = {{"u", 0, "Normal", ""}};
    EXPECT_EQ(ClassConditions(d, 1, kReserved).at(0), intCondition("u", KW_COND_NORMAL));
    d.valueType = -1;
    EXPECT_TRUE(ClassConditions(d, 1, kReserved).empty());
}

// The generated questionnaire's age and occupation columns as a fixture table.
FixtureTable generatedTable(std::int64_t records) {
    const zbq::bench::ItemDef& occupation =
        zbq::bench::questionnaireItems()[zbq::bench::kOccupation];
    FixtureTable table;
    table.items = {{"age", KW_TYPE_INTEGER}, {"occupation", KW_TYPE_STRING}};
    for (const zbq::bench::CodeDef& c : occupation.codes)
        table.items[1].codes.push_back({c.code, c.name});
    for (std::int64_t r = 0; r < records; ++r) {
        std::string line;
        zbq::bench::appendRecord(line, zbq::bench::kDefaultSeed, r);
        line.pop_back();
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            cells.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        table.rows.push_back({cells.at(zbq::bench::kAge), cells.at(zbq::bench::kOccupation)});
    }
    return table;
}

std::string blob(std::string_view bytes) {
    std::string out = "X'";
    for (unsigned char c : bytes) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", c);
        out += hex;
    }
    return out + "'";
}

class ClassConditionsAgainstSqlite : public ::testing::Test {
protected:
    static constexpr std::int64_t kRecords = 10000;

    static void SetUpTestSuite() {
        table_ = new FixtureTable(generatedTable(kRecords));
        dir_ = new TempDir;
        writeFixture(dir_->file("gen.zbq"), *table_);
        search_ = new KW_search;
        ASSERT_EQ(search_->KWopen(dir_->file("gen.zbq"), ""), 0);
        sql_ = new SqliteReference(*table_);
    }
    static void TearDownTestSuite() {
        delete sql_;
        delete search_;
        delete dir_;
        delete table_;
    }

    // Records per category label as the engine counts them with the category on X.
    std::map<std::string, std::int64_t> engineCounts(std::int32_t item, const CategoryDefinition& d,
                                                     int level) {
        const std::vector<ClassCondition> conditions = ClassConditions(d, level, kReserved);
        KW_search& s = *search_;
        EXPECT_EQ(s.InitCrossX(item, 0, static_cast<std::int32_t>(conditions.size())), 0);
        EXPECT_EQ(AddClassConditions(s, 0, conditions), 0);
        EXPECT_EQ(s.BuildCrossX(), 0);
        s.ResetCrossY();
        EXPECT_EQ(s.ExecuteCross(item, 1 - item, -1, KW_CROSS_RECORDS, 0), 0);
        std::map<std::string, std::int64_t> counts;
        for (std::int32_t x = 0; x < s.GetCrossXCount(); ++x)
            for (std::int32_t y = 0; y < s.GetCrossYCount(); ++y)
                if (s.GetCrossCellFlag(x, y) == 0)
                    counts[s.GetCrossXLabel(x)] += s.GetCrossCount(x, y);
        return counts;
    }

    // The categories as one CASE over the columns, labels in their order of first appearance.
    std::map<std::string, std::int64_t> sqlCounts(
        const std::vector<std::pair<std::string, std::string>>& whens) {
        std::string c = "CASE";
        for (const auto& [label, when] : whens)
            c += " WHEN " + when + " THEN " + blob(label);
        c += " END";
        std::map<std::string, std::int64_t> counts;
        for (const SqlRow& row : sql_->query("SELECT cat, COUNT(*) FROM (SELECT " + c +
                                             " AS cat FROM t) WHERE cat IS NOT NULL GROUP BY cat"))
            counts[std::get<std::string>(row[0])] = std::get<std::int64_t>(row[1]);
        return counts;
    }

    static FixtureTable* table_;
    static TempDir* dir_;
    static KW_search* search_;
    static SqliteReference* sql_;
};

FixtureTable* ClassConditionsAgainstSqlite::table_ = nullptr;
TempDir* ClassConditionsAgainstSqlite::dir_ = nullptr;
KW_search* ClassConditionsAgainstSqlite::search_ = nullptr;
SqliteReference* ClassConditionsAgainstSqlite::sql_ = nullptr;

TEST_F(ClassConditionsAgainstSqlite, AgeCategoryAtEachLevel) {
    const std::string young = "k0 = 2 AND v0 BETWEEN 15 AND 29",
                      middle = "k0 = 2 AND v0 BETWEEN 30 AND 59", old = "k0 = 2 AND v0 >= 60";
    const CategoryDefinition age = ageCategory();
    const std::map<std::string, std::int64_t> level1 = sqlCounts({{literal("若年"), young},
                                                                  {literal("中年"), middle},
                                                                  {literal("高齢"), old},
                                                                  {literal("他"), "1"}});
    EXPECT_GT(level1.at(literal("他")), 0);  // the generator's errors and blanks
    EXPECT_EQ(engineCounts(0, age, 1), level1);
    EXPECT_EQ(engineCounts(0, age, 2),
              sqlCounts({{literal("現役"), "(" + young + ") OR (" + middle + ")"},
                         {literal("引退"), old},
                         {literal("他"), "1"}}));
    EXPECT_EQ(engineCounts(0, age, 3),
              sqlCounts({{literal("全体"), "k0 = 2 AND v0 >= 15"}, {literal("他"), "1"}}));
}

TEST_F(ClassConditionsAgainstSqlite, OccupationCategoryWithReservedWords) {
    const std::string clerk = "k1 = 2 AND v1 = " + blob("1"),
                      officer = "k1 = 2 AND v1 BETWEEN " + blob("2") + " AND " + blob("3"),
                      normal = "k1 = 2", blank = "k1 = 1", error = "k1 = 0";
    const CategoryDefinition occupation = occupationCategory();
    const std::map<std::string, std::int64_t> level1 = sqlCounts({{literal("会社員"), clerk},
                                                                  {literal("公務員系"), officer},
                                                                  {literal("通常"), normal},
                                                                  {literal("空白"), blank},
                                                                  {literal("エラー"), error}});
    EXPECT_GT(level1.at(literal("空白")), 0);
    EXPECT_GT(level1.at(literal("エラー")), 0);
    EXPECT_EQ(engineCounts(1, occupation, 1), level1);
    EXPECT_EQ(engineCounts(1, occupation, 2),
              sqlCounts({{literal("勤め"), "(" + clerk + ") OR (" + officer + ")"},
                         {literal("その他"), normal},
                         {literal("無回答"), "k1 < 2"}}));
    EXPECT_EQ(engineCounts(1, occupation, 3),
              sqlCounts({{literal("有効"), normal}, {literal("無効"), "k1 < 2"}}));
}

}  // namespace
