// What the recorded-session tests do on the real widgets, shared by them, with the focus moved
// by clicks and keys as a user moves it (real_input.h): typing into a field, choosing a combo
// entry, the filter dialog filled in, a set dropped on another in the set tree,
// rows added in the class dialogs, a value list's menu entries and drags, an item window's tab
// and search field, a result grid's cell, the first value cell of an aggregation.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>
#include <string>

#include "console/class_dialogs.h"
#include "console/data_sel_page.h"
#include "console/filter_cond_dlg.h"
#include "console/set_tree_view.h"
#include "tests/support/real_input.h"
#include "windows/grid_controller.h"
#include "windows/item_sheet.h"
#include "windows/molap_view.h"
#include "windows/value_list_view.h"

namespace zbq::test {

// The user clicks into a field, replaces its text by typing and leaves it with Tab.
inline void type(QWidget* field, const char* utf8) {
    typeAndLeave(field, QString::fromUtf8(utf8));
}

// The user picks the combo box's entry, which emits the combo's own signal.
inline void chooseEntry(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// The filter dialog filled as a user does: item, operator, a value typed into its box, OK.
inline int typeCondition(QDialog& d, int item, int op, const char* value) {
    auto& dialog = static_cast<CFilterCondDlg&>(d);
    activate(&dialog);
    chooseEntry(dialog.itemCombo(), item);
    chooseEntry(dialog.operatorCombo(), op);
    typeInto(dialog.value1Edit(), QString::fromUtf8(value));
    press(dialog.findChildren<QPushButton*>().front());
    return dialog.result();
}

// The centre of a set's node, every node expanded.
inline QPoint centreOf(CDataSelPage& page, std::int32_t setNo) {
    CDataSelTreeView* tree = page.setTree();
    tree->programChange([tree] { tree->expandAll(); });
    QApplication::processEvents();
    return tree->visualItemRect(page.FindSetItem(setNo)).center();
}

// Set `dragged` dropped on set `target`; the page's menu chooser answers what the drop asks.
inline void dropSet(CDataSelPage& page, std::int32_t dragged, std::int32_t target) {
    const QPoint at = centreOf(page, target);
    QMimeData mime;
    mime.setData(QString::fromLatin1(kSetMimeType), QByteArray::number(dragged));
    QWidget* viewport = page.setTree()->viewport();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QApplication::processEvents();
}

// A small class typed into the small-class dialog and added.
inline void addSmall(CMinorCategoryDlg& d, const char* name, int op, const char* n1,
                     const char* n2) {
    type(d.nameEdit(), name);
    emit d.operatorList()->activated(op);
    if (*n1) type(d.term1Combo(), n1);
    if (*n2) type(d.term2Edit(), n2);
    press(d.button("追加"));
}

// A row of a middle- or large-class dialog: its name typed, its member chosen, added.
inline void addRow(CCategoryListDlg& d, const char* name, int member) {
    type(d.nameEdit(), name);
    emit d.memberList()->activated(member);
    press(d.button("追加"));
}

// The menu entry with that text, found through the sub-menus ("外す/選択範囲を外す").
inline QAction* menuAction(QMenu* menu, const QString& path) {
    QMenu* at = menu;
    const QStringList parts = path.split('/');
    for (int i = 0; i < parts.size(); ++i) {
        QAction* found = nullptr;
        for (QAction* a : at->actions())
            if (a->text() == parts[i]) found = a;
        if (!found) return nullptr;
        if (i + 1 == parts.size()) return found;
        at = found->menu();
        if (!at) return nullptr;
    }
    return nullptr;
}

inline void runMenu(windows::ValueListView* view, const QString& path) {
    std::unique_ptr<QMenu> menu(view->buildMenu());
    QAction* action = menuAction(menu.get(), path);
    ASSERT_NE(action, nullptr) << path.toStdString();
    action->trigger();
}

inline void clickTab(windows::CItemSheet& sheet, int index) {
    QTabBar* bar = sheet.tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// A drag down the value list's rows, `first` to `last`.
inline void dragRows(windows::ValueListView* view, int first, int last) {
    QWidget* list = view->grid().list()->viewport();
    const int rowHeight = view->grid().geometry().rowHeight();
    const auto y = [rowHeight](int row) { return row * rowHeight + 5; };
    QTest::mousePress(list, Qt::LeftButton, {}, QPoint(10, y(first)));
    const QPointF to(10, y(last));
    QMouseEvent move(QEvent::MouseMove, to, list->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(list, &move);
    QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(10, y(last)));
}

// A search typed into the item window's field, which it leaves with Tab.
inline void typeSearch(windows::CItemSheet& sheet, const QString& text) {
    typeAndLeave(sheet.searchField(), text);
}

// The centre of a result grid's cell in its list's viewport, as the grid is scrolled now.
inline QPoint cellCentre(const windows::GridController& g, int column, int row) {
    return {g.columnLeft(column) - g.xOffset() + g.columnWidth(column) / 2,
            (row - g.topRow()) * g.rowHeight() + g.rowHeight() / 2};
}

// The first body cell of an aggregation that shows a value: a drill there narrows the records.
inline QModelIndex firstValueCell(const windows::CMOLAPView& view) {
    const windows::MolapLayout& l = view.layout();
    for (std::int32_t r = l.fixedRows(); r < view.rows(); ++r)
        for (std::int32_t c = l.fixedColumns(); c < view.columns(); ++c)
            if (!view.cellText(r, c).empty()) return view.index(r, c);
    return {};
}

}  // namespace zbq::test
