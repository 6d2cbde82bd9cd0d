// .xls workbooks made byte by byte for the reader's tests: BIFF records, a workbook stream of
// sheets around them, and the compound file (libgsf) that holds it, for the cases no spreadsheet
// program writes on purpose (damage, every error value, a chart inside a sheet's records).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zbq::test::biff {

std::string le16(uint16_t v);
std::string le32(uint32_t v);
std::string f64(double v);
// A record: type, length, data.
std::string record(uint16_t type, std::string_view data);
// A cell record's start: row and column (0-based) and XF index.
std::string cell(uint16_t row, uint16_t column, uint16_t xf = 0);
// A BIFF8 text: a 16-bit count, a flag byte and the characters, one byte each (Latin-1) or
// UTF-16LE where `utf8` holds anything else.
std::string text16(std::string_view utf8);
// UTF-16LE of UTF-8 text.
std::string utf16(std::string_view utf8);

constexpr uint16_t kBof = 0x0809, kEof = 0x000A, kNumber = 0x0203, kRk = 0x027E, kMulRk = 0x00BD,
                   kLabel = 0x0204, kLabelSst = 0x00FD, kSst = 0x00FC, kContinue = 0x003C,
                   kBoolErr = 0x0205, kBlank = 0x0201, kMulBlank = 0x00BE, kFormula = 0x0006,
                   kString = 0x0207, kShrFmla = 0x04BC, kArray = 0x0221, kMergedCells = 0x00E5,
                   kXf = 0x00E0, kFormat = 0x041E, kDateMode = 0x0022, kCodePage = 0x0042,
                   kFilePass = 0x002F;

// A FORMULA record with a number result, or a special result (0 text, 1 boolean, 2 error,
// 3 empty text) and its byte.
std::string formulaNumber(uint16_t row, uint16_t column, double value, uint16_t xf = 0);
std::string formulaSpecial(uint16_t row, uint16_t column, uint8_t kind, uint8_t value = 0,
                           uint16_t xf = 0);

struct Sheet {
    std::string name;     // UTF-8
    std::string records;  // between the sheet's BOF and EOF
    uint8_t visibility = 0;
    uint8_t kind = 0;  // 0 worksheet, 2 chart
    uint16_t bofType = 0x0010;
};

struct Book {
    bool biff8 = true;
    std::string globals;                 // records after the globals' BOF, before the sheet list
    std::vector<uint16_t> xfFormats{0};  // one XF record each, naming a number format id
    std::vector<Sheet> sheets;
};

// The workbook stream: the globals, each sheet's BOUNDSHEET pointing at its BOF, the sheets.
std::string stream(const Book& book);
// A compound file holding `stream` under `name` ("Workbook", "Book"), written at `path`.
void writeCompound(const std::string& path, const std::string& name, const std::string& stream);

}  // namespace zbq::test::biff
