// Damaged and hostile workbooks: each is refused with its stage's message, at the step that
// meets the damage, without touching the file; texts CP932 cannot hold are named by sheet and
// cell.
#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader.h"
#include "platform/workbook/xml_pull_scanner.h"
#include "platform/workbook/zip_package.h"
#include "tests/platform_workbook/workbook_reader_fixtures.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::workbook;
using zbq::cp932::literal;
using zbq::test::AssembledBook;
using zbq::test::sheetXml;
using zbq::test::TempDir;

enum class FailsAt { Open, OpenSheet, ReadRows };

// Opens the workbook, its first sheet and reads all its rows, stopping at the first failure.
FailsAt readThrough(const std::string& path, ReadStage stage, ReadFailure& failure) {
    auto book = WorkbookReader::open(path, stage, &failure);
    if (!book) return FailsAt::Open;
    auto sheet = book->openSheet(0, stage, &failure);
    if (!sheet) return FailsAt::OpenSheet;
    if (!sheet->readRows(
            1, 1048576, stage, [](const RangeRow&) { return true; }, &failure))
        return FailsAt::ReadRows;
    ADD_FAILURE() << "read without a failure";
    return FailsAt::ReadRows;
}

AssembledBook oneSheet(const std::string& sheet) {
    AssembledBook book;
    book.sheets.emplace_back("S", sheet);
    return book;
}

std::vector<std::pair<std::string, std::string>> partsWithout(const AssembledBook& book,
                                                              const std::string& part) {
    auto parts = zbq::test::assembledParts(book);
    std::erase_if(parts, [&](const auto& p) { return p.first == part; });
    return parts;
}

std::string goodSheet() {
    return sheetXml(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
}

std::string bytesOfGoodBook(const TempDir& dir) {
    const std::string p = dir.file("good.xlsx");
    zbq::test::writeAssembledBook(p, oneSheet(goodSheet()));
    return zbq::test::readFile(p);
}

// The book's parts stored uncompressed with true sizes and checksums, to be damaged one by one.
std::vector<zbq::test::RawZipEntry> storedEntries(const AssembledBook& book) {
    std::vector<zbq::test::RawZipEntry> entries;
    for (const auto& [name, data] : zbq::test::assembledParts(book))
        entries.push_back(
            {name, data, false, static_cast<uint32_t>(data.size()),
             static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()),
                                         static_cast<uInt>(data.size())))});
    return entries;
}

// The sheet with `unit` repeated over `mebibytes` MiB just before `before`, in a package of
// stored parts; the flood alone is deflated, so the file stays small.
void writeFlooded(const std::string& path, const std::string& sheet, const std::string& before,
                  const std::string& unit, std::size_t mebibytes) {
    const std::size_t at = sheet.find(before);
    auto entries = storedEntries(oneSheet(sheet));
    for (auto& e : entries)
        if (e.name == "xl/worksheets/sheet1.xml")
            e = zbq::test::repeatedEntry(e.name, sheet.substr(0, at), unit, mebibytes,
                                         sheet.substr(at));
    zbq::test::writeFile(path, zbq::test::rawZip(entries));
}

// The book's parts deflated with true sizes and checksums, one of them then changed by `damage`.
std::string deflatedBook(const AssembledBook& book, const std::string& part,
                         const std::function<void(zbq::test::RawZipEntry&)>& damage) {
    std::vector<zbq::test::RawZipEntry> entries;
    for (const auto& [name, data] : zbq::test::assembledParts(book)) {
        entries.push_back(zbq::test::deflatedEntry(name, data));
        if (name == part) damage(entries.back());
    }
    return zbq::test::rawZip(entries);
}

// A sheet of many good rows, then `tail` in its last row (row `rows` + 1). Below 1 MiB, as the
// default makes it, a sheet is inflated as it is read; larger ones by a worker ahead of it.
constexpr int kRowsInflatedAhead = 60000;
std::string longSheet(const std::string& tail, int rows = 20000) {
    std::string data;
    for (int r = 1; r <= rows; ++r)
        data += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
                std::to_string(r) + "</v></c></row>";
    return sheetXml(data + "<row r=\"" + std::to_string(rows + 1) + "\">" + tail + "</row>");
}

// The book's parts, each encrypted with a password, as zip archivers write them.
void writeEncryptedParts(const std::string& path, const AssembledBook& book) {
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(za, nullptr);
    // The archive reads the parts' bytes only when it is closed.
    const auto parts = zbq::test::assembledParts(book);
    for (const auto& [name, data] : parts) {
        zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
        const zip_int64_t index = zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0);
        ASSERT_EQ(
            zip_file_set_encryption(za, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "secret"),
            0);
    }
    ASSERT_EQ(zip_close(za), 0);
}

struct Damage {
    const char* what;
    std::function<void(const std::string& path, const TempDir& dir)> make;
    FailsAt at;
    ReadError error;
};

void assembled(const std::string& path, const std::string& sheet) {
    zbq::test::writeAssembledBook(path, oneSheet(sheet));
}

std::vector<Damage> damages() {
    using zbq::test::writeFile;
    const std::string row1 = R"(<row r="1">)";
    return {
        {"no file", [](const std::string&, const TempDir&) {}, FailsAt::Open,
         ReadError::CannotOpen},
        {"an empty file", [](const std::string& p, const TempDir&) { writeFile(p, ""); },
         FailsAt::Open, ReadError::NotWorkbook},
        {"a text file",
         [](const std::string& p, const TempDir&) { writeFile(p, "a\tb\r\n1\t2\r\n"); },
         FailsAt::Open, ReadError::NotWorkbook},
        {"a truncated package",
         [](const std::string& p, const TempDir& d) {
             const std::string good = bytesOfGoodBook(d);
             writeFile(p, good.substr(0, good.size() / 2));
         },
         FailsAt::Open, ReadError::Damaged},
        {"a zip package that holds no workbook",
         [](const std::string& p, const TempDir&) {
             zbq::test::writeParts(p, {{"a.txt", "hello"}});
         },
         FailsAt::Open, ReadError::NotWorkbook},
        {"the workbook part missing",
         [](const std::string& p, const TempDir&) {
             zbq::test::writeParts(p, partsWithout(oneSheet(goodSheet()), "xl/workbook.xml"));
         },
         FailsAt::Open, ReadError::Damaged},
        {"a sheet part missing",
         [](const std::string& p, const TempDir&) {
             zbq::test::writeParts(p,
                                   partsWithout(oneSheet(goodSheet()), "xl/worksheets/sheet1.xml"));
         },
         FailsAt::Open, ReadError::Damaged},
        {"the workbook part not XML",
         [](const std::string& p, const TempDir&) {
             auto parts = zbq::test::assembledParts(oneSheet(goodSheet()));
             for (auto& [name, data] : parts)
                 if (name == "xl/workbook.xml") data.resize(data.size() / 2);
             zbq::test::writeParts(p, parts);
         },
         FailsAt::Open, ReadError::Damaged},
        {"more parts than a workbook has",
         [](const std::string& p, const TempDir&) {
             writeFile(p, zbq::test::manyPartsZip(ZipPackage::kMaxEntries + 1));
         },
         FailsAt::Open, ReadError::TooLarge},
        {"an encrypted package",
         [](const std::string& p, const TempDir&) {
             std::string cfb("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
             cfb.resize(1024, '\0');
             const std::string name = "EncryptedPackage";
             for (char c : name)
                 cfb += std::string{c, '\0'};
             cfb.resize(4096, '\0');
             writeFile(p, cfb);
         },
         FailsAt::Open, ReadError::Encrypted},
        {"a package of encrypted parts",
         [](const std::string& p, const TempDir&) {
             writeEncryptedParts(p, oneSheet(goodSheet()));
         },
         FailsAt::Open, ReadError::Encrypted},
        {"a compound file that is no workbook",
         [](const std::string& p, const TempDir&) {
             std::string cfb("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
             cfb.resize(4096, '\x5A');
             writeFile(p, cfb);
         },
         FailsAt::Open, ReadError::Damaged},
        {"a sheet cut short",
         [](const std::string& p, const TempDir&) { assembled(p, goodSheet().substr(0, 150)); },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"end tags that do not match",
         [row1](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(row1 + "<c><v>1</c></v></row>"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a '<' in an attribute value",
         [row1](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(row1 + R"(<c r="A1" x="a<b"><v>1</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"an undefined entity",
         [row1](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(row1 + "<c><v>&lol;</v></c></row>"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a document type declaration",
         [](const std::string& p, const TempDir&) {
             assembled(
                 p,
                 R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;">]>)" +
                     goodSheet().substr(goodSheet().find("<worksheet")));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a string index past its table",
         [](const std::string& p, const TempDir&) {
             AssembledBook b =
                 oneSheet(sheetXml(R"(<row r="1"><c r="A1" t="s"><v>1</v></c></row>)"));
             b.sharedStrings =
                 R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>a</t></si></sst>)";
             zbq::test::writeAssembledBook(p, b);
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a string index without a table",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"cells out of order",
         [](const std::string& p, const TempDir&) {
             assembled(
                 p, sheetXml(R"(<row r="1"><c r="B1"><v>1</v></c><c r="A1"><v>2</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a cell in another row than its own",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1"><c r="A2"><v>1</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"rows out of order",
         [](const std::string& p, const TempDir&) {
             assembled(
                 p,
                 sheetXml(R"(<row r="3"><c><v>1</v></c></row><row r="2"><c><v>2</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a cell past XFD",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a cell after XFD without r",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1"><c r="XFD1"><v>1</v></c><c><v>2</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a row past 1048576",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1048577"><c><v>1</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a tag longer than the scanner takes",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1"><c r="A1" x=")" +
                                   std::string(zbq::workbook::XmlPullScanner::kMaxToken + 1, 'a') +
                                   R"("><v>1</v></c></row>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"elements nested without end",
         [](const std::string& p, const TempDir&) {
             std::string deep;
             for (int i = 0; i < 100000; ++i)
                 deep += "<x>";
             assembled(p, sheetXml("", deep));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"shared strings over the limit",
         [](const std::string& p, const TempDir&) {
             AssembledBook book = oneSheet(goodSheet());
             book.sharedStrings = "<sst/>";
             auto entries = storedEntries(book);
             for (auto& e : entries)
                 if (e.name == "xl/sharedStrings.xml")
                     e = zbq::test::zerosEntry(
                         e.name, static_cast<uint32_t>(ZipPackage::kMaxUnpackedSize + 1));
             zbq::test::writeFile(p, zbq::test::rawZip(entries));
         },
         FailsAt::OpenSheet, ReadError::TooLarge},
        {"a shared-string table of empty items far beyond what its sheets can use",
         [](const std::string& p, const TempDir&) {
             AssembledBook book = oneSheet(goodSheet());
             book.sharedStrings = "<sst/>";
             auto entries = storedEntries(book);
             for (auto& e : entries)
                 if (e.name == "xl/sharedStrings.xml")
                     e = zbq::test::repeatedEntry(
                         e.name,
                         R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)",
                         "<si/>", 100, "</sst>");
             zbq::test::writeFile(p, zbq::test::rawZip(entries));
         },
         FailsAt::OpenSheet, ReadError::TooLarge},
        {"a sheet of one cell followed by a flood of comments",
         [](const std::string& p, const TempDir&) {
             writeFlooded(p, goodSheet(), "</worksheet>", "<!--" + std::string(65536, 'x') + "-->",
                          80);
         },
         FailsAt::OpenSheet, ReadError::TooLarge},
        {"many valued cells followed by a flood the cells' own allowance would let through",
         [](const std::string& p, const TempDir&) {
             // 5,000 valued cells earn 80 MiB over the 64 MiB anything may take; what follows
             // the last of them is bounded on its own.
             std::string rows;
             for (int r = 1; r <= 5000; ++r)
                 rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) +
                         "\"><v>1</v></c></row>";
             writeFlooded(p, sheetXml(rows), "</sheetData>",
                          "<!--" + std::string(65536, 'x') + "-->", 100);
         },
         FailsAt::OpenSheet, ReadError::TooLarge},
        {"rows of one number each padded with empty elements",
         [](const std::string& p, const TempDir&) {
             // About 5,300 valued cells in 80 MiB: within what their texts may take, far
             // beyond the markup they may bring.
             std::string padding;
             while (padding.size() < 15000)
                 padding += "<x/>";
             writeFlooded(p, goodSheet(), "</sheetData>",
                          "<row><c><v>1</v></c>" + padding + "</row>", 80);
         },
         FailsAt::OpenSheet, ReadError::TooLarge},
        {"a sheet whose checksum fails",
         [](const std::string& p, const TempDir&) {
             auto entries = storedEntries(oneSheet(goodSheet()));
             for (auto& e : entries)
                 if (e.name == "xl/worksheets/sheet1.xml") e.crc ^= 1;
             zbq::test::writeFile(p, zbq::test::rawZip(entries));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a deflated sheet whose checksum fails",
         [](const std::string& p, const TempDir&) {
             writeFile(p, deflatedBook(oneSheet(goodSheet()), "xl/worksheets/sheet1.xml",
                                       [](auto& e) { e.crc ^= 1; }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a deflated sheet that inflates to more than its directory says",
         [](const std::string& p, const TempDir&) {
             writeFile(p, deflatedBook(oneSheet(goodSheet()), "xl/worksheets/sheet1.xml",
                                       [](auto& e) { --e.unpackedSize; }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a deflated sheet that inflates to less than its directory says",
         [](const std::string& p, const TempDir&) {
             writeFile(p, deflatedBook(oneSheet(goodSheet()), "xl/worksheets/sheet1.xml",
                                       [](auto& e) { ++e.unpackedSize; }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a deflated sheet whose stream is cut short",
         [](const std::string& p, const TempDir&) {
             writeFile(p, deflatedBook(oneSheet(longSheet("")), "xl/worksheets/sheet1.xml",
                                       [](auto& e) { e.data.resize(e.data.size() / 2); }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a deflated sheet whose stream is garbled",
         [](const std::string& p, const TempDir&) {
             writeFile(
                 p, deflatedBook(oneSheet(longSheet("")), "xl/worksheets/sheet1.xml", [](auto& e) {
                     for (std::size_t i = e.data.size() / 3; i < e.data.size() / 2; i += 7)
                         e.data[i] = static_cast<char>(~e.data[i]);
                 }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a sheet inflated ahead whose checksum fails",
         [](const std::string& p, const TempDir&) {
             writeFile(p, deflatedBook(oneSheet(longSheet("", kRowsInflatedAhead)),
                                       "xl/worksheets/sheet1.xml", [](auto& e) { e.crc ^= 1; }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a sheet inflated ahead whose stream is cut short",
         [](const std::string& p, const TempDir&) {
             writeFile(p, deflatedBook(oneSheet(longSheet("", kRowsInflatedAhead)),
                                       "xl/worksheets/sheet1.xml",
                                       [](auto& e) { e.data.resize(e.data.size() / 2); }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a sheet inflated ahead that ends inside an element",
         [](const std::string& p, const TempDir&) {
             std::string sheet = longSheet("", kRowsInflatedAhead);
             assembled(p, sheet.substr(0, sheet.size() / 2));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a number that is none after many rows inflated ahead",
         [](const std::string& p, const TempDir&) {
             assembled(p, longSheet(R"(<c r="B60001"><v>12x</v></c>)", kRowsInflatedAhead));
         },
         FailsAt::ReadRows, ReadError::Damaged},
        {"deflated shared strings whose checksum fails",
         [](const std::string& p, const TempDir&) {
             AssembledBook book = oneSheet(goodSheet());
             book.sharedStrings =
                 R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>a</t></si></sst>)";
             writeFile(p, deflatedBook(book, "xl/sharedStrings.xml", [](auto& e) { e.crc ^= 1; }));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"end tags that do not match after many rows",
         [](const std::string& p, const TempDir&) { assembled(p, longSheet("<c><v>1</c></v>")); },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a string index past its table after many rows",
         [](const std::string& p, const TempDir&) {
             assembled(p, longSheet(R"(<c r="B20001" t="s"><v>0</v></c>)"));
         },
         FailsAt::OpenSheet, ReadError::Damaged},
        {"a number that is none",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1"><c r="A1"><v>12x</v></c></row>)"));
         },
         FailsAt::ReadRows, ReadError::Damaged},
        {"a number that is not finite",
         [](const std::string& p, const TempDir&) {
             assembled(p, sheetXml(R"(<row r="1"><c r="A1"><v>inf</v></c></row>)"));
         },
         FailsAt::ReadRows, ReadError::Damaged},
    };
}

TEST(WorkbookReaderDamage, RefusesEachDamageWithItsStagesMessageAndTouchesNothing) {
    const std::pair<ReadStage, const char*> stages[] = {
        {ReadStage::ListSheets, "Excelのシート名の取得に失敗しました。処理を中止します。"},
        {ReadStage::ReadItems, "Excelからの読込に失敗しました。処理を中止します。"},
        {ReadStage::ReadData, "Excelからのデータ読込に失敗しました。処理を中止します。"},
    };
    for (const Damage& d : damages()) {
        SCOPED_TRACE(d.what);
        TempDir dir;
        const std::string path = dir.file("book.xlsx");
        d.make(path, dir);
        const bool exists = std::filesystem::exists(path);
        const std::string before = exists ? zbq::test::readFile(path) : "";
        const std::size_t entries = zbq::test::entriesIn(dir.path());
        for (const auto& [stage, message] : stages) {
            ReadFailure failure;
            EXPECT_EQ(static_cast<int>(readThrough(path, stage, failure)), static_cast<int>(d.at));
            EXPECT_EQ(static_cast<int>(failure.error), static_cast<int>(d.error)) << failure.detail;
            EXPECT_EQ(failure.stage, stage);
            // A password-protected workbook is told as such on a line of its own.
            const std::string why =
                d.error == ReadError::Encrypted
                    ? "\n" + literal("パスワードで保護されたブックは読み込めません。")
                    : "";
            EXPECT_EQ(readFailureMessage(failure, "book.xlsx"), literal(message) + why);
        }
        EXPECT_EQ(zbq::test::entriesIn(dir.path()), entries);
        if (exists) {
            EXPECT_EQ(zbq::test::readFile(path), before);
        }
    }
}

// What bounds markup leaves out: the cells' own texts, however long, read whole. Counted as
// markup, the texts of either sheet would pass the bound.
TEST(WorkbookReaderDamage, LongCellTextsAreNoPadding) {
    TempDir dir;
    const std::string path = dir.file("long.xlsx");
    const std::string text(15000, 'a');
    // About 5,500 inline strings, and 2,700 formula texts with their results, in 80 MiB.
    writeFlooded(path, goodSheet(), "</sheetData>",
                 R"(<row><c t="inlineStr"><is><t>)" + text + "</t></is></c></row>", 80);
    writeFlooded(dir.file("values.xlsx"), goodSheet(), "</sheetData>",
                 R"(<row><c t="str"><f>)" + text + "</f><v>" + text + "</v></c></row>", 80);
    for (const std::string& p : {path, dir.file("values.xlsx")}) {
        SCOPED_TRACE(p);
        ReadFailure failure;
        auto book = WorkbookReader::open(p, ReadStage::ReadData, &failure);
        ASSERT_TRUE(book) << failure.detail;
        auto sheet = book->openSheet(0, ReadStage::ReadData, &failure);
        ASSERT_TRUE(sheet) << failure.detail;
        std::size_t rows = 0;
        EXPECT_TRUE(sheet->readRows(
            1, 1048576, ReadStage::ReadData,
            [&](const RangeRow& r) {
                rows += r.row > 1 && r.cells[0].text == text;
                return true;
            },
            &failure))
            << failure.detail;
        EXPECT_EQ(rows + 1, sheet->usedRange().lastRow);
        EXPECT_GT(rows, 2000u);
    }
}

TEST(WorkbookReaderDamage, NamesTheSheetAndCellOfATextShiftJisCannotHold) {
    struct Case {
        const char* text;
        bool shared;
        bool holds;
    };
    const Case cases[] = {
        {"①", false, true},
        {"～", true, true},
        {"\xE3\x80\x9C", false, true},  // WAVE DASH becomes ～
        {"😀", false, false},
        {"𠮷", true, false},
        {"_xD83D__xDE00_", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir dir;
        const std::string path = dir.file("book.xlsx");
        AssembledBook b;
        const std::string cell = c.shared ? R"(<c r="C12" t="s"><v>0</v></c>)"
                                          : std::string(R"(<c r="C12" t="inlineStr"><is><t>)") +
                                                c.text + "</t></is></c>";
        b.sheets.emplace_back(
            "表",
            sheetXml(R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="12">)" + cell + "</row>"));
        if (c.shared)
            b.sharedStrings =
                std::string(
                    R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>)") +
                c.text + "</t></si></sst>";
        zbq::test::writeAssembledBook(path, b);
        ReadFailure failure;
        auto book = WorkbookReader::open(path, ReadStage::ReadData, &failure);
        ASSERT_TRUE(book) << failure.detail;
        auto sheet = book->openSheet(0, ReadStage::ReadData, &failure);
        ASSERT_TRUE(sheet) << failure.detail;
        std::vector<uint32_t> rows;
        const bool ok = sheet->readRows(
            1, 12, ReadStage::ReadData,
            [&](const RangeRow& r) {
                rows.push_back(r.row);
                return true;
            },
            &failure);
        EXPECT_EQ(ok, c.holds);
        if (c.holds) {
            EXPECT_EQ(rows.size(), 12u);
            continue;
        }
        EXPECT_EQ(failure.error, ReadError::NotCp932);
        EXPECT_EQ(readFailureMessage(failure, literal("データ.xlsx")),
                  literal("シフトJISで表せない文字が含まれています。[データ.xlsx : 表 : C12]"));
        EXPECT_EQ(rows.size(), 11u)
            << "the rows before it were handed out, the row with it was not";
    }
    // A sheet name CP932 cannot hold stops the listing.
    TempDir dir;
    const std::string path = dir.file("book.xlsx");
    AssembledBook b;
    b.sheets.emplace_back("😀", goodSheet());
    zbq::test::writeAssembledBook(path, b);
    ReadFailure failure;
    EXPECT_FALSE(WorkbookReader::open(path, ReadStage::ListSheets, &failure));
    EXPECT_EQ(failure.error, ReadError::NotCp932);
}

// Bytes changed anywhere in a .xls file: each is read or refused, never read out of bounds (the
// sanitizer builds catch that).
TEST(WorkbookReaderDamage, SurvivesDamagedXlsFiles) {
    TempDir dir;
    const std::string good = dir.file("good.xls");
    zbq::test::writeXlwtBook(good, false);
    const std::string seed = zbq::test::readFile(good);
    ASSERT_FALSE(seed.empty());
    std::mt19937 rng(7);
    int refused = 0;
    for (int i = 0; i < 200; ++i) {
        std::string bytes = seed;
        for (unsigned k = 0, flips = 1 + rng() % 8; k < flips; ++k)
            bytes[rng() % bytes.size()] = static_cast<char>(rng());
        if (rng() % 4 == 0) bytes.resize(8 + rng() % (bytes.size() - 8));
        const std::string path = dir.file("bad.xls");
        zbq::test::writeFile(path, bytes);
        ReadFailure failure;
        auto book = WorkbookReader::open(path, ReadStage::ReadData, &failure);
        if (!book) {
            ++refused;
            EXPECT_NE(failure.error, ReadError::None);
            continue;
        }
        for (std::size_t s = 0; s < book->sheets().size(); ++s)
            if (auto sheet = book->openSheet(s, ReadStage::ReadData, &failure))
                sheet->readRows(
                    1, 1048576, ReadStage::ReadData, [](const RangeRow&) { return true; },
                    &failure);
    }
    EXPECT_GT(refused, 0);
}

// One shared string named by many cells: the reader keeps the text once and each cell as its
// index, so a small file of 32 MB of cells reads in a few times its own size; what the import
// writes of it is the import's budget to bound.
TEST(WorkbookReaderDamage, AnXlsFileOfOneSharedStringInManyCellsReads) {
    TempDir dir;
    const std::string path = dir.file("shared.xls");
    zbq::test::writeXlwtSharedStringBook(path, 8000, 4000);  // 32 MB of cells
    ASSERT_LT(std::filesystem::file_size(path), 200000u);
    ReadFailure failure;
    auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
    ASSERT_NE(book, nullptr) << failure.detail;
    auto sheet = book->openSheet(0, ReadStage::ReadData, &failure);
    ASSERT_NE(sheet, nullptr) << failure.detail;
    uint32_t rows = 0;
    ASSERT_TRUE(sheet->readRows(
        1, 1048576, ReadStage::ReadData,
        [&](const RangeRow& row) {
            rows += row.cells[0].text == std::string(8000, 'x');
            return true;
        },
        &failure));
    EXPECT_EQ(rows, 4000u);
}

// A FIFO, a device or a folder named as a workbook is refused unread, whatever its name says,
// and a FIFO nobody writes to does not stop the reader in open(). Should it, a watchdog opens
// the FIFO's other end after a while, so that the test fails instead of hanging.
TEST(WorkbookReaderDamage, AnythingButARegularFileIsRefusedUnread) {
    TempDir dir;
    const std::string fifo = dir.file("pipe.xlsx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = dir.file("zero.xls");
    std::filesystem::create_symlink("/dev/zero", zero);
    const std::string folder = dir.file("folder.xlsx");
    std::filesystem::create_directory(folder);
    for (const std::string& path : {fifo, zero, folder}) {
        SCOPED_TRACE(path);
        std::atomic<bool> done{false}, unblocked{false};
        std::thread watchdog([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (!done && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            while (!done && path == fifo) {
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    unblocked = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        ReadFailure failure;
        EXPECT_EQ(WorkbookReader::open(path, ReadStage::ListSheets, &failure), nullptr);
        done = true;
        watchdog.join();
        EXPECT_FALSE(unblocked) << "the reader waited in open()";
        EXPECT_EQ(failure.error, ReadError::NotWorkbook) << failure.detail;
        EXPECT_EQ(readFailureMessage(failure, "pipe.xlsx"),
                  literal("Excelのシート名の取得に失敗しました。処理を中止します。"));
    }
    // A file past any workbook's size, sparse here, is refused before it is read.
    const std::string huge = dir.file("huge.xlsx");
    std::ofstream(huge) << "PK\3\4";
    std::filesystem::resize_file(huge, WorkbookReader::kMaxFileSize + 1);
    ReadFailure failure;
    EXPECT_EQ(WorkbookReader::open(huge, ReadStage::ListSheets, &failure), nullptr);
    EXPECT_EQ(failure.error, ReadError::TooLarge) << failure.detail;
}

}  // namespace
