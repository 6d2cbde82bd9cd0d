// The tool's read-only text fields (the link folder, the macro file): the user cannot type in
// them, and they are drawn on the window's colour, as read-only fields look, rather than on
// the white of a field that takes typing. Styles such as Fusion draw every line edit on the
// palette's base colour whatever its role, so the field's own base colour is the window colour.
#pragma once

class QLineEdit;

namespace zbq::settings {

void makeReadOnlyField(QLineEdit* field);

}  // namespace zbq::settings
