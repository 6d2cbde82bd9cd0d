// The cross-tab axis page's model headless: the item and category lists it offers, its checks
// in order with their messages and icons, the settings block it hands over (and that a refusal
// leaves alone), and the level and percentage rules.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/olap_axis.h"
#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/console/olap_fixture.h"
#include "tests/support/recording_macro.h"

namespace {

using Axis = OlapAxisSettings::Axis;
using zbq::ui::Icon;

CategoryDefinition category(const char* name, std::int32_t type, int levels) {
    CategoryDefinition d;
    d.name = name;
    d.valueType = type;
    d.smallClasses = {{"s", 0, "Others", ""}};
    if (levels >= 2) d.middleClasses = {{"m", "s"}};
    if (levels >= 3) d.largeClasses = {{"l", "m"}};
    return d;
}

struct Page {
    Page() : page(app) {
        app.SetMacroPort(&macro);
        zbq::test::describeOlapItems(app);
        app.SetCategoryList({category("U", 0, 1), category("I3", 1, 3), category("S", 5, 2),
                             category("D", 3, 1), category("C", 6, 1), category("I1", 1, 1)});
        page.FillItemCombos();
    }
    ~Page() { app.SetMacroPort(nullptr); }
    std::vector<std::string> categoryNames(Axis axis) {
        page.FillCategoryCombo(axis);
        std::vector<std::string> names;
        for (const auto& e : page.categories(axis).entries)
            names.push_back(e.text);
        return names;
    }
    // X int, Y text, and what else the case wants.
    void choose(std::int32_t x = 2, std::int32_t y = 4) {
        page.selectItem(Axis::X, x);
        page.selectItem(Axis::Y, y);
    }
    bool display() {
        return page.OnOlapDisplay(nullptr, [this] {
            ++shown;
            return windowOpens ? 1 : 0;
        });
    }

    zbq::ui::ScriptedPrompts prompts;
    zbq::test::RecordingMacro macro;
    CKWApp app;
    OlapAxisSettings page;
    int shown = 0;
    bool windowOpens = true;
};

TEST(OlapAxis, ItemListsAndTheCategoriesEachItemTypeTakes) {
    Page p;
    EXPECT_EQ(p.page.items(Axis::X).count(), 7);
    EXPECT_EQ(p.page.zItems().entries.front(),
              (OlapAxisSettings::Entry{zbq::cp932::literal("選択なし"), -2}));
    EXPECT_EQ(p.page.zItems().entries[3], (OlapAxisSettings::Entry{"int", 2}));
    p.page.FillItemCombos();
    EXPECT_EQ(p.page.zItems().count(), 8) << "filled once per data set";

    EXPECT_TRUE(p.categoryNames(Axis::X).empty()) << "no item chosen";
    const std::vector<std::vector<std::string>> offered = {
        {"U", "S", "C"}, {}, {"U", "I3", "I1"}, {"U"}, {"U", "S"}, {"U", "D"}, {"U"}};
    for (int item = 0; item < 7; ++item) {
        p.page.selectItem(Axis::X, item);
        EXPECT_EQ(p.categoryNames(Axis::X), offered[static_cast<std::size_t>(item)]) << item;
    }
    p.page.selectCategory(Axis::X, 1);
    p.page.selectItem(Axis::X, 2);
    EXPECT_EQ(p.page.categories(Axis::X).selected, -1) << "a new item drops the category";
}

TEST(OlapAxis, ChecksRefuseInOrderWithTheirIconsAndChangeNothing) {
    struct Case {
        std::function<void(Page&)> set;
        const char* message;
        Icon icon;
    } cases[] = {
        {[](Page& p) { p.page.selectItem(Axis::X, 2); }, "Ｘ軸、Ｙ軸の指定が不正です",
         Icon::Exclamation},
        {[](Page& p) {
             p.choose();
             p.page.setPercent("101");
         },
         "％順位値の値が異常です", Icon::Exclamation},
        {[](Page& p) {
             p.choose();
             p.page.setPercent("-1");
         },
         "％順位値の値が異常です", Icon::Exclamation},
        {[](Page& p) {
             p.choose();
             p.page.selectKind(1);
         },
         "この集計にはＺ軸指定が必要です", Icon::Information},
        {[](Page& p) {
             p.choose();
             p.page.selectKind(1);
             p.page.selectZItem(0);
         },
         "この集計にはＺ軸指定が必要です", Icon::Information},
        {[](Page& p) {
             p.choose();
             p.page.selectKind(3);
             p.page.selectZItem(1);
         },
         "この項目の合計・平均は算出できません", Icon::Information},
        {[](Page& p) {
             p.choose();
             p.page.selectKind(4);
             p.page.selectZItem(2);
         },
         "この項目の合計・平均は算出できません", Icon::Information},
        {[](Page& p) {
             p.choose();
             p.page.selectKind(4);
             p.page.selectZItem(5);
         },
         "この項目の合計・平均は算出できません", Icon::Information},
        {[](Page& p) {
             p.choose();
             p.page.selectKind(3);
             p.page.selectZItem(6);
         },
         "この項目の合計は算出できません", Icon::Information},
        {[](Page& p) {
             p.choose();
             p.page.selectKind(3);
             p.page.selectZItem(7);
         },
         "この項目の合計は算出できません", Icon::Information},
    };
    for (const Case& c : cases) {
        Page p;
        const CrossSettings before = p.app.GetCrossSettings();
        c.set(p);
        p.macro.steps.clear();
        EXPECT_FALSE(p.display()) << c.message;
        ASSERT_EQ(p.prompts.messages().size(), 1u) << c.message;
        EXPECT_EQ(p.prompts.messages()[0].text.toStdString(), c.message);
        EXPECT_EQ(p.prompts.messages()[0].icon, c.icon) << c.message;
        EXPECT_EQ(p.app.GetCrossSettings(), before);
        EXPECT_EQ(p.shown, 0);
        EXPECT_TRUE(p.macro.steps.empty());
    }
}

TEST(OlapAxis, PassingChoicesAndTheBlockHandedOver) {
    const std::function<void(Page&)> passing[] = {
        [](Page& p) { p.choose(); },  // kind 0 without Z
        [](Page& p) {
            p.choose();
            p.page.setPercent("0");
        },  // 0 is a percentage
        [](Page& p) {
            p.choose();
            p.page.selectKind(4);
            p.page.selectZItem(6);
        },  // date mean
        [](Page& p) {
            p.choose();
            p.page.selectKind(3);
            p.page.selectZItem(3);
        },  // int sum
    };
    for (const auto& set : passing) {
        Page p;
        set(p);
        EXPECT_TRUE(p.display());
        EXPECT_TRUE(p.prompts.messages().empty());
    }

    Page p;
    p.choose(2, 0);
    p.page.FillCategoryCombo(Axis::X);
    p.page.selectCategory(Axis::X, 1);  // I3
    p.page.FillCategoryCombo(Axis::Y);
    p.page.selectCategory(Axis::Y, 2);  // C
    p.page.toggleCheck(Axis::Y);
    p.page.setLevel(Axis::X, 3);
    p.page.setLevel(Axis::Y, 3);
    p.page.selectKind(7);
    p.page.selectZItem(4);  // float
    p.page.setPercent("12.5");
    p.macro.steps.clear();
    EXPECT_TRUE(p.display());
    CrossSettings block;
    block.xItem = 2;
    block.yItem = 0;
    block.zItem = 3;
    block.xCategory = 1;
    block.yCategory = 4;
    block.xCheck = 0;
    block.yCheck = 1;
    block.xLevel = 3;
    block.yLevel = 1;  // a small-only category has one level
    block.kind = 7;
    block.percentage = 12.5;
    EXPECT_EQ(p.app.GetCrossSettings(), block);
    EXPECT_EQ(p.page.level(Axis::Y), 1);
    EXPECT_EQ(p.macro.steps, std::vector<std::string>{"DispOlap"});

    // Kind 0 and "選択なし" leave -1; the percentage counts for kind 7 alone.
    p.page.selectKind(0);
    p.page.selectZItem(0);
    p.windowOpens = false;
    p.macro.steps.clear();
    EXPECT_TRUE(p.display());
    EXPECT_EQ(p.app.GetCrossSettings().kind, -1);
    EXPECT_EQ(p.app.GetCrossSettings().zItem, -1);
    EXPECT_EQ(p.app.GetCrossSettings().percentage, -1.0);
    EXPECT_TRUE(p.macro.steps.empty()) << "no window shown, no DispOlap";
}

TEST(OlapAxis, LevelsStayWithinTheirRangeAndThePercentSpinStopsAtItsEnds) {
    Page p;
    p.page.moveLevel(Axis::X, 2, 0);
    EXPECT_EQ(p.page.level(Axis::X), 0);
    p.page.moveLevel(Axis::X, 4, 3);
    p.page.moveLevel(Axis::X, 3, 0);
    EXPECT_EQ(p.page.level(Axis::X), 3);
    p.page.moveLevel(Axis::X, 2, 0);
    EXPECT_EQ(p.page.level(Axis::X), 2);
    struct Step {
        const char* from;
        bool up;
        const char* to;
    } steps[] = {{"100", true, "100"}, {"-5", true, "1"},    {"0", false, "0"},
                 {"150", false, "99"}, {"12.5", true, "13"}, {"50", false, "49"}};
    for (const Step& s : steps) {
        p.page.setPercent(s.from);
        p.page.stepPercent(s.up);
        EXPECT_EQ(p.page.percent(), s.to) << s.from;
    }
    EXPECT_EQ(p.macro.steps[0], "SelectCategLevelX,2,0");
    EXPECT_EQ(p.macro.steps[1], "SelectCategLevelX,4,3");
    EXPECT_EQ(p.macro.steps[4], "InputPercent,\"100\"");
    p.macro.steps.clear();
    p.page.percentFocusIn();
    p.page.percentFocusOut();
    p.page.percentFocusIn();
    p.page.setPercent("7");
    p.page.percentFocusOut();
    EXPECT_EQ(p.macro.steps, std::vector<std::string>{"InputPercent,\"7\""})
        << "focus-out records a changed text only";
}

}  // namespace
