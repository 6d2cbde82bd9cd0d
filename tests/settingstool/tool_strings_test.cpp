// The tool's texts: both languages carry every number, and the locale chooses between them.
#include "settingstool/tool_strings.h"
#include "settingstool/settings_dlg.h"
#include "settingstool/string_ids.h"
#include "tests/settingstool/settings_fixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>

#include <gtest/gtest.h>

namespace zbq::settings {
namespace {

QStringList keysOf(const QString& resource) {
    QFile file(resource);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << resource.toStdString();
    return QJsonDocument::fromJson(file.readAll()).object().keys();
}

TEST(ToolStrings, BothLanguagesCarryTheSameNumbers) {
    const QStringList ja = keysOf(":/strings/ZBQIniViewer.ja.json");
    EXPECT_EQ(ja, keysOf(":/strings/ZBQIniViewer.en.json"));
    EXPECT_GT(ja.size(), 70);
}

TEST(ToolStrings, LocaleChoosesTheLanguageOfEveryText) {
    struct Case {
        QLocale locale;
        const char* caption;
        const char* save;
    } cases[] = {
        {QLocale(QLocale::Japanese, QLocale::Japan), "環境設定ツール", "保存"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "Environment Setting Tool", "Save"},
        {QLocale(QLocale::French), "Environment Setting Tool", "Save"},
    };
    for (const Case& c : cases) {
        // Building the dialog and running every command that needs no answer looks up every
        // text of the main dialog; none may be missing.
        test::ToolFolder folder(test::iniBytes({"[image]", "path=/a"}), c.locale);
        CSettingsDlg dialog;
        ASSERT_TRUE(dialog.start(folder.iniPath()));
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(dialog.findChild<QPushButton*>("save")->text(), QString::fromUtf8(c.save));
        for (const ui::Message& m : folder.prompts.messages())
            EXPECT_FALSE(m.text.startsWith("Error Loading String")) << m.text.toStdString();
    }
}

TEST(ToolStrings, EnglishTextsKeepTheirExactForm) {
    test::ToolFolder folder(test::iniBytes({}), QLocale(QLocale::English));
    EXPECT_EQ(text(ids::CommaRefused), "Menus names may not include commas (,).  ");
    EXPECT_EQ(text(ids::FileMissing, {"/opt/ZBQ.ini"}),
              "File /opt/ZBQ.ini does not exist.\nExiting application.");
}

}  // namespace
}  // namespace zbq::settings
