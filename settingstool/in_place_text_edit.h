// CInPlaceTextEdit: the editor that CPrintFormatList opens over a menu-name cell. It refuses
// commas as CNoCommaEdit does, keeps Enter and Esc to itself (Enter commits, Esc cancels, and
// neither reaches the dialog's Save), widens as the text grows, and ends the edit when it loses
// the focus, reporting the new text, or nothing when cancelled or left empty.
//
// It lives on the list's viewport; the list deletes it after finished().
#pragma once

#include "settingstool/no_comma_edit.h"

#include <optional>

namespace zbq::settings {

class CInPlaceTextEdit : public CNoCommaEdit {
    Q_OBJECT

public:
    CInPlaceTextEdit(int row, int column, const QString& text, QWidget* viewport);

    int row() const { return row_; }
    int column() const { return column_; }
    // Ends the edit as losing the focus does; only the first call reports.
    void finish();

signals:
    void finished(int row, int column, std::optional<QString> text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void widenFor(const QString& text);

    int row_;
    int column_;
    bool cancelled_ = false;
    bool finished_ = false;
};

}  // namespace zbq::settings
