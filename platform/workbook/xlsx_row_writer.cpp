// Row-by-row workbooks over libxlsxwriter's constant-memory mode, committed through AtomicFile.
#include "platform/workbook/xlsx_row_writer.h"

#include <sys/stat.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

#include "platform/core/atomic_file.h"
#include "platform/core/folders.h"

namespace zbq::workbook {

namespace {

// Past this many cells the sheet's XML may pass the 4 GB a plain zip entry can hold.
constexpr std::uint64_t kZip64Cells = 50'000'000;

std::string numberFormat(NumberForm form) {
    std::string text = form.grouped ? "#,##0" : "0";
    if (form.decimals > 0) text += '.' + std::string(static_cast<std::size_t>(form.decimals), '0');
    return text;
}

}  // namespace

struct XlsxRowWriter::State {
    explicit State(const std::string& target) : file(target) {}
    AtomicFile file;
    std::string scratchDir;
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    std::uint64_t rows = 0, columns = 0;
    std::uint64_t row = 0, column = 0;
    std::map<std::pair<std::int32_t, bool>, lxw_format*> formats;
    bool failed = false;
};

XlsxRowWriter::XlsxRowWriter(std::string targetPath) : target_(std::move(targetPath)) {}

XlsxRowWriter::~XlsxRowWriter() {
    // Closing is the only way to free a libxlsxwriter workbook; what it writes is the
    // temporary, which AtomicFile then removes.
    if (state_ && state_->book) workbook_close(state_->book);
}

bool XlsxRowWriter::fail(std::string message) {
    if (error_.empty()) error_ = std::move(message);
    if (state_) state_->failed = true;
    return false;
}

bool XlsxRowWriter::open(std::uint64_t rows, std::uint64_t columns) {
    if (state_) return fail("the workbook is already open");
    if (!fits(rows, columns)) return fail("the table is larger than a sheet");
    state_ = std::make_unique<State>(target_);
    State& s = *state_;
    if (!s.file.open())
        return fail(std::string("cannot write here: ") + std::strerror(s.file.error()));
    s.scratchDir = parentFolder(target_);
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = s.scratchDir.data();
    options.use_zip64 = rows * columns > kZip64Cells ? LXW_TRUE : LXW_FALSE;
    s.book = workbook_new_opt(s.file.tempPath().c_str(), &options);
    if (!s.book) return fail("cannot start a workbook");
    s.sheet = workbook_add_worksheet(s.book, nullptr);
    if (!s.sheet) return fail("cannot add a sheet");
    s.rows = rows;
    s.columns = columns;
    return true;
}

bool XlsxRowWriter::nextCell() {
    if (!state_ || !state_->book || state_->failed) return fail("the workbook is not open");
    if (state_->row >= state_->rows || state_->column >= state_->columns)
        return fail("a cell outside the declared table");
    return true;
}

bool XlsxRowWriter::addText(std::string_view utf8) {
    if (!nextCell()) return false;
    State& s = *state_;
    // The library wants a terminated string; a cell's text is short, so one copy costs little.
    const std::string text(utf8);
    const lxw_error err =
        worksheet_write_string(s.sheet, static_cast<lxw_row_t>(s.row),
                               static_cast<lxw_col_t>(s.column), text.c_str(), nullptr);
    if (err != LXW_NO_ERROR)
        return fail("row " + std::to_string(s.row + 1) + ": " + lxw_strerror(err));
    ++s.column;
    return true;
}

bool XlsxRowWriter::addNumber(double value, NumberForm form) {
    if (!nextCell()) return false;
    State& s = *state_;
    lxw_format* format = nullptr;
    // A plain integer needs no format of its own: General shows it as the grid does.
    if (form.grouped || form.decimals > 0) {
        auto key = std::make_pair(form.decimals, form.grouped);
        auto found = s.formats.find(key);
        if (found == s.formats.end()) {
            lxw_format* made = workbook_add_format(s.book);
            if (!made) return fail("cannot add a number format");
            format_set_num_format(made, numberFormat(form).c_str());
            found = s.formats.emplace(key, made).first;
        }
        format = found->second;
    }
    const lxw_error err = worksheet_write_number(s.sheet, static_cast<lxw_row_t>(s.row),
                                                 static_cast<lxw_col_t>(s.column), value, format);
    if (err != LXW_NO_ERROR)
        return fail("row " + std::to_string(s.row + 1) + ": " + lxw_strerror(err));
    ++s.column;
    return true;
}

bool XlsxRowWriter::addEmpty() {
    if (!nextCell()) return false;
    ++state_->column;
    return true;
}

bool XlsxRowWriter::endRow() {
    if (!state_ || !state_->book || state_->failed) return fail("the workbook is not open");
    if (state_->row >= state_->rows) return fail("a row outside the declared table");
    ++state_->row;
    state_->column = 0;
    return true;
}

bool XlsxRowWriter::commit() {
    if (!state_ || !state_->book || state_->failed) return fail("the workbook is not open");
    State& s = *state_;
    const lxw_error err = workbook_close(s.book);
    s.book = nullptr;
    if (err != LXW_NO_ERROR)
        return fail(std::string("cannot write the workbook: ") + lxw_strerror(err));
    if (!s.file.commit())
        return fail(std::string("cannot replace the file: ") + std::strerror(s.file.error()));
    return true;
}

bool heldBySpreadsheet(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat st {};
    return ::lstat((folder + ".~lock." + name + "#").c_str(), &st) == 0;
}

}  // namespace zbq::workbook
