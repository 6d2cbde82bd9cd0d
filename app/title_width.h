// The least width at which a small dialog's title bar shows its title whole: window managers
// draw the title in bold, beside their icon and boxes, which the dialog's own controls may not
// leave room for (an English title is often the longer).
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace zbq::app {

inline void fitTitle(QWidget& window) {
    QFont bold = window.font();
    bold.setBold(true);
    // Beside the title: the window manager's icon and three boxes, each about a line and a half
    // wide (openbox), and their margins.
    const int beside = std::max(110, 6 * window.fontMetrics().height());
    const int title = QFontMetrics(bold).horizontalAdvance(window.windowTitle()) + beside;
    window.setMinimumWidth(std::max({window.minimumWidth(), window.sizeHint().width(), title}));
}

}  // namespace zbq::app
