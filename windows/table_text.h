// The text forms of an exported table: TAB-separated text (the clipboard and ".txt" files) and
// comma-separated text (CSV files), built line by line from a TableSource.
//
// An export covers a rectangle of cells (CellRange), with or without the header line (the
// corner and the column headers) and the row headers, and, for a whole-table export of a source
// with a caption, the caption line first. Fields are joined by the separator; every line ends
// with the line end, the last included. Quoting of the comma form: IfComma wraps a field that
// holds "," in double quotes and doubles a '"' inside it, and leaves every other field as it is
// (readers of the format files rely on that); All wraps every field. A blank cell is an empty
// field. Neither byte can be the trail byte of a CP932 character, so fields are scanned bytewise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "windows/table_source.h"

// A rectangle of cells, first to last inclusive; empty when a last is below its first.
struct CellRange {
    std::int32_t firstColumn = 0;
    std::int32_t firstRow = 0;
    std::int32_t lastColumn = -1;
    std::int32_t lastRow = -1;

    bool isEmpty() const { return lastColumn < firstColumn || lastRow < firstRow; }
    std::int64_t rows() const { return isEmpty() ? 0 : std::int64_t{lastRow} - firstRow + 1; }
    std::int64_t columns() const {
        return isEmpty() ? 0 : std::int64_t{lastColumn} - firstColumn + 1;
    }
    std::int64_t cells() const { return rows() * columns(); }
};

// A selection cell: column and row from 0, -1 for none.
struct CellPos {
    std::int32_t column = -1;
    std::int32_t row = -1;
};

// The rectangle that anchor and end span, in either order, clipped to the table. Empty when
// there is no selection (a coordinate below 0) or none of it lies inside the table, so that no
// cell outside the table is ever read.
CellRange selectedRange(const TableSource& source, CellPos anchor, CellPos end);
// Every cell; empty for a table without rows or columns.
CellRange wholeTable(const TableSource& source);

struct ExportShape {
    CellRange range;
    bool withHeaders = false;  // the header line and the row headers
    bool withCaption = false;  // the caption line (whole-table exports)
};

enum class Quoting { AsIs, IfComma, All };

struct TextForm {
    char separator = '\t';
    Quoting quoting = Quoting::AsIs;
    std::string_view lineEnd = "\r\n";
};

// Appends `text` to `out` as one field of the form.
void appendField(std::string& out, std::string_view text, const TextForm& form);

// Takes the text built so far whenever `blockBytes` more have been added since it was last
// called; it may empty the buffer (a file) or leave it (the clipboard). False stops the build.
using TextBlockSink = std::function<bool(std::string& buffer)>;

// Appends the shape's text to `buffer`, line by line. False when the sink stopped it; what the
// sink has not taken stays in `buffer`.
bool buildTableText(const TableSource& source, const ExportShape& shape, const TextForm& form,
                    std::string& buffer, std::size_t blockBytes, const TextBlockSink& sink);

// The whole text at once.
std::string tableText(const TableSource& source, const ExportShape& shape, const TextForm& form);
