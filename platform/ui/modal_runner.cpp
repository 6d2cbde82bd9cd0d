#include "platform/ui/modal_runner.h"

#include <QDialog>
#include <QWindow>

#include "platform/ui/window_owner.h"

namespace zbq::ui {

namespace {

ScopedModalHook* g_hook = nullptr;
ScopedDialogOwner* g_owner = nullptr;

// True when `window` is `owner` or owned by it, directly or through other windows.
bool ownedBy(const QWidget* window, const QWidget* owner) {
    if (window == owner) return true;
    const QWindow* ownerHandle = owner->windowHandle();
    if (!ownerHandle) return false;
    for (const QWindow* w = window->windowHandle(); w; w = w->transientParent())
        if (w == ownerHandle) return true;
    return false;
}

}  // namespace

void takeForOwner(QWidget& window) {
    if (g_owner && g_owner->owner_ && window.isWindow()) g_owner->take(window);
}

int runModal(QDialog& dialog) {
    takeForOwner(dialog);
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

QWidget* dialogOwner(QWidget* wanted) {
    QWidget* owner = g_owner ? g_owner->owner_.data() : nullptr;
    if (!owner) return wanted;
    if (wanted && ownedBy(wanted->window(), owner)) return wanted;
    return owner;
}

void showOwned(QWidget* window) {
    takeForOwner(*window);
    window->show();
    window->raise();
}

ScopedDialogOwner::ScopedDialogOwner(QWidget* owner) : owner_(owner), previous_(g_owner) {
    g_owner = this;
}

ScopedDialogOwner::~ScopedDialogOwner() {
    if (g_owner == this) g_owner = previous_;
    for (auto& [window, before] : taken_) {
        if (!window || !window->windowHandle()) continue;
        // A shown window has told the window manager its owner already: tell it again.
        if (window->isVisible())
            tellOwner(window->windowHandle(), before);
        else
            window->windowHandle()->setTransientParent(before);
    }
}

void ScopedDialogOwner::take(QWidget& window) {
    if (ownedBy(&window, owner_)) return;
    // The native windows exist from here on; Qt would make them at the show anyway.
    owner_->winId();
    window.winId();
    QWindow* handle = window.windowHandle();
    QWindow* ownerHandle = owner_->windowHandle();
    if (!handle || !ownerHandle) return;
    taken_.emplace_back(&window, handle->transientParent());
    if (window.isVisible())
        tellOwner(handle, ownerHandle);
    else
        handle->setTransientParent(ownerHandle);
}

}  // namespace zbq::ui
