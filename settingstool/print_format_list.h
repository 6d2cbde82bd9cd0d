// CPrintFormatList: the report list of the format-printing rows in the main dialog. It shows a
// PrintFormatTable (owned by the dialog's model), edits a cell in place on a double click (the
// number through a list of free numbers, the menu name through a comma-refusing edit, the macro
// file through the file chooser) and sorts on a header click, each column keeping its own
// direction. Delete asks the dialog to delete the selected row.
//
// At most one in-place editor exists at a time; taking the focus, scrolling or sorting ends it
// first. GUI thread only.
#pragma once

#include "settingstool/print_format_table.h"

#include <QPointer>
#include <QTreeWidget>

#include <optional>

namespace zbq::settings {

class CPrintFormatList : public QTreeWidget {
    Q_OBJECT

public:
    explicit CPrintFormatList(QWidget* parent = nullptr);
    ~CPrintFormatList() override;

    // The rows to show; not owned. Call refresh() after changing them from outside.
    void setTable(PrintFormatTable* table);
    void refresh();

    int selectedRow() const;  // -1 when none
    void selectRow(int row);  // -1 clears the selection

    // Column widths of 2, 4 and 4 tenths of the list's width.
    void spreadColumns();

    // The in-place editing of a double click on the cell (row, column).
    void editCell(int row, int column);
    // The editor now open, or null.
    QWidget* editor() const { return editor_; }
    // Ends the open editor as its losing the focus would.
    void endEdit();

    // A click on a column header.
    void sortOn(int column);

signals:
    void deleteRequested();
    // After an in-place edit or a sort has changed the rows.
    void rowsChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect placeEditor(int row, int column);
    void editNumber(int row, const QRect& cell);
    void editMenuName(int row, const QRect& cell);
    void chooseMacroFile(int row);
    void numberEdited(int row, std::optional<QString> text);
    void menuNameEdited(int row, std::optional<QString> text);
    void closeEditor();

    PrintFormatTable* table_ = nullptr;
    QPointer<QWidget> editor_;
};

}  // namespace zbq::settings
