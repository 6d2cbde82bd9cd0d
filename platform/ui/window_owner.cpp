// Minimising a window without its owner (window_owner.h).
#include "platform/ui/window_owner.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace zbq::ui {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

}  // namespace

// Qt writes the owner only as it maps a window, and unmapping a window to map it again would
// tell the window's own watchers of a hide (the aggregation window cancels its run) and of
// state changes that never were. A window of a dialog's type with no owner is still taken as
// owned by the whole program, and comes back with the frame; while it is set aside it is
// therefore an ordinary window.
void tellOwner(QWindow* window, QWindow* owner) {
    window->setTransientParent(owner);
    // Only the xcb platform has a window manager to tell; offscreen answers the X11 interface
    // with no connection.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->handle()) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t type = atom(connection, "_NET_WM_WINDOW_TYPE");
    if (owner) {
        const auto ownerId = static_cast<xcb_window_t>(owner->winId());
        const xcb_atom_t types[] = {atom(connection, "_NET_WM_WINDOW_TYPE_DIALOG"),
                                    atom(connection, "_NET_WM_WINDOW_TYPE_NORMAL")};
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, type, XCB_ATOM_ATOM, 32, 2,
                            types);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &ownerId);
    } else {
        const xcb_atom_t normal = atom(connection, "_NET_WM_WINDOW_TYPE_NORMAL");
        xcb_delete_property(connection, id, XCB_ATOM_WM_TRANSIENT_FOR);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, type, XCB_ATOM_ATOM, 32, 1,
                            &normal);
    }
    xcb_flush(connection);
}

namespace {

// Gives a minimised window its owner back once it is no longer minimised, then goes.
class OwnerKeeper : public QObject {
public:
    OwnerKeeper(QWidget* window, QWindow* owner) : QObject(window), window_(window), owner_(owner) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::WindowStateChange &&
            !window_->isMinimized()) {
            if (owner_ && window_->windowHandle()) tellOwner(window_->windowHandle(), owner_);
            window_->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* window_;  // the parent: outlives this
    QPointer<QWindow> owner_;
};

}  // namespace

void minimizeAlone(QWidget* window) {
    QWindow* handle = window->isWindow() ? window->windowHandle() : nullptr;
    if (QWindow* owner = handle ? handle->transientParent() : nullptr) {
        new OwnerKeeper(window, owner);
        tellOwner(handle, nullptr);
    }
    window->showMinimized();
}

}  // namespace zbq::ui
