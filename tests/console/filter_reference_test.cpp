// "ﾌｨﾙﾀ実行" on 10,000 generated questionnaire records, run through the data-selection page
// with a set current: every condition table (each type and operator, AND and OR) must give a
// new set under the current one whose records are exactly those SQLite selects within that set.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/gen/questionnaire.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/log_page.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/sqlite_reference.h"

namespace {

namespace q = zbq::bench;
using zbq::cp932::literal;

constexpr int kRecords = 10000;

std::string hexBlob(const std::string& s) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string out = "X'";
    for (const unsigned char c : s) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out + "'";
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t from = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', from);
        cells.push_back(line.substr(from, tab - from));
        if (tab == std::string::npos) return cells;
        from = tab + 1;
    }
}

// The generated source as the program reads it, and as the reference's table.
struct Questionnaire {
    std::string definition, data;
    zbq::test::FixtureTable table;

    Questionnaire() {
        q::appendHeader(data);
        for (std::int64_t r = 0; r < kRecords; ++r) {
            std::string line;
            q::appendRecord(line, q::kDefaultSeed, r);
            data += line;
            line.pop_back();  // LF
            table.rows.push_back(splitTabs(line));
        }
        for (const q::ItemDef& item : q::questionnaireItems()) {
            zbq::test::FixtureItem fixture{item.name, item.type};
            for (const q::CodeDef& code : item.codes)
                fixture.codes.push_back({code.code, code.name});
            table.items.push_back(std::move(fixture));
        }
        const std::string path = ::testing::TempDir() + "/questionnaire.def";
        EXPECT_EQ(q::writeDefinition(path), 0);
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        definition = text.str();
    }
};

const Questionnaire& questionnaire() {
    static const Questionnaire data;
    return data;
}

SearchCondition cond(std::int32_t item, std::int32_t op, std::string v1, std::int32_t kind,
                     std::int32_t bound = -1, std::string v2 = {}) {
    return SearchCondition{item, op, bound, std::move(v1), std::move(v2), kind};
}

std::vector<std::int32_t> recordsOf(const SetRecord& set, std::int32_t records) {
    std::vector<std::int32_t> out;
    for (std::int32_t r = 0; r < records; ++r)
        if (!set.map || set.map->test(r)) out.push_back(r);
    return out;
}

// A numeric item's value; NULL for error and blank, which pass no comparison or range.
std::string number(int item) {
    return "v" + std::to_string(item);
}
std::string contains(const std::string& column, const std::string& text) {
    return "(" + column + " IS NOT NULL AND cp932_contains(" + column + "," + hexBlob(text) + "))";
}

TEST(FilterAgainstSqlite, EachConditionTableSelectsTheReferenceRecordsWithinTheCurrentSet) {
    const Questionnaire& data = questionnaire();
    zbq::test::AppHarness harness;
    ASSERT_TRUE(harness.load(data.definition, data.data));
    CKWApp& app = harness.app();
    CConsSheet sheet(app);
    app.SetConsolePort(&sheet);
    app.RebuildSetTree();
    app.MarkCurrentSet(0);
    CDataSelPage& page = *sheet.DataSelPage();
    const zbq::test::SqliteReference sql(data.table);

    // Sets 1 and 2 beside it, then set 3: the married respondents, made current.
    const std::string married = "v" + std::to_string(q::kMarried) + "=" + hexBlob("1");
    for (const auto& [item, code] :
         {std::pair{q::kMarried, "1"}, std::pair{q::kGender, "2"}, std::pair{q::kMarried, "1"}}) {
        app.SetSearchConditions({cond(item, 0, code, 0)});
        page.SelectSet(0);
        ASSERT_EQ(page.OnExecuteFilter(), 1);
    }
    ASSERT_EQ(app.Sets().back().number, 3);
    ASSERT_EQ(recordsOf(app.GetSetRecord(3), kRecords), sql.records(married));

    struct Case {
        std::vector<SearchCondition> conditions;
        FilterJoin join;
        std::string where;
    };
    const std::string age = number(q::kAge);
    const std::string date = number(q::kAnswerDate);
    const std::string time = number(q::kAnswerTime);
    const std::string surname = literal("田");
    const std::string tokyo = literal("東京");
    const std::string travel = literal("旅行");
    const Case cases[] = {
        {{cond(q::kAge, 0, "40", 2)}, FilterJoin::And, age + "=40"},
        // "!=" is the negation at the record: error and blank ages pass it.
        {{cond(q::kAge, 1, "40", 2)}, FilterJoin::And, "NOT coalesce(" + age + "=40,0)"},
        {{cond(q::kAge, 2, "60", 2)}, FilterJoin::And, age + ">60"},
        {{cond(q::kAge, 3, "60", 2)}, FilterJoin::And, age + ">=60"},
        {{cond(q::kAge, 4, "20", 2)}, FilterJoin::And, age + "<20"},
        {{cond(q::kAge, 5, "20", 2)}, FilterJoin::And, age + "<=20"},
        {{cond(q::kAge, 6, "30", 2, 0, "40")}, FilterJoin::And, age + ">30 AND " + age + "<40"},
        {{cond(q::kAge, 7, "30", 2, 1, "40")}, FilterJoin::And, age + ">=30 AND " + age + "<=40"},
        {{cond(q::kScore, 2, "75.5", 2)}, FilterJoin::And, "v15>75.5"},
        {{cond(q::kAnswerDate, 7, "2021/1/1", 2, 1, "2021/12/31")},
         FilterJoin::And,
         date + ">=20210101 AND " + date + "<=20211231"},
        {{cond(q::kAnswerTime, 4, "6:00:00", 2)}, FilterJoin::And, time + "<60000"},
        {{cond(q::kName, 0, surname, 1)}, FilterJoin::And, contains("v16", surname)},
        {{cond(q::kName, 1, surname, 1)}, FilterJoin::And, "NOT " + contains("v16", surname)},
        // Code items by display name (kind -1) and by code (kind 0).
        {{cond(q::kPrefecture, 0, tokyo, -1)}, FilterJoin::And, contains("n11", tokyo)},
        {{cond(q::kChildren, 2, "1", 0)}, FilterJoin::And, "v3>" + hexBlob("1")},
        {{cond(q::kSatisfaction, 1, "3", 0)}, FilterJoin::And, "v9<>" + hexBlob("3")},
        {{cond(q::kHobbies, 0, travel, -1)},
         FilterJoin::And,
         "EXISTS(SELECT 1 FROM a12 WHERE a12.rec=t.rowid AND " + contains("a12.n", travel) + ")"},
        {{cond(q::kAge, 3, "50", 2), cond(q::kGender, 0, "2", 0)},
         FilterJoin::And,
         age + ">=50 AND v1=" + hexBlob("2")},
        {{cond(q::kAge, 4, "18", 2), cond(q::kScore, 2, "99", 2), cond(q::kName, 0, surname, 1)},
         FilterJoin::Or,
         age + "<18 OR v15>99 OR " + contains("v16", surname)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        page.SelectSet(3);
        app.SetSearchConditions(c.conditions);
        page.SetJoin(c.join);
        const std::int32_t before = app.Search().KWgetDataCount();
        const std::int32_t next = app.GetNextSetNo();
        ASSERT_EQ(page.OnExecuteFilter(), 1);

        const SetRecord made = app.GetSetRecord(next);
        ASSERT_EQ(made.number, next);
        const std::vector<std::int32_t> expected =
            sql.records("(" + married + ") AND (" + c.where + ")");
        EXPECT_EQ(recordsOf(made, kRecords), expected);
        EXPECT_EQ(made.recordCount, static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(made.level, app.GetSetRecord(3).level + 1);
        EXPECT_EQ(page.CurrentSetNo(), next);
        EXPECT_EQ(app.Search().KWgetDataCount(), made.recordCount);
        // The new set sits in set 3's subtree.
        EXPECT_TRUE(isAncestorOrSelf(app.Sets(), 3, next));

        const std::string title = filterTitle(c.conditions, app.GetStructDef(), c.join);
        EXPECT_EQ(made.text1, title);
        const std::string log = sheet.LogPage()->OperationLogText();
        const std::string line = literal("検索[") + title + "] " + std::to_string(before) +
                                 literal(" 件 → ") + std::to_string(made.recordCount) +
                                 literal(" 件 ");
        EXPECT_NE(log.find(line), std::string::npos) << zbq::cp932::toUtf8(line);
    }
    app.SetConsolePort(nullptr);
}

}  // namespace
