// Whether a spreadsheet program is installed, which is what "Excel is installed" means here: a
// program that opens the workbooks ZBQ writes. One is installed when the desktop registers a
// program for .xlsx files (an XDG MIME association or a desktop file's entry in the MIME cache)
// or when a known spreadsheet program is on PATH.
//
// The environment variable ZBQ_NO_SPREADSHEET (any non-empty value) answers "none", so the road
// without a spreadsheet program can be taken on any machine; tests set the answer outright with
// setSpreadsheetProbeForTest. GUI thread; the probe reads a few small files on each call.
#pragma once

#include <optional>
#include <string>

namespace zbq::ui {

// The registered desktop file's id ("calc.desktop") or the program's path on PATH; empty when
// there is none.
std::string spreadsheetProgram();

// Replaces what spreadsheetProgram() answers ("" for none); nullopt probes the machine again.
void setSpreadsheetProbeForTest(std::optional<std::string> answer);

}  // namespace zbq::ui
