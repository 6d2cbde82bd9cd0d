// The recount and the search on items of every shape the loaded data set keeps a compact form
// for: few values (one bit map per value), a single value in use, dictionaries of one and two
// bytes, unique values, MultiAns items whose records name a value once or twice and one with
// too many values for maps. Each count and each search must equal what the records say, one
// by one, under maps of every density.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <string>

#include "engine/kw_search.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;

constexpr int kRecords = 4133;  // the last word holds 5 records

// id rises without gaps; rising starts with an error, so its positions skip the blank entry;
// sparse is blank in every other record and holds many values besides.
enum Column { kId, kHundred, kOne, kFew, kDistinct, kWide, kTwice, kRising, kSparse, kColumns };

// A record as the naive side sees it: per Integer item its number (INT_MIN blank, INT_MAX
// error), per MultiAns item the indexes of its answer codes.
struct Record {
    int number[kColumns] = {};
    std::multiset<int> answers[kColumns];
};

constexpr int kBlankValue = INT32_MIN;
constexpr int kErrorValue = INT32_MAX;

std::string codeText(int c) {
    return "c" + std::to_string(100 + c);  // sorts as c
}

std::vector<zbq::test::FixtureCode> codes(int n) {
    std::vector<zbq::test::FixtureCode> out;
    for (int c = 0; c < n; ++c)
        out.push_back({codeText(c), ""});
    return out;
}

struct Forms {
    FixtureTable table;
    std::vector<Record> records;
};

Forms forms() {
    Forms f;
    f.table.items = {{"id", KW_TYPE_INTEGER},
                     {"hundred", KW_TYPE_INTEGER},
                     {"one", KW_TYPE_INTEGER},
                     {"few", KW_TYPE_INTEGER},
                     {"distinct", KW_TYPE_MULTI, codes(8)},
                     {"wide", KW_TYPE_MULTI, codes(40)},
                     {"twice", KW_TYPE_MULTI, codes(4)},
                     {"rising", KW_TYPE_INTEGER},
                     {"sparse", KW_TYPE_INTEGER}};
    std::mt19937 rng(5);
    auto number = [&](std::vector<std::string>& row, Record& rec, int column, int value) {
        const unsigned roll = rng() % 40;
        if (column != kId && column != kOne && roll == 0) {
            row.push_back("");
            rec.number[column] = kBlankValue;
        } else if (column != kId && column != kOne && roll == 1) {
            row.push_back("x");
            rec.number[column] = kErrorValue;
        } else {
            row.push_back(std::to_string(value));
            rec.number[column] = value;
        }
    };
    auto answers = [&](std::vector<std::string>& row, Record& rec, int column, int codeCount,
                       int most, bool repeat) {
        std::set<int> taken;
        std::string text;
        for (int n = 1 + static_cast<int>(rng() % static_cast<unsigned>(most)); n > 0; --n) {
            const int c = static_cast<int>(rng() % static_cast<unsigned>(codeCount));
            if (!repeat && !taken.insert(c).second) continue;
            if (!text.empty()) text += ',';
            text += codeText(c);
            rec.answers[column].insert(c);
        }
        row.push_back(text);
    };
    for (int r = 0; r < kRecords; ++r) {
        std::vector<std::string> row;
        Record rec;
        number(row, rec, kId, 1000 + r);
        number(row, rec, kHundred, static_cast<int>(rng() % 100));
        number(row, rec, kOne, 7);
        number(row, rec, kFew, static_cast<int>(rng() % 5));
        answers(row, rec, kDistinct, 8, 4, false);
        answers(row, rec, kWide, 40, 5, false);
        answers(row, rec, kTwice, 4, 5, true);
        row.push_back(r == 0 ? "x" : std::to_string(1000 + r));
        rec.number[kRising] = r == 0 ? kErrorValue : 1000 + r;
        row.push_back(r % 2 == 0 ? "" : std::to_string(r % 997));
        rec.number[kSparse] = r % 2 == 0 ? kBlankValue : r % 997;
        f.table.rows.push_back(std::move(row));
        f.records.push_back(std::move(rec));
    }
    return f;
}

struct Search {
    std::string expression;
    std::function<bool(const Record&)> holds;
};

bool has(const Record& r, int column, int code) {
    return r.answers[column].count(code) > 0;
}
bool ordinary(int v) {
    return v != kBlankValue && v != kErrorValue;
}

std::vector<Search> searches() {
    return {
        {"#0>=3000", [](const Record& r) { return r.number[kId] >= 3000; }},
        {"#0!=1500", [](const Record& r) { return r.number[kId] != 1500; }},
        {"#7<2000",
         [](const Record& r) { return ordinary(r.number[kRising]) && r.number[kRising] < 2000; }},
        {"#8=5-500",
         [](const Record& r) {
             return ordinary(r.number[kSparse]) && r.number[kSparse] >= 5 &&
                    r.number[kSparse] <= 500;
         }},
        {"#8!=7", [](const Record& r) { return r.number[kSparse] != 7; }},
        {"#1=20-60",
         [](const Record& r) {
             return ordinary(r.number[kHundred]) && r.number[kHundred] >= 20 &&
                    r.number[kHundred] <= 60;
         }},
        {"#1!=50", [](const Record& r) { return r.number[kHundred] != 50; }},
        {"#2=7", [](const Record&) { return true; }},
        {"#2!=7", [](const Record&) { return false; }},
        {"#3=4", [](const Record& r) { return r.number[kFew] == 4; }},
        {"#3<4", [](const Record& r) { return ordinary(r.number[kFew]) && r.number[kFew] < 4; }},
        {"#3!=4", [](const Record& r) { return r.number[kFew] != 4; }},
        {"#3>=1*#3<=3",
         [](const Record& r) {
             return ordinary(r.number[kFew]) && r.number[kFew] >= 1 && r.number[kFew] <= 3;
         }},
        {"#4=c103", [](const Record& r) { return has(r, kDistinct, 3); }},
        {"#4!=c103", [](const Record& r) { return !has(r, kDistinct, 3); }},
        {"#5=c139+#6=c101", [](const Record& r) { return has(r, kWide, 39) || has(r, kTwice, 1); }},
        {"#6!=c102*#3>2",
         [](const Record& r) {
             return !has(r, kTwice, 2) && ordinary(r.number[kFew]) && r.number[kFew] > 2;
         }},
        {"(#1<30+#4=c100)*#0<4000",
         [](const Record& r) {
             return ((ordinary(r.number[kHundred]) && r.number[kHundred] < 30) ||
                     has(r, kDistinct, 0)) &&
                    r.number[kId] < 4000;
         }},
    };
}

TEST(ValueForms, CountsEqualTheRecordsUnderEveryDensity) {
    zbq::test::TempDir dir;
    const Forms f = forms();
    const kw::DataFileContents contents = zbq::test::buildContents(f.table);
    zbq::test::writeFixture(dir.file("forms.zbq"), f.table);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("forms.zbq"), ""), 0);

    std::mt19937 rng(3);
    for (const double density : {0.0, 0.01, 0.3, 0.5, 0.97, 1.0}) {
        std::bernoulli_distribution on(density);
        auto map = std::make_shared<KW_map>(kRecords);
        std::vector<bool> in(kRecords);
        for (int r = 0; r < kRecords; ++r)
            if ((in[r] = on(rng))) map->set(r);
        s.KWmapSet(map);
        for (int item = 0; item < kColumns; ++item) {
            const kw::ItemBlock& b = contents.items[item];
            std::vector<int> naive(b.dict.size(), 0), counted;
            for (int r = 0; r < kRecords; ++r) {
                if (!in[r]) continue;
                if (b.def.type == KW_TYPE_MULTI) {
                    for (int a = b.starts[r]; a < b.starts[r + 1]; ++a)
                        ++naive[b.values[a]];
                } else {
                    ++naive[b.values[r]];
                }
            }
            for (const KW_dict& e : s.dictionary(item))
                counted.push_back(e.mapCount);
            EXPECT_EQ(counted, naive) << "item " << item << ", density " << density;
        }
    }
}

TEST(ValueForms, SearchesSelectTheRecordsThatHold) {
    zbq::test::TempDir dir;
    const Forms f = forms();
    zbq::test::writeFixture(dir.file("forms.zbq"), f.table);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("forms.zbq"), ""), 0);
    for (const Search& search : searches()) {
        std::vector<int> expected;
        for (int r = 0; r < kRecords; ++r)
            if (search.holds(f.records[r])) expected.push_back(r);
        EXPECT_EQ(s.KWsrch(search.expression), static_cast<int>(expected.size()))
            << search.expression;
        EXPECT_EQ(zbq::test::viewRecords(s), expected) << search.expression;
    }
}

// A dictionary beyond two bytes whose values repeat: the counts come from the full positions.
TEST(ValueForms, CountsOfADictionaryBeyondTwoBytes) {
    constexpr int kMany = 70001;
    zbq::test::TempDir dir;
    FixtureTable t;
    t.items = {{"n", KW_TYPE_INTEGER}};
    for (int r = 0; r < kMany; ++r)
        t.rows.push_back({std::to_string(r % 66000)});
    zbq::test::writeFixture(dir.file("many.zbq"), t);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("many.zbq"), ""), 0);
    ASSERT_GT(s.dictionary(0).size(), 65536u);
    auto map = std::make_shared<KW_map>(kMany);
    for (int r = 0; r < kMany; r += 3)
        map->set(r);
    s.KWmapSet(map);
    std::vector<int> naive(66000, 0);
    for (int r = 0; r < kMany; r += 3)
        ++naive[r % 66000];
    const auto dict = s.dictionary(0);
    for (int v = 0; v < 66000; ++v)
        ASSERT_EQ(dict[static_cast<std::size_t>(v) + KW_POS_FIRST_VALUE].mapCount, naive[v]) << v;
    EXPECT_EQ(s.KWsrch("#0>=65000"), 1000);  // records 65000 to 65999
}

}  // namespace
