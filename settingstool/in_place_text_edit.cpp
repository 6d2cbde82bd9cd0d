#include "settingstool/in_place_text_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>

namespace zbq::settings {

CInPlaceTextEdit::CInPlaceTextEdit(int row, int column, const QString& text, QWidget* viewport)
    : CNoCommaEdit(viewport), row_(row), column_(column) {
    setObjectName(QStringLiteral("inPlaceText"));
    setFont(viewport->font());
    setText(text);
    connect(this, &QLineEdit::textEdited, this, &CInPlaceTextEdit::widenFor);
}

void CInPlaceTextEdit::finish() {
    if (finished_) return;
    finished_ = true;
    std::optional<QString> result;
    if (!cancelled_ && !text().isEmpty()) result = text();
    emit finished(row_, column_, result);
}

bool CInPlaceTextEdit::event(QEvent* event) {
    // Delete and Ctrl+key belong to the text while it is edited, not to shortcuts around it.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete || key->modifiers().testFlag(Qt::ControlModifier)) {
            event->accept();
            return true;
        }
    }
    return CNoCommaEdit::event(event);
}

void CInPlaceTextEdit::keyPressEvent(QKeyEvent* event) {
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
            CNoCommaEdit::keyPressEvent(event);
    }
}

void CInPlaceTextEdit::focusOutEvent(QFocusEvent* event) {
    CNoCommaEdit::focusOutEvent(event);
    // The comma message and our own context menu take the focus only for a moment.
    if (!isActive() || event->reason() == Qt::PopupFocusReason) return;
    finish();
}

void CInPlaceTextEdit::widenFor(const QString& text) {
    // The frame and the edit's own text margins come on top of the text itself.
    const int chrome = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) + 4;
    const int needed = fontMetrics().horizontalAdvance(text) + 5 + chrome;
    if (needed <= width()) return;
    const int room = parentWidget()->width() - x();
    resize(std::min(needed, room), height());
}

}  // namespace zbq::settings
