// The multi-dimensional aggregation against SQLite: a random table made for it, a query
// (axes, groupings, Z items, kinds, total modes), and one canonical image of a result that is
// read from the engine or built from GROUP BY queries over key prefixes, so the two can be
// compared whole: keys in order with their labels, every cell's aggregates, total flags.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/kw_search.h"
#include "tests/support/sqlite_reference.h"

namespace zbq::test {

// Items of molapTable().
enum MolapItem : int {
    kCode3,   // Code a/b/c (display names out of code order)
    kCode5,   // Code of five codes
    kSmall,   // Integer -3..3
    kWord,    // String of four words
    kDay,     // Date over three years
    kHalf,    // Float in halves
    kClock,   // Time, whole hours
    kCode2,   // Code x/y
    kTiny,    // Integer 0..2
    kDay2,    // Date over two years
    kAmount,  // Integer -500..500 (Z)
    kPrice,   // Float in quarters (Z)
    kNote,    // String (Z)
    kMulti,   // MultiAns (refused on every axis)
    kItemCount
};

// A seeded table of low-cardinality items with blanks and errors in every one.
FixtureTable molapTable(int records, unsigned seed);

struct MolapLevelSpec {
    int item;
    int grouping = 0;
};

struct MolapQuery {
    std::vector<MolapLevelSpec> x, y;
    std::vector<int> z;       // Z items
    std::vector<int> kinds;   // per Z item
    std::vector<int> zUnits;  // per Z item; empty: none
    int xMode = 0, yMode = 0;
    std::string where = "1";  // records of the current map, as SQL over table t
};

// One key level as the window sees it.
struct KeyPart {
    enum Kind { Blank, Value, Total };
    Kind kind = Value;
    std::int64_t order = 0;  // position of a plain level, group key of a grouped one
    SqlValue label;          // value, or the total caption; nothing for a blank
    bool operator==(const KeyPart&) const = default;
    bool operator<(const KeyPart& o) const {
        return kind != o.kind ? kind < o.kind : kind == Value && order < o.order;
    }
};
using Key = std::vector<KeyPart>;

struct MolapImage {
    std::vector<Key> x, y;  // in key order; one empty key for an axis without items
    // Cells with at least one value: their aggregates per Z column (NULL = none).
    std::map<std::pair<Key, Key>, std::vector<SqlValue>> cells;
    // Cells whose total flag the engine reported (compared for the engine's image only).
    std::map<std::pair<Key, Key>, bool> totalFlags;
};

// Sets the axes and builds; the build's result code.
std::int32_t runMolap(KW_search& s, const MolapQuery& q);
// The engine's current result as an image.
MolapImage engineImage(const KW_search& s, const FixtureTable& table, const MolapQuery& q);
// The same from SQLite.
MolapImage sqlImage(const SqliteReference& db, const FixtureTable& table, const MolapQuery& q);
// Adds test failures for every difference, naming the keys.
void expectSameImage(const MolapImage& actual, const MolapImage& expected);
// Readable key, for messages.
std::string describe(const Key& key);

}  // namespace zbq::test
