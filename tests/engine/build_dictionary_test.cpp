// Dictionary building per item type. Generated columns with blanks, errors and CP932 text are
// checked against SQLite's GROUP BY ... ORDER BY (BINARY collation); the small cases of the
// rules are spelled out.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "engine/kw_create_dict.h"

namespace {

using kw::CodeEntry;
using kw::ItemBlock;

// One generated field: its text, and what the builder must make of it.
enum class Kind { Error = 0, Blank = 1, Value = 2 };
struct Cell {
    std::string text;
    Kind kind;
    std::variant<std::int64_t, double, std::string> value;  // when kind == Value
};

std::string columnBytes(const std::vector<std::string>& texts) {
    std::string bytes;
    for (const auto& t : texts)
        bytes += t + "\n";
    return bytes;
}

std::string columnBytes(const std::vector<Cell>& cells) {
    std::string bytes;
    for (const auto& c : cells)
        bytes += c.text + "\n";
    return bytes;
}

// Builds with the builder of `type` over the texts (codes for Code and MultiAns items).
ItemBlock build(std::int32_t type, const std::string& bytes, std::int32_t records,
                const std::vector<CodeEntry>& codes = {}) {
    CsvLineReader texts;
    texts.openBytes(bytes);
    kw::BuildContext context(nullptr);
    ItemBlock block;
    int rc = -1;
    if (type == KW_TYPE_MULTI || !codes.empty()) {
        rc = kw::buildCodeItem(type, codes, texts, records, context, block);
    } else if (type == KW_TYPE_STRING) {
        rc = kw::buildStringItem(texts, records, context, block);
    } else if (type == KW_TYPE_FLOAT) {
        rc = kw::buildFloatItem(texts, records, context, block);
    } else {
        rc = kw::buildIntegerItem(type, texts, records, context, block);
    }
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(kw::checkItemBlock(block, records)) << "the reader would refuse the block";
    return block;
}

std::string poolText(std::span<const char> pool, std::int32_t offset) {
    return std::string(pool.data() + offset);
}

// The reference: one row per distinct value with its count, from SQLite.
class Reference {
public:
    Reference() {
        EXPECT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        exec("CREATE TABLE cells (kind INTEGER, v)");
    }
    ~Reference() { sqlite3_close(db_); }

    void add(const Cell& c) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, "INSERT INTO cells VALUES (?, ?)", -1, &st, nullptr);
        sqlite3_bind_int(st, 1, static_cast<int>(c.kind));
        if (c.kind == Kind::Value) {
            if (auto* i = std::get_if<std::int64_t>(&c.value)) sqlite3_bind_int64(st, 2, *i);
            if (auto* d = std::get_if<double>(&c.value)) sqlite3_bind_double(st, 2, *d);
            // Blobs compare as unsigned bytes, shorter first on a common prefix: BINARY.
            if (auto* s = std::get_if<std::string>(&c.value)) {
                sqlite3_bind_blob(st, 2, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
            }
        }
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
    }

    struct Row {
        std::variant<std::int64_t, double, std::string> value;
        std::int32_t count;
    };
    std::vector<Row> groups() {
        std::vector<Row> rows;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_,
                           "SELECT v, COUNT(*) FROM cells WHERE kind = 2 GROUP BY v "
                           "ORDER BY v COLLATE BINARY",
                           -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            Row row;
            switch (sqlite3_column_type(st, 0)) {
                case SQLITE_INTEGER:
                    row.value = static_cast<std::int64_t>(sqlite3_column_int64(st, 0));
                    break;
                case SQLITE_FLOAT:
                    row.value = sqlite3_column_double(st, 0);
                    break;
                default:
                    row.value = std::string(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                                            sqlite3_column_bytes(st, 0));
            }
            row.count = sqlite3_column_int(st, 1);
            rows.push_back(row);
        }
        sqlite3_finalize(st);
        return rows;
    }

    std::int32_t countOf(Kind kind) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM cells WHERE kind = ?", -1, &st, nullptr);
        sqlite3_bind_int(st, 1, static_cast<int>(kind));
        sqlite3_step(st);
        const std::int32_t n = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        return n;
    }

private:
    void exec(const char* sql) { EXPECT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), 0); }
    sqlite3* db_ = nullptr;
};

// The value an ordinary dictionary entry holds, in the reference's terms.
std::variant<std::int64_t, double, std::string> entryValue(std::int32_t type, const ItemBlock& b,
                                                           std::size_t p) {
    if (type == KW_TYPE_FLOAT) return b.dict[p].asDouble();
    if (type == KW_TYPE_STRING) return poolText(b.strings, b.dict[p].high);
    return static_cast<std::int64_t>(b.dict[p].high);
}

// Checks the block against SQLite's grouping of the same cells, and every record's position.
void expectMatchesReference(std::int32_t type, const std::vector<Cell>& cells) {
    Reference ref;
    for (const Cell& c : cells)
        ref.add(c);
    const auto records = static_cast<std::int32_t>(cells.size());
    const ItemBlock b = build(type, columnBytes(cells), records);

    const auto groups = ref.groups();
    ASSERT_EQ(b.dict.size(), groups.size() + 2);
    EXPECT_EQ(b.dict[0].count, ref.countOf(Kind::Error));
    EXPECT_EQ(b.dict[1].count, ref.countOf(Kind::Blank));
    for (std::size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(entryValue(type, b, i + 2), groups[i].value) << "entry " << i + 2;
        EXPECT_EQ(b.dict[i + 2].count, groups[i].count) << "entry " << i + 2;
    }
    ASSERT_EQ(b.values.size(), cells.size());
    for (std::size_t r = 0; r < cells.size(); ++r) {
        const std::int32_t p = b.values[r];
        switch (cells[r].kind) {
            case Kind::Error:
                EXPECT_EQ(p, KW_POS_ERROR) << "record " << r << " " << cells[r].text;
                break;
            case Kind::Blank:
                EXPECT_EQ(p, KW_POS_BLANK) << "record " << r;
                break;
            case Kind::Value:
                ASSERT_GE(p, KW_POS_FIRST_VALUE) << "record " << r << " " << cells[r].text;
                EXPECT_EQ(entryValue(type, b, static_cast<std::size_t>(p)), cells[r].value)
                    << "record " << r << " " << cells[r].text;
        }
    }
}

// A few thousand distinct values are hashed; tens of thousands take the sorting road. Both
// spreads run through the same reference.
TEST(DictionaryAgainstSqlite, IntegerItems) {
    for (const unsigned spread : {3000u, 200000u}) {
        SCOPED_TRACE(spread);
        std::mt19937 rng(1);
        std::vector<Cell> cells;
        const char* errors[] = {"x", "1.5", "+3", "2147483648", "-2147483648", "1 2", "--"};
        for (int r = 0; r < 25000; ++r) {
            const unsigned pick = rng() % 20;
            if (pick == 0) {
                cells.push_back({"", Kind::Blank, {}});
            } else if (pick == 1) {
                cells.push_back({errors[rng() % 7], Kind::Error, {}});
            } else {
                std::int64_t v = static_cast<std::int64_t>(rng() % spread) -
                                 static_cast<std::int64_t>(spread / 2);
                if (pick == 2) v = rng() % 2 ? 2147483647 : -2147483647;
                std::string text = std::to_string(v);
                if (pick == 3 && v >= 0) text = "00" + text;  // leading zeros: the same value
                if (pick == 4 && v == 0) text = "-0";
                cells.push_back({text, Kind::Value, v});
            }
        }
        cells.push_back({"-", Kind::Value, std::int64_t{0}});
        expectMatchesReference(KW_TYPE_INTEGER, cells);
    }
}

TEST(DictionaryAgainstSqlite, FloatItems) {
    const std::pair<const char*, double> values[] = {
        {"0", 0.0},       {"-0", 0.0},
        {"1.5", 1.5},     {"1.50", 1.5},
        {"15e-1", 1.5},   {"100", 100},
        {"1e2", 100},     {"-3.25", -3.25},
        {".5", 0.5},      {"-1e300", -1e300},
        {"2.5E+3", 2500}, {"1e-400", 0.0},
        {"0.1", 0.1},     {"0.30000000000000004", 0.30000000000000004},
    };
    const char* errors[] = {".", "e", "1e999", "1,5", "abc", "1-"};
    for (const int spread : {2000, 400000}) {
        SCOPED_TRACE(spread);
        std::mt19937 rng(2);
        std::vector<Cell> cells;
        for (int r = 0; r < 25000; ++r) {
            const unsigned pick = rng() % 20;
            if (pick == 0) {
                cells.push_back({"", Kind::Blank, {}});
            } else if (pick == 1) {
                cells.push_back({errors[rng() % 6], Kind::Error, {}});
            } else if (pick < 10) {
                const auto& [text, v] = values[rng() % std::size(values)];
                cells.push_back({text, Kind::Value, v});
            } else {
                const double v =
                    static_cast<double>(static_cast<int>(rng() % spread) - spread / 2) / 8;
                char text[64];
                std::snprintf(text, sizeof text, "%.3f", v);
                cells.push_back({text, Kind::Value, v});
            }
        }
        expectMatchesReference(KW_TYPE_FLOAT, cells);
    }
}

TEST(DictionaryAgainstSqlite, StringItemsWithCp932Text) {
    std::mt19937 rng(3);
    // ASCII of both cases, half-width katakana and double-byte characters (hiragana, kanji,
    // a trail byte that is an ASCII letter) so that unsigned order and prefixes matter.
    const std::string pieces[] = {"a",        "B",        "b",        "z",        "\xB1",
                                  "\xDD",     "\x82\xA0", "\x82\xA2", "\x88\x9F", "\x83\x5C",
                                  "\x81\x40", "~",        " "};
    std::vector<Cell> cells;
    for (int r = 0; r < 20000; ++r) {
        if (rng() % 25 == 0) {
            cells.push_back({"", Kind::Blank, {}});
            continue;
        }
        std::string text;
        const unsigned length = 1 + rng() % (rng() % 8 == 0 ? 12 : 3);
        for (unsigned k = 0; k < length; ++k)
            text += pieces[rng() % std::size(pieces)];
        cells.push_back({text, Kind::Value, text});
    }
    expectMatchesReference(KW_TYPE_STRING, cells);
}

TEST(DictionaryAgainstSqlite, DateAndTimeItems) {
    std::mt19937 rng(4);
    std::vector<Cell> dates, times;
    for (int r = 0; r < 10000; ++r) {
        const int y = 1990 + static_cast<int>(rng() % 40), m = 1 + static_cast<int>(rng() % 12),
                  d = 1 + static_cast<int>(rng() % 28);
        const std::string sep = rng() % 2 ? "/" : "/0";
        const unsigned pick = rng() % 20;
        if (pick == 0) {
            dates.push_back({"", Kind::Blank, {}});
        } else if (pick == 1) {
            const char* errors[] = {"2023/2/29", "2024/13/1", "2024-01-01", "999/1/1", "1/1"};
            dates.push_back({errors[rng() % 5], Kind::Error, {}});
        } else {
            dates.push_back({std::to_string(y) + sep + std::to_string(m) + "/" + std::to_string(d),
                             Kind::Value, std::int64_t{y * 10000 + m * 100 + d}});
        }
        const int h = static_cast<int>(rng() % 24), mi = static_cast<int>(rng() % 60),
                  s = static_cast<int>(rng() % 60);
        if (pick == 0) {
            times.push_back({"", Kind::Blank, {}});
        } else if (pick == 1) {
            const char* errors[] = {"24:00:00", "12:60:00", "1:2", "noon"};
            times.push_back({errors[rng() % 4], Kind::Error, {}});
        } else {
            times.push_back({std::to_string(h) + ":" + std::to_string(mi) + ":" + std::to_string(s),
                             Kind::Value, std::int64_t{h * 10000 + mi * 100 + s}});
        }
    }
    expectMatchesReference(KW_TYPE_DATE, dates);
    expectMatchesReference(KW_TYPE_TIME, times);
}

TEST(DictionaryAgainstSqlite, CodeAndMultiAnswerItemsCountEveryCode) {
    std::mt19937 rng(5);
    // Codes of one to seven bytes are found by another index than longer ones: both kinds,
    // and texts next to them that are no code; the last code is never used.
    const std::vector<CodeEntry> codes = {
        {"10", "ten"},        {"2", "two"},          {"\x82\xA0", "a-kana"},
        {"1", "one"},         {"B", "bee"},          {"b", "small bee"},
        {"1234567", "seven"}, {"12345678", "eight"}, {"a much longer code", "long"},
        {"99", "never used"}};
    const std::size_t used = codes.size() - 1;
    const std::string notCodes[] = {"3", "1234568", "12345679", "a much longer codf"};
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_exec(db,
                 "CREATE TABLE codes (c BLOB); CREATE TABLE answers (c BLOB); "
                 "CREATE TABLE single (c BLOB)",
                 nullptr, nullptr, nullptr);
    auto insert = [&](const char* table, const std::string& c) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, (std::string("INSERT INTO ") + table + " VALUES (?)").c_str(), -1,
                           &st, nullptr);
        sqlite3_bind_blob(st, 1, c.data(), static_cast<int>(c.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_finalize(st);
    };
    for (const auto& c : codes)
        insert("codes", c.code);

    std::vector<std::string> singleTexts, multiTexts;
    std::int32_t singleErrors = 0, singleBlanks = 0, multiErrors = 0, multiBlanks = 0;
    for (int r = 0; r < 5000; ++r) {
        const unsigned pick = rng() % 10;
        if (pick == 0) {
            singleTexts.push_back("");
            multiTexts.push_back("");
            ++singleBlanks;
            ++multiBlanks;
            continue;
        }
        if (pick == 1) {
            singleTexts.push_back(notCodes[rng() % 4]);
            ++singleErrors;
        } else {
            singleTexts.push_back(codes[rng() % used].code);
            insert("single", singleTexts.back());
        }
        std::string text;
        const unsigned parts = 1 + rng() % 3;
        for (unsigned k = 0; k < parts; ++k) {
            if (k > 0) text += ",";
            if (rng() % 10 == 0) {
                text += "zz";
                ++multiErrors;
            } else {
                const std::string& c = codes[rng() % used].code;
                text += c;
                insert("answers", c);
            }
        }
        multiTexts.push_back(text);
    }

    auto expectedCounts = [&](const char* answers) {
        std::vector<std::pair<std::string, std::int32_t>> rows;
        sqlite3_stmt* st = nullptr;
        const std::string sql = std::string("SELECT codes.c, COUNT(a.c) FROM codes LEFT JOIN ") +
                                answers + " a ON a.c = codes.c GROUP BY codes.c ORDER BY codes.c";
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            rows.emplace_back(std::string(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                                          sqlite3_column_bytes(st, 0)),
                              sqlite3_column_int(st, 1));
        }
        sqlite3_finalize(st);
        return rows;
    };

    const auto records = static_cast<std::int32_t>(singleTexts.size());
    const ItemBlock code = build(KW_TYPE_STRING, columnBytes(singleTexts), records, codes);
    const ItemBlock multi = build(KW_TYPE_MULTI, columnBytes(multiTexts), records, codes);

    for (const auto& [block, table, errors, blanks] :
         {std::tuple(&code, "single", singleErrors, singleBlanks),
          std::tuple(&multi, "answers", multiErrors, multiBlanks)}) {
        const auto rows = expectedCounts(table);
        ASSERT_EQ(block->dict.size(), codes.size() + 2);
        EXPECT_EQ(block->dict[0].count, errors);
        EXPECT_EQ(block->dict[1].count, blanks);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const KW_dict& e = block->dict[i + 2];
            EXPECT_EQ(poolText(block->strings, e.high), rows[i].first);
            EXPECT_EQ(e.count, rows[i].second) << rows[i].first;
            const auto named = std::find_if(codes.begin(), codes.end(), [&](const CodeEntry& c) {
                return c.code == rows[i].first;
            });
            EXPECT_EQ(poolText(block->names, e.low), named->name);
        }
    }
    // Every record's answers name its parts, in order.
    ASSERT_EQ(multi.starts.size(), multiTexts.size() + 1);
    for (std::size_t r = 0; r < multiTexts.size(); ++r) {
        std::string joined;
        for (std::int32_t k = multi.starts[r]; k < multi.starts[r + 1]; ++k) {
            const std::int32_t p = multi.values[static_cast<std::size_t>(k)];
            if (k > multi.starts[r]) joined += ",";
            joined += p == KW_POS_ERROR   ? "zz"
                      : p == KW_POS_BLANK ? ""
                                          : poolText(multi.strings, multi.dict[p].high);
        }
        EXPECT_EQ(joined, multiTexts[r]) << "record " << r;
    }
    sqlite3_close(db);
}

TEST(Dictionary, IntegerExampleOfTheRules) {
    // 5, blank, x, 5, -3
    const ItemBlock b = build(KW_TYPE_INTEGER, "5\n\nx\n5\n-3\n", 5);
    ASSERT_EQ(b.dict.size(), 4u);
    const std::int32_t expected[4][4] = {// start, count, low, high
                                         {0, 1, -2, 0},
                                         {1, 1, -1, 0},
                                         {2, 1, 0, -3},
                                         {3, 2, 0, 5}};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(b.dict[p].start, expected[p][0]);
        EXPECT_EQ(b.dict[p].count, expected[p][1]);
        EXPECT_EQ(b.dict[p].low, expected[p][2]);
        EXPECT_EQ(b.dict[p].high, expected[p][3]);
    }
    EXPECT_EQ(b.values, (kw::LargeVector<std::int32_t>{3, 1, 0, 3, 2}));
    EXPECT_EQ(b.def.listLength, 5);
}

TEST(Dictionary, FloatZeroAndMinusZeroShareTheFirstOnesEntry) {
    const ItemBlock b = build(KW_TYPE_FLOAT, "-0\n0\n0.0\n", 3);
    ASSERT_EQ(b.dict.size(), 3u);
    EXPECT_EQ(b.dict[2].count, 3);
    EXPECT_TRUE(std::signbit(b.dict[2].asDouble())) << "the value met first is kept";
    EXPECT_EQ(b.dict[0].low, -2);
    EXPECT_EQ(b.dict[0].high, 0);
    EXPECT_EQ(b.dict[1].low, -1);

    // The same when the item has too many values to hash, the zeros met before and after.
    std::string texts = "-0\n";
    for (int v = 1; v <= 10000; ++v)
        texts += std::to_string(v) + ".5\n";
    texts += "0\n";
    const ItemBlock many = build(KW_TYPE_FLOAT, texts, 10002);
    ASSERT_EQ(many.dict.size(), 10003u);
    EXPECT_EQ(many.dict[2].count, 2);
    EXPECT_TRUE(std::signbit(many.dict[2].asDouble()));
    EXPECT_EQ(many.values.front(), 2);
    EXPECT_EQ(many.values.back(), 2);
}

TEST(Dictionary, StringOrderIsByUnsignedBytesAndPoolStartsWithTheCaptions) {
    const ItemBlock b = build(KW_TYPE_STRING, "b\nB\na\nA\n\xB1\nab\n", 6);
    std::vector<std::string> order;
    for (std::size_t p = 2; p < b.dict.size(); ++p)
        order.push_back(poolText(b.strings, b.dict[p].high));
    EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "a", "ab", "b", "\xB1"}));
    EXPECT_EQ(std::string(b.strings.data(), 10), std::string(KW_CAPTIONS, 10));
    EXPECT_EQ(b.dict[1].high, 4);
    EXPECT_EQ(b.dict[2].high, 10);
}

TEST(Dictionary, CodeTableEntriesExistWhetherOrNotTheyOccur) {
    const std::vector<CodeEntry> codes = {{"c", "C"}, {"a", "A"}, {"b", "B"}};
    const ItemBlock b = build(KW_TYPE_STRING, "x\n\n", 2, codes);
    ASSERT_EQ(b.dict.size(), 5u);
    for (std::size_t p = 2; p < 5; ++p)
        EXPECT_EQ(b.dict[p].count, 0);
    EXPECT_EQ(b.values, (kw::LargeVector<std::int32_t>{0, 1}));
    EXPECT_EQ(poolText(b.names, b.dict[2].low), "A");  // code-text order, not table order
    EXPECT_EQ(poolText(b.names, b.dict[4].low), "C");
}

TEST(Dictionary, DuplicateCodeTextNamesTheFirstAndItsTwinStaysUnreachable) {
    for (const std::string a : {"a", "a code longer than seven bytes"}) {
        const std::vector<CodeEntry> codes = {{a, "first"}, {"z", "Z"}, {a, "second"}};
        const ItemBlock b = build(KW_TYPE_STRING, a + "\n" + a + "\nz\n", 3, codes);
        ASSERT_EQ(b.dict.size(), 5u);
        EXPECT_EQ(poolText(b.names, b.dict[2].low), "first");
        EXPECT_EQ(b.dict[2].count, 2);
        EXPECT_EQ(poolText(b.names, b.dict[3].low), "second");
        EXPECT_EQ(b.dict[3].count, 0);
        EXPECT_EQ(b.values, (kw::LargeVector<std::int32_t>{2, 2, 4}));
    }
}

TEST(Dictionary, MultiAnswerParts) {
    const std::vector<CodeEntry> codes = {{"a", "A"}, {"b", "B"}};
    // a,b,zz: two answers and an error; empty: one blank; "a,": the empty last part is dropped;
    // a quoted part keeps its comma (and is then no code); "\"\"": nothing left, one blank.
    const ItemBlock b = build(KW_TYPE_MULTI, "a,b,zz\n\na,\nb,\"a,b\"\n\"\"\n", 5, codes);
    EXPECT_EQ(b.starts, (kw::LargeVector<std::int32_t>{0, 3, 4, 5, 7, 8}));
    EXPECT_EQ(b.values, (kw::LargeVector<std::int32_t>{2, 3, 0, 1, 2, 3, 0, 1}));
    EXPECT_EQ(b.def.listLength, 8);
    EXPECT_EQ(b.dict[0].count, 2);
    EXPECT_EQ(b.dict[1].count, 2);
    EXPECT_EQ(b.dict[2].count, 2);
    EXPECT_EQ(b.dict[3].count, 2);
}

TEST(Dictionary, ColumnShorterThanTheRecordCountIsAReadFailure) {
    CsvLineReader texts;
    texts.openBytes("1\n2\n");
    kw::BuildContext context(nullptr);
    ItemBlock block;
    EXPECT_EQ(kw::buildIntegerItem(KW_TYPE_INTEGER, texts, 3, context, block), EIO);
}

}  // namespace
