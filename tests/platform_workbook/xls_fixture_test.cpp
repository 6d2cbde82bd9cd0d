// .xls workbooks as spreadsheet programs write them, each read through the reader equal to the
// .xlsx that the same program saved from the same source: the same sheets (names, hidden flags),
// date system, used ranges and cells (kind, text, number, date-ness, number format, proposed
// item type). The fixtures in data/ were saved by LibreOffice Calc and gnumeric from the sources
// that data/make_xls_fixtures.py writes; a few cells are also held to what the program itself
// shows, where both files of a pair could be read wrong alike. A damaged workbook stream is
// made here from a good fixture and must be refused, never read short.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader.h"
#include "tests/support/temp_dir.h"

using namespace zbq::workbook;
using zbq::test::TempDir;

namespace {

const std::string kData = ZBQ_WORKBOOK_DATA_DIR;

struct Sheet {
    std::string name;
    bool hidden = false;
    UsedRange range;
    std::map<std::pair<uint32_t, uint32_t>, ReadCell> cells;  // (row, column) -> valued cell
};

struct Book {
    std::vector<Sheet> sheets;
    bool date1904 = false;
    std::optional<ReadFailure> failure;  // where reading stopped, if it did
};

// Every sheet read whole, as the import reads it: the list, then each sheet's range and rows.
Book readBook(const std::string& path) {
    Book book;
    ReadFailure failure;
    auto reader = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
    if (!reader) {
        book.failure = failure;
        return book;
    }
    book.date1904 = reader->date1904();
    for (std::size_t i = 0; i < reader->sheets().size(); ++i) {
        Sheet s;
        s.name = reader->sheets()[i].name;
        s.hidden = reader->sheets()[i].hidden;
        auto sheet = reader->openSheet(i, ReadStage::ReadItems, &failure);
        if (!sheet) {
            book.failure = failure;
            return book;
        }
        s.range = sheet->usedRange();
        const bool whole = sheet->readRows(
            1, 1048576, ReadStage::ReadData,
            [&](const RangeRow& row) {
                // An empty text shows as a blank. The .xlsx reader counts one that gnumeric
                // stores as a shared string (="" in excel95_gnumeric) as a value and one stored
                // as a formula's own text as none; the import writes both as an empty cell.
                for (std::size_t c = 0; c < row.cells.size(); ++c)
                    if (row.cells[c].kind != CellKind::Empty &&
                        !(row.cells[c].kind == CellKind::Text && row.cells[c].text.empty()))
                        s.cells[{row.row, s.range.firstColumn + static_cast<uint32_t>(c)}] =
                            row.cells[c];
                return true;
            },
            &failure);
        book.sheets.push_back(std::move(s));
        if (!whole) {
            book.failure = failure;
            return book;
        }
    }
    return book;
}

std::string failureText(const std::optional<ReadFailure>& f) {
    return f ? "stage " + std::to_string(static_cast<int>(f->stage)) + ", error " +
                   std::to_string(static_cast<int>(f->error)) + ": " + f->detail
             : "";
}

const ReadCell* at(const Sheet& s, const std::string& name) {
    uint32_t column = 0;
    std::size_t i = 0;
    for (; i < name.size() && name[i] >= 'A' && name[i] <= 'Z'; ++i)
        column = column * 26 + static_cast<uint32_t>(name[i] - 'A' + 1);
    const auto row = static_cast<uint32_t>(std::stoul(name.substr(i)));
    auto it = s.cells.find({row, column});
    return it == s.cells.end() ? nullptr : &it->second;
}

bool sameNumber(double a, double b) {
    // The .xlsx holds a number as the program printed it, the .xls as its own bits.
    return a == b || std::fabs(a - b) <= 1e-14 * std::max(std::fabs(a), std::fabs(b));
}

struct Pair {
    const char* name;  // data/<name>.xls and data/<name>.xlsx
    // Cells whose .xlsx names a built-in format whose Japanese form (the one the reader
    // knows) is not the code the program wrote into the .xls: gnumeric saves "mm:ss.0" and
    // "m/d/yy h:mm" as built-ins 47 and 22 in the .xlsx and with its own code in the .xls.
    // Their date-ness and proposed type are still compared.
    std::set<std::string> formatDiffers = {};
};

std::ostream& operator<<(std::ostream& out, const Pair& p) {
    return out << p.name;
}

class XlsFixture : public testing::TestWithParam<Pair> {};

TEST_P(XlsFixture, ReadsAsItsXlsxTwin) {
    const Pair& pair = GetParam();
    const Book xls = readBook(kData + "/" + pair.name + ".xls");
    const Book xlsx = readBook(kData + "/" + pair.name + ".xlsx");
    ASSERT_FALSE(xlsx.failure) << failureText(xlsx.failure);
    ASSERT_FALSE(xls.failure) << failureText(xls.failure);
    EXPECT_EQ(xls.date1904, xlsx.date1904);
    ASSERT_EQ(xls.sheets.size(), xlsx.sheets.size());
    for (std::size_t i = 0; i < xls.sheets.size(); ++i) {
        const Sheet& got = xls.sheets[i];
        const Sheet& want = xlsx.sheets[i];
        SCOPED_TRACE(zbq::cp932::toUtf8(want.name));
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.hidden, want.hidden);
        EXPECT_EQ(got.range, want.range);
        for (const auto& [where, cell] : got.cells)
            if (!want.cells.count(where))
                ADD_FAILURE() << cellName(where.second, where.first) << " holds "
                              << zbq::cp932::toUtf8(cell.text) << " where the .xlsx is blank";
        for (const auto& [where, cell] : want.cells) {
            const std::string name = cellName(where.second, where.first);
            auto it = got.cells.find(where);
            if (it == got.cells.end()) {
                ADD_FAILURE() << name << " is blank where the .xlsx holds "
                              << zbq::cp932::toUtf8(cell.text);
                continue;
            }
            const ReadCell& c = it->second;
            EXPECT_EQ(c.kind, cell.kind) << name;
            EXPECT_EQ(c.text, cell.text) << name;
            EXPECT_PRED2(sameNumber, c.number, cell.number) << name;
            EXPECT_EQ(c.temporal, cell.temporal) << name;
            if (!pair.formatDiffers.count(name)) {
                EXPECT_EQ(zbq::cp932::toUtf8(c.formatCode), zbq::cp932::toUtf8(cell.formatCode))
                    << name;
            }
            EXPECT_EQ(proposeTypeChoice(c), proposeTypeChoice(cell)) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SavedByTheirPrograms, XlsFixture,
    testing::Values(
        // LibreOffice Calc 7.4
        Pair{"chart"},        // a bar chart beside its data (and a merged area), a sheet after it
        Pair{"chart_sheet"},  // a sheet holding only a chart, between two of data
        Pair{"long_text"},    // 8,300 あ and 17,000 ASCII, as constants and formula results
        Pair{"dates"},        // constants and formula results in date and time formats
        Pair{"date1904"},     // the 1904 date system
        Pair{"errors"},       // the seven error values as formula results; booleans
        Pair{"formats"},      // whole numbers and fractions in 0.0, 0, #,##0.00, 0%, 0.00E+00, @
        Pair{"sheets"},       // merged areas over valued cells, a hidden sheet, an empty sheet
        // gnumeric 1.12
        Pair{"long_text_gnumeric"},  // STRING continued without its width byte, a split character
        Pair{"excel95_gnumeric"},    // an Excel 95 (BIFF7) "Book" stream with formulas
        Pair{"dates_gnumeric", {"B10", "C10", "B13", "C13"}},  // built-in date formats
        Pair{"errors_gnumeric"}),  // the seven error values as constants and results; booleans
    [](const testing::TestParamInfo<Pair>& info) { return std::string(info.param.name); });

// What the programs themselves show for cells that both files of a pair could read wrong alike
// (ssconvert's and LibreOffice's own text output of the .xls).
TEST(XlsFixtureShown, CellsAsTheProgramShowsThem) {
    struct Shown {
        const char* file;
        std::size_t sheet;
        const char* cell;
        CellKind kind;
        std::string text;  // UTF-8
    };
    std::string kana8300, kana5000, ascii, ab;
    for (int i = 0; i < 8300; ++i)
        kana8300 += "あ";
    for (int i = 0; i < 5000; ++i)
        kana5000 += "あ";
    for (int i = 0; ascii.size() < 17000; ++i) {
        char chunk[16];
        std::snprintf(chunk, sizeof chunk, "%05d,", i);
        ascii += chunk;
    }
    ascii.resize(17000);
    for (int i = 0; i < 4200; ++i)
        ab += "ab";
    ab += "!";
    const CellKind N = CellKind::Number, T = CellKind::Text, B = CellKind::Boolean,
                   E = CellKind::Error;
    const std::vector<Shown> shown = {
        {"excel95_gnumeric", 0, "A2", N, "41"},
        {"excel95_gnumeric", 0, "B2", N, "2"},        // =1+1
        {"excel95_gnumeric", 0, "C2", T, "xy"},       // ="x"&"y"
        {"excel95_gnumeric", 0, "D2", B, "TRUE"},     // =1>0
        {"excel95_gnumeric", 0, "E2", N, "42"},       // =A2+1
        {"excel95_gnumeric", 0, "F2", T, "t1"},       // ="t"&1
        {"excel95_gnumeric", 0, "B3", N, "5"},        // =A3*2
        {"excel95_gnumeric", 0, "D3", B, "TRUE"},     // a constant
        {"excel95_gnumeric", 0, "E3", N, "43"},       // =A2+2
        {"excel95_gnumeric", 0, "F3", E, "#DIV/0!"},  // =1/0
        {"excel95_gnumeric", 0, "C4", B, "FALSE"},    // a constant
        {"excel95_gnumeric", 1, "A1", N, "41"},       // =Sheet1!A2
        {"date1904", 0, "A2", N, "2024/3/5"},
        {"date1904", 0, "B2", N, "2024/3/6"},  // =DATE(2024,3,5)+C2
        {"date1904", 0, "A3", N, "1904/1/2"},
        {"date1904", 0, "B4", N, "2000/1/1"},  // =DATEVALUE("2000-01-01")
        {"date1904", 0, "C3", N, "45356"},
        {"long_text", 0, "A1", T, kana8300},
        {"long_text", 0, "B1", T, kana5000},  // =REPT("あ",5000)
        {"long_text", 0, "A2", T, ascii},
        {"long_text", 0, "B2", T, ab},  // =REPT("ab",4200)&"!"
        {"long_text", 0, "C2", T, "後"},
        {"long_text_gnumeric", 0, "A1", T, kana8300},
        {"long_text_gnumeric", 0, "B1", T, kana5000},
        {"long_text_gnumeric", 0, "A2", T, ascii},
        {"long_text_gnumeric", 0, "B2", T, ab},
        {"long_text_gnumeric", 0, "C2", T, "後"},
        {"chart", 1, "B1", N, "2.5"},
        {"chart_sheet", 2, "B1", N, "2.5"},
        {"formats", 0, "B1", N, "2"},  // 2 in 0.0
    };
    std::map<std::string, Book> books;
    for (const Shown& s : shown) {
        auto [it, added] = books.try_emplace(s.file);
        if (added) it->second = readBook(kData + "/" + s.file + ".xls");
        const Book& book = it->second;
        SCOPED_TRACE(std::string(s.file) + " " + std::to_string(s.sheet) + " " + s.cell);
        if (s.sheet >= book.sheets.size()) {
            ADD_FAILURE() << "no such sheet: " << failureText(book.failure);
            continue;
        }
        const ReadCell* c = at(book.sheets[s.sheet], s.cell);
        if (!c) {
            ADD_FAILURE() << "blank";
            continue;
        }
        EXPECT_EQ(c->kind, s.kind);
        EXPECT_EQ(zbq::cp932::toUtf8(c->text), s.text);
    }
    // The error values read as the names beside them (LibreOffice: results only; gnumeric:
    // constants in A and results in B), and the booleans as what the program shows.
    for (const char* file : {"errors", "errors_gnumeric"}) {
        const Book book = readBook(kData + "/" + file + ".xls");
        if (book.sheets.size() != 1) {
            ADD_FAILURE() << file << ": " << failureText(book.failure);
            continue;
        }
        const Sheet& s = book.sheets[0];
        const char* names[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"};
        for (int i = 0; i < 7; ++i) {
            const std::string row = std::to_string(i + 2);
            SCOPED_TRACE(std::string(file) + " row " + row);
            for (const std::string column : {"A", "B", "C", "D"}) {
                const ReadCell* c = at(s, column + row);
                if (!c) {
                    ADD_FAILURE() << column << " blank";
                    continue;
                }
                if (column == "A" && std::string(file) == "errors") {
                    EXPECT_EQ(c->kind, CellKind::Text);  // the label
                    EXPECT_EQ(c->text, names[i]);
                } else if (column == "A" || column == "B") {
                    EXPECT_EQ(c->kind, CellKind::Error) << column;
                    EXPECT_EQ(c->text, names[i]) << column;
                } else {
                    EXPECT_EQ(c->kind, CellKind::Boolean) << column;
                    EXPECT_EQ(c->text, i % 2 == 0 ? "TRUE" : "FALSE") << column;
                }
            }
        }
    }
}

// --- a workbook stream cut short ---------------------------------------------------------------

uint16_t u16(const std::string& b, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                 static_cast<unsigned char>(b[at + 1]) << 8);
}
uint32_t u32(const std::string& b, std::size_t at) {
    return u16(b, at) | static_cast<uint32_t>(u16(b, at + 2)) << 16;
}

// The "Workbook" stream of a compound file held in regular sectors (a stream under 4,096 bytes
// lives in the mini stream, which this does not follow), where its size is recorded and where
// each of its bytes lies in the file.
struct WorkbookStream {
    std::string bytes;
    std::size_t sizeAt = 0;  // file offset of the directory entry's size
    std::size_t sector = 0;
    std::vector<std::size_t> sectors;  // file offsets of the stream's sectors, in order
    std::size_t fileOffset(std::size_t at) const { return sectors[at / sector] + at % sector; }
};

std::optional<WorkbookStream> workbookStream(const std::string& file) {
    if (file.size() < 512 || file.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") != 0)
        return std::nullopt;
    const std::size_t sector = std::size_t{1} << u16(file, 0x1E);
    const uint32_t fatSectors = u32(file, 0x2C);
    if (fatSectors > 109) return std::nullopt;  // small fixtures only: no DIFAT sectors
    std::vector<uint32_t> fat;
    for (uint32_t i = 0; i < fatSectors; ++i) {
        const std::size_t at = (u32(file, 0x4C + 4 * i) + 1) * sector;
        for (std::size_t k = 0; k < sector && at + k + 4 <= file.size(); k += 4)
            fat.push_back(u32(file, at + k));
    }
    auto chain = [&](uint32_t first) {
        std::vector<std::size_t> offsets;
        for (uint32_t s = first; s < fat.size() && offsets.size() <= fat.size(); s = fat[s])
            offsets.push_back((s + 1) * sector);
        return offsets;
    };
    for (const std::size_t dir : chain(u32(file, 0x30))) {
        for (std::size_t e = dir; e + 128 <= dir + sector && e + 128 <= file.size(); e += 128) {
            const std::string name = file.substr(e, 16);
            if (name != std::string("W\0o\0r\0k\0b\0o\0o\0k\0", 16) || file[e + 0x42] != 2)
                continue;
            WorkbookStream out;
            out.sizeAt = e + 0x78;
            const uint32_t size = u32(file, out.sizeAt);
            if (size < u32(file, 0x38)) return std::nullopt;
            out.sector = sector;
            out.sectors = chain(u32(file, e + 0x74));
            for (const std::size_t at : out.sectors)
                out.bytes += file.substr(at, sector);
            if (out.bytes.size() < size) return std::nullopt;
            out.bytes.resize(size);
            return out;
        }
    }
    return std::nullopt;
}

// A text-result FORMULA of worksheet `sheet` (1-based) at or past `from`, its STRING and that
// STRING's first CONTINUE (0 where the text ends in the STRING).
struct TextFormula {
    std::size_t formula = 0, string = 0, cont = 0;
};
TextFormula textFormula(const std::string& s, int sheet, std::size_t from, bool continued) {
    TextFormula f;
    int sheets = 0;
    for (std::size_t at = 0; at + 4 <= s.size(); at += 4 + u16(s, at + 2)) {
        const uint16_t type = u16(s, at);
        if (type == 0x0809 && at + 8 <= s.size() && u16(s, at + 6) == 0x0010) ++sheets;
        if (sheets != sheet || at < from) continue;
        if (type == 0x0006 && u16(s, at + 2) >= 20 && s[at + 10] == 0 && u16(s, at + 16) == 0xFFFF)
            f = {at, 0, 0};
        else if (type == 0x0207 && f.formula && !f.string)
            f.string = at;
        else if (type == 0x003C && f.string)
            return f.cont = at, f;
        else if (f.string && !continued)
            return f;
        else if (f.string)
            f = {};
    }
    return {};
}

TEST(XlsFixtureDamage, AStreamCutInTheMiddleOfASheetIsRefused) {
    // The formula fixture, which the reader reads whole, cut inside a sheet.
    const std::string file = zbq::test::readFile(kData + "/formulas.xls");
    const auto stream = workbookStream(file);
    ASSERT_TRUE(stream);
    const std::string& s = stream->bytes;
    // In the first sheet, past the stream's first 4,096 bytes, =REPT("漢",4200) in G5: cells
    // follow it (22 and 33 in A6 and A7) and a sheet follows that, so a cut there also leaves
    // the second sheet's entry pointing past the end. In the last sheet, =式!C2 in C1, with a
    // cell after it (D1).
    const TextFormula first = textFormula(s, 1, 4096, true);
    const TextFormula last = textFormula(s, 2, 0, false);
    ASSERT_TRUE(first.cont && last.string) << "the fixture has changed";
    const std::size_t formula = first.formula, string = first.string, cont = first.cont;
    const std::size_t whole = s.size();
    constexpr uint16_t kPastTheEnd = 0xFFFF;  // as a record's length
    constexpr uint16_t kNoRecord = 0x7FFF;    // as a record's type: none a sheet holds
    const struct {
        const char* what;
        std::size_t size;         // the stream's size, cut short
        std::size_t patchAt = 0;  // or two bytes of the stream changed
        uint16_t patch = 0;
    } cuts[] = {
        {"inside the FORMULA record", formula + 4 + 10},
        {"after the FORMULA, before its STRING", string},
        {"inside the STRING's text, before its CONTINUE", cont},
        {"inside the CONTINUE", cont + 4 + 100},
        {"the FORMULA's length past the end", whole, formula + 2, kPastTheEnd},
        {"the CONTINUE's length past the end", whole, cont + 2, kPastTheEnd},
        {"the last sheet: inside a FORMULA", last.formula + 4 + 10},
        {"the last sheet: after a FORMULA, before its STRING", last.string},
        {"the last sheet: after the STRING, before the sheet's end",
         last.string + 4 + u16(s, last.string + 2)},
        {"the last sheet: the FORMULA's length past the end", whole, last.formula + 2, kPastTheEnd},
        {"the last sheet: a text-result FORMULA with no STRING after it", whole, last.string,
         kNoRecord},
    };
    TempDir dir;
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.what);
        ASSERT_GE(cut.size, 4096u);  // a shorter stream would live in the mini stream
        std::string damaged = file;
        const auto size = static_cast<uint32_t>(cut.size);
        std::memcpy(&damaged[stream->sizeAt], &size, 4);  // little-endian, as the file is
        if (cut.patchAt) {
            if (cut.patch == kPastTheEnd) {
                ASSERT_GT(cut.patchAt + 2 + kPastTheEnd, whole);
            }
            damaged[stream->fileOffset(cut.patchAt)] = static_cast<char>(cut.patch & 0xFF);
            damaged[stream->fileOffset(cut.patchAt + 1)] = static_cast<char>(cut.patch >> 8);
        }
        const std::string path = dir.file("cut.xls");
        zbq::test::writeFile(path, damaged);
        const Book book = readBook(path);
        ASSERT_TRUE(book.failure) << "read as if whole";
        EXPECT_EQ(book.failure->error, ReadError::Damaged) << failureText(book.failure);
        EXPECT_FALSE(book.failure->detail.empty());
    }
}

}  // namespace
