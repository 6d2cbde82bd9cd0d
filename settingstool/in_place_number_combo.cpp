#include "settingstool/in_place_number_combo.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace zbq::settings {

CInPlaceNumberCombo::CInPlaceNumberCombo(int row, int column, const QStringList& offered,
                                         int selected, QWidget* viewport)
    : QComboBox(viewport), row_(row), column_(column) {
    setObjectName(QStringLiteral("inPlaceNumber"));
    setFont(viewport->font());
    setMaxVisibleItems(5);
    addItems(offered);
    setCurrentIndex(selected);
}

void CInPlaceNumberCombo::finish() {
    if (finished_) return;
    finished_ = true;
    std::optional<QString> result;
    if (!cancelled_ && currentIndex() >= 0) result = currentText();
    emit finished(row_, column_, result);
}

void CInPlaceNumberCombo::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            cancelled_ = true;
            [[fallthrough]];
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            finish();
            return;
        default:
            QComboBox::keyPressEvent(event);
    }
}

void CInPlaceNumberCombo::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;  // its own drop-down list
    finish();
}

}  // namespace zbq::settings
