// The list views of the import dialogs: full-row selection, grid lines, several selected rows,
// fixed column widths (0 hides a column); their selections as ascending row indexes; and the
// dialogs' buttons by control id.
#pragma once

#include <QStringList>

#include <utility>
#include <vector>

class QEvent;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace zbq::app {

QTreeWidget* makeImportList(const QStringList& headers, const std::vector<int>& widths,
                            QWidget* parent);
std::vector<int> selectedRows(const QTreeWidget* list);
// Exactly these rows become selected; the last of them is scrolled into view.
void selectRows(QTreeWidget* list, const std::vector<int>& rows);

using ButtonTable = std::vector<std::pair<int, QPushButton*>>;
// The button of that control id; null when the dialog has none.
QPushButton* findButton(const ButtonTable& buttons, int id);
// The Delete key pressed: a list deletes its selected rows.
bool isDeleteKey(const QEvent* event);

}  // namespace zbq::app
