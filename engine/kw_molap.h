// The multi-dimensional aggregation's state inside KW_search: the axis settings, the result of
// the last build, the drill and the cancel handshake with the aggregation window.
//
// Settings: each axis (X, Y, Z) is a list of levels; a level is one item with the dictionary
// and record -> position array it is read through (the item's own, or a date-grouped copy that
// the level owns). Levels are shared, immutable once made: a result keeps the levels it was
// built from, so resetting the settings never pulls the tables from under a result or a drill.
// Item tables belong to KW_search; KWclose frees this state together with them.
//
// Result: every key of an axis is a list of dictionary positions, one per level; total and
// subtotal keys carry kMolapTotal from their first total level on. Each axis numbers its
// ordinary keys by an integer code whose order is key order; a cell's code is x code * ySpace +
// y code. Keys are kept in key order (level 0 first, smaller position first, totals after their
// group); cells sit in three stores: the ordinary cells (in cell code order, found through the
// cell index), the X total cells over the ordinary rows and the Y total cells over every column
// (both dense: a total cell exists for every pair, empty ones with count 0).
//
// Memory: a build reuses the large arrays of the result it replaces and keeps its work arrays
// (MolapScratch) while a result is shown, since the window rebuilds after every drill;
// KWMolapClose gives all of it back.
//
// Threads: the build runs on the window's worker while the window's thread only waits; the
// cancel handshake is the one part touched by two threads at once.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "engine/kw_error.h"
#include "engine/kw_format.h"
#include "engine/kw_map.h"
#include "engine/kw_memory.h"

namespace kw {

// A record without a cell in a table of cell codes or slots.
inline constexpr std::uint32_t kMolapNoCell = 0xFFFFFFFFu;
// The component of a total or subtotal key from its first total level on.
inline constexpr std::int32_t kMolapTotal = std::numeric_limits<std::int32_t>::max();
// At most five items per key axis.
inline constexpr std::int32_t kMolapMaxLevels = 5;

// The group key of a yyyymmdd date: 1 year, 2 month (1-12), 3 day (1-31), 4 year-month
// (yyyymm), 5 quarter (1-4), 6 half year (1-2). Other groupings give the date unchanged.
constexpr std::int32_t dateGroupKey(std::int32_t date, std::int32_t grouping) {
    const std::int32_t month = (date % 10000) / 100;
    switch (grouping) {
        case 1:
            return date / 10000;
        case 2:
            return month;
        case 3:
            return date % 100;
        case 4:
            return date / 100;
        case 5:
            return (month - 1) / 3 + 1;
        case 6:
            return (month - 1) / 6 + 1;
        default:
            return date;
    }
}

// The cancel handshake between the aggregation window and the workers it starts (the engine's
// build and the window's own grid filling). The window resets the flag before a build and
// requests a cancel when it closes; a worker polls between units of work and, seeing the
// request, takes it back (1 -> 0) and ends. All members are safe from any thread.
class MolapCancel {
public:
    // A worker's run, from start to end, so that a cancel knows whether anyone will answer.
    class Running {
    public:
        explicit Running(MolapCancel& c) : c_(c) { c_.workers_.fetch_add(1); }
        ~Running() { c_.workers_.fetch_sub(1); }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        MolapCancel& c_;
    };

    // Before a build starts: no request pending.
    void reset() { flag_.store(0); }
    // A worker between units of work: true when a cancel was requested; the request is then
    // taken back, so the flag reads 0 once the worker has seen it.
    bool poll() {
        if (flag_.load(std::memory_order_relaxed) != 1) return false;
        std::int32_t requested = 1;
        return flag_.compare_exchange_strong(requested, 0);
    }
    // Requests a cancel and waits until a running worker has taken it, calling idle (the
    // window's message pump) between 10 ms pauses. When no worker is inside a build it returns
    // at once and the request stays pending: a worker started before the cancel but not yet in
    // the build sees it at its first poll and ends; the next build starts after a reset().
    void cancel(const std::function<void()>& idle = {});
    std::int32_t value() const { return flag_.load(); }
    bool running() const { return workers_.load() > 0; }

private:
    std::atomic<std::int32_t> flag_{0};
    std::atomic<std::int32_t> workers_{0};
};

// One level of an axis: an item and the tables the axis reads it through.
struct MolapLevel {
    std::int32_t item = -1;
    std::int32_t type = 0;      // KWType
    std::int32_t grouping = 0;  // date grouping in effect (1-6), 0 none
    const ItemBlock* block = nullptr;
    std::span<const KW_dict> dict;
    std::span<const std::int32_t> positions;  // record -> position in dict
    // A grouped level's own tables (dict and positions point here).
    std::vector<KW_dict> groupedDict;
    LargeVector<std::int32_t> groupedPositions;
};
using MolapLevelPtr = std::shared_ptr<const MolapLevel>;

struct MolapAxisSettings {
    std::vector<std::int32_t> items;
    std::vector<MolapLevelPtr> levels;
};

// One aggregate of one Z item in one cell. A total cell starts like this and merges cells in.
struct KW_cell {
    std::int32_t count = 0;  // records in the cell
    // Smallest and largest dictionary position among the ordinary Z values (position 2 on).
    std::int32_t smallest = std::numeric_limits<std::int32_t>::max();
    std::int32_t largest = 0;
    std::int32_t values = 0;  // records whose Z value is ordinary
    double sum = 0;           // of the ordinary values (Integer and Float Z items)

    void merge(const KW_cell& c) {
        count += c.count;
        values += c.values;
        sum += c.sum;
        smallest = c.smallest < smallest ? c.smallest : smallest;
        largest = c.largest > largest ? c.largest : largest;
    }
};

// The keys of one axis in key order, totals included. An axis without items has one key of no
// levels (entry 0), which every cell of the result shares.
struct MolapAxisKeys {
    std::int32_t levels = 0;
    // Per entry: `levels` positions, kMolapTotal from the first total level on.
    std::vector<std::int32_t> components;
    std::vector<std::int32_t> baseOf;   // entry -> ordinary key index, -1 for a total
    std::vector<std::int32_t> totalOf;  // entry -> total key index, -1 for an ordinary key
    std::vector<std::int32_t> entryOfBase;
    std::vector<std::int32_t> entryOfTotal;
    std::vector<std::uint64_t> codes;  // ordinary key index -> its code (cell lookup)
    // The innermost total that holds each ordinary key, and the total that holds each total
    // (-1: none), so that totals add up level by level.
    std::vector<std::int32_t> innermost;
    std::vector<std::int32_t> parent;
    std::vector<std::int32_t> depth;  // per total: its levels that hold values (0: grand)

    std::int32_t entries() const { return static_cast<std::int32_t>(baseOf.size()); }
    std::int32_t bases() const { return static_cast<std::int32_t>(entryOfBase.size()); }
    std::int32_t totals() const { return static_cast<std::int32_t>(entryOfTotal.size()); }
    const std::int32_t* key(std::int32_t entry) const {
        return components.data() + static_cast<std::size_t>(entry) * levels;
    }
};

// Cell code -> slot of an ordinary cell, slots numbered in code order. Two forms: a bit per
// code of the space with running counts per 64 codes (a slot is the number of cells before
// its code), for spaces not much larger than the records; else the codes of the slots in
// ascending order.
class MolapCellIndex {
public:
    // The bit form over [0, space), every bit clear. Throws std::bad_alloc.
    void initBits(std::uint64_t space);
    bool bitForm() const { return bitForm_; }
    std::uint64_t* bitWords() { return bits_.data(); }
    const std::uint64_t* bitWords() const { return bits_.data(); }
    std::size_t bitWordCount() const { return bits_.size(); }
    // After the bits are set: the running counts. Returns the number of cells.
    std::uint64_t countBits();
    // The slot of a code whose bit is set.
    std::int32_t slotOf(std::uint64_t code) const {
        const std::uint64_t word = bits_[code >> 6];
        const std::uint64_t below = word & ((std::uint64_t{1} << (code & 63)) - 1);
        return static_cast<std::int32_t>(before_[code >> 6]) + std::popcount(below);
    }
    // The sorted form: slot i has the i-th smallest code.
    void initSorted() {
        bitForm_ = false;
        sorted_.clear();
    }
    LargeVector<std::uint64_t>& sortedCodes() { return sorted_; }
    const LargeVector<std::uint64_t>& sortedCodes() const { return sorted_; }
    // -1 when the code has no cell.
    std::int32_t find(std::uint64_t code) const;
    // Empty, keeping the memory.
    void clear() {
        bits_.clear();
        before_.clear();
        sorted_.clear();
        bitForm_ = false;
    }

private:
    bool bitForm_ = false;
    std::uint64_t space_ = 0;
    LargeVector<std::uint64_t> bits_;
    LargeVector<std::uint32_t> before_;  // per word: cells below it
    LargeVector<std::uint64_t> sorted_;
};

// The result of one build.
struct MolapResult {
    KW_mapPtr over;                                        // the current map it was built over
    std::vector<MolapLevelPtr> xLevels, yLevels, zLevels;  // as the build read them
    std::vector<std::int32_t> kinds;                       // per Z column
    std::int32_t zCount = 0;                               // Z columns (1 without Z items)
    MolapAxisKeys x, y;
    std::uint64_t ySpace = 1;  // cell code = x code * ySpace + y code
    MolapCellIndex index;
    LargeVector<KW_cell> cells;    // ordinary cells in code order, zCount per slot
    LargeVector<KW_cell> xTotals;  // (X total, ordinary Y key): [total][y base][z]
    LargeVector<KW_cell> yTotals;  // (any X key, Y total): [total][x entry][z]

    // The zCount cells of (X entry, Y entry), or null when that cell does not exist.
    const KW_cell* cell(std::int32_t xe, std::int32_t ye) const;
};

// The ordinary keys of one axis as the pass found them, in key order.
struct MolapOrdinaryKeys {
    std::vector<std::uint64_t> codes;     // key index -> axis code, ascending
    std::vector<std::int32_t> positions;  // key index * levels + level -> dictionary position
};

// What the pass hands on: the ordinary keys of both axes and each slot's key index on each.
struct MolapSlots {
    MolapOrdinaryKeys x, y;
    LargeVector<std::int32_t> xKey, yKey;
};

// After the pass: adds the total keys of the modes (1 grand total, 2 subtotals and grand
// total) to the ordinary keys and fills the total cells, X first. Throws std::bad_alloc, or
// the error record passed on with the total's method name.
void finishMolap(MolapResult& r, MolapSlots& cellKeys, std::int32_t xMode, std::int32_t yMode,
                 KW_error& err);

// What the scratch tells of each record's cell after a build, so that a drill into one cell
// need not look at the levels at all.
enum class MolapRecordCells {
    None,
    // `cellHead`: per slot the last record of its cell; `cellLink`: per record of a cell the
    // one before it in that cell (kNoCell after the first).
    Chains,
    Pairs,   // `pairs`: (cell code << 32 | record), sorted
    Ranges,  // `cellRecords`: the records of slot s, in record order, from cellStart[s] on
};

// Work memory of the builds, kept while a result is shown: the window rebuilds after every
// drill, and a rebuild that reuses this memory asks the system for no fresh pages.
struct MolapScratch {
    MolapSlots cellKeys;
    MolapRecordCells recordCells = MolapRecordCells::None;
    LargeVector<std::uint32_t> codes;  // per record of the map: its cell code
    LargeVector<std::uint32_t> rows;   // (slot, record, Z positions), by slot range
    LargeVector<std::uint32_t> cellRecords;
    std::vector<std::uint32_t> cellStart;  // per slot, and the end after the last
    std::vector<std::uint32_t> cellHead;
    LargeVector<std::uint32_t> cellLink;                // per record
    LargeVector<std::uint64_t> pairs, sortBuffer;       // (cell code, record) words
    std::vector<LargeVector<std::int32_t>> zPositions;  // per Z item, in sorted pair order
};

// An empty result for the next build that keeps the memory of the old one's large arrays.
// Throws std::bad_alloc.
std::unique_ptr<MolapResult> recycleMolap(std::unique_ptr<MolapResult> old);

// One narrowing of a drill: the records whose position on a level equals a value, asked as
// the level of a key of an axis.
struct MolapDrillTerm {
    MolapLevelPtr level;
    std::int32_t position = 0;
    bool xAxis = true;
    std::int32_t key = 0;
    std::int32_t keyLevel = 0;
};

// A drill in the making. Narrowings are gathered and applied together: the records the most
// selective one names are found in one pass over its positions, the others tested on those
// records only. Each batch belongs to the current map it was asked under.
struct MolapDrill {
    std::shared_ptr<KW_map> map;  // the narrowings applied so far; null: none yet
    std::vector<MolapDrillTerm> terms;
    std::shared_ptr<const KW_map> under;  // the current map of the terms (null: all records)

    bool empty() const { return !map && terms.empty(); }
    void reset() { *this = {}; }
};

struct MolapState {
    MolapCancel cancel;
    MolapAxisSettings x, y, z;
    std::unique_ptr<MolapResult> result;
    MolapDrill drill;
    MolapScratch scratch;
};

}  // namespace kw
