// Finds the Japanese left in what a window shows while English is in force: every text a widget
// tree puts before the user (window titles, buttons' and labels' captions, tips, group titles,
// tab texts, combo entries, text views, the headers and cells of lists and tables, menu entries
// down every submenu, status texts) and the texts a message box was asked to show. A text holds
// Japanese when it holds kana, kanji or halfwidth katakana once the texts the program keeps
// Japanese in both languages are taken out of it.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStringList>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>

namespace zbq::test {

inline bool holdsJapanese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3040 && u <= 0x30FF) ||  // hiragana, katakana
               (u >= 0x3400 && u <= 0x9FFF) ||  // kanji
               (u >= 0xFF66 && u <= 0xFF9F);    // halfwidth katakana
    });
}

class JapaneseSweep {
public:
    // `kept`: the texts that stay Japanese in English, taken out of a text before it is judged.
    explicit JapaneseSweep(QStringList kept) : kept_(std::move(kept)) {
        // The longer first, so that "総計" goes before "計" would split it.
        std::sort(kept_.begin(), kept_.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
    }

    // "where: text" of every finding, in the order met.
    const QStringList& findings() const { return findings_; }

    void text(const QString& text, const QString& where) {
        QString rest = text;
        for (const QString& k : kept_)
            rest.remove(k);
        if (holdsJapanese(rest) && !findings_.contains(where + ": " + text))
            findings_ << where + ": " + text;
    }

    void menu(const QMenu& menu, const QString& where) {
        text(menu.title(), where);
        actions(menu.actions(), where);
    }

    void actions(const QList<QAction*>& actions, const QString& where) {
        for (const QAction* a : actions) {
            if (a->isSeparator()) continue;
            text(a->text(), where + " menu");
            text(a->toolTip(), where + " menu tip");
            text(a->statusTip(), where + " menu status tip");
            if (const QMenu* sub = a->menu(); sub && !visited_.contains(sub)) {
                visited_ << sub;
                menu(*sub, where + " > " + a->text());
            }
        }
    }

    // `root` and every widget in it.
    void widget(const QWidget& root, const QString& where) {
        QList<const QWidget*> all{&root};
        for (const QWidget* w : root.findChildren<QWidget*>())
            all << w;
        for (const QWidget* w : all)
            one(*w, where);
    }

private:
    void one(const QWidget& w, const QString& where) {
        const QString at = where + " " + w.metaObject()->className() +
                           (w.objectName().isEmpty() ? QString() : "#" + w.objectName());
        text(w.windowTitle(), at + " title");
        text(w.toolTip(), at + " tip");
        text(w.statusTip(), at + " status tip");
        text(w.whatsThis(), at + " what's this");
        actions(w.actions(), at);
        if (const auto* b = qobject_cast<const QAbstractButton*>(&w)) text(b->text(), at);
        if (const auto* l = qobject_cast<const QLabel*>(&w)) text(l->text(), at);
        if (const auto* g = qobject_cast<const QGroupBox*>(&w)) text(g->title(), at);
        if (const auto* e = qobject_cast<const QLineEdit*>(&w)) text(e->placeholderText(), at);
        if (const auto* e = qobject_cast<const QTextEdit*>(&w)) text(e->toPlainText(), at);
        if (const auto* e = qobject_cast<const QPlainTextEdit*>(&w)) text(e->toPlainText(), at);
        if (const auto* s = qobject_cast<const QStatusBar*>(&w)) text(s->currentMessage(), at);
        if (const auto* m = qobject_cast<const QMenu*>(&w)) menu(*m, at);
        if (const auto* t = qobject_cast<const QTabBar*>(&w)) {
            for (int i = 0; i < t->count(); ++i) {
                text(t->tabText(i), at + " tab");
                text(t->tabToolTip(i), at + " tab tip");
            }
        }
        if (const auto* c = qobject_cast<const QComboBox*>(&w)) {
            for (int i = 0; i < c->count(); ++i)
                text(c->itemText(i), at + " entry");
            text(c->currentText(), at + " text");
        }
        if (const auto* v = qobject_cast<const QAbstractItemView*>(&w); v && v->model())
            model(*v->model(), QModelIndex(), at, 0);
    }

    // Column and row titles and the cells, down the tree: a list's own captions are judged; its
    // data is the test's, in ASCII.
    void model(const QAbstractItemModel& m, const QModelIndex& parent, const QString& at,
               int depth) {
        const int rows = std::min(m.rowCount(parent), 300);
        const int columns = std::min(m.columnCount(parent), 60);
        if (depth == 0) {
            for (int c = 0; c < columns; ++c)
                text(m.headerData(c, Qt::Horizontal).toString(), at + " column title");
            for (int r = 0; r < rows; ++r)
                text(m.headerData(r, Qt::Vertical).toString(), at + " row title");
        }
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const QModelIndex i = m.index(r, c, parent);
                text(i.data(Qt::DisplayRole).toString(), at + " cell");
                text(i.data(Qt::ToolTipRole).toString(), at + " cell tip");
                if (depth < 8 && c == 0 && m.hasChildren(i)) model(m, i, at, depth + 1);
            }
    }

    QStringList kept_;
    QStringList findings_;
    QList<const QMenu*> visited_;
};

}  // namespace zbq::test
