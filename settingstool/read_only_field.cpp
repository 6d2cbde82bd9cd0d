#include "settingstool/read_only_field.h"

#include <QLineEdit>
#include <QPalette>

namespace zbq::settings {

void makeReadOnlyField(QLineEdit* field) {
    field->setReadOnly(true);
    QPalette palette = field->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Window));
    field->setPalette(palette);
}

}  // namespace zbq::settings
