// The used range skimmed from a worksheet's XML: the same range, merges and refusals however the
// part arrives in chunks, and the same range the reader learns as it reads every row. The cells
// the skim hands the reader: those a general XML scan finds, however the part arrives, and the
// texts the reader makes of their numbers.
#include "platform/workbook/sheet_range_skimmer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "platform/workbook/workbook_reader.h"
#include "platform/workbook/workbook_reader_formats.h"
#include "platform/workbook/xml_pull_scanner.h"
#include "tests/platform_workbook/workbook_reader_fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::workbook;
using zbq::test::sheetXml;

struct Skimmed {
    bool ok = false;
    std::string range;  // "B2:D4", "" for none
    std::vector<SheetMerge> merges;
    bool operator==(const Skimmed&) const = default;
};

// Skims `xml` handed out at most `piece` bytes a call, asked for in chunks of that size.
Skimmed skim(const std::string& xml, std::size_t piece, std::size_t strings = 3) {
    std::size_t at = 0;
    SheetRangeSkimmer skimmer(
        [&](char* data, std::size_t size) -> long long {
            const std::size_t n = std::min({size, piece, xml.size() - at});
            std::memcpy(data, xml.data() + at, n);
            at += n;
            return static_cast<long long>(n);
        },
        strings, piece);
    Skimmed out;
    out.ok = skimmer.run();
    if (!out.ok) return out;
    const UsedRange& r = skimmer.range();
    if (!r.empty())
        out.range = cellName(r.firstColumn, r.firstRow) + ":" + cellName(r.lastColumn, r.lastRow);
    out.merges = skimmer.merges();
    return out;
}

// Whole, with room after it (where plain cells are read in one go), and trickling in pieces of
// every small size: a token split anywhere reads the same.
Skimmed skimEveryWay(const std::string& xml, std::size_t strings = 3) {
    const Skimmed whole = skim(xml, xml.size() + 1, strings);
    const std::string roomy = xml + std::string(300, '\n');
    EXPECT_EQ(skim(roomy, roomy.size() + 1, strings), whole) << "with room after it";
    for (std::size_t piece : {1, 2, 3, 5, 7, 11, 4096})
        EXPECT_EQ(skim(xml, piece, strings), whole) << "in pieces of " << piece;
    return whole;
}

TEST(SheetRangeSkimmer, FindsTheRangeOfTheCellsThatHoldAValue) {
    struct Case {
        const char* what;
        std::string xml;
        std::string range;
    };
    const Case cases[] = {
        {"empty sheet", sheetXml(""), ""},
        {"cells without values",
         sheetXml(R"(<row r="3"><c r="B3" s="1"/><c r="C3"><v/></c>)"
                  R"(<c r="D3"><v></v></c><c r="E3"><f>A1</f></c></row>)"),
         ""},
        {"a lying dimension",
         R"(<worksheet><dimension ref="A1:Z99"/><sheetData><row r="4"><c r="C4"><v>1</v></c></row>)"
         R"(</sheetData></worksheet>)",
         "C4:C4"},
        {"cells and rows without r",
         sheetXml(
             R"(<row><c><v>1</v></c><c/><c><v>2</v></c></row><row><c r="B2"><v>3</v></c></row>)"),
         "A1:C2"},
        {"widest row in the middle",
         sheetXml(R"(<row r="2"><c r="C2"><v>1</v></c></row><row r="5"><c r="A5"><v>1</v></c>)"
                  R"(<c r="F5"><v>1</v></c></row><row r="9"><c r="D9"><v>1</v></c></row>)"),
         "A2:F9"},
        {"an inline string, even an empty one",
         sheetXml(R"(<row r="1"><c r="B1" t="inlineStr"><is/></c><c r="D1" t="inlineStr">)"
                  R"(<is><t>x</t></is></c></row>)"),
         "B1:D1"},
        {"values in CDATA, after a comment, as a reference",
         sheetXml(
             R"(<row r="1"><c r="A1"><v><![CDATA[1]]></v></c><c r="B1"><v><![CDATA[]]></v></c>)"
             R"(<c r="C1"><v><!-- x -->2</v></c><c r="D1" t="s"><v>&#50;</v></c></row>)"),
         "A1:D1"},
        {"a blank but present value", sheetXml(R"(<row r="7"><c r="G7"><v> </v></c></row>)"),
         "G7:G7"},
        {"text of other elements is no value",
         sheetXml(
             R"(<row r="1"><c r="A1"><f>1+1</f><x>5</x></c><c r="B1"><v><x>5</x></v></c></row>)"),
         ""},
        {"prefixed names and attributes",
         R"(<x:worksheet xmlns:x="m"><x:sheetData><x:row x:r="2"><x:c x:r="E2" x:t="s"><x:v>1</x:v>)"
         R"(</x:c></x:row></x:sheetData></x:worksheet>)",
         "E2:E2"},
        {"sheetData nested deeper is no table",
         R"(<worksheet><x><sheetData><row r="1"><c r="A1"><v>1</v></c></row></sheetData></x>)"
         R"(</worksheet>)",
         ""},
        {"quotes of both kinds and a '>' in values",
         sheetXml(R"(<row r="2" note='a>"b'><c r="B2" t='n' x="'>"><v>1</v></c></row>)"), "B2:B2"},
        {"leading zeros in numbers",
         sheetXml(R"(<row r="02"><c r="B002" s="01"><v>1</v></c><c r="C2" t="s"><v>002</v></c>)"
                  R"(</row>)"),
         "B2:C2"},
        {"a byte-order mark before everything",
         "\xEF\xBB\xBF" + sheetXml(R"(<row r="2"><c r="B2"><v>1</v></c></row>)"), "B2:B2"},
        {"values and attributes about as long as a plain cell, and longer",
         sheetXml(
             R"(<row r="5"><c r="B5" t="s"><v>0000000000000002</v></c>)"
             R"(<c r="C5" t="s"><v>00000000000000000002</v></c>)"
             R"(<c r="D5" s="000000001" t="n" x="0123456789012345678901234567890123"><v>1</v></c>)"
             R"(<c r="E5"><v>1234567890123456789012345678901234567890123456789012345</v></c>)"
             R"(<c r="F5" x="a>b"><v>1</v></c></row>)"),
         "B5:F5"},
        {"rows of every spelling after a row",
         sheetXml(R"(<row r="2" spans="1:3"><c r="B2"><v>1</v></c></row>)"
                  R"(<row spans="1:3" r="4" ht="20.25"><c r="C4"><v>1</v></c></row>)"
                  R"(<row r="5" r="9"><c r="A5"><v>1</v></c></row>)"
                  R"(<row x:r="6" r="9"><c r="A6"><v>1</v></c></row >)"
                  R"(<row><c r="D7"><v>1</v></c></row><row r="0008" note='a>b'><c r="A8"/></row>)"
                  R"(<row r="10"><c><v>1</v></c></row>)"),
         "A2:D10"},
        {"long tokens across chunks",
         sheetXml(R"(<row r="3"><c r="B3" note=")" + std::string(9000, 'n') + R"("><v>1</v></c>)" +
                  "<!--" + std::string(5000, '-' + 1) + R"(--><c r="C3" t="inlineStr"><is><t>)" +
                  std::string(20000, 'a') + R"(</t></is></c><c r="D3"><v><![CDATA[)" +
                  std::string(6000, ' ') + R"(]]></v></c></row>)"),
         "B3:D3"},
        {"the last columns and rows",
         sheetXml(R"(<row r="1048576"><c r="XFD1048576"><v>1</v></c></row>)"),
         "XFD1048576:XFD1048576"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Skimmed got = skimEveryWay(c.xml);
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.range, c.range);
    }

    // Merged areas, in their order; those that name no area are left out.
    const Skimmed merged = skimEveryWay(sheetXml(
        R"(<row r="1"><c r="A1"><v>1</v></c></row>)",
        R"(<mergeCells><mergeCell ref="A1:B2"/><mergeCell ref="C3"/><mergeCell ref="D4:C4"/>)"
        R"(<mergeCell ref="E5:F9"/></mergeCells>)"));
    EXPECT_EQ(merged.merges, (std::vector<SheetMerge>{{1, 1, 2, 2}, {5, 5, 6, 9}}));
}

TEST(SheetRangeSkimmer, RefusesWhatTheReaderRefuses) {
    const std::string row1 = R"(<row r="1">)";
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "<x>";
    const std::pair<const char*, std::string> cases[] = {
        {"no element", ""},
        {"text outside the root", "x" + sheetXml("")},
        {"a byte-order mark after the declaration", R"(<?xml version="1.0"?>)"
                                                    "\xEF\xBB\xBF" +
                                                        sheetXml("")},
        {"a second root", sheetXml("") + "<worksheet/>"},
        {"cut short", sheetXml(row1 + "<c><v>1</v></c></row>").substr(0, 140)},
        {"ends inside a tag", sheetXml("").substr(0, 110)},
        {"end tags that do not match", sheetXml(row1 + "<c><v>1</c></v></row>")},
        {"an end tag without a start", sheetXml("") + "</x>"},
        {"'<' in an attribute value", sheetXml(row1 + R"(<c r="A1" x="a<b"><v>1</v></c></row>)")},
        {"an attribute without a value", sheetXml(row1 + R"(<c r><v>1</v></c></row>)")},
        {"an unquoted value", sheetXml(row1 + R"(<c r=A1><v>1</v></c></row>)")},
        {"attributes without space", sheetXml(row1 + R"(<c r="A1"s="1"><v>1</v></c></row>)")},
        {"a stray slash", sheetXml(row1 + R"(<c r="A1" / ><v>1</v></c></row>)")},
        {"an undefined entity", sheetXml(row1 + "<c><v>&lol;</v></c></row>")},
        {"an undefined entity outside values", sheetXml(row1 + "<c><f>&lol;</f></c></row>")},
        {"a document type declaration", "<!DOCTYPE x []>" + sheetXml("")},
        {"a comment without its end", sheetXml(row1 + "<!-- </row>")},
        {"CDATA without its end", sheetXml(row1 + "<c><v><![CDATA[1</v></c></row>")},
        {"a string index past its table",
         sheetXml(R"(<row r="9"><c r="A9" t="s"><v>3</v></c></row>)")},
        {"a string index past its table, spelled long",
         sheetXml(R"(<row r="9"><c r="A9" t="s"><v>0000000000000003</v></c></row>)")},
        {"a string index past its table, spelled longer",
         sheetXml(R"(<row r="9"><c r="A9" t="s"><v>00000000000000000003</v></c></row>)")},
        {"a string index that is none",
         sheetXml(R"(<row r="9"><c r="A9" t="s"><v> 1</v></c></row>)")},
        {"an inline string typed as shared",
         sheetXml(R"(<row r="9"><c r="A9" t="s"><is><t>a</t></is></c></row>)")},
        {"cells out of order", sheetXml(row1 + R"(<c r="B1"><v>1</v></c><c r="A1"/></row>)")},
        {"a cell in another row", sheetXml(row1 + R"(<c r="A2"/></row>)")},
        {"a cell reference that is none", sheetXml(row1 + R"(<c r="1A"/></row>)")},
        {"rows out of order", sheetXml(R"(<row r="3"/><row r="3"/>)")},
        {"rows out of order after a row",
         sheetXml(R"(<row r="3"><c r="A3"><v>1</v></c></row><row r="3"><c r="B3"/></row>)")},
        {"a row number that is none after a row",
         sheetXml(R"(<row r="3"><c r="A3"><v>1</v></c></row><row r="4x"><c r="B4"/></row>)")},
        {"a row past the last after a row",
         sheetXml(R"(<row r="3"><c r="A3"><v>1</v></c></row><row r="1048577"></row>)")},
        {"'<' in a row's attribute after a row",
         sheetXml(R"(<row r="3"><c r="A3"><v>1</v></c></row><row r="4" x="<"></row>)")},
        {"a row closed by another name",
         sheetXml(R"(<row r="3"><c r="A3"><v>1</v></c></rows><row r="4"></row>)")},
        {"a row number that is none", sheetXml(R"(<row r="x"/>)")},
        {"a row past the last", sheetXml(R"(<row r="1048577"/>)")},
        {"a cell past XFD", sheetXml(row1 + R"(<c r="XFD1"/><c/></row>)")},
        {"a bad style index", sheetXml(row1 + R"(<c r="A1" s="-1"/></row>)")},
        {"an empty style index", sheetXml(row1 + R"(<c r="A1" s=""><v>1</v></c></row>)")},
        {"a style index past 32 bits",
         sheetXml(row1 + R"(<c r="A1" s="4294967296"><v>1</v></c></row>)")},
        {"elements nested without end", sheetXml("", deep)},
    };
    for (const auto& [what, xml] : cases) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(skimEveryWay(xml).ok);
    }
}

// A large sheet of every kind of cell, with long texts that fall across the chunks the part
// inflates in: the skimmed range is the one the reading learns again from every row (which fails
// as damaged where the two differ), and its merges too.
TEST(SheetRangeSkimmer, AgreesWithTheReadingOfEveryRow) {
    std::mt19937 rng(11);
    std::string rows;
    for (int r = 2; r < 4000; r += 1 + static_cast<int>(rng() % 3)) {
        rows += "<row r=\"" + std::to_string(r) + "\">";
        for (uint32_t c = 2 + rng() % 4; c < 30; c += 1 + rng() % 5) {
            const std::string ref = cellName(c, static_cast<uint32_t>(r));
            switch (rng() % 7) {
                case 0:
                    rows +=
                        "<c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string(rng() % 2) + "</v></c>";
                    break;
                case 1:
                    rows += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" +
                            std::string(rng() % 3000, 'a') + "&amp;</t></is></c>";
                    break;
                case 2:
                    rows += "<c r=\"" + ref + "\" s=\"0\"/>";
                    break;
                case 3:
                    rows += "<c r=\"" + ref + "\"><!--" + std::string(rng() % 500, '-' + 1) +
                            "--><v>" + std::to_string(rng()) + "</v></c>";
                    break;
                case 4:
                    rows += "<c r=\"" + ref + "\" t=\"str\"><f>A1</f><v><![CDATA[" +
                            std::string(rng() % 200, 'x') + "]]></v></c>";
                    break;
                case 5:
                    rows += "<c r=\"" + ref + "\" note=\"" + std::string(rng() % 2000, 'n') +
                            "\"><v>1.5</v></c>";
                    break;
                default:
                    rows += "<c r=\"" + ref + "\"><v></v></c>";
                    break;
            }
        }
        rows += "</row>";
    }
    zbq::test::TempDir dir;
    const std::string path = dir.file("large.xlsx");
    zbq::test::AssembledBook book;
    book.sheets.emplace_back(
        "S", sheetXml(rows, R"(<mergeCells><mergeCell ref="C5:D9"/><mergeCell ref="Z100:AB200"/>)"
                            R"(</mergeCells>)"));
    book.sharedStrings =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>a</t></si>)"
        R"(<si><t>b</t></si></sst>)";
    zbq::test::writeAssembledBook(path, book);
    ASSERT_GT(book.sheets[0].second.size(), std::size_t{4} << 20) << "larger than a few chunks";

    ReadFailure failure;
    auto reader = WorkbookReader::open(path, ReadStage::ReadItems, &failure);
    ASSERT_TRUE(reader) << failure.detail;
    auto sheet = reader->openSheet(0, ReadStage::ReadItems, &failure);
    ASSERT_TRUE(sheet) << failure.detail;
    const KnownScan scan = sheet->scan();
    EXPECT_EQ(scan->merges.size(), 2u);
    EXPECT_EQ(skim(book.sheets[0].second, 4093, 2).range,
              cellName(scan->range.firstColumn, scan->range.firstRow) + ":" +
                  cellName(scan->range.lastColumn, scan->range.lastRow));
    auto again = WorkbookReader::open(path, ReadStage::ReadData, &failure);
    ASSERT_TRUE(again) << failure.detail;
    auto confirmed = again->openSheet(0, ReadStage::ReadData, &failure, scan);
    ASSERT_TRUE(confirmed) << failure.detail;
    std::size_t rowsRead = 0;
    EXPECT_TRUE(confirmed->readRows(
        1, 1048576, ReadStage::ReadData,
        [&](const RangeRow&) {
            ++rowsRead;
            return true;
        },
        &failure))
        << failure.detail;
    EXPECT_EQ(rowsRead, scan->range.lastRow - scan->range.firstRow + 1);
}

// Sheets damaged at random: the skimmer refuses every one the pull scanner finds malformed,
// reads each the same however it arrives, and never hands the reading a range that the reading
// then finds the sheet disagrees with.
TEST(SheetRangeSkimmer, DamagedSheetsAreRefusedOrReadAlike) {
    std::string rows;
    for (int r = 1; r <= 40; ++r) {
        const std::string n = std::to_string(r);
        rows += "<row r=\"" + n + "\" spans=\"1:6\"><c r=\"A" + n + "\"><v>" + n +
                "</v></c><c r=\"B" + n + "\" s=\"1\"><v>4" + n + "</v></c><c r=\"C" + n +
                "\" t=\"s\"><v>" + std::to_string(r % 2) + "</v></c><c r=\"E" + n +
                "\" t=\"inlineStr\"><is><t>a&amp;b</t></is></c><c r=\"F" + n + "\"/></row>";
    }
    const std::string good = sheetXml(rows, R"(<mergeCells><mergeCell ref="A1:B2"/></mergeCells>)");
    const std::string strings =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>a</t></si>)"
        R"(<si><t>b</t></si></sst>)";
    const std::string marks = "<>\"'/=&; cvrst019AZ:!?-";
    std::mt19937 rng(5);
    zbq::test::TempDir dir;
    int refused = 0, read = 0;
    for (int i = 0; i < 300; ++i) {
        std::string xml = good;
        for (unsigned k = 0, n = 1 + rng() % 3; k < n; ++k)
            xml[100 + rng() % (xml.size() - 100)] = marks[rng() % marks.size()];
        SCOPED_TRACE(xml);
        const Skimmed skimmed = skimEveryWay(xml, 2);

        XmlPullScanner pull([&, at = std::size_t{0}](char* data, std::size_t size) mutable {
            const std::size_t n = std::min(size, xml.size() - at);
            std::memcpy(data, xml.data() + at, n);
            at += n;
            return static_cast<long long>(n);
        });
        bool malformed = false;
        for (std::string text;;) {
            const auto ev = pull.next();
            if (ev == XmlPullScanner::Event::End) break;
            if (ev == XmlPullScanner::Event::Error ||
                (ev == XmlPullScanner::Event::Text && !pull.appendText(text))) {
                malformed = true;
                break;
            }
        }
        if (malformed) {
            EXPECT_FALSE(skimmed.ok) << "the pull scanner refuses it";
        }
        if (!skimmed.ok) {
            ++refused;
            continue;
        }
        ++read;
        const std::string path = dir.file("m" + std::to_string(i) + ".xlsx");
        zbq::test::AssembledBook book;
        book.sheets.emplace_back("S", xml);
        book.sharedStrings = strings;
        zbq::test::writeAssembledBook(path, book);
        ReadFailure failure;
        auto reader = WorkbookReader::open(path, ReadStage::ReadItems, &failure);
        ASSERT_TRUE(reader) << failure.detail;
        auto sheet = reader->openSheet(0, ReadStage::ReadItems, &failure);
        ASSERT_TRUE(sheet) << failure.detail;
        auto again = reader->openSheet(0, ReadStage::ReadData, &failure, sheet->scan());
        ASSERT_TRUE(again) << failure.detail;
        if (!again->readRows(
                1, 1048576, ReadStage::ReadData, [](const RangeRow&) { return true; }, &failure)) {
            EXPECT_EQ(failure.detail.find("no longer agrees"), std::string::npos) << failure.detail;
        }
    }
    // Both ways are taken often enough to mean something.
    EXPECT_GT(refused, 100);
    EXPECT_GT(read, 20);
}

// Each cell and row end as one line: "c B3 s1 t2 v[..] i[..]" (no v or i where the cell has
// no <v> or <is>), "r 3".
std::string cellLine(const SkimmedCell& c) {
    std::string line = "c " + cellName(c.column, c.row) + " s" + std::to_string(c.style) + " t" +
                       std::to_string(static_cast<int>(c.type));
    if (c.hasValue) line += " v[" + std::string(c.value) + "]";
    if (c.hasInline) line += " i[" + std::string(c.inlineText) + "]";
    return line;
}

struct Lines final : CellSink {
    std::vector<std::string> lines;
    std::size_t stopAfter = SIZE_MAX;
    bool cell(const SkimmedCell& c) override {
        lines.push_back(cellLine(c));
        return lines.size() < stopAfter;
    }
    bool rowEnd(uint32_t row) override {
        lines.push_back("r " + std::to_string(row));
        return lines.size() < stopAfter;
    }
};

// The skim's cells of `xml` handed out at most `piece` bytes a call.
std::vector<std::string> skimmedCells(const std::string& xml, std::size_t piece,
                                      std::size_t stopAfter = SIZE_MAX) {
    std::size_t at = 0;
    SheetRangeSkimmer skimmer(
        [&](char* data, std::size_t size) -> long long {
            const std::size_t n = std::min({size, piece, xml.size() - at});
            std::memcpy(data, xml.data() + at, n);
            at += n;
            return static_cast<long long>(n);
        },
        1000, piece);
    Lines lines;
    lines.stopAfter = stopAfter;
    skimmer.readCells(&lines);
    EXPECT_TRUE(skimmer.run()) << skimmer.error();
    EXPECT_EQ(skimmer.stopped(), stopAfter != SIZE_MAX);
    return lines.lines;
}

// The same cells found by the general pull scanner, element by element: the reference.
std::vector<std::string> pulledCells(const std::string& xml) {
    enum class In { Other, SheetData, Row, Cell, Value, Inline, Run, Text };
    XmlPullScanner pull([&, at = std::size_t{0}](char* data, std::size_t size) mutable {
        const std::size_t n = std::min(size, xml.size() - at);
        std::memcpy(data, xml.data() + at, n);
        at += n;
        return static_cast<long long>(n);
    });
    std::vector<std::string> lines;
    std::vector<In> open;
    SkimmedCell cell;
    std::string value, inlineText;
    uint32_t row = 0, column = 0;
    auto endCell = [&] {
        cell.value = value;
        cell.inlineText = inlineText;
        lines.push_back(cellLine(cell));
    };
    for (;;) {
        const auto ev = pull.next();
        if (ev == XmlPullScanner::Event::End) break;
        if (ev == XmlPullScanner::Event::Error) {
            ADD_FAILURE() << pull.error();
            break;
        }
        const In at = open.empty() ? In::Other : open.back();
        if (ev == XmlPullScanner::Event::Text) {
            if (at == In::Value) pull.appendText(value);
            if (at == In::Text) pull.appendText(inlineText);
            continue;
        }
        if (ev == XmlPullScanner::Event::EndElement) {
            open.pop_back();
            if (at == In::Cell) endCell();
            if (at == In::Row) lines.push_back("r " + std::to_string(row));
            continue;
        }
        const std::string_view name = pull.localName();
        std::string_view attr;
        In here = In::Other;
        if (name == "sheetData" && open.size() == 1) {
            here = In::SheetData;
        } else if (name == "row" && at == In::SheetData) {
            row = pull.attribute("r", attr) ? static_cast<uint32_t>(std::stoul(std::string(attr)))
                                            : row + 1;
            column = 0;
            here = In::Row;
        } else if (name == "c" && at == In::Row) {
            cell = SkimmedCell{};
            cell.row = row;
            cell.column = column + 1;
            if (pull.attribute("r", attr)) detail::parseCellRef(attr, cell.column, cell.row);
            column = cell.column;
            if (pull.attribute("s", attr)) detail::parseUnsigned(attr, cell.style);
            if (pull.attribute("t", attr)) cell.type = cellTypeOf(attr);
            value.clear();
            inlineText.clear();
            here = In::Cell;
        } else if (name == "v" && at == In::Cell) {
            cell.hasValue = true;
            here = In::Value;
        } else if (name == "is" && at == In::Cell) {
            cell.hasInline = true;
            here = In::Inline;
        } else if (name == "r" && at == In::Inline) {
            here = In::Run;
        } else if (name == "t" && (at == In::Inline || at == In::Run)) {
            here = In::Text;
        }
        if (!pull.selfClosing()) {
            open.push_back(here);
        } else if (here == In::Cell) {
            endCell();
        } else if (here == In::Row) {
            lines.push_back("r " + std::to_string(row));
        }
    }
    return lines;
}

TEST(SheetRangeSkimmer, HandsTheReaderTheCellsAGeneralScanFinds) {
    // Cells of every form, in rows of both spellings: plain ones the skim reads in one go, and
    // others it reads step by step.
    std::mt19937 rng(3);
    std::string rows;
    for (int r = 1; r < 400; r += 1 + static_cast<int>(rng() % 3)) {
        const std::string n = std::to_string(r);
        rows += rng() % 2 ? "<row r=\"" + n + "\" spans=\"1:30\">"
                          : "<row r=\"" + n +
                                "\" customFormat=\"false\" ht=\"12.8\" hidden=\"false\" "
                                "customHeight=\"false\" outlineLevel=\"0\" collapsed=\"false\">";
        for (uint32_t c = 1 + rng() % 4; c < 30; c += 1 + rng() % 4) {
            const std::string ref = "r=\"" + cellName(c, static_cast<uint32_t>(r)) + "\"";
            const std::string s = std::to_string(rng() % 12);
            switch (rng() % 12) {
                case 0:
                    rows += "<c " + ref + " s=\"" + s + "\" t=\"s\"><v>" +
                            std::to_string(rng() % 1000) + "</v></c>";
                    break;
                case 1:
                    rows += "<c " + ref + " s=\"" + s + "\" t=\"n\"><v>" +
                            std::to_string(rng() % 100000) + "." + std::to_string(rng() % 1000) +
                            "</v></c>";
                    break;
                case 2:
                    rows += "<c " + ref + " s=\"" + s + "\"/>";
                    break;
                case 3:
                    rows += "<c " + ref + " t=\"inlineStr\"><is><r><t>ri</t></r><r><rPr/><t>" +
                            std::string(rng() % 40, 'x') +
                            "&amp;</t></r><rPh sb=\"0\" eb=\"1\"><t>ルビ</t></rPh></is></c>";
                    break;
                case 4:
                    rows += "<c " + ref + " t=\"str\"><f>A1&amp;B1</f><v><![CDATA[a<b]]>c</v></c>";
                    break;
                case 5:
                    rows += "<c " + ref + " t=\"b\" x=\"" + std::string(rng() % 80, 'n') +
                            "\"><v>1</v></c>";
                    break;
                case 6:
                    rows += "<c " + ref + "><v></v></c>";
                    break;
                case 7:
                    rows += "<c " + ref + " t=\"e\" s=\"" + s + "\"><v>#N/A</v></c>";
                    break;
                case 8:
                    rows += "<c t=\"d\"><v>2024-03-05T07:05:09</v></c>";
                    break;
                case 9:
                    rows += "<c " + ref + "><v>" + std::string(rng() % 30, '7') + "</v></c>";
                    break;
                case 10:
                    rows += "<c " + ref + " t=\"inlineStr\"><v>_x0041_</v><is/></c>";
                    break;
                default:
                    rows += "<c " + ref + " s='" + s + "'><v>1</v><v>2</v></c>";
                    break;
            }
        }
        rows += "</row>";
        if (rng() % 5 == 0) {
            rows += "<row/>";  // the next row's number
            ++r;
        }
    }
    const std::string xml = sheetXml(rows);
    const std::vector<std::string> want = pulledCells(xml);
    ASSERT_GT(want.size(), 1000u);
    EXPECT_EQ(skimmedCells(xml, xml.size() + 1), want);
    const std::string roomy = xml + std::string(300, '\n');
    EXPECT_EQ(skimmedCells(roomy, roomy.size() + 1), want) << "with room after it";
    for (std::size_t piece : {1, 2, 3, 5, 7, 11, 4096})
        EXPECT_EQ(skimmedCells(xml, piece), want) << "in pieces of " << piece;
    // A sink that stops is handed nothing more.
    for (std::size_t piece : {std::size_t{7}, xml.size() + 1}) {
        const auto part = skimmedCells(xml, piece, 500);
        EXPECT_EQ(part, std::vector<std::string>(want.begin(), want.begin() + 500));
    }
}

// Numbers keep the text they are stored with where it is the one the reader would print, and
// are printed where it is not: either way the text is the number's own.
TEST(SheetRangeSkimmer, TheReaderGivesEveryNumberItsOwnText) {
    const char* const spellings[] = {
        "0",
        "-0",
        "7",
        "-7",
        "007",
        "1.50",
        "1.5",
        "-0.5",
        "0.0001",
        "0.00001",
        "0.00012345",
        "123456789012345",
        "-123456789012345",
        "1234567890123456",
        "12345678901234567890",
        "0.123456789012345",
        "0.1234567890123456",
        "123456789012.345",
        "12345678901234.56",
        "1e5",
        "1E-3",
        " 42 ",
        "3.14159265358979",
        "0.30000000000000004",
        "1000000000000000",
        "999999999999999",
        "5.",
        ".5",
        "0.10",
        "00.5",
    };
    std::string cells;
    uint32_t column = 0;
    for (const char* s : spellings)
        cells += "<c r=\"" + cellName(++column, 1) + "\"><v>" + s + "</v></c>";
    zbq::test::TempDir dir;
    const std::string path = dir.file("numbers.xlsx");
    zbq::test::AssembledBook book;
    book.sheets.emplace_back("S", sheetXml("<row r=\"1\">" + cells + "</row>"));
    zbq::test::writeAssembledBook(path, book);
    ReadFailure failure;
    auto reader = WorkbookReader::open(path, ReadStage::ReadData, &failure);
    ASSERT_TRUE(reader) << failure.detail;
    auto sheet = reader->openSheet(0, ReadStage::ReadData, &failure);
    ASSERT_TRUE(sheet) << failure.detail;
    std::vector<ReadCell> got;
    ASSERT_TRUE(sheet->readRows(
        1, 1, ReadStage::ReadData,
        [&](const RangeRow& r) {
            got = r.cells;
            return true;
        },
        &failure))
        << failure.detail;
    ASSERT_EQ(got.size(), std::size(spellings));
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(spellings[i]);
        std::string_view v = spellings[i];
        while (v.front() == ' ')
            v.remove_prefix(1);
        while (v.back() == ' ')
            v.remove_suffix(1);
        double want = 0;
        std::from_chars(v.data(), v.data() + v.size(), want);
        EXPECT_EQ(got[i].kind, CellKind::Number);
        EXPECT_EQ(got[i].number, want);
        EXPECT_EQ(got[i].text, numberText(want));
    }
}

}  // namespace
