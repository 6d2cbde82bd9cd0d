// The summary page's text and its percent rank: goldens over the harness's data set under a
// current set (data/item_summary.txt, one section per item), the edges of an item without
// ordinary values and of a small set, the percent dialog's check, and the promise that writing
// a summary leaves the item's value order and code/name display alone.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "windows/summary_text.h"

namespace zbq::windows {
namespace {

// "=== item N" opens the golden text of item N; the lines below it end in CR LF as written.
std::map<int, std::string> readGoldens() {
    std::ifstream in(std::string(ZBQ_TEST_DATA_DIR) + "/item_summary.txt", std::ios::binary);
    std::map<int, std::string> goldens;
    std::string line;
    int item = -1;
    while (std::getline(in, line)) {
        if (line.starts_with("=== item ")) {
            item = std::stoi(line.substr(9));
            goldens[item];
        } else if (item >= 0) {
            goldens[item] += line + "\n";
        }
    }
    return goldens;
}

class ItemSummaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.load());
        ASSERT_EQ(app().KWsrch("#1=1"), 5);  // 性別 = 男性
    }
    CKWApp& app() { return harness.app(); }
    std::string summary(std::int32_t item) { return cp932::toUtf8(SummaryText(app(), item)); }
    std::string rank(std::int32_t item, double percent) {
        return cp932::toUtf8(PercentRankText(app(), item, percent));
    }

    test::AppHarness harness;
};

TEST_F(ItemSummaryTest, EveryTypeMatchesItsGolden) {
    const std::map<int, std::string> goldens = readGoldens();
    ASSERT_EQ(goldens.size(), 7u);
    for (const auto& [item, golden] : goldens)
        EXPECT_EQ(summary(item), golden) << "item " << item;
}

TEST_F(ItemSummaryTest, LeavesTheOrderAndTheDisplayAsTheyWere) {
    // A count order on the integer item and codes shown on the code item, as a user left them.
    const auto order = [this] {
        std::vector<std::int32_t> values;
        for (std::int32_t row = 2; row < app().KWgetValueCount(2); ++row)
            values.push_back(app().KWgetValueInt(2, row));
        return values;
    };
    ASSERT_EQ(app().KWsortValue(2, 1), 0);
    const std::vector<std::int32_t> before = order();
    ASSERT_EQ(app().KWdispCode(1), 0);
    summary(2);
    summary(1);
    rank(1, 50);
    rank(2, 50);
    EXPECT_EQ(order(), before);
    EXPECT_EQ(app().KWgetDisp(1), 0);
    ASSERT_EQ(app().KWdispName(1), 0);
    summary(1);
    rank(1, 50);
    EXPECT_EQ(app().KWgetDisp(1), 1);
}

TEST_F(ItemSummaryTest, SmallSetShowsNoAnswerRange) {
    ASSERT_EQ(app().KWsrch("#2=34"), 2);
    const std::string text = summary(3);
    EXPECT_NE(text.find("14.親ﾚｺｰﾄﾞ数:\t\t2\r\n15.最小回答数:\t\t-\r\n16.最大回答数:\t\t-\r\n"
                        "17.平均回答数:\t\t-\r\n"),
              std::string::npos)
        << text;
}

TEST(ItemSummaryEdges, AnItemWithoutOrdinaryValuesShowsDashes) {
    test::AppHarness harness;
    ASSERT_TRUE(harness.load(cp932::literal("Title = \"空\"\nitem = \"値\"\n  Float\nEndItem\n"
                                            "item = \"名\"\n  String\nEndItem\nEndTitle\n"),
                             cp932::literal("値\t名\n\ta\n\tb\n")));
    const std::string text = cp932::toUtf8(SummaryText(harness.app(), 0));
    EXPECT_NE(text.find("5.ﾌﾞﾗﾝｸﾚｺｰﾄﾞ数:\t\t2\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("7.通常値の種類:\t\t0\r\n8.通常値の最多数:\t-\r\n9.通常値の最小数:\t-\r\n"),
              std::string::npos);
    for (const char* line :
         {"10.最小定義値:\t\t-\r\n", "13.最大存在値:\t\t-\r\n", "14.合計値:\t\t-\r\n",
          "16.標準偏差:\t\t-\r\n", "19.４分位値（上）:\t-\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    // Nothing at any rank, rather than a value read past the list.
    EXPECT_EQ(cp932::toUtf8(PercentRankText(harness.app(), 0, 50)),
              "----------\r\nタイプ:浮動小数\r\n％順位[50.0]\r\n値      -\r\n");
}

TEST_F(ItemSummaryTest, PercentRankLooksUpWholePercentsFromTheTop) {
    // 年齢 in the set: 51, 45, 34, 19, 0, a fifth each from the top.
    struct Case {
        double percent;
        const char* shown;
        const char* value;
    };
    for (const Case& c :
         {Case{100, "100.0", "0"}, Case{0, "0.0", "51"}, Case{0.5, "0.5", "51"},
          Case{20.5, "20.5", "51"}, Case{40.5, "40.5", "45"}, Case{37.5, "37.5", "45"}}) {
        EXPECT_EQ(rank(2, c.percent), std::string("----------\r\nタイプ:整数\r\n％順位[") +
                                          c.shown + "]\r\n値      " + c.value + "\r\n")
            << c.percent;
    }
    EXPECT_EQ(rank(1, 100), "----------\r\nタイプ:ｺｰﾄﾞ\r\n％順位[100.0]\r\nｺｰﾄﾞ    1 -> 男性\r\n");
    EXPECT_EQ(rank(6, 100), "----------\r\nタイプ:時刻\r\n％順位[100.0]\r\n値      00:00:00\r\n");
    EXPECT_EQ(rank(5, 0), "----------\r\nタイプ:日付\r\n％順位[0.0]\r\n値      2024/06/30\r\n");
    EXPECT_EQ(rank(4, 0), "----------\r\nタイプ:浮動小数\r\n％順位[0.0]\r\n値      5.000000\r\n");
    EXPECT_EQ(rank(0, 0), "----------\r\nタイプ:文字列\r\n％順位[0.0]\r\n値      テスト\r\n");
}

TEST(PercentDialogCheck, RefusesWhatIsNotAPercentage) {
    struct Case {
        const char* text;
        std::optional<double> percent;
        const char* message;
    };
    for (const Case& c : {Case{"37.5", 37.5, ""}, Case{"100", 100.0, ""}, Case{"0", 0.0, ""},
                          Case{"1e1", std::nullopt, "数値を入力してください"},
                          Case{"", std::nullopt, "数値を入力してください"},
                          Case{"-", std::nullopt, "数値を入力してください"},
                          Case{"1.2.3", std::nullopt, "数値を入力してください"},
                          Case{"150", std::nullopt, "0～100の範囲で入力してください"},
                          Case{"100.5", std::nullopt, "0～100の範囲で入力してください"},
                          Case{"-0.1", std::nullopt, "0～100の範囲で入力してください"}}) {
        const PercentInput input = CheckPercentText(c.text);
        EXPECT_EQ(input.percent, c.percent) << c.text;
        EXPECT_EQ(input.message, c.message) << c.text;
    }
}

}  // namespace
}  // namespace zbq::windows
