// The exporter's commands: the question, the clipboard, text files and workbooks.
#include "windows/table_exporter.h"

#include <QString>

#include <cctype>
#include <new>

#include "app/ckw_app.h"
#include "platform/core/atomic_file.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"
#include "platform/workbook/xlsx_row_writer.h"
#include "windows/export_progress.h"

namespace {

constexpr char kNoMemory[] = ZBQ_SHOWN("メモリーの確保に失敗しました。処理を中止します。");
constexpr char kCloseTheFile[] = ZBQ_SHOWN("開いているファイルを閉じて下さい");
constexpr char kWorkbookFailed[] = ZBQ_SHOWN("エクセルファイルの作成に失敗しました");
constexpr char kPastTheSheet[] =
    ZBQ_SHOWN("行数または列数がExcelのシートの上限を超えています。出力できません。");
// The save chooser's filters; the second is the TAB form.
constexpr char kSaveFilters[] = ZBQ_SHOWN("CSVファイル(*.csv);;TEXTファイル(*.txt)");
constexpr int kTextFilter = 1;
// A workbook lets messages through after about as many cells as a text block holds.
constexpr std::int64_t kCellsPerWorkbookBlock = 262144;

bool endsWithAnyCase(const std::string& path, std::string_view extension) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == extension;
}

// Only ".txt" itself names a TAB text file: ".TXT" and ".Txt" get the comma form.
bool endsInTxt(const std::string& path) {
    return path.ends_with(".txt");
}

// What a file step records in place of the path: "???" for a value asked at play time, and for
// a path a macro file (CP932) cannot hold.
std::string recordedPath(const CKWApp& app, const std::string& path) {
    if (app.macro().isVariable()) return "???";
    return zbq::cp932::pathToStored(path).value_or("???");
}

void recordIfGiven(CKWApp& app, const std::optional<StepBuilder>& step) {
    if (step) app.Record(*step);
}

}  // namespace

TableExporter::TableExporter(CKWApp& app, const TableSource& source)
    : TableExporter(app, source, Options{}) {}

TableExporter::TableExporter(CKWApp& app, const TableSource& source, Options options)
    : app_(app), source_(source), options_(options) {}

bool TableExporter::confirmCellCount(const CellRange& range) const {
    const std::int64_t cells = range.cells();
    if (cells <= kQuietCells || options_.quiet) return true;
    // A message with a number in it is put in the language before the number goes in.
    return app_.AskYesNo(
        zbq::ui::shown("ｾﾙ数[%1]は大きいのでﾊﾟｿｺﾝが止まる可能性があります\n続行しますか？")
            .arg(cells)
            .toStdString());
}

std::int32_t TableExporter::copy(const ExportShape& shape, const std::optional<StepBuilder>& step) {
    if (shape.range.isEmpty() || ExportProgress::running() || !confirmCellCount(shape.range))
        return 0;
    try {
        std::string text;
        {
            ExportProgress progress(app_);
            buildTableText(source_, shape, tabForm(), text, kBlockBytes, [&](std::string&) {
                progress.block();
                return true;
            });
        }
        // The step stands for the text built: a clipboard another program holds takes
        // nothing, and the copy is recorded all the same, as it replays.
        const bool put = zbq::ui::clipboard().setText(text);
        recordIfGiven(app_, step);
        return put ? 1 : 0;
    } catch (const std::bad_alloc&) {
        app_.ShowError(kNoMemory);
        return 0;
    }
}

std::int32_t TableExporter::writeTextFile(const std::string& path, const ExportShape& shape,
                                          const std::optional<StepBuilder>& step) {
    if (shape.range.isEmpty() || ExportProgress::running()) return 0;
    std::string target = path;
    const auto tabFor = [this](const std::string& file) {
        return options_.tabUnlessCsv ? !endsWithAnyCase(file, ".csv") : endsInTxt(file);
    };
    bool tab = tabFor(path);
    if (path.empty()) {
        zbq::ui::Chooser chooser;
        chooser.kind = zbq::ui::ChooserKind::SaveFile;
        chooser.caption = zbq::ui::shown("ファイルの保存");
        chooser.filter = zbq::ui::shown(kSaveFilters);
        chooser.defaultSuffix = QStringLiteral("csv");
        const std::optional<zbq::ui::SaveChoice> chosen =
            zbq::ui::prompts().chooseSave(app_.windows().mainWindow(), chooser);
        if (!chosen) return 0;
        target = chosen->path.toStdString();
        // The TEXT filter writes TABs whatever the name, and so does a name ending in ".txt"
        // typed under the CSV filter.
        tab = tabFor(target) || (!options_.tabUnlessCsv && chosen->filter == kTextFilter);
    }
    if (!confirmCellCount(shape.range)) return 0;

    // The progress is taken back before any message, so no box stands over "書き込み中".
    zbq::AtomicFile file(target);
    bool written = file.open();
    try {
        std::string buffer;
        if (written) buffer.reserve(kBlockBytes + kBlockBytes / 8);
        ExportProgress progress(app_);
        written = written &&
                  buildTableText(source_, shape, tab ? tabForm() : csvForm(), buffer, kBlockBytes,
                                 [&](std::string& block) {
                                     if (!file.write(block)) return false;
                                     block.clear();
                                     progress.block();
                                     return true;
                                 }) &&
                  file.write(buffer) && file.commit();
    } catch (const std::bad_alloc&) {
        file.discard();
        app_.ShowError(kNoMemory);
        return 0;
    }
    if (!written) {
        file.discard();
        app_.ShowError(zbq::ui::shown("ファイルの書出しに失敗しました。\n[%1]")
                           .arg(QString::fromStdString(target))
                           .toStdString());
        return 0;
    }
    if (step) {
        StepBuilder recorded = *step;
        recorded.text(recordedPath(app_, target));
        app_.Record(recorded);
    }
    return 1;
}

std::int32_t TableExporter::writeWorkbook(const ExportShape& shape,
                                          const std::optional<StepBuilder>& step) {
    const CellRange& range = shape.range;
    if (range.isEmpty() || ExportProgress::running()) return 0;
    const bool rowHeaders = shape.withHeaders && source_.hasRowHeaders();
    const std::string caption = shape.withCaption ? source_.caption() : std::string();
    const std::uint64_t sheetRows = static_cast<std::uint64_t>(range.rows()) +
                                    (shape.withHeaders ? 1 : 0) + (caption.empty() ? 0 : 1);
    const std::uint64_t sheetColumns =
        static_cast<std::uint64_t>(range.columns()) + (rowHeaders ? 1 : 0);
    if (!zbq::workbook::XlsxRowWriter::fits(sheetRows, sheetColumns)) {
        app_.ShowError(kPastTheSheet);
        return 0;
    }
    const std::string path = app_.GetExportTempPath();
    if (path.empty()) {
        app_.ShowError(kWorkbookFailed);
        return 0;
    }
    // A spreadsheet program that has the last export open would go on showing the old table.
    if (zbq::workbook::heldBySpreadsheet(path)) {
        app_.ShowInformation(kCloseTheFile);
        return 0;
    }
    if (!confirmCellCount(range)) return 0;

    zbq::workbook::XlsxRowWriter writer(path);
    if (!writer.open(sheetRows, sheetColumns)) {
        app_.ShowInformation(kCloseTheFile);
        return 0;
    }
    const auto text = [&writer](std::string_view cp932) {
        return cp932.empty() ? writer.addEmpty() : writer.addText(zbq::cp932::toUtf8(cp932));
    };
    bool ok = true;
    try {
        ExportProgress progress(app_);
        if (!caption.empty()) ok = text(caption) && writer.endRow();
        if (ok && shape.withHeaders) {
            if (rowHeaders) ok = text(source_.corner());
            for (std::int32_t c = range.firstColumn; ok && c <= range.lastColumn; ++c)
                ok = text(source_.columnHeader(c));
            ok = ok && writer.endRow();
        }
        TableCell cell;
        std::int64_t sinceBlock = 0;
        for (std::int32_t r = range.firstRow; ok && r <= range.lastRow; ++r) {
            if (rowHeaders) ok = text(source_.rowHeader(r));
            for (std::int32_t c = range.firstColumn; ok && c <= range.lastColumn; ++c) {
                cell.clear();
                source_.readCell(r, c, cell);
                if (cell.blank)
                    ok = writer.addEmpty();
                else if (cell.number)
                    ok = writer.addNumber(cell.number->value,
                                          {cell.number->decimals, cell.number->grouped});
                else
                    ok = text(cell.text);
            }
            ok = ok && writer.endRow();
            sinceBlock += range.columns();
            if (sinceBlock >= kCellsPerWorkbookBlock) {
                sinceBlock = 0;
                progress.block();
            }
        }
        ok = ok && writer.commit();
    } catch (const std::bad_alloc&) {
        app_.ShowError(kNoMemory);
        return 0;
    }
    if (!ok) {
        app_.ShowError(kWorkbookFailed);
        return 0;
    }
    app_.LaunchExcel(path);
    recordIfGiven(app_, step);
    return 1;
}
