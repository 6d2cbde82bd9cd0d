// The cross-tabulation window's model on loaded data sets through the real engine, with no
// display: the counts and sums of generated data against SQLite, the axes from classes, the
// shown columns and rows, the cell texts of every aggregate type, sorting, the toggle, the
// drill-through with the refresh of the other windows, keys, and the steps each records.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"
#include "tests/support/sqlite_reference.h"
#include "windows/cross_tab_model.h"

namespace zbq::windows {
namespace {

std::string u8(std::string_view cp932) {
    return cp932::toUtf8(cp932);
}
std::string lit(const char* utf8) {
    return cp932::literal(utf8);
}

// X by Y, with a Z item's aggregate or (by default) record counts.
CrossSettings axes(std::int32_t x, std::int32_t y, std::int32_t z = -1, std::int32_t kind = -1) {
    CrossSettings s;
    s.xItem = x;
    s.yItem = y;
    s.zItem = z;
    s.kind = kind;
    return s;
}

// The other windows and the console as the drill-through reaches them, in one log.
struct FakeWindows : WindowPort {
    CrossTabModel* model = nullptr;
    std::vector<std::string> log;
    void RebuildGrid(std::int32_t flag) override { log.push_back("grid " + std::to_string(flag)); }
    void RefreshItemWindows() override { log.push_back("items"); }
    std::int32_t RefreshCrossView() override {
        log.push_back("cross");
        return model ? model->RefreshCrossView() : 0;
    }
    std::int32_t ExecuteMolap() override {
        log.push_back("molap");
        return 0;
    }
};

struct FakeConsole : ConsolePort {
    CKWApp* app = nullptr;
    std::vector<std::string> sets, logs;
    bool suppressedWhileAdding = false;
    bool exists() const override { return true; }
    std::string LogCrossTab(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double) override {
        logs.push_back(u8(std::string(aggregate) + "|" + std::string(x) + "|" + std::string(y) +
                          "|" + std::string(z) + "|" + std::to_string(records)));
        return {};
    }
    std::string LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double) override {
        logs.push_back("drill " + u8(x) + "|" + u8(y) + "|" + std::to_string(before) + "|" +
                       std::to_string(after));
        return {};
    }
    std::string FormatCrossTabCaption(std::string_view aggregate, std::string_view x,
                                      std::string_view y, std::string_view z,
                                      std::int32_t records) override {
        return std::string(aggregate) + "[" + std::string(x) + "][" + std::string(y) + "][" +
               std::string(z) + "] " + std::to_string(records);
    }
    void AddResultSet(const MixedText& caption, std::int32_t) override {
        sets.push_back(u8(caption.japanese()));
        suppressedWhileAdding = app->IsSuppressed(Suppress::CloseOne);
    }
};

class CrossTabTest : public ::testing::Test {
protected:
    void open(const std::string& def = {}, const std::string& data = {}) {
        ASSERT_TRUE(def.empty() ? harness.load() : harness.load(def, data));
        console.app = &harness.app();
        harness.app().SetWindowPort(&windows);
        harness.app().SetConsolePort(&console);
        harness.app().SetMacroPort(&macro);
        model = std::make_unique<CrossTabModel>(harness.app());
        windows.model = model.get();
        model->geometry().setViewport(400, 18 * 5);
    }
    std::int32_t show(CrossSettings s) {
        harness.app().SetCrossSettings(s);
        return model->RefreshCrossView();
    }
    std::vector<std::string> columns() const {
        std::vector<std::string> out;
        for (int c = 0; c < model->GetColumnCount(); ++c)
            out.push_back(u8(model->GetColumnHeaderText(c)));
        return out;
    }
    std::vector<std::string> rowHeaders() const {
        std::vector<std::string> out;
        for (int r = 0; r < model->GetRowCount(); ++r)
            out.push_back(u8(model->GetRowHeaderText(r)));
        return out;
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> out;
        for (int r = 0; r < model->GetRowCount(); ++r)
            out.push_back(u8(model->GetCellText(r, c)));
        return out;
    }

    test::AppHarness harness;
    test::RecordingMacro macro;
    FakeWindows windows;
    FakeConsole console;
    std::unique_ptr<CrossTabModel> model;
};

// --- Against SQLite on generated data ---

// Three Integer items with blanks and errors: x in 0..7, y in 0..4, z in -50..50.
struct Generated {
    std::string definition, data;
    test::FixtureTable table;
};

Generated generate(int records, unsigned seed) {
    Generated g;
    g.definition =
        "Title = \"gen\"\nitem = \"x\"\n  Integer\nEndItem\nitem = \"y\"\n  Integer\nEndItem\n"
        "item = \"z\"\n  Integer\nEndItem\nEndTitle\n";
    g.data = "x\ty\tz\n";
    g.table.items = {{"x", KW_TYPE_INTEGER}, {"y", KW_TYPE_INTEGER}, {"z", KW_TYPE_INTEGER}};
    std::mt19937 rng(seed);
    const auto cellOf = [&](int low, int high) -> std::string {
        const int roll = static_cast<int>(rng() % 20);
        if (roll == 0) return "";
        if (roll == 1) return "bad";
        return std::to_string(low +
                              static_cast<int>(rng() % static_cast<unsigned>(high - low + 1)));
    };
    for (int i = 0; i < records; ++i) {
        std::vector<std::string> row = {cellOf(0, 7), cellOf(0, 4), cellOf(-50, 50)};
        g.data += row[0] + "\t" + row[1] + "\t" + row[2] + "\n";
        g.table.rows.push_back(row);
    }
    return g;
}

std::int64_t asInt(const test::SqlValue& v) {
    return std::holds_alternative<std::int64_t>(v) ? std::get<std::int64_t>(v) : -999999;
}

TEST_F(CrossTabTest, CountsAndSumsEqualSqlite) {
    const Generated g = generate(400, 7);
    open(g.definition, g.data);
    test::SqliteReference sql(g.table);

    struct Case {
        std::int32_t kind;
        const char* aggregate;
    };
    for (const Case& c : {Case{-1, "count(*)"}, Case{3, "sum(v2)"}}) {
        SCOPED_TRACE(c.aggregate);
        CrossSettings s = axes(0, 1);
        s.zItem = c.kind > 0 ? 2 : -1;
        s.kind = c.kind;
        ASSERT_EQ(show(s), 0);
        // Ordinary values only; the sum also needs an ordinary z.
        const std::string where = c.kind > 0 ? "k0=2 AND k1=2 AND k2=2" : "k0=2 AND k1=2";
        std::map<std::pair<std::int64_t, std::int64_t>, std::int64_t> expected;
        for (const auto& row : sql.query("SELECT v0, v1, " + std::string(c.aggregate) +
                                         " FROM t WHERE " + where + " GROUP BY v0, v1"))
            expected[{asInt(row[0]), asInt(row[1])}] = asInt(row[2]);

        // Error and blank positions are hidden until the toggle; every shown column has a value.
        std::vector<std::string> wantColumns;
        for (const auto& row : sql.query("SELECT DISTINCT v0 FROM t WHERE k0=2 ORDER BY v0"))
            wantColumns.push_back(std::to_string(asInt(row[0])));
        if (c.kind < 0) {
            EXPECT_EQ(columns(), wantColumns);
        }
        ASSERT_GT(model->GetColumnCount(), 3);

        for (int r = 0; r < model->GetRowCount(); ++r)
            for (int col = 0; col < model->GetColumnCount(); ++col) {
                const std::int64_t x = std::stoll(u8(model->GetColumnHeaderText(col)));
                const std::int64_t y = std::stoll(u8(model->GetRowHeaderText(r)));
                const auto it = expected.find({x, y});
                const std::string text = model->GetCellText(r, col);
                if (it == expected.end())
                    EXPECT_TRUE(text == "-" || text == "0") << x << "," << y << ": " << text;
                else
                    EXPECT_EQ(text, CKWApp::FormatInteger(static_cast<std::int32_t>(it->second)))
                        << x << "," << y;
            }
    }
}

TEST_F(CrossTabTest, PercentageGoesToTheEngineAsAWholeNumber) {
    const Generated g = generate(4000, 5);
    open(g.definition, g.data);
    // The engine's answers for 12 and for 12.5, read straight from it, differ somewhere.
    const auto cells = [&](double p) {
        harness.app().ResetCrossX();
        harness.app().ResetCrossY();
        EXPECT_EQ(harness.app().ExecuteCross(0, 1, 2, 7, p), 0);
        std::vector<std::int32_t> out;
        for (std::int32_t y = 2; y < harness.app().GetCrossYCount(); ++y)
            for (std::int32_t x = 2; x < harness.app().GetCrossXCount(); ++x)
                out.push_back(harness.app().GetCrossCount({x, y}));
        return out;
    };
    const std::vector<std::int32_t> whole = cells(12);
    ASSERT_NE(whole, cells(12.5));
    CrossSettings s = axes(0, 1, 2, 7);
    s.percentage = 12.5;
    s.xCheck = 1;
    s.yCheck = 1;
    ASSERT_EQ(show(s), 0);
    EXPECT_EQ(harness.app().GetCrossSettings().percentage, 12.5);
    std::vector<std::int32_t> shown;
    for (int r = 2; r < model->GetRowCount(); ++r)
        for (int c = 2; c < model->GetColumnCount(); ++c)
            shown.push_back(std::stoi(model->GetCellText(r, c)));
    EXPECT_EQ(shown, whole);
}

TEST_F(CrossTabTest, DrillMakesOneSetOfBothCellsAndRefreshesInOrder) {
    const Generated g = generate(300, 11);
    open(g.definition, g.data);
    test::SqliteReference sql(g.table);
    CrossSettings s = axes(0, 1);
    ASSERT_EQ(show(s), 0);
    model->SortRows(0, 1);
    windows.log.clear();
    macro.steps.clear();
    console.logs.clear();

    // Two cells of the first shown row (unsorted now that the sort is dropped later).
    const std::int64_t x0 = std::stoll(u8(model->GetColumnHeaderText(1)));
    const std::int64_t x1 = std::stoll(u8(model->GetColumnHeaderText(2)));
    const std::int64_t y = std::stoll(u8(model->GetRowHeaderText(0)));
    model->SetSelStart(2, 0);
    model->SetSelEnd(1, 0);
    model->DrillThrough();

    const auto records = sql.records("k1=2 AND v1=" + std::to_string(y) + " AND k0=2 AND v0 IN (" +
                                     std::to_string(x0) + "," + std::to_string(x1) + ")");
    EXPECT_EQ(harness.app().KWgetDataCount(), static_cast<std::int32_t>(records.size()));
    EXPECT_EQ(console.sets, std::vector<std::string>{"x X y"});
    EXPECT_TRUE(console.suppressedWhileAdding);
    EXPECT_FALSE(harness.app().IsSuppressed(Suppress::CloseOne));
    EXPECT_EQ(windows.log, (std::vector<std::string>{"grid 1", "items", "cross", "molap"}));
    EXPECT_EQ(model->sortColumn(), -1);
    EXPECT_EQ(macro.steps, std::vector<std::string>{"DorileDrillThrough"});
    ASSERT_FALSE(console.logs.empty());
    EXPECT_EQ(console.logs.back(), "drill x|y|300|" + std::to_string(records.size()));
    // The table now counts the drilled records only.
    std::int64_t total = 0;
    for (int r = 0; r < model->GetRowCount(); ++r)
        for (int c = 0; c < model->GetColumnCount(); ++c)
            total += std::stoll(model->GetCellText(r, c) == "-" ? "0" : model->GetCellText(r, c));
    EXPECT_EQ(total, static_cast<std::int64_t>(records.size()));
}

// --- On the harness's fixture ---
// Items: 0 ID String, 1 性別 Code, 2 年齢 Integer, 3 趣味 MultiAns, 4 満足度 Float, 5 回答日 Date,
// 6 回答時刻 Time; twelve records.

TEST_F(CrossTabTest, RecordCountsWithCornerCaptionAndLogLine) {
    open();
    CrossSettings s = axes(1, 2);
    ASSERT_EQ(show(s), 0);
    EXPECT_EQ(u8(model->GetCornerText()), "件数");
    EXPECT_EQ(columns(), (std::vector<std::string>{"男性", "女性"}));  // code 9 is an error
    EXPECT_EQ(u8(model->caption()), "件数(Ｚ指定不要)[性別][年齢][] 12");
    ASSERT_EQ(console.logs.size(), 1u);
    EXPECT_EQ(console.logs[0], "件数(Ｚ指定不要)|性別|年齢||12");
    EXPECT_EQ(model->GetCellAlignment("1"), CrossTabModel::kRight);

    // The toggle shows the error and blank positions, and its menu text says what comes next.
    EXPECT_EQ(u8(model->toggleText()), "ｴﾗｰ･ﾌﾞﾗﾝｸ表示");
    ASSERT_EQ(model->ToggleErrorBlank(), 0);
    EXPECT_EQ(columns(), (std::vector<std::string>{"ｴﾗｰ", "ﾌﾞﾗﾝｸ", "男性", "女性"}));
    EXPECT_EQ(u8(model->toggleText()), "ｴﾗｰ･ﾌﾞﾗﾝｸ削除");
    const auto rows = rowHeaders();
    EXPECT_EQ(rows.front(), "ｴﾗｰ");  // "abc"
    const int r42 = static_cast<int>(std::find(rows.begin(), rows.end(), "42") - rows.begin());
    ASSERT_LT(r42, model->GetRowCount());
    EXPECT_EQ(model->GetCellText(r42, 0), "1");  // code 9, aged 42
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(CrossTabTest, ShowAllFlagsShowEveryCategory) {
    open();
    CrossSettings s = axes(1, 6, 2, 3);
    s.xCheck = 1;
    s.yCheck = 1;
    ASSERT_EQ(show(s), 0);
    EXPECT_EQ(model->GetColumnCount(), harness.app().GetCrossXCount());
    EXPECT_EQ(model->GetRowCount(), harness.app().GetCrossYCount());
    EXPECT_EQ(columns().front(), "ｴﾗｰ");
    // A plain axis's error and blank positions are empty for an aggregate, though the engine
    // counts code 9 at 12:00:00 (aged 42) there.
    const auto rows = rowHeaders();
    const int noon =
        static_cast<int>(std::find(rows.begin(), rows.end(), "12:00:00") - rows.begin());
    ASSERT_LT(noon, model->GetRowCount());
    EXPECT_EQ(harness.app().GetCrossValue({0, noon}), 42.0);
    EXPECT_EQ(model->GetCellText(noon, 0), "-");
    EXPECT_EQ(model->GetCellAlignment("-"), CrossTabModel::kCentre);
}

// Without the show-all flags a category stays when one of its cells holds a value other than 0:
// the value decides, not how many records stand behind it.
TEST_F(CrossTabTest, AnAggregateOfZeroIsAnEmptyCell) {
    open(
        "Title = \"t\"\nitem = \"x\"\n  Integer\nEndItem\nitem = \"y\"\n  Integer\nEndItem\n"
        "item = \"z\"\n  Float\nEndItem\nEndTitle\n",
        "x\ty\tz\n1\t1\t5\n1\t1\t-5\n2\t1\t0.5\n3\t1\t0\n3\t1\t1\n");
    ASSERT_EQ(show(axes(0, 1, 2, 3)), 0);  // sums: 0, 0.5, 1
    EXPECT_EQ(columns(), (std::vector<std::string>{"2", "3"}));
    ASSERT_EQ(show(axes(0, 1, 2, 4)), 0);  // averages: 0, 0.5, 0.5
    EXPECT_EQ(columns(), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(rowHeaders(), std::vector<std::string>{"1"});
}

CategoryDefinition ageClasses() {
    CategoryDefinition c;
    c.name = lit("年代");
    c.valueType = 1;  // Integer
    c.smallClasses = {
        {lit("若"), 5, "30", ""}, {lit("中"), 7, "30", "50"}, {lit("老"), 3, "50", ""}};
    c.middleClasses = {{lit("普通"), "Normal"}, {lit("上"), lit("老")}};
    c.largeClasses = {{lit("全"), lit("若")}, {lit("全"), lit("中")}};
    return c;
}

TEST_F(CrossTabTest, ClassLevelsBuildTheirAxes) {
    open();
    harness.app().SetCategoryList({ageClasses()});
    CrossSettings s = axes(2, 1);
    s.xCategory = 0;
    struct Case {
        std::int32_t level;
        std::vector<std::string> columns;
    };
    const std::vector<Case> cases = {
        {0, {"-3", "0", "19", "28", "34", "42", "45", "51", "66"}},  // the item's own values
        {1, {"若", "中", "老"}},
        {2, {"普通", "上"}},
        {3, {}},  // the middle classes are 普通 and 上, neither 若 nor 中: no condition
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        s.xLevel = c.level;
        ASSERT_EQ(show(s), 0);
        EXPECT_EQ(columns(), c.columns);
    }
}

TEST_F(CrossTabTest, LargeClassOverTwoSmallClassesIsOneColumn) {
    open();
    CategoryDefinition c = ageClasses();
    c.largeClasses = {{lit("全"), lit("普通")}};  // middle 普通 names the reserved word
    c.middleClasses = {{lit("普通"), lit("若")}, {lit("普通"), lit("中")}};
    harness.app().SetCategoryList({c});
    CrossSettings s = axes(2, 1);
    s.xCategory = 0;
    s.xLevel = 3;
    ASSERT_EQ(show(s), 0);
    ASSERT_EQ(columns(), std::vector<std::string>{"全"});
    // Ages below 50 of men (code 1): 34, 19, 0, 45.
    const auto rows = rowHeaders();
    const auto men = std::find(rows.begin(), rows.end(), "男性");
    ASSERT_NE(men, rows.end());
    EXPECT_EQ(model->GetCellText(static_cast<int>(men - rows.begin()), 0), "4");
}

TEST_F(CrossTabTest, CellTextsOfEveryZType) {
    open();
    std::ofstream(harness.file("ZBQ.ini")) << "[OLAP]\nNODATA=" << lit("なし") << "\n";
    model = std::make_unique<CrossTabModel>(harness.app());
    struct Case {
        std::int32_t z, kind;
        std::string want;  // the cell of 男性 (code 1) in the one column of X = 性別
    };
    // Men: ages 34 51 19 0 45; dates 04/01 04/03 05/10 06/30 02/29; times 09:30:05 23:59:59
    // error 00:00:00 07:07:07; satisfaction 3.5 5 4 error 2.75.
    const std::vector<Case> cases = {{2, 3, "149"},        {2, 5, "51"},         {4, 4, "4"},
                                     {5, 5, "2024/06/30"}, {5, 6, "2024/02/29"}, {6, 4, "10:09:17"},
                                     {6, 5, "23:59:59"},   {1, 1, "5"},          {0, 5, "テスト"}};
    CrossSettings s = axes(1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.z) + "/" + std::to_string(c.kind));
        s.zItem = c.z;
        s.kind = c.kind;
        ASSERT_EQ(show(s), 0);
        const auto rows = rowHeaders();
        const auto men = std::find(rows.begin(), rows.end(), "男性");
        ASSERT_NE(men, rows.end());
        const int r = static_cast<int>(men - rows.begin());
        const auto cols = columns();
        const int col =
            static_cast<int>(std::find(cols.begin(), cols.end(), "男性") - cols.begin());
        ASSERT_LT(col, model->GetColumnCount());
        EXPECT_EQ(u8(model->GetCellText(r, col)), c.want);
        // The other column is the women's: empty for a man's row.
        EXPECT_EQ(u8(model->GetCellText(r, 1 - col)), "なし");
        EXPECT_EQ(model->GetCellAlignment(model->GetCellText(r, col)),
                  c.z == 0 && c.kind > 2 ? CrossTabModel::kLeft : CrossTabModel::kRight);
    }
    s.zItem = 4;
    s.kind = 4;
    ASSERT_EQ(show(s), 0);
    model->SetDecimalDigit(14);
    EXPECT_EQ(macro.steps.back(), "Olap_DecimalDigit,14");
    const auto rows = rowHeaders();
    const int r = static_cast<int>(std::find(rows.begin(), rows.end(), "男性") - rows.begin());
    const std::string text = model->GetCellText(r, 0) + model->GetCellText(r, 1);
    EXPECT_NE(text.find("3.81250000000000"), std::string::npos) << text;
    model->SetDecimalDigit(15);
    EXPECT_EQ(model->decimals(), 14);
}

TEST_F(CrossTabTest, NoRecordsOrAnEngineFailureLoseTheTable) {
    open();
    QSignalSpy lost(model.get(), &CrossTabModel::tableLost);
    CrossSettings s = axes(1, 2);
    s.zItem = 3;  // a MultiAns Z item cannot be aggregated
    s.kind = 3;
    EXPECT_LT(show(s), 0);
    ASSERT_EQ(harness.prompts().messages().size(), 1u);
    EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(),
              "クロス集計の作成に失敗しました。処理を中止します。");
    EXPECT_EQ(model->GetColumnCount(), 0);
    EXPECT_EQ(lost.count(), 1);

    ASSERT_EQ(harness.app().KWsrch("#2=999"), 0);
    s.zItem = -1;
    s.kind = -1;
    EXPECT_EQ(show(s), -1);
    EXPECT_EQ(harness.prompts().messages().size(), 1u);  // no message for no records
    EXPECT_EQ(lost.count(), 2);
}

// --- Sorting ---

// X a Code item (one column per code), Y an Integer 1..4, Z an Integer: the column of code 1
// holds 5, nothing, 2, 5 for rows 1 to 4 (row 2 shown for its code-2 cell).
constexpr const char* kSortDefinition =
    "Title = \"s\"\nitem = \"x\"\n  Code\n  Def\n    1 = \"a\"\n    2 = \"b\"\n  EndDef\nEndItem\n"
    "item = \"y\"\n  Integer\nEndItem\nitem = \"z\"\n  Integer\nEndItem\nEndTitle\n";
constexpr const char* kSortData = "x\ty\tz\n1\t1\t5\n2\t2\t1\n1\t3\t2\n1\t4\t5\n";

TEST_F(CrossTabTest, SortPutsEmptyCellsLastAndDescendingReversesAll) {
    open(kSortDefinition, kSortData);
    CrossSettings s = axes(0, 1, 2, 5);
    ASSERT_EQ(show(s), 0);
    ASSERT_EQ(columns(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(column(0), (std::vector<std::string>{"5", "-", "2", "5"}));
    model->SortRows(0, 0);
    EXPECT_EQ(rowHeaders(), (std::vector<std::string>{"3", "1", "4", "2"}));
    model->SortRows(0, 1);
    EXPECT_EQ(rowHeaders(), (std::vector<std::string>{"2", "4", "1", "3"}));
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Olap_Sort,0,0", "Olap_Sort,0,1"}));
    EXPECT_EQ(model->sortColumn(), 0);

    // The toggle rebuilds; the sort stands by its category.
    model->ToggleErrorBlank();
    EXPECT_EQ(model->sortColumn(), 2);
    EXPECT_EQ(rowHeaders(), (std::vector<std::string>{"2", "ﾌﾞﾗﾝｸ", "ｴﾗｰ", "4", "1", "3"}));
    model->ToggleErrorBlank();

    macro.steps.clear();
    model->OriginalDisplay();
    EXPECT_EQ(rowHeaders(), (std::vector<std::string>{"1", "2", "3", "4"}));
    model->OriginalDisplay();
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Olap_OriginalDisplay"});
}

TEST_F(CrossTabTest, SortByAnEmptyColumnOrAHiddenCategoryDropsIt) {
    open(kSortDefinition, kSortData);
    CrossSettings s = axes(0, 1, 2, 5);
    s.xCheck = 1;  // shows the error column, empty everywhere
    ASSERT_EQ(show(s), 0);
    model->SortRows(0, 0);
    EXPECT_EQ(model->sortColumn(), -1);

    model->SortRows(3, 0);  // code 2
    ASSERT_EQ(model->sortColumn(), 3);
    ASSERT_EQ(harness.app().KWsrch("#0=1"), 3);
    s.xCheck = 0;
    harness.app().SetCrossSettings(s);
    ASSERT_EQ(model->RefreshCrossView(), 0);
    EXPECT_EQ(columns(), std::vector<std::string>{"a"});
    EXPECT_EQ(model->sortColumn(), -1);
}

TEST_F(CrossTabTest, TextKeysCompareAsCp932Bytes) {
    // "a" 61, "ｱ" B1, "漾" E0 40 in CP932; in UTF-8 "漾" (E6) comes before "ｱ" (EF), and signed
    // bytes would put both before "a".
    const std::string def =
        "Title = \"t\"\nitem = \"g\"\n  Integer\nEndItem\nitem = \"y\"\n  Integer\nEndItem\n"
        "item = \"t\"\n  String\nEndItem\nEndTitle\n";
    const std::string data = "g\ty\tt\n1\t1\t" + lit("漾") + "\n1\t2\ta\n1\t3\t" + lit("ｱ") + "\n";
    open(def, data);
    CrossSettings s = axes(0, 1, 2, 5);
    ASSERT_EQ(show(s), 0);
    ASSERT_EQ(column(0), (std::vector<std::string>{"漾", "a", "ｱ"}));
    model->SortRows(0, 0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"a", "ｱ", "漾"}));
    EXPECT_EQ(model->GetCellAlignment(model->GetCellText(0, 0)), CrossTabModel::kLeft);
}

// --- Keys ---

TEST_F(CrossTabTest, KeysMoveTheSelectionAndRecordFirst) {
    const Generated g = generate(400, 3);
    open(g.definition, g.data);
    CrossSettings s = axes(0, 1);
    ASSERT_EQ(show(s), 0);
    const int rows = model->GetRowCount();
    const int cols = model->GetColumnCount();
    ASSERT_EQ(rows, 5);
    model->geometry().setViewport(400, 18 * 3);  // three rows a page
    struct Case {
        Cell from;
        std::int32_t key;
        Cell to;
    };
    const std::vector<Case> cases = {
        {{0, 0}, kVkLeft, {0, 0}},
        {{1, 1}, kVkLeft, {0, 1}},
        {{0, 0}, kVkDown, {0, 1}},
        {{0, 1}, kVkPageDown, {0, 4}},  // 1 + 3 reaches the last row's neighbour: the last
        {{0, 0}, kVkPageDown, {0, 3}},
        {{0, 3}, kVkPageUp, {0, 0}},
        {{2, 2}, kVkHome, {0, 2}},
        {{0, 2}, kVkEnd, {cols - 1, 2}},
        {{cols - 1, 2}, kVkTab, {0, 3}},
        {{cols - 1, rows - 1}, kVkTab, {cols - 1, rows - 1}},
        {{1, 1}, 65, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        model->SetSelStart(c.from.column, c.from.row);
        model->SetSelEnd(c.from.column, c.from.row);
        macro.steps.clear();
        model->OnKeyDown(c.key, 1, 0);
        EXPECT_EQ(model->GetSelStart(), c.to);
        EXPECT_EQ(model->GetSelEnd(), c.to);
        EXPECT_EQ(macro.steps.size(), c.key == 65 ? 0u : 1u);
    }
    // The wheel turned towards the user scrolls down a row, away from the user back up.
    ASSERT_GT(rows, model->geometry().rowsPerPage());
    model->geometry().setTopRow(1);
    model->OnMouseWheel(0, -120);
    EXPECT_EQ(model->geometry().topRow(), 2);
    EXPECT_EQ(macro.steps.back(), "Olap_MouseWheel,0,-120");
    model->OnMouseWheel(0, 120);
    model->OnMouseWheel(0, 120);
    EXPECT_EQ(model->geometry().topRow(), 0);
}

TEST_F(CrossTabTest, DrillOverEmptyCellsChangesNothing) {
    open();
    CrossSettings s = axes(1, 2, 4, 3);
    s.xCheck = 1;
    s.yCheck = 1;
    ASSERT_EQ(show(s), 0);
    model->SetSelStart(0, 0);  // the error column
    model->SetSelEnd(0, 0);
    windows.log.clear();
    model->DrillThrough();
    EXPECT_EQ(harness.app().KWgetDataCount(), test::AppHarness::kFixtureRecords);
    ASSERT_EQ(harness.prompts().messages().size(), 1u);
    EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(), "ドリルスルーを実行できません。");
    EXPECT_TRUE(console.sets.empty());
    EXPECT_TRUE(windows.log.empty());
    EXPECT_TRUE(macro.steps.empty());

    model->SetSelStart(-1, -1);  // no shown cell: nothing at all
    model->DrillThrough();
    EXPECT_EQ(harness.prompts().messages().size(), 1u);
}

TEST_F(CrossTabTest, FrameFitsTheTableWithinItsLimits) {
    open();
    CrossSettings s = axes(1, 2);
    ASSERT_EQ(show(s), 0);
    const auto [w, h] = model->FitFrameToTable(10, 30);
    EXPECT_EQ(w, model->geometry().contentWidth() + 10 + 185);
    EXPECT_EQ(h, model->GetRowCount() * model->geometry().rowHeight() + 30 + 45);
    model->SetColumnWidth(0, 30000);
    EXPECT_EQ(model->geometry().columnWidth(0), GridController::kWidestColumn);
    EXPECT_EQ(model->FitFrameToTable(10, 30).first, 800);
    EXPECT_EQ(macro.steps.back(), "Olap_AlignmentFree,0,24000");
    model->FitColumnWidth(0);
    EXPECT_EQ(macro.steps.back(), "Olap_Alignment,0");
    EXPECT_EQ(std::count(macro.steps.begin(), macro.steps.end(), "Olap_AlignmentFree,0,24000"), 0);
    // A fit replaces only a drag of its own column.
    model->SetColumnWidth(1, 50);
    model->FitColumnWidth(0);
    EXPECT_EQ(std::vector<std::string>(macro.steps.end() - 2, macro.steps.end()),
              (std::vector<std::string>{"Olap_AlignmentFree,1,50", "Olap_Alignment,0"}));
}

}  // namespace
}  // namespace zbq::windows
