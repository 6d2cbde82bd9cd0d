// File housekeeping of the graph control: names derived from the target path, whether a file
// exists, and whether a spreadsheet program holds a workbook open.
//
// "Open in a spreadsheet program" is judged by the lock file such programs leave beside a
// document they edit: ".~lock.NAME#" (the office suites of this desktop) or "~$NAME". With
// neither, the workbook is free. Paths are UTF-8 with '/' separators. Thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace zbq::grafvik {

// The part of `path` after its last '/', looking at every character but the last: a path that
// ends in '/' gives its last folder followed by '/'; a path without '/' gives itself.
std::string fileNameFromPath(std::string_view path);

// `path` less its last three characters, followed by "xls" ("a.csv" -> "a.xls").
std::string xlsTwin(std::string_view path);

// True when `path` (less one trailing '/') names a regular file that can be opened for reading.
bool fileExists(std::string_view path);

// True when a spreadsheet program's lock file for `path` exists.
bool openInSpreadsheet(std::string_view path);

}  // namespace zbq::grafvik
