// Opening a workbook that a window has just written (a graph, an export) in the spreadsheet
// program. Without a spreadsheet program the desktop has nothing to open it with, and its opener
// fails without a word once it has been started; so that case is told here, with the message of
// a program that could not be started, and the workbook stays where it was written.
// User-interface thread only.
#pragma once

#include <string>

class CKWApp;

namespace zbq::windows {

void openWrittenWorkbook(CKWApp& app, const std::string& path);

}  // namespace zbq::windows
