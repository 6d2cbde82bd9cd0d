// The macro dialogs and a run's messages in the language in force: each dialog's captions in
// English and unchanged in Japanese, the variable-value question's English layout, and the
// prompts and refusals of a step, whose texts quote data.
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <memory>

#include "macro/macro_menu_dlg.h"
#include "macro/macro_name_dlg.h"
#include "macro/record_cond_dlg.h"
#include "macro/structure_block.h"
#include "macro/var_cond_dlg.h"
#include "macro/work_list_dlg.h"
#include "platform/ui/modal_runner.h"
#include "tests/macro/macro_fixture.h"
#include "tests/support/in_language.h"
#include "tests/support/real_input.h"

namespace zbq::test {
namespace {

class MacroEnglish : public MacroTest {
protected:
    MacroEnglish() { macro.AddMacro("m", "", {"DispConsole", "Prt,3"}); }
};

TEST_F(MacroEnglish, EachDialogShowsItsEnglishAndItsJapaneseUnchanged) {
    using Case = ShownCaptions;
    const Case cases[] = {
        {"macro menu",
         [&] { return std::make_unique<CMacroMenuDlg>(macro, 0); },
         {"Macro &list:", "&Explanation:", "&Execute", "&Step through", "&Rename", "&Delete",
          "&Import", "&Close", "Toward top", "Toward bottom"},
         {"ﾏｸﾛ一覧(&L)：", "説明(&E)：", "実行(&R)", "ｽﾃｯﾌﾟ実行(&S)", "名称変更(&M)", "削除(&D)",
          "ｲﾝﾎﾟｰﾄ(&I)", "閉じる(&C)", "上へ", "下へ", "マクロメニュー", "ﾏｸﾛ名"}},
        {"name dialog",
         [&] { return std::make_unique<CMacroNameDlg>(macro, "m", -1); },
         {"OK", "Cancel"},
         {"OK", "ｷｬﾝｾﾙ", "ﾏｸﾛ名"}},
        {"work list",
         [&] { return std::make_unique<CWorkListDlg>(macro, 0); },
         {"Step", "Abort", "Show console", "Format printing"},
         {"ステップ", "中止", "作業リスト", "ｽﾃｯﾌﾟ名", "ｺﾏﾝﾄﾞ", "コンソールを表示", "定型印刷"}},
        {"recording indicator",
         [] { return std::make_unique<CRecordCondDlg>(); },
         {"Fixed", "Variable"},
         {"固定", "可変", "条件の記録"}},
        {"variable value",
         [&] { return std::make_unique<CVarCondDlg>(app, QStringLiteral("p"), 1); },
         {"Browse", "OK"},
         {"参照...", "OK", "可変条件の入力"}},
    };
    expectShownInBothLanguages(cases);
}

// The indicator's title bar, no wider than its two buttons would make it, shows the title whole
// beside the window manager's boxes in either language.
TEST_F(MacroEnglish, TheIndicatorsTitleFitsItsWindow) {
    for (const char* locale : {"en_US", "ja_JP"}) {
        const InLanguage language(locale);
        CRecordCondDlg indicator;
        EXPECT_GE(roomBesideTitle(indicator), 100) << locale;
    }
}

// The English template's edit is narrower and its browse button further left; the value the
// dialog takes is the same in both.
TEST_F(MacroEnglish, TheVariableValueQuestionTakesEachLanguagesLayout) {
    struct Case {
        const char* locale;
        int editWidth;
        int browseX;
    };
    for (const Case& c : {Case{"ja_JP", 282, 294}, Case{"en_US", 272, 285}}) {
        const InLanguage language(c.locale);
        CVarCondDlg file(app, QStringLiteral("p"), 1);
        EXPECT_EQ(file.valueEdit()->geometry(), QRect(10, 36, c.editWidth, 24)) << c.locale;
        EXPECT_EQ(file.browseButton()->geometry(), QRect(c.browseX, 36, 370 - c.browseX, 24))
            << c.locale;
        CVarCondDlg plain(app, QStringLiteral("p"), -1);
        EXPECT_EQ(plain.valueEdit()->width(), c.editWidth + 40) << c.locale;
        // The button's caption is drawn whole, with the frame's margins beside it.
        const QPushButton* browse = file.browseButton();
        EXPECT_GE(browse->width(), browse->fontMetrics().horizontalAdvance(browse->text()) + 12)
            << c.locale;

        answerModal<CVarCondDlg>([](CVarCondDlg& question) {
            typeInto(question.valueEdit(), QString::fromUtf8("東京"));
            press(question.okButton());
        });
        VarCondAsker asker(app);
        EXPECT_EQ(asker.askMacroParameter("[x]: value", -1), cp932::literal("東京")) << c.locale;
    }
}

// A step's question and refusals quote the step's data: the English is the whole sentence with
// the data put in, the Japanese the sentence as it always was.
TEST_F(MacroEnglish, AStepsPromptAndRefusalsReadInTheLanguageInForce) {
    struct Case {
        const char* locale;
        const char* prompt;
        const char* refusal;
        const char* count;
    };
    const Case cases[] = {
        {"en_US", "[Write to ZBQ]: Enter the ZBQ file name.",
         "The command [SaveZbw] is missing a parameter: File name.\nThe macro is stopped.",
         "The command [Prt] has a wrong number of parameters.\nThis command takes [1] "
         "parameters.\nThe macro is stopped."},
        {"ja_JP", "[ＺＢＱに書出し]: ZBQファイル名を入力して下さい。",
         "コマンド[SaveZbw]のパラメータにファイル名が指定されていません。\nマクロの実行を中止します"
         "。",
         nullptr},
    };
    for (const Case& c : cases) {
        const InLanguage language(c.locale);
        prompts.clear();
        asker.asked.clear();
        // The question is cancelled: the missing file name stops the step.
        EXPECT_EQ(macro.ExecuteCommand({"SaveZbw", "???", "", "0"}), 0) << c.locale;
        ASSERT_EQ(asker.asked.size(), 1u) << c.locale;
        EXPECT_EQ(asker.asked[0].first, c.prompt) << c.locale;
        EXPECT_EQ(lastMessage(), c.refusal) << c.locale;
        EXPECT_EQ(macro.ExecuteCommand({"Prt"}), 0) << c.locale;
        EXPECT_EQ(lastMessage(), c.count ? std::string(c.count) : countMessage("Prt", 1))
            << c.locale;
    }
}

// Where a macro file's structure differs from the data set's, which the refusal to read it quotes.
TEST(MacroEnglishTexts, WhereTwoStructuresDifferReadsInTheLanguageInForce) {
    MacroStructureBlock fewer, more;
    fewer.itemCount = 1;
    more.itemCount = 2;
    MacroStructureBlock codes, otherCodes;
    codes.codeLists = {CodeList{4, {"1", "2"}}};
    otherCodes.codeLists = {CodeList{4, {"1", "9"}}};
    struct Case {
        const char* locale;
        const char* count;
        const char* code;
    };
    for (const Case& c : {Case{"en_US", "Number of items", "Code 2 of item 4"},
                          Case{"ja_JP", "項目数", "4番目の項目の2番目のコード"}}) {
        const InLanguage language(c.locale);
        EXPECT_EQ(CompareStructureBlock(fewer, more), c.count) << c.locale;
        EXPECT_EQ(CompareStructureBlock(otherCodes, codes), c.code) << c.locale;
    }
}

}  // namespace
}  // namespace zbq::test
