// The data-selection tab in the harness's snapshot: the set tree (nesting, marks, expansion,
// the collapse flag), the condition rows, AND/OR, the buttons' states and the fields of a filter
// dialog a player opened. UTF-8, one fact a line.
#pragma once

#include <ostream>

class CDataSelPage;

namespace zbq::test {

void snapshotDataSel(const CDataSelPage& page, std::ostream& out);

}  // namespace zbq::test
