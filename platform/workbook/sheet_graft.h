// Adding a worksheet made by our writer to a workbook package that may come from any program:
// the sheet part, the parts it draws on (drawing, charts) under free names, the cell formats
// it uses, its shared strings (as inline text), and the entries in the workbook, its
// relationships, the content types and the document properties. Everything else in the
// package stays byte for byte, except that no other sheet stays selected and the calculation
// chain (which the spreadsheet program rebuilds) is dropped.
//
// Works on packages in memory (zip_package.h). Failures return false with a message; the
// target may then be half edited and must be thrown away. Not thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/workbook/zip_package.h"

namespace zbq::workbook {

// Sheet names in tab order; nullopt when the package holds no readable workbook.
std::optional<std::vector<std::string>> sheetNames(const ZipPackage& pkg);

// Puts the first sheet of `source` in front of the sheets of `target` and makes it the active
// sheet. Its name must not be taken in `target`.
bool graftSheetInFront(ZipPackage& target, const ZipPackage& source, std::string* error);

}  // namespace zbq::workbook
