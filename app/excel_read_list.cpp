#include "app/excel_read_list.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

#include <algorithm>

namespace zbq::app {

QTreeWidget* makeImportList(const QStringList& headers, const std::vector<int>& widths,
                            QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setHeaderLabels(headers);
    // Ruled cells, as in a grid. A rule for the items takes their drawing from the style, so
    // the selection's colours are given with it: else a selected row's text was drawn in the
    // highlight's text colour on an unhighlighted ground, white on white.
    list->setStyleSheet(
        QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"
                       "QTreeView::item:selected { background: palette(highlight);"
                       " color: palette(highlighted-text); }"));
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        list->setColumnWidth(i, widths[i]);
        if (widths[i] == 0) list->setColumnHidden(i, true);
    }
    return list;
}

std::vector<int> selectedRows(const QTreeWidget* list) {
    std::vector<int> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected()) rows.push_back(i);
    return rows;
}

void selectRows(QTreeWidget* list, const std::vector<int>& rows) {
    list->clearSelection();
    for (int row : rows)
        if (QTreeWidgetItem* item = list->topLevelItem(row)) {
            item->setSelected(true);
            list->scrollToItem(item);
        }
}

QPushButton* findButton(const ButtonTable& buttons, int id) {
    for (const auto& [key, button] : buttons)
        if (key == id) return button;
    return nullptr;
}

bool isDeleteKey(const QEvent* event) {
    return event->type() == QEvent::KeyPress &&
           static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Delete;
}

}  // namespace zbq::app
