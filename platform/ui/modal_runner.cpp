#include "platform/ui/modal_runner.h"

#include <QDialog>

namespace zbq::ui {

namespace {

ScopedModalHook* g_hook = nullptr;

}  // namespace

int runModal(QDialog& dialog) {
    if (g_hook == nullptr) return dialog.exec();
    ScopedModalHook& hook = *g_hook;
    ++hook.calls_;
    // A dialog that the hook shows is still open when the hook returns; close it as exec() would.
    const int result = hook.hook_(dialog);
    if (dialog.isVisible()) dialog.hide();
    return result;
}

ScopedModalHook::ScopedModalHook(ModalHook hook) : hook_(std::move(hook)), previous_(g_hook) {
    g_hook = this;
}

ScopedModalHook::~ScopedModalHook() {
    g_hook = previous_;
}

}  // namespace zbq::ui
