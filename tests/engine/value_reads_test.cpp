// Reading values by row: every view order (record order, sorted ascending and descending by
// each item, with and without a map) read forwards, backwards and by jumps must show the rows a
// naive reference computes, each with the values of its own record.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <numeric>
#include <random>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"
#include "tests/engine/random_table.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using zbq::test::TempDir;

const std::string kError = zbq::cp932::literal("ｴﾗｰ");
const std::string kBlank = zbq::cp932::literal("ﾌﾞﾗﾝｸ");

// What a cell of the fixture table must read back as, worked out from its text alone.
struct CellReference {
    const FixtureTable& table;

    // Integer, Date, Time: {result, value} as KWreadInteger gives them.
    std::pair<int, std::int32_t> integer(int record, int item) const {
        const std::string& cell = table.rows[record][item];
        if (cell.empty()) return {1, 0};
        const int type = table.items[item].type;
        int a = 0, b = 0, c = 0;
        if (type == KW_TYPE_INTEGER) {
            auto [p, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), a);
            if (ec != std::errc() || p != cell.data() + cell.size()) return {2, 0};
            return {0, a};
        }
        if (std::sscanf(cell.c_str(), type == KW_TYPE_DATE ? "%d/%d/%d" : "%d:%d:%d", &a, &b, &c) !=
            3)
            return {2, 0};
        const bool ok =
            type == KW_TYPE_DATE ? (b >= 1 && b <= 12 && c == 1) : (a < 24 && b < 60 && c < 60);
        return ok ? std::pair{0, a * 10000 + b * 100 + c} : std::pair{2, 0};
    }

    std::pair<int, double> floating(int record, int item) const {
        const std::string& cell = table.rows[record][item];
        if (cell.empty()) return {1, 0};
        double v = 0;
        auto [p, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), v);
        if (ec != std::errc() || p != cell.data() + cell.size()) return {2, 0};
        return {0, v};
    }

    std::string codeText(int item, const std::string& code, bool names) const {
        if (code.empty()) return kBlank;
        for (const auto& c : table.items[item].codes)
            if (c.code == code) return names ? c.name : c.code;
        return kError;
    }

    // String and Code items.
    std::string text(int record, int item, bool names) const {
        const std::string& cell = table.rows[record][item];
        if (table.items[item].codes.empty()) return cell.empty() ? kBlank : cell;
        return codeText(item, cell, names);
    }

    std::vector<std::string> answers(int record, int item, bool names) const {
        const std::string& cell = table.rows[record][item];
        std::vector<std::string> out;
        for (std::size_t from = 0;;) {
            const auto comma = cell.find(',', from);
            out.push_back(codeText(item, cell.substr(from, comma - from), names));
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
        return out;
    }
};

// The rows of a view worked out naively: stable sorts on whole sequences, then the map.
struct ViewReference {
    const kw::DataFileContents& c;
    std::vector<int> sequence;
    int sortItem = -1;
    int direction = 0;

    explicit ViewReference(const kw::DataFileContents& contents) : c(contents) { reset(); }

    void reset() {
        sequence.resize(static_cast<std::size_t>(c.recordCount));
        std::iota(sequence.begin(), sequence.end(), 0);
        sortItem = -1;
        direction = 0;
    }

    int key(int item, int record) const {
        const kw::ItemBlock& b = c.items[item];
        if (b.def.type != KW_TYPE_MULTI) return b.values[record];
        const auto first = b.values.begin() + b.starts[record];
        const auto last = b.values.begin() + b.starts[record + 1];
        return *std::min_element(first, last);
    }

    bool multi(int item) const { return c.items[item].def.type == KW_TYPE_MULTI; }

    void sort(int item, int dir) {
        if (item == -1) {
            const int keep = dir;
            reset();
            direction = keep;
            return;
        }
        const bool fromPrevious =
            sortItem >= 0 && sortItem != item && !multi(sortItem) && !multi(item);
        if (!fromPrevious) std::iota(sequence.begin(), sequence.end(), 0);
        std::stable_sort(sequence.begin(), sequence.end(),
                         [&](int a, int b) { return key(item, a) < key(item, b); });
        sortItem = item;
        direction = dir;
    }

    std::vector<int> rows(const std::vector<bool>* map) const {
        std::vector<int> out;
        for (int r : sequence)
            if (!map || (*map)[r]) out.push_back(r);
        if (sortItem >= 0 && direction == 1) std::reverse(out.begin(), out.end());
        return out;
    }
};

KW_mapPtr toMap(const std::vector<bool>& bits) {
    auto map = std::make_shared<KW_map>(static_cast<std::int32_t>(bits.size()));
    for (std::size_t r = 0; r < bits.size(); ++r)
        if (bits[r]) map->set(static_cast<std::int32_t>(r));
    return map;
}

class ValueReads : public ::testing::Test {
protected:
    void SetUp() override {
        table_ = zbq::test::randomTable(700, 20240229);
        contents_ = zbq::test::buildContents(table_);
        zbq::test::writeFixture(dir_.file("r.zbq"), table_);
        ASSERT_EQ(s_.KWopen(dir_.file("r.zbq"), ""), 0);
    }

    // Reads every row in the given order, checks each row's record and the values of all
    // items there; returns the records by row.
    std::vector<int> readAll(const std::vector<int>& rowOrder, const std::vector<int>& expected) {
        const CellReference ref{table_};
        std::vector<int> seen(expected.size(), -1);
        int wrongValues = 0;
        for (int row : rowOrder) {
            const int record = s_.RecordOfRow(row);
            seen[static_cast<std::size_t>(row)] = record;
            if (record != expected[static_cast<std::size_t>(row)]) continue;
            for (int item = 0; item < static_cast<int>(table_.items.size()); ++item) {
                const int type = table_.items[item].type;
                const bool names = s_.KWgetDisp(item) == 1;
                if (type == KW_TYPE_FLOAT) {
                    double v = -1;
                    const int rc = s_.KWreadDouble(row, item, &v);
                    const auto [want, value] = ref.floating(record, item);
                    wrongValues += rc != want || (rc == 0 && v != value);
                } else if (type == KW_TYPE_STRING) {
                    const char* text = nullptr;
                    wrongValues += s_.KWreadString(row, item, &text) != 0 ||
                                   text != ref.text(record, item, names);
                } else if (type == KW_TYPE_MULTI) {
                    const auto want = ref.answers(record, item, names);
                    std::int32_t n = -1;
                    for (std::size_t k = 0; k < want.size(); ++k) {
                        const char* a = s_.KWreadMulti(row, item, static_cast<int>(k), &n);
                        wrongValues += a == nullptr || a != want[k];
                    }
                    wrongValues += n != static_cast<int>(want.size());
                } else {
                    std::int32_t v = -1;
                    const int rc = s_.KWreadInteger(row, item, &v);
                    const auto [want, value] = ref.integer(record, item);
                    wrongValues += rc != want || (rc == 0 && v != value);
                }
            }
        }
        EXPECT_EQ(wrongValues, 0);
        return seen;
    }

    void checkView(const std::vector<int>& expected, const std::string& what) {
        SCOPED_TRACE(what);
        const int n = static_cast<int>(expected.size());
        ASSERT_EQ(s_.KWgetDataCount(), n);
        std::vector<int> forward(expected.size()), backward, jumps;
        std::iota(forward.begin(), forward.end(), 0);
        backward.assign(forward.rbegin(), forward.rend());
        std::mt19937 rng(static_cast<unsigned>(n));
        std::vector<int> shuffled = forward;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        for (int i = 0; i + 9 < n; i += 10)  // 9 then 5, 19 then 15, ...: backward jumps
            for (int row : {i + 9, i + 5, i + 6, i})
                jumps.push_back(row);
        EXPECT_EQ(readAll(forward, expected), expected);
        EXPECT_EQ(readAll(backward, expected), expected);
        EXPECT_EQ(readAll(shuffled, expected), expected);
        for (int row : jumps)
            ASSERT_EQ(s_.RecordOfRow(row), expected[row]) << "row " << row;
        int wrongRows = 0;
        for (int row = 0; row < n; ++row)
            wrongRows += s_.RowOfRecord(expected[row]) != row;
        EXPECT_EQ(wrongRows, 0);
        EXPECT_EQ(s_.RecordOfRow(n), -1);
        EXPECT_EQ(s_.RecordOfRow(-1), -1);
    }

    TempDir dir_;
    FixtureTable table_;
    kw::DataFileContents contents_;
    KW_search s_;
};

TEST_F(ValueReads, EveryViewOrderMatchesTheNaiveReference) {
    std::mt19937 rng(7);
    std::vector<bool> half(700), sparse(700), none(700, false);
    for (int r = 0; r < 700; ++r) {
        half[r] = rng() % 2;
        sparse[r] = rng() % 97 == 0;
    }
    const std::vector<std::pair<const char*, const std::vector<bool>*>> maps = {
        {"no map", nullptr}, {"half", &half}, {"sparse", &sparse}, {"empty", &none}};
    for (const auto& [mapName, bits] : maps) {
        ViewReference ref(contents_);
        if (bits)
            ASSERT_GE(s_.KWmapSet(toMap(*bits)), 0);
        else
            s_.KWmapClear();
        checkView(ref.rows(bits), std::string(mapName) + ", record order");
        // Sorted by each item in turn, so every sort after the first starts from the previous.
        for (int item = 0; item < 7; ++item) {
            for (int dir : {0, 1}) {
                ASSERT_EQ(s_.KWsortData(item, dir), 0);
                ref.sort(item, dir);
                if (item == 4) s_.KWdispName(4);
                if (item == 3) s_.KWdispName(3);
                checkView(ref.rows(bits), std::string(mapName) + ", item " + std::to_string(item) +
                                              " dir " + std::to_string(dir));
            }
        }
        s_.KWdispCode(3);
        s_.KWdispCode(4);
        ASSERT_EQ(s_.KWsortData(-1, 1), 0);
        ref.sort(-1, 1);
        checkView(ref.rows(bits), std::string(mapName) + ", record order after sorts");
    }
}

// A small table whose answers can be checked by eye.
class SmallReads : public ::testing::Test {
protected:
    void SetUp() override {
        const FixtureTable table{"small",
                                 {{"n", KW_TYPE_INTEGER},
                                  {"f", KW_TYPE_FLOAT},
                                  {"g", KW_TYPE_STRING, {{"1", "male"}, {"2", "female"}}},
                                  {"m", KW_TYPE_MULTI, {{"a", "Ay"}, {"b", "Bee"}}},
                                  {"k", KW_TYPE_INTEGER}},
                                 {{"3", "1.5", "1", "b", "1"},
                                  {"", "x", "2", "a,b", "1"},
                                  {"x", "", "3", "", "0"},
                                  {"1", "-2", "1", "b,a", "0"}}};
        zbq::test::writeFixture(dir_.file("s.zbq"), table);
        ASSERT_EQ(s_.KWopen(dir_.file("s.zbq"), ""), 0);
    }
    std::vector<int> rows() const { return zbq::test::viewRecords(s_); }

    TempDir dir_;
    KW_search s_;
};

TEST_F(SmallReads, BlankErrorAndWrongTypeResults) {
    std::int32_t v = 77;
    EXPECT_EQ(s_.KWreadInteger(1, 0, &v), 1);
    EXPECT_EQ(v, 77);
    EXPECT_EQ(s_.KWreadInteger(2, 0, &v), 2);
    EXPECT_EQ(v, 77);
    EXPECT_EQ(s_.KWreadInteger(0, 1, &v), -1);  // a Float item
    EXPECT_EQ(s_.KWreadInteger(4, 0, &v), -1);  // no such row
    EXPECT_EQ(s_.KWreadInteger(0, 9, &v), -1);  // no such item
    double d = 0;
    EXPECT_EQ(s_.KWreadDouble(3, 1, &d), 0);
    EXPECT_EQ(d, -2.0);
    EXPECT_EQ(s_.KWreadDouble(0, 0, &d), -1);
    const char* text = nullptr;
    EXPECT_EQ(s_.KWreadString(0, 3, &text), -1);  // MultiAns items are read with KWreadMulti
    EXPECT_EQ(s_.KWreadString(0, 0, &text), -1);
    EXPECT_EQ(s_.KWreadString(2, 2, &text), 0);
    EXPECT_EQ(text, kError);
    std::int32_t n = -1;
    EXPECT_EQ(s_.KWreadMulti(0, 2, 0, &n), nullptr);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(s_.KWreadMulti(1, 3, 2, &n), nullptr);
    EXPECT_EQ(n, 2);
    EXPECT_STREQ(s_.KWreadMulti(2, 3, 0, &n), kBlank.c_str());
}

TEST_F(SmallReads, DisplayNamesOnlyForItemsWithCodes) {
    EXPECT_EQ(s_.KWdispName(0), -1);
    EXPECT_EQ(s_.KWgetDisp(0), 0);
    ASSERT_EQ(s_.KWdispName(2), 0);
    const char* text = nullptr;
    ASSERT_EQ(s_.KWreadString(1, 2, &text), 0);
    EXPECT_STREQ(text, "female");
    ASSERT_EQ(s_.KWreadString(2, 2, &text), 0);
    EXPECT_EQ(text, kError);  // error and blank keep their captions
    ASSERT_EQ(s_.KWdispCode(2), 0);
    ASSERT_EQ(s_.KWreadString(1, 2, &text), 0);
    EXPECT_STREQ(text, "2");
}

TEST_F(SmallReads, SortsAreStableOverThePreviousSort) {
    ASSERT_EQ(s_.KWsortData(0, 0), 0);  // error, blank, 1, 3
    EXPECT_EQ(rows(), (std::vector<int>{2, 1, 3, 0}));
    ASSERT_EQ(s_.KWsortData(4, 0), 0);  // 0 then 1, each in the previous order
    EXPECT_EQ(rows(), (std::vector<int>{2, 3, 1, 0}));
    ASSERT_EQ(s_.KWsortData(4, 1), 0);  // same item again: from record order, reversed
    EXPECT_EQ(rows(), (std::vector<int>{1, 0, 3, 2}));
    ASSERT_EQ(s_.KWsortData(-2, 0), 0);  // only the direction
    EXPECT_EQ(rows(), (std::vector<int>{2, 3, 0, 1}));
    ASSERT_EQ(s_.KWsortData(-1, 1), 0);  // record order whatever the direction
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(s_.KWsortData(5, 0), -1);
}

TEST_F(SmallReads, MultipleAnswerSortShowsEachRecordOnceWithItsOwnAnswers) {
    // Smallest answers: record 0 b, 1 a, 2 blank, 3 a.
    ASSERT_EQ(s_.KWsortData(3, 0), 0);
    ASSERT_EQ(s_.KWgetDataCount(), 4);
    EXPECT_EQ(rows(), (std::vector<int>{2, 1, 3, 0}));
    std::int32_t n = 0;
    EXPECT_STREQ(s_.KWreadMulti(2, 3, 0, &n), "b");
    EXPECT_STREQ(s_.KWreadMulti(2, 3, 1, &n), "a");
    EXPECT_EQ(n, 2);
    EXPECT_STREQ(s_.KWreadMulti(3, 3, 0, &n), "b");
    EXPECT_EQ(n, 1);
}

TEST_F(SmallReads, RecordListsGroupRecordsByValue) {
    ASSERT_EQ(s_.BuildValueIndex(3), 0);
    const std::vector<std::vector<int>> want = {{}, {2}, {1, 3}, {0, 1, 3}};
    for (int p = 0; p < 4; ++p) {
        const auto list = s_.RecordList(3, p);
        EXPECT_EQ(std::vector<int>(list.begin(), list.end()), want[p]) << p;
    }
    EXPECT_TRUE(s_.RecordList(0, 2).empty());  // built for another item
    ASSERT_EQ(s_.BuildValueIndex(0), 0);
    const auto list = s_.RecordList(0, 0);
    EXPECT_EQ(std::vector<int>(list.begin(), list.end()), std::vector<int>{2});
    EXPECT_EQ(s_.BuildValueIndex(-1), -1);
}

}  // namespace
