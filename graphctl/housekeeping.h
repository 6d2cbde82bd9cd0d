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

// The file a new workbook at `path` replaces, in `target`: `path` itself, or the file a symbolic
// link there names (the link stays a link). False when the workbook may not be replaced: a
// dangling link, or an existing file this user may not write (a read-only workbook is kept,
// never deleted, although its folder would allow that).
bool replaceableWorkbook(const std::string& path, std::string& target);

// True when a spreadsheet program's lock file for `path` exists.
bool openInSpreadsheet(std::string_view path);

}  // namespace zbq::grafvik
