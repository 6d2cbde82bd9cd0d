// The reference database holds what the fixture table says, kind by kind.
#include "tests/support/sqlite_reference.h"

#include <gtest/gtest.h>

namespace {

using zbq::test::FixtureTable;
using zbq::test::SqliteReference;

TEST(SqliteReference, CopiesValuesKindsAndAnswers) {
    FixtureTable t;
    t.items = {{"n", KW_TYPE_INTEGER},
               {"c", KW_TYPE_STRING, {{"a", "Ay"}, {"b", "Bee"}}},
               {"m", KW_TYPE_MULTI, {{"x", "Ex"}, {"y", "Why"}}}};
    t.rows = {{"5", "b", "x,y"}, {"", "a", ""}, {"zz", "q", "y"}};
    SqliteReference ref(t);
    EXPECT_EQ(ref.records("v0 = 5"), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(ref.records("k0 = 1"), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(ref.records("k0 = 0 AND k1 = 0"), (std::vector<std::int32_t>{2}));
    EXPECT_EQ(ref.records("n1 = CAST('Bee' AS BLOB) AND p1 = 3"), (std::vector<std::int32_t>{0}));
    auto answers = ref.query("SELECT COUNT(*), SUM(k = 1) FROM a2");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(std::get<std::int64_t>(answers[0][0]), 4);  // x, y, blank, y
    EXPECT_EQ(std::get<std::int64_t>(answers[0][1]), 1);
    EXPECT_EQ(ref.records("cp932_contains(v1, CAST('b' AS BLOB))"), (std::vector<std::int32_t>{0}));
}

}  // namespace
