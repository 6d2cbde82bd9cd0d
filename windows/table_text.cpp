// Building the TAB and CSV text of an exported table.
#include "windows/table_text.h"

#include <algorithm>

CellRange selectedRange(const TableSource& source, CellPos anchor, CellPos end) {
    if (anchor.column < 0 || anchor.row < 0 || end.column < 0 || end.row < 0) return {};
    CellRange range;
    range.firstColumn = std::min(anchor.column, end.column);
    range.lastColumn = std::min(std::max(anchor.column, end.column), source.columnCount() - 1);
    range.firstRow = std::min(anchor.row, end.row);
    range.lastRow = std::min(std::max(anchor.row, end.row), source.rowCount() - 1);
    return range.isEmpty() ? CellRange{} : range;
}

CellRange wholeTable(const TableSource& source) {
    CellRange range{0, 0, source.columnCount() - 1, source.rowCount() - 1};
    return range.isEmpty() ? CellRange{} : range;
}

void appendField(std::string& out, std::string_view text, const TextForm& form) {
    const bool quoted = form.quoting == Quoting::All || (form.quoting == Quoting::IfComma &&
                                                         text.find(',') != std::string_view::npos);
    if (!quoted) {
        out += text;
        return;
    }
    out += '"';
    for (std::size_t at = 0;;) {
        const std::size_t quote = text.find('"', at);
        if (quote == std::string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, quote + 1 - at));
        out += '"';
        at = quote + 1;
    }
    out += '"';
}

bool buildTableText(const TableSource& source, const ExportShape& shape, const TextForm& form,
                    std::string& buffer, std::size_t blockBytes, const TextBlockSink& sink) {
    const CellRange& range = shape.range;
    if (range.isEmpty()) return true;
    const bool rowHeaders = shape.withHeaders && source.hasRowHeaders();
    std::size_t sinceSink = 0;
    // Each line counts towards the next block once it is complete.
    const auto endLine = [&](std::size_t lineStart) {
        buffer += form.lineEnd;
        sinceSink += buffer.size() - lineStart;
        if (sinceSink < blockBytes || !sink) return true;
        sinceSink = 0;
        return sink(buffer);
    };

    if (shape.withCaption) {
        if (const std::string caption = source.caption(); !caption.empty()) {
            const std::size_t start = buffer.size();
            appendField(buffer, caption, form);
            if (!endLine(start)) return false;
        }
    }
    if (shape.withHeaders) {
        const std::size_t start = buffer.size();
        if (rowHeaders) {
            appendField(buffer, source.corner(), form);
            buffer += form.separator;
        }
        for (std::int32_t c = range.firstColumn; c <= range.lastColumn; ++c) {
            if (c > range.firstColumn) buffer += form.separator;
            appendField(buffer, source.columnHeader(c), form);
        }
        if (!endLine(start)) return false;
    }
    TableCell cell;
    for (std::int32_t r = range.firstRow; r <= range.lastRow; ++r) {
        const std::size_t start = buffer.size();
        if (rowHeaders) {
            appendField(buffer, source.rowHeader(r), form);
            buffer += form.separator;
        }
        for (std::int32_t c = range.firstColumn; c <= range.lastColumn; ++c) {
            if (c > range.firstColumn) buffer += form.separator;
            cell.clear();
            source.readCell(r, c, cell);
            appendField(buffer, cell.blank ? std::string_view() : std::string_view(cell.text),
                        form);
        }
        if (!endLine(start)) return false;
    }
    return true;
}

std::string tableText(const TableSource& source, const ExportShape& shape, const TextForm& form) {
    std::string text;
    buildTableText(source, shape, form, text, SIZE_MAX, nullptr);
    return text;
}
