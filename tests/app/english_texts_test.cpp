// ZBQ's two languages: which one the locale puts in force, and the English translation compiled
// into the program, as the frame's menus show it. That every text of the code has its English is
// checked by scripts/i18n --check, which the suite runs as its own test.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QTranslator>

#include "app/main_frame.h"
#include "app/startup_input.h"
#include "platform/ui/language.h"
#include "tests/support/in_language.h"

namespace {

using zbq::test::InLanguage;
using zbq::ui::Language;

TEST(Language, JapaneseUnlessTheLocaleNamesAnotherLanguage) {
    struct Case {
        const char* locale;
        Language expected;
    };
    const Case cases[] = {
        {"ja_JP", Language::Japanese}, {"C", Language::Japanese},    {"POSIX", Language::Japanese},
        {"en_US", Language::English},  {"de_DE", Language::English}, {"fr_FR", Language::English},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zbq::ui::languageOf(QLocale(QString::fromLatin1(c.locale))), c.expected)
            << c.locale;
}

QStringList menuTitles(const CMainFrame& frame) {
    QStringList titles;
    for (QAction* menu : frame.menuBar()->actions())
        titles << menu->text();
    return titles;
}

TEST(EnglishTexts, TheFrameShowsItsMenusInTheLanguageInForce) {
    CKWApp app;
    {
        InLanguage english("en_US");
        ASSERT_NE(english.translator(), nullptr) << "the English translation is not in the program";
        CMainFrame frame(app, {});
        EXPECT_EQ(menuTitles(frame),
                  (QStringList{"&File", "&View", "&Print", "&Macro", "&Window", "&Help"}));
        EXPECT_EQ(frame.action(CMainFrame::kRecordStart)->shortcut(), QKeySequence("Ctrl+R"));
        const struct {
            std::int32_t command;
            const char* text;
        } entries[] = {{CMainFrame::kRecordStart, "Start &Recording"},
                       {CMainFrame::kRecordStop, "&Stop Recording"},
                       {CMainFrame::kMacroMenu, "Show Macro &Menu"}};
        for (const auto& e : entries)
            EXPECT_EQ(frame.action(e.command)->text().toStdString(), e.text);
    }
    InLanguage japanese("C");
    EXPECT_EQ(japanese.translator(), nullptr);
    CMainFrame frame(app, {});
    EXPECT_EQ(menuTitles(frame).front(), QString::fromUtf8("ﾌｧｲﾙ(&F)"));
}

// A file ZBQ cannot start on, named on the command line: the system's message in the language in
// force, saying which inputs it takes.
TEST(EnglishTexts, AnInadequateFileAtStartUpIsToldInTheLanguageInForce) {
    const std::string path = zbq::app::expandedPath("book.xlsx");
    {
        InLanguage english("en_US");
        EXPECT_EQ(zbq::app::inputFromCommandLine("book.xlsx").refusal,
                  "Inadequate file[" + path +
                      "]\nOnly a ZBQ file (.zbq) or a definition file (.def) can be named at "
                      "start-up. Choose Excel files and text files in the open dialog, which "
                      "shows when no file is named.");
    }
    EXPECT_EQ(zbq::app::inputFromCommandLine("book.xlsx")
                  .refusal.rfind("ファイル形式が違います。[" + path + "]\n", 0),
              0u);
}

TEST(EnglishTexts, AWrittenTextStaysJapaneseAndAnUnknownOneShowsAsItStands) {
    InLanguage english("en_US");
    EXPECT_EQ(zbq::ui::shown("ﾌｧｲﾙ(&F)"), "&File");
    // Data, not a text of the program's: nothing to translate it to.
    EXPECT_EQ(zbq::ui::shown("年齢"), QString::fromUtf8("年齢"));
}

}  // namespace
