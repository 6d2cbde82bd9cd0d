// Qt's own texts follow our string tables' language: Japanese under a Japanese locale (when Qt's
// translation files are installed), English under any other.
#include "platform/ui/qt_translations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace {

using zbq::ui::installQtTranslations;

QString yesButtonText() {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

// A locale naming no language ("C", "POSIX", unset) shows the system's own Japanese, Qt's too.
class QtJapanese : public ::testing::TestWithParam<QLocale> {};

TEST_P(QtJapanese, GetsQtsJapaneseTexts) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(dir + QStringLiteral("/qtbase_ja.qm")))
        GTEST_SKIP() << "Qt's Japanese translations are not installed (qt6-translations-l10n)";
    const QString english = yesButtonText();
    QTranslator* translator = installQtTranslations(GetParam());
    ASSERT_NE(translator, nullptr);
    EXPECT_EQ(translator->parent(), QCoreApplication::instance());
    const QString japanese = yesButtonText();
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_NE(japanese, english);
    EXPECT_TRUE(japanese.contains(QChar(0x306F))) << japanese.toStdString();  // "は" of "はい"
    EXPECT_EQ(yesButtonText(), english);
}

INSTANTIATE_TEST_SUITE_P(QtTranslations, QtJapanese,
                         ::testing::Values(QLocale(QLocale::Japanese, QLocale::Japan),
                                           QLocale::c()));

TEST(QtTranslations, OtherLocalesKeepQtsEnglish) {
    const QString english = yesButtonText();
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        EXPECT_EQ(installQtTranslations(locale), nullptr) << locale.name().toStdString();
        EXPECT_EQ(yesButtonText(), english);
    }
}

}  // namespace
