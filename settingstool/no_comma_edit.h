// CNoCommaEdit: the menu-name field, which never holds a comma, since a comma ends the menu name
// inside ZBQ.ini's entry "number,menu name,macro file". A typed comma is refused with the default
// beep; a text that arrives with a comma (pasted, or from an input method) is refused with
// message 10027 and the field goes back to its last text without one, all selected.
#pragma once

#include <QLineEdit>

namespace zbq::settings {

class CNoCommaEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CNoCommaEdit(QWidget* parent = nullptr);

    // False while the comma message is up, when losing the focus means nothing.
    bool isActive() const { return active_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void checkText(const QString& text);

    QString remembered_;
    bool active_ = true;
};

}  // namespace zbq::settings
