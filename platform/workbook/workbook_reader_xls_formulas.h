// The stored results of a .xls workbook's formula cells, which freexl reports as empty.
//
// A FORMULA record keeps the result of its last calculation beside the formula: a number, a
// boolean, an error code, an empty text, or a text that the STRING record after it holds. These
// functions take the Workbook stream out of the compound file (libgsf) and walk its records once,
// every length checked against the stream, so that a damaged or hostile file yields fewer
// results, never a read out of bounds. Only BIFF8 (the "Workbook" stream) is walked; older
// workbooks keep their formula cells empty. Run in the .xls reader's child process; no Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zbq::workbook::detail {

struct FormulaResult {
    enum class Kind : uint8_t { Number, Text, Boolean, Error };
    uint32_t row = 0, column = 0;  // 0-based, as in the records
    Kind kind = Kind::Number;
    // Number: whether the cell's number format shows a date or time (0 none, else Temporal).
    uint8_t temporal = 0;
    double number = 0;  // Number; Boolean as 0 or 1
    std::string text;   // Text in UTF-8; Error as written ("#DIV/0!")
};

// Each worksheet's results by its name (UTF-8), in record order. An empty text result is left
// out: such a cell holds no value.
using FormulaResults = std::unordered_map<std::string, std::vector<FormulaResult>>;

// The Workbook stream of the compound file at `path` (or held in `file`), false when there is
// none or it is larger than the file could hold.
bool readWorkbookStream(const std::string& path, std::string& stream);
bool readWorkbookStreamFromMemory(std::string_view file, std::string& stream);

FormulaResults formulaResults(std::string_view stream);

}  // namespace zbq::workbook::detail
