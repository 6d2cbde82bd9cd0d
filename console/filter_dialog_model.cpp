#include "console/filter_dialog_model.h"

#include <algorithm>

#include "app/ckw_app.h"
#include "console/condition_list.h"
#include "platform/core/shown_text.h"

namespace {

using namespace item_type;

const char* const kAllOperators[] = {"=", "!", ">", ">=", "<", "<=", "(", "["};

// The check of a value by item type; nullopt when it passes or is not checked.
std::optional<std::string> badValue(std::int32_t type, const std::string& value) {
    switch (type) {
        case kInteger:
            if (!isInt32Text(value)) return ZBQ_SHOWN("数値が不正です");
            break;
        case kFloat:
            if (!isFloatText(value)) return ZBQ_SHOWN("数値が不正です");
            break;
        case kDate:
            if (!CKWApp::CheckDate(value)) return ZBQ_SHOWN("日付が不正です");
            break;
        case kTime:
            if (!CKWApp::CheckTime(value)) return ZBQ_SHOWN("時刻が不正です");
            break;
        default:
            break;
    }
    return std::nullopt;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number typed for codes of `width` digits, written at that width; nullopt when it is not a
// run of digits or needs more of them.
std::optional<std::string> atCodeWidth(const std::string& value, std::int32_t width) {
    if (value.empty() || !std::all_of(value.begin(), value.end(), isDigit)) return std::nullopt;
    const std::size_t first = std::min(value.find_first_not_of('0'), value.size() - 1);
    const std::string digits = value.substr(first);
    if (digits.size() > static_cast<std::size_t>(width)) return std::nullopt;
    return std::string(static_cast<std::size_t>(width) - digits.size(), '0') + digits;
}

bool isOrdering(std::int32_t op) {
    return op >= 2 && op <= 7;
}

}  // namespace

std::int32_t codeDigitsOf(const std::vector<std::string_view>& codes) {
    std::size_t width = 0;
    for (std::string_view code : codes) {
        if (code.empty() || !std::all_of(code.begin(), code.end(), isDigit)) return -1;
        if (width != 0 && code.size() != width) return -1;
        width = code.size();
    }
    return width == 0 ? -1 : static_cast<std::int32_t>(width);
}

FilterDialogModel FilterDialogModel::forAdd(std::vector<FilterItem> offered) {
    FilterDialogModel m;
    m.mode_ = 0;
    m.items_ = std::move(offered);
    return m;
}

FilterDialogModel FilterDialogModel::forEdit(std::int32_t index, const SearchCondition& condition,
                                             FilterItem item) {
    FilterDialogModel m;
    m.mode_ = 1;
    m.index_ = index;
    m.items_ = {std::move(item)};
    m.condition_.valueKind = condition.valueKind;
    if (condition.valueKind == 0 || condition.valueKind == 1) m.codeStr_ = condition.valueKind;
    m.operatorEnabled_ = m.value1Enabled_ = true;
    m.selectItem(0);
    m.itemEnabled_ = false;
    m.selectOperator(condition.op);
    m.selectBound(condition.upperInclusive);
    m.condition_.value1 = condition.value1;
    if (m.secondEnabled_) m.condition_.value2 = condition.value2;
    return m;
}

std::vector<std::string> FilterDialogModel::operatorTexts() const {
    return {std::begin(kAllOperators), std::begin(kAllOperators) + operatorCount_};
}

bool FilterDialogModel::enabled(FilterControl control) const {
    switch (control) {
        case FilterControl::Item:
            return itemEnabled_;
        case FilterControl::Operator:
            return operatorEnabled_;
        case FilterControl::Value1:
            return value1Enabled_;
        case FilterControl::Bound:
        case FilterControl::Value2:
            return secondEnabled_;
    }
    return false;
}

void FilterDialogModel::selectItem(std::int32_t comboIndex) {
    if (comboIndex < 0 || static_cast<std::size_t>(comboIndex) >= items_.size()) return;
    if (mode_ == 0) operatorEnabled_ = value1Enabled_ = secondEnabled_ = true;
    itemIndex_ = comboIndex;
    condition_.item = items_[static_cast<std::size_t>(comboIndex)].item;
    itemType_ = items_[static_cast<std::size_t>(comboIndex)].type;
    codeDigits_ = items_[static_cast<std::size_t>(comboIndex)].codeDigits;
    itemSteps();
}

void FilterDialogModel::selectOperator(std::int32_t index) {
    if (index < 0 || index >= operatorCount_) return;
    condition_.op = index;
    secondFields();
}

void FilterDialogModel::selectBound(std::int32_t index) {
    if (!boundFilled_ || !secondEnabled_ || index < 0 || index > 1) return;
    condition_.upperInclusive = index;
}

void FilterDialogModel::selectCodeStr(std::int32_t flag) {
    if (flag != 0 && flag != 1) return;
    // An item whose type fixes its kind keeps it; the choice waits for a code item.
    if (itemIndex_ < 0 || isCodeItem()) codeStr_ = flag;
    itemSteps();
}

std::int32_t FilterDialogModel::codeStrShown() const {
    if (itemIndex_ < 0 || isCodeItem()) return codeStr_;
    if (condition_.valueKind == 0 || condition_.valueKind == 2) return 0;
    return condition_.valueKind == 1 ? 1 : -1;
}

bool FilterDialogModel::isCodeItem() const {
    return itemType_ == item_type::kCode || itemType_ == item_type::kMulti;
}

bool FilterDialogModel::ordersCodes() const {
    return isCodeItem() && condition_.valueKind == 0 && codeDigits_ > 0;
}

// Texts, and codes matched by name, mean something only for equality; so do codes compared as
// codes unless their text order is their numbers' order.
bool FilterDialogModel::offersTwo() const {
    if (condition_.valueKind == 1) return true;
    return isCodeItem() && !ordersCodes();
}

void FilterDialogModel::itemSteps() {
    if (item_type::isNumeric(itemType_))
        condition_.valueKind = 2;
    else if (itemType_ == item_type::kString)
        condition_.valueKind = 1;
    else if (isCodeItem())
        condition_.valueKind = codeStr_;  // never a kind left behind by a numeric item

    const std::int32_t wanted = offersTwo() ? 2 : 8;
    if (operatorCount_ != wanted) {
        const std::int32_t before = condition_.op;
        operatorCount_ = wanted;
        condition_.op = (before == 0 || before == 1) ? before : -1;
    }
    if (!boundFilled_) {
        boundFilled_ = true;
        condition_.upperInclusive = -1;
    }
    secondFields();
}

void FilterDialogModel::secondFields() {
    const std::int32_t op = condition_.op;
    if (!offersTwo() && (op == 6 || op == 7 || op == -1)) {
        secondEnabled_ = true;
        return;
    }
    secondEnabled_ = false;
    condition_.upperInclusive = -1;
    condition_.value2.clear();
}

std::optional<FilterRefusal> FilterDialogModel::check() const {
    using zbq::ui::Icon;
    const SearchCondition& c = condition_;
    if (c.item < 0)
        return FilterRefusal{ZBQ_SHOWN("指定項目名を選択して下さい"), Icon::Information,
                             FilterControl::Item};
    if (c.op < 0)
        return FilterRefusal{ZBQ_SHOWN("条件を選択して下さい"), Icon::Information,
                             FilterControl::Operator};
    if (c.value1.empty())
        return FilterRefusal{ZBQ_SHOWN("値を入力して下さい"), Icon::Information,
                             FilterControl::Value1};
    if (secondEnabled_) {
        if (c.upperInclusive < 0)
            return FilterRefusal{ZBQ_SHOWN("条件を選択して下さい"), Icon::Information,
                                 FilterControl::Bound};
        if (c.value2.empty())
            return FilterRefusal{ZBQ_SHOWN("値を入力して下さい"), Icon::Information,
                                 FilterControl::Value2};
    }
    if (auto bad = badValue(itemType_, c.value1))
        return FilterRefusal{*bad, Icon::Exclamation, FilterControl::Value1};
    if (secondEnabled_)
        if (auto bad = badValue(itemType_, c.value2))
            return FilterRefusal{*bad, Icon::Exclamation, FilterControl::Value2};
    if (ordersCodes() && isOrdering(c.op)) {
        if (!atCodeWidth(c.value1, codeDigits_))
            return FilterRefusal{ZBQ_SHOWN("数値が不正です"), Icon::Exclamation,
                                 FilterControl::Value1};
        if (secondEnabled_ && !atCodeWidth(c.value2, codeDigits_))
            return FilterRefusal{ZBQ_SHOWN("数値が不正です"), Icon::Exclamation,
                                 FilterControl::Value2};
    }
    return std::nullopt;
}

SearchCondition FilterDialogModel::stored() const {
    SearchCondition c = condition_;
    if (!ordersCodes()) return c;
    // Equality keeps a value that is no number of the codes' width as typed.
    if (auto v = atCodeWidth(c.value1, codeDigits_)) c.value1 = *v;
    if (secondEnabled_)
        if (auto v = atCodeWidth(c.value2, codeDigits_)) c.value2 = *v;
    return c;
}
