// The summary sheet.
#include "summary_sheet.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "platform/core/regular_file.h"
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

namespace {

// The workbook held by `lock` with the summary in front of its sheets.
std::optional<std::string> withSummary(const WorkbookLock& lock, const std::vector<Item>& items,
                                       int32_t total, std::string* error) {
    auto pkg = workbook::ZipPackage::fromFile(descriptorPath(lock.fd()), error);
    if (!pkg) return std::nullopt;
    auto names = workbook::sheetNames(*pkg);
    if (!names) {
        if (error) *error = "not a workbook";
        return std::nullopt;
    }
    auto sheet =
        workbook::buildXlsx(summaryWorkbook(summarySheetName(*names), items, total), error);
    if (!sheet || !workbook::graftSheetInFront(*pkg, *sheet, error)) return std::nullopt;
    return pkg->toBytes(error);
}

std::optional<std::string> newSummary(const std::vector<Item>& items, int32_t total,
                                      std::string* error) {
    auto pkg = workbook::buildXlsx(summaryWorkbook("Data1", items, total), error);
    if (!pkg) return std::nullopt;
    return pkg->toBytes(error);
}

// A workbook that keeps coming and going under the name fails after this many turns.
constexpr int kMaxTurns = 100;

}  // namespace

bool saveSummary(WorkbookLock& lock, const std::vector<Item>& items, int32_t total,
                 std::string* error) {
    const auto failed = [&](int err) {
        if (error && error->empty()) *error = std::strerror(err);
        return false;
    };
    for (int turn = 0; turn < kMaxTurns; ++turn) {
        if (lock.held() && !lock.writable()) return failed(errno);
        const bool adding = lock.held();
        auto bytes =
            adding ? withSummary(lock, items, total, error) : newSummary(items, total, error);
        if (!bytes) return failed(EINVAL);
        // An existing workbook keeps its permission (and, for root to write, its owner).
        if (lock.place(*bytes, adding ? KeptMode::of(lock.file()) : KeptMode{})) return true;
        // Another writer made the workbook meanwhile: the summary goes into theirs, rather than
        // replacing a book that lacks its own. Anything else (the locked file replaced by
        // another program) is kept as it is.
        if (adding || errno != EEXIST) return failed(errno);
        if (!lock.relock()) return failed(errno);
    }
    return failed(EWOULDBLOCK);
}

}  // namespace zbq::grafvik
