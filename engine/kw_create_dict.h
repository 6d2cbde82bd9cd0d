// Dictionary building per item type: one item's field texts, in record order, become its data
// block (kw::ItemBlock of kw_format.h): the dictionary (0 error, 1 blank, 2.. the distinct
// values ascending, with their counts and starts), the pools and the value list.
//
// Each builder hashes the values it meets, so only the distinct values are sorted, once; the
// records' first-seen positions are then remapped to dictionary positions in one pass. Numbers
// with many distinct values (identifiers, amounts) are instead radix-sorted with their records
// (kw_create_numbers.cpp): a few sequential passes, where a large hash table would miss the
// cache on every record.
//
// A builder reads exactly `records` texts from a CsvLineReader (column bytes in memory or a
// column file) and overwrites every part of `out` but the definition's name; it returns 0, or
// the errno of a failed read (EIO when the texts end early). Allocation failures throw
// std::bad_alloc. One BuildContext per thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/kw_create_csv.h"
#include "engine/kw_format.h"

namespace zbq {
class EngineHost;
}

namespace kw {

// Dispatches pending window messages every so many records: often enough for a responsive
// window, rarely enough to cost nothing. A null host pumps nothing.
class MessagePump {
public:
    explicit MessagePump(zbq::EngineHost* host) : host_(host) {}
    void tick() {
        if (host_ != nullptr && (++ticks_ & (kEvery - 1)) == 0) pump();
    }
    void pump();

private:
    static constexpr std::uint32_t kEvery = 4096;
    zbq::EngineHost* host_;
    std::uint32_t ticks_ = 0;
};

// A record's sort key (unsigned order = value order) and the record.
struct KeyedRecord {
    std::uint64_t key;
    std::int32_t record;
};

// What the builders of one build share: the pump, and work arrays reused from item to item so
// that a build touches fresh memory once rather than once per item.
struct BuildContext {
    explicit BuildContext(zbq::EngineHost* host) : pump(host) {}

    MessagePump pump;
    std::vector<KeyedRecord> sorted;
    std::vector<KeyedRecord> spare;
};

// One code-table entry: the code text the fields hold and its display name.
struct CodeEntry {
    std::string code;
    std::string name;
};

// Integer (KW_TYPE_INTEGER), Date (KW_TYPE_DATE) and Time (KW_TYPE_TIME) items. `out.def`
// keeps its name; type, code count and list length are set here.
int buildIntegerItem(std::int32_t type, CsvLineReader& texts, std::int32_t records,
                     BuildContext& context, ItemBlock& out);
// Float items: values that compare equal (0 and -0) share one entry, the first one met.
int buildFloatItem(CsvLineReader& texts, std::int32_t records, BuildContext& context,
                   ItemBlock& out);
// String items without a code table: every non-empty text is a value; byte-wise order.
int buildStringItem(CsvLineReader& texts, std::int32_t records, BuildContext& context,
                    ItemBlock& out);
// Code items (KW_TYPE_STRING with codes) and MultiAns items (KW_TYPE_MULTI): one entry per
// code-table entry in code-text order, whether it occurs or not; a text that is no code is an
// error. A MultiAns field splits at commas (SplitCsvLine) into one answer per part; an empty
// field, or one with no part left, is one blank answer. When a code text occurs twice in the
// table, fields name the first; the second keeps its entry with count 0.
int buildCodeItem(std::int32_t type, const std::vector<CodeEntry>& codes, CsvLineReader& texts,
                  std::int32_t records, BuildContext& context, ItemBlock& out);

}  // namespace kw
