// KW_search: reading the cross tabulation (cells, axis labels and values) and the drill.
//
// The drill remembers marked cells and collects their records in one pass when it is asked
// for, instead of one walk per marked cell: a drill over a selection of thousands of cells
// costs what one cell would.
#include <charconv>
#include <cmath>
#include <new>

#include "engine/kw_search.h"
#include "engine/kw_search_cross_walk.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

// --- Axes ---

const kw::CrossAxisTables* KW_search::crossAxis(int axis) const {
    if (cross_.result) return cross_.result->axes[axis].get();
    return cross_.lists[axis].built.get();
}

std::int32_t KW_search::crossCount(int axis) const {
    const kw::CrossAxisTables* a = crossAxis(axis);
    return a ? a->count() : 0;
}

std::string KW_search::crossLabel(int axis, std::int32_t i) const {
    const kw::CrossAxisTables* a = crossAxis(axis);
    if (!a || i < 0 || i >= a->count()) return {};
    if (a->conditions) return a->labels[at(i)];
    const kw::ItemBlock& b = items_[at(a->item)];
    if (kw::hasStringPool(b.def.type)) return ValueName(a->item, i);
    if (i < KW_POS_FIRST_VALUE)
        return KW_CAPTIONS + (i == KW_POS_ERROR ? 0 : KW_BLANK_CAPTION_OFFSET);
    char text[32];
    std::to_chars_result end;
    if (b.def.type == KW_TYPE_FLOAT)
        end = std::to_chars(text, text + sizeof text, b.dict[at(i)].asDouble());
    else
        end = std::to_chars(text, text + sizeof text, b.dict[at(i)].high);
    return std::string(text, end.ptr);
}

std::int32_t KW_search::crossInt(int axis, std::int32_t i) const {
    const kw::CrossAxisTables* a = crossAxis(axis);
    if (!a || a->conditions || i < 0 || i >= a->count()) return -1;
    const kw::ItemBlock& b = items_[at(a->item)];
    return kw::isIntegerType(b.def.type) ? b.dict[at(i)].high : -1;
}

double KW_search::crossDouble(int axis, std::int32_t i) const {
    const kw::CrossAxisTables* a = crossAxis(axis);
    if (!a || a->conditions || i < 0 || i >= a->count()) return -1.0;
    const kw::ItemBlock& b = items_[at(a->item)];
    if (kw::isIntegerType(b.def.type)) return b.dict[at(i)].high;
    if (b.def.type != KW_TYPE_FLOAT) return -1.0;
    // The error and blank entries hold markers, not numbers.
    return i < KW_POS_FIRST_VALUE ? 0.0 : b.dict[at(i)].asDouble();
}

// --- Cells ---

std::int32_t KW_search::crossCell(std::int32_t x, std::int32_t y) const {
    const kw::CrossResult* r = cross_.result.get();
    if (!r || x < 0 || y < 0 || at(x) >= r->xCount() || at(y) >= r->yCount()) return -1;
    return static_cast<std::int32_t>(at(y) * r->xCount() + at(x));
}

std::int32_t KW_search::GetCrossCellFlag(std::int32_t x, std::int32_t y) const {
    const std::int32_t cell = crossCell(x, y);
    return cell >= 0 && cross_.result->flags[at(cell)] ? 0 : -1;
}

std::int32_t KW_search::GetCrossCount(std::int32_t x, std::int32_t y) const {
    const std::int32_t cell = crossCell(x, y);
    return cell >= 0 ? cross_.result->ints[at(cell)] : 0;
}

double KW_search::GetCrossValue(std::int32_t x, std::int32_t y) const {
    const std::int32_t cell = crossCell(x, y);
    if (cell < 0) return 0.0;
    const kw::CrossResult& r = *cross_.result;
    const std::int32_t n = r.ints[at(cell)];
    switch (r.kind) {
        case KW_CROSS_SUM:
        case KW_CROSS_AVERAGE: {
            const double v = r.doubles[at(cell)];
            if (r.kind != KW_CROSS_AVERAGE || !r.flags[at(cell)]) return v;
            // The mean instant back to the civil day it falls in, or to its whole second.
            if (r.zType == KW_TYPE_DATE) {
                const auto days = static_cast<std::int64_t>(std::floor(v / 86400));
                return static_cast<double>(kw::YmdFromDays(days));
            }
            if (r.zType == KW_TYPE_TIME) {
                const auto s = static_cast<std::int64_t>(std::floor(v));
                return static_cast<double>(s / 3600 * 10000 + s / 60 % 60 * 100 + s % 60);
            }
            return v;
        }
        case KW_CROSS_MAXIMUM:
        case KW_CROSS_MINIMUM:
        case KW_CROSS_PERCENT:
            if (kw::isIntegerType(r.zType)) return n;
            if (r.zType != KW_TYPE_FLOAT) return 0.0;  // texts: GetCrossText
            if (r.kind != KW_CROSS_PERCENT) return r.doubles[at(cell)];
            return r.flags[at(cell)] ? items_[at(r.zItem)].dict[at(n)].asDouble() : 0.0;
        default:
            return n;
    }
}

std::string KW_search::GetCrossText(std::int32_t x, std::int32_t y) const {
    const std::int32_t cell = crossCell(x, y);
    if (cell < 0) return {};
    const kw::CrossResult& r = *cross_.result;
    const bool position = r.kind >= KW_CROSS_MAXIMUM && r.zType == KW_TYPE_STRING;
    if (!position || !r.flags[at(cell)]) return {};
    const std::int32_t p = r.ints[at(cell)];
    return r.axes[kw::kCrossX]->conditions ? ValueText(r.zItem, p) : ValueName(r.zItem, p);
}

// --- Drill ---

std::int32_t KW_search::MarkCrossCell(std::int32_t x, std::int32_t y) {
    const std::int32_t cell = crossCell(x, y);
    if (cell < 0) return KW_ERR_ARGUMENT;
    kw::CrossResult& r = *cross_.result;
    try {
        if (r.marked.empty()) r.marked.assign(r.flags.size(), 0);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    r.marked[at(cell)] = 1;
    return 0;
}

std::int32_t KW_search::CrossDrill() {
    kw::CrossResult* r = cross_.result.get();
    if (!r || (r->marked.empty() && !r->drilled)) return KW_ERR_ARGUMENT;
    if (!r->marked.empty()) {
        std::shared_ptr<KW_map> map;
        try {
            map = r->drilled ? std::make_shared<KW_map>(*r->drilled)
                             : std::make_shared<KW_map>(records_);
        } catch (const std::bad_alloc&) {
            return KW_ERR_NO_MEMORY;
        }
        kw::CrossAxisPass passes[2];
        for (int a : {kw::kCrossX, kw::kCrossY}) {
            const kw::ItemBlock& b = items_[at(r->axes[a]->item)];
            passes[a].values = b.values.data();
            passes[a].starts = kw::isMultiType(b.def.type) ? b.starts.data() : nullptr;
            passes[a].category = r->axes[a]->category.data();
            passes[a].count = r->axes[a]->count();
        }
        const std::int32_t* zv = r->zItem >= 0 ? items_[at(r->zItem)].values.data() : nullptr;
        const std::uint8_t* marked = r->marked.data();
        try {
            kw::ForEachCrossCell(r->map.get(), records_, passes[kw::kCrossX], passes[kw::kCrossY],
                                 [&](std::size_t cell, std::int32_t rec) {
                                     if (marked[cell] && (!zv || zv[rec] >= KW_POS_FIRST_VALUE))
                                         map->set(rec);
                                 });
        } catch (const std::bad_alloc&) {
            return KW_ERR_NO_MEMORY;
        }
        r->drilled = std::move(map);
        std::vector<std::uint8_t>().swap(r->marked);
    }
    const std::int32_t count = KWmapSet(r->drilled);
    return count < 0 ? count : KWgetDataCount();
}
