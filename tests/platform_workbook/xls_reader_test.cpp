// The .xls reader over workbooks made byte by byte (biff_writer.h): every cell record and stored
// formula result, texts run on over CONTINUE records in each form writers use, Excel 5/95
// workbooks in their code page, substreams passed over, and damage refused instead of read short.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader.h"
#include "platform/workbook/workbook_reader_xls.h"
#include "tests/platform_workbook/biff_writer.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::workbook;
using namespace zbq::test::biff;
using zbq::cp932::literal;
using zbq::test::TempDir;

struct Read {
    std::vector<SheetEntry> sheets;
    bool date1904 = false;
    std::map<std::string, ReadCell> cells;  // "Sheet!B2" (UTF-8) -> valued cell
    std::map<std::string, UsedRange> ranges;
};

// The workbook at `path` read whole; the failure, if any, in `failure`.
Read readAll(const std::string& path, ReadFailure& failure) {
    Read out;
    failure = {};
    auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
    if (!book) return out;
    out.sheets = book->sheets();
    out.date1904 = book->date1904();
    for (std::size_t i = 0; i < book->sheets().size(); ++i) {
        const std::string name = zbq::cp932::toUtf8(book->sheets()[i].name);
        auto sheet = book->openSheet(i, ReadStage::ReadData, &failure);
        if (!sheet) return out;
        const UsedRange range = sheet->usedRange();
        out.ranges[name] = range;
        uint32_t expected = range.firstRow;
        bool ordered = true;
        if (!sheet->readRows(
                1, 1048576, ReadStage::ReadData,
                [&](const RangeRow& row) {
                    ordered = ordered && row.row == expected++ &&
                              row.cells.size() == range.lastColumn - range.firstColumn + 1;
                    for (std::size_t c = 0; c < row.cells.size(); ++c)
                        if (row.cells[c].kind != CellKind::Empty)
                            out.cells[name + "!" +
                                      cellName(range.firstColumn + static_cast<uint32_t>(c),
                                               row.row)] = row.cells[c];
                    return true;
                },
                &failure))
            return out;
        EXPECT_TRUE(ordered) << name;
    }
    return out;
}

Read readBook(const TempDir& dir, const Book& book, const std::string& streamName = "Workbook") {
    const std::string path = dir.file("b.xls");
    writeCompound(path, streamName, stream(book));
    ReadFailure failure;
    Read r = readAll(path, failure);
    EXPECT_EQ(failure.error, ReadError::None) << failure.detail;
    return r;
}

using zbq::test::kindName;

struct Want {
    const char* cell;
    CellKind kind;
    std::string text;    // UTF-8
    const char* format;  // UTF-8; nullptr: not looked at
};

void expectCells(const Read& r, const std::vector<Want>& wants) {
    for (const Want& w : wants) {
        const auto got = r.cells.find(w.cell);
        if (got == r.cells.end()) {
            ADD_FAILURE() << w.cell << " holds no value";
            continue;
        }
        EXPECT_STREQ(kindName(got->second.kind), kindName(w.kind)) << w.cell;
        EXPECT_EQ(zbq::cp932::toUtf8(got->second.text), w.text) << w.cell;
        if (w.format) {
            EXPECT_EQ(zbq::cp932::toUtf8(got->second.formatCode), w.format) << w.cell;
        }
    }
    EXPECT_EQ(r.cells.size(), wants.size()) << "cells with a value no expectation names";
}

// A shared string table of `texts` in one record.
std::string sstRecords(const std::vector<std::string>& texts) {
    std::string data =
        le32(static_cast<uint32_t>(texts.size())) + le32(static_cast<uint32_t>(texts.size()));
    for (const std::string& t : texts)
        data += text16(t);
    return record(kSst, data);
}

}  // namespace

// Each record that holds a value, read as the same workbook saved as .xlsx reads: numbers by
// their format (dates in both systems), booleans and all seven errors as themselves, formula
// results of every kind, merged areas blank under their top-left cell.
TEST(XlsReader, ReadsEveryKindOfCellAsTheXlsxReaderDoes) {
    TempDir dir;
    for (const bool d1904 : {false, true}) {
        SCOPED_TRACE(d1904 ? "1904" : "1900");
        Book book;
        // XF 0 general, 1 date (14), 2 time (21), 3 date and time (22), 4 "0.0", 5 a custom date
        // format, 6 the Japanese era format (28), 7 elapsed time (46).
        book.xfFormats = {0, 14, 21, 22, 164, 165, 28, 46};
        book.globals = record(kFormat, le16(164) + text16("0.0")) +
                       record(kFormat, le16(165) + text16("yyyy\"年\"m\"月\"")) +
                       (d1904 ? record(kDateMode, le16(1)) : "") +
                       sstRecords({"共有", "", "second"});
        std::string s;
        s += record(kNumber, cell(0, 0) + f64(1.5));
        s += record(kRk, cell(0, 1) + le32(42u << 2 | 2));                           // whole
        s += record(kRk, cell(0, 2) + le32(static_cast<uint32_t>(-1234) << 2 | 3));  // /100
        s += record(kMulRk, cell(1, 0, 4) + le32(7u << 2 | 2) + le16(1) + le32(45000u << 2 | 2) +
                                le16(2) + le32(0x3FE00000u) + le16(1));  // 7, date, 0.5 (time)
        s += record(kLabelSst, cell(2, 0) + le32(0));
        s += record(kLabelSst, cell(2, 1) + le32(1));
        s += record(kLabel, cell(2, 2) + text16("ラベル"));
        s += record(kBlank, cell(2, 3));
        s += record(kMulBlank, cell(2, 4) + le16(0) + le16(0) + le16(5));
        s += record(kBoolErr, cell(3, 0) + '\1' + '\0');
        s += record(kBoolErr, cell(3, 1) + '\0' + '\0');
        const uint8_t errors[] = {0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A};
        for (uint16_t i = 0; i < 7; ++i)
            s += record(kBoolErr, cell(4, i) + static_cast<char>(errors[i]) + '\1');
        for (uint16_t i = 0; i < 7; ++i)
            s += formulaSpecial(5, i, 2, errors[i]);
        s += formulaNumber(6, 0, 45000.25, 3);
        s += formulaNumber(6, 1, 45000, 1);
        s += formulaNumber(6, 2, 0.75, 2);
        s += formulaNumber(6, 3, 45000, 5);
        s += formulaNumber(6, 4, 45000, 6);
        s += formulaNumber(6, 5, 1.25, 7);
        s += formulaSpecial(7, 0, 1, 1);
        s += formulaSpecial(7, 1, 3);  // an empty text: no value
        s += formulaSpecial(7, 2, 0);
        s += record(kShrFmla, std::string(10, '\0'));  // between a formula and its text
        s += record(kString, text16("式の値"));
        s += formulaSpecial(7, 3, 0);
        s += record(kString, text16(""));  // an empty text: no value
        s += formulaNumber(7, 4, 2);
        s += record(kArray, std::string(14, '\0'));
        // A merged area B9:C10 whose covered cells hold values a copy leaves out.
        s += record(kNumber, cell(8, 1) + f64(1));
        s += record(kNumber, cell(8, 2) + f64(2));
        s += record(kNumber, cell(9, 1) + f64(3));
        s += record(kMergedCells, le16(1) + le16(8) + le16(9) + le16(1) + le16(2));
        book.sheets = {{"表", s}};
        const Read r = readBook(dir, book);
        ASSERT_EQ(r.sheets.size(), 1u);
        EXPECT_EQ(r.date1904, d1904);
        const std::string date = d1904 ? "2027/3/16" : "2023/3/15";
        const auto K = [](CellKind k) { return k; };
        expectCells(r, {
                           {"表!A1", K(CellKind::Number), "1.5", "G/標準"},
                           {"表!B1", K(CellKind::Number), "42", "G/標準"},
                           {"表!C1", K(CellKind::Number), "-12.34", "G/標準"},
                           {"表!A2", K(CellKind::Number), "7", "0.0"},
                           {"表!B2", K(CellKind::Number), date, "yyyy/m/d"},
                           {"表!C2", K(CellKind::Number), "12:00:00", "h:mm:ss"},
                           {"表!A3", K(CellKind::Text), "共有", "G/標準"},
                           {"表!B3", K(CellKind::Text), "", "G/標準"},
                           {"表!C3", K(CellKind::Text), "ラベル", "G/標準"},
                           {"表!A4", K(CellKind::Boolean), "TRUE", "G/標準"},
                           {"表!B4", K(CellKind::Boolean), "FALSE", "G/標準"},
                           {"表!A5", K(CellKind::Error), "#NULL!", nullptr},
                           {"表!B5", K(CellKind::Error), "#DIV/0!", nullptr},
                           {"表!C5", K(CellKind::Error), "#VALUE!", nullptr},
                           {"表!D5", K(CellKind::Error), "#REF!", nullptr},
                           {"表!E5", K(CellKind::Error), "#NAME?", nullptr},
                           {"表!F5", K(CellKind::Error), "#NUM!", nullptr},
                           {"表!G5", K(CellKind::Error), "#N/A", nullptr},
                           {"表!A6", K(CellKind::Error), "#NULL!", nullptr},
                           {"表!B6", K(CellKind::Error), "#DIV/0!", nullptr},
                           {"表!C6", K(CellKind::Error), "#VALUE!", nullptr},
                           {"表!D6", K(CellKind::Error), "#REF!", nullptr},
                           {"表!E6", K(CellKind::Error), "#NAME?", nullptr},
                           {"表!F6", K(CellKind::Error), "#NUM!", nullptr},
                           {"表!G6", K(CellKind::Error), "#N/A", nullptr},
                           {"表!A7", K(CellKind::Number), date + " 6:00:00", "yyyy/m/d h:mm"},
                           {"表!B7", K(CellKind::Number), date, "yyyy/m/d"},
                           {"表!C7", K(CellKind::Number), "18:00:00", "h:mm:ss"},
                           {"表!D7", K(CellKind::Number), date, "yyyy\"年\"m\"月\""},
                           {"表!E7", K(CellKind::Number), date, "[$-411]ggge\"年\"m\"月\"d\"日\""},
                           {"表!F7", K(CellKind::Number), "6:00:00", "[h]:mm:ss"},
                           {"表!A8", K(CellKind::Boolean), "TRUE", "G/標準"},
                           {"表!C8", K(CellKind::Text), "式の値", "G/標準"},
                           {"表!E8", K(CellKind::Number), "2", "G/標準"},
                           {"表!B9", K(CellKind::Number), "1", "G/標準"},
                       });
        // The type proposed from a whole number shown with a decimal point is a decimal one.
        EXPECT_EQ(proposeTypeChoice(r.cells.at("表!A2")), 1);
        EXPECT_EQ(r.ranges.at("表"), (UsedRange{1, 10, 1, 7}));
    }
}

namespace {

std::string repeat(std::string_view unit, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += unit;
    return out;
}

// UTF-16LE bytes of `count` あ.
std::string wideA(int count) {
    return repeat(utf16("あ"), count);
}

}  // namespace

// Shared strings run on over CONTINUE records: cut anywhere in a text (each continuation starting
// with its own flag byte, the width changing between them), a two-byte character cut in half,
// texts far longer than one record; the strings after each still in their places.
TEST(XlsReader, ReadsSharedStringsRunOnOverContinueRecords) {
    TempDir dir;
    const std::string head = le32(4) + le32(4);
    std::string sst = head;
    // 1: 17,000 ASCII characters over three records.
    sst += le16(17000) + '\0' + std::string(8000, 'x');
    std::string cont1 = '\0' + std::string(8000, 'x');
    std::string cont2 = '\0' + std::string(1000, 'x');
    // 2: 8,300 あ, cut in the middle of a character.
    cont2 += le16(8300) + '\1' + wideA(3000) + utf16("あ").substr(0, 1);
    std::string cont3 = '\1' + utf16("あ").substr(1) + wideA(5299);
    // 3: wide, then one byte a character, then wide again.
    cont3 += le16(6) + '\1' + utf16("漢a");
    std::string cont4 = '\0' + std::string("bc") + "";
    std::string cont5 = '\1' + utf16("字d");
    // 4: a text with rich-text runs and phonetic data, both cut over records.
    cont5 += le16(2) + '\x0D' + le16(1) + le32(6) + utf16("表");
    std::string cont6 = '\1' + utf16("示") + std::string(4, 'r');
    std::string cont7 = std::string(6, 'p');
    Book book;
    book.globals = record(kSst, sst) + record(kContinue, cont1) + record(kContinue, cont2) +
                   record(kContinue, cont3) + record(kContinue, cont4) + record(kContinue, cont5) +
                   record(kContinue, cont6) + record(kContinue, cont7);
    std::string s;
    for (uint16_t i = 0; i < 4; ++i)
        s += record(kLabelSst, cell(i, 0) + le32(i));
    book.sheets = {{"S", s}};
    const Read r = readBook(dir, book);
    expectCells(r, {
                       {"S!A1", CellKind::Text, std::string(17000, 'x'), nullptr},
                       {"S!A2", CellKind::Text, repeat("あ", 8300), nullptr},
                       {"S!A3", CellKind::Text, "漢abc字d", nullptr},
                       {"S!A4", CellKind::Text, "表示", nullptr},
                   });
}

// A formula's text result in a STRING record run on over CONTINUE records, in both forms writers
// use: each continuation with its flag byte, or the bytes going on without one (and a two-byte
// character cut between records).
TEST(XlsReader, ReadsLongFormulaTextsInEitherContinuationForm) {
    const std::string ab = repeat("ab", 4200) + "!";
    struct Case {
        const char* what;
        std::vector<std::string> records;  // the STRING record's data, then each CONTINUE's
        std::string expected;
    };
    const std::string wide = wideA(5000);
    const Case cases[] = {
        {"one byte a character, flag bytes",
         {le16(8401) + '\0' + ab.substr(0, 8221), '\0' + ab.substr(8221)},
         ab},
        {"one byte a character, no flag bytes",
         {le16(8401) + '\0' + ab.substr(0, 8221), ab.substr(8221)},
         ab},
        {"two bytes a character, flag bytes",
         {le16(5000) + '\1' + wide.substr(0, 8220), '\1' + wide.substr(8220)},
         repeat("あ", 5000)},
        {"two bytes a character cut between records, no flag bytes",
         {le16(5000) + '\1' + wide.substr(0, 8221), wide.substr(8221, 1001), wide.substr(9222)},
         repeat("あ", 5000)},
        {"the width changing at a flag byte",
         {le16(6) + '\0' + "abc", '\1' + utf16("あいう")},
         "abcあいう"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string s = formulaSpecial(0, 0, 0) + record(kString, c.records[0]);
        for (std::size_t i = 1; i < c.records.size(); ++i)
            s += record(kContinue, c.records[i]);
        s += record(kNumber, cell(1, 0) + f64(2.5));
        Book book;
        book.sheets = {{"S", s}};
        const Read r = readBook(dir, book);
        expectCells(r, {{"S!A1", CellKind::Text, c.expected, nullptr},
                        {"S!A2", CellKind::Number, "2.5", nullptr}});
    }
}

// Excel 5 and 95 workbooks: a stream named "Book", texts and sheet names in the workbook's code
// page, formula results of every kind.
TEST(XlsReader, ReadsExcel95WorkbooksInTheirCodePage) {
    struct Case {
        uint16_t codePage;
        std::string name, label, result;  // in the code page
        std::string nameUtf8, labelUtf8, resultUtf8;
    };
    const Case cases[] = {
        {932, "\x95\x5C", "\x93\xFA\x96\x7B\x8C\xEA", "xy", "表", "日本語", "xy"},
        {1252, "Gr\xB0",
         "5\xD7"
         "3\xB1"
         "1",
         "\xA7", "Gr°", "5×3±1", "§"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        Book book;
        book.biff8 = false;
        book.globals = record(kCodePage, le16(c.codePage));
        std::string s;
        s += record(kLabel, cell(0, 0) + le16(static_cast<uint16_t>(c.label.size())) + c.label);
        s += formulaNumber(1, 0, 42);
        s += formulaSpecial(1, 1, 0) +
             record(kString, le16(static_cast<uint16_t>(c.result.size())) + c.result);
        s += formulaSpecial(1, 2, 1, 1);
        s += record(kRk, cell(1, 3) + le32(43u << 2 | 2));
        book.sheets = {{c.name, s}};
        const Read r = readBook(dir, book, "Book");
        ASSERT_EQ(r.sheets.size(), 1u);
        EXPECT_EQ(zbq::cp932::toUtf8(r.sheets[0].name), c.nameUtf8);
        const std::string n = c.nameUtf8 + "!";
        expectCells(r, {{(n + "A1").c_str(), CellKind::Text, c.labelUtf8, nullptr},
                        {(n + "A2").c_str(), CellKind::Number, "42", nullptr},
                        {(n + "B2").c_str(), CellKind::Text, c.resultUtf8, nullptr},
                        {(n + "C2").c_str(), CellKind::Boolean, "TRUE", nullptr},
                        {(n + "D2").c_str(), CellKind::Number, "43", nullptr}});
    }
}

// Only worksheets are listed, hidden ones marked; a chart inside a sheet's records is passed over
// by its own BOF and EOF, and the sheet's cells after it are read.
TEST(XlsReader, ListsWorksheetsOnlyAndPassesOverSubstreams) {
    TempDir dir;
    Book book;
    const std::string chart = record(kBof, le16(0x0600) + le16(0x0020) + std::string(12, '\0')) +
                              record(kNumber, cell(20, 5) + f64(99)) + record(kEof, "");
    book.sheets = {
        {"data",
         record(kNumber, cell(0, 0) + f64(1)) + chart + record(kNumber, cell(1, 0) + f64(2))},
        {"chart", record(kNumber, cell(0, 0) + f64(5)), 0, 2, 0x0020},
        {"hidden", record(kNumber, cell(0, 0) + f64(3)), 1},
        {"dialog", record(0x0081, le16(0x0010)) + record(kNumber, cell(0, 0) + f64(4))},
        {"macro", record(kNumber, cell(0, 0) + f64(6)), 0, 1, 0x0040},
    };
    const Read r = readBook(dir, book);
    ASSERT_EQ(r.sheets.size(), 2u);
    EXPECT_EQ(r.sheets[0].name, "data");
    EXPECT_FALSE(r.sheets[0].hidden);
    EXPECT_EQ(r.sheets[1].name, "hidden");
    EXPECT_TRUE(r.sheets[1].hidden);
    expectCells(r, {{"data!A1", CellKind::Number, "1", nullptr},
                    {"data!A2", CellKind::Number, "2", nullptr},
                    {"hidden!A1", CellKind::Number, "3", nullptr}});
    EXPECT_EQ(r.ranges.at("data"), (UsedRange{1, 2, 1, 1}));
}

// Damage is refused with the reader's failure, never read short; a STRING record too short to
// hold its own header only leaves its formula without a value.
TEST(XlsReader, RefusesDamageInsteadOfReadingShort) {
    enum class At { Open, Sheet, Nowhere };
    struct Case {
        const char* what;
        std::function<std::string()> file;  // the whole file's bytes
        At at;
        ReadError error;
    };
    auto compound = [](const std::string& stream) {
        TempDir scratch;
        const std::string p = scratch.file("c.xls");
        writeCompound(p, "Workbook", stream);
        return zbq::test::readFile(p);
    };
    auto oneSheet = [&](const std::string& records) {
        Book book;
        book.sheets = {{"S", records}};
        return stream(book);
    };
    const std::string cells = record(kNumber, cell(0, 0) + f64(1)) +
                              record(kNumber, cell(1, 0) + f64(43)) +
                              record(kNumber, cell(2, 0) + f64(2.5));
    const Case cases[] = {
        {"a record running past the stream's end mid-sheet",
         [&] {
             std::string s = oneSheet(cells);
             return compound(s.substr(0, s.size() - 4 - 9));
         },
         At::Sheet, ReadError::Damaged},
        {"the stream ending before the sheet's EOF",
         [&] {
             std::string s = oneSheet(cells);
             return compound(s.substr(0, s.size() - 4));
         },
         At::Sheet, ReadError::Damaged},
        {"a text-result formula with no STRING after it",
         [&] { return compound(oneSheet(formulaSpecial(0, 0, 0) + cells)); }, At::Sheet,
         ReadError::Damaged},
        {"a text-result formula last in its sheet",
         [&] { return compound(oneSheet(cells + formulaSpecial(5, 0, 0))); }, At::Sheet,
         ReadError::Damaged},
        {"a STRING record shorter than its header",
         [&] {
             return compound(oneSheet(formulaSpecial(5, 0, 0) + record(kString, "\x01") + cells));
         },
         At::Nowhere, ReadError::None},
        {"a cell past the 256th column",
         [&] { return compound(oneSheet(cells + record(kNumber, cell(0, 256) + f64(1)))); },
         At::Sheet, ReadError::Damaged},
        {"a shared string past the table",
         [&] { return compound(oneSheet(record(kLabelSst, cell(0, 0) + le32(0)))); }, At::Sheet,
         ReadError::Damaged},
        {"a sheet entry pointing past the stream",
         [&] {
             std::string s = oneSheet(cells);
             const std::size_t at = s.find(std::string("\x85\x00", 2)) + 4;
             s.replace(at, 4, le32(0x7FFFFFFF));
             return compound(s);
         },
         At::Open, ReadError::Damaged},
        {"an encrypted workbook",
         [&] {
             Book book;
             book.globals = record(kFilePass, le16(1) + std::string(52, '\0'));
             book.sheets = {{"S", cells}};
             return compound(stream(book));
         },
         At::Open, ReadError::Encrypted},
        {"an Excel 4 workbook",
         [] { return record(0x0409, le16(0) + le16(0x0010) + le16(0)) + record(kEof, ""); },
         At::Open, ReadError::TooOld},
        {"an Excel 2 workbook",
         [] { return record(0x0009, le16(2) + le16(0x0010)) + record(kEof, ""); }, At::Open,
         ReadError::TooOld},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("d.xls");
        zbq::test::writeFile(path, c.file());
        ReadFailure failure;
        auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
        if (c.at == At::Open) {
            EXPECT_EQ(book, nullptr);
            EXPECT_EQ(failure.error, c.error) << failure.detail;
            const std::string why =
                c.error == ReadError::Encrypted
                    ? "\n" + literal("パスワードで保護されたブックは読み込めません。")
                : c.error == ReadError::TooOld
                    ? "\n" + literal("ブックの形式が古すぎるため読み込めません。")
                    : "";
            EXPECT_EQ(readFailureMessage(failure, "d.xls"),
                      literal("Excelのシート名の取得に失敗しました。処理を中止します。") + why);
            continue;
        }
        ASSERT_NE(book, nullptr) << failure.detail;
        const Read r = readAll(path, failure);
        EXPECT_EQ(failure.error, c.error) << failure.detail;
        if (c.at == At::Nowhere) {
            EXPECT_EQ(r.cells.size(), 3u);
            EXPECT_EQ(r.cells.count("S!A6"), 0u);
        }
    }
}

// Rows are read from the records as they come where those are in order, and from a list of the
// cells where they are not (the last record for a cell in force); either way only the rows asked
// for are handed out, blank ones included, until the caller stops.
TEST(XlsReader, ReadsTheRowsAskedForWhateverTheRecordOrder) {
    const std::string inOrder =
        record(kNumber, cell(1, 1) + f64(1)) + record(kNumber, cell(3, 0) + f64(3)) +
        record(kNumber, cell(3, 2) + f64(4)) + record(kNumber, cell(5, 1) + f64(5));
    const std::string shuffled =
        record(kNumber, cell(5, 1) + f64(9)) + record(kNumber, cell(3, 2) + f64(4)) +
        record(kNumber, cell(1, 1) + f64(1)) + record(kNumber, cell(3, 0) + f64(3)) +
        record(kNumber, cell(5, 1) + f64(5));
    TempDir dir;
    for (const std::string& records : {inOrder, shuffled}) {
        SCOPED_TRACE(&records == &inOrder ? "in order" : "shuffled");
        Book book;
        book.sheets = {{"S", records}};
        const std::string path = dir.file("o.xls");
        writeCompound(path, "Workbook", stream(book));
        ReadFailure failure;
        auto wb = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
        ASSERT_TRUE(wb) << failure.detail;
        auto sheet = wb->openSheet(0, ReadStage::ReadData, &failure);
        ASSERT_TRUE(sheet) << failure.detail;
        EXPECT_EQ(sheet->usedRange(), (UsedRange{2, 6, 1, 3}));
        auto rowsOf = [&](uint32_t first, uint32_t last, int stopAfter) {
            std::string seen;
            int n = 0;
            EXPECT_TRUE(sheet->readRows(
                first, last, ReadStage::ReadData,
                [&](const RangeRow& row) {
                    seen += std::to_string(row.row) + ":";
                    for (const ReadCell& c : row.cells)
                        seen += (c.kind == CellKind::Empty ? "-" : c.text) + ",";
                    seen += " ";
                    return ++n < stopAfter;
                },
                &failure));
            return seen;
        };
        EXPECT_EQ(rowsOf(1, 1048576, 99), "2:-,1,-, 3:-,-,-, 4:3,-,4, 5:-,-,-, 6:-,5,-, ");
        EXPECT_EQ(rowsOf(3, 4, 99), "3:-,-,-, 4:3,-,4, ");
        EXPECT_EQ(rowsOf(4, 1048576, 1), "4:3,-,4, ");
    }
}
