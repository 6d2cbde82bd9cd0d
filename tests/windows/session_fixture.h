// What the recorded-session tests of the windows share: one start-up time for the recording and
// the replaying program, so that their temporary names agree whatever second each starts in,
// and the first sheet's XML of a written workbook, to compare two exports cell for cell.
#pragma once

#include <chrono>
#include <string>

#include "platform/workbook/zip_package.h"

namespace zbq::windows {

inline std::chrono::system_clock::time_point fixedSessionTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12};
}

inline std::string sheetCells(const std::string& path) {
    std::string error;
    const auto package = workbook::ZipPackage::fromFile(path, &error);
    const std::string* sheet = package ? package->find("xl/worksheets/sheet1.xml") : nullptr;
    return sheet ? *sheet : std::string();
}

}  // namespace zbq::windows
