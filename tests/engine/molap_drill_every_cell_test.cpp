// Drilling every cell of a 3 + 3 aggregation with subtotals on both axes (ordinary cells,
// subtotals of each level, the totals and the corner) makes current exactly the records that
// a search of the cell's keys selects: its value on every level it names, and no error value
// on any level of either axis. The build keeps each cell's records in a different form by the
// way it went (every code in cache, a bit per code with the cells in cache, records scattered
// by cell range), so the same axes are built each way.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/engine/molap_reference.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::test;
using Value = KW_search::MolapValue;

// Six Code items of 2 to 5 codes, a blank in one cell of ten and an error (a code the item
// lacks) in one of twenty; every item is a key level, and also a Z item where the way needs
// more than the keys.
FixtureTable codeTable(int records) {
    FixtureTable t;
    const int sizes[] = {3, 4, 2, 5, 3, 4};
    for (int i = 0; i < 6; ++i) {
        FixtureItem item{"k" + std::to_string(i), KW_TYPE_STRING, {}};
        for (int c = 0; c < sizes[i]; ++c)
            item.codes.push_back({std::string(1, static_cast<char>('a' + c)), "n"});
        t.items.push_back(item);
    }
    std::mt19937 rng(41);
    for (int r = 0; r < records; ++r) {
        std::vector<std::string> row;
        for (const int size : sizes) {
            const unsigned roll = rng() % 20;
            row.push_back(roll < 2    ? ""
                          : roll == 2 ? "zz"
                                      : std::string(1, static_cast<char>('a' + rng() % size)));
        }
        t.rows.push_back(row);
    }
    return t;
}

const std::vector<MolapLevelSpec> kX = {{0}, {1}, {2}};
const std::vector<MolapLevelSpec> kY = {{3}, {4}, {5}};

struct Way {
    const char* name;
    int records;
    std::vector<int> z;  // six distinct items leave fewer cells in cache
};

void PrintTo(const Way& w, std::ostream* os) {
    *os << w.name;
}

class MolapDrillEveryCell : public ::testing::TestWithParam<Way> {
protected:
    void SetUp() override {
        table_ = codeTable(GetParam().records);
        writeFixture(dir_.file("e.zbq"), table_);
        ASSERT_EQ(s_.KWopen(dir_.file("e.zbq"), ""), 0);
    }

    // `#item="text"` for dictionary position p (its stored text: the code, or the blank or
    // error caption).
    std::string term(int item, std::int32_t p, const char* op = "=") {
        return "#" + std::to_string(item) + op + "\"" + s_.KWgetValueText(item, p) + "\"";
    }

    // The search of one key: the levels it names, up to its first total level.
    std::string keyTerms(bool xAxis, int key, int zColumns) {
        const std::vector<MolapLevelSpec>& levels = xAxis ? kX : kY;
        std::string out;
        for (std::size_t l = 0; l < levels.size(); ++l) {
            Value v;
            const int level = static_cast<int>(l);
            const std::int32_t rc = xAxis ? s_.GetMolapXLabel(key * zColumns, level, v)
                                          : s_.GetMolapYLabel(key, level, v);
            if (rc == 1) break;
            out += "*" + term(levels[l].item, v.position);
        }
        return out;
    }

    // The records a search selects.
    KW_map searched(const std::string& expression) {
        EXPECT_GE(s_.KWsrch(expression), 0) << expression;
        KW_map out = *s_.KWmapGet();
        s_.KWmapClear();
        return out;
    }

    FixtureTable table_;
    TempDir dir_;
    KW_search s_;
};

TEST_P(MolapDrillEveryCell, EachCellIsTheSearchOfItsKeys) {
    MolapQuery q;
    q.x = kX;
    q.y = kY;
    q.z = GetParam().z;
    q.kinds.assign(q.z.size(), 0);  // column 0 counts
    q.xMode = 2;
    q.yMode = 2;
    ASSERT_EQ(runMolap(s_, q), 0);
    const int zColumns = std::max<int>(1, static_cast<int>(q.z.size()));
    const int xs = s_.GetMolapXCount(), ys = s_.GetMolapYCount();
    ASSERT_GT(xs, 20);
    ASSERT_GT(ys, 20);

    // No error value on any level, whatever the cell names.
    std::string valid;
    for (const auto* axis : {&kX, &kY})
        for (const MolapLevelSpec& l : *axis)
            valid += (valid.empty() ? "" : "*") + term(l.item, KW_POS_ERROR, "!=");
    std::vector<KW_map> xMaps, yMaps;
    for (int x = 0; x < xs; ++x)
        xMaps.push_back(searched(valid + keyTerms(true, x, zColumns)));
    for (int y = 0; y < ys; ++y)
        yMaps.push_back(searched(valid + keyTerms(false, y, zColumns)));

    int nonEmpty = 0;
    for (int x = 0; x < xs; ++x) {
        for (int y = 0; y < ys; ++y) {
            for (int level = 0; level < static_cast<int>(kX.size()); ++level) {
                Value v;
                if (s_.GetMolapXLabel(x * zColumns, level, v) == 1) break;
                ASSERT_EQ(s_.MolapDrillX(x, level), 0);
            }
            for (int level = 0; level < static_cast<int>(kY.size()); ++level) {
                Value v;
                if (s_.GetMolapYLabel(y, level, v) == 1) break;
                ASSERT_EQ(s_.MolapDrillY(y, level), 0);
            }
            const std::int32_t n = s_.MolapDrill();
            KW_map want = xMaps[static_cast<std::size_t>(x)];
            MapAnd(want.data(), yMaps[static_cast<std::size_t>(y)].data(), want.byteLength());
            ASSERT_TRUE(s_.KWmapGet() != nullptr);
            EXPECT_TRUE(*s_.KWmapGet() == want) << "cell " << x << "," << y;
            EXPECT_EQ(n, MapCount(want.data(), want.byteLength())) << "cell " << x << "," << y;
            Value count;
            s_.KWMolapGetData(x, y, 0, count);
            EXPECT_EQ(n, count.kind == Value::None ? 0 : count.integer) << "cell " << x << "," << y;
            nonEmpty += n > 0;
            s_.KWmapClear();
        }
    }
    EXPECT_GT(nonEmpty, xs * ys / 4);
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfBuilding, MolapDrillEveryCell,
                         ::testing::Values(Way{"EveryCodeInCache", 3000, {}},
                                           Way{"CellsInCache", 3000, {0, 1, 2, 3, 4, 5}},
                                           Way{"ScatteredByCellRange", 20000, {0, 1, 2, 3, 4, 5}}),
                         [](const ::testing::TestParamInfo<Way>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
