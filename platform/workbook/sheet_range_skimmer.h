// The used range and merged areas of a worksheet, found by skimming its XML as it inflates.
//
// A recorded dimension may lie, so the range comes from every cell of the sheet; but the range
// needs of a cell only its place and whether it holds a value, so the skimmer reads a tag's
// attributes only for cells, rows and merged areas and passes over value texts with a search
// for the next '<'. It checks what the pull scanner checks of a part (xml_pull_scanner.h: tags
// nest and match, attributes are well-formed and hold no '<', references are the predefined or
// numeric ones, no document type declaration, the same size and depth limits) and what the
// sheet reader refuses of cells and rows (out of order, past XFD1048576, a bad style index, a
// string index past its table), so a sheet the skimmer accepts is one the reader reads.
//
// The reader reads its cells through the same skim: given a CellSink, the skimmer hands it every
// cell as it ends (its place, style, type and texts) and every row as it ends, so that reading a
// sheet costs one pass at the skim's pace rather than a general XML scan.
// One owner; not shared between threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/workbook/workbook_reader_formats.h"
#include "platform/workbook/xml_pull_scanner.h"

namespace zbq::workbook {

// A cell's t attribute: how its <v> is to be read. Unknown types read as numbers, as when t is
// absent: the value then proves or disproves it.
enum class CellType : uint8_t { Number, Shared, Inline, FormulaText, Boolean, Error, IsoDate };
CellType cellTypeOf(std::string_view t);

// One cell as the skim met it. The texts are views valid only during the call that hands it out.
struct SkimmedCell {
    uint32_t row = 0, column = 0;
    uint32_t style = 0;
    CellType type = CellType::Number;
    bool hasValue = false;        // a <v>, empty or not
    std::string_view value;       // the texts of its <v>, references resolved
    bool hasInline = false;       // an <is>
    std::string_view inlineText;  // the texts of its <is> (not of phonetic runs), resolved
};

// What a reading of the cells is handed; either call returns false to stop the skim there.
class CellSink {
public:
    virtual bool cell(const SkimmedCell& cell) = 0;
    // After the row's cells, also for a row that holds none.
    virtual bool rowEnd(uint32_t row) = 0;

protected:
    ~CellSink() = default;
};

class SheetRangeSkimmer {
public:
    using Source = XmlPullScanner::Source;

    static constexpr std::size_t kChunk = std::size_t{1} << 18;

    // `sharedStrings`: how many strings the workbook's table holds, which every string cell
    // with a value must index into. The part is asked for `chunk` bytes at a time (at least).
    SheetRangeSkimmer(Source source, std::size_t sharedStrings, std::size_t chunk = kChunk)
        : source_(std::move(source)), sharedStrings_(sharedStrings), chunk_(chunk ? chunk : 1) {
        for (std::size_t n = sharedStrings; n >= 10; n /= 10)
            ++indexDigits_;
    }

    // Hands the cells and rows to `sink` as they are met (nullptr: only the range is found).
    void readCells(CellSink* sink) { sink_ = sink; }

    // Skims the whole part; false with error() set where it is damaged. True too where the sink
    // stopped it (stopped()): the range and merges then cover only what was skimmed.
    bool run();
    bool stopped() const { return stopped_; }
    const UsedRange& range() const { return range_; }
    const std::vector<SheetMerge>& merges() const { return merges_; }
    // The cells holding a value skimmed so far.
    const std::uint64_t& valuedCells() const { return valued_; }
    // The bytes of the cells' own texts skimmed so far (values, formulas, inline strings, as
    // written): what a sheet holds beyond them is markup, which valued cells bound.
    const std::uint64_t& cellTextBytes() const { return cellTextBytes_; }
    const std::string& error() const { return error_; }

private:
    enum class Step { Done, More, Bad, Stop };
    enum class In : uint8_t {
        Other,
        SheetData,
        Row,
        Cell,
        Value,
        Formula,
        Inline,
        InlineRun,
        InlineText
    };
    struct Open {
        uint32_t nameStart;
        In in;
    };

    bool fill();
    Step fail(std::string message);
    Step text();
    Step markup();
    Step special();
    Step endTag();
    Step startTag();
    // What a start tag means for the range; `self` for <x/>.
    Step element(In here, std::string_view local, bool self);
    void cellText(In in, std::string_view text);
    Step endCell();
    Step endRow();
    // Hands a cell read whole by a plain step to the sink; false where it stops.
    bool plainToSink(uint32_t column, std::string_view style, std::string_view type, bool hasValue,
                     std::string_view value);
    // Cells and row tags of the plainest forms, as writers make nearly all of them, read in
    // one go; false (nothing taken) for anything else, which the general steps then read. Each
    // step below reads one such token at `at` and moves past it, or leaves it, and all else,
    // as it was.
    static constexpr std::size_t kPlainMargin = 128;
    static constexpr std::size_t kWindow = 64;  // a plain cell or row tag lies within it
    bool plainCells();
    bool endOfRow(const char*& at);    // </row>
    bool startOfRow(const char*& at);  // <row r="12" spans="1:20">
    bool usualCell(const char*& at);   // <c r="B12" s="1" t="s"><v>3</v></c>, the most usual
    bool plainCell(const char*& at);   // any one-letter attributes, any order

    Source source_;
    std::size_t sharedStrings_;
    std::size_t chunk_;
    std::unique_ptr<char[]> buf_;
    std::size_t capacity_ = 0, size_ = 0, pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    bool rootSeen_ = false;
    bool firstToken_ = true;  // a part may open with a UTF-8 byte-order mark
    std::string error_;
    std::string openNames_;
    std::vector<Open> open_;
    std::string scratch_;

    // Of the start tag being read: the attributes the range needs, raw.
    std::string_view attrR_, attrS_, attrT_, attrRef_;
    bool hasR_ = false, hasS_ = false, hasT_ = false, hasRef_ = false;

    uint32_t row_ = 0, column_ = 0;
    // The row's number in digits, as plain cells spell it in their references.
    char rowDigits_[16] = {};
    std::size_t rowDigitCount_ = 0;
    std::size_t indexDigits_ = 1;  // every string index with fewer digits is in the table
    bool cellShared_ = false, cellValued_ = false;
    std::string value_;  // the text of the cell's value: a string cell's, or any when reading
    // Of the cell open, for the sink.
    CellSink* sink_ = nullptr;
    bool stopped_ = false;
    uint32_t cellStyle_ = 0;
    CellType cellType_ = CellType::Number;
    bool cellHasValue_ = false, cellHasInline_ = false;
    std::string inline_;
    std::uint64_t cellTextBytes_ = 0;

    UsedRange range_;
    std::uint64_t valued_ = 0;
    std::vector<SheetMerge> merges_;
};

}  // namespace zbq::workbook
