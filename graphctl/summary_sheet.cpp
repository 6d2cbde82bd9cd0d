// The summary sheet.
#include "summary_sheet.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "platform/core/atomic_file.h"
#include "platform/core/regular_file.h"
#include "platform/core/staged_file.h"
#include "platform/workbook/sheet_graft.h"
#include "platform/workbook/xlsx_writer.h"
#include "platform/workbook/xml_text.h"

namespace zbq::grafvik {

namespace {

using workbook::blankCell;
using workbook::CellStyle;
using workbook::numberCell;
using workbook::textCell;

constexpr uint32_t kHeaderRow = 3;  // row 4
constexpr uint16_t kNameCol = 1;    // B
constexpr uint16_t kValueCol = 2;   // C
constexpr uint16_t kShareCol = 3;   // D
constexpr uint32_t kYellow = 0xFFFF00;

enum Style { kBordered, kBorderedText, kTotalRow };

// How long a writer waits for another one to finish with the same workbook.
constexpr auto kLockWait = std::chrono::seconds(30);

// An exclusive advisory lock on the workbook file as it stands at a path. A writer replaces the
// file by a rename, so a lock taken on the file it replaced is stale: the lock is only held once
// the locked file is still the one at the path.
class WorkbookLock {
public:
    WorkbookLock() = default;
    ~WorkbookLock() {
        if (fd_ >= 0) ::close(fd_);  // releases the lock
    }
    WorkbookLock(const WorkbookLock&) = delete;
    WorkbookLock& operator=(const WorkbookLock&) = delete;

    bool acquire(const std::string& path, std::string* error) {
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        for (;;) {
            RegularFileError why;
            struct stat held {};
            fd_ = openRegularFile(path, std::numeric_limits<std::uint64_t>::max(), why, &held);
            if (fd_ < 0)  // no workbook file, or none at all
                return failed(path, error, why == RegularFileError::NotRegular ? EINVAL : errno);
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                struct stat now {};
                if (::stat(path.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
                    held.st_ino == now.st_ino)
                    return true;
            } else if (errno != EWOULDBLOCK) {
                // A file system without locks: no other writer of ours can be shut out there.
                return errno == ENOLCK || errno == EOPNOTSUPP || failed(path, error, errno);
            }
            ::close(fd_);
            fd_ = -1;
            if (std::chrono::steady_clock::now() >= deadline)
                return failed(path, error, EWOULDBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // The locked file itself, whatever has since come to stand at the path.
    std::string readPath() const { return descriptorPath(fd_); }

private:
    static bool failed(const std::string& path, std::string* error, int err) {
        if (error) *error = path + ": " + std::strerror(err);
        return false;
    }

    int fd_ = -1;
};

}  // namespace

std::string shareText(int32_t value, int32_t total) {
    if (total == 0) return {};
    // The default rounding mode rounds halves to even.
    double share = std::nearbyint(static_cast<double>(value) / total * 100.0);
    char buf[32];
    auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(share)).ptr;
    return std::string(buf, end) + "%";
}

workbook::Workbook summaryWorkbook(const std::string& sheetName, const std::vector<Item>& items,
                                   int32_t total) {
    workbook::Workbook book;
    book.styles = {CellStyle{.thinBorders = true}, CellStyle{.text = true, .thinBorders = true},
                   CellStyle{.fill = kYellow, .thinBorders = true}};
    workbook::Worksheet sheet;
    sheet.name = sheetName;
    auto& cells = sheet.cells;
    cells.push_back(textCell(kHeaderRow, kNameCol, "項目名", kBordered));
    cells.push_back(textCell(kHeaderRow, kValueCol, "データ", kBordered));
    cells.push_back(blankCell(kHeaderRow, kShareCol, kBordered));
    uint32_t row = kHeaderRow + 1;
    for (const Item& item : items) {
        // The pie caches the names as the cells hold them: one cleaned text for both.
        cells.push_back(textCell(row, kNameCol, workbook::xmlSafeText(item.name), kBorderedText));
        cells.push_back(numberCell(row, kValueCol, item.value, kBordered));
        std::string share = shareText(item.value, total);
        cells.push_back(share.empty() ? blankCell(row, kShareCol, kBordered)
                                      : textCell(row, kShareCol, std::move(share), kBordered));
        ++row;
    }
    cells.push_back(textCell(row, kNameCol, "合計", kTotalRow));
    cells.push_back(numberCell(row, kValueCol, total, kTotalRow));
    cells.push_back(blankCell(row, kShareCol, kTotalRow));

    workbook::PlacedChart placed;
    placed.row = kHeaderRow;
    placed.col = kShareCol + 2;  // F4: beside the table, one column apart
    workbook::Chart& chart = placed.chart;
    chart.type = workbook::ChartType::Pie;  // an exploded 3-D pie in flat form
    const uint32_t first = kHeaderRow + 1, last = row - 1;
    chart.categories = workbook::rangeFormula(sheetName, first, kNameCol, last, kNameCol);
    chart.values = workbook::rangeFormula(sheetName, first, kValueCol, last, kValueCol);
    chart.labels = {.category = true, .percent = true, .legendKey = true, .leaderLines = true};
    chart.plotAreaBorder = false;
    sheet.charts.push_back(std::move(placed));

    book.sheets.emplace_back(std::move(sheet));
    return book;
}

bool writeNewSummary(const std::string& path, const std::vector<Item>& items, int32_t total,
                     std::string* error) {
    auto pkg = workbook::buildXlsx(summaryWorkbook("Data1", items, total), error);
    if (!pkg) return false;
    auto bytes = pkg->toBytes(error);
    if (!bytes) return false;
    // Placed only under a free name: a workbook another writer made meanwhile gets this summary
    // added, rather than being replaced by a book that lacks its own.
    StagedFile file(path);
    if (file.write(*bytes, kNewFileMode) && file.placeIfFree()) return true;
    if (errno == EEXIST) return addSummary(path, items, total, error);
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
}

std::string summarySheetName(const std::vector<std::string>& existing) {
    auto taken = [&](const std::string& name) {
        for (const std::string& e : existing) {
            bool same = e.size() == name.size();
            for (std::size_t i = 0; same && i < e.size(); ++i)
                same = std::tolower(static_cast<unsigned char>(e[i])) ==
                       std::tolower(static_cast<unsigned char>(name[i]));
            if (same) return true;
        }
        return false;
    };
    std::size_t k = existing.size() + 1;
    while (taken("Data" + std::to_string(k)))
        ++k;
    return "Data" + std::to_string(k);
}

bool addSummary(const std::string& path, const std::vector<Item>& items, int32_t total,
                std::string* error) {
    // Read, graft and save under the lock: a second writer reads only what the first saved.
    WorkbookLock lock;
    if (!lock.acquire(path, error)) return false;
    auto pkg = workbook::ZipPackage::fromFile(lock.readPath(), error);
    if (!pkg) return false;
    auto names = workbook::sheetNames(*pkg);
    if (!names) {
        if (error) *error = path + ": not a workbook";
        return false;
    }
    auto sheet =
        workbook::buildXlsx(summaryWorkbook(summarySheetName(*names), items, total), error);
    return sheet && workbook::graftSheetInFront(*pkg, *sheet, error) && pkg->save(path, error);
}

}  // namespace zbq::grafvik
