// Compact forms of one item's value list for the passes that read every record: the recount of
// in-map counts and the search terms. They are made when a data set is loaded (a MultiAns
// item's when it is first counted or searched) and live beside the value list as the file
// holds it, which every other reader keeps using; nothing of them is ever written to a file.
//
// A pass over 4-byte positions is bound by the memory it streams, and most items need far
// fewer bytes per record:
// - Bit planes. An item with few values in use keeps, per value, a map (KW_map's layout) of
//   the records that hold it. A count within a map is then the popcount of two maps ANDed, and
//   a search term the OR of its passing values' planes, 32 records to a word with no lookup.
//   A single-valued item has no plane for its last value in use: each record holds exactly one
//   value, so that value's records are the ones in no other plane. A MultiAns item keeps a
//   plane for every value in use; those count answers only when no record names one value
//   twice (else the recount takes the answers one by one, the search still ORs the planes).
// - A dominant value. A single-valued item with too many values for planes, one of which half
//   the records or more hold (a mostly blank text), keeps that value's plane and the
//   positions of the other records only: those are all a count has to look up.
// - Narrow positions. Otherwise a single-valued item whose dictionary fits keeps its
//   positions in one or two bytes per record.
// - Unique values. A single-valued item whose positions rise from record to record (an ID in
//   record order) holds each entry in one record at most: its in-map counts are each record's
//   own bit, written straight to its entry in one sequential pass.
//
// The forms cost at most 2 bytes per record of an item, far under the 4 of its positions. Their
// large arrays are mappings of their own in huge pages (kw_memory.h), so that making them at
// load faults once per 2 MiB rather than once per page.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/kw_format.h"
#include "engine/kw_memory.h"

namespace kw {

struct ItemScan {
    bool deferred = false;  // not made yet: the owner makes it when first asked for

    // Planes: usePlanes says that the item has them (possibly none, when it has at most one
    // value in use); plane k holds the records of dictionary position planePositions[k].
    bool usePlanes = false;
    bool planesCount = false;    // the planes give exact in-map counts
    std::int32_t words = 0;      // 32-bit words of one plane, as of a map
    std::int32_t lastLive = -1;  // single-valued: the value in use without a plane, or -1
    std::vector<std::int32_t> planePositions;  // ascending
    LargeVector<std::uint32_t> planes;         // planePositions.size() * words

    std::int32_t dominant = -1;                // a position held by half the records or more, or -1
    LargeVector<std::uint32_t> dominantPlane;  // its records
    LargeVector<std::int32_t> others;          // the other records' positions, in record order

    LargeVector<std::uint8_t> narrow8;    // positions, when the dictionary has <= 256 entries
    LargeVector<std::uint16_t> narrow16;  // positions, when it has <= 65,536

    bool unique = false;                       // positions rise from record to record
    std::vector<std::int32_t> emptyPositions;  // unique: the entries without a record
    std::int32_t firstPosition = -1;  // unique without gaps: record r holds firstPosition + r

    const std::uint32_t* plane(std::size_t k) const {
        return planes.data() + k * static_cast<std::size_t>(words);
    }
};

// The forms worth keeping for the item, of a data set of `records` records; an item without
// any gets an empty scan. Throws std::bad_alloc.
ItemScan makeItemScan(const ItemBlock& block, std::int32_t records);

// The number of records set in both, over `words` 32-bit words.
std::int32_t countBoth(const std::uint32_t* a, const std::uint32_t* b, std::int32_t words);

}  // namespace kw
