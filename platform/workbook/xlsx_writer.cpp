// Workbook files over libxlsxwriter, finished with the package edits it cannot make itself (very
// hidden sheets, chart sheets sized with the window).
#include "xlsx_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/core/regular_file.h"
#include "platform/workbook/package_xml.h"
#include "platform/workbook/xml_text.h"

namespace zbq::workbook {

namespace {

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

// The file libxlsxwriter writes the package into before we finish it. It has no name in any
// folder, so a writer killed half-way strands nothing: it is made unnamed (O_TMPFILE) in the
// system's temporary folder, or named and unlinked at once where that folder's file system
// cannot, and the library reaches it through this process's descriptor link.
class ScratchFile {
public:
    ScratchFile() {
        std::error_code ec;
        std::string dir = std::filesystem::temp_directory_path(ec).string();
        if (ec) dir = "/tmp";
        fd_ = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            std::string name = dir + "/zbq-xlsx.XXXXXX";
            fd_ = ::mkostemp(name.data(), O_CLOEXEC);
            if (fd_ < 0) return;
            ::unlink(name.c_str());
        }
        path_ = descriptorPath(fd_);
        struct stat st {};
        if (::stat(path_.c_str(), &st) != 0) {
            // No descriptor links to name the file by: no file.
            const int e = errno;
            ::close(fd_);
            fd_ = -1;
            path_.clear();
            errno = e;
        }
    }
    ~ScratchFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // A name that opens the scratch file for as long as this object lives; "" when it could
    // not be made.
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const {
        // Closing is the only way to free a libxlsxwriter workbook; it writes the (scratch) file.
        workbook_close(wb);
    }
};

uint8_t lxwChartType(ChartType type) {
    switch (type) {
        case ChartType::Column:
            return LXW_CHART_COLUMN;
        case ChartType::Line:
            return LXW_CHART_LINE;
        case ChartType::Area:
            return LXW_CHART_AREA;
        case ChartType::Pie:
            return LXW_CHART_PIE;
        case ChartType::Doughnut:
            return LXW_CHART_DOUGHNUT;
    }
    return LXW_CHART_COLUMN;
}

lxw_chart* makeChart(lxw_workbook* wb, const Chart& chartDef, std::string* error) {
    lxw_chart* chart = workbook_add_chart(wb, lxwChartType(chartDef.type));
    if (!chart) {
        setError(error, "cannot create a chart");
        return nullptr;
    }
    lxw_chart_series* series =
        chart_add_series(chart, chartDef.categories.c_str(), chartDef.values.c_str());
    if (!series) {
        setError(error, "cannot add the chart's data series");
        return nullptr;
    }
    const DataLabels& l = chartDef.labels;
    if (l.value || l.category || l.percent) {
        chart_series_set_labels(series);
        chart_series_set_labels_options(series, LXW_FALSE, l.category, l.value);
        if (l.percent) chart_series_set_labels_percentage(series);
        if (l.legendKey) chart_series_set_labels_legend(series);
        bool round = chartDef.type == ChartType::Pie || chartDef.type == ChartType::Doughnut;
        if (l.leaderLines && round) chart_series_set_labels_leader_line(series);
    }
    if (chartDef.type == ChartType::Line && !chartDef.markers)
        chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
    if (!chartDef.legend) chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    if (!chartDef.plotAreaBorder) {
        lxw_chart_line none = {};
        none.none = LXW_TRUE;
        chart_plotarea_set_line(chart, &none);
    }
    return chart;
}

std::vector<lxw_format*> makeFormats(lxw_workbook* wb, const std::vector<CellStyle>& styles) {
    std::vector<lxw_format*> formats;
    for (const CellStyle& s : styles) {
        lxw_format* f = workbook_add_format(wb);
        if (s.text) format_set_num_format(f, "@");
        if (s.fill) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, static_cast<lxw_color_t>(*s.fill));
        }
        if (s.thinBorders) format_set_border(f, LXW_BORDER_THIN);
        if (!s.numberFormat.empty()) format_set_num_format(f, s.numberFormat.c_str());
        formats.push_back(f);
    }
    return formats;
}

bool addSheetName(lxw_workbook* wb, const std::string& name, std::string* error) {
    lxw_error err = workbook_validate_sheet_name(wb, name.c_str());
    if (err == LXW_NO_ERROR) return true;
    setError(error, "sheet name \"" + name + "\": " + lxw_strerror(err));
    return false;
}

bool overlaps(const MergedRange& a, const MergedRange& b) {
    return a.firstRow <= b.lastRow && b.firstRow <= a.lastRow && a.firstCol <= b.lastCol &&
           b.firstCol <= a.lastCol;
}

// Merged first, so that the cells written afterwards keep their own values and styles.
bool writeMerges(lxw_worksheet* ws, const Worksheet& sheet, std::string* error) {
    const std::vector<MergedRange>& merges = sheet.merges;
    for (std::size_t i = 0; i < merges.size(); ++i) {
        const MergedRange& m = merges[i];
        bool bad = m.lastRow < m.firstRow || m.lastCol < m.firstCol ||
                   (m.lastRow == m.firstRow && m.lastCol == m.firstCol);
        for (std::size_t j = 0; !bad && j < i; ++j)
            bad = overlaps(m, merges[j]);
        if (bad) {
            setError(error, "sheet " + sheet.name + ": merged ranges must be blocks of two or " +
                                "more cells that do not overlap");
            return false;
        }
        lxw_error err =
            worksheet_merge_range(ws, m.firstRow, m.firstCol, m.lastRow, m.lastCol, "", nullptr);
        if (err != LXW_NO_ERROR) {
            setError(error, "sheet " + sheet.name + ": " + lxw_strerror(err));
            return false;
        }
    }
    return true;
}

bool writeWorksheet(lxw_workbook* wb, const Worksheet& sheet,
                    const std::vector<lxw_format*>& formats, bool active, std::string* error) {
    if (!addSheetName(wb, sheet.name, error)) return false;
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.name.c_str());
    if (!ws) {
        setError(error, "cannot add sheet " + sheet.name);
        return false;
    }
    if (!writeMerges(ws, sheet, error)) return false;
    for (const Cell& cell : sheet.cells) {
        lxw_format* f = nullptr;
        if (cell.style >= 0) {
            if (static_cast<std::size_t>(cell.style) >= formats.size()) {
                setError(error, "a cell names a style that does not exist");
                return false;
            }
            f = formats[static_cast<std::size_t>(cell.style)];
        }
        lxw_error err = LXW_NO_ERROR;
        if (auto* text = std::get_if<std::string>(&cell.value)) {
            err = worksheet_write_string(ws, cell.row, cell.col, text->c_str(), f);
        } else if (auto* number = std::get_if<double>(&cell.value)) {
            err = worksheet_write_number(ws, cell.row, cell.col, *number, f);
        } else if (f) {
            err = worksheet_write_blank(ws, cell.row, cell.col, f);
        }
        if (err != LXW_NO_ERROR) {
            setError(error, "sheet " + sheet.name + ", row " + std::to_string(cell.row + 1) + ": " +
                                lxw_strerror(err));
            return false;
        }
    }
    for (const PlacedChart& placed : sheet.charts) {
        lxw_chart* chart = makeChart(wb, placed.chart, error);
        if (!chart) return false;
        lxw_chart_options opt = {};
        opt.x_offset = placed.xOffset;
        opt.y_offset = placed.yOffset;
        lxw_error err = worksheet_insert_chart_opt(ws, placed.row, placed.col, chart, &opt);
        if (err != LXW_NO_ERROR) {
            setError(error, "sheet " + sheet.name + ": " + lxw_strerror(err));
            return false;
        }
    }
    if (active) worksheet_activate(ws);
    if (sheet.visibility != Visibility::Visible) worksheet_hide(ws);
    return true;
}

bool writeChartsheet(lxw_workbook* wb, const Chartsheet& sheet, bool active, std::string* error) {
    if (!addSheetName(wb, sheet.name, error)) return false;
    lxw_chartsheet* cs = workbook_add_chartsheet(wb, sheet.name.c_str());
    if (!cs) {
        setError(error, "cannot add chart sheet " + sheet.name);
        return false;
    }
    lxw_chart* chart = makeChart(wb, sheet.chart, error);
    if (!chart) return false;
    if (lxw_error err = chartsheet_set_chart(cs, chart); err != LXW_NO_ERROR) {
        setError(error, "chart sheet " + sheet.name + ": " + lxw_strerror(err));
        return false;
    }
    if (active) chartsheet_activate(cs);
    return true;
}

// What libxlsxwriter cannot say: "very hidden" and "sized with window".
bool finishPackage(ZipPackage& pkg, const Workbook& book, std::string* error) {
    pugi::xml_document wbXml;
    bool wbChanged = false;
    if (!loadXml(pkg, kWorkbookPart, wbXml)) {
        setError(error, "the written workbook part is unreadable");
        return false;
    }
    pugi::xml_node sheets = child(child(wbXml, "workbook"), "sheets");
    for (const auto& sheet : book.sheets) {
        if (auto* ws = std::get_if<Worksheet>(&sheet);
            ws && ws->visibility == Visibility::VeryHidden) {
            for (pugi::xml_node s : sheets.children()) {
                if (ws->name != s.attribute("name").value()) continue;
                pugi::xml_attribute state = s.attribute("state");
                if (!state) state = s.append_attribute("state");
                state.set_value("veryHidden");
                wbChanged = true;
            }
        }
        if (auto* cs = std::get_if<Chartsheet>(&sheet); cs && cs->zoomToFit) {
            auto part = sheetPart(pkg, cs->name);
            pugi::xml_document csXml;
            if (!part || !loadXml(pkg, *part, csXml)) {
                setError(error, "the written chart sheet " + cs->name + " is unreadable");
                return false;
            }
            pugi::xml_node view =
                child(child(child(csXml, "chartsheet"), "sheetViews"), "sheetView");
            if (!view) {
                setError(error, "the written chart sheet " + cs->name + " has no view");
                return false;
            }
            pugi::xml_attribute zoom = view.attribute("zoomToFit");
            if (!zoom) zoom = view.prepend_attribute("zoomToFit");
            zoom.set_value("1");
            storeXml(pkg, *part, csXml);
        }
    }
    if (wbChanged) storeXml(pkg, kWorkbookPart, wbXml);
    return true;
}

// The library escapes what it writes into cells but copies other texts (a chart's cached
// category names, sheet names) into the XML as they are; a character that XML forbids there
// would make the whole workbook unreadable, so such a workbook is never handed out.
bool readableXml(const ZipPackage& pkg, std::string* error) {
    auto endsWith = [](std::string_view s, std::string_view suffix) {
        return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
    };
    for (const std::string& name : pkg.names()) {
        if (!endsWith(name, ".xml") && !endsWith(name, ".rels")) continue;
        if (!isXmlSafeText(*pkg.find(name))) {
            setError(error, name + " would hold a character that XML does not allow");
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<ZipPackage> buildXlsx(const Workbook& book, std::string* error) {
    if (book.sheets.empty()) {
        setError(error, "a workbook needs at least one sheet");
        return std::nullopt;
    }
    ScratchFile scratch;
    if (scratch.path().empty()) {
        setError(error, std::string("cannot create a scratch file: ") + std::strerror(errno));
        return std::nullopt;
    }
    lxw_workbook_options options = {};
    options.constant_memory = LXW_FALSE;
    std::unique_ptr<lxw_workbook, WorkbookCloser> wb(
        workbook_new_opt(scratch.path().c_str(), &options));
    if (!wb) {
        setError(error, "cannot start a workbook");
        return std::nullopt;
    }
    std::vector<lxw_format*> formats = makeFormats(wb.get(), book.styles);
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        bool active = i == book.activeSheet;
        bool ok =
            std::holds_alternative<Worksheet>(book.sheets[i])
                ? writeWorksheet(wb.get(), std::get<Worksheet>(book.sheets[i]), formats, active,
                                 error)
                : writeChartsheet(wb.get(), std::get<Chartsheet>(book.sheets[i]), active, error);
        if (!ok) return std::nullopt;
    }
    lxw_error err = workbook_close(wb.release());
    if (err != LXW_NO_ERROR) {
        setError(error, std::string("cannot write the workbook: ") + lxw_strerror(err));
        return std::nullopt;
    }
    auto pkg = ZipPackage::fromFile(scratch.path(), error);
    if (!pkg || !finishPackage(*pkg, book, error) || !readableXml(*pkg, error)) return std::nullopt;
    return pkg;
}

bool writeXlsx(const Workbook& book, const std::string& path, std::string* error) {
    auto pkg = buildXlsx(book, error);
    return pkg && pkg->save(path, error);
}

}  // namespace zbq::workbook
