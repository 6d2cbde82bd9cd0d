// Running one of our own dialogs modally. The programs call runModal(), which is QDialog::exec();
// a test installs a hook that receives the dialog, already built and initialised, drives it the
// way a user would and returns its result, so no test ever waits in a modal loop.
//
// GUI thread only. Hooks nest: a ScopedModalHook replaces the one in force and restores it when
// it ends.
#pragma once

#include <functional>

class QDialog;

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

}  // namespace zbq::ui
