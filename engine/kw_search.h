// KW_search: the loaded data set and every question asked of it.
//
// One instance lives in the application object. KWopen loads a data file (kw_format.h) into
// flat per-item tables; the current record map selects the records every window shows (null =
// all records); rows count the records of the current map in view order (record order, or
// sorted by one item ascending or descending).
//
// The code is split by concern, one source file each: kw_search_load.cpp (loading, closing),
// kw_search_values.cpp (value reads, view order, row <-> record, record lists),
// kw_search_maps.cpp (current map, recount, exclusions, set algebra); kw_item_scan.h holds the
// compact forms of the value lists that the recount and the search read. Later concerns (search,
// statistics, value search, cross tabulation, aggregation) add their own files, declared in
// the marked sections below (state of their own in the private part).
//
// For the engine's own readers the tables are reachable through the accessors under "Tables".
// The in-map count of a dictionary entry is recounted lazily per item: read dictionaries only
// through dictionary(), which brings the counts up to date; it gives exactly what an eager
// recount at every map change would, and with no current map every mapCount equals count.
//
// Maps travel as KW_mapPtr (shared, immutable): the engine keeps its own reference to the
// current map, so freeing a set elsewhere can never leave it dangling.
//
// Results: 0 or a count for success; -1 for a bad argument (item or row out of range, wrong
// item type), -1011 when memory runs out, the codes of kw_format.h for files. Nothing changes
// on a failure. Threads: one thread at a time (the aggregation worker borrows the object while
// the user-interface thread waits).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/kw_condition.h"
#include "engine/kw_cross.h"
#include "engine/kw_error.h"
#include "engine/kw_format.h"
#include "engine/kw_item_scan.h"
#include "engine/kw_map.h"
#include "engine/kw_molap.h"

namespace zbq {
class EngineHost;
}

class KW_search {
public:
    KW_search();
    ~KW_search();
    KW_search(const KW_search&) = delete;
    KW_search& operator=(const KW_search&) = delete;

    // Status texts and message pumping during long operations; not owned, may be null.
    void SetHost(zbq::EngineHost* host) { host_ = host; }

    // --- Loading (kw_search_load.cpp) ---

    // Closes any loaded data set, then reads the file. 0, -1001 not a data file, -1003 wrong
    // password, KW_ERR_DAMAGED, -1011, or a MapErrno code; after a failure nothing is loaded.
    std::int32_t KWopen(const std::string& path, std::string_view password);
    // Frees the data set and everything computed from it.
    void KWclose();
    // Takes the data set another instance loaded in place of this one's, as if KWopen had read
    // it from `path` (where its file now lies); `loaded` is left empty. Cannot fail, so a set
    // read whole beforehand replaces the loaded one without a moment with neither.
    void KWadopt(KW_search& loaded, std::string path);
    bool IsLoaded() const { return !items_.empty(); }
    std::int32_t KWgetVersion() const { return IsLoaded() ? head_.version : 0; }
    std::int32_t KWgetPasswordLength() const { return head_.passwordLength; }
    std::int32_t KWgetBlobOffset() const { return blobOffset_; }
    const std::string& KWgetTitle() const { return head_.title; }
    const std::string& KWgetPath() const { return path_; }
    std::int32_t KWgetItemCount() const { return static_cast<std::int32_t>(items_.size()); }
    std::int32_t KWgetRecordCount() const { return records_; }
    // The definition of an item (plain name), or null when out of range.
    const KW_item* KWgetItem(std::int32_t item) const;

    // --- Value access and view order (kw_search_values.cpp) ---

    // Rows of the current view: the records of the current map, or all.
    std::int32_t KWgetDataCount() const;
    // Display mode of an item: 0 codes, 1 display names. -1 for an item out of range.
    std::int32_t KWgetDisp(std::int32_t item) const;
    // Show codes / display names; -1 (unchanged) when the item has no code table.
    std::int32_t KWdispCode(std::int32_t item);
    std::int32_t KWdispName(std::int32_t item);

    // The text of the item's value in a row: the display name when the display mode is 1 and
    // the value is ordinary, else the code or text (error and blank show their captions). 0, or
    // -1 for a bad row, an item out of range or one that is not a String or Code item (numbers
    // are read with KWreadInteger and KWreadDouble, MultiAns items with KWreadMulti). The text
    // lives as long as the data set.
    std::int32_t KWreadString(std::int32_t row, std::int32_t item, const char** text);
    // 0 and the value; 1 blank, 2 error (nothing stored); -1 for a bad row or an item that is
    // not Integer, Date or Time.
    std::int32_t KWreadInteger(std::int32_t row, std::int32_t item, std::int32_t* value);
    // The same for Float items.
    std::int32_t KWreadDouble(std::int32_t row, std::int32_t item, double* value);
    // The k-th answer's text of the record in a row of a MultiAns item (chosen by the display
    // mode), storing the record's answer count; null for a bad row or item (count untouched)
    // or for k outside the record's answers (count stored).
    const char* KWreadMulti(std::int32_t row, std::int32_t item, std::int32_t k,
                            std::int32_t* answerCount);

    // View order. item >= 0: sorted by that item's dictionary position (stable: ties keep the
    // previous view order when the previous sort was on another single-valued item, else
    // record order; a MultiAns item sorts each record once by its smallest answer, ties in
    // record order); direction 1 descending, else ascending. item -1: record order (the
    // direction is stored; record order ignores it). Other negatives change only the
    // direction. 0, -1 for an item beyond the item count, -1011 (record order) without memory.
    std::int32_t KWsortData(std::int32_t item, std::int32_t direction);
    std::int32_t SortItem() const { return sortItem_; }
    std::int32_t SortDirection() const { return direction_; }

    // Row -> record of the current view, or -1 when the row is out of range.
    std::int32_t RecordOfRow(std::int32_t row) const;
    // Record -> row of the current view, or -1 when the record is not shown.
    std::int32_t RowOfRecord(std::int32_t record) const;

    // --- Tables, for the engine's own readers ---

    // The dictionary with in-map counts brought up to date for the current map. Empty span for
    // an item out of range.
    std::span<const KW_dict> dictionary(std::int32_t item) const;
    // Record -> position (MultiAns: answer -> position) and the MultiAns answer offsets.
    std::span<const std::int32_t> values(std::int32_t item) const;
    std::span<const std::int32_t> answerStarts(std::int32_t item) const;
    // The code or text of a dictionary position; the display name of an ordinary position of
    // an item with a code table (else the code or text); the text by the item's display mode.
    // Null for a position out of range.
    const char* ValueText(std::int32_t item, std::int32_t position) const;
    const char* ValueName(std::int32_t item, std::int32_t position) const;
    const char* DisplayText(std::int32_t item, std::int32_t position) const;

    // Record lists of one item: the records of each dictionary position, grouped by position
    // (position p's records are entries start(p) .. start(p) + count(p) - 1, in record order;
    // a MultiAns record once per answer naming p). Built for one item at a time. 0 or -1011
    // (no lists then), -1 for an item out of range.
    std::int32_t BuildValueIndex(std::int32_t item);
    // Position p's records, after BuildValueIndex(item); empty for anything else.
    std::span<const std::int32_t> RecordList(std::int32_t item, std::int32_t position) const;

    // --- Current map and set algebra (kw_search_maps.cpp) ---

    KW_mapPtr KWmapGet() const { return current_; }
    // Byte length of every map of the loaded data set: 4 * ceil(records / 32).
    std::int32_t KWmapGetLength() const { return MapByteLength(records_); }
    // All records again; drops the exclusion flags, returns the view to record order. Returns
    // the record count.
    std::int32_t KWmapClear();
    // Makes the map current (null is KWmapClear): the records it holds, bits after the last
    // record ignored. Drops the exclusion flags and returns the view to record order. Returns
    // the number of records in it; -1 for a map of another length, -1011 without memory
    // (nothing changed).
    std::int32_t KWmapSet(KW_mapPtr map);
    // The records of the current map whose value of the item is not excluded (MultiAns: with
    // at least one answer not excluded) become current. 0; -1 when the item has no exclusion
    // flags; -1011 without memory (nothing changed).
    std::int32_t KWnewMap(std::int32_t item);
    // Marks the value at a value-list position as excluded. 0; -1 for an item or position out
    // of range; -1011 without memory.
    std::int32_t KWpassDataFromMap(std::int32_t item, std::int32_t position);
    // Drops the item's exclusion flags. 0, or -1 for an item out of range.
    std::int32_t KWpassDataClear(std::int32_t item);
    // The flag (0 or 1) of the value at a value-list position; -1 when the item has no flags
    // or the arguments are out of range.
    std::int32_t KWpassDataGet(std::int32_t item, std::int32_t position) const;

    // Set algebra; a null argument means all records. The result is a new map that becomes
    // current; returns its record count, or -1 (nothing changed) without memory or for an
    // argument of another length.
    std::int32_t KWmapProduct(const KW_mapPtr& a, const KW_mapPtr& b);
    std::int32_t KWmapUnion(const KW_mapPtr& a, const KW_mapPtr& b);
    std::int32_t KWmapDifference(const KW_mapPtr& a, const KW_mapPtr& b);
    std::int32_t KWmapComplement(const KW_mapPtr& a);

    // Value-list position -> dictionary position under the item's value-list order: 0 and 1
    // stay; natural order p; natural reversed D + 1 - p; by count the p-th, by count reversed
    // the (D + 1 - p)-th entry of the sorted order. -1 when out of range.
    std::int32_t ValueListToDictionary(std::int32_t item, std::int32_t position) const;

    // Value-list order of an item: -1 natural, -2 natural reversed, 0 by count, 1 by count
    // reversed; for 0 and 1 `sorted` holds the D dictionary positions in count order.
    struct ValueOrder {
        std::int32_t mode = -1;
        std::vector<std::int32_t> sorted;
    };

    // --- Search language (kw_search_search.cpp) ---

    // Selects the records whose values satisfy the expression (the language is described in
    // kw_search_parse.h: items by number, comparisons, ranges, wildcards, display names, "*"
    // AND, "+" OR, parentheses) out of all records, whatever the current map, and makes them
    // current. Returns the number of records found; -1 empty expression, -1003 an item number
    // not below the item count, -1011 without memory, -1020 syntax, -1022 operator stack or
    // program full. On failure the current map, its counts and the view stay as they were.
    std::int32_t KWsrch(std::string_view expression);

    // --- Item statistics and value-list order (kw_search_stats.cpp) ---

    // Value-list positions: 0 the error value, 1 the blank value, then the ordinary values in
    // the item's value-list order (KWsortValue). Counts follow the current map.
    //
    // The number of dictionary values, error and blank included; -1 for an item out of range.
    std::int32_t KWgetValueCount(std::int32_t item) const;
    // The text at a position by the item's display mode; null for a numeric item or out of
    // range. Lives as long as the data set.
    const char* KWgetValueText(std::int32_t item, std::int32_t position) const;
    // The number at a position: Int for Integer, Date and Time items, Double for those and
    // Float items; 0 for error, blank, other items and out of range.
    std::int32_t KWgetValueInt(std::int32_t item, std::int32_t position) const;
    double KWgetValueDouble(std::int32_t item, std::int32_t position) const;
    // Records (MultiAns: answers) holding the value at a position, within the current map when
    // one is set; -1 out of range.
    std::int32_t KWgetValueDataCount(std::int32_t item, std::int32_t position) const;
    // Without a current map the item's data count (records, or answers of a MultiAns item);
    // with one the current count, or the answers within it. -1 for an item out of range.
    std::int32_t KWgetItemDataCount(std::int32_t item) const;
    // The largest and smallest number of answers of one record of a MultiAns item over all
    // records (0 and 0 without records). 0; -1 (nothing stored) for another item.
    std::int32_t KWgetAnswerRange(std::int32_t item, std::int32_t* largest,
                                  std::int32_t* smallest) const;
    // Value-list order: -1 natural, -2 natural reversed, 0 by record count ascending (ties in
    // natural order), 1 that order reversed; counted within the current map when one is set,
    // and kept as sorted until the next call. Error and blank stay in front. 0; -1 for a bad
    // item or mode; -1011 (the order unchanged) without memory.
    std::int32_t KWsortValue(std::int32_t item, std::int32_t mode);
    // One save slot for one item's order: save moves the sorted order out (the item keeps its
    // mode and meanwhile reads as natural order, reversed for mode 1), restore puts it back on
    // the same item. 0; -1 for an item out of range, or a restore with nothing saved for it.
    std::int32_t KWsaveSort(std::int32_t item);
    std::int32_t KWrestoreSort(std::int32_t item);
    // The value-list position where the share of records, taken from the largest value down,
    // first reaches `percent` (ceil of the running share x 10^6 against percent x 10^6
    // truncated): only ordinary values count, within the current map when one is set, and
    // values without records are passed over. 2 when no value reaches it or the item has no
    // ordinary value; -1 for an item out of range.
    std::int32_t KWgetPercentPos(std::int32_t item, double percent) const;
    // Sum, mean and population standard deviation over the ordinary values, each weighted by
    // its count (within the current map when one is set). Dates count as days since
    // 1970-01-01 x 86,400 seconds, times as seconds; a date's mean comes back as yyyymmdd and
    // its deviation in days, a time's mean as hhmmss (whole seconds) and its deviation in
    // seconds; sums stay in seconds. No ordinary value gives 0, 0, 0. 0; -1 (nothing stored)
    // for an item out of range or not Integer, Float, Date or Time.
    std::int32_t KWgetStatistics(std::int32_t item, double* sum, double* mean,
                                 double* deviation) const;

    // --- Value search and stepping (kw_search_step.cpp) ---

    // One value search, over dictionary positions 2 and up in natural order (a value-list row
    // is the caller's to convert). Set: item, start position (below 2 stored as 1), operator
    // 0 to 9 of kw_condition.h and bounds; for texts also "contains" (KWsetFindString, in the
    // display names of an item with a code table). 0; -1 (the search unchanged) for an item
    // out of range, an operator out of range, or a setter of the wrong item type.
    std::int32_t KWsetFindString(std::int32_t item, std::int32_t start, std::string_view text);
    std::int32_t KWsetFindStringRange(std::int32_t item, std::int32_t start, std::int32_t op,
                                      std::string_view text1, std::string_view text2);
    std::int32_t KWsetFindInt(std::int32_t item, std::int32_t start, std::int32_t op,
                              std::int32_t a, std::int32_t b);
    std::int32_t KWsetFindDouble(std::int32_t item, std::int32_t start, std::int32_t op, double a,
                                 double b);
    // The next (previous, first, last) position whose value matches and, while a map is
    // current, has a record in it; -1 when none. Every matching value walked over becomes the
    // search position, whether or not it has records in the map.
    std::int32_t KWfindNextValue();
    std::int32_t KWfindPrevValue();
    std::int32_t KWfindFirstValue();
    std::int32_t KWfindLastValue();
    // Record stepping over the rows of the current view: the first row at or after the start
    // row whose record's value of the item is not excluded (KWpassDataFromMap; MultiAns: any
    // answer not excluded; an item without flags: every record). A start row beyond the last
    // row looks backward from the last row. -1 when none.
    std::int32_t KWfindNextRecord(std::int32_t item, std::int32_t startRow);
    // The nearest such row before the last start or find; when there is none the row found
    // last (-1 when none) is returned again.
    std::int32_t KWfindPrevRecord();

    // --- Cross tabulation (kw_search_cross*.cpp; state in kw_cross.h) ---

    // An X item crossed with a Y item over the current map, each record counted in one cell
    // (x, y) of X category x and Y category y, with one of eight aggregates of a Z item
    // (KWCrossKind in kw_cross.h). An axis is the item's plain values (category = dictionary
    // position) or categories given by conditions. Calling order: per condition axis Init,
    // Add for every condition, Build; per value axis Reset; ExecuteCross; the getters; to
    // drill, MarkCrossCell for each chosen cell, then CrossDrill.
    //
    // Condition lists. Init: the axis item, the name mode (1: text conditions on an item with
    // a code table test display names; 0 codes or texts) and the number of conditions; 0, or -1
    // for an item out of range or a negative number. Add: 0; -1 without Init or when the list
    // is full. Labels and texts are cut to 127 bytes on a character boundary. Build: numbers
    // the categories (equal labels form one, in order of first appearance) and gives every
    // dictionary position to the first category one of whose conditions it passes; 0, -1
    // without Init, -1011 (the list kept, its tables dropped). Reset: the axis uses the item's
    // values again.
    std::int32_t InitCrossX(std::int32_t item, std::int32_t nameMode, std::int32_t conditions) {
        return initCross(kw::kCrossX, item, nameMode, conditions);
    }
    std::int32_t InitCrossY(std::int32_t item, std::int32_t nameMode, std::int32_t conditions) {
        return initCross(kw::kCrossY, item, nameMode, conditions);
    }
    std::int32_t AddCrossXInt(std::string_view label, std::int32_t op, std::int32_t from,
                              std::int32_t to);
    std::int32_t AddCrossYInt(std::string_view label, std::int32_t op, std::int32_t from,
                              std::int32_t to);
    std::int32_t AddCrossXDouble(std::string_view label, std::int32_t op, double from, double to);
    std::int32_t AddCrossYDouble(std::string_view label, std::int32_t op, double from, double to);
    std::int32_t AddCrossXString(std::string_view label, std::int32_t op, std::string_view from,
                                 std::string_view to);
    std::int32_t AddCrossYString(std::string_view label, std::int32_t op, std::string_view from,
                                 std::string_view to);
    std::int32_t BuildCrossX() { return buildCross(kw::kCrossX); }
    std::int32_t BuildCrossY() { return buildCross(kw::kCrossY); }
    void ResetCrossX() { cross_.lists[kw::kCrossX] = {}; }
    void ResetCrossY() { cross_.lists[kw::kCrossY] = {}; }

    // Computes the result over the current map, replacing the previous one: x and y are the
    // axis items (on a condition axis the item it was built for), z the aggregated item (not
    // used by kind 0), p the percentage of kind 7 (0 to 100). 0; -1 (the previous result kept)
    // for a kind out of range, an item out of range, a condition axis not built or built for
    // another item, a MultiAns Z item, p outside 0 to 100; -1011 (no result then).
    std::int32_t ExecuteCross(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t kind,
                              double p);
    // Cell reads. Flag: 0 when the cell has a value, else -1 (also out of range). Count: the
    // int cell (records, distinct values, the Integer/Date/Time value of kinds 5 to 7, or the
    // dictionary position of a Float, String or Code value). Value: the double cell (sum,
    // average; kind 4 of a Date item as yyyymmdd, of a Time item as hhmmss), the number Z
    // value of kinds 5 to 7 (0.0 for texts), else the count. Text: the String or Code value of
    // kinds 5 to 7 (display name when the X axis uses values and Z has codes), else empty.
    std::int32_t GetCrossCellFlag(std::int32_t x, std::int32_t y) const;
    std::int32_t GetCrossCount(std::int32_t x, std::int32_t y) const;
    double GetCrossValue(std::int32_t x, std::int32_t y) const;
    std::string GetCrossText(std::int32_t x, std::int32_t y) const;
    // Axes of the last result (before any, a built condition list). Label: the category's
    // label, or the value's text (display name of an ordinary value of an item with codes;
    // numbers in decimal). Int / Double: the value at position i; -1 / -1.0 on a condition
    // axis, for a text item or out of range. Count: categories of the axis.
    std::string GetCrossXLabel(std::int32_t i) const { return crossLabel(kw::kCrossX, i); }
    std::string GetCrossYLabel(std::int32_t i) const { return crossLabel(kw::kCrossY, i); }
    std::int32_t GetCrossXInt(std::int32_t i) const { return crossInt(kw::kCrossX, i); }
    std::int32_t GetCrossYInt(std::int32_t i) const { return crossInt(kw::kCrossY, i); }
    double GetCrossXDouble(std::int32_t i) const { return crossDouble(kw::kCrossX, i); }
    double GetCrossYDouble(std::int32_t i) const { return crossDouble(kw::kCrossY, i); }
    std::int32_t GetCrossXCount() const { return crossCount(kw::kCrossX); }
    std::int32_t GetCrossYCount() const { return crossCount(kw::kCrossY); }
    // Drill: the records counted in the marked cells (kinds 1 to 7: those with an ordinary Z
    // value) become current. Mark: 0, -1 without a result or out of range, -1011. CrossDrill:
    // the new current count; -1 when nothing was marked since the result was made, -1011.
    // Marks after a drill add to the drilled cells until the next ExecuteCross.
    std::int32_t MarkCrossCell(std::int32_t x, std::int32_t y);
    std::int32_t CrossDrill();

    // --- Multi-dimensional aggregation (kw_search_molap*.cpp; state in kw_molap.h) ---

    // The records of the current map grouped by up to five X items (columns) and five Y items
    // (rows) into cells holding, per Z item, the record count, the sum, the average and the
    // extremes; with total and subtotal keys per axis level. A record counts only when every
    // X and Y level has a value that is not the error value. Calling order: ResetMolapX/Y/Z,
    // SetMolapX/Y/Z, KWexecuteMolap with the same item lists (on the window's worker thread),
    // then the reads and drills; KWMolapClose and the resets when the window closes.
    // Failures: -1 bad argument (nothing changed); -3 "new failed." (logged).

    // One value read from a result: a key label or an aggregate. Texts are CP932 and live as
    // long as the data set (captions: for the whole run).
    struct MolapValue {
        enum Kind : std::int32_t { None, Integer, Double, Text };
        Kind kind = None;
        std::int32_t integer = 0;  // Integer, Date, Time values (grouped: the group key); counts
        double number = 0;         // Float values, sums and averages
        const char* text =
            nullptr;  // String texts, Code display names, total captions, and
                      // the "ｴﾗｰ" / "ﾌﾞﾗﾝｸ" captions of any item's error or blank key
        std::int32_t position = -1;  // the dictionary position of a label or an extreme
    };

    // Sets an axis: items outermost first (X and Y: at most five), one code per item. X and Y
    // codes group a Date item: 1 year, 2 month, 3 day, 4 year-month, 5 quarter, 6 half year;
    // any other code (and any other item type) means no grouping. Z codes 1 to 6 group a Date
    // item the same way; other Z codes are the window's value units. 0; -1 (the axis
    // unchanged) for an item out of range, a MultiAns item, too many items or lists of
    // different lengths.
    std::int32_t SetMolapX(const std::vector<std::int32_t>& items,
                           const std::vector<std::int32_t>& groupings);
    std::int32_t SetMolapY(const std::vector<std::int32_t>& items,
                           const std::vector<std::int32_t>& groupings);
    std::int32_t SetMolapZ(const std::vector<std::int32_t>& items,
                           const std::vector<std::int32_t>& units);
    void ResetMolapX() { molap_.x = {}; }
    void ResetMolapY() { molap_.y = {}; }
    void ResetMolapZ() { molap_.z = {}; }
    // The item lists of the axes as set (the drill-through walks them).
    std::vector<std::int32_t> GetMolapXItems() const { return molap_.x.items; }
    std::vector<std::int32_t> GetMolapYItems() const { return molap_.y.items; }

    // A Date item's dictionary and record -> position array grouped by a grouping code 1-6:
    // the error and blank entries stay at 0 and 1, then one entry per distinct group key in
    // ascending order with its record count. 0; -1 for another item type or code.
    std::int32_t DateConvert(std::int32_t item, std::int32_t grouping, std::vector<KW_dict>& dict,
                             std::vector<std::int32_t>& positions) const;

    // Builds the result, replacing the previous one. Z kinds per Z item: 0 count, 1 sum, 2
    // average, 3 maximum, 4 minimum; without Z items every cell holds a record count. Total
    // modes per axis: 1 grand total, 2 subtotals per level and the grand total, other none.
    // 0 done; 1 cancelled (MolapCancelFlag; the partial result is freed); -1 when the lists
    // differ from the settings or the kinds from the Z items (nothing changed: the previous
    // result stays readable); -3 (logged) without memory.
    std::int32_t KWexecuteMolap(const std::vector<std::int32_t>& xItems,
                                const std::vector<std::int32_t>& yItems,
                                const std::vector<std::int32_t>& zItems,
                                const std::vector<std::int32_t>& kinds, std::int32_t xTotalMode,
                                std::int32_t yTotalMode);
    // The handshake with the window: it resets the flag before a build and cancels through it.
    kw::MolapCancel& MolapCancelFlag() { return molap_.cancel; }

    // Keys of the result, totals included, in key order; 0 for an axis without items.
    std::int32_t GetMolapXCount() const;
    std::int32_t GetMolapYCount() const;
    // The label of an X key's level; the key is column / Z columns. 1 and a caption for a
    // total level: "総計" at level 0, "計" at a subtotal's first total level, "" deeper; 0 and
    // the level's value (typed by the item: Integer for Integer, Date, Time; Double for
    // Float; Text for String and Code, display names for codes); -1 out of range.
    std::int32_t GetMolapXLabel(std::int32_t column, std::int32_t level, MolapValue& value) const;
    std::int32_t GetMolapYLabel(std::int32_t row, std::int32_t level, MolapValue& value) const;
    // The aggregate of Z column z in cell (x, y) (an axis without items ignores its index):
    // count: Integer; sum: Double when the cell has records; average: Double over the ordinary
    // Z values; maximum, minimum: the ordinary Z value, typed as a label. Sums and averages
    // of items other than Integer and Float, and every aggregate of an absent cell, read
    // None. 1 when x or y is a total key, else 0; -1 out of range.
    std::int32_t KWMolapGetData(std::int32_t x, std::int32_t y, std::int32_t z,
                                MolapValue& value) const;

    // Drill: each call narrows to the records whose level value equals that of the key (a
    // total level narrows nothing); MolapDrill makes the records of the current map that are
    // left, and that have a valid key on every level, current: exactly the records of the
    // cell. X and Y take key indexes (not grid columns). 0; -1 without a result or out of
    // range; MolapDrill: the new current count, or a negative code (nothing changed).
    std::int32_t MolapDrillX(std::int32_t x, std::int32_t level);
    std::int32_t MolapDrillY(std::int32_t y, std::int32_t level);
    std::int32_t MolapDrill();
    // Frees the result and the drill map.
    void KWMolapClose();

private:
    // Per item, beside its loaded block.
    struct ItemState {
        std::uint8_t display = 0;            // 0 codes, 1 display names
        std::vector<std::uint8_t> excluded;  // per dictionary position; empty = no flags
        ValueOrder order;
        mutable std::uint64_t countedFor = 0;  // map generation of the in-map counts
    };

    // A map generation change: lazily recounted tables and the view follow it.
    void setCurrent(KW_mapPtr map, std::int32_t count);
    void recount(std::int32_t item) const;
    bool validItem(std::int32_t item) const {
        return item >= 0 && item < static_cast<std::int32_t>(items_.size());
    }
    bool fitsMap(const KW_mapPtr& map) const;
    std::int32_t finishSetOperation(std::shared_ptr<KW_map> result);

    // View: row <-> position in the view sequence (record order, or the order array).
    void resetView();
    void clearCursor() const;
    std::int32_t rowToPosition(std::int32_t row) const;
    std::int32_t recordAt(std::int32_t position) const {
        return order_.empty() ? position : order_[static_cast<std::size_t>(position)];
    }
    bool shown(std::int32_t position) const {
        return !current_ || current_->test(recordAt(position));
    }
    std::int32_t nextShown(std::int32_t position) const;
    std::int32_t previousShown(std::int32_t position) const;
    void buildRank() const;
    std::int32_t selectInBlock(std::int32_t block, std::int32_t k) const;
    void sortOrder(std::int32_t item, std::vector<std::int32_t>& order) const;

    zbq::EngineHost* host_ = nullptr;
    KW_error err_;

    // The loaded data set.
    kw::FileHead head_;
    std::string path_;
    std::int32_t blobOffset_ = 0;
    std::int32_t records_ = 0;
    mutable std::vector<kw::ItemBlock> items_;  // mapCount is a recount cache
    std::vector<ItemState> states_;
    // Compact forms of the value lists for the recount and the search; empty when the memory
    // for them was lacking at load (the passes then read the value lists themselves). Those of
    // MultiAns items are made when first asked for (scan), which keeps their cost off the load.
    mutable std::vector<kw::ItemScan> scans_;
    mutable std::vector<std::int32_t> countWork_;  // the recount's histogram of a large item
    const kw::ItemScan* scan(std::int32_t item) const;

    // Current map.
    KW_mapPtr current_;
    std::int32_t currentCount_ = 0;
    std::uint64_t generation_ = 1;

    // View order and the row cursor.
    std::int32_t sortItem_ = -1;
    std::int32_t direction_ = 0;
    std::vector<std::int32_t> order_;  // position -> record; empty in record order
    // Rank index of the shown positions: rank_[b] = shown positions before block b (blocks of
    // kRankBlock positions); empty until a jump needs it.
    static constexpr std::int32_t kRankBlock = 64;
    mutable std::vector<std::int32_t> rank_;
    mutable std::vector<std::int32_t> positionOf_;  // record -> position; empty until asked
    mutable std::int32_t cursorRow_ = -1;           // ascending row last read
    mutable std::int32_t cursorPosition_ = -1;

    // Record lists of one item.
    std::int32_t listItem_ = -1;
    std::vector<std::int32_t> lists_;

    // Search work areas (kw_search_search.cpp).

    // Statistics and value-list order (kw_search_stats.cpp).
    std::int32_t savedOrderItem_ = -1;  // the item whose order is in the save slot
    ValueOrder savedOrder_;

    // Value search and stepping (kw_search_step.cpp).
    struct ValueFind {
        std::int32_t item = -1;
        std::int32_t position = 1;
        kw::Condition condition;
    };
    struct RecordStep {
        std::int32_t item = -1;
        std::int32_t row = -1;     // found last, -1 when none
        std::int32_t record = -1;  // its record
        std::int32_t anchor = 0;   // where the next backward walk starts (exclusive)
    };
    std::int32_t setFind(std::int32_t item, std::int32_t start, kw::Condition condition);
    std::int32_t findValue(std::int32_t from, std::int32_t step);
    bool stepQualifies(std::int32_t record) const;
    std::int32_t stepWalk(std::int32_t from, std::int32_t step);
    // Forgets the value search, the record stepping and the saved value order (KWclose).
    void resetItemWindowState();
    ValueFind find_;
    RecordStep step_;

    // Cross tabulation: condition lists and the result (kw_cross.h).
    std::int32_t initCross(int axis, std::int32_t item, std::int32_t nameMode,
                           std::int32_t conditions);
    std::int32_t addCross(int axis, KW_cond&& condition);
    std::int32_t buildCross(int axis);
    const kw::CrossAxisTables* crossAxis(int axis) const;
    std::string crossLabel(int axis, std::int32_t i) const;
    std::int32_t crossInt(int axis, std::int32_t i) const;
    double crossDouble(int axis, std::int32_t i) const;
    std::int32_t crossCount(int axis) const;
    std::int32_t crossCell(std::int32_t x, std::int32_t y) const;  // cell index or -1
    kw::CrossState cross_;

    // Multi-dimensional aggregation: settings, key tables and the result (kw_molap.h).
    std::int32_t setMolapAxis(kw::MolapAxisSettings& axis, const std::vector<std::int32_t>& items,
                              const std::vector<std::int32_t>& codes, std::int32_t maxLevels,
                              const char* method);
    kw::MolapLevelPtr molapLevel(std::int32_t item, std::int32_t grouping) const;
    bool molapPass(kw::MolapResult& r, kw::MolapSlots& cellKeys);
    std::int32_t molapDrillAxis(bool xAxis, std::int32_t key, std::int32_t level);
    void applyMolapDrillTerms();
    std::shared_ptr<KW_map> molapCellRecords() const;
    void freeMolap();  // KWclose: settings, result and drill map
    kw::MolapState molap_;
};
