// The filter condition dialog without its widgets: which item, operator and bound are chosen,
// what the two combo boxes offer, which controls are enabled, the value texts, the checks OK
// makes and the condition it stores. The dialog widget mirrors this state; tests drive it alone.
//
// Item change (steps 1-4): the value kind follows the item's type, and on Code and MultiAns
// items the user's code/text choice (none: matched by name); text items and code items matched
// by name are offered "=" and "!" only, the others all eight operators; the bound list holds
// ")" and "]"; the second value is open only for a range or before an operator is chosen.
//
// Codes compared as codes are compared by the search language as texts, byte by byte, so "10"
// sorts before "2". The ordering operators are offered on them only where that order is the
// numbers' order: every code of the item is a run of digits of one width. A value is then
// written at that width ("2" as "02" among codes 01..12). Texts are CP932 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shared_records.h"
#include "platform/ui/prompts.h"

// The dialog's controls by their template ids.
enum class FilterControl : std::int32_t {
    Item = 1011,
    Operator = 1012,
    Bound = 1013,
    Value1 = 1017,
    Value2 = 1018,
};

// Why OK refused: the message box and the control that gets the focus.
struct FilterRefusal {
    std::string message;  // UTF-8
    zbq::ui::Icon icon = zbq::ui::Icon::Information;
    FilterControl control = FilterControl::Item;

    bool operator==(const FilterRefusal&) const = default;
};

// An item the combo box offers.
struct FilterItem {
    std::int32_t item = -1;
    std::string name;
    std::int32_t type = -1;  // ItemType
    // Code and MultiAns items: the width of their codes when every code is that many digits,
    // else -1 (see codeDigitsOf).
    std::int32_t codeDigits = -1;
};

// The width of `codes` when every one is a run of ASCII digits of one width, else -1 (also
// for none).
std::int32_t codeDigitsOf(const std::vector<std::string_view>& codes);

class FilterDialogModel {
public:
    // Add mode: the items offered for a new condition; everything but the item combo disabled.
    static FilterDialogModel forAdd(std::vector<FilterItem> offered);
    // Edit mode on the condition at `index`: its item alone, selected and fixed, then its
    // operator, bound and values.
    static FilterDialogModel forEdit(std::int32_t index, const SearchCondition& condition,
                                     FilterItem item);

    std::int32_t mode() const { return mode_; }  // 0 add, 1 edit
    std::int32_t index() const { return index_; }

    // --- What the controls show ---
    const std::vector<FilterItem>& items() const { return items_; }
    std::int32_t itemIndex() const { return itemIndex_; }
    std::vector<std::string> operatorTexts() const;  // ASCII
    std::int32_t operatorIndex() const { return condition_.op; }
    static std::vector<std::string> boundTexts() { return {")", "]"}; }
    std::int32_t boundIndex() const { return condition_.upperInclusive; }
    bool enabled(FilterControl control) const;
    const std::string& value1() const { return condition_.value1; }
    const std::string& value2() const { return condition_.value2; }
    std::int32_t valueKind() const { return condition_.valueKind; }
    // The radio the value kind shows: 0 "Code/number" (codes and numbers), 1 "Text", -1 none.
    std::int32_t codeStrShown() const;

    // --- The user's changes; indexes out of range are ignored ---
    void selectItem(std::int32_t comboIndex);
    void selectOperator(std::int32_t index);
    void selectBound(std::int32_t index);
    // The code/text choice (0 code or number, 1 text), then the item-change steps again: on
    // Code and MultiAns items it sets the value kind; other items keep the kind their type
    // gives. Other flags are ignored.
    void selectCodeStr(std::int32_t flag);
    void setValue1(std::string text) { condition_.value1 = std::move(text); }
    void setValue2(std::string text) { condition_.value2 = std::move(text); }

    // OK's checks, the first failure; nullopt when the condition may be stored.
    std::optional<FilterRefusal> check() const;
    // The condition as chosen, and as OK stores it (an ordered code value at its codes' width).
    const SearchCondition& condition() const { return condition_; }
    SearchCondition stored() const;

private:
    void itemSteps();
    void secondFields();
    bool offersTwo() const;
    bool isCodeItem() const;
    bool ordersCodes() const;

    std::int32_t mode_ = 0;
    std::int32_t index_ = -1;
    std::vector<FilterItem> items_;
    std::int32_t itemIndex_ = -1;
    std::int32_t itemType_ = -1;
    std::int32_t codeDigits_ = -1;
    std::int32_t codeStr_ = -1;       // the code/text choice; -1 until one is made
    std::int32_t operatorCount_ = 0;  // entries in the operator combo
    bool boundFilled_ = false;
    bool itemEnabled_ = true;
    bool operatorEnabled_ = false;
    bool value1Enabled_ = false;
    bool secondEnabled_ = false;
    SearchCondition condition_;
};
