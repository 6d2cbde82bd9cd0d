// The list views of the import dialogs: full-row selection, grid lines, several selected rows,
// fixed column widths (0 hides a column); and their selections as ascending row indexes.
#pragma once

#include <QStringList>

#include <vector>

class QTreeWidget;
class QWidget;

namespace zbq::app {

QTreeWidget* makeImportList(const QStringList& headers, const std::vector<int>& widths,
                            QWidget* parent);
std::vector<int> selectedRows(const QTreeWidget* list);
// Exactly these rows become selected; the last of them is scrolled into view.
void selectRows(QTreeWidget* list, const std::vector<int>& rows);

}  // namespace zbq::app
