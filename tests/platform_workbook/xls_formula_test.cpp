// Formula cells of a .xls workbook read with the result the file stores for them, as the same
// workbook saved as .xlsx by the same spreadsheet program reads. Both fixtures were saved by
// LibreOffice Calc from data/formulas.fods.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader.h"
#include "platform/workbook/workbook_reader_xls.h"

using namespace zbq::workbook;

namespace {

const std::string kData = ZBQ_WORKBOOK_DATA_DIR;

struct Sheet {
    std::string name;
    UsedRange range;
    std::map<std::pair<uint32_t, uint32_t>, ReadCell> cells;  // (row, column) -> valued cell
};

std::vector<Sheet> readBook(const std::string& path) {
    ReadFailure failure;
    auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
    EXPECT_TRUE(book) << failure.detail;
    std::vector<Sheet> out;
    if (!book) return out;
    for (std::size_t i = 0; i < book->sheets().size(); ++i) {
        Sheet s;
        s.name = book->sheets()[i].name;
        auto sheet = book->openSheet(i, ReadStage::ReadData, &failure);
        EXPECT_TRUE(sheet) << failure.detail;
        if (!sheet) continue;
        s.range = sheet->usedRange();
        EXPECT_TRUE(sheet->readRows(
            1, 1048576, ReadStage::ReadData,
            [&](const RangeRow& row) {
                for (std::size_t c = 0; c < row.cells.size(); ++c)
                    if (row.cells[c].kind != CellKind::Empty)
                        s.cells[{row.row, s.range.firstColumn + c}] = row.cells[c];
                return true;
            },
            &failure))
            << failure.detail;
        out.push_back(std::move(s));
    }
    return out;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

const ReadCell* at(const Sheet& s, uint32_t row, uint32_t column) {
    auto it = s.cells.find({row, column});
    return it == s.cells.end() ? nullptr : &it->second;
}

}  // namespace

TEST(XlsFormulas, ReadEqualToTheXlsxOfTheSameWorkbook) {
    const std::vector<Sheet> xls = readBook(kData + "/formulas.xls");
    const std::vector<Sheet> xlsx = readBook(kData + "/formulas.xlsx");
    ASSERT_EQ(xls.size(), 2u);
    ASSERT_EQ(xlsx.size(), xls.size());
    for (std::size_t i = 0; i < xls.size(); ++i) {
        SCOPED_TRACE(zbq::cp932::toUtf8(xls[i].name));
        EXPECT_EQ(xls[i].name, xlsx[i].name);
        EXPECT_EQ(xls[i].range, xlsx[i].range);
        ASSERT_EQ(xls[i].cells.size(), xlsx[i].cells.size());
        for (const auto& [where, cell] : xlsx[i].cells) {
            const std::string name = cellName(where.second, where.first);
            const ReadCell* got = at(xls[i], where.first, where.second);
            if (!got) {
                ADD_FAILURE() << name << " holds no value";
                continue;
            }
            EXPECT_EQ(got->kind, cell.kind) << name;
            EXPECT_EQ(got->text, cell.text) << name;
            EXPECT_EQ(got->temporal, cell.temporal) << name;
        }
    }
    // Each kind of result is there to compare: a number, a date, a text (one run on over CONTINUE
    // records, in one-byte and in two-byte characters), a boolean and an error; an empty text
    // result holds no value.
    using zbq::cp932::literal;
    const Sheet& s = xls[0];
    ASSERT_TRUE(at(s, 2, 2) && at(s, 2, 3) && at(s, 2, 4) && at(s, 4, 5));
    EXPECT_EQ(at(s, 2, 2)->text, "-3");
    EXPECT_EQ(at(s, 2, 3)->text, literal("値-2"));
    EXPECT_EQ(at(s, 2, 4)->kind, CellKind::Boolean);
    EXPECT_EQ(at(s, 2, 4)->text, "FALSE");
    EXPECT_EQ(at(s, 4, 5)->kind, CellKind::Error);
    EXPECT_EQ(at(s, 4, 5)->text, "#DIV/0!");
    EXPECT_EQ(at(s, 3, 6), nullptr);
    ASSERT_TRUE(at(s, 3, 7) && at(s, 5, 7));
    EXPECT_EQ(at(s, 3, 7)->text, std::string(9000, 'x') + "1");
    // A number shown as a date reads as the date, as its format says.
    ASSERT_TRUE(at(xls[1], 1, 4));
    EXPECT_EQ(at(xls[1], 1, 4)->text, "2024/3/8");
    EXPECT_EQ(at(xls[1], 1, 4)->temporal, Temporal::Date);
    std::string kanji;
    for (int i = 0; i < 4200; ++i)
        kanji += literal("漢");
    EXPECT_EQ(at(s, 5, 7)->text, kanji);
}

// Every sheet of a workbook stream read through; the failure, or None.
static ReadError readStream(const std::string& stream) {
    ReadFailure failure;
    auto book = detail::openXlsStream(stream, "formulas.xls", ReadStage::ListSheets, &failure);
    if (!book) return failure.error;
    for (std::size_t i = 0; i < book->sheets().size(); ++i) {
        auto sheet = book->openSheet(i, ReadStage::ReadData, &failure);
        if (!sheet) return failure.error;
        const UsedRange range = sheet->usedRange();
        uint32_t expected = range.firstRow;
        bool whole = true;
        if (!sheet->readRows(
                1, 1048576, ReadStage::ReadData,
                [&](const RangeRow& row) {
                    whole = whole && row.row == expected++ &&
                            row.cells.size() == range.lastColumn - range.firstColumn + 1;
                    return true;
                },
                &failure))
            return failure.error;
        EXPECT_TRUE(whole) << "rows out of order or short of columns";
        EXPECT_EQ(expected, range.empty() ? 0 : range.lastRow + 1);
    }
    return ReadError::None;
}

// The stream cut anywhere is refused as damaged, never read short; bytes changed anywhere are
// read or refused with a failure, every row handed out whole (the sanitizer builds catch a read
// out of bounds).
TEST(XlsFormulas, AWorkbookStreamCutOrChangedAnywhereIsRefusedOrReadWhole) {
    std::string stream;
    ASSERT_EQ(detail::readWorkbookStreamFromMemory(fileBytes(kData + "/formulas.xls"), stream),
              detail::XlsStream::Ok);
    ASSERT_EQ(readStream(stream), ReadError::None);
    for (std::size_t cut = 0; cut < stream.size(); cut += 37) {
        const ReadError e = readStream(stream.substr(0, cut));
        EXPECT_TRUE(e == ReadError::Damaged || e == ReadError::NotWorkbook)
            << cut << ": " << static_cast<int>(e);
    }
    int refused = 0;
    for (std::size_t at = 0; at < stream.size(); at += 11) {
        std::string changed = stream;
        changed[at] = static_cast<char>(~changed[at]);
        refused += readStream(changed) != ReadError::None;
    }
    EXPECT_GT(refused, 0);
    std::string none;
    EXPECT_EQ(detail::readWorkbookStreamFromMemory("not a compound file", none),
              detail::XlsStream::NotCompound);
}
