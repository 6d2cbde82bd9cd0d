// Adding workbooks' records to the loaded data set from the item-selection tab's "ﾃﾞｰﾀ追加":
// the Excel import dialog in add mode on the chosen workbooks, then the addition of what it
// wrote (CKWApp::AddDataFromFile). Records DispExcelDialog before the dialog opens, then
// ExcelReadCancel when it was closed without OK, or ExcelAddExecute after the addition.
#pragma once

#include <string>
#include <vector>

class CKWApp;

namespace zbq::app {

void addWorkbookData(CKWApp& app, const std::vector<std::string>& files);

}  // namespace zbq::app
