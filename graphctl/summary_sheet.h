// The summary sheet of ShowGraph: from B4 a table of the items in input order with their share
// of the total (header 項目名 / データ, one row per item, the share as "25%" text, a 合計 row in
// yellow), thin borders on every cell of the block, and a pie chart of the items beside it.
//
// A new workbook holds this sheet alone, named "Data1". Added to an existing workbook, the sheet
// goes in front of the others, named "Data" followed by the number of sheets after the addition
// (or the next free number when that name is taken); everything else in the package stays.
// With a total of 0 the share cells stay empty. A character that workbook XML cannot hold (a
// control character) stands as U+FFFD in a name, in the cell and in the pie alike. Files are
// replaced through a temporary file; a failure leaves the file as it was and returns false with
// a message. A file that is no workbook, or a package larger than the reader's limits
// (zip_package.h), is left as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphctl/graph_state.h"
#include "graphctl/workbook_lock.h"
#include "platform/workbook/workbook_description.h"

namespace zbq::grafvik {

// "25%": value / total * 100 rounded to the nearest integer, halves to even; "" for total 0.
std::string shareText(int32_t value, int32_t total);

// A workbook holding the summary sheet alone.
workbook::Workbook summaryWorkbook(const std::string& sheetName, const std::vector<Item>& items,
                                   int32_t total);

// "Data" followed by the number of sheets after one more is added, or the next number free.
std::string summarySheetName(const std::vector<std::string>& existing);

// Saves the summary under `lock` (workbook_lock.h): added in front of the sheets of the workbook
// it holds, or, when none stands at the name, as a new workbook with the sheet "Data1" alone;
// when a workbook has come to stand there meanwhile (another writer's), the summary is added to
// it instead. False with a message when the workbook could not be read or written: it is then
// left as it was.
bool saveSummary(WorkbookLock& lock, const std::vector<Item>& items, int32_t total,
                 std::string* error);

}  // namespace zbq::grafvik
