// KW_search: the aggregation's axis settings, date grouping, the cancel handshake and freeing.
#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

bool isGrouping(std::int32_t code) {
    return code >= 1 && code <= 6;
}

// The grouped tables of a Date item (see DateConvert). Throws std::bad_alloc.
template <typename Positions>
void groupDates(const kw::ItemBlock& b, std::int32_t grouping, std::vector<KW_dict>& dict,
                Positions& positions) {
    const std::size_t n = b.dict.size();
    std::vector<std::int32_t> keys;
    keys.reserve(n);
    for (std::size_t p = KW_POS_FIRST_VALUE; p < n; ++p)
        keys.push_back(kw::dateGroupKey(b.dict[p].high, grouping));
    std::vector<std::int32_t> distinct = keys;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());

    // Old position -> new position; error and blank stay where they are.
    std::vector<std::int32_t> translate(n);
    for (std::size_t p = 0; p < n && p < KW_POS_FIRST_VALUE; ++p)
        translate[p] = static_cast<std::int32_t>(p);
    for (std::size_t p = KW_POS_FIRST_VALUE; p < n; ++p) {
        const auto it = std::lower_bound(distinct.begin(), distinct.end(), keys[p - 2]);
        translate[p] = KW_POS_FIRST_VALUE + static_cast<std::int32_t>(it - distinct.begin());
    }

    std::vector<KW_dict> out(distinct.size() + KW_POS_FIRST_VALUE, KW_dict{});
    out[KW_POS_ERROR].low = -2;
    out[KW_POS_BLANK].low = -1;
    for (std::size_t i = 0; i < distinct.size(); ++i)
        out[i + KW_POS_FIRST_VALUE].high = distinct[i];
    // A new position holds the records of every old position that maps onto it.
    for (std::size_t p = 0; p < n; ++p)
        out[at(translate[p])].count += b.dict[p].count;
    for (std::size_t i = 1; i < out.size(); ++i)
        out[i].start = out[i - 1].start + out[i - 1].count;

    // As long as the records: a LargeVector's comes in 2 MiB pages and is not zeroed first.
    Positions moved;
    moved.resize(b.values.size());
    const std::int32_t* from = b.values.data();
    const std::int32_t* table = translate.data();
    for (std::size_t r = 0; r < moved.size(); ++r)
        moved[r] = table[from[r]];

    dict = std::move(out);
    positions = std::move(moved);
}

}  // namespace

namespace kw {

std::unique_ptr<MolapResult> recycleMolap(std::unique_ptr<MolapResult> old) {
    auto fresh = std::make_unique<MolapResult>();
    if (!old) return fresh;
    auto keep = [](LargeVector<KW_cell>& to, LargeVector<KW_cell>& from) {
        to = std::move(from);
        to.clear();
    };
    keep(fresh->cells, old->cells);
    keep(fresh->xTotals, old->xTotals);
    keep(fresh->yTotals, old->yTotals);
    fresh->index = std::move(old->index);
    fresh->index.clear();
    return fresh;
}

void MolapCancel::cancel(const std::function<void()>& idle) {
    flag_.store(1);
    for (;;) {
        if (flag_.load() == 0) return;  // a worker took the request
        // No worker inside: the request stays, so a worker the window has started but that has
        // not yet entered the build takes it at its first poll. A new build is not stopped by
        // it: the window resets the flag before it starts one.
        if (workers_.load() == 0) return;
        if (idle) idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace kw

std::int32_t KW_search::DateConvert(std::int32_t item, std::int32_t grouping,
                                    std::vector<KW_dict>& dict,
                                    std::vector<std::int32_t>& positions) const {
    if (!validItem(item) || items_[at(item)].def.type != KW_TYPE_DATE || !isGrouping(grouping))
        return KW_ERR_ARGUMENT;
    try {
        groupDates(items_[at(item)], grouping, dict, positions);
    } catch (const std::bad_alloc&) {
        // The const reader cannot touch the error record: log the failure directly.
        WriteErrorLog(KW_ERR_NEW_FAILED, "new failed.|KW_search::DateConvert");
        return KW_ERR_NEW_FAILED;
    }
    return KW_OK;
}

kw::MolapLevelPtr KW_search::molapLevel(std::int32_t item, std::int32_t grouping) const {
    const kw::ItemBlock& b = items_[at(item)];
    const bool grouped = b.def.type == KW_TYPE_DATE && isGrouping(grouping);
    // A grouped level costs a pass over the records and a table as long: the one the shown
    // result was built with serves again (levels never change, nor do the items they read).
    if (grouped && molap_.result) {
        const kw::MolapResult& r = *molap_.result;
        for (const auto* levels : {&r.xLevels, &r.yLevels, &r.zLevels})
            for (const kw::MolapLevelPtr& l : *levels)
                if (l->item == item && l->grouping == grouping) return l;
    }
    auto level = std::make_shared<kw::MolapLevel>();
    level->item = item;
    level->type = b.def.type;
    level->block = &b;
    level->dict = b.dict;
    level->positions = b.values;
    if (grouped) {
        groupDates(b, grouping, level->groupedDict, level->groupedPositions);
        level->grouping = grouping;
        level->dict = level->groupedDict;
        level->positions = level->groupedPositions;
    }
    return level;
}

std::int32_t KW_search::setMolapAxis(kw::MolapAxisSettings& axis,
                                     const std::vector<std::int32_t>& items,
                                     const std::vector<std::int32_t>& codes, std::int32_t maxLevels,
                                     const char* method) {
    if (items.size() != codes.size()) return KW_ERR_ARGUMENT;
    if (maxLevels > 0 && items.size() > at(maxLevels)) return KW_ERR_ARGUMENT;
    // A MultiAns item has one position per answer, not per record: it cannot be an axis.
    for (const std::int32_t item : items)
        if (!validItem(item) || kw::isMultiType(items_[at(item)].def.type)) return KW_ERR_ARGUMENT;
    try {
        try {
            kw::MolapAxisSettings next;
            next.items = items;
            for (std::size_t i = 0; i < items.size(); ++i) {
                // Z codes above 6 are value units of the window, not groupings.
                const std::int32_t grouping = isGrouping(codes[i]) ? codes[i] : 0;
                next.levels.push_back(molapLevel(items[i], grouping));
            }
            axis = std::move(next);
        } catch (const std::bad_alloc&) {
            KWfail(err_, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        return KWfinish(err_, method);
    }
    return KW_OK;
}

std::int32_t KW_search::SetMolapX(const std::vector<std::int32_t>& items,
                                  const std::vector<std::int32_t>& groupings) {
    return setMolapAxis(molap_.x, items, groupings, kw::kMolapMaxLevels, "KW_search::SetMolapX");
}

std::int32_t KW_search::SetMolapY(const std::vector<std::int32_t>& items,
                                  const std::vector<std::int32_t>& groupings) {
    return setMolapAxis(molap_.y, items, groupings, kw::kMolapMaxLevels, "KW_search::SetMolapY");
}

std::int32_t KW_search::SetMolapZ(const std::vector<std::int32_t>& items,
                                  const std::vector<std::int32_t>& units) {
    return setMolapAxis(molap_.z, items, units, 0, "KW_search::SetMolapZ");
}

void KW_search::KWMolapClose() {
    molap_.result.reset();
    molap_.drill.reset();
    molap_.scratch = {};
}

void KW_search::freeMolap() {
    KWMolapClose();
    // The levels point into the item tables that are about to go.
    molap_.x = {};
    molap_.y = {};
    molap_.z = {};
}
