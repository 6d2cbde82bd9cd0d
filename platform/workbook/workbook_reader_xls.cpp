// BIFF workbooks (.xls) through freexl, which reads the whole file when it opens it.
//
// freexl reads out of bounds on some damaged files, so it never runs in our own process: a
// child process opens the file with it and sends back, through a pipe, everything the import
// reads (the date system, sheet names and every cell that holds a value). freexl reports a
// formula cell as empty; the child reads the result the file stores for it from the records
// itself (workbook_reader_xls_formulas.h). A child that
// crashes, stops without saying all, sends more than the limit or goes silent leaves a damaged
// file, never a crashed or hanging reader.
#include <fcntl.h>
#include <freexl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader_formats.h"
#include "platform/workbook/workbook_reader_xls_formulas.h"
#include "platform/workbook/zip_package.h"

namespace zbq::workbook::detail {

namespace {

// How long the child may stay silent before it is taken for hanging, and how often the parent
// lets its windows' messages through while it waits.
constexpr auto kSilence = std::chrono::seconds(60);
constexpr int kPumpEveryMs = 50;
// What the child may say: a few times the file (a .xls cell costs at least a few bytes of it,
// and every text is said again for each cell that shows it), and a floor for small files.
constexpr std::uint64_t kMessageFloor = std::uint64_t{16} << 20;
constexpr std::uint64_t kMessagePerFileByte = 16;

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

// What the child says first.
enum class Opened : uint8_t { Ok, NotFound, NoWorkbook, Damaged, Encrypted };

// The kinds of a formula's stored result, said beside freexl's cell types.
constexpr unsigned char kFormulaNumber = 120;  // a temporal byte, then the number
constexpr unsigned char kFormulaBoolean = 121;
constexpr unsigned char kFormulaError = 122;

// One valued cell, its text (if any) in its sheet's `texts`: a cell costs what it says, not
// an object of its own.
struct XlsCell {
    uint32_t row = 0, column = 0;  // 1-based
    double number = 0;
    uint32_t textBegin = 0, textSize = 0;
    uint8_t type = FREEXL_CELL_NULL;
    uint8_t temporal = 0;  // kFormulaNumber's
};

struct XlsSheetData {
    std::string name;            // CP932
    std::vector<XlsCell> cells;  // row by row, left to right
    std::string texts;           // UTF-8, back to back
    std::string_view text(const XlsCell& c) const {
        return std::string_view(texts).substr(c.textBegin, c.textSize);
    }
};

// ---- the child's side ----

class PipeWriter {
public:
    explicit PipeWriter(int fd) : fd_(fd) {}
    ~PipeWriter() { flush(); }
    template <typename T>
    void put(const T& value) {
        buf_.append(reinterpret_cast<const char*>(&value), sizeof value);
        if (buf_.size() >= 65536) flush();
    }
    void putText(const char* text) {
        const std::string_view t = text ? text : "";
        put(static_cast<uint32_t>(t.size()));
        buf_.append(t);
        if (buf_.size() >= 65536) flush();
    }
    void flush() {
        for (std::size_t done = 0; done < buf_.size();) {
            const ssize_t n = ::write(fd_, buf_.data() + done, buf_.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) _exit(3);
            done += static_cast<std::size_t>(n);
        }
        buf_.clear();
    }

private:
    int fd_;
    std::string buf_;
};

void putFormula(PipeWriter& out, const FormulaResult& f, unsigned int r, unsigned short c) {
    switch (f.kind) {
        case FormulaResult::Kind::Number:
            out.put(kFormulaNumber);
            break;
        case FormulaResult::Kind::Boolean:
            out.put(kFormulaBoolean);
            break;
        case FormulaResult::Kind::Error:
            out.put(kFormulaError);
            break;
        case FormulaResult::Kind::Text:
            out.put(static_cast<unsigned char>(FREEXL_CELL_TEXT));
    }
    out.put(static_cast<uint32_t>(r + 1));
    out.put(static_cast<uint32_t>(c + 1));
    if (f.kind == FormulaResult::Kind::Number) out.put(f.temporal);
    if (f.kind == FormulaResult::Kind::Number || f.kind == FormulaResult::Kind::Boolean)
        out.put(f.number);
    else
        out.putText(f.text.c_str());
}

[[noreturn]] void runChild(const std::string& path, int fd) {
    PipeWriter out(fd);
    const void* h = nullptr;
    const int rc = freexl_open(path.c_str(), &h);
    if (rc != FREEXL_OK) {
        out.put(rc == FREEXL_FILE_NOT_FOUND            ? Opened::NotFound
                : rc == FREEXL_BIFF_WORKBOOK_NOT_FOUND ? Opened::NoWorkbook
                                                       : Opened::Damaged);
        out.put(rc);
        out.flush();
        _exit(0);
    }
    unsigned int info = 0;
    if (freexl_get_info(h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        out.put(Opened::Encrypted);
        out.put(rc);
        out.flush();
        _exit(0);
    }
    out.put(Opened::Ok);
    out.put(rc);
    info = 0;
    freexl_get_info(h, FREEXL_BIFF_DATEMODE, &info);
    out.put(static_cast<uint8_t>(info == FREEXL_BIFF_DATEMODE_1904));
    unsigned int count = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) _exit(4);
    count = std::min(count, 65535u);
    out.put(static_cast<uint32_t>(count));
    std::string stream;
    const FormulaResults formulas =
        readWorkbookStream(path, stream) ? formulaResults(stream) : FormulaResults{};
    stream = std::string();
    for (unsigned int s = 0; s < count; ++s) {
        const char* name = nullptr;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_get_worksheet_name(h, static_cast<unsigned short>(s), &name) != FREEXL_OK ||
            freexl_select_active_worksheet(h, static_cast<unsigned short>(s)) != FREEXL_OK ||
            freexl_worksheet_dimensions(h, &rows, &columns) != FREEXL_OK)
            _exit(4);
        out.putText(name);
        // This sheet's formula results by cell, for the cells freexl calls empty.
        std::unordered_map<uint64_t, const FormulaResult*> formulaAt;
        if (auto f = formulas.find(name ? name : ""); f != formulas.end())
            for (const FormulaResult& result : f->second)
                formulaAt.emplace(uint64_t{result.row} << 32 | result.column, &result);
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK) _exit(4);
                if (v.type == FREEXL_CELL_NULL && !formulaAt.empty()) {
                    const auto f = formulaAt.find(uint64_t{r} << 32 | c);
                    if (f != formulaAt.end()) putFormula(out, *f->second, r, c);
                    continue;
                }
                if (v.type == FREEXL_CELL_NULL) continue;
                out.put(v.type);
                out.put(static_cast<uint32_t>(r + 1));
                out.put(static_cast<uint32_t>(c + 1));
                if (v.type == FREEXL_CELL_INT)
                    out.put(static_cast<double>(v.value.int_value));
                else if (v.type == FREEXL_CELL_DOUBLE)
                    out.put(v.value.double_value);
                else
                    out.putText(v.value.text_value);
            }
        out.put(static_cast<unsigned char>(FREEXL_CELL_NULL));  // the sheet's end
    }
    out.flush();
    _exit(0);
}

// ---- the parent's side ----

// The child's whole message; false when it crashed, hung, said too much or could not start.
bool runReader(const std::string& path, std::string& message, std::string& why) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        why = "cannot start the .xls reader";
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        why = "cannot start the .xls reader";
        return false;
    }
    if (pid == 0) {
        // The child dies with the parent, and holds nothing of it but the pipe it writes to
        // (no window connection, no lock of temp/), so that it keeps nothing alive past it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) _exit(5);
        int out = fds[1];
        if (out != 3) {
            if (::dup2(out, 3) < 0) _exit(5);
            out = 3;
        }
        ::close_range(4, ~0U, 0);
        runChild(path, out);
    }
    ::close(fds[1]);
    struct stat st {};
    const std::uint64_t fileSize = ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
    const std::uint64_t limit = std::min<std::uint64_t>(
        ZipPackage::kMaxUnpackedSize, kMessageFloor + kMessagePerFileByte * fileSize);
    bool ok = true;
    char buf[65536];
    auto lastHeard = std::chrono::steady_clock::now();
    for (;;) {
        pumpWhileReading();
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, kPumpEveryMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (ready == 0 && std::chrono::steady_clock::now() - lastHeard > kSilence)) {
            why = "the .xls reader went silent";
            ok = false;
            break;
        }
        if (ready == 0) continue;
        lastHeard = std::chrono::steady_clock::now();
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        message.append(buf, static_cast<std::size_t>(n));
        if (message.size() > limit) {
            why = "more cells than a workbook we read holds";
            ok = false;
            break;
        }
    }
    ::close(fds[0]);
    if (!ok) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (ok && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        why = "the .xls reader stopped on the file";
        ok = false;
    }
    return ok;
}

// Reads the child's message with every length checked.
class MessageReader {
public:
    explicit MessageReader(std::string_view m) : m_(m) {}
    template <typename T>
    bool get(T& value) {
        if (m_.size() - pos_ < sizeof value) return false;
        std::memcpy(&value, m_.data() + pos_, sizeof value);
        pos_ += sizeof value;
        return true;
    }
    bool getText(std::string& text) {
        std::string_view view;
        if (!getText(view)) return false;
        text.assign(view);
        return true;
    }
    bool getText(std::string_view& text) {
        uint32_t n = 0;
        if (!get(n) || m_.size() - pos_ < n) return false;
        text = m_.substr(pos_, n);
        pos_ += n;
        return true;
    }
    bool atEnd() const { return pos_ == m_.size(); }

private:
    std::string_view m_;
    std::size_t pos_ = 0;
};

class XlsSheet final : public SheetReader {
public:
    XlsSheet(const XlsSheetData& data, bool date1904) : data_(data), date1904_(date1904) {
        for (const XlsCell& c : data_.cells)
            range_.include(c.column, c.row);
    }
    bool readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                  const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) override;

private:
    bool makeCell(const XlsCell& c, ReadStage stage, ReadFailure* failure, ReadCell& cell) const;
    const XlsSheetData& data_;
    bool date1904_;
};

bool XlsSheet::makeCell(const XlsCell& c, ReadStage stage, ReadFailure* failure,
                        ReadCell& cell) const {
    cell = ReadCell{};
    switch (c.type) {
        case FREEXL_CELL_INT:
        case FREEXL_CELL_DOUBLE:
            cell.kind = CellKind::Number;
            cell.xlsKind = c.type == FREEXL_CELL_INT ? XlsKind::Int : XlsKind::Double;
            cell.number = c.number;
            cell.text = numberText(cell.number);
            return true;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_TIME:
        case FREEXL_CELL_DATETIME:
            cell.kind = CellKind::Number;
            cell.xlsKind = c.type == FREEXL_CELL_DATE   ? XlsKind::Date
                           : c.type == FREEXL_CELL_TIME ? XlsKind::Time
                                                        : XlsKind::DateTime;
            cell.temporal = c.type == FREEXL_CELL_DATE   ? Temporal::Date
                            : c.type == FREEXL_CELL_TIME ? Temporal::Time
                                                         : Temporal::DateTime;
            cell.text = isoToCellText(data_.text(c));
            return true;
        case kFormulaNumber: {
            const Temporal temporal = c.temporal <= static_cast<uint8_t>(Temporal::DateTime)
                                          ? static_cast<Temporal>(c.temporal)
                                          : Temporal::None;
            cell.kind = CellKind::Number;
            cell.xlsKind = XlsKind::Double;
            cell.number = c.number;
            auto serial = temporal == Temporal::None ? std::nullopt
                                                     : serialText(c.number, temporal, date1904_);
            if (serial) {
                cell.temporal = temporal;
                cell.xlsKind = temporal == Temporal::Date   ? XlsKind::Date
                               : temporal == Temporal::Time ? XlsKind::Time
                                                            : XlsKind::DateTime;
                cell.text = std::move(*serial);
            } else {
                cell.text = numberText(c.number);
            }
            return true;
        }
        case kFormulaBoolean:
            cell.kind = CellKind::Boolean;
            cell.number = c.number;
            cell.text = c.number != 0 ? "TRUE" : "FALSE";
            return true;
        case kFormulaError:
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT: {
            auto text = cp932::fromUtf8(data_.text(c));
            if (!text)
                return fail(failure, stage, ReadError::NotCp932, "cell text", data_.name,
                            cellName(c.column, c.row));
            cell.kind = c.type == kFormulaError ? CellKind::Error : CellKind::Text;
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
    auto next = std::lower_bound(data_.cells.begin(), data_.cells.end(), firstRow,
                                 [](const XlsCell& c, uint32_t row) { return c.row < row; });
    RangeRow out;
    for (uint32_t row = firstRow; row <= lastRow; ++row) {
        out.row = row;
        out.cells.assign(range_.lastColumn - range_.firstColumn + 1, ReadCell{});
        for (; next != data_.cells.end() && next->row == row; ++next)
            if (!makeCell(*next, stage, failure, out.cells[next->column - range_.firstColumn]))
                return false;
        if (!sink(out)) return true;
    }
    return true;
}

class XlsWorkbook final : public WorkbookReader {
public:
    bool list(const std::string& path, ReadStage stage, ReadFailure* failure) {
        std::string message, why;
        if (!runReader(path, message, why)) {
            const ReadError error =
                why.starts_with("more cells") ? ReadError::TooLarge : ReadError::Damaged;
            return fail(failure, stage, error, path + ": " + why);
        }
        MessageReader in(message);
        Opened opened{};
        int rc = 0;
        if (!in.get(opened) || !in.get(rc))
            return fail(failure, stage, ReadError::Damaged, path + ": no answer");
        if (opened != Opened::Ok) {
            if (opened == Opened::Encrypted || holdsEncryptedPackage(path))
                return fail(failure, stage, ReadError::Encrypted, path + ": password-protected");
            return fail(failure, stage,
                        opened == Opened::NotFound     ? ReadError::CannotOpen
                        : opened == Opened::NoWorkbook ? ReadError::NotWorkbook
                                                       : ReadError::Damaged,
                        path + ": freexl error " + std::to_string(rc));
        }
        uint8_t mode = 0;
        uint32_t count = 0;
        if (!in.get(mode) || !in.get(count))
            return fail(failure, stage, ReadError::Damaged, path + ": cut short");
        date1904_ = mode != 0;
        for (uint32_t s = 0; s < count; ++s) {
            XlsSheetData sheet;
            std::string utf8;
            if (!in.getText(utf8))
                return fail(failure, stage, ReadError::Damaged, path + ": cut short");
            auto name = cp932::fromUtf8(utf8);
            if (!name)
                return fail(failure, stage, ReadError::NotCp932, "sheet name", cp932Lossy(utf8));
            sheet.name = std::move(*name);
            for (;;) {
                XlsCell c;
                if (!in.get(c.type))
                    return fail(failure, stage, ReadError::Damaged, path + ": cut short");
                if (c.type == FREEXL_CELL_NULL) break;
                const bool numeric = c.type == FREEXL_CELL_INT || c.type == FREEXL_CELL_DOUBLE ||
                                     c.type == kFormulaNumber || c.type == kFormulaBoolean;
                if (!in.get(c.row) || !in.get(c.column))
                    return fail(failure, stage, ReadError::Damaged, path + ": cut short");
                if (c.type == kFormulaNumber && !in.get(c.temporal))
                    return fail(failure, stage, ReadError::Damaged, path + ": cut short");
                if (numeric) {
                    if (!in.get(c.number))
                        return fail(failure, stage, ReadError::Damaged, path + ": cut short");
                } else {
                    std::string_view text;
                    if (!in.getText(text))
                        return fail(failure, stage, ReadError::Damaged, path + ": cut short");
                    c.textBegin = static_cast<uint32_t>(sheet.texts.size());
                    c.textSize = static_cast<uint32_t>(text.size());
                    sheet.texts += text;
                }
                sheet.cells.push_back(c);
            }
            sheets_.push_back(SheetEntry{sheet.name, false});
            data_.push_back(std::move(sheet));
        }
        if (!in.atEnd())
            return fail(failure, stage, ReadError::Damaged, path + ": more than it should say");
        return true;
    }

    // The child process hands over whole sheets, so there is no scan to spare.
    std::unique_ptr<SheetReader> openSheet(std::size_t index, ReadStage stage, ReadFailure* failure,
                                           const KnownScan&) override {
        if (index >= data_.size()) {
            fail(failure, stage, ReadError::NoSuchSheet, "sheet index past the list");
            return nullptr;
        }
        return std::make_unique<XlsSheet>(data_[index], date1904_);
    }

private:
    std::vector<XlsSheetData> data_;
};

}  // namespace

std::unique_ptr<WorkbookReader> openXls(const std::string& path, ReadStage stage,
                                        ReadFailure* failure) {
    auto book = std::make_unique<XlsWorkbook>();
    if (!book->list(path, stage, failure)) return nullptr;
    return book;
}

}  // namespace zbq::workbook::detail
