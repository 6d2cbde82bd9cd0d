// The aggregation settings page's model headless: the suffix table both ways, the drop rules as
// one table (limits, duplicates, moves and copies, the kind radios), the buttons' copies, the
// kind radios and their effect on units, the menus' conditions, the setters and the parameters
// "実行" hands over.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "console/molap_settings.h"
#include "platform/core/cp932.h"
#include "tests/console/molap_fixture.h"

namespace {

using zbq::test::molapRowsOf;
using zbq::test::molapRowsText;
using L = MolapList;

struct Model {
    Model() : settings(app) {
        zbq::test::describeMolapItems(app);
        settings.FillItemList();
    }
    // Lists as texts: item list, then X, Y and aggregation (with kinds).
    std::string lists() const {
        const MolapLists& l = settings.lists();
        return molapRowsText(l.items, false) + " | " + molapRowsText(l.x, false) + " | " +
               molapRowsText(l.y, false) + " | " + molapRowsText(l.sum, true);
    }
    void put(const std::string& x, const std::string& y, const std::string& sum) {
        auto split = [](const std::vector<MolapRow>& rows, std::vector<std::int32_t>& items,
                        std::vector<std::int32_t>& codes, std::vector<std::int32_t>* kinds) {
            for (const MolapRow& r : rows) {
                items.push_back(r.item);
                codes.push_back(r.code);
                if (kinds) kinds->push_back(r.kind);
            }
        };
        std::vector<std::int32_t> items, codes, kinds;
        split(molapRowsOf(app, x), items, codes, nullptr);
        settings.SetXItems(items, codes);
        items.clear(), codes.clear();
        split(molapRowsOf(app, y), items, codes, nullptr);
        settings.SetYItems(items, codes);
        items.clear(), codes.clear();
        split(molapRowsOf(app, sum), items, codes, &kinds);
        settings.SetSumItems(items, kinds, codes);
    }
    CKWApp app;
    MolapSettings settings;
};

constexpr const char* kAllItems = "0 2 3 4 5 6 7 8";

TEST(MolapSuffixes, EveryCodeReadsBackAndOthersHaveNone) {
    for (std::int32_t code : {1, 2, 3, 4, 5, 6, 110, 120, 130, 210, 220, 230}) {
        const std::string suffix = molapSuffixOf(code);
        ASSERT_FALSE(suffix.empty()) << code;
        EXPECT_EQ(molapCodeOfSuffix(suffix), code);
    }
    EXPECT_EQ(molapSuffixOf(4), zbq::cp932::literal("（年/月）"));
    EXPECT_EQ(molapSuffixOf(130), zbq::cp932::literal("（1,000:四捨五入）"));
    for (std::int32_t code : {0, 7, 100, 140, 310, -1})
        EXPECT_EQ(molapSuffixOf(code), "") << code;
    EXPECT_EQ(molapCodeOfSuffix(zbq::cp932::literal("（週）")), 0);
    EXPECT_EQ(molapRowText(MolapRow{5, "date", 1, 0}), "date\t" + zbq::cp932::literal("（年）"));
    EXPECT_EQ(molapRowText(MolapRow{5, "date", 0, 0}), "date");
}

TEST(MolapSettingsModel, ItemListLeavesOutMultiAnsAndFillsOnlyWhenEmpty) {
    Model m;
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Items), false), kAllItems);
    m.app.StructDef().items.pop_back();
    m.settings.FillItemList();
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Items), false), kAllItems);
    m.settings.ResetLists();
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Items), false), "0 2 3 4 5 6 7");
}

// Every drop: the lists before (X | Y | aggregation), source, target (nullopt outside), the
// source rows, then the lists after, the message and whether the kind radios were cleared.
TEST(MolapDropRules, TableOfDrops) {
    struct Case {
        const char* name;
        const char* x;
        const char* y;
        const char* sum;
        L source;
        std::optional<L> target;
        std::vector<int> rows;
        const char* after;
        const char* message;
        bool cleared;
    };
    const char* five = MolapSettings::kTooMany;
    const char* twice = MolapSettings::kAlreadySet;
    const std::vector<Case> cases = {
        {"items to X copy", "", "", "", L::Items, L::X, {0, 2}, "0 3 |  | ", nullptr, false},
        {"sixth item refused, five kept",
         "0 2 3 4",
         "",
         "",
         L::Items,
         L::X,
         {4, 5},
         "0 2 3 4 5 |  | ",
         five,
         false},
        {"duplicate on Y refused", "", "2", "", L::Items, L::Y, {0, 1}, " | 2 0 | ", twice, false},
        {"grouped row is another text",
         "5:1",
         "",
         "",
         L::Items,
         L::X,
         {4},
         "5:1 5 |  | ",
         nullptr,
         false},
        {"X to Y moves", "2 5:2 7", "", "", L::X, L::Y, {0, 1}, "7 | 2 5:2 | ", nullptr, false},
        {"refused rows stay where they were",
         "2 3",
         "3",
         "",
         L::X,
         L::Y,
         {0, 1},
         "3 | 3 2 | ",
         twice,
         false},
        {"sum back to items removes",
         "",
         "",
         "2/1 3/0 4/0",
         L::Sum,
         L::Items,
         {0, 2},
         " |  | 3/0",
         nullptr,
         true},
        {"X back to items removes", "2 3", "", "", L::X, L::Items, {1}, "2 |  | ", nullptr, false},
        {"items to sum as count, beside the same item",
         "",
         "",
         "2/1",
         L::Items,
         L::Sum,
         {1, 1, 2},
         " |  | 2/1 2/0 3/0",
         nullptr,
         false},
        {"Y to sum moves with its grouping",
         "",
         "5:3 2",
         "",
         L::Y,
         L::Sum,
         {0},
         " | 2 | 5/0:3",
         nullptr,
         false},
        {"sum to X drops the unit, clears radios",
         "",
         "",
         "2/1:110",
         L::Sum,
         L::X,
         {0},
         "2 |  | ",
         nullptr,
         true},
        {"onto its own list nothing", "2 3", "", "", L::X, L::X, {0}, "2 3 |  | ", nullptr, false},
        {"outside nothing",
         "2 3",
         "",
         "2/1",
         L::Sum,
         std::nullopt,
         {0},
         "2 3 |  | 2/1",
         nullptr,
         false},
        {"items onto items nothing", "", "", "", L::Items, L::Items, {0}, " |  | ", nullptr, false},
        {"no rows nothing", "2", "", "", L::X, L::Y, {}, "2 |  | ", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Model m;
        m.put(c.x, c.y, c.sum);
        MolapLists lists = m.settings.lists();
        const MolapDropResult result = dropMolapRows(lists, c.source, c.target, c.rows);
        EXPECT_EQ(molapRowsText(lists.x, false) + " | " + molapRowsText(lists.y, false) + " | " +
                      molapRowsText(lists.sum, true),
                  c.after);
        EXPECT_EQ(molapRowsText(lists.items, false), kAllItems);
        EXPECT_EQ(result.message ? std::string(result.message) : "", c.message ? c.message : "");
        EXPECT_EQ(result.radiosCleared, c.cleared);
    }
}

TEST(MolapSettingsModel, SevenItemsOntoTwoAddThreeThenRefuse) {
    Model m;
    m.put("7 8", "", "");
    EXPECT_EQ(std::string(m.settings.copyToAxis(L::X, {0, 1, 2, 3, 4, 5, 6})),
              MolapSettings::kTooMany);
    EXPECT_EQ(molapRowsText(m.settings.rows(L::X), false), "7 8 0 2 3");
    EXPECT_EQ(m.settings.copyToAxis(L::Y, {}), nullptr);
    m.settings.copyToSum({1});
    m.settings.copyToSum({1});
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Sum), true), "2/0 2/0");
}

TEST(MolapSettingsModel, KindRadiosFollowTheRowAndItsType) {
    Model m;
    m.put("", "", "2/1:110 4/0");
    using R = MolapSettings::KindRadios;
    m.settings.selectSumRows({0});
    EXPECT_EQ(m.settings.kindRadios(), (R{{true, true, true, true, true}, 1}));
    m.settings.chooseKind(1);  // the same 合計 keeps the unit
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Sum), true), "2/1:110 4/0");
    m.settings.chooseKind(2);  // 平均 drops it
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Sum), true), "2/2 4/0");
    m.settings.selectSumRows({1});  // a String row: 合計 and 平均 disabled
    EXPECT_EQ(m.settings.kindRadios(), (R{{true, false, false, true, true}, 0}));
    m.settings.chooseKind(1);
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Sum), true), "2/2 4/0");
    m.settings.chooseKind(3);
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Sum), true), "2/2 4/3");
    m.settings.selectSumRows({0, 1});
    EXPECT_EQ(m.settings.kindRadios(), R{});
    EXPECT_EQ(m.settings.currentSumRow(), -1);
    m.settings.chooseKind(0);  // no current row: nothing
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Sum), true), "2/2 4/3");
    m.settings.selectSumRows({0});
    m.settings.removeRows(L::Sum, {1});
    EXPECT_EQ(m.settings.kindRadios(), R{});
    m.put("", "", "5/0:2");  // 件数 chosen again drops the grouping all the same
    m.settings.selectSumRows({0});
    m.settings.chooseKind(0);
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Sum), true), "5/0");
    m.settings.removeRows(L::Items, {0});
    EXPECT_EQ(molapRowsText(m.settings.rows(L::Items), false), kAllItems);
}

TEST(MolapSettingsModel, MenusServeOnlyTheirRows) {
    Model m;
    m.put("5 2", "8", "5/0 2/1 3/2 4/0");
    EXPECT_TRUE(m.settings.dateMenuFor(L::X, {0}));
    EXPECT_TRUE(m.settings.dateMenuFor(L::Y, {0}));
    EXPECT_FALSE(m.settings.dateMenuFor(L::X, {1}));
    EXPECT_FALSE(m.settings.dateMenuFor(L::X, {0, 1}));
    EXPECT_FALSE(m.settings.dateMenuFor(L::Sum, {0}));
    EXPECT_FALSE(m.settings.unitMenuFor({0}));
    EXPECT_TRUE(m.settings.unitMenuFor({1}));
    EXPECT_TRUE(m.settings.unitMenuFor({2}));
    EXPECT_FALSE(m.settings.unitMenuFor({1, 2}));

    m.settings.setGrouping(L::X, 0, 6);
    m.settings.setGrouping(L::Y, 0, 2);
    m.settings.setGrouping(L::X, 0, 110);  // no unit on an axis
    m.settings.setUnit(1, 2, 3);
    m.settings.setUnit(2, 3, 1);  // 10億 is never set
    EXPECT_EQ(m.lists(), std::string(kAllItems) + " | 5:6 2 | 8:2 | 5/0 2/1:230 3/2 4/0");
    EXPECT_EQ(m.settings.unitOf(1), std::make_pair(2, 3));
    EXPECT_EQ(m.settings.unitOf(2), std::make_pair(0, 0));
    m.settings.clearUnit(1);
    m.settings.setGrouping(L::X, 0, 0);
    EXPECT_EQ(m.lists(), std::string(kAllItems) + " | 5 2 | 8:2 | 5/0 2/1 3/2 4/0");
}

TEST(MolapSettingsModel, SettersTakeWhatThePlayersParse) {
    Model m;
    m.settings.SetXItems({3, 5}, {0, 4});
    m.settings.SetYItems({5, 2}, {7, 100});
    m.settings.SetSumItems({2, 4, 3}, {1, 2}, {0, 110, 9});
    EXPECT_EQ(m.lists(), std::string(kAllItems) + " | 3 5:4 | 5 2 | 2/1 4/2:110 3/0");
    for (auto [mode, shown] : {std::pair{2, 2}, {1, 1}, {0, 0}, {9, 0}, {-1, 0}}) {
        m.settings.SetXTotalMode(mode);
        m.settings.SetYTotalMode(mode);
        EXPECT_EQ(m.settings.totalMode(L::X), shown);
        EXPECT_EQ(m.settings.totalMode(L::Y), shown);
    }
    m.settings.SetDecimalPlaces(5);
    EXPECT_EQ(m.settings.decimals(), 5);
    m.settings.Clear();
    EXPECT_EQ(m.lists(), std::string(kAllItems) + " |  |  | ");
    EXPECT_EQ(m.settings.decimals(), 0);
}

TEST(MolapSettingsModel, ExecuteCollectsTheTenParameters) {
    Model m;
    const char* message = nullptr;
    m.put("", "", "2/1");
    EXPECT_FALSE(m.settings.collect(&message));
    EXPECT_EQ(std::string(message), MolapSettings::kNoAxis);
    EXPECT_TRUE(m.settings.executeEnabled());
    EXPECT_EQ(m.lists(), std::string(kAllItems) + " |  |  | 2/1");

    m.put("", "5:4 2", "");  // only Y, no aggregation rows: units {0}
    m.settings.SetYTotalMode(2);
    m.settings.SetDecimalPlaces(3);
    std::optional<MolapParams> p = m.settings.collect(&message);
    ASSERT_TRUE(p);
    EXPECT_EQ(message, nullptr);
    EXPECT_TRUE(p->xItems.empty() && p->xDateUnits.empty() && p->zItems.empty() &&
                p->zKinds.empty());
    EXPECT_EQ(p->yItems, (std::vector<std::int32_t>{5, 2}));
    EXPECT_EQ(p->yDateUnits, (std::vector<std::int32_t>{4, 0}));
    EXPECT_EQ(p->zUnits, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(std::tie(p->xTotalMode, p->yTotalMode, p->decimalsIndex), std::tuple(0, 2, 3));
    EXPECT_FALSE(m.settings.executeEnabled());

    m.put("5:1 8", "", "2/1:120 5/0:2 3/4");
    m.settings.selectSumRows({0});
    p = m.settings.collect(&message);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->xItems, (std::vector<std::int32_t>{5, 8}));
    EXPECT_EQ(p->xDateUnits, (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(p->zItems, (std::vector<std::int32_t>{2, 5, 3}));
    EXPECT_EQ(p->zKinds, (std::vector<std::int32_t>{1, 0, 4}));
    EXPECT_EQ(p->zUnits, (std::vector<std::int32_t>{120, 2, 0}));
    EXPECT_EQ(m.settings.kindRadios(), MolapSettings::KindRadios{});
}

}  // namespace
