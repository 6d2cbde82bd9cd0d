// The aggregation window's commands: copy, CSV and text files, the workbook, the drill-through
// and the filter, each recording its own step.
#include "windows/molap_frame.h"

#include <QPointer>

#include <new>

#include "app/macro_port.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/workbook/xlsx_row_writer.h"
#include "platform/workbook/xlsx_writer.h"
#include "windows/molap_format.h"
#include "windows/molap_workbook.h"
#include "windows/table_exporter.h"

namespace zbq::windows {

namespace {

constexpr std::int32_t kMaxWorkbookColumns = 256;

TableExporter::Options molapForms() {
    TableExporter::Options options;
    options.lineEnd = "\n";
    options.csvQuoting = Quoting::All;
    options.quiet = true;
    options.tabUnlessCsv = true;
    return options;
}

ExportShape wholeGrid(const MolapTableSource& source) {
    ExportShape shape;
    shape.range = {0, 0, source.columnCount() - 1, source.rowCount() - 1};
    shape.withHeaders = true;
    return shape;
}

}  // namespace

std::int32_t CMOLAPFrm::Copy() {
    if (busy_ || app_.IsAddingData() || !view_.installed()) return 0;
    const MolapTableSource source(view_);
    return TableExporter(app_, source, molapForms())
        .copy(wholeGrid(source), StepBuilder("MolapCopy"));
}

std::int32_t CMOLAPFrm::OnOutToCsv() {
    return WriteCsvFile({});
}

std::int32_t CMOLAPFrm::WriteCsvFile(const std::string& path) {
    if (busy_ || app_.IsAddingData() || !view_.installed()) return 0;
    const MolapTableSource source(view_);
    return TableExporter(app_, source, molapForms())
        .writeTextFile(path, wholeGrid(source), StepBuilder("MolapOutToCSV"));
}

std::int32_t CMOLAPFrm::ExportMolapToExcel() {
    if (busy_ || app_.IsAddingData() || !view_.installed()) return 0;
    if (view_.columns() > kMaxWorkbookColumns) {
        app_.ShowError("カラム数が256を超えています。出力できません。");
        return 0;
    }
    const std::string path = app_.GetExportTempPath();
    // A spreadsheet program that has the last export open would go on showing the old table.
    if (!path.empty() && workbook::heldBySpreadsheet(path)) {
        app_.ShowInformation("開いているファイルを閉じて下さい");
        return 0;
    }
    std::string error;
    bool written = false;
    try {
        written = !path.empty() && workbook::writeXlsx(molapWorkbook(view_), path, &error);
    } catch (const std::bad_alloc&) {
        written = false;
    }
    if (!written) {
        app_.ShowError("Excelの出力に失敗しました。処理を中止します。");
        return 0;
    }
    app_.LaunchExcel(path);
    app_.Record(StepBuilder("MolapOutToExcel"));
    return 1;
}

std::int32_t CMOLAPFrm::DrillThrough(bool doubleClick) {
    if (busy_ || app_.IsAddingData() || !view_.installed()) return 0;
    const MolapLayout& l = view_.layout();
    // Taken now: the refresh below builds the grid again.
    const std::int32_t row = view_.currentRow(), column = view_.currentColumn();
    if (row < l.fixedRows() || column < l.fixedColumns() || view_.cellText(row, column).empty()) {
        app_.ShowError("ドリルスルーを実行できません。");
        return 0;
    }
    if (doubleClick && !app_.AskYesNo("ドリルスルーを実行しますか？")) return 0;

    KW_search& engine = app_.Search();
    app_.StartTimer();
    // The caption of the new set: each level's item name with its grouping, the grouping being
    // a word of ours the set tree shows in the language in force.
    MixedText description;
    const auto append = [&](const MolapLevelInfo& level) {
        if (!description.empty()) description.plain(" X ");
        description.plain(app_.GetItemName(level.item)).word(molapDateUnitCaption(level.unit));
    };
    // A total is known by the engine's flag, never by its caption: a key "計" is data.
    const std::int32_t yKey = row - l.fixedRows();
    for (std::int32_t j = 0; j < l.nY(); ++j) {
        MolapValue value;
        if (engine.GetMolapYLabel(yKey, j, value) != 0) break;
        engine.MolapDrillY(yKey, j);
        append(l.y[static_cast<std::size_t>(j)]);
    }
    const std::int32_t xColumn = column - l.fixedColumns();
    for (std::int32_t i = 0; i < l.nX(); ++i) {
        MolapValue value;
        if (engine.GetMolapXLabel(xColumn, i, value) != 0) break;
        engine.MolapDrillX(xColumn / l.nZ(), i);
        append(l.x[static_cast<std::size_t>(i)]);
    }
    if (description.empty()) description.word(cp932::literal(ZBQ_SHOWN("総計")));

    const std::int32_t before = app_.KWgetDataCount();
    if (engine.MolapDrill() < 0) return 0;
    const double ms = app_.GetElapsedMs();
    {
        CKWApp::SuppressGuard drilling(app_, Suppress::CloseOne);
        app_.AddResultSet(description, 1);
    }
    // The refresh runs the build again in a nested loop, where the user may close this window:
    // from here on only locals are touched unless the window is known to stand. The step goes
    // first, so a close made meanwhile replays after the drill it followed.
    CKWApp& app = app_;
    app.Record(StepBuilder("MolapDrillThrough").number(row).number(column));
    QPointer<CMOLAPFrm> self(this);
    rebuildQuietly_ = true;
    app.RebuildGrid(1);
    app.RefreshItemWindows();
    app.RefreshCrossView();
    app.ExecuteMolap();
    if (self) rebuildQuietly_ = false;
    MixedText text;
    text.word(cp932::literal(ZBQ_SHOWN("ﾄﾞﾘﾙｽﾙｰ")))
        .plain("[")
        .append(description)
        .plain("] " + std::to_string(before) + " Rec ->");
    app.LogOperation(text, app.KWgetDataCount(), ms);
    return 1;
}

std::int32_t CMOLAPFrm::Filter(const FilterConditions& conditions) {
    if (busy_ || app_.IsAddingData() || !view_.installed()) return 0;
    view_.ApplyFilter(conditions);
    StepBuilder step("MolapFilter");
    for (const FilterCondition& c : conditions)
        step.text(std::to_string(c.op) + "\t" + c.from + "\t" + c.to + "\t" +
                  std::to_string(c.colour));
    app_.Record(step);
    return 1;
}

std::int32_t CMOLAPFrm::FilterRelease() {
    if (busy_ || app_.IsAddingData() || !view_.installed()) return 0;
    view_.ReleaseFilter();
    app_.Record(StepBuilder("MolapFilterRelease"));
    return 1;
}

void CMOLAPFrm::OnMaximize() {
    app_.Record(StepBuilder("MolapMax"));
    showMaximized();
}

void CMOLAPFrm::OnMinimize() {
    app_.Record(StepBuilder("MolapMin"));
    showMinimized();
}

void CMOLAPFrm::OnRestore() {
    app_.Record(StepBuilder("MolapRestore"));
    showNormal();
}

}  // namespace zbq::windows
