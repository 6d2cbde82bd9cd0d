// State of the cross tabulation of KW_search: the X and Y condition lists and the one result.
//
// An axis is either the plain values of its item (one category per dictionary position, error
// and blank included) or categories defined by conditions (KW_cond). A built condition list
// and every result reduce an axis to one table, dictionary position -> category, so a record's
// cell is found with two lookups and categories never depend on the map current at build time.
//
// Ownership: KW_search holds one CrossState; a result keeps its own references to the axis
// tables and to the map it counted, so resetting a list or changing the current map never
// changes a result that has been read. Threads: the user-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/kw_condition.h"
#include "engine/kw_map.h"

// Aggregate kinds, in the order of the console's kind list.
enum KWCrossKind : std::int32_t {
    KW_CROSS_RECORDS = 0,  // records in the cell
    KW_CROSS_COUNT = 1,    // records with an ordinary Z value
    KW_CROSS_UNIQUE = 2,   // distinct ordinary Z values
    KW_CROSS_SUM = 3,      // int cell: records with a Z value; double cell: the sum
    KW_CROSS_AVERAGE = 4,  // the same with the average
    KW_CROSS_MAXIMUM = 5,  // largest Z value
    KW_CROSS_MINIMUM = 6,  // smallest Z value
    KW_CROSS_PERCENT = 7,  // percentile from the top
};

// Labels and text bounds of a condition hold at most this many bytes, cut on a character
// boundary.
inline constexpr std::size_t KW_COND_TEXT = 127;

// One condition of an axis: operators 0 to 13 of kw_condition.h (13, Others, takes every
// value no earlier category took; any other code selects nothing). Bounds an Add call does
// not set stay zero (or empty).
struct KW_cond {
    std::int32_t category = -1;  // set by the build
    std::string label;           // conditions with the same label form one category
    kw::Condition test;
};

namespace kw {

enum CrossAxis : int { kCrossX = 0, kCrossY = 1 };

// An axis reduced to categories.
struct CrossAxisTables {
    std::int32_t item = -1;
    bool conditions = false;             // categories from conditions, else one per position
    std::vector<std::string> labels;     // per category (condition axes)
    std::vector<std::int32_t> category;  // per dictionary position: its category, or -1
    std::int32_t count() const {
        return static_cast<std::int32_t>(conditions ? labels.size() : category.size());
    }
};

// A condition list, from Init to Reset.
struct CrossList {
    bool active = false;
    std::int32_t item = -1;
    std::int32_t nameMode = 0;  // 1: text conditions on an item with codes test display names
    std::int32_t capacity = 0;
    std::vector<KW_cond> conditions;
    std::shared_ptr<const CrossAxisTables> built;  // after a successful build
};

// One computed cross tabulation. Cell (x, y) is at y * X-count + x.
struct CrossResult {
    std::int32_t kind = -1;
    std::int32_t zItem = -1;
    std::int32_t zType = 0;  // KWType of Z (kinds 1 to 7)
    std::shared_ptr<const CrossAxisTables> axes[2];
    KW_mapPtr map;  // the records counted (null = all)

    std::vector<std::uint8_t> flags;  // 1 = the cell has a value
    std::vector<std::int32_t> ints;   // the int cell
    std::vector<double> doubles;      // the double cell (sum, average, Float extremes)

    // Drill: cells marked since the last drill (one byte per cell, empty until the first
    // mark), and the map of the cells drilled before.
    std::vector<std::uint8_t> marked;
    std::shared_ptr<const KW_map> drilled;

    std::size_t xCount() const { return static_cast<std::size_t>(axes[kCrossX]->count()); }
    std::size_t yCount() const { return static_cast<std::size_t>(axes[kCrossY]->count()); }
};

// Work arrays of the unique counts and percentiles, kept between runs: a new 4 MB array costs
// more in page faults than the sort that fills it.
struct CrossScratch {
    std::vector<std::uint32_t> pairCell, pairPos, cellsByPos;
};

struct CrossState {
    CrossList lists[2];
    std::unique_ptr<CrossResult> result;
    CrossScratch scratch;
};

}  // namespace kw
