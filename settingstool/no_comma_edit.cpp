#include "settingstool/no_comma_edit.h"

#include "platform/ui/prompts.h"
#include "settingstool/string_ids.h"
#include "settingstool/tool_strings.h"

#include <QKeyEvent>

namespace zbq::settings {

CNoCommaEdit::CNoCommaEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &CNoCommaEdit::checkText);
}

void CNoCommaEdit::keyPressEvent(QKeyEvent* event) {
    if (event->text().contains(u',')) {
        ui::prompts().beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CNoCommaEdit::checkText(const QString& text) {
    if (!text.contains(u',')) {
        remembered_ = text;
        return;
    }
    active_ = false;
    ui::prompts().message(this, settings::text(ids::CommaRefused), settings::text(ids::Caption),
                          ui::Icon::Information);
    active_ = true;
    setText(remembered_);  // comes back here without a comma
    selectAll();
}

}  // namespace zbq::settings
