// Conditions on dictionary positions: every operator on every kind of item, with the error and
// blank positions held out of orderings and ranges, and substring tests that respect CP932
// character starts.
#include <gtest/gtest.h>

#include "engine/kw_condition.h"
#include "platform/core/cp932.h"
#include "tests/support/data_file_fixture.h"

namespace {

using zbq::cp932::literal;
using Positions = std::vector<int>;

// Dictionaries (0 error, 1 blank, then ascending):
//   0 int:   -3, 0, 5            1 real: -1.5, 0, 2.5
//   2 text:  "a", "ab", "b", "ア" (0x83 0x41: its second byte is "A")
//   3 code:  a "Ay", b "Bee"     4 multi: x "Ex", y "Why"
kw::DataFileContents fixture() {
    zbq::test::FixtureTable t;
    t.items = {{"int", KW_TYPE_INTEGER},
               {"real", KW_TYPE_FLOAT},
               {"text", KW_TYPE_STRING},
               {"code", KW_TYPE_STRING, {{"a", "Ay"}, {"b", "Bee"}}},
               {"multi", KW_TYPE_MULTI, {{"x", "Ex"}, {"y", "Why"}}}};
    t.rows = {{"5", "2.5", "ab", "a", "x,y"},
              {"", "", "", "", ""},
              {"x", "bad", "b", "q", "q"},
              {"-3", "-1.5", "a", "b", "y"},
              {"0", "0", literal("ア"), "", "x"}};
    return zbq::test::buildContents(t);
}

kw::Condition integers(std::int32_t op, std::int32_t a, std::int32_t b = 0) {
    kw::Condition c;
    c.op = op;
    c.int1 = a;
    c.int2 = b;
    return c;
}

kw::Condition reals(std::int32_t op, double a, double b = 0) {
    kw::Condition c;
    c.op = op;
    c.real1 = a;
    c.real2 = b;
    return c;
}

kw::Condition texts(std::int32_t op, std::string a, std::string b = {}, bool byName = false) {
    kw::Condition c;
    c.op = op;
    c.text1 = std::move(a);
    c.text2 = std::move(b);
    c.byName = byName;
    return c;
}

struct Case {
    const char* what;
    int item;
    kw::Condition condition;
    Positions passing;
};

TEST(SearchCondition, EveryOperatorOnEveryKind) {
    const kw::DataFileContents data = fixture();
    const std::string error = literal("ｴﾗｰ"), blank = literal("ﾌﾞﾗﾝｸ");
    const Case cases[] = {
        // Error and blank read as 0 in their entries: orderings and ranges must not take them.
        {"int > -1", 0, integers(KW_COND_GT, -1), {3, 4}},
        {"int <= 0", 0, integers(KW_COND_LE, 0), {2, 3}},
        {"int < 9", 0, integers(KW_COND_LT, 9), {2, 3, 4}},
        {"int >= -3", 0, integers(KW_COND_GE, -3), {2, 3, 4}},
        {"int [-3, 0]", 0, integers(KW_COND_RANGE, -3, 0), {2, 3}},
        {"int [-3, 0)", 0, integers(KW_COND_RANGE_LOW, -3, 0), {2}},
        {"int (-3, 0]", 0, integers(KW_COND_RANGE_HIGH, -3, 0), {3}},
        {"int (-3, 5)", 0, integers(KW_COND_RANGE_OPEN, -3, 5), {3}},
        {"int = 0", 0, integers(KW_COND_EQ, 0), {3}},
        {"int != 0 keeps error and blank", 0, integers(KW_COND_NE, 0), {0, 1, 2, 4}},
        {"int normal", 0, integers(KW_COND_NORMAL, 0), {2, 3, 4}},
        {"int error", 0, integers(KW_COND_ERROR, 0), {0}},
        {"int blank", 0, integers(KW_COND_BLANK, 0), {1}},
        {"int others is the caller's", 0, integers(KW_COND_OTHERS, 0), {}},
        {"int text test", 0, texts(KW_COND_CONTAINS, "5"), {}},
        {"real >= 0", 1, reals(KW_COND_GE, 0), {3, 4}},
        {"real = -0 equals 0", 1, reals(KW_COND_EQ, -0.0), {3}},
        {"real (-1.5, 2.5]", 1, reals(KW_COND_RANGE_HIGH, -1.5, 2.5), {3, 4}},
        {"real != 2.5", 1, reals(KW_COND_NE, 2.5), {0, 1, 2, 3}},
        // Captions sort above ASCII, but an ordering never takes them.
        {"text > a", 2, texts(KW_COND_GT, "a"), {3, 4, 5}},
        {"text [a, b]", 2, texts(KW_COND_RANGE, "a", "b"), {2, 3, 4}},
        {"text = blank caption", 2, texts(KW_COND_EQ, blank), {1}},
        {"text != a", 2, texts(KW_COND_NE, "a"), {0, 1, 3, 4, 5}},
        {"text begins a", 2, texts(KW_COND_BEGINS, "a"), {2, 3}},
        {"text begins with nothing", 2, texts(KW_COND_BEGINS, ""), {0, 1, 2, 3, 4, 5}},
        {"text ends b", 2, texts(KW_COND_ENDS, "b"), {3, 4}},
        {"text contains b", 2, texts(KW_COND_CONTAINS, "b"), {3, 4}},
        {"text contains nothing", 2, texts(KW_COND_CONTAINS, ""), {}},
        {"A is not inside ア", 2, texts(KW_COND_CONTAINS, "A"), {}},
        {"A does not end ア", 2, texts(KW_COND_ENDS, "A"), {}},
        {"half a character begins nothing", 2, texts(KW_COND_BEGINS, "\x83"), {}},
        {"text contains error caption", 2, texts(KW_COND_CONTAINS, error), {0}},
        {"code = a", 3, texts(KW_COND_EQ, "a"), {2}},
        {"code by name = Ay", 3, texts(KW_COND_EQ, "Ay", {}, true), {2}},
        {"code by name contains e", 3, texts(KW_COND_CONTAINS, "e", {}, true), {3}},
        {"code by name = blank caption", 3, texts(KW_COND_EQ, blank, {}, true), {1}},
        {"code >= a", 3, texts(KW_COND_GE, "a"), {2, 3}},
        {"multi by name < F", 4, texts(KW_COND_LT, "F", {}, true), {2}},
        {"multi = error caption", 4, texts(KW_COND_EQ, error), {0}},
        {"multi blank", 4, texts(KW_COND_BLANK, ""), {1}},
    };
    for (const Case& c : cases) {
        const kw::ItemBlock& item = data.items[static_cast<std::size_t>(c.item)];
        std::vector<std::uint8_t> pass;
        kw::markPassing(item, c.condition, pass);
        ASSERT_EQ(pass.size(), item.dict.size()) << c.what;
        Positions marked, held;
        for (int p = 0; p < static_cast<int>(pass.size()); ++p) {
            if (pass[static_cast<std::size_t>(p)]) marked.push_back(p);
            if (kw::conditionHolds(item, c.condition, p)) held.push_back(p);
        }
        EXPECT_EQ(marked, c.passing) << c.what;
        EXPECT_EQ(held, c.passing) << c.what;
    }
}

TEST(SearchCondition, PositionsOutsideTheDictionaryNeverHold) {
    const kw::DataFileContents data = fixture();
    const kw::Condition c = integers(KW_COND_NE, 99);
    EXPECT_FALSE(kw::conditionHolds(data.items[0], c, -1));
    EXPECT_FALSE(kw::conditionHolds(data.items[0], c, 5));
    EXPECT_TRUE(kw::conditionHolds(data.items[0], c, 4));
}

}  // namespace
