// The aggregation settings tab in the harness's snapshot: the four lists as they show their rows
// (text, item, the aggregation list's kind caption), the total and kind radios, the decimals and
// whether "実行" can be pressed. UTF-8, one fact a line.
#pragma once

#include <ostream>

class COlap2Page;

namespace zbq::test {

void snapshotMolapPage(const COlap2Page& page, std::ostream& out);

}  // namespace zbq::test
