// KW_search: reading the aggregation's result: key labels and cell aggregates.
#include <new>
#include <string>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

using Value = KW_search::MolapValue;

// Total captions, CP932, made once for the whole run.
const char* grandCaption() {
    static const std::string text = zbq::cp932::literal("総計");
    return text.c_str();
}
const char* subtotalCaption() {
    static const std::string text = zbq::cp932::literal("計");
    return text.c_str();
}

// The value at dictionary position p of a level, typed by its item.
Value levelValue(const kw::MolapLevel& level, std::int32_t p) {
    Value v;
    v.position = p;
    const KW_dict& d = level.dict[at(p)];
    const bool ordinary = p >= KW_POS_FIRST_VALUE;
    if (!ordinary && level.type != KW_TYPE_STRING) {
        // A number's error or blank key shows its caption, never a 0 that a real 0 would share.
        v.kind = Value::Text;
        v.text = KW_CAPTIONS + (p == KW_POS_ERROR ? 0 : KW_BLANK_CAPTION_OFFSET);
        return v;
    }
    if (kw::isIntegerType(level.type)) {
        v.kind = Value::Integer;
        v.integer = ordinary ? d.high : 0;
    } else if (level.type == KW_TYPE_FLOAT) {
        v.kind = Value::Double;
        v.number = ordinary ? d.asDouble() : 0.0;
    } else {
        // Ordinary codes show their display names; error and blank their captions.
        const kw::ItemBlock& b = *level.block;
        v.kind = Value::Text;
        v.text = b.hasCodes() && ordinary ? b.names.data() + d.low : b.strings.data() + d.high;
    }
    return v;
}

std::int32_t label(const kw::MolapAxisKeys& keys, const std::vector<kw::MolapLevelPtr>& levels,
                   std::int32_t entry, std::int32_t level, Value& value) {
    value = {};
    if (entry < 0 || entry >= keys.entries() || level < 0 || level >= keys.levels) return -1;
    const std::int32_t* key = keys.key(entry);
    if (key[level] != kw::kMolapTotal) {
        value = levelValue(*levels[at(level)], key[level]);
        return 0;
    }
    value.kind = Value::Text;
    if (level == 0)
        value.text = grandCaption();
    else if (key[level - 1] != kw::kMolapTotal)
        value.text = subtotalCaption();
    else
        value.text = "";
    return 1;
}

bool summable(const kw::MolapLevel& level) {
    return level.type == KW_TYPE_INTEGER || level.type == KW_TYPE_FLOAT;
}

// The entry an index names: an axis without items has its one key whatever the index.
std::int32_t entryOf(const kw::MolapAxisKeys& keys, std::int32_t index) {
    if (keys.levels == 0) return 0;
    return index >= 0 && index < keys.entries() ? index : -1;
}

}  // namespace

namespace kw {

const KW_cell* MolapResult::cell(std::int32_t xe, std::int32_t ye) const {
    const std::size_t z = at(zCount);
    if (const std::int32_t yt = y.totalOf[at(ye)]; yt >= 0)
        return yTotals.data() + (at(yt) * at(x.entries()) + at(xe)) * z;
    const std::int32_t yb = y.baseOf[at(ye)];
    if (const std::int32_t xt = x.totalOf[at(xe)]; xt >= 0)
        return xTotals.data() + (at(xt) * at(y.bases()) + at(yb)) * z;
    const std::uint64_t code = x.codes[at(x.baseOf[at(xe)])] * ySpace + y.codes[at(yb)];
    const std::int32_t slot = index.find(code);
    return slot < 0 ? nullptr : cells.data() + at(slot) * z;
}

}  // namespace kw

std::int32_t KW_search::GetMolapXCount() const {
    const kw::MolapResult* r = molap_.result.get();
    return r && r->x.levels > 0 ? r->x.entries() : 0;
}

std::int32_t KW_search::GetMolapYCount() const {
    const kw::MolapResult* r = molap_.result.get();
    return r && r->y.levels > 0 ? r->y.entries() : 0;
}

std::int32_t KW_search::GetMolapXLabel(std::int32_t column, std::int32_t level,
                                       MolapValue& value) const {
    const kw::MolapResult* r = molap_.result.get();
    value = {};
    if (!r || column < 0) return -1;
    return label(r->x, r->xLevels, column / r->zCount, level, value);
}

std::int32_t KW_search::GetMolapYLabel(std::int32_t row, std::int32_t level,
                                       MolapValue& value) const {
    const kw::MolapResult* r = molap_.result.get();
    value = {};
    if (!r) return -1;
    return label(r->y, r->yLevels, row, level, value);
}

std::int32_t KW_search::KWMolapGetData(std::int32_t x, std::int32_t y, std::int32_t z,
                                       MolapValue& value) const {
    value = {};
    const kw::MolapResult* r = molap_.result.get();
    if (!r || z < 0 || z >= r->zCount) return -1;
    const std::int32_t xe = entryOf(r->x, x), ye = entryOf(r->y, y);
    if (xe < 0 || ye < 0) return -1;
    const std::int32_t total = r->x.totalOf[at(xe)] >= 0 || r->y.totalOf[at(ye)] >= 0 ? 1 : 0;
    const kw::KW_cell* cells = r->cell(xe, ye);
    if (!cells) return total;
    const kw::KW_cell& c = cells[z];
    const kw::MolapLevel* item = r->zLevels.empty() ? nullptr : r->zLevels[at(z)].get();
    switch (r->kinds[at(z)]) {
        case 0:
            value.kind = MolapValue::Integer;
            value.integer = c.count;
            break;
        case 1:
            if (item && summable(*item) && c.count > 0) {
                value.kind = MolapValue::Double;
                value.number = c.sum;
            }
            break;
        case 2:
            if (item && summable(*item) && c.values > 0) {
                value.kind = MolapValue::Double;
                value.number = c.sum / c.values;
            }
            break;
        case 3:
            if (item && c.values > 0) value = levelValue(*item, c.largest);
            break;
        case 4:
            if (item && c.values > 0) value = levelValue(*item, c.smallest);
            break;
        default:
            break;
    }
    return total;
}
