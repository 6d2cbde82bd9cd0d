#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/molap_settings.h"

#include <algorithm>

#include "platform/core/cp932.h"

namespace {

constexpr std::int32_t kMultiAns = 1, kInteger = 2, kFloat = 3, kDate = 5;
constexpr std::int32_t kSumKind = 1, kAverageKind = 2;

struct Suffix {
    std::int32_t code;
    const char* text;  // UTF-8
};
constexpr Suffix kSuffixes[] = {
    {1, ZBQ_SHOWN("（年）")},
    {2, ZBQ_SHOWN("（月）")},
    {3, ZBQ_SHOWN("（日）")},
    {4, ZBQ_SHOWN("（年/月）")},
    {5, ZBQ_SHOWN("（四半期）")},
    {6, ZBQ_SHOWN("（半期）")},
    {110, ZBQ_SHOWN("（1,000:切り捨て）")},
    {120, ZBQ_SHOWN("（1,000:切り上げ）")},
    {130, ZBQ_SHOWN("（1,000:四捨五入）")},
    {210, ZBQ_SHOWN("（100万:切り捨て）")},
    {220, ZBQ_SHOWN("（100万:切り上げ）")},
    {230, ZBQ_SHOWN("（100万:四捨五入）")},
};

bool isValueUnit(std::int32_t code) {
    return code >= 110 && !isMolapDateCode(code) && !molapSuffixOf(code).empty();
}

bool isAxis(MolapList list) {
    return list == MolapList::X || list == MolapList::Y;
}

// Rows leave their list from the last to the first, so the earlier indexes stay valid.
void eraseRows(std::vector<MolapRow>& list, std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (*it >= 0 && *it < static_cast<int>(list.size())) list.erase(list.begin() + *it);
}

}  // namespace

std::string molapSuffixOf(std::int32_t code) {
    for (const Suffix& s : kSuffixes)
        if (s.code == code) return zbq::cp932::literal(s.text);
    return {};
}

std::int32_t molapCodeOfSuffix(std::string_view suffix) {
    for (const Suffix& s : kSuffixes)
        if (zbq::cp932::literal(s.text) == suffix) return s.code;
    return 0;
}

std::string molapRowText(const MolapRow& row, ShownWordOf shown) {
    const std::string suffix = molapSuffixOf(row.code);
    if (suffix.empty()) return row.name;
    return row.name + '\t' + (shown ? shown(suffix) : suffix);
}

std::vector<MolapRow>& MolapLists::of(MolapList list) {
    switch (list) {
        case MolapList::Items:
            return items;
        case MolapList::X:
            return x;
        case MolapList::Y:
            return y;
        case MolapList::Sum:
            break;
    }
    return sum;
}

const std::vector<MolapRow>& MolapLists::of(MolapList list) const {
    return const_cast<MolapLists&>(*this).of(list);
}

MolapDropResult dropMolapRows(MolapLists& lists, MolapList source, std::optional<MolapList> target,
                              const std::vector<int>& rows) {
    MolapDropResult result;
    if (!target || *target == source) return result;
    std::vector<MolapRow>& from = lists.of(source);
    std::vector<int> picked;
    for (int row : rows)
        if (row >= 0 && row < static_cast<int>(from.size())) picked.push_back(row);
    std::sort(picked.begin(), picked.end());
    picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
    if (picked.empty()) return result;

    std::vector<int> moved;
    if (*target == MolapList::Items) {
        moved = picked;
    } else if (isAxis(*target)) {
        std::vector<MolapRow>& to = lists.of(*target);
        for (int row : picked) {
            MolapRow added = from[static_cast<std::size_t>(row)];
            // An axis groups dates; a value unit has no meaning there.
            if (!isMolapDateCode(added.code)) added.code = 0;
            added.kind = 0;
            if (static_cast<int>(to.size()) >= MolapSettings::kMaxAxisItems) {
                result.message = MolapSettings::kTooMany;
                break;
            }
            const std::string text = molapRowText(added);
            if (std::any_of(to.begin(), to.end(),
                            [&](const MolapRow& r) { return molapRowText(r) == text; })) {
                result.message = MolapSettings::kAlreadySet;
                break;
            }
            to.push_back(added);
            moved.push_back(row);
        }
    } else {
        std::vector<MolapRow>& to = lists.sum;
        for (int row : picked) {
            MolapRow added = from[static_cast<std::size_t>(row)];
            added.kind = 0;
            to.push_back(added);
        }
        moved = picked;
    }
    // Only the rows that arrived leave their list: a row refused is never lost.
    if (source != MolapList::Items) eraseRows(from, moved);
    result.radiosCleared = source == MolapList::Sum && !moved.empty();
    return result;
}

// --- Settings ---

MolapSettings::MolapSettings(CKWApp& app) : app_(app) {}

void MolapSettings::FillItemList() {
    if (!lists_.items.empty()) return;
    for (const CItemDef& item : app_.GetStructDef().items)
        if (item.type != kMultiAns) lists_.items.push_back(MolapRow{item.itemNo, item.name, 0, 0});
}

void MolapSettings::ResetLists() {
    // The kind radios speak for a row that is gone.
    ClearKindRadios();
    lists_ = MolapLists{};
    FillItemList();
}

void MolapSettings::Clear() {
    ResetLists();
    xTotal_ = yTotal_ = 0;
    decimals_ = 0;
}

MolapRow MolapSettings::rowOf(std::int32_t item, std::int32_t code) const {
    return MolapRow{item, app_.GetItemName(item), code, 0};
}

void MolapSettings::setAxis(std::vector<MolapRow>& list, const std::vector<std::int32_t>& items,
                            const std::vector<std::int32_t>& codes) {
    list.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::int32_t code = i < codes.size() ? codes[i] : 0;
        list.push_back(rowOf(items[i], molapSuffixOf(code).empty() ? 0 : code));
    }
}

void MolapSettings::SetXItems(const std::vector<std::int32_t>& items,
                              const std::vector<std::int32_t>& codes) {
    setAxis(lists_.x, items, codes);
}

void MolapSettings::SetYItems(const std::vector<std::int32_t>& items,
                              const std::vector<std::int32_t>& codes) {
    setAxis(lists_.y, items, codes);
}

void MolapSettings::SetSumItems(const std::vector<std::int32_t>& items,
                                const std::vector<std::int32_t>& kinds,
                                const std::vector<std::int32_t>& units) {
    ClearKindRadios();
    setAxis(lists_.sum, items, units);
    for (std::size_t i = 0; i < lists_.sum.size() && i < kinds.size(); ++i)
        lists_.sum[i].kind = kinds[i] >= 0 && kinds[i] < kKindCount ? kinds[i] : 0;
}

void MolapSettings::SetXTotalMode(std::int32_t mode) {
    xTotal_ = mode == 1 || mode == 2 ? mode : 0;
}

void MolapSettings::SetYTotalMode(std::int32_t mode) {
    yTotal_ = mode == 1 || mode == 2 ? mode : 0;
}

void MolapSettings::SetDecimalPlaces(std::int32_t index) {
    if (index >= 0 && index <= kMaxDecimals) decimals_ = index;
}

// --- The user's actions ---

const char* MolapSettings::copyToAxis(MolapList axis, const std::vector<int>& itemRows) {
    ClearKindRadios();
    if (!isAxis(axis)) return nullptr;
    return dropMolapRows(lists_, MolapList::Items, axis, itemRows).message;
}

void MolapSettings::copyToSum(const std::vector<int>& itemRows) {
    ClearKindRadios();
    dropMolapRows(lists_, MolapList::Items, MolapList::Sum, itemRows);
}

const char* MolapSettings::drop(MolapList source, std::optional<MolapList> target,
                                const std::vector<int>& rows) {
    const MolapDropResult result = dropMolapRows(lists_, source, target, rows);
    if (result.radiosCleared) ClearKindRadios();
    return result.message;
}

void MolapSettings::removeRows(MolapList list, const std::vector<int>& rows) {
    if (list == MolapList::Items) return;
    eraseRows(lists_.of(list), rows);
    if (list == MolapList::Sum) ClearKindRadios();
}

void MolapSettings::selectSumRows(const std::vector<int>& rows) {
    if (rows.size() != 1 || !validRow(MolapList::Sum, rows.front())) {
        ClearKindRadios();
        return;
    }
    currentSumRow_ = rows.front();
    const MolapRow& row = lists_.sum[static_cast<std::size_t>(currentSumRow_)];
    const std::int32_t type = app_.GetItemType(row.item);
    const bool numeric = type == kInteger || type == kFloat;
    radios_.enabled = {true, numeric, numeric, true, true};
    radios_.checked = radios_.enabled[static_cast<std::size_t>(row.kind)] ? row.kind : -1;
}

void MolapSettings::ClearKindRadios() {
    radios_ = KindRadios{};
    currentSumRow_ = -1;
}

void MolapSettings::chooseKind(std::int32_t kind) {
    if (kind < 0 || kind >= kKindCount || !validRow(MolapList::Sum, currentSumRow_)) return;
    if (!radios_.enabled[static_cast<std::size_t>(kind)]) return;
    MolapRow& row = lists_.sum[static_cast<std::size_t>(currentSumRow_)];
    radios_.checked = kind;
    // Choosing 合計 or 平均 again keeps the unit the row has; any other choice drops it.
    if ((kind == kSumKind || kind == kAverageKind) && row.kind == kind) return;
    row.kind = kind;
    row.code = 0;
}

// --- Menus ---

bool MolapSettings::validRow(MolapList list, int row) const {
    return row >= 0 && row < static_cast<int>(lists_.of(list).size());
}

bool MolapSettings::dateMenuFor(MolapList list, const std::vector<int>& rows) const {
    if (!isAxis(list) || rows.size() != 1 || !validRow(list, rows.front())) return false;
    return app_.GetItemType(lists_.of(list)[static_cast<std::size_t>(rows.front())].item) == kDate;
}

bool MolapSettings::unitMenuFor(const std::vector<int>& rows) const {
    if (rows.size() != 1 || !validRow(MolapList::Sum, rows.front())) return false;
    const std::int32_t kind = lists_.sum[static_cast<std::size_t>(rows.front())].kind;
    return kind == kSumKind || kind == kAverageKind;
}

void MolapSettings::setGrouping(MolapList list, int row, std::int32_t code) {
    if (!isAxis(list) || !validRow(list, row) || (code != 0 && !isMolapDateCode(code))) return;
    lists_.of(list)[static_cast<std::size_t>(row)].code = code;
}

void MolapSettings::setUnit(int row, std::int32_t unit, std::int32_t rounding) {
    const std::int32_t code = unit * 100 + rounding * 10;
    if (!validRow(MolapList::Sum, row) || !isValueUnit(code)) return;
    lists_.sum[static_cast<std::size_t>(row)].code = code;
}

void MolapSettings::clearUnit(int row) {
    if (!validRow(MolapList::Sum, row)) return;
    MolapRow& r = lists_.sum[static_cast<std::size_t>(row)];
    if (isValueUnit(r.code)) r.code = 0;
}

std::pair<std::int32_t, std::int32_t> MolapSettings::unitOf(int row) const {
    if (!validRow(MolapList::Sum, row)) return {0, 0};
    const std::int32_t code = lists_.sum[static_cast<std::size_t>(row)].code;
    if (!isValueUnit(code)) return {0, 0};
    return {code / 100, code / 10 % 10};
}

// --- "実行" ---

std::optional<MolapParams> MolapSettings::collect(const char** message) {
    if (lists_.x.empty() && lists_.y.empty()) {
        if (message) *message = kNoAxis;
        return std::nullopt;
    }
    executeEnabled_ = false;
    ClearKindRadios();
    MolapParams params;
    for (const MolapRow& row : lists_.x) {
        params.xItems.push_back(row.item);
        params.xDateUnits.push_back(isMolapDateCode(row.code) ? row.code : 0);
    }
    for (const MolapRow& row : lists_.y) {
        params.yItems.push_back(row.item);
        params.yDateUnits.push_back(isMolapDateCode(row.code) ? row.code : 0);
    }
    for (const MolapRow& row : lists_.sum) {
        params.zItems.push_back(row.item);
        params.zKinds.push_back(row.kind);
        params.zUnits.push_back(molapSuffixOf(row.code).empty() ? 0 : row.code);
    }
    if (lists_.sum.empty()) params.zUnits.push_back(0);
    params.xTotalMode = xTotal_;
    params.yTotalMode = yTotal_;
    params.decimalsIndex = decimals_;
    if (message) *message = nullptr;
    return params;
}
