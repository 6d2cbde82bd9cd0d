#include "settingstool/print_format_table.h"

#include <algorithm>
#include <charconv>
#include <numeric>

namespace zbq::settings {

int decimalValue(std::string_view text) {
    return printEntryNumber(text);
}

std::string decimalText(int value) {
    char buffer[16];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

NumberChoice offerNumbers(const std::set<int>& used, std::optional<int> own) {
    NumberChoice choice;
    for (int n = kFirstNumber; n <= kLastNumber; ++n) {
        if (own == n) {
            choice.selected = static_cast<int>(choice.offered.size());
            choice.offered.push_back(n);
        } else if (!used.contains(n)) {
            choice.offered.push_back(n);
        }
    }
    return choice;
}

std::set<int> PrintFormatTable::usedNumbers() const {
    std::set<int> used;
    for (const auto& [value, rows] : rowsWithNumber_)
        used.insert(used.end(), value);
    return used;
}

void PrintFormatTable::count(int value, int delta) {
    const auto it = rowsWithNumber_.try_emplace(value, 0).first;
    it->second += delta;
    if (it->second == 0) rowsWithNumber_.erase(it);
}

NumberChoice PrintFormatTable::numberChoiceFor(int index) const {
    return offerNumbers(usedNumbers(), row(index).value());
}

bool PrintFormatTable::numberTaken(int value, int exceptIndex) const {
    const auto it = rowsWithNumber_.find(value);
    if (it == rowsWithNumber_.end()) return false;
    // Rows never share a number, so the one row holding it is either the excepted row or another.
    return exceptIndex < 0 || row(exceptIndex).value() != value || it->second > 1;
}

bool PrintFormatTable::append(PrintFormatRow row) {
    if (numberTaken(row.value(), -1)) return false;
    count(row.value(), 1);
    rows_.push_back(std::move(row));
    return true;
}

bool PrintFormatTable::replace(int index, PrintFormatRow row) {
    if (numberTaken(row.value(), index)) return false;
    PrintFormatRow& old = rows_.at(static_cast<std::size_t>(index));
    count(old.value(), -1);
    count(row.value(), 1);
    old = std::move(row);
    return true;
}

void PrintFormatTable::remove(int index) {
    count(row(index).value(), -1);
    rows_.erase(rows_.begin() + index);
}

bool PrintFormatTable::setNumber(int index, int value) {
    if (numberTaken(value, index)) return false;
    PrintFormatRow& changed = rows_.at(static_cast<std::size_t>(index));
    count(changed.value(), -1);
    count(value, 1);
    changed.number = decimalText(value);
    return true;
}

void PrintFormatTable::setText(int index, Column column, std::string text) {
    PrintFormatRow& row = rows_.at(static_cast<std::size_t>(index));
    switch (column) {
        case kNumberColumn:
            setNumber(index, decimalValue(text));
            break;
        case kMenuNameColumn:
            row.menuName = std::move(text);
            break;
        case kMacroFileColumn:
            row.macroFile = std::move(text);
            break;
    }
}

PrintFormatTable::SortResult PrintFormatTable::sortBy(Column column) {
    SortResult result;
    if (rows_.empty()) return result;  // an empty list ignores the click, direction and all
    bool& descending = descendingNext_[column];
    result.ascending = !descending;
    descending = !descending;

    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    // Numbers compare by value (9 before 10); names byte by byte as unsigned values, which is
    // what std::string's comparison does.
    auto less = [&](int a, int b) {
        const PrintFormatRow& x = rows_[static_cast<std::size_t>(a)];
        const PrintFormatRow& y = rows_[static_cast<std::size_t>(b)];
        switch (column) {
            case kNumberColumn:
                return x.value() < y.value();
            case kMenuNameColumn:
                return x.menuName < y.menuName;
            case kMacroFileColumn:
                return x.macroFile < y.macroFile;
        }
        return false;
    };
    if (result.ascending)
        std::stable_sort(order.begin(), order.end(), less);
    else
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(b, a); });

    std::vector<PrintFormatRow> sorted;
    sorted.reserve(rows_.size());
    result.newIndex.resize(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        result.newIndex[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
    }
    rows_ = std::move(sorted);
    return result;
}

}  // namespace zbq::settings
