// Writing a workbook description (workbook_description.h) as an Office Open XML workbook file.
//
// The file is written at exactly the path given, whatever its ending, through a temporary file
// and a rename: a failure leaves whatever was at the path as it was and returns false with a
// message. A text that XML cannot hold where the writer copies it as it is (a chart's cached
// names, a sheet name: clean such text first, xml_text.h) is such a failure, never an unreadable
// file. The writer's scratch file has no name in any folder (it lives in the system's temporary
// folder, unlinked), so not even a kill strands it. Thread-safe for different targets.
#pragma once

#include <optional>
#include <string>

#include "platform/workbook/workbook_description.h"
#include "platform/workbook/zip_package.h"

namespace zbq::workbook {

bool writeXlsx(const Workbook& book, const std::string& path, std::string* error);

// The same workbook as a package in memory, for callers that edit it further.
std::optional<ZipPackage> buildXlsx(const Workbook& book, std::string* error);

}  // namespace zbq::workbook
