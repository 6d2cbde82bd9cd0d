// Record maps: the bit order that data files store byte for byte, the tail bits the primitives
// leave alone, and the word-wise operations against a one-bool-per-record reference.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/kw_map.h"

namespace {

TEST(RecordMap, RecordZeroIsTheTopBitOfWordZero) {
    KW_map map(33);
    ASSERT_EQ(map.wordCount(), 2);
    EXPECT_EQ(map.byteLength(), 8);

    const struct {
        std::int32_t record;
        std::uint32_t word0, word1;
    } cases[] = {
        {0, 0x80000000u, 0}, {1, 0x40000000u, 0}, {31, 0x00000001u, 0}, {32, 0, 0x80000000u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        KW_map m(33);
        EXPECT_EQ(MapSetBit(m.data(), c.record, 1), 0);
        EXPECT_EQ(m.data()[0], c.word0);
        EXPECT_EQ(m.data()[1], c.word1);
        EXPECT_EQ(MapTestBit(m.data(), c.record), 1);
        EXPECT_TRUE(m.test(c.record));

        KW_map viaMember(33);
        viaMember.set(c.record);
        EXPECT_EQ(viaMember, m);
        viaMember.reset(c.record);
        EXPECT_EQ(viaMember, KW_map(33));
    }
}

TEST(RecordMap, AllocationSizesAndZeroing) {
    const struct {
        std::int32_t records, bytes;
    } cases[] = {{0, 0},  {1, 4},   {32, 4}, {33, 8},
                 {64, 8}, {65, 12}, {-5, 0}, {INT32_MAX, 268435456}};
    for (const auto& c : cases)
        EXPECT_EQ(MapByteLength(c.records), c.bytes) << c.records;

    std::int32_t length = -1;
    auto map = MapAlloc(1000, &length);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(length, 128);
    EXPECT_EQ(map->byteLength(), 128);
    EXPECT_EQ(MapCount(map->data(), length), 0);
}

TEST(RecordMap, SetBitSetsOnlyForExactlyOne) {
    for (std::int32_t on : {0, 2, -1, 0x10001}) {
        KW_map m(40);
        MapSetBit(m.data(), 35, 1);
        MapSetBit(m.data(), 35, on);
        EXPECT_EQ(MapTestBit(m.data(), 35), 0) << "on = " << on;
    }
}

TEST(RecordMap, NotSetsTailBitsUntilTheTailIsCleared) {
    KW_map m(33);
    MapNot(m.data(), m.byteLength());
    EXPECT_EQ(MapCount(m.data(), m.byteLength()), 64);
    MapClearTail(m.data(), 33);
    EXPECT_EQ(MapCount(m.data(), m.byteLength()), 33);
    EXPECT_EQ(m.data()[1], 0x80000000u);

    KW_map full(64);  // a whole last word has no tail to clear
    MapNot(full.data(), full.byteLength());
    MapClearTail(full.data(), 64);
    EXPECT_EQ(MapCount(full.data(), full.byteLength()), 64);
}

TEST(RecordMap, LengthsCountWholeWordsOnly) {
    KW_map a(64), b(64);
    MapNot(b.data(), b.byteLength());
    MapOr(a.data(), b.data(), 3);  // below one word: nothing
    EXPECT_EQ(MapCount(a.data(), 8), 0);
    MapOr(a.data(), b.data(), 7);  // one whole word
    EXPECT_EQ(a.data()[0], 0xFFFFFFFFu);
    EXPECT_EQ(a.data()[1], 0u);
    EXPECT_EQ(MapCount(a.data(), 3), 0);
    MapNot(a.data(), 2);
    EXPECT_EQ(a.data()[0], 0xFFFFFFFFu);
}

// A map and its reference, filled with the same random bits at the given density.
struct Pair {
    KW_map map;
    std::vector<bool> ref;
};

Pair randomPair(std::int32_t records, double density, std::mt19937& rng) {
    Pair p{KW_map(records), std::vector<bool>(static_cast<std::size_t>(records))};
    std::bernoulli_distribution bit(density);
    for (std::int32_t r = 0; r < records; ++r)
        if (bit(rng)) {
            MapSetBit(p.map.data(), r, 1);
            p.ref[static_cast<std::size_t>(r)] = true;
        }
    return p;
}

void expectSame(const KW_map& map, const std::vector<bool>& ref) {
    std::int32_t expectedCount = 0;
    for (std::size_t r = 0; r < ref.size(); ++r) {
        ASSERT_EQ(MapTestBit(map.data(), static_cast<std::int32_t>(r)), ref[r] ? 1 : 0)
            << "record " << r;
        expectedCount += ref[r];
    }
    EXPECT_EQ(MapCount(map.data(), map.byteLength()), expectedCount);
}

TEST(RecordMap, OperationsMatchTheReferenceOnRandomMaps) {
    std::mt19937 rng(20240611);
    for (std::int32_t records : {1, 31, 32, 33, 95, 1000, 4097}) {
        for (double density : {0.02, 0.5, 0.97}) {
            SCOPED_TRACE(::testing::Message() << records << " records, density " << density);
            const Pair a = randomPair(records, density, rng);
            const Pair b = randomPair(records, 1.0 - density, rng);
            const std::int32_t len = a.map.byteLength();
            std::vector<bool> want(a.ref.size());

            KW_map both = a.map;
            MapAnd(both.data(), b.map.data(), len);
            for (std::size_t r = 0; r < want.size(); ++r)
                want[r] = a.ref[r] && b.ref[r];
            expectSame(both, want);

            KW_map either = a.map;
            MapOr(either.data(), b.map.data(), len);
            for (std::size_t r = 0; r < want.size(); ++r)
                want[r] = a.ref[r] || b.ref[r];
            expectSame(either, want);

            KW_map inverse = a.map;
            MapNot(inverse.data(), len);
            MapClearTail(inverse.data(), records);
            for (std::size_t r = 0; r < want.size(); ++r)
                want[r] = !a.ref[r];
            expectSame(inverse, want);
        }
    }
}

}  // namespace
