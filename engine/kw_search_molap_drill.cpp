// KW_search: drilling an aggregation cell into a new current map.
//
// MolapDrillX/Y only note their narrowing; MolapDrill applies them all at once, together with
// the rule that a record needs a valid key on every level. When they name every level of one
// ordinary key on each axis under the map the result was built over, the cell's records come
// from what the build kept of each cell: its run of records or their chain, read without
// looking at any other record.
// Otherwise the narrowing whose value has the fewest records leads: its level's positions are
// compared 32 records at a time with vector compares, and only the records that pass are
// tested against the others, most selective first. Narrowings asked under another current map
// are applied first under their own.
#include <algorithm>
#include <new>

#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

// One test of a record's position on a level: equal to a value, or not the error value.
struct Check {
    const std::int32_t* positions;
    std::int32_t position;
    bool equal;
    std::int32_t records;  // of the value: the fewest lead
};

using Lanes = std::int32_t __attribute__((vector_size(16)));

// The bits (record 0 of the word at the top) of the 32 records of word w whose position is v.
std::uint32_t matchWord(const std::int32_t* positions, std::int32_t w, std::int32_t records,
                        std::int32_t v) {
    const std::int32_t first = w * 32;
    if (first + 32 > records) {
        std::uint32_t bits = 0;
        for (std::int32_t r = first; r < records; ++r)
            if (positions[r] == v) bits |= 0x80000000u >> (r - first);
        return bits;
    }
    const Lanes value = {v, v, v, v};
    Lanes found = {0, 0, 0, 0};
    for (int k = 0; k < 8; ++k) {
        Lanes p;
        __builtin_memcpy(&p, positions + first + 4 * k, sizeof p);
        const auto top = static_cast<std::int32_t>(0x80000000u >> (4 * k));
        const Lanes bit = {top, static_cast<std::int32_t>(static_cast<std::uint32_t>(top) >> 1),
                           static_cast<std::int32_t>(static_cast<std::uint32_t>(top) >> 2),
                           static_cast<std::int32_t>(static_cast<std::uint32_t>(top) >> 3)};
        found |= (p == value) & bit;
    }
    return static_cast<std::uint32_t>(found[0] | found[1] | found[2] | found[3]);
}

// The records of `base` (all records when null) and of `within` (when not null) that pass
// every check.
std::shared_ptr<KW_map> select(std::vector<Check>& checks, const KW_map* base, const KW_map* within,
                               std::int32_t records) {
    std::stable_sort(checks.begin(), checks.end(), [](const Check& a, const Check& b) {
        return a.equal != b.equal ? a.equal : a.records < b.records;
    });
    auto out = std::make_shared<KW_map>(records);
    const std::int32_t words = out->wordCount();
    const bool lead = !checks.empty() && checks.front().equal;
    const std::size_t rest = lead ? 1 : 0;
    for (std::int32_t w = 0; w < words; ++w) {
        std::uint32_t bits = 0xFFFFFFFFu;
        if (w == words - 1 && records % 32 != 0) bits &= ~(0xFFFFFFFFu >> (records % 32));
        if (base) bits &= base->data()[w];
        if (within) bits &= within->data()[w];
        if (bits == 0) continue;
        if (lead) bits &= matchWord(checks.front().positions, w, records, checks.front().position);
        for (std::uint32_t left = bits; left != 0;) {
            const int b = std::countl_zero(left);
            left &= ~(0x80000000u >> b);
            const std::int32_t record = w * 32 + b;
            for (std::size_t c = rest; c < checks.size(); ++c) {
                const Check& check = checks[c];
                if ((check.positions[record] == check.position) != check.equal) {
                    bits &= ~(0x80000000u >> b);
                    break;
                }
            }
        }
        out->data()[w] = bits;
    }
    return out;
}

std::vector<Check> termChecks(const kw::MolapDrill& d) {
    std::vector<Check> checks;
    for (const kw::MolapDrillTerm& t : d.terms)
        checks.push_back(
            {t.level->positions.data(), t.position, true, t.level->dict[at(t.position)].count});
    return checks;
}

}  // namespace

// The records of the one ordinary cell that the narrowings name, from what the build kept of
// each cell's records; null when the narrowings are not exactly that, or nothing was kept.
std::shared_ptr<KW_map> KW_search::molapCellRecords() const {
    const kw::MolapResult& r = *molap_.result;
    const kw::MolapDrill& d = molap_.drill;
    const kw::MolapScratch& scratch = molap_.scratch;
    if (d.map || d.terms.empty() || d.under != r.over ||
        scratch.recordCells == kw::MolapRecordCells::None)
        return nullptr;
    std::int32_t key[2] = {-1, -1};
    std::uint32_t levels[2] = {0, 0};
    for (const kw::MolapDrillTerm& t : d.terms) {
        const int a = t.xAxis ? 0 : 1;
        if (key[a] >= 0 && key[a] != t.key) return nullptr;
        key[a] = t.key;
        levels[a] |= 1u << t.keyLevel;
    }
    std::int32_t base[2] = {0, 0};
    for (int a = 0; a < 2; ++a) {
        const kw::MolapAxisKeys& keys = a == 0 ? r.x : r.y;
        if (keys.levels == 0) continue;
        if (key[a] < 0 || levels[a] != (1u << keys.levels) - 1) return nullptr;
        base[a] = keys.baseOf[at(key[a])];
        if (base[a] < 0) return nullptr;
    }
    const std::uint64_t code = r.x.codes[at(base[0])] * r.ySpace + r.y.codes[at(base[1])];
    auto out = std::make_shared<KW_map>(records_);
    if (scratch.recordCells == kw::MolapRecordCells::Pairs) {
        const auto& pairs = scratch.pairs;
        for (auto it = std::lower_bound(pairs.begin(), pairs.end(), code << 32);
             it != pairs.end() && *it >> 32 == code; ++it)
            out->set(static_cast<std::int32_t>(*it & 0xFFFFFFFFu));
        return out;
    }
    const std::int32_t slot = r.index.find(code);
    if (slot < 0) return out;
    if (scratch.recordCells == kw::MolapRecordCells::Ranges) {
        const std::uint32_t* records = scratch.cellRecords.data();
        for (std::uint32_t i = scratch.cellStart[at(slot)]; i < scratch.cellStart[at(slot) + 1];
             ++i)
            out->set(static_cast<std::int32_t>(records[i]));
        return out;
    }
    const std::uint32_t* link = scratch.cellLink.data();
    for (std::uint32_t record = scratch.cellHead[at(slot)]; record != kw::kMolapNoCell;
         record = link[record])
        out->set(static_cast<std::int32_t>(record));
    return out;
}

// Applies the noted narrowings to the drill map under the map they were asked under.
void KW_search::applyMolapDrillTerms() {
    kw::MolapDrill& d = molap_.drill;
    if (d.terms.empty()) return;
    std::vector<Check> checks = termChecks(d);
    d.map = select(checks, d.under.get(), d.map.get(), records_);
    d.terms.clear();
    d.under.reset();
}

std::int32_t KW_search::molapDrillAxis(bool xAxis, std::int32_t key, std::int32_t level) {
    const kw::MolapResult* r = molap_.result.get();
    if (!r) return KW_ERR_ARGUMENT;
    const kw::MolapAxisKeys& keys = xAxis ? r->x : r->y;
    if (key < 0 || key >= keys.entries() || level < 0 || level >= keys.levels)
        return KW_ERR_ARGUMENT;
    const std::int32_t v = keys.key(key)[level];
    if (v == kw::kMolapTotal) return KW_OK;  // a total level holds every value
    try {
        try {
            kw::MolapDrill& d = molap_.drill;
            // Each narrowing keeps to the current map it was asked under.
            if (!d.terms.empty() && d.under != current_) applyMolapDrillTerms();
            if (d.terms.empty()) d.under = current_;
            d.terms.push_back({(xAxis ? r->xLevels : r->yLevels)[at(level)], v, xAxis, key, level});
        } catch (const std::bad_alloc&) {
            KWfail(err_, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        return KWfinish(err_, xAxis ? "KW_search::MolapDrillX()" : "KW_search::MolapDrillY()");
    }
    return KW_OK;
}

std::int32_t KW_search::MolapDrillX(std::int32_t x, std::int32_t level) {
    return molapDrillAxis(true, x, level);
}

std::int32_t KW_search::MolapDrillY(std::int32_t y, std::int32_t level) {
    return molapDrillAxis(false, y, level);
}

std::int32_t KW_search::MolapDrill() {
    const kw::MolapResult* r = molap_.result.get();
    if (!r) return KW_ERR_ARGUMENT;
    std::shared_ptr<KW_map> drill;
    try {
        try {
            const kw::MolapDrill& d = molap_.drill;
            std::vector<Check> checks = termChecks(d);
            // A record counts in a cell only with a valid key on every level of both axes:
            // without this, a total drill would take in records that no cell holds. Levels
            // without an error value need no test.
            for (const auto* levels : {&r->xLevels, &r->yLevels})
                for (const kw::MolapLevelPtr& l : *levels)
                    if (l->dict[KW_POS_ERROR].count > 0)
                        checks.push_back({l->positions.data(), KW_POS_ERROR, false, 0});
            drill = molapCellRecords();
            // Nothing narrowed: the current map as it is now.
            const KW_map* base = d.empty() ? current_.get() : d.under.get();
            if (!drill) drill = select(checks, base, d.map.get(), records_);
        } catch (const std::bad_alloc&) {
            KWfail(err_, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        return KWfinish(err_, "KW_search::MolapDrill()");
    }
    molap_.drill.reset();
    return KWmapSet(std::move(drill));
}
