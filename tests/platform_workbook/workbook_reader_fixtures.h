// Workbooks for the reader's tests: made by independent writers (openpyxl, libxlsxwriter, xlwt)
// and packages assembled from XML texts for what no writer makes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zbq::test {

// Each writes the workbook at `path`; a test failure when the writer fails.
void writeOpenpyxlBook(const std::string& path);
void writeOpenpyxl1904Book(const std::string& path);
void writeXlsxwriterBook(const std::string& path);
void writeXlwtBook(const std::string& path, bool dates1904);
// A .xls workbook by xlwt whose one sheet names one shared string of `length` characters from
// `cells` cells of column A: small as a file, large as cells.
void writeXlwtSharedStringBook(const std::string& path, int length, int cells);

// Sheet XML, by name in workbook order, and the shared strings and styles parts ("" for none).
struct AssembledBook {
    std::vector<std::pair<std::string, std::string>> sheets;
    std::string sharedStrings;
    std::string styles;
    bool date1904 = false;
};
// The package's parts: the root and workbook relationships, the workbook, sheets and the rest.
std::vector<std::pair<std::string, std::string>> assembledParts(const AssembledBook& book);
void writeAssembledBook(const std::string& path, const AssembledBook& book);
// The parts given, deflated into a zip package at `path`.
void writeParts(const std::string& path,
                const std::vector<std::pair<std::string, std::string>>& parts);

// A worksheet part holding `sheetData` (the text inside <sheetData>) and `tail` after it.
std::string sheetXml(const std::string& sheetData, const std::string& tail = "");

}  // namespace zbq::test
