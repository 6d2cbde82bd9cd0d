// A workbook cell as the import reads it, and what is made of it: the number format it is shown
// with, the text it carries into a data file, and the item type proposed from it.
//
// A cell's text: text as it is; a number in at most 15 significant digits with "." for the
// point and no grouping; a date "yyyy/m/d", a time "h:mm:ss", both "yyyy/m/d h:mm:ss" (a
// number is a date or time when its format shows one); booleans "TRUE"/"FALSE"; errors as
// written ("#N/A"). Texts and format codes are CP932. Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zbq::workbook {

enum class CellKind : uint8_t { Empty, Number, Text, Boolean, Error };

// What a number's format makes of it.
enum class Temporal : uint8_t { None, Date, Time, DateTime };

struct ReadCell {
    CellKind kind = CellKind::Empty;
    Temporal temporal = Temporal::None;
    double number = 0;       // Number; Boolean as 0 or 1
    std::string text;        // the text for the data file (CP932)
    std::string formatCode;  // CP932, built-in formats in their Japanese form ("G/標準")
};

// The code of a built-in number format id in its Japanese form; nullopt for an id that has no
// built-in code (a workbook defines those itself).
std::optional<std::string_view> builtinFormatCode(uint32_t id);  // UTF-8

// Whether a format code (UTF-8) shows a date, a time or both: date tokens (y, d, m
// away from h and s, g, e) and time tokens (h, s, m beside them, AM/PM) outside quoted texts,
// escaped characters and brackets; "[h]" elapsed time counts as a time.
Temporal temporalOf(std::string_view formatCode);

// The number's text: at most 15 significant digits, "." for the point, no exponent below 1e15.
std::string numberText(double value);
// A date serial as text for `temporal` (1900 system: serial 60 is 1900/2/29; or the 1904
// system); nullopt when the serial is no date (negative or past 9999/12/31).
std::optional<std::string> serialText(double serial, Temporal temporal, bool date1904);

// The "yyyy-mm-dd", "hh:mm:ss" or "yyyy-mm-dd hh:mm:ss" texts of a .xls reader rewritten as
// "yyyy/m/d", "h:mm:ss" and "yyyy/m/d h:mm:ss"; the text unchanged when it is none of them.
std::string isoToCellText(std::string_view iso);

// The item type proposed for a column from its sample cell: an index into the import dialog's
// type choices (0 整数, 1 浮動小数, 2 日付, 3 時刻, 4 文字列).
int proposeTypeChoice(const ReadCell& sample);

// "A1" for column 1, row 1; column letters of any length ("XFD").
std::string columnLetters(uint32_t column);
std::string cellName(uint32_t column, uint32_t row);

}  // namespace zbq::workbook
