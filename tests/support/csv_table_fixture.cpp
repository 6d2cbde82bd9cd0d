// Generated text tables for builder and merge tests.
#include "tests/support/csv_table_fixture.h"

#include <gtest/gtest.h>

#include <charconv>
#include <random>

#include "platform/core/cp932.h"

namespace zbq::test {

using zbq::cp932::literal;

namespace {

std::string shortest(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

}  // namespace

// Sets up the builder for the fixture's items, item i on source column i.
void describe(KW_create& create, const FixtureTable& t) {
    ASSERT_EQ(create.SetItemCount(static_cast<std::int32_t>(t.items.size())), 0);
    for (std::size_t i = 0; i < t.items.size(); ++i) {
        const auto& item = t.items[i];
        const auto n = static_cast<std::int32_t>(i);
        ASSERT_EQ(create.SetItem(n, item.name, item.type, n), 0);
        if (item.codes.empty()) continue;
        ASSERT_EQ(create.SetCodeCount(n, static_cast<std::int32_t>(item.codes.size())), 0);
        for (std::size_t j = 0; j < item.codes.size(); ++j) {
            ASSERT_EQ(create.SetCode(n, static_cast<std::int32_t>(j), item.codes[j].code,
                                     item.codes[j].name),
                      0);
        }
    }
    create.SetTitle(t.title);
}

// The table as delimited text; fields after the first that hold the separator are quoted.
std::string csvOf(const FixtureTable& t, char sep, const std::string& lineEnd,
                  const std::string& header) {
    std::string text = header;
    for (const auto& row : t.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) text += sep;
            const bool quote = i > 0 && row[i].find(sep) != std::string::npos;
            text += quote ? "\"" + row[i] + "\"" : row[i];
        }
        text += lineEnd;
    }
    return text;
}

// Items of every type with values, blanks, errors, CP932 text and separators inside fields.
CsvTable mixedTable(int records, unsigned seed) {
    CsvTable t;
    auto& f = t.fixture;
    f.title = literal("アンケート集計");
    f.items = {
        {literal("番号"), KW_TYPE_INTEGER},
        {literal("得点"), KW_TYPE_FLOAT},
        {literal("氏名"), KW_TYPE_STRING},
        {literal("性別"),
         KW_TYPE_STRING,
         {{"1", literal("男性")}, {"2", literal("女性")}, {"9", literal("不明")}}},
        {literal("趣味"), KW_TYPE_MULTI, {{"c", "C"}, {"a", "A"}, {"b", "B"}}},
        {literal("日付"), KW_TYPE_DATE},
        {literal("時刻"), KW_TYPE_TIME},
    };
    const std::string names[] = {literal("山田"), literal("佐藤"), literal("ｱｲｳ"), "Smith",
                                 "smith",         literal("表示"), "a,b",          "x"};
    std::mt19937 rng(seed);
    for (int r = 0; r < records; ++r) {
        std::vector<std::string> row, expected;
        auto cell = [&](std::string text, std::string value) {
            row.push_back(std::move(text));
            expected.push_back(std::move(value));
        };
        auto blankOr = [&](unsigned odds) { return rng() % odds == 0; };
        // Integer
        if (blankOr(15))
            cell("", "");
        else if (blankOr(15))
            cell("x", kErrorCell);
        else {
            const std::string v = std::to_string(static_cast<int>(rng() % 2001) - 1000);
            cell(v, v);
        }
        // Float
        if (blankOr(15))
            cell("", "");
        else if (blankOr(15))
            cell("abc", kErrorCell);
        else {
            const std::string v =
                shortest(static_cast<double>(static_cast<int>(rng() % 801) - 400) / 8);
            cell(v, v);
        }
        // String
        if (blankOr(10))
            cell("", "");
        else {
            std::string v = names[rng() % std::size(names)];
            if (rng() % 3 == 0) v += names[rng() % std::size(names)];
            cell(v, v);
        }
        // Code
        const char* codes[] = {"1", "2", "9"};
        if (blankOr(10))
            cell("", "");
        else if (blankOr(10))
            cell("3", kErrorCell);
        else {
            const std::string v = codes[rng() % 3];
            cell(v, v);
        }
        // MultiAns: every answer read back, errors as "zz"
        if (blankOr(10))
            cell("", "");
        else {
            std::string v;
            for (unsigned k = 0, parts = 1 + rng() % 3; k < parts; ++k) {
                v += k > 0 ? "," : "";
                v += rng() % 8 == 0 ? "zz" : std::string(1, static_cast<char>('a' + rng() % 3));
            }
            cell(v, v);
        }
        // Date
        if (blankOr(12))
            cell("", "");
        else if (blankOr(12))
            cell("2023/2/29", kErrorCell);
        else {
            const std::string v = std::to_string(1990 + rng() % 40) + "/" +
                                  std::to_string(1 + rng() % 12) + "/" +
                                  std::to_string(1 + rng() % 28);
            cell(v, v);
        }
        // Time
        if (blankOr(12))
            cell("", "");
        else if (blankOr(12))
            cell("25:00:00", kErrorCell);
        else {
            const std::string v = std::to_string(rng() % 24) + ":" + std::to_string(rng() % 60) +
                                  ":" + std::to_string(rng() % 60);
            cell(v, v);
        }
        f.rows.push_back(row);
        t.expected.push_back(expected);
    }
    return t;
}

// What cell (record r, item i) of a read-back file says, in the terms of Table::expected.
std::string readBack(const kw::DataFileContents& c, std::size_t i, std::size_t r) {
    const kw::ItemBlock& b = c.items[i];
    auto text = [&](std::int32_t p) -> std::string {
        if (p == KW_POS_BLANK) return "";
        const KW_dict& e = b.dict[static_cast<std::size_t>(p)];
        switch (b.def.type) {
            case KW_TYPE_INTEGER:
                return p == KW_POS_ERROR ? kErrorCell : std::to_string(e.high);
            case KW_TYPE_FLOAT:
                return p == KW_POS_ERROR ? kErrorCell : shortest(e.asDouble());
            case KW_TYPE_DATE:
                return p == KW_POS_ERROR ? kErrorCell
                                         : std::to_string(e.high / 10000) + "/" +
                                               std::to_string(e.high / 100 % 100) + "/" +
                                               std::to_string(e.high % 100);
            case KW_TYPE_TIME:
                return p == KW_POS_ERROR ? kErrorCell
                                         : std::to_string(e.high / 10000) + ":" +
                                               std::to_string(e.high / 100 % 100) + ":" +
                                               std::to_string(e.high % 100);
            case KW_TYPE_MULTI:
                return p == KW_POS_ERROR ? "zz" : std::string(b.strings.data() + e.high);
            default:
                return p == KW_POS_ERROR ? kErrorCell : std::string(b.strings.data() + e.high);
        }
    };
    if (b.def.type != KW_TYPE_MULTI) return text(b.values[r]);
    std::string joined;
    for (std::int32_t k = b.starts[r]; k < b.starts[r + 1]; ++k) {
        joined += (k > b.starts[r] ? "," : "") + text(b.values[static_cast<std::size_t>(k)]);
    }
    return joined;
}

}  // namespace zbq::test
