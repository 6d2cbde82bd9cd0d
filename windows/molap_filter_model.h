// The aggregation window's filter dialog without its widgets: five rows, each an operator list,
// a From and a To value and a colour list of the five filter colours. Row 1's operator list
// holds the seven operators; rows 2 to 5 start with an empty entry, so a list position there is
// the operator + 1. The model keeps what the dialog shows (selections, which edits are enabled,
// the texts as typed, CP932) and yields the five conditions OK hands to the window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "windows/molap_view.h"

namespace zbq::windows {

class MolapFilterModel {
public:
    static constexpr std::int32_t kRows = 5;
    static constexpr std::int32_t kRange = 6;

    struct Row {
        std::int32_t operatorIndex = -1;  // list position; -1 none selected
        std::int32_t colour = 0;          // colour-list position, 0-4
        std::string from, to;
        bool fromEnabled = false, toEnabled = false;
    };

    // The rows as the dialog opens over these conditions: a used row shows its operator, colour
    // and values; a row not in use has no operator and colour k - 1.
    explicit MolapFilterModel(const FilterConditions& conditions);

    // The entries of a row's operator list (CP932).
    static std::vector<std::string> operatorEntries(std::int32_t row);

    const Row& row(std::int32_t k) const { return rows_[static_cast<std::size_t>(k)]; }
    // A choice in a row's operator list; it decides which value edits are enabled.
    void setOperatorIndex(std::int32_t k, std::int32_t listIndex);
    void setColour(std::int32_t k, std::int32_t colour);
    void setFrom(std::int32_t k, std::string text);
    void setTo(std::int32_t k, std::string text);

    // The five conditions as the rows read: operator from the list (-1 for the empty entry or
    // none), colour, From and To as typed.
    FilterConditions conditions() const;
    // "" when OK may close the dialog, else the first refusal (UTF-8).
    std::string refusal() const { return filterConditionsRefusal(conditions()); }

private:
    std::int32_t operatorOf(std::int32_t k) const;
    std::array<Row, kRows> rows_;
};

}  // namespace zbq::windows
