#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "tests/support/data_sel_snapshot.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "console/data_sel_page.h"
#include "console/filter_cond_dlg.h"
#include "console/set_tree_view.h"
#include "console/state_image_delegate.h"

namespace zbq::test {

void snapshotDataSel(const CDataSelPage& page, std::ostream& out) {
    out << "set tree: collapse " << (page.CollapseAllowed() ? "allowed" : "refused") << " current "
        << page.CurrentSetNo() << "\n";
    for (QTreeWidgetItemIterator it(page.setTree()); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* n = *it; n->parent(); n = n->parent())
            ++depth;
        out << "  node " << depth << " No." << CDataSelTreeView::setNumberOf(*it) << " \""
            << (*it)->text(0).toStdString() << "\""
            << ((*it)->data(0, StateImageDelegate::kStateImageRole).toInt() == 1 ? " marked" : "")
            << ((*it)->childCount() > 0 && (*it)->isExpanded() ? " expanded" : "") << "\n";
    }
    out << "conditions: " << (page.orButton()->isChecked() ? "OR" : "AND") << " buttons";
    for (int id : {1014, 1017, 1016})
        out << " " << id << (page.button(id)->isEnabled() ? " on" : " off");
    out << "\n";
    const QTreeWidget* rows = page.conditionList();
    for (int row = 0; row < rows->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = rows->topLevelItem(row);
        out << "  condition row " << row << ": \"" << item->text(0).toStdString() << "\" \""
            << item->text(1).toStdString() << "\" \"" << item->text(2).toStdString() << "\"\n";
    }
    if (const CFilterCondDlg* dialog = page.NewestPlayerDialog()) {
        const FilterDialogModel& m = dialog->model();
        out << "filter dialog: mode " << m.mode() << " row " << m.index() << " item \""
            << dialog->itemCombo()->currentText().toStdString() << "\" operator "
            << m.operatorIndex() << " of " << dialog->operatorCount() << " bound " << m.boundIndex()
            << " value1 \"" << dialog->value1Edit()->text().toStdString() << "\" value2 \""
            << dialog->value2Edit()->text().toStdString() << "\"\n";
    }
}

}  // namespace zbq::test
