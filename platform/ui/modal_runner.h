// Running one of our own dialogs modally, and which window owns the program's dialogs.
//
// The programs call runModal(), which is QDialog::exec(); a test installs a hook that receives the
// dialog, already built and initialised, drives it the way a user would and returns its result, so
// no test ever waits in a modal loop.
//
// Every dialog, question, message box and chooser has its owner decided here. Normally it is the
// window its opener names. While a ScopedDialogOwner is in force (the work list while it is on
// the screen), that window owns them instead: it stays above the other windows, so a dialog owned
// by any other window would open under it, and being its own modal loop it would keep every
// window it does not own from taking a click. runModal() and the prompts apply the owner in
// force; a window opened without a modal loop is shown through showOwned().
//
// GUI thread only. Hooks nest, and so do owners: each Scoped… object replaces the one in force
// and restores it when it ends.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class QDialog;
class QWindow;

namespace zbq::ui {

// Returns the dialog's result code (QDialog::Accepted, QDialog::Rejected or a done() value).
int runModal(QDialog& dialog);

using ModalHook = std::function<int(QDialog& dialog)>;

class ScopedModalHook {
public:
    explicit ScopedModalHook(ModalHook hook);
    ~ScopedModalHook();
    ScopedModalHook(const ScopedModalHook&) = delete;
    ScopedModalHook& operator=(const ScopedModalHook&) = delete;

    // How many dialogs the hook has been given.
    int calls() const { return calls_; }

private:
    ModalHook hook_;
    ScopedModalHook* previous_;
    int calls_ = 0;

    friend int runModal(QDialog& dialog);
};

// The owner a new dialog, box or chooser is to have: the window in force, unless `wanted` is
// that window or one it already owns (a dialog's own message box stays the dialog's); `wanted`
// when none is in force.
QWidget* dialogOwner(QWidget* wanted);

// Gives a top-level `window` that is about to be shown to the owner in force (nothing when none
// is), and shows and raises it.
void showOwned(QWidget* window);

// For its lifetime `owner` owns every dialog the program opens. When it ends, the windows it took
// that are still open go back to the owners they had.
class ScopedDialogOwner {
public:
    explicit ScopedDialogOwner(QWidget* owner);
    ~ScopedDialogOwner();
    ScopedDialogOwner(const ScopedDialogOwner&) = delete;
    ScopedDialogOwner& operator=(const ScopedDialogOwner&) = delete;

private:
    // Makes `window` (top-level) owned by this owner, remembering the owner it had.
    void take(QWidget& window);

    QPointer<QWidget> owner_;
    ScopedDialogOwner* previous_;
    std::vector<std::pair<QPointer<QWidget>, QPointer<QWindow>>> taken_;

    friend QWidget* dialogOwner(QWidget* wanted);
    friend void takeForOwner(QWidget& window);
};

}  // namespace zbq::ui
