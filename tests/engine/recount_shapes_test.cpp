// The recount of in-map counts on the shapes its fast paths tell apart: maps sparse and dense
// (whole words counted without a branch), a last word cut short, dictionaries too large for
// the partial histograms, and MultiAns records with more answers than the unrolled four.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/kw_search.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;

constexpr int kRecords = 6007;     // the last word holds 23 records
constexpr int kManyValues = 5000;  // beyond the partial histograms
constexpr const char* kCodes = "abcdefgh";

FixtureTable shapes() {
    FixtureTable t;
    std::vector<zbq::test::FixtureCode> codes;
    for (const char* c = kCodes; *c != '\0'; ++c)
        codes.push_back({std::string(1, *c), ""});
    t.items = {
        {"many", KW_TYPE_INTEGER}, {"few", KW_TYPE_INTEGER}, {"multi", KW_TYPE_MULTI, codes}};
    std::mt19937 rng(7);
    for (int r = 0; r < kRecords; ++r) {
        // Records hold 0 (blank) to 8 answers, an unknown code (an error answer) now and then.
        std::string answers;
        for (int n = static_cast<int>(rng() % 9), k = 0; k < n; ++k) {
            if (!answers.empty()) answers += ',';
            answers += rng() % 50 == 0 ? 'z' : kCodes[rng() % 8];
        }
        t.rows.push_back({std::to_string(r % kManyValues), std::to_string(rng() % 3), answers});
    }
    return t;
}

TEST(RecountShapes, EveryDensityEqualsCountingRecordByRecord) {
    zbq::test::TempDir dir;
    const FixtureTable table = shapes();
    const kw::DataFileContents contents = zbq::test::buildContents(table);
    zbq::test::writeFixture(dir.file("shapes.zbq"), table);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("shapes.zbq"), ""), 0);
    ASSERT_GT(s.dictionary(0).size(), 1024u);

    std::mt19937 rng(11);
    for (const double density : {0.0, 0.02, 0.3, 0.5, 0.9, 1.0}) {
        std::bernoulli_distribution on(density);
        auto map = std::make_shared<KW_map>(kRecords);
        std::vector<bool> in(kRecords);
        for (int r = 0; r < kRecords; ++r)
            if ((in[r] = on(rng))) map->set(r);
        s.KWmapSet(map);
        for (int item = 0; item < 3; ++item) {
            const kw::ItemBlock& b = contents.items[item];
            std::vector<int> naive(b.dict.size(), 0), counted;
            for (int r = 0; r < kRecords; ++r) {
                if (!in[r]) continue;
                if (item == 2) {
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

}  // namespace
