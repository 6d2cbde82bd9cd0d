// The aggregation window's part of the harness's snapshot.
#include "tests/support/molap_snapshot.h"

#include "windows/molap_frame.h"

#include <cstdio>

#include "platform/core/cp932.h"

namespace zbq::test {

void snapshotMolapWindow(const QWidget* widget, std::ostream& out) {
    const auto* window = qobject_cast<const windows::CMOLAPFrm*>(widget);
    if (!window) return;
    const windows::CMOLAPView& view = window->view();
    out << "molap window: \"" << window->windowTitle().toStdString() << "\" busy " << window->busy()
        << " status \"" << cp932::toUtf8(window->statusText()) << "\"\n";
    for (std::int32_t r = 0; r < view.rows(); ++r) {
        out << "molap row " << r << ":";
        for (std::int32_t c = 0; c < view.columns(); ++c) {
            out << (c ? " | " : " ") << cp932::toUtf8(view.cellText(r, c));
            if (const QRgb colour = view.background(r, c)) {
                char hex[16];
                std::snprintf(hex, sizeof hex, " #%06X", colour & 0xFFFFFFu);
                out << hex;
            }
        }
        out << "\n";
    }
    for (const windows::MolapSpan& s : view.layout().spans)
        out << "molap span " << s.row << "," << s.column << " " << s.rows << "x" << s.columns
            << "\n";
    out << "molap current: " << view.currentRow() << "," << view.currentColumn() << "\n";
    out << "molap filter: " << (view.filterActive() ? "on" : "off");
    for (const windows::FilterCondition& c : view.conditions())
        out << " [" << c.op << " " << c.colour << " \"" << cp932::toUtf8(c.from) << "\" \""
            << cp932::toUtf8(c.to) << "\"]";
    out << "\n";
}

}  // namespace zbq::test
