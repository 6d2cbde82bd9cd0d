// String tables: parsing, lookup with the missing-string report, the printf-style substitution
// and the choice of language by locale.
#include "platform/ui/string_table.h"
#include "platform/ui/scripted_prompts.h"

#include <gtest/gtest.h>

using zbq::ui::ScriptedPrompts;
using zbq::ui::StringTable;

TEST(StringTable, ParsesNumberedTextsExactly) {
    StringTable table;
    ASSERT_TRUE(StringTable::parse(
        R"({"10000": "環境設定ツール", "10027": "Menus names may not include commas (,).  ",
            "10": "a\nb"})",
        table));
    EXPECT_EQ(table.size(), 3);
    EXPECT_EQ(table.text(10000), QString::fromUtf8("環境設定ツール"));
    EXPECT_EQ(table.text(10027), QString("Menus names may not include commas (,).  "));
    EXPECT_EQ(table.text(10), QString("a\nb"));
}

TEST(StringTable, RefusesWhatIsNotATableAndKeepsTheOldOne) {
    StringTable table;
    ASSERT_TRUE(StringTable::parse(R"({"1": "one"})", table));
    for (const char* bad : {"", "[]", R"({"x1": "a"})", R"({"1x": "a"})", R"({"": "a"})",
                            R"({"1": 2})", R"({"1": "a")", R"({"99999999999": "a"})"}) {
        EXPECT_FALSE(StringTable::parse(bad, table)) << bad;
        EXPECT_EQ(table.text(1), QString("one")) << bad;
    }
}

TEST(StringTable, MissingStringIsReportedAndReadsEmpty) {
    ScriptedPrompts prompts;
    StringTable table;
    EXPECT_EQ(table.text(10046), QString());
    EXPECT_EQ(table.format(10046, {"x"}), QString());
    ASSERT_EQ(prompts.messages().size(), 2u);
    EXPECT_EQ(prompts.messages()[0].text, QString("Error Loading String: IDS_STRING10046"));
    EXPECT_EQ(prompts.messages()[0].icon, zbq::ui::Icon::Exclamation);
}

TEST(StringTable, SubstitutesArgumentsInOrder) {
    struct Case {
        const char* pattern;
        QStringList args;
        const char* expected;
    } cases[] = {
        {"%s ： %s", {"prt02", "1,a,b"}, "prt02 ： 1,a,b"},
        {"File %s does not exist.", {"/a/%s/ZBQ.ini"}, "File /a/%s/ZBQ.ini does not exist."},
        {"%d%%", {"50"}, "50%"},
        {"%s and %s", {"one"}, "one and %s"},  // a missing argument leaves the placeholder
        {"100%", {}, "100%"},
        {"%x %s", {"a"}, "%x a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zbq::ui::substitute(QString::fromUtf8(c.pattern), c.args),
                  QString::fromUtf8(c.expected))
            << c.pattern;
}

TEST(StringTable, JapaneseOrNoLanguageReadsJapaneseEveryOtherEnglish) {
    EXPECT_EQ(StringTable::languageOf(QLocale(QLocale::Japanese, QLocale::Japan)), "ja");
    EXPECT_EQ(StringTable::languageOf(QLocale(QLocale::English, QLocale::UnitedStates)), "en");
    EXPECT_EQ(StringTable::languageOf(QLocale(QLocale::German)), "en");
    // "C", "POSIX" and an unset locale name no language: the system's own is Japanese.
    EXPECT_EQ(StringTable::languageOf(QLocale::c()), "ja");
}

TEST(StringTable, UnknownTableLoadsEmptyInTheLocalesLanguage) {
    ScriptedPrompts prompts;
    const StringTable table = StringTable::load("NoSuchProgram", QLocale(QLocale::Japanese));
    EXPECT_EQ(table.language(), "ja");
    EXPECT_EQ(table.size(), 0);
}
