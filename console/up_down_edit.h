// CUpDownEdit: a one-line edit whose Up and Down keys step the whole number in it within 0 to
// 100 (the percent box of the cross-tab page). The text is read as a number the way a C
// program reads one: leading blanks, a sign and the digits before anything else; no digits is 0.
// Up: n + 1 for 0 <= n < 100, 1 below 0, 100 from 100 on. Down: n - 1 for 0 < n <= 100, 0 from
// 0 down, 99 above 100. Every key then gets the edit's own handling.
#pragma once

#include <QLineEdit>

#include <string>
#include <string_view>

// The number a text reads as; values beyond the int range read as its nearest end.
int upDownValue(std::string_view text);
std::string upDownStepUp(std::string_view text);
std::string upDownStepDown(std::string_view text);

class CUpDownEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CUpDownEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
