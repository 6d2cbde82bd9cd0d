// The format-printing entries as the settings tool edits them: one row of three CP932 texts per
// entry (number, menu name, macro file), in the order Save writes them as prt01, prt02, ...
//
// A row's number is kept as text: a number read from ZBQ.ini ("05") is written back as it was
// until the row is edited, and then as "%d". The numbers in use are always derived from the rows,
// so they cannot drift from what the list shows. Rows never share a number (the tool refuses
// duplicates when it reads and offers only free numbers). Not thread-safe.
#pragma once

#include "platform/core/print_section.h"

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zbq::settings {

// The numbers the tool offers: 1 to 99.
inline constexpr int kFirstNumber = 1;
inline constexpr int kLastNumber = 99;
// Add refuses beyond this many rows (ZBQ reads prt01 to prt99).
inline constexpr int kMaxRows = kPrintKeyCount;

// The value of a number text as the tool reads every number: as ZBQ reads an entry's number
// (platform/core/print_section.h), so that both see one number.
int decimalValue(std::string_view text);
// "%d"
std::string decimalText(int value);

struct PrintFormatRow {
    std::string number;
    std::string menuName;
    std::string macroFile;

    int value() const { return decimalValue(number); }
    bool operator==(const PrintFormatRow&) const = default;
};

enum Column : int { kNumberColumn = 0, kMenuNameColumn = 1, kMacroFileColumn = 2 };

// The numbers a number chooser offers and which one it preselects (-1: none).
struct NumberChoice {
    std::vector<int> offered;
    int selected = -1;
};
// 1 to 99 without `used`, plus `own` when it lies in that range; `own` preselected.
NumberChoice offerNumbers(const std::set<int>& used, std::optional<int> own);

class PrintFormatTable {
public:
    const std::vector<PrintFormatRow>& rows() const { return rows_; }
    int size() const { return static_cast<int>(rows_.size()); }
    const PrintFormatRow& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }

    // The numbers of all rows.
    std::set<int> usedNumbers() const;
    // The choice of the in-place number editor of a row: the free numbers and its own.
    NumberChoice numberChoiceFor(int index) const;

    // Each returns false and changes nothing when the row's number is used by another row.
    bool append(PrintFormatRow row);
    bool replace(int index, PrintFormatRow row);
    void remove(int index);

    // The in-place editors' results: a number as "%d", a menu name or a macro file name.
    bool setNumber(int index, int value);
    void setText(int index, Column column, std::string text);

    // A header click: reads the column's direction (ascending first), flips it for the next
    // click and sorts stably. Returns where each old row went (newIndex[old]). An empty table
    // ignores the click.
    struct SortResult {
        bool ascending = true;
        std::vector<int> newIndex;
    };
    SortResult sortBy(Column column);

private:
    bool numberTaken(int value, int exceptIndex) const;
    void count(int value, int delta);

    std::vector<PrintFormatRow> rows_;
    std::map<int, int> rowsWithNumber_;  // so that a long list is checked without a scan
    std::array<bool, 3> descendingNext_{};
};

}  // namespace zbq::settings
