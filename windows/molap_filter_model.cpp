// The filter dialog's rows: selections, enabled edits and the conditions they yield.
#include "windows/molap_filter_model.h"

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace zbq::windows {

MolapFilterModel::MolapFilterModel(const FilterConditions& conditions) {
    for (std::int32_t k = 0; k < kRows; ++k) {
        const FilterCondition& c = conditions[static_cast<std::size_t>(k)];
        Row& r = rows_[static_cast<std::size_t>(k)];
        if (c.op < 0 || c.op > kRange) {
            r.colour = k;
            continue;
        }
        r.operatorIndex = k == 0 ? c.op : c.op + 1;
        r.colour = c.colour >= 0 && c.colour < kRows ? c.colour : k;
        r.from = c.from;
        r.fromEnabled = true;
        if (c.op == kRange) {
            r.to = c.to;
            r.toEnabled = true;
        }
    }
}

std::vector<std::string> MolapFilterModel::operatorEntries(std::int32_t row) {
    std::vector<std::string> entries;
    if (row > 0) entries.emplace_back();
    for (const char* text : {"=", "!", ">", ">=", "<", "<="})
        entries.emplace_back(text);
    entries.push_back(cp932::literal(ZBQ_SHOWN("範囲")));
    return entries;
}

std::int32_t MolapFilterModel::operatorOf(std::int32_t k) const {
    const std::int32_t index = rows_[static_cast<std::size_t>(k)].operatorIndex;
    const std::int32_t op = k == 0 ? index : index - 1;
    return op >= 0 && op <= kRange ? op : -1;
}

void MolapFilterModel::setOperatorIndex(std::int32_t k, std::int32_t listIndex) {
    Row& r = rows_[static_cast<std::size_t>(k)];
    r.operatorIndex = listIndex;
    const std::int32_t op = operatorOf(k);
    r.fromEnabled = op >= 0;
    r.toEnabled = op == kRange;
}

void MolapFilterModel::setColour(std::int32_t k, std::int32_t colour) {
    if (colour >= 0 && colour < kRows) rows_[static_cast<std::size_t>(k)].colour = colour;
}

void MolapFilterModel::setFrom(std::int32_t k, std::string text) {
    rows_[static_cast<std::size_t>(k)].from = std::move(text);
}

void MolapFilterModel::setTo(std::int32_t k, std::string text) {
    rows_[static_cast<std::size_t>(k)].to = std::move(text);
}

FilterConditions MolapFilterModel::conditions() const {
    FilterConditions out;
    for (std::int32_t k = 0; k < kRows; ++k) {
        const Row& r = rows_[static_cast<std::size_t>(k)];
        out[static_cast<std::size_t>(k)] = {operatorOf(k), r.colour, r.from, r.to};
    }
    return out;
}

}  // namespace zbq::windows
