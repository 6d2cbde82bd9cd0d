// What the aggregation window shows, for the harness's snapshot: its title, busy flag and
// status, every cell's text with its background and filter mark, the spans, the current cell and
// the filter's conditions. UTF-8, one fact a line.
#pragma once

#include <ostream>

class QWidget;

namespace zbq::test {

// Nothing when `window` is not the aggregation window.
void snapshotMolapWindow(const QWidget* window, std::ostream& out);

}  // namespace zbq::test
