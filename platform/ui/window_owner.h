// The owner a window manager sees for one of the program's top-level windows (X11's
// WM_TRANSIENT_FOR): it is what keeps the windows above the frame. Window managers also iconify
// an owner together with a window it owns (openbox does), so that minimising one window would
// take the whole program off a screen that has no task bar. A window minimised on its own
// therefore sets its owner aside while it stays minimised and takes it back as it is shown
// again.
//
// User-interface thread only.
#pragma once

class QWidget;
class QWindow;

namespace zbq::ui {

// Makes `owner` (null: nobody) the owner of `window` at once, on the screen too: Qt tells the
// window manager only as it maps a window.
void tellOwner(QWindow* window, QWindow* owner);

// Minimises `window` without its owner; a window that is not top-level, or owns nobody, is
// simply minimised.
void minimizeAlone(QWidget* window);

}  // namespace zbq::ui
