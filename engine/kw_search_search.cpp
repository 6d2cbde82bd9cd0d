// KW_search: evaluating a search expression (the language itself is kw_search_parse.h).
//
// A term marks the dictionary positions that pass in a table of one byte per position and
// then makes one sequential pass over the item's record -> position array (the answers of a
// MultiAns item), 32 records to a word; no per-term index is built. Where the item has a
// compact form (kw_item_scan.h) the pass reads that instead: the bit maps of the passing
// values ORed a word at a time, or positions of one or two bytes. The postfix program
// becomes a tree whose runs of ANDs and of ORs are flattened, and each run accumulates into
// one map: an AND skips the words already empty, an OR the words already full. Terms of one
// item inside a run share a single pass where the sets allow it.
#include <algorithm>
#include <new>

#include "engine/kw_search.h"
#include "engine/kw_search_parse.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

enum class Into { Assign, And, Or };

class SearchEvaluator {
public:
    SearchEvaluator(const std::vector<kw::ItemBlock>& items, const std::vector<kw::ItemScan>& scans,
                    std::int32_t records, const kw::SearchProgram& program)
        : items_(items), scans_(scans), records_(records), program_(program) {
        const std::int32_t tail = records % 32;
        lastMask_ = tail == 0 ? 0xFFFFFFFFu : 0xFFFFFFFFu << (32 - tail);
    }

    // The records the program selects, into a zeroed map of all records. False for a program
    // that is not well formed (the parser never makes one).
    bool run(KW_map& result) {
        std::vector<std::int32_t> stack;
        for (const std::int32_t entry : program_.postfix) {
            if (entry < kw::kSearchAnd) {
                nodes_.push_back({-1, entry, {}});
            } else {
                if (stack.size() < 2) return false;
                Node node{entry, -1, {}};
                for (const std::int32_t operand : {stack[stack.size() - 2], stack.back()}) {
                    // A run of the same operator becomes one node.
                    const Node& child = nodes_[at(operand)];
                    if (child.kind == entry) {
                        node.children.insert(node.children.end(), child.children.begin(),
                                             child.children.end());
                    } else {
                        node.children.push_back(operand);
                    }
                }
                stack.resize(stack.size() - 2);
                nodes_.push_back(std::move(node));
            }
            stack.push_back(static_cast<std::int32_t>(nodes_.size()) - 1);
        }
        if (stack.size() != 1) return false;
        evaluate(stack.back(), result, Into::Assign);
        return true;
    }

private:
    struct Node {
        std::int32_t kind;  // kSearchAnd, kSearchOr, or -1 for a term
        std::int32_t term;
        std::vector<std::int32_t> children;
    };

    void evaluate(std::int32_t index, KW_map& acc, Into how) {
        const Node& node = nodes_[at(index)];
        if (node.kind < 0) {
            const kw::SearchTerm& term = program_.terms[at(node.term)];
            kw::markPassing(items_[at(term.item)], term.condition, pass_);
            applyPass(term.item, pass_, term.negated(), acc, how);
            return;
        }
        const Into inner = node.kind == kw::kSearchAnd ? Into::And : Into::Or;
        if (how != Into::Assign && how != inner) {
            // An OR inside an AND, or the reverse: its own map, then one combining pass.
            KW_map part(records_);
            evaluate(index, part, Into::Assign);
            std::uint32_t* words = acc.data();
            const std::uint32_t* other = part.data();
            for (std::int32_t w = 0, n = acc.wordCount(); w < n; ++w)
                words[w] = how == Into::And ? words[w] & other[w] : words[w] | other[w];
            return;
        }
        // Terms on one item fold into one table of passing positions and one pass over the
        // records: under OR any term whose records are the union of its passing positions'
        // (every positive term; a negated one on a single-valued item, whose records hold one
        // value each), under AND the terms of single-valued items.
        std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>> folded;  // item, table
        std::vector<std::int32_t> others;
        for (const std::int32_t child : node.children) {
            const Node& c = nodes_[at(child)];
            if (c.kind >= 0) {
                others.push_back(child);
                continue;
            }
            const kw::SearchTerm& term = program_.terms[at(c.term)];
            const kw::ItemBlock& item = items_[at(term.item)];
            const bool single = !kw::isMultiType(item.def.type);
            if (inner == Into::And ? !single : (!single && term.negated())) {
                others.push_back(child);
                continue;
            }
            kw::markPassing(item, term.condition, pass_);
            if (term.negated())
                for (std::uint8_t& p : pass_)
                    p ^= 1;
            auto same = std::find_if(folded.begin(), folded.end(),
                                     [&](const auto& f) { return f.first == term.item; });
            if (same == folded.end()) {
                folded.emplace_back(term.item, pass_);
            } else if (inner == Into::And) {
                for (std::size_t p = 0; p < pass_.size(); ++p)
                    same->second[p] &= pass_[p];
            } else {
                for (std::size_t p = 0; p < pass_.size(); ++p)
                    same->second[p] |= pass_[p];
            }
        }
        bool first = true;
        for (const auto& [item, table] : folded) {
            applyPass(item, table, false, acc, first ? how : inner);
            first = false;
        }
        for (const std::int32_t child : others) {
            evaluate(child, acc, first ? how : inner);
            first = false;
        }
    }

    // The records whose value (MultiAns: any answer) passes, or with `negated` the others,
    // folded into the accumulator.
    void applyPass(std::int32_t itemNumber, const std::vector<std::uint8_t>& table, bool negated,
                   KW_map& acc, Into how) {
        const kw::ItemBlock& item = items_[at(itemNumber)];
        const kw::ItemScan* scan =
            at(itemNumber) < scans_.size() ? &scans_[at(itemNumber)] : nullptr;
        const std::uint8_t* pass = table.data();
        if (scan && scan->usePlanes) {
            applyPlanes(*scan, pass, negated, acc, how);
            return;
        }
        if (scan && !scan->narrow8.empty()) {
            applySingle(scan->narrow8.data(), pass, negated, acc, how);
            return;
        }
        if (scan && !scan->narrow16.empty()) {
            applySingle(scan->narrow16.data(), pass, negated, acc, how);
            return;
        }
        if (kw::isMultiType(item.def.type)) {
            const auto answers = static_cast<std::int32_t>(item.values.size());
            combine(acc, how, negated, [&](std::int32_t base, std::int32_t n) {
                const std::int32_t* values = item.values.data();
                const std::int32_t* starts = item.starts.data() + base;
                std::uint32_t bits = 0;
                for (std::int32_t j = 0; j < n; ++j) {
                    const std::int32_t first = starts[j], count = starts[j + 1] - first;
                    std::uint32_t any = 0;
                    if (count <= 4 && first + 4 <= answers) {
                        // Up to four answers without a branch per answer: the loop exit of a
                        // varying answer count would be mispredicted at nearly every record.
                        // Positions past the record's answers are valid and masked off.
                        const std::int32_t* v = values + first;
                        any = (pass[v[0]] & (count > 0)) | (pass[v[1]] & (count > 1)) |
                              (pass[v[2]] & (count > 2)) | (pass[v[3]] & (count > 3));
                    } else {
                        for (std::int32_t a = first; a < first + count && !any; ++a)
                            any = pass[values[a]];
                    }
                    bits |= any << (31 - j);
                }
                return bits;
            });
        } else {
            applySingle(item.values.data(), pass, negated, acc, how);
        }
    }

    template <typename V>
    void applySingle(const V* values, const std::uint8_t* pass, bool negated, KW_map& acc,
                     Into how) {
        combine(acc, how, negated, [&](std::int32_t base, std::int32_t n) {
            const V* v = values + base;
            std::uint32_t bits = 0;
            if (n == 32) {
                for (std::int32_t j = 0; j < 32; ++j)
                    bits = bits << 1 | pass[v[j]];
            } else {
                for (std::int32_t j = 0; j < n; ++j)
                    bits |= std::uint32_t{pass[v[j]]} << (31 - j);
            }
            return bits;
        });
    }

    // The OR of the passing values' planes. A single-valued item's records pass exactly when
    // they are in no failing value's plane, so when its value without a plane passes, the
    // failing planes are ORed and the result inverted.
    void applyPlanes(const kw::ItemScan& scan, const std::uint8_t* pass, bool negated, KW_map& acc,
                     Into how) {
        const bool invert = scan.lastLive >= 0 && pass[scan.lastLive] != 0;
        std::vector<const std::uint32_t*> chosen;
        for (std::size_t k = 0; k < scan.planePositions.size(); ++k)
            if ((pass[scan.planePositions[k]] != 0) != invert) chosen.push_back(scan.plane(k));
        const std::uint32_t* const* planes = chosen.data();
        const std::size_t count = chosen.size();
        combine(acc, how, negated != invert, [&](std::int32_t base, std::int32_t) {
            const std::size_t w = at(base / 32);
            std::uint32_t bits = 0;
            for (std::size_t k = 0; k < count; ++k)
                bits |= planes[k][w];
            return bits;
        });
    }

    // Runs wordBits(first record, records in the word) over the words still open and folds
    // each into the accumulator.
    template <typename WordBits>
    void combine(KW_map& acc, Into how, bool negated, WordBits wordBits) {
        std::uint32_t* words = acc.data();
        const std::int32_t count = acc.wordCount();
        for (std::int32_t w = 0; w < count; ++w) {
            const std::uint32_t valid = w == count - 1 ? lastMask_ : 0xFFFFFFFFu;
            const std::uint32_t old = words[w];
            if ((how == Into::And && old == 0) || (how == Into::Or && old == valid)) continue;
            const std::int32_t base = w * 32;
            std::uint32_t bits = wordBits(base, std::min(32, records_ - base));
            if (negated) bits = ~bits & valid;
            words[w] = how == Into::Assign ? bits : how == Into::And ? old & bits : old | bits;
        }
    }

    const std::vector<kw::ItemBlock>& items_;
    const std::vector<kw::ItemScan>& scans_;
    std::int32_t records_;
    const kw::SearchProgram& program_;
    std::uint32_t lastMask_;
    std::vector<Node> nodes_;
    std::vector<std::uint8_t> pass_;  // per dictionary position of the term's item
};

}  // namespace

std::int32_t KW_search::KWsrch(std::string_view expression) {
    try {
        std::vector<std::int32_t> types(items_.size());
        for (std::size_t i = 0; i < items_.size(); ++i)
            types[i] = items_[i].def.type;
        kw::SearchProgram program;
        if (const std::int32_t rc = kw::parseSearch(expression, types, program); rc < 0) return rc;
        for (const kw::SearchTerm& term : program.terms)
            scan(term.item);  // the compact forms not made yet
        auto result = std::make_shared<KW_map>(records_);
        if (!SearchEvaluator(items_, scans_, records_, program).run(*result)) return KW_ERR_SYNTAX;
        // The result holds no bits after the last record, so this cannot fail.
        return KWmapSet(std::move(result));
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
}
