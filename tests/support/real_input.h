// Input as a user gives it, for the tests that record what a user does: the window under the
// pointer made active (as a click on its frame does), a click into a field, keys typed into the
// widget that has the focus, the field left with Tab or by a click elsewhere, a button pressed
// with the mouse; and the answer to a modal dialog given from inside its own modal loop by
// timers that click its buttons. Focus events come only from the application as these move the
// focus, never from the test.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <typeinfo>

namespace zbq::test {

// Shows `widget`'s window if needed and makes it the active window; false when the platform
// would not. A window that closes hands the activation to another one a moment later, so the
// activation is asked again until it holds.
inline bool activate(QWidget* widget) {
    QWidget* window = widget->window();
    if (!window->isVisible()) window->show();
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (QApplication::activeWindow() != window) {
            window->raise();
            window->activateWindow();
            if (!QTest::qWaitForWindowActive(window, 1000)) continue;
        }
        QTest::qWait(10);
        if (QApplication::activeWindow() == window) return true;
    }
    ADD_FAILURE() << "the window " << window->windowTitle().toStdString()
                  << " did not become active";
    return false;
}

// The widget a click lands on for `field`: an editable combo box is clicked in its text.
inline QWidget* clickTarget(QWidget* field) {
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        return combo->lineEdit();
    return field;
}

// A left click into `field` on its active window, near its left end (clear of a combo's arrow).
inline void clickInto(QWidget* field) {
    QWidget* target = clickTarget(field);
    activate(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
    if (!field->hasFocus() && !target->hasFocus())
        ADD_FAILURE() << "the click left the focus in "
                      << (QApplication::focusWidget()
                              ? QApplication::focusWidget()->metaObject()->className()
                              : "no widget");
}

// Keys typed into the widget that has the focus; each character is one key press carrying it,
// as a keyboard or an input method sends it.
inline void typeKeys(const QString& text) {
    QWidget* at = QApplication::focusWidget();
    if (!at) {
        ADD_FAILURE() << "no widget has the focus to type into";
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
        const QString key = text.mid(i, n);
        if (n == 1 && text[i].unicode() < 0x80 && text[i].isPrint())
            QTest::keyClick(at, text[i].toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, at, Qt::Key_unknown, key, Qt::NoModifier);
        i += n - 1;
    }
}

// All of the focused field's text selected, as Ctrl+A does, so that what is typed replaces it.
inline void selectAllKeys() {
    if (QWidget* at = QApplication::focusWidget())
        QTest::keyClick(at, Qt::Key_A, Qt::ControlModifier);
}

// A click into `field`, its text replaced by `text`, the focus left in it.
inline void typeInto(QWidget* field, const QString& text) {
    clickInto(field);
    selectAllKeys();
    typeKeys(text);
}

// Tab pressed where the focus is: the field gives the focus to the next control.
inline void leaveWithTab() {
    if (QWidget* at = QApplication::focusWidget()) QTest::keyClick(at, Qt::Key_Tab);
}

// The field entered, its text replaced by `text` and left with Tab.
inline void typeAndLeave(QWidget* field, const QString& text) {
    typeInto(field, text);
    leaveWithTab();
}

// A button pressed with the mouse on its active window.
inline void press(QAbstractButton* button) {
    if (!button) {
        ADD_FAILURE() << "no button";
        return;
    }
    activate(button);
    // A check box or radio button takes a click on its mark or its text only; its mark sits at
    // the left, whatever width the layout gave it.
    const bool marked = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    const QPoint at = marked ? QPoint(std::min(8, button->width() / 2), button->height() / 2)
                             : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

// A double click as the mouse gives it: a click, then the second press arriving as a double
// click, then its release. (QTest::mouseDClick alone sends the double click without the first
// click, which a view takes for a press on a row it has not seen pressed.)
inline void doubleClick(QWidget* widget, QPoint at) {
    activate(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

// Row `row` of `combo` chosen from its drop-down list with the mouse: a click on the arrow at
// its right end drops the list down (an editable combo's too), a click on the row picks it and
// closes the list.
inline void pickFromList(QComboBox* combo, int row) {
    activate(combo);
    QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(combo->width() - 6, combo->height() / 2));
    QAbstractItemView* view = combo->view();
    if (!QTest::qWaitFor([view] { return view->isVisible(); }, 10000)) {
        ADD_FAILURE() << "the list did not drop down";
        return;
    }
    // The list takes a release that comes within a double click of the press that dropped it
    // for that press's own; a hand moving to the row takes longer.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QModelIndex index = combo->model()->index(row, combo->modelColumn());
    view->scrollTo(index);
    // A row may reach past a narrow list's edge: the click lands on its part that shows.
    const QRect shown = view->visualRect(index) & view->viewport()->rect();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, shown.center());
    if (!QTest::qWaitFor([view] { return !view->isVisible(); }, 10000))
        ADD_FAILURE() << "the list stayed down";
}

// The button of `dialog` whose caption (without its '&') or object name is `name`.
inline QAbstractButton* buttonOf(QWidget& dialog, const QString& name) {
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        if (button->objectName() == name || button->text().remove('&') == name) return button;
    return nullptr;
}

// Runs `answer` on the next modal dialog of type T from inside that dialog's own modal loop, once
// it is the active modal window; the timer looks again every 10 ms for two seconds. A dialog that
// `answer` leaves open is rejected after it, and the test fails, so that no test waits forever.
template <typename T>
void answerModal(std::function<void(T&)> answer, int tries = 200) {
    QTimer::singleShot(10, [answer, tries] {
        auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (tries > 0) return answerModal<T>(answer, tries - 1);
            ADD_FAILURE() << "no modal " << typeid(T).name() << " came";
            return;
        }
        QPointer<T> guarded(dialog);
        activate(dialog);
        answer(*dialog);
        if (guarded && guarded->isVisible()) {
            ADD_FAILURE() << "the answer left " << typeid(T).name() << " open";
            static_cast<QDialog*>(guarded.data())->reject();
        }
    });
}

// A modal hook's handler that runs the dialog's own modal loop, inside which `answer` acts on it.
template <typename T>
std::function<int(T&)> inItsLoop(std::function<void(T&)> answer) {
    return [answer](T& dialog) {
        answerModal<T>(answer);
        return dialog.exec();
    };
}

// The same as a hook for any dialog: the one that comes must be a T.
template <typename T>
std::function<int(QDialog&)> loopHook(std::function<void(T&)> answer) {
    return [answer](QDialog& dialog) {
        if (!dynamic_cast<T*>(&dialog)) ADD_FAILURE() << "another dialog came";
        answerModal<T>(answer);
        return dialog.exec();
    };
}

}  // namespace zbq::test
