// BIFF workbooks (.xls) through freexl, which reads the whole file when it opens it.
#include <freexl.h>

#include <cstdio>
#include <cstring>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader_formats.h"

namespace zbq::workbook::detail {

namespace {

struct Handle {
    const void* h = nullptr;
    ~Handle() {
        if (h) freexl_close(h);
    }
};

// An encrypted Office Open XML workbook is a compound file too, holding the package encrypted
// in a stream of this name.
bool holdsEncryptedPackage(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    static constexpr char kName[] = "E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0";
    constexpr std::size_t kLen = sizeof kName - 1;
    std::string window;
    char buf[65536];
    bool found = false;
    for (std::size_t n, total = 0;
         !found && total < (std::size_t{64} << 20) && (n = std::fread(buf, 1, sizeof buf, f)) > 0;
         total += n) {
        window.append(buf, n);
        found = window.find(std::string_view(kName, kLen)) != std::string::npos;
        if (window.size() > kLen) window.erase(0, window.size() - kLen);
    }
    std::fclose(f);
    return found;
}

class XlsWorkbook;

class XlsSheet final : public SheetReader {
public:
    XlsSheet(XlsWorkbook& book, unsigned short index, std::string name)
        : book_(book), index_(index), name_(std::move(name)) {}
    bool scan(ReadStage stage, ReadFailure* failure);
    bool readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                  const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) override;

private:
    bool select(ReadStage stage, ReadFailure* failure);
    bool makeCell(const FreeXL_CellValue& v, uint32_t column, uint32_t row, ReadStage stage,
                  ReadFailure* failure, ReadCell& cell);

    XlsWorkbook& book_;
    unsigned short index_;
    std::string name_;
    unsigned int rows_ = 0;
    unsigned short columns_ = 0;
};

class XlsWorkbook final : public WorkbookReader {
public:
    bool list(const std::string& path, ReadStage stage, ReadFailure* failure) {
        const int rc = freexl_open(path.c_str(), &handle.h);
        if (rc != FREEXL_OK) {
            if (holdsEncryptedPackage(path))
                return fail(failure, stage, ReadError::Encrypted, path + ": an encrypted package");
            return fail(failure, stage,
                        rc == FREEXL_FILE_NOT_FOUND            ? ReadError::CannotOpen
                        : rc == FREEXL_BIFF_WORKBOOK_NOT_FOUND ? ReadError::NotWorkbook
                                                               : ReadError::Damaged,
                        path + ": freexl error " + std::to_string(rc));
        }
        unsigned int info = 0;
        if (freexl_get_info(handle.h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
            info == FREEXL_BIFF_OBFUSCATED)
            return fail(failure, stage, ReadError::Encrypted, path + ": password-protected");
        if (freexl_get_info(handle.h, FREEXL_BIFF_DATEMODE, &info) == FREEXL_OK)
            date1904_ = info == FREEXL_BIFF_DATEMODE_1904;
        unsigned int count = 0;
        if (freexl_get_info(handle.h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
            return fail(failure, stage, ReadError::Damaged, path + ": no sheet count");
        for (unsigned int i = 0; i < count && i < 65536; ++i) {
            const char* utf8 = nullptr;
            if (freexl_get_worksheet_name(handle.h, static_cast<unsigned short>(i), &utf8) !=
                    FREEXL_OK ||
                !utf8)
                return fail(failure, stage, ReadError::Damaged, path + ": a sheet without a name");
            auto name = cp932::fromUtf8(utf8);
            if (!name)
                return fail(failure, stage, ReadError::NotCp932, "sheet name", cp932Lossy(utf8));
            sheets_.push_back(SheetEntry{std::move(*name), false});
        }
        return true;
    }

    std::unique_ptr<SheetReader> openSheet(std::size_t index, ReadStage stage,
                                           ReadFailure* failure) override {
        if (index >= sheets_.size()) {
            fail(failure, stage, ReadError::NoSuchSheet, "sheet index past the list");
            return nullptr;
        }
        auto sheet = std::make_unique<XlsSheet>(*this, static_cast<unsigned short>(index),
                                                sheets_[index].name);
        if (!sheet->scan(stage, failure)) return nullptr;
        return sheet;
    }

    Handle handle;
};

bool XlsSheet::select(ReadStage stage, ReadFailure* failure) {
    if (freexl_select_active_worksheet(book_.handle.h, index_) != FREEXL_OK ||
        freexl_worksheet_dimensions(book_.handle.h, &rows_, &columns_) != FREEXL_OK)
        return fail(failure, stage, ReadError::Damaged, "the sheet cannot be selected");
    return true;
}

bool XlsSheet::scan(ReadStage stage, ReadFailure* failure) {
    if (!select(stage, failure)) return false;
    for (unsigned int r = 0; r < rows_; ++r)
        for (unsigned short c = 0; c < columns_; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(book_.handle.h, r, c, &v) != FREEXL_OK)
                return fail(failure, stage, ReadError::Damaged, "a cell cannot be read");
            if (v.type == FREEXL_CELL_NULL) continue;
            const uint32_t row = r + 1, column = c + 1u;
            if (range_.empty()) {
                range_ = UsedRange{row, row, column, column};
            } else {
                range_.lastRow = row;
                range_.firstColumn = std::min(range_.firstColumn, column);
                range_.lastColumn = std::max(range_.lastColumn, column);
            }
        }
    return true;
}

bool XlsSheet::makeCell(const FreeXL_CellValue& v, uint32_t column, uint32_t row, ReadStage stage,
                        ReadFailure* failure, ReadCell& cell) {
    cell = ReadCell{};
    switch (v.type) {
        case FREEXL_CELL_INT:
            cell.kind = CellKind::Number;
            cell.xlsKind = XlsKind::Int;
            cell.number = v.value.int_value;
            cell.text = numberText(cell.number);
            return true;
        case FREEXL_CELL_DOUBLE:
            cell.kind = CellKind::Number;
            cell.xlsKind = XlsKind::Double;
            cell.number = v.value.double_value;
            cell.text = numberText(cell.number);
            return true;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_TIME:
        case FREEXL_CELL_DATETIME:
            cell.kind = CellKind::Number;
            cell.xlsKind = v.type == FREEXL_CELL_DATE   ? XlsKind::Date
                           : v.type == FREEXL_CELL_TIME ? XlsKind::Time
                                                        : XlsKind::DateTime;
            cell.temporal = v.type == FREEXL_CELL_DATE   ? Temporal::Date
                            : v.type == FREEXL_CELL_TIME ? Temporal::Time
                                                         : Temporal::DateTime;
            cell.text = isoToCellText(v.value.text_value ? v.value.text_value : "");
            return true;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT: {
            auto text = cp932::fromUtf8(v.value.text_value ? v.value.text_value : "");
            if (!text)
                return fail(failure, stage, ReadError::NotCp932, "cell text", name_,
                            cellName(column, row));
            cell.kind = CellKind::Text;
            cell.text = std::move(*text);
            return true;
        }
        default:
            return true;
    }
}

bool XlsSheet::readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                        const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) {
    if (range_.empty()) return true;
    firstRow = std::max(firstRow, range_.firstRow);
    lastRow = std::min(lastRow, range_.lastRow);
    if (!select(stage, failure)) return false;
    RangeRow out;
    for (uint32_t row = firstRow; row <= lastRow; ++row) {
        out.row = row;
        out.cells.assign(range_.lastColumn - range_.firstColumn + 1, ReadCell{});
        for (uint32_t column = range_.firstColumn; column <= range_.lastColumn; ++column) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(book_.handle.h, row - 1,
                                      static_cast<unsigned short>(column - 1), &v) != FREEXL_OK)
                return fail(failure, stage, ReadError::Damaged, "a cell cannot be read");
            if (!makeCell(v, column, row, stage, failure, out.cells[column - range_.firstColumn]))
                return false;
        }
        if (!sink(out)) return true;
    }
    return true;
}

}  // namespace

std::unique_ptr<WorkbookReader> openXls(const std::string& path, ReadStage stage,
                                        ReadFailure* failure) {
    auto book = std::make_unique<XlsWorkbook>();
    if (!book->list(path, stage, failure)) return nullptr;
    return book;
}

}  // namespace zbq::workbook::detail
