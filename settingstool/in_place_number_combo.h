// CInPlaceNumberCombo: the drop-down list that CPrintFormatList opens over a number cell, offering
// the free numbers and the row's own. Enter takes the shown number, Esc cancels (the cell keeps its
// number), and losing the focus takes the shown number as Enter does. A list with nothing chosen
// (a row numbered outside 1 to 99) reports nothing, as Esc does.
//
// It lives on the list's viewport; the list deletes it after finished().
#pragma once

#include <QComboBox>

#include <optional>

namespace zbq::settings {

class CInPlaceNumberCombo : public QComboBox {
    Q_OBJECT

public:
    CInPlaceNumberCombo(int row, int column, const QStringList& offered, int selected,
                        QWidget* viewport);

    int row() const { return row_; }
    int column() const { return column_; }
    // Ends the edit as losing the focus does; only the first call reports.
    void finish();

signals:
    void finished(int row, int column, std::optional<QString> text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int row_;
    int column_;
    bool cancelled_ = false;
    bool finished_ = false;
};

}  // namespace zbq::settings
