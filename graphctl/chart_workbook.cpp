// The seven-chart workbook.
#include "chart_workbook.h"

#include "platform/workbook/xlsx_writer.h"
#include "platform/workbook/xml_text.h"
#include "platform/workbook/zip_package.h"

namespace zbq::grafvik {

namespace {

using workbook::ChartType;

struct ChartKind {
    const char* sheetName;
    ChartType type;
    bool round;  // labelled with name and share instead of the value
};

// Tab order: a spreadsheet program inserts each new chart sheet in front of the active one, so
// the sheets stand in the reverse of the order in which the charts are made.
constexpr ChartKind kCharts[] = {
    {"円グラフ", ChartType::Pie, true},
    {"立体円グラフ", ChartType::Pie, true},    // exploded 3-D pie
    {"棒グラフ", ChartType::Column, false},    // the default chart: clustered columns
    {"円柱グラフ", ChartType::Column, false},  // clustered cylinder columns
    {"折れ線グラフ", ChartType::Line, false},
    {"立体平面グラフ", ChartType::Area, false},     // 3-D area
    {"ドーナツグラフ", ChartType::Doughnut, true},  // exploded doughnut
};

constexpr const char* kDataSheet = "Data";

// Below what the parts take for an item (its row, and its point in the seven charts' caches of
// names and of values) and the number of times its name is stored, so that the estimate never
// refuses a workbook that could be written.
constexpr std::size_t kBytesPerItem = 560;
constexpr std::size_t kNameCopies = 7;

}  // namespace

bool chartWorkbookFits(const std::vector<Item>& items) {
    std::size_t bytes = 0;
    for (const Item& item : items) {
        bytes += kBytesPerItem + kNameCopies * item.name.size();
        if (bytes > workbook::ZipPackage::kMaxUnpackedSize) return false;
    }
    return true;
}

workbook::Workbook chartWorkbook(const std::vector<Item>& items) {
    workbook::Workbook book;
    book.styles.push_back(workbook::CellStyle{.text = true});

    workbook::Worksheet data;
    data.name = kDataSheet;
    data.visibility = workbook::Visibility::VeryHidden;
    data.cells.reserve(items.size() * 2);
    for (uint32_t row = 0; row < items.size(); ++row) {
        // The charts cache the names as the cells hold them: one cleaned text for both.
        data.cells.push_back(workbook::textCell(row, 0, workbook::xmlSafeText(items[row].name), 0));
        data.cells.push_back(workbook::numberCell(row, 1, items[row].value));
    }

    const uint32_t last = items.empty() ? 0 : static_cast<uint32_t>(items.size() - 1);
    for (const ChartKind& kind : kCharts) {
        workbook::Chartsheet sheet;
        sheet.name = kind.sheetName;
        sheet.zoomToFit = true;
        workbook::Chart& chart = sheet.chart;
        chart.type = kind.type;
        chart.categories = workbook::rangeFormula(kDataSheet, 0, 0, last, 0);
        chart.values = workbook::rangeFormula(kDataSheet, 0, 1, last, 1);
        if (kind.round) {
            chart.labels = {
                .category = true, .percent = true, .legendKey = true, .leaderLines = true};
        } else {
            chart.labels = {.value = true};
        }
        chart.legend = false;
        chart.plotAreaBorder = false;
        chart.markers = false;
        book.sheets.emplace_back(std::move(sheet));
    }
    book.sheets.emplace_back(std::move(data));
    book.activeSheet = 0;
    return book;
}

std::optional<std::string> chartWorkbookBytes(const std::vector<Item>& items, std::string* error) {
    auto pkg = workbook::buildXlsx(chartWorkbook(items), error);
    if (!pkg) return std::nullopt;
    return pkg->toBytes(error);
}

}  // namespace zbq::grafvik
