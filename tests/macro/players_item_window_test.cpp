// The item window's players on an open window: each refuses with its own message in its order of
// checks, and otherwise does what the window's own action does.
#include "tests/windows/item_sheet_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/parameter_asker.h"
#include "platform/ui/clipboard.h"
#include "windows/value_list_view.h"

namespace zbq::windows {
namespace {

class Answers : public ParameterAsker {
public:
    std::vector<std::string> answers;
    std::vector<std::string> asked;
    std::string askMacroParameter(std::string_view prompt, std::int32_t) override {
        asked.emplace_back(prompt);
        if (answers.empty()) return {};
        std::string a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

class ItemPlayerTest : public test::ItemSheetTest {
protected:
    void SetUp() override {
        ItemSheetTest::SetUp();
        player = std::make_unique<CMacro>(app());
        player->SetParameterAsker(&asker);
    }
    void TearDown() override {
        player.reset();
        ItemSheetTest::TearDown();
    }
    std::int32_t play(const std::string& step) { return player->ExecuteStep(step); }
    std::string lastMessage() {
        const auto& m = harness.prompts().messages();
        return m.empty() ? std::string() : m.back().text.toStdString();
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    std::unique_ptr<CMacro> player;
    Answers asker;
};

const std::string kStop = "\nマクロの実行を中止します。";
std::string invalid(const char* command) {
    return std::string("コマンド[") + command + "]のパラメータが不正です。" + kStop;
}

TEST_F(ItemPlayerTest, RefusalsAndTheirMessages) {
    open(test::kScore);
    open(test::kAge);
    open(test::kId);
    struct Case {
        const char* step;
        std::int32_t result;
        std::string message;  // "" none
    };
    for (const Case& c : {
             Case{"Item_DecimalDigit,4,14", 1, ""},
             Case{"Item_DecimalDigit,4,15", 0, invalid("Item_DecimalDigit")},
             Case{"Item_DecimalDigit,2,3", 0,
                  "列番号[2]の項目は浮動小数項目でないので、小数点以下桁数を指定できません。" +
                      kStop},
             Case{"Item_DispComma,0", 0,
                  "列番号[0]の項目は整数または浮動小数項目でないので、カンマ編集できません。" +
                      kStop},
             Case{"Item_DispComma,2", 1, ""},
             Case{"Item_PercentDigit,0,6", 1, ""},
             Case{"Item_PercentDigit,0,7", 0, invalid("Item_PercentDigit")},
             Case{"Item_SelectCell,2,0,11,0,0", 0, ""},  // the range message, checked below
             Case{"Item_SelectCell,2,2,10,0,0", 1, ""},
             Case{"Item_VScroll,2,5,0", 0, invalid("Item_VScroll")},
             Case{"Item_PercentValue,2,100.5", 0, invalid("Item_PercentValue")},
             Case{"Item_PercentValue,2,abc", 1, ""},
             Case{"Item_PercentValue,2,1e400", 0, invalid("Item_PercentValue")},
             Case{"Item_PercentValue,2,-1e400", 0, invalid("Item_PercentValue")},
             Case{"Item_Alignment,2,3", 0, ""},
             Case{"Item_Close,5", 0,
                  "画面が表示されていないため、マクロを実行できません。" + kStop},
         }) {
        harness.prompts().clear();
        EXPECT_EQ(play(c.step), c.result) << c.step;
        if (!c.message.empty()) {
            EXPECT_EQ(lastMessage(), c.message) << c.step;
        }
        EXPECT_EQ(harness.prompts().messages().empty(), c.result == 1) << c.step;
    }
    auto* score = dynamic_cast<CItemSheet*>(frame->FindItemSheet(test::kScore));
    EXPECT_EQ(score->model().decimals(), 14);
    auto* age = dynamic_cast<CItemSheet*>(frame->FindItemSheet(test::kAge));
    EXPECT_FALSE(age->model().comma());
    EXPECT_EQ(age->model().GetSelStart().column, 2);
    EXPECT_EQ(age->model().GetSelStart().row, 10);
    EXPECT_NE(cp932::toUtf8(age->summaryText()).find("％順位[0.0]"), std::string::npos);
}

TEST_F(ItemPlayerTest, VScrollThumbPutsTheRowOnTop) {
    test::AppHarness& h = harness;
    ASSERT_TRUE(
        h.load(cp932::literal("Title = \"n\"\nitem = \"n\"\n  Integer\nEndItem\nEndTitle\n"), [] {
            std::string data = "n\n";
            for (int v = 1; v <= 60; ++v)
                data += std::to_string(v) + "\n";
            return data;
        }()));
    CItemSheet* sheet = open(0);
    sheet->resize(350, 300);
    EXPECT_EQ(play("Item_VScroll,0,4,10"), 1);
    EXPECT_EQ(sheet->view()->topRow(), 10);
}

TEST_F(ItemPlayerTest, CsvStepsAskWriteTabTextAndStopForAMissingFolder) {
    CItemSheet* sheet = open(test::kAge);
    sheet->model().setSelection({0, 2}, {1, 3});
    const std::string txt = harness.file("values.txt");
    asker.answers = {txt};
    EXPECT_EQ(play("Item_OutToCsv,2,???"), 1);
    EXPECT_EQ(asker.asked,
              std::vector<std::string>{"[項目データCSV書出し]: CSVファイル名を入力して下さい。"});
    EXPECT_EQ(readFile(txt), "-3\t1\r\n0\t1\r\n");
    const std::string csv = harness.file("values.csv");
    EXPECT_EQ(play("Item_OutToCsvWithHead,2,\"" + csv + "\""), 1);
    EXPECT_EQ(readFile(csv), cp932::literal("値,存在数\r\n-3,1\r\n0,1\r\n"));
    const std::string missing = harness.file("nowhere/values.csv");
    EXPECT_EQ(play("Item_OutToCsv,2,\"" + missing + "\""), 0);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_NE(lastMessage().find("nowhere"), std::string::npos) << lastMessage();
}

TEST_F(ItemPlayerTest, SearchTermStepsRoundTripAndTheBoxToggles) {
    CItemSheet* sheet = open(test::kSex);
    EXPECT_EQ(play("InputSearchTerm,1,\"1,2\""), 1);
    EXPECT_EQ(sheet->page().searchText(), "1,2");
    EXPECT_EQ(play("InputSearchTerm,1,\"" + std::string(256, 'a') + "\""), 0);
    EXPECT_EQ(lastMessage(), invalid("InputSearchTerm"));
    EXPECT_EQ(sheet->page().searchText(), "1,2");
    EXPECT_EQ(play("ChechStr,1"), 1);
    EXPECT_TRUE(sheet->page().textSearch());
    EXPECT_EQ(play("ChechStr,1"), 1);
    EXPECT_FALSE(sheet->page().textSearch());
}

TEST_F(ItemPlayerTest, MarkCopyAndNewSetSteps) {
    CItemSheet* sheet = open(test::kAge);
    ui::ScriptedClipboard clipboard;
    ASSERT_EQ(play("Item_SelectRow,2,1,1"), 1);
    ASSERT_EQ(play("Item_RemoveOnlySelection,2"), 1);
    EXPECT_EQ(sheet->page().selectedCountText(), "11");
    ASSERT_EQ(play("Item_SelectAll,2"), 1);
    ASSERT_EQ(play("Item_Copy,2"), 1);
    ASSERT_TRUE(clipboard.text());
    const std::string first = cp932::literal("ｴﾗｰ\t1\t8.3\r\n");
    EXPECT_EQ(clipboard.text()->substr(0, first.size()), first);
    ASSERT_EQ(play("CreateSet,2"), 1);
    EXPECT_EQ(app().Search().KWgetDataCount(), 11);
    EXPECT_EQ(sheet->page().totalCountText(), "11");
}

}  // namespace
}  // namespace zbq::windows
