// The current map: making maps current with the recount of every value, the set algebra and
// the exclusions, each against a naive reference on random maps over every item type.
#include <gtest/gtest.h>

#include <random>

#include "engine/kw_search.h"
#include "tests/engine/random_table.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using zbq::test::TempDir;
using Bits = std::vector<bool>;

KW_mapPtr toMap(const Bits& bits, bool dirtyTail = false) {
    auto map = std::make_shared<KW_map>(static_cast<std::int32_t>(bits.size()));
    for (std::size_t r = 0; r < bits.size(); ++r)
        if (bits[r]) map->set(static_cast<std::int32_t>(r));
    // Bits after the last record, as a map from elsewhere might carry them.
    if (dirtyTail && bits.size() % 32 != 0) map->data()[map->wordCount() - 1] |= 1u;
    return map;
}

Bits toBits(const KW_mapPtr& map, std::size_t records) {
    Bits bits(records, true);
    if (map)
        for (std::size_t r = 0; r < records; ++r)
            bits[r] = map->test(static_cast<int>(r));
    return bits;
}

int count(const Bits& bits) {
    return static_cast<int>(std::count(bits.begin(), bits.end(), true));
}

// No bit after the last record.
bool cleanTail(const KW_map& map, int records) {
    for (int r = records; r < map.wordCount() * 32; ++r)
        if (map.test(r)) return false;
    return true;
}

class RecordMaps : public ::testing::Test {
protected:
    static constexpr int kRecords = 1000;  // not a multiple of 32: the last word has a tail

    void SetUp() override {
        table_ = zbq::test::randomTable(kRecords, 99);
        contents_ = zbq::test::buildContents(table_);
        zbq::test::writeFixture(dir_.file("m.zbq"), table_);
        ASSERT_EQ(s_.KWopen(dir_.file("m.zbq"), ""), 0);
    }

    Bits randomBits(double density) {
        std::bernoulli_distribution on(density);
        Bits bits(kRecords);
        for (int r = 0; r < kRecords; ++r)
            bits[r] = on(rng_);
        return bits;
    }

    // The current map and every in-map count equal the reference.
    void expectCurrent(const Bits& want) {
        ASSERT_EQ(s_.KWgetDataCount(), count(want));
        EXPECT_EQ(toBits(s_.KWmapGet(), kRecords), want);
        if (s_.KWmapGet()) {
            EXPECT_TRUE(cleanTail(*s_.KWmapGet(), kRecords));
        }
        for (int item = 0; item < static_cast<int>(contents_.items.size()); ++item) {
            const kw::ItemBlock& b = contents_.items[item];
            std::vector<int> naive(b.dict.size(), 0);
            for (int r = 0; r < kRecords; ++r) {
                if (!want[r]) continue;
                if (b.def.type == KW_TYPE_MULTI)
                    for (int a = b.starts[r]; a < b.starts[r + 1]; ++a)
                        ++naive[b.values[a]];
                else
                    ++naive[b.values[r]];
            }
            const auto dict = s_.dictionary(item);
            ASSERT_EQ(dict.size(), naive.size());
            std::vector<int> counted;
            for (const KW_dict& e : dict)
                counted.push_back(e.mapCount);
            EXPECT_EQ(counted, naive) << "item " << item;
        }
    }

    TempDir dir_;
    FixtureTable table_;
    kw::DataFileContents contents_;
    KW_search s_;
    std::mt19937 rng_{12345};
};

TEST_F(RecordMaps, SetAlgebraAndRecountMatchTheNaiveReference) {
    const Bits all(kRecords, true);
    for (int round = 0; round < 6; ++round) {
        const Bits a = randomBits(0.1 + 0.15 * round), b = randomBits(0.5);
        const bool dirty = round % 2 == 1;
        const KW_mapPtr ma = toMap(a, dirty), mb = toMap(b, dirty);
        const KW_map copyA = *ma, copyB = *mb;
        Bits want(kRecords);

        for (int r = 0; r < kRecords; ++r)
            want[r] = a[r] && b[r];
        EXPECT_EQ(s_.KWmapProduct(ma, mb), count(want));
        expectCurrent(want);
        EXPECT_EQ(s_.KWmapProduct(ma, nullptr), count(a));
        expectCurrent(a);
        EXPECT_EQ(s_.KWmapProduct(nullptr, mb), count(b));
        expectCurrent(b);

        for (int r = 0; r < kRecords; ++r)
            want[r] = a[r] || b[r];
        EXPECT_EQ(s_.KWmapUnion(ma, mb), count(want));
        expectCurrent(want);
        EXPECT_EQ(s_.KWmapUnion(ma, nullptr), kRecords);
        expectCurrent(all);

        for (int r = 0; r < kRecords; ++r)
            want[r] = a[r] && !b[r];
        EXPECT_EQ(s_.KWmapDifference(ma, mb), count(want));
        expectCurrent(want);
        for (int r = 0; r < kRecords; ++r)
            want[r] = !b[r];
        EXPECT_EQ(s_.KWmapDifference(nullptr, mb), count(want));
        expectCurrent(want);
        EXPECT_EQ(s_.KWmapDifference(ma, nullptr), 0);
        expectCurrent(Bits(kRecords, false));

        for (int r = 0; r < kRecords; ++r)
            want[r] = !a[r];
        EXPECT_EQ(s_.KWmapComplement(ma), count(want));
        expectCurrent(want);

        EXPECT_EQ(s_.KWmapSet(ma), count(a));
        expectCurrent(a);
        EXPECT_EQ(*ma, copyA);  // arguments are never changed
        EXPECT_EQ(*mb, copyB);
    }
    EXPECT_EQ(s_.KWmapComplement(nullptr), 0);
    EXPECT_EQ(s_.KWmapProduct(nullptr, nullptr), kRecords);
    EXPECT_EQ(s_.KWmapClear(), kRecords);
    expectCurrent(all);  // without a map every in-map count is the whole count
}

TEST_F(RecordMaps, CountsFollowEveryChangeWhicheverItemsAreReadInBetween) {
    // Only some items are read under each map; each must still see its own map's counts.
    Bits last;
    for (int round = 0; round < 5; ++round) {
        last = randomBits(0.3);
        ASSERT_EQ(s_.KWmapSet(toMap(last)), count(last));
        (void)s_.dictionary(round % 7);
    }
    expectCurrent(last);
}

TEST_F(RecordMaps, AMapOfAnotherLengthChangesNothing) {
    const Bits a = randomBits(0.5);
    ASSERT_EQ(s_.KWmapSet(toMap(a)), count(a));
    const auto wrong = std::make_shared<KW_map>(kRecords + 32);
    EXPECT_EQ(s_.KWmapSet(wrong), -1);
    EXPECT_EQ(s_.KWmapProduct(wrong, nullptr), -1);
    EXPECT_EQ(s_.KWmapUnion(nullptr, wrong), -1);
    EXPECT_EQ(s_.KWmapDifference(wrong, nullptr), -1);
    EXPECT_EQ(s_.KWmapComplement(wrong), -1);
    expectCurrent(a);
}

TEST_F(RecordMaps, TheEngineKeepsItsCurrentMapAliveAfterTheCallerLetsGo) {
    auto map = std::make_shared<KW_map>(kRecords);
    map->set(3);
    map->set(999);
    ASSERT_EQ(s_.KWmapSet(map), 2);
    map.reset();  // the set that owned it is gone
    EXPECT_EQ(s_.RecordOfRow(1), 999);
    EXPECT_TRUE(s_.KWmapGet()->test(3));
}

TEST_F(RecordMaps, AChangeOfMapReturnsTheViewToRecordOrder) {
    ASSERT_EQ(s_.KWsortData(0, 1), 0);
    ASSERT_EQ(s_.KWpassDataFromMap(0, 2), 0);
    const Bits a = randomBits(0.5);
    s_.KWmapSet(toMap(a));
    EXPECT_EQ(s_.SortItem(), -1);
    EXPECT_EQ(s_.SortDirection(), 0);
    EXPECT_EQ(s_.KWpassDataGet(0, 2), -1);  // the flags went with the old map
    int first = 0;
    while (!a[first])
        ++first;
    EXPECT_EQ(s_.RecordOfRow(0), first);
}

TEST(RecordMapEdges, ThirtyThreeRecords) {
    TempDir dir;
    zbq::test::writeFixture(
        dir.file("33.zbq"),
        {"t", {{"n", KW_TYPE_INTEGER}}, std::vector(33, std::vector{std::string("1")})});
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("33.zbq"), ""), 0);
    EXPECT_EQ(s.KWmapGetLength(), 8);
    auto first = std::make_shared<KW_map>(33);
    first->set(0);
    EXPECT_EQ(s.KWmapComplement(first), 32);
    EXPECT_EQ(s.KWmapComplement(std::make_shared<KW_map>(33)), 33);
    EXPECT_EQ(s.KWmapUnion(first, nullptr), 33);
    EXPECT_EQ(s.KWmapComplement(nullptr), 0);
    EXPECT_EQ(s.KWmapClear(), 33);
    EXPECT_EQ(s.KWgetDataCount(), 33);
}

// Exclusions on a table whose records are known by heart.
class Exclusions : public ::testing::Test {
protected:
    void SetUp() override {
        // Positions of n: error 0, blank 1, 1 -> 2, 2 -> 3. Of m: error, blank, a 2, b 3.
        const FixtureTable table{
            "x",
            {{"n", KW_TYPE_INTEGER}, {"m", KW_TYPE_MULTI, {{"a", "A"}, {"b", "B"}}}},
            {{"1", "a"}, {"2", "a,b"}, {"", "b"}, {"x", ""}, {"1", "b,b"}, {"2", "a"}}};
        zbq::test::writeFixture(dir_.file("x.zbq"), table);
        ASSERT_EQ(s_.KWopen(dir_.file("x.zbq"), ""), 0);
    }
    std::vector<int> shown() const { return zbq::test::viewRecords(s_); }

    TempDir dir_;
    KW_search s_;
};

TEST_F(Exclusions, NewMapKeepsTheRecordsOfValuesNotExcluded) {
    EXPECT_EQ(s_.KWnewMap(0), -1);  // no flags yet
    ASSERT_EQ(s_.KWpassDataFromMap(0, 2), 0);
    EXPECT_EQ(s_.KWpassDataGet(0, 2), 1);
    EXPECT_EQ(s_.KWpassDataGet(0, 3), 0);
    EXPECT_EQ(s_.KWpassDataGet(1, 2), -1);
    ASSERT_EQ(s_.KWnewMap(0), 0);
    EXPECT_EQ(shown(), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(s_.KWnewMap(0), -1);  // the new map dropped the flags

    // Within the current map: now also without the blank value.
    ASSERT_EQ(s_.KWpassDataFromMap(0, 1), 0);
    ASSERT_EQ(s_.KWnewMap(0), 0);
    EXPECT_EQ(shown(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(s_.dictionary(0)[3].mapCount, 2);
}

TEST_F(Exclusions, MultipleAnswerRecordStaysWhileOneAnswerIsKept) {
    ASSERT_EQ(s_.KWpassDataFromMap(1, 2), 0);  // a
    ASSERT_EQ(s_.KWnewMap(1), 0);
    EXPECT_EQ(shown(), (std::vector<int>{1, 2, 3, 4}));
    ASSERT_EQ(s_.KWpassDataFromMap(1, 3), 0);  // b
    ASSERT_EQ(s_.KWpassDataFromMap(1, 1), 0);  // blank
    ASSERT_EQ(s_.KWnewMap(1), 0);
    EXPECT_EQ(shown(), std::vector<int>{1});  // its a was excluded only by the earlier map
}

TEST_F(Exclusions, ClearingAndBadArguments) {
    ASSERT_EQ(s_.KWpassDataFromMap(0, 3), 0);
    ASSERT_EQ(s_.KWpassDataClear(0), 0);
    EXPECT_EQ(s_.KWpassDataGet(0, 3), -1);
    EXPECT_EQ(s_.KWnewMap(0), -1);
    EXPECT_EQ(s_.KWpassDataFromMap(0, 4), -1);
    EXPECT_EQ(s_.KWpassDataFromMap(0, -1), -1);
    EXPECT_EQ(s_.KWpassDataFromMap(2, 0), -1);
    EXPECT_EQ(s_.KWpassDataClear(2), -1);
    EXPECT_EQ(s_.KWgetDataCount(), 6);
}

}  // namespace
