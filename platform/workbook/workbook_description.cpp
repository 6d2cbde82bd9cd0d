// Range formulas of a workbook description.
#include "workbook_description.h"

namespace zbq::workbook {

namespace {

std::string columnLetters(uint16_t col) {
    std::string letters;
    for (unsigned n = col + 1u; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A sheet name can stand bare in a formula only when it is a plain word that could not be read
// as a cell reference ("AB12") or as row/column notation ("R1C1", "R", "C2").
bool needsQuotes(const std::string& name) {
    if (name.empty() || isDigit(name[0])) return true;
    for (char c : name)
        if (!isAsciiLetter(c) && !isDigit(c) && c != '_') return true;
    std::size_t letters = 0;
    while (letters < name.size() && isAsciiLetter(name[letters]))
        ++letters;
    bool digitsOnlyAfter = letters < name.size();
    for (std::size_t i = letters; i < name.size(); ++i)
        digitsOnlyAfter &= isDigit(name[i]);
    if (letters <= 3 && digitsOnlyAfter) return true;
    char first = name[0] & ~0x20;
    return (first == 'R' || first == 'C') && (name.size() == 1 || isDigit(name[1]));
}

}  // namespace

std::string rangeFormula(const std::string& sheet, uint32_t firstRow, uint16_t firstCol,
                         uint32_t lastRow, uint16_t lastCol) {
    std::string out = "=";
    if (needsQuotes(sheet)) {
        out += '\'';
        for (char c : sheet)
            out += c == '\'' ? std::string("''") : std::string(1, c);
        out += '\'';
    } else {
        out += sheet;
    }
    out += "!$" + columnLetters(firstCol) + "$" + std::to_string(firstRow + 1);
    out += ":$" + columnLetters(lastCol) + "$" + std::to_string(lastRow + 1);
    return out;
}

}  // namespace zbq::workbook
