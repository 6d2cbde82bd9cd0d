// KW_search: building the aggregation's ordinary cells.
//
// Each level maps its dictionary positions to ranks among the positions some record holds
// (the error value to a bad mark), and an axis key becomes one integer in mixed radix over
// those ranks, level 0 most significant: integer order is key order, and the cell code
// x * ySpace + y orders cells by X key, then Y key. A record's cell code is the sum of one table
// entry per level (rank times the level's stride, times ySpace on X), added up for a block of
// records at a time, level by level; the bad mark puts the sum beyond the code space. A Z item
// asked for several aggregates is added up once (a cell holds them all) and copied to its
// other columns at the end. Then, by the size of the code space:
// - a cell for every code fits in cache: one pass adds the Z values straight in, and the
//   codes that occur become the slots.
// - not much larger than the records: a bit per code marks the cells that occur and running
//   counts number them in code order. When the cells fit in cache a second pass adds the Z
//   values straight in; else the records are first scattered by slot range, each with its Z
//   positions, so that every range adds up in cache.
// - larger: the (cell code, record) pairs are sorted and each run of equal codes is one cell.
// Keys whose mixed radix would not fit 60 bits (many levels of huge dictionaries) are first
// ranked record by record by sorting, which keeps the order. On every way a cell takes its
// records in record order, so its sums are the same whichever way it was built. Each way also
// leaves the records of every cell where a drill finds them without a pass over the map: a
// chain through the records (the ways that add in place), a run in slot order (scattered) or
// the run of the cell's pairs.
#include <algorithm>
#include <bit>
#include <new>
#include <stdexcept>
#include <utility>

#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

constexpr std::uint32_t kBad = 0x80000000u;  // rank of the error value and of unused positions
constexpr std::uint64_t kMaxSpace = std::uint64_t{1} << 60;
// Added once per bad level: ten of them and a code still fit 64 bits, and any is >= every space.
constexpr std::uint64_t kBadMark = kMaxSpace;
constexpr std::uint32_t kNoCell = kw::kMolapNoCell;
constexpr std::int32_t kBlockWords = 64;                  // 2048 records; the cancel flag per block
constexpr std::size_t kCacheBytes = 512 * 1024;           // cells that add up in cache as they are
constexpr std::size_t kPartitionBytes = 128 * 1024;       // the cells of one scattered range
constexpr std::size_t kPollEvery = std::size_t{1} << 16;  // flat loops: the cancel flag this often

// An axis: its levels ranked, and the number of distinct codes.
struct AxisCode {
    struct Level {
        const std::int32_t* positions = nullptr;
        std::vector<std::uint32_t> rank;     // position -> rank, kBad when no record holds it
        std::vector<std::int32_t> position;  // rank -> position
        std::uint64_t stride = 1;
    };
    std::vector<Level> levels;
    std::uint64_t space = 1;
    // Ranked by sorting: one level whose positions are per-record ranks plus one, and one
    // record of every rank (the key's positions are read from it).
    std::vector<std::int32_t> ranked;
    std::vector<std::int32_t> sample;
};

// a * b, or nothing when it passes kMaxSpace.
bool multiply(std::uint64_t a, std::uint64_t b, std::uint64_t& out) {
    return !__builtin_mul_overflow(a, b, &out) && out <= kMaxSpace;
}

// The ranks of every level and the mixed radix over them. False when the code space is too
// large for one integer.
bool mixedRadix(const std::vector<kw::MolapLevelPtr>& levels, AxisCode& axis) {
    axis = {};
    axis.levels.resize(levels.size());
    for (std::size_t l = 0; l < levels.size(); ++l) {
        const std::span<const KW_dict> dict = levels[l]->dict;
        AxisCode::Level& level = axis.levels[l];
        level.positions = levels[l]->positions.data();
        level.rank.assign(dict.size(), kBad);
        for (std::size_t p = KW_POS_BLANK; p < dict.size(); ++p) {
            if (dict[p].count == 0) continue;
            level.rank[p] = static_cast<std::uint32_t>(level.position.size());
            level.position.push_back(static_cast<std::int32_t>(p));
        }
    }
    std::uint64_t stride = 1;
    for (std::size_t l = levels.size(); l-- > 0;) {
        axis.levels[l].stride = stride;
        if (!multiply(stride, axis.levels[l].position.size(), stride)) return false;
    }
    axis.space = stride;
    return true;
}

// Records of the map (all records without one), up to 32 * kBlockWords at a time: a stretch
// of consecutive records where the map selects every one, else a list.
struct Block {
    std::int32_t n = 0;
    std::int32_t first = 0;
    bool consecutive = false;
    const std::int32_t* record = nullptr;
};

// Calls f(i, record) for every record of a block, the loop written out for either form.
template <typename F>
inline void forRecords(const Block& b, F&& f) {
    if (b.consecutive) {
        for (std::int32_t i = 0; i < b.n; ++i)
            f(i, b.first + i);
    } else {
        for (std::int32_t i = 0; i < b.n; ++i)
            f(i, b.record[i]);
    }
}

// Calls f(block) for the records of the map in record order, stopping with false when the
// cancel flag is seen; the flag is read before every block.
template <typename F>
bool forEachBlock(const KW_map* map, std::int32_t records, kw::MolapCancel& cancel,
                  std::vector<std::int32_t>& buffer, F&& f) {
    const std::int32_t words = (records + 31) / 32;
    buffer.resize(32 * kBlockWords);
    for (std::int32_t w0 = 0; w0 < words; w0 += kBlockWords) {
        if (cancel.poll()) return false;
        const std::int32_t end = std::min(w0 + kBlockWords, words);
        Block b;
        b.first = w0 * 32;
        auto wordAt = [&](std::int32_t w) {
            std::uint32_t bits = map ? map->data()[w] : 0xFFFFFFFFu;
            if (w == words - 1 && records % 32 != 0) bits &= ~(0xFFFFFFFFu >> (records % 32));
            return bits;
        };
        bool every = true;
        for (std::int32_t w = w0; w < end && every; ++w)
            every = wordAt(w) == 0xFFFFFFFFu;
        if (every || !map) {
            b.consecutive = true;
            b.n = std::min(end * 32, records) - b.first;
        } else {
            std::int32_t* out = buffer.data();
            for (std::int32_t w = w0; w < end; ++w) {
                std::uint32_t bits = wordAt(w);
                while (bits != 0) {
                    const int bit = std::countl_zero(bits);
                    out[b.n++] = w * 32 + bit;
                    bits &= ~(0x80000000u >> bit);
                }
            }
            b.record = out;
        }
        if (b.n > 0) f(b);
    }
    return !cancel.poll();
}

// Ranks the keys of an axis record by record, in key order, for code spaces too large for the
// mixed radix: the axis becomes one level whose positions are the ranks plus one.
bool rankBySorting(const std::vector<kw::MolapLevelPtr>& levels, const KW_map* map,
                   std::int32_t records, kw::MolapCancel& cancel, AxisCode& axis) {
    std::vector<std::int32_t> keyed, buffer;
    const bool complete = forEachBlock(map, records, cancel, buffer, [&](const Block& b) {
        forRecords(b, [&](std::int32_t, std::int32_t record) {
            bool valid = true;
            for (const kw::MolapLevelPtr& l : levels)
                valid = valid && l->positions[at(record)] != KW_POS_ERROR;
            if (valid) keyed.push_back(record);
        });
    });
    if (!complete) return false;
    auto differ = [&](std::int32_t a, std::int32_t b) {
        for (const kw::MolapLevelPtr& l : levels)
            if (l->positions[at(a)] != l->positions[at(b)]) return true;
        return false;
    };
    std::sort(keyed.begin(), keyed.end(), [&](std::int32_t a, std::int32_t b) {
        for (const kw::MolapLevelPtr& l : levels) {
            const std::int32_t pa = l->positions[at(a)], pb = l->positions[at(b)];
            if (pa != pb) return pa < pb;
        }
        return a < b;
    });
    axis = {};
    axis.ranked.assign(at(records), 0);
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (i == 0 || differ(keyed[i - 1], keyed[i])) axis.sample.push_back(keyed[i]);
        axis.ranked[at(keyed[i])] = static_cast<std::int32_t>(axis.sample.size());
    }
    const std::size_t ranks = axis.sample.size();
    AxisCode::Level level;
    level.positions = axis.ranked.data();
    level.rank.resize(ranks + 1);
    level.rank[0] = kBad;
    for (std::size_t i = 1; i <= ranks; ++i)
        level.rank[i] = static_cast<std::uint32_t>(i - 1);
    axis.levels.push_back(std::move(level));
    axis.space = ranks;
    return true;
}

// The dictionary positions of the keys with these codes, `levels` per key.
std::vector<std::int32_t> keyPositions(const AxisCode& axis,
                                       const std::vector<kw::MolapLevelPtr>& levels,
                                       const std::vector<std::uint64_t>& codes) {
    std::vector<std::int32_t> out;
    out.reserve(codes.size() * levels.size());
    for (const std::uint64_t code : codes) {
        if (!axis.sample.empty()) {
            const std::int32_t record = axis.sample[at(code)];
            for (const kw::MolapLevelPtr& l : levels)
                out.push_back(l->positions[at(record)]);
            continue;
        }
        for (const AxisCode::Level& l : axis.levels)
            out.push_back(l.position[at(code / l.stride % l.position.size())]);
    }
    return out;
}

// One level as the pass adds it into the cell code.
struct CodeLevel {
    const std::int32_t* positions;
    std::vector<std::uint64_t> add;  // position -> rank * stride (* ySpace on X), or kBadMark
};

void addLevels(const AxisCode& axis, std::uint64_t scale, std::vector<CodeLevel>& out) {
    for (const AxisCode::Level& l : axis.levels) {
        CodeLevel c{l.positions, std::vector<std::uint64_t>(l.rank.size())};
        for (std::size_t p = 0; p < l.rank.size(); ++p)
            c.add[p] = l.rank[p] == kBad ? kBadMark : l.rank[p] * l.stride * scale;
        out.push_back(std::move(c));
    }
}

// Adds M levels into the codes of a block (or sets them, for the first levels): M position
// arrays are read side by side, and the codes are touched once for all of them.
template <int M, bool kConsecutive>
void sweep(const Block& b, const CodeLevel* levels, std::uint64_t* code, bool first) {
    const std::int32_t* positions[M];
    const std::uint64_t* add[M];
    for (int j = 0; j < M; ++j) {
        positions[j] = levels[j].positions + (kConsecutive ? b.first : 0);
        add[j] = levels[j].add.data();
    }
    for (std::int32_t i = 0; i < b.n; ++i) {
        const std::int32_t r = kConsecutive ? i : b.record[i];
        std::uint64_t c = first ? 0 : code[i];
        for (int j = 0; j < M; ++j)
            c += add[j][positions[j][r]];
        code[i] = c;
    }
}

template <bool kConsecutive>
void sweepAll(const Block& b, const std::vector<CodeLevel>& levels, std::uint64_t* code) {
    const std::size_t n = levels.size();
    if (n == 0) std::fill(code, code + b.n, std::uint64_t{0});
    for (std::size_t l = 0; l < n; l += 4) {
        const CodeLevel* group = levels.data() + l;
        switch (std::min<std::size_t>(4, n - l)) {
            case 1:
                sweep<1, kConsecutive>(b, group, code, l == 0);
                break;
            case 2:
                sweep<2, kConsecutive>(b, group, code, l == 0);
                break;
            case 3:
                sweep<3, kConsecutive>(b, group, code, l == 0);
                break;
            default:
                sweep<4, kConsecutive>(b, group, code, l == 0);
                break;
        }
    }
}

// The cell codes of a block's records; a code at or beyond the space marks a record left out.
void cellCodes(const Block& b, const std::vector<CodeLevel>& levels, std::uint64_t* code) {
    if (b.consecutive)
        sweepAll<true>(b, levels, code);
    else
        sweepAll<false>(b, levels, code);
}

struct ZColumn {
    const std::int32_t* positions;
    // Per position: the value (Integer and Float items; 0 for others), and -0.0 for the error
    // and blank entries, which adds nothing to any sum, not even to a sum of -0.0.
    std::vector<double> values;
};

inline void addValue(kw::KW_cell& c, std::int32_t p, const double* values) {
    const bool ordinary = p >= KW_POS_FIRST_VALUE;
    ++c.count;
    c.values += ordinary;
    c.sum += values[p];
    const std::int32_t low = ordinary ? p : std::numeric_limits<std::int32_t>::max();
    const std::int32_t high = ordinary ? p : 0;
    c.smallest = low < c.smallest ? low : c.smallest;
    c.largest = high > c.largest ? high : c.largest;
}

// out[i]: the slot of codes[i], -1 for a record without a cell.
KW_POPCOUNT_CLONES
void slotsOfCodes(const kw::MolapCellIndex& index, const std::uint32_t* codes, std::int32_t n,
                  std::int32_t* out) {
    for (std::int32_t i = 0; i < n; ++i)
        out[i] = codes[i] == kNoCell ? -1 : index.slotOf(codes[i]);
}

// Each code becomes its slot, counted in the histogram of slot ranges (slot >> shift).
KW_POPCOUNT_CLONES
void codesToSlots(const kw::MolapCellIndex& index, std::uint32_t* codes, std::size_t n, int shift,
                  std::size_t* count) {
    for (std::size_t k = 0; k < n; ++k) {
        if (codes[k] == kNoCell) continue;
        const auto slot = static_cast<std::uint32_t>(index.slotOf(codes[k]));
        codes[k] = slot;
        ++count[slot >> shift];
    }
}

// Everything the ways of finding cells share.
struct Pass {
    Pass(kw::MolapResult& result, kw::MolapScratch& work, const std::vector<CodeLevel>& codeLevels,
         const std::vector<ZColumn>& zColumns, const KW_map* current, std::int32_t all,
         std::int32_t inMap, std::uint64_t codeSpace, kw::MolapCancel& flag)
        : r(result),
          scratch(work),
          levels(codeLevels),
          z(zColumns),
          map(current),
          records(all),
          shown(inMap),
          space(codeSpace),
          cancel(flag),
          blockCodes(32 * kBlockWords),
          blockSlots(32 * kBlockWords) {}

    kw::MolapResult& r;
    kw::MolapScratch& scratch;
    const std::vector<CodeLevel>& levels;
    const std::vector<ZColumn>& z;
    const KW_map* map;
    std::int32_t records;
    std::int32_t shown;  // records of the map
    std::uint64_t space;
    kw::MolapCancel& cancel;
    std::vector<std::int32_t> blockRecords;
    std::vector<std::uint64_t> blockCodes;
    std::vector<std::int32_t> blockSlots;

    // Cells per slot while the pass adds up: one per distinct Z column (at least one).
    std::size_t zCount() const { return std::max<std::size_t>(z.size(), 1); }

    template <typename F>
    bool blocks(F&& f) {
        return forEachBlock(map, records, cancel, blockRecords, std::forward<F>(f));
    }

    // A cell for every code of a small space, added up in cache in one pass over the map that
    // also chains each record to the one before it in its cell; the codes that occur become
    // the slots.
    bool dense() {
        const std::size_t zc = zCount();
        kw::LargeVector<kw::KW_cell>& cells = r.cells;
        cells.assign(at(space) * zc, kw::KW_cell{});
        std::vector<std::uint32_t>& head = scratch.cellHead;
        head.assign(at(space), kNoCell);
        kw::LargeVector<std::uint32_t>& link = scratch.cellLink;
        link.resize(at(records));
        bool complete = blocks([&](const Block& b) {
            std::uint64_t* code = blockCodes.data();
            cellCodes(b, levels, code);
            forRecords(b, [&](std::int32_t i, std::int32_t record) {
                if (code[i] >= space) return;
                link[at(record)] = head[code[i]];
                head[code[i]] = static_cast<std::uint32_t>(record);
            });
            if (z.empty()) {
                for (std::int32_t i = 0; i < b.n; ++i)
                    if (code[i] < space) ++cells[code[i]].count;
                return;
            }
            for (std::size_t j = 0; j < z.size(); ++j) {
                const std::int32_t* positions = z[j].positions;
                const double* values = z[j].values.data();
                forRecords(b, [&](std::int32_t i, std::int32_t record) {
                    if (code[i] < space)
                        addValue(cells[code[i] * zc + j], positions[record], values);
                });
            }
        });
        if (!complete) return false;
        // The codes that occur, in code order, become the slots; their cells and heads move
        // down.
        r.index.initBits(space);
        std::uint64_t* bits = r.index.bitWords();
        std::size_t slots = 0;
        for (std::size_t c = 0; c < space; ++c) {
            if (cells[c * zc].count == 0) continue;
            bits[c >> 6] |= std::uint64_t{1} << (c & 63);
            std::copy_n(cells.begin() + static_cast<std::ptrdiff_t>(c * zc), zc,
                        cells.begin() + static_cast<std::ptrdiff_t>(slots * zc));
            head[slots++] = head[c];
        }
        r.index.countBits();
        cells.resize(slots * zc);
        head.resize(slots);
        scratch.recordCells = kw::MolapRecordCells::Chains;
        return true;
    }

    // A bit per code: the cells that occur, numbered in code order.
    bool marked() {
        r.index.initBits(space);
        std::uint64_t* bits = r.index.bitWords();
        kw::LargeVector<std::uint32_t>& codes = scratch.codes;
        codes.resize(at(shown));
        std::size_t k = 0;
        bool complete = blocks([&](const Block& b) {
            if (k + at(b.n) > codes.size()) throw std::logic_error("map count");
            std::uint64_t* code = blockCodes.data();
            cellCodes(b, levels, code);
            for (std::int32_t i = 0; i < b.n; ++i, ++k) {
                const std::uint64_t c = code[i];
                if (c >= space) {
                    codes[k] = kNoCell;
                    continue;
                }
                bits[c >> 6] |= std::uint64_t{1} << (c & 63);
                codes[k] = static_cast<std::uint32_t>(c);
            }
        });
        if (!complete) return false;
        codes.resize(k);
        const std::uint64_t cells = r.index.countBits();
        // Cells are preset where they are added up, while they are in cache.
        r.cells.resize(at(cells) * zCount());
        if (cells * zCount() * sizeof(kw::KW_cell) <= kCacheBytes) {
            if (!addDirect(cells)) return false;
            scratch.recordCells = kw::MolapRecordCells::Chains;
            return true;
        }
        scratch.recordCells = kw::MolapRecordCells::None;
        if (!addScattered(cells)) return false;
        scratch.recordCells = kw::MolapRecordCells::Ranges;
        return true;
    }

    // The second pass over the map: each record's slot from its code, its Z values added, and
    // the record chained to the one before it in its cell.
    bool addDirect(std::uint64_t slots) {
        const kw::LargeVector<std::uint32_t>& codes = scratch.codes;
        std::fill(r.cells.begin(), r.cells.end(), kw::KW_cell{});
        kw::KW_cell* cells = r.cells.data();
        const std::size_t zc = zCount();
        std::vector<std::uint32_t>& head = scratch.cellHead;
        head.assign(at(slots), kNoCell);
        kw::LargeVector<std::uint32_t>& link = scratch.cellLink;
        link.resize(at(records));
        std::size_t k = 0;
        return blocks([&](const Block& b) {
            std::int32_t* slot = blockSlots.data();
            slotsOfCodes(r.index, codes.data() + k, b.n, slot);
            k += at(b.n);
            forRecords(b, [&](std::int32_t i, std::int32_t record) {
                if (slot[i] < 0) return;
                link[at(record)] = head[at(slot[i])];
                head[at(slot[i])] = static_cast<std::uint32_t>(record);
            });
            if (z.empty()) {
                for (std::int32_t i = 0; i < b.n; ++i)
                    if (slot[i] >= 0) ++cells[at(slot[i])].count;
                return;
            }
            for (std::size_t j = 0; j < z.size(); ++j) {
                const std::int32_t* positions = z[j].positions;
                const double* values = z[j].values.data();
                forRecords(b, [&](std::int32_t i, std::int32_t record) {
                    if (slot[i] >= 0)
                        addValue(cells[at(slot[i]) * zc + j], positions[record], values);
                });
            }
        });
    }

    // Records scattered by slot range, each row its slot, record and Z positions, then every
    // range added up while its cells stay in cache, and its records put in slot order for the
    // drill (each slot's from where the counts of the slots before it end). The scattering
    // keeps record order in a range, and so in a slot.
    bool addScattered(std::uint64_t cells) {
        kw::LargeVector<std::uint32_t>& codes = scratch.codes;
        const std::size_t zc = zCount();
        int shift = 0;
        while ((std::size_t{2} << shift) * zc * sizeof(kw::KW_cell) <= kPartitionBytes)
            ++shift;
        while ((cells >> shift) >= 4096)
            ++shift;
        const std::size_t parts = at((cells - 1) >> shift) + 1;
        std::vector<std::size_t> start(parts + 1, 0);
        for (std::size_t k = 0; k < codes.size(); k += kPollEvery) {
            if (cancel.poll()) return false;
            codesToSlots(r.index, codes.data() + k, std::min(kPollEvery, codes.size() - k), shift,
                         start.data() + 1);
        }
        for (std::size_t p = 0; p < parts; ++p)
            start[p + 1] += start[p];
        const std::size_t width = 2 + z.size();
        kw::LargeVector<std::uint32_t>& rows = scratch.rows;
        rows.resize(start[parts] * width);
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        std::size_t k = 0;
        const bool complete = blocks([&](const Block& b) {
            forRecords(b, [&](std::int32_t i, std::int32_t record) {
                const std::uint32_t slot = codes[k + at(i)];
                if (slot == kNoCell) return;
                std::uint32_t* row = rows.data() + next[slot >> shift]++ * width;
                row[0] = slot;
                row[1] = static_cast<std::uint32_t>(record);
                for (std::size_t j = 0; j < z.size(); ++j)
                    row[2 + j] = static_cast<std::uint32_t>(z[j].positions[record]);
            });
            k += at(b.n);
        });
        if (!complete) return false;
        kw::KW_cell* out = r.cells.data();
        kw::LargeVector<std::uint32_t>& cellRecords = scratch.cellRecords;
        std::vector<std::uint32_t>& cellStart = scratch.cellStart;
        cellRecords.resize(start[parts]);
        cellStart.resize(at(cells) + 1);
        std::uint32_t placed = 0;
        for (std::size_t p = 0; p < parts; ++p) {
            if (cancel.poll()) return false;
            const std::size_t first = p << shift, last = std::min<std::size_t>(
                                                      cells, first + (std::size_t{1} << shift));
            std::fill(out + first * zc, out + last * zc, kw::KW_cell{});
            const std::uint32_t* begin = rows.data() + start[p] * width;
            const std::uint32_t* end = rows.data() + start[p + 1] * width;
            if (z.empty()) {
                for (const std::uint32_t* row = begin; row != end; row += width)
                    ++out[row[0]].count;
            } else {
                for (const std::uint32_t* row = begin; row != end; row += width) {
                    kw::KW_cell* cell = out + at(row[0]) * zc;
                    for (std::size_t j = 0; j < z.size(); ++j)
                        addValue(cell[j], static_cast<std::int32_t>(row[2 + j]),
                                 z[j].values.data());
                }
            }
            for (std::size_t s = first; s < last; ++s) {
                cellStart[s] = placed;
                placed += static_cast<std::uint32_t>(out[s * zc].count);
            }
            std::uint32_t* next = cellStart.data();
            for (const std::uint32_t* row = begin; row != end; row += width)
                cellRecords[next[row[0]]++] = row[1];
            // Placing moved each start of the range to the next slot's: put them back.
            for (std::size_t s = last; s-- > first + 1;)
                cellStart[s] = cellStart[s - 1];
            cellStart[first] = static_cast<std::uint32_t>(start[p]);
        }
        cellStart[at(cells)] = placed;
        return true;
    }

    // Sorted (cell code, record) pairs: packed into one word (the code above 32 bits) and
    // radix-sorted, or for code spaces beyond 32 bits kept apart and sorted by comparison.
    bool sorted() {
        r.index.initSorted();
        if (space <= std::uint64_t{1} << 32) {
            kw::LargeVector<std::uint64_t>& pairs = scratch.pairs;
            pairs.clear();
            pairs.reserve(at(shown));
            const bool complete = blocks([&](const Block& b) {
                std::uint64_t* code = blockCodes.data();
                cellCodes(b, levels, code);
                forRecords(b, [&](std::int32_t i, std::int32_t record) {
                    if (code[i] < space)
                        pairs.push_back(code[i] << 32 | static_cast<std::uint32_t>(record));
                });
            });
            scratch.recordCells = kw::MolapRecordCells::Pairs;
            return complete && radixSortCodes(pairs) &&
                   walk(
                       pairs, [](std::uint64_t v) { return v >> 32; },
                       [](std::uint64_t v) { return static_cast<std::int32_t>(v & 0xFFFFFFFFu); });
        }
        using Pair = std::pair<std::uint64_t, std::int32_t>;
        std::vector<Pair> pairs;
        pairs.reserve(at(shown));
        const bool complete = blocks([&](const Block& b) {
            std::uint64_t* code = blockCodes.data();
            cellCodes(b, levels, code);
            forRecords(b, [&](std::int32_t i, std::int32_t record) {
                if (code[i] < space) pairs.emplace_back(code[i], record);
            });
        });
        if (!complete) return false;
        std::sort(pairs.begin(), pairs.end());
        return walk(
            pairs, [](const Pair& v) { return v.first; }, [](const Pair& v) { return v.second; });
    }

    // Each run of equal codes is one cell, in code order. The Z positions of the records are
    // gathered in pair order first: one tight loop per Z item keeps many memory reads in
    // flight, where reading them run by run would wait for each in turn.
    template <typename Pairs, typename Code, typename Record>
    bool walk(const Pairs& pairs, Code codeOf, Record recordOf) {
        const std::size_t n = pairs.size();
        scratch.zPositions.resize(z.size());
        for (std::size_t k = 0; k < z.size(); ++k) {
            kw::LargeVector<std::int32_t>& gathered = scratch.zPositions[k];
            gathered.resize(n);
            const std::int32_t* positions = z[k].positions;
            for (std::size_t i = 0; i < n; ++i)
                gathered[i] = positions[recordOf(pairs[i])];
        }
        if (cancel.poll()) return false;
        kw::LargeVector<std::uint64_t>& codes = r.index.sortedCodes();
        for (std::size_t i = 0; i < n; ++i)
            if (i == 0 || codeOf(pairs[i]) != codeOf(pairs[i - 1]))
                codes.push_back(codeOf(pairs[i]));
        const std::size_t zc = zCount();
        r.cells.resize(codes.size() * zc);  // each cell preset as its run begins
        std::size_t slot = 0;
        for (std::size_t i = 0; i < n; ++slot) {
            const std::uint64_t code = codeOf(pairs[i]);
            std::size_t end = i + 1;
            while (end < n && codeOf(pairs[end]) == code)
                ++end;
            kw::KW_cell* cell = r.cells.data() + slot * zc;
            std::fill(cell, cell + zc, kw::KW_cell{});
            if (z.empty()) cell->count = static_cast<std::int32_t>(end - i);
            for (std::size_t k = 0; k < z.size(); ++k) {
                const std::int32_t* gathered = scratch.zPositions[k].data();
                const double* values = z[k].values.data();
                for (std::size_t j = i; j < end; ++j)
                    addValue(cell[k], gathered[j], values);
            }
            i = end;
            if ((slot & 1023) == 0 && cancel.poll()) return false;
        }
        return true;
    }

    // LSD radix sort on the code bits (above bit 32), at most 11 bits a pass. Stable, so the
    // records of a cell stay in record order.
    bool radixSortCodes(kw::LargeVector<std::uint64_t>& a) {
        const int bits = std::bit_width(space - 1);
        if (a.size() < 2 || bits == 0) return true;
        const int passes = (bits + 10) / 11;
        const int digit = (bits + passes - 1) / passes;
        kw::LargeVector<std::uint64_t>& b = scratch.sortBuffer;
        b.resize(a.size());
        std::vector<std::size_t> start(at(1) << digit);
        const std::uint64_t mask = (std::uint64_t{1} << digit) - 1;
        for (int pass = 0; pass < passes; ++pass) {
            if (cancel.poll()) return false;
            const int shift = 32 + pass * digit;
            std::fill(start.begin(), start.end(), 0);
            for (const std::uint64_t v : a)
                ++start[at((v >> shift) & mask)];
            std::size_t sum = 0;
            for (std::size_t& s : start)
                sum += std::exchange(s, sum);
            for (const std::uint64_t v : a)
                b[start[at((v >> shift) & mask)]++] = v;
            a.swap(b);
        }
        return true;
    }
};

// Cells added up per distinct Z column (`width` per slot) become zColumnOf.size() per slot,
// each column a copy of its distinct one. In place, from the end: no copy is written over a
// cell still to be read, since every distinct column comes no later than its first use.
void spreadColumns(kw::LargeVector<kw::KW_cell>& cells, std::size_t width,
                   const std::vector<std::size_t>& zColumnOf) {
    const std::size_t slots = width == 0 ? 0 : cells.size() / width;
    const std::size_t columns = zColumnOf.size();
    cells.resize(slots * columns);
    kw::KW_cell* c = cells.data();
    for (std::size_t s = slots; s-- > 0;)
        for (std::size_t k = columns; k-- > 0;)
            c[s * columns + k] = c[s * width + zColumnOf[k]];
}

// Calls f(slot, code) for every cell in code order.
template <typename F>
void forEachCell(const kw::MolapResult& r, F&& f) {
    if (!r.index.bitForm()) {
        const kw::LargeVector<std::uint64_t>& codes = r.index.sortedCodes();
        for (std::size_t s = 0; s < codes.size(); ++s)
            f(static_cast<std::int32_t>(s), codes[s]);
        return;
    }
    const std::uint64_t* bits = r.index.bitWords();
    std::int32_t slot = 0;
    for (std::size_t w = 0; w < r.index.bitWordCount(); ++w)
        for (std::uint64_t word = bits[w]; word != 0; word &= word - 1)
            f(slot++, w * 64 + at(std::countr_zero(word)));
}

// Each cell's X and Y key index, and the ordinary keys of both axes in key order. X codes rise
// with the cells; Y codes are ranked through a bit per code where the space allows, else by
// sorting.
KW_POPCOUNT_CLONES
void slotKeys(const kw::MolapResult& r, kw::MolapSlots& out) {
    const std::size_t cells = r.cells.size() / at(r.zCount);
    const std::uint64_t ySpace = r.ySpace;
    out.x.codes.clear();
    out.y.codes.clear();
    out.xKey.resize(cells);
    out.yKey.resize(cells);
    // The X code of the current row, found by division only when the row changes.
    std::uint64_t rowStart = 0, rowEnd = 0;
    auto row = [&](std::uint64_t code) {
        if (out.x.codes.empty() || code >= rowEnd) {
            const std::uint64_t x = code / ySpace;
            rowStart = x * ySpace;
            rowEnd = rowStart + ySpace;
            out.x.codes.push_back(x);
        }
        return code - rowStart;
    };
    const bool byBits = ySpace <= std::uint64_t{0xFFFFFFFFu} &&
                        ySpace <= std::max<std::uint64_t>(std::uint64_t{1} << 20, 16 * cells);
    if (byBits) {
        // The Y code waits in yKey (as its 32 bits) until the codes that occur are counted.
        std::vector<std::uint64_t> used(at((ySpace + 63) / 64), 0);
        std::int32_t* xKey = out.xKey.data();
        std::int32_t* yKey = out.yKey.data();
        forEachCell(r, [&](std::int32_t slot, std::uint64_t code) {
            const std::uint64_t y = row(code);
            used[at(y >> 6)] |= std::uint64_t{1} << (y & 63);
            xKey[slot] = static_cast<std::int32_t>(out.x.codes.size()) - 1;
            yKey[slot] = static_cast<std::int32_t>(static_cast<std::uint32_t>(y));
        });
        std::vector<std::uint32_t> before(used.size());
        std::uint32_t count = 0;
        for (std::size_t w = 0; w < used.size(); ++w) {
            before[w] = count;
            count += static_cast<std::uint32_t>(std::popcount(used[w]));
            for (std::uint64_t word = used[w]; word != 0; word &= word - 1)
                out.y.codes.push_back(w * 64 + at(std::countr_zero(word)));
        }
        for (std::size_t s = 0; s < cells; ++s) {
            const auto y = static_cast<std::uint32_t>(yKey[s]);
            const std::uint64_t below = used[y >> 6] & ((std::uint64_t{1} << (y & 63)) - 1);
            yKey[s] = static_cast<std::int32_t>(before[y >> 6]) + std::popcount(below);
        }
        return;
    }
    std::vector<std::uint64_t> ys(cells);
    forEachCell(r, [&](std::int32_t slot, std::uint64_t code) {
        ys[at(slot)] = row(code);
        out.xKey[at(slot)] = static_cast<std::int32_t>(out.x.codes.size()) - 1;
    });
    out.y.codes = ys;
    std::sort(out.y.codes.begin(), out.y.codes.end());
    out.y.codes.erase(std::unique(out.y.codes.begin(), out.y.codes.end()), out.y.codes.end());
    for (std::size_t s = 0; s < cells; ++s)
        out.yKey[s] = static_cast<std::int32_t>(
            std::lower_bound(out.y.codes.begin(), out.y.codes.end(), ys[s]) - out.y.codes.begin());
}

}  // namespace

namespace kw {

void MolapCellIndex::initBits(std::uint64_t space) {
    bitForm_ = true;
    space_ = space;
    bits_.assign(at((space + 63) / 64), 0);
    before_.resize(bits_.size());
    sorted_.clear();
}

namespace {

KW_POPCOUNT_CLONES
std::uint64_t runningCounts(const std::uint64_t* bits, std::uint32_t* before, std::size_t n) {
    std::uint64_t count = 0;
    for (std::size_t w = 0; w < n; ++w) {
        before[w] = static_cast<std::uint32_t>(count);
        count += static_cast<std::uint64_t>(std::popcount(bits[w]));
    }
    return count;
}

}  // namespace

std::uint64_t MolapCellIndex::countBits() {
    return runningCounts(bits_.data(), before_.data(), bits_.size());
}

std::int32_t MolapCellIndex::find(std::uint64_t code) const {
    if (bitForm_) {
        if (code >= space_ || !(bits_[at(code >> 6)] >> (code & 63) & 1)) return -1;
        return slotOf(code);
    }
    const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), code);
    return it != sorted_.end() && *it == code ? static_cast<std::int32_t>(it - sorted_.begin())
                                              : -1;
}

}  // namespace kw

// Fills r.cells, r.index and the slots. False when cancelled. Throws std::bad_alloc.
bool KW_search::molapPass(kw::MolapResult& r, kw::MolapSlots& slots) {
    kw::MolapCancel& cancel = molap_.cancel;
    const KW_map* map = current_.get();
    if (cancel.poll()) return false;

    AxisCode x, y;
    if (!mixedRadix(r.xLevels, x) && !rankBySorting(r.xLevels, map, records_, cancel, x))
        return false;
    if (!mixedRadix(r.yLevels, y) && !rankBySorting(r.yLevels, map, records_, cancel, y))
        return false;
    std::uint64_t space;
    if (!multiply(x.space, y.space, space)) {
        // Rank the larger axis record by record, then the other if need be (both then hold
        // fewer keys than there are records, so their product fits).
        AxisCode& larger = x.space >= y.space ? x : y;
        if (!rankBySorting(&larger == &x ? r.xLevels : r.yLevels, map, records_, cancel, larger))
            return false;
        if (!multiply(x.space, y.space, space)) {
            AxisCode& other = &larger == &x ? y : x;
            if (!rankBySorting(&other == &x ? r.xLevels : r.yLevels, map, records_, cancel, other))
                return false;
            space = x.space * y.space;
        }
    }

    // A Z item asked for several aggregates is added up once: every cell holds all of them.
    std::vector<ZColumn> z;
    std::vector<std::size_t> zColumnOf;  // Z column -> its distinct column in z
    std::vector<const kw::MolapLevel*> distinct;
    for (const kw::MolapLevelPtr& l : r.zLevels) {
        const kw::MolapLevel& level = *l;
        const auto same = std::find_if(distinct.begin(), distinct.end(), [&](const auto* d) {
            return d->item == level.item && d->grouping == level.grouping;
        });
        zColumnOf.push_back(at(same - distinct.begin()));
        if (same != distinct.end()) continue;
        distinct.push_back(&level);
        ZColumn column{level.positions.data(), std::vector<double>(level.dict.size(), 0.0)};
        for (std::size_t p = 0; p < column.values.size(); ++p) {
            if (p < KW_POS_FIRST_VALUE)
                column.values[p] = -0.0;
            else if (level.type == KW_TYPE_INTEGER)
                column.values[p] = level.dict[p].high;
            else if (level.type == KW_TYPE_FLOAT)
                column.values[p] = level.dict[p].asDouble();
        }
        z.push_back(std::move(column));
    }

    molap_.scratch.recordCells = kw::MolapRecordCells::None;
    r.over = current_;
    r.ySpace = y.space;
    r.cells.clear();
    r.index.initSorted();
    bool complete = true;
    if (space > 0) {
        std::vector<CodeLevel> levels;
        addLevels(x, y.space, levels);
        addLevels(y, 1, levels);
        const std::int32_t shown = KWgetDataCount();
        Pass pass{r, molap_.scratch, levels, z, map, records_, shown, space, cancel};
        // A bit per code while the space is not much larger than the records.
        const std::uint64_t bitLimit = std::min<std::uint64_t>(
            std::max<std::uint64_t>(std::uint64_t{1} << 20, 16 * static_cast<std::uint64_t>(shown)),
            kNoCell);
        if (space * pass.zCount() * sizeof(kw::KW_cell) <= kCacheBytes)
            complete = pass.dense();
        else
            complete = space <= bitLimit ? pass.marked() : pass.sorted();
    }
    if (!complete || cancel.poll()) {
        molap_.scratch.recordCells = kw::MolapRecordCells::None;
        return false;
    }
    if (!z.empty() && z.size() < at(r.zCount)) spreadColumns(r.cells, z.size(), zColumnOf);
    slotKeys(r, slots);
    slots.x.positions = keyPositions(x, r.xLevels, slots.x.codes);
    slots.y.positions = keyPositions(y, r.yLevels, slots.y.codes);
    return true;
}

std::int32_t KW_search::KWexecuteMolap(const std::vector<std::int32_t>& xItems,
                                       const std::vector<std::int32_t>& yItems,
                                       const std::vector<std::int32_t>& zItems,
                                       const std::vector<std::int32_t>& kinds,
                                       std::int32_t xTotalMode, std::int32_t yTotalMode) {
    const kw::MolapCancel::Running running(molap_.cancel);
    // The levels were made by SetMolapX/Y/Z for these very lists; a call that does not match
    // them changes nothing, the shown result included.
    if (xItems != molap_.x.items || yItems != molap_.y.items || zItems != molap_.z.items)
        return KW_ERR_ARGUMENT;
    if (!zItems.empty() && kinds.size() != zItems.size()) return KW_ERR_ARGUMENT;
    // The previous result goes now, whatever happens; its memory serves the new one.
    std::unique_ptr<kw::MolapResult> old = std::move(molap_.result);
    molap_.drill.reset();
    try {
        try {
            std::unique_ptr<kw::MolapResult> r = kw::recycleMolap(std::move(old));
            r->xLevels = molap_.x.levels;
            r->yLevels = molap_.y.levels;
            r->zLevels = molap_.z.levels;
            r->kinds = zItems.empty() ? std::vector<std::int32_t>{0} : kinds;
            r->zCount = static_cast<std::int32_t>(r->kinds.size());
            kw::MolapSlots& slots = molap_.scratch.cellKeys;
            if (!molapPass(*r, slots)) return 1;  // cancelled: nothing of it is kept
            kw::finishMolap(*r, slots, xTotalMode, yTotalMode, err_);
            molap_.result = std::move(r);
        } catch (const std::bad_alloc&) {
            KWfail(err_, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        return KWfinish(err_, "KW_search::KWexecuteMolap()");
    }
    return KW_OK;
}
