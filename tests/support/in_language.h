// Puts a language in force for the lifetime of one object, as the locale does at start-up, and
// the Japanese back after it: InLanguage english("en_US") installs the program's English
// translation (translator() is null when the program lacks it, and for a Japanese locale).
// shownTexts() gathers what a window shows, for the tests that read it in either language, and
// roomBesideTitle() tells whether its title bar can show its title whole.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <QTreeView>
#include <QWidget>

#include <functional>
#include <memory>
#include <span>

#include "platform/ui/language.h"

namespace zbq::test {

class InLanguage {
public:
    explicit InLanguage(const char* locale)
        : translator_(zbq::ui::installProgramTranslation(QLocale(QString::fromLatin1(locale)))) {}
    ~InLanguage() {
        if (translator_) {
            QCoreApplication::removeTranslator(translator_);
            delete translator_;
        }
        zbq::ui::setLanguage(zbq::ui::Language::Japanese);
    }
    InLanguage(const InLanguage&) = delete;
    InLanguage& operator=(const InLanguage&) = delete;
    QTranslator* translator() const { return translator_; }

private:
    QTranslator* translator_;
};

// Every text `window` shows: its title, its buttons' and labels' captions and tooltips, its lists'
// column titles and their cells.
inline QStringList shownTexts(const QWidget& window) {
    QStringList texts{window.windowTitle()};
    for (const QAbstractButton* b : window.findChildren<QAbstractButton*>())
        texts << b->text() << b->toolTip();
    for (const QLabel* l : window.findChildren<QLabel*>())
        texts << l->text();
    for (const QTreeView* list : window.findChildren<QTreeView*>()) {
        const QAbstractItemModel* m = list->model();
        for (int c = 0; c < m->columnCount(); ++c) {
            texts << m->headerData(c, Qt::Horizontal).toString();
            for (int r = 0; r < m->rowCount(); ++r)
                texts << m->index(r, c).data().toString();
        }
    }
    texts.removeAll(QString());
    return texts;
}

// How much wider `window` is than its title drawn in bold, as window managers draw it: the room
// left for their icon and boxes beside it.
inline int roomBesideTitle(const QWidget& window) {
    QFont bold = window.font();
    bold.setBold(true);
    return window.minimumWidth() - QFontMetrics(bold).horizontalAdvance(window.windowTitle());
}

// A window made afresh in each language, and the captions it must show in each: in English none
// of its Japanese captions is left, unless the English holds it too.
struct ShownCaptions {
    const char* dialog;
    std::function<std::unique_ptr<QWidget>()> make;
    QStringList english;
    QStringList japanese;
};

inline void expectShownInBothLanguages(std::span<const ShownCaptions> cases) {
    for (const char* locale : {"en_US", "ja_JP"}) {
        const InLanguage language(locale);
        const bool english = zbq::ui::englishShown();
        if (english) {
            ASSERT_NE(language.translator(), nullptr);
        }
        for (const ShownCaptions& c : cases) {
            const std::unique_ptr<QWidget> dialog = c.make();
            const QStringList shown = shownTexts(*dialog);
            for (const QString& text : english ? c.english : c.japanese)
                EXPECT_TRUE(shown.contains(text))
                    << c.dialog << " in " << locale << " lacks " << text.toStdString()
                    << "; it shows " << shown.join(" | ").toStdString();
            if (!english) continue;
            for (const QString& text : c.japanese) {
                if (!c.english.contains(text)) {
                    EXPECT_FALSE(shown.contains(text))
                        << c.dialog << " still shows " << text.toStdString() << " in English";
                }
            }
        }
    }
}

}  // namespace zbq::test
