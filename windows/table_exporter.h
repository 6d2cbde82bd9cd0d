// TableExporter: the one way every result window hands a table to other programs: as TAB text
// on the clipboard, as a CSV or TAB text file, and as a workbook opened in the desktop's
// spreadsheet program. The window names the rectangle (its selection, or the whole table) and
// whether headers go with it; the exporter asks, writes, reports and records.
//
// Every command does nothing for an empty rectangle (no selection) and reads no cell then, nor
// while another export lets window messages through (a menu reached that way). Above
// kQuietCells cells it first asks whether to go on. The question and every refusal come before
// any file is touched, and a file is written to a temporary beside it and renamed over it, so a
// No, a refusal or a failure leaves the old file as it was. Text files go out in blocks of
// kBlockBytes; only the clipboard's text is ever held whole. While a long export runs the console
// shows "書き込み中" with its progress animation, the busy flag is raised and pending window
// messages are let through between blocks; the window must not change its table then.
//
// After a command succeeds, its step (when given) is recorded while recording: a file command
// appends the path, or "???" when 可変 is chosen or the path cannot be stored in a macro file.
// Failures are told in the system's own messages (caption "ZEBRINE"). Results: 1 done, 0
// abandoned or failed. Texts are CP932, paths UTF-8. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/macro_port.h"
#include "windows/table_source.h"
#include "windows/table_text.h"

class CKWApp;

class TableExporter {
public:
    static constexpr std::int64_t kQuietCells = 10000;
    static constexpr std::size_t kBlockBytes = 10485760;

    // What the windows' forms differ in: the aggregation window ends its lines with LF alone
    // and quotes every CSV field. `lineEnd` names a string literal.
    // It also asks nothing about the table's size, and writes the comma form only to a path
    // ending in ".csv" (any case), the TAB form to every other.
    struct Options {
        std::string_view lineEnd = "\r\n";
        Quoting csvQuoting = Quoting::IfComma;
        bool quiet = false;
        bool tabUnlessCsv = false;
    };

    TableExporter(CKWApp& app, const TableSource& source);
    TableExporter(CKWApp& app, const TableSource& source, Options options);

    TextForm tabForm() const { return {'\t', Quoting::AsIs, options_.lineEnd}; }
    TextForm csvForm() const { return {',', options_.csvQuoting, options_.lineEnd}; }

    // True to go on: a rectangle of at most kQuietCells cells, or Yes to the question.
    bool confirmCellCount(const CellRange& range) const;

    // The TAB text to the clipboard. The step is recorded once the text is built, also when the
    // clipboard could not be had (then the result is 0).
    std::int32_t copy(const ExportShape& shape, const std::optional<StepBuilder>& step);
    // A text file. A path ending exactly in ".txt" gets the TAB form, any other the comma form;
    // an empty path asks with the save chooser, whose TEXT filter gives the TAB form whatever
    // the name. A file that cannot be written: "ファイルの書出しに失敗しました。\n[<path>]".
    std::int32_t writeTextFile(const std::string& path, const ExportShape& shape,
                               const std::optional<StepBuilder>& step);
    // The workbook at the application's export path, then the spreadsheet program on it. Numbers
    // are typed in their shown form, every other cell is text as shown, blank cells stay empty.
    std::int32_t writeWorkbook(const ExportShape& shape, const std::optional<StepBuilder>& step);

private:
    CKWApp& app_;
    const TableSource& source_;
    Options options_;
};
