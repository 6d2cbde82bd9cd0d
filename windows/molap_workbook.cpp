// The aggregation grid written cell by cell into a workbook description.
#include "windows/molap_workbook.h"

#include <algorithm>
#include <cstdlib>

#include "platform/core/cp932.h"

namespace zbq::windows {

namespace {

using workbook::MergedRange;

MergedRange block(std::int32_t firstRow, std::int32_t firstColumn, std::int32_t lastRow,
                  std::int32_t lastColumn) {
    return {static_cast<std::uint32_t>(firstRow), static_cast<std::uint16_t>(firstColumn),
            static_cast<std::uint32_t>(lastRow), static_cast<std::uint16_t>(lastColumn)};
}

bool digitsOnly(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The integer digits grouped by three with commas, as the grid prints them.
std::string grouped(const std::string& digits) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string numberFormat(const ShownNumber& n) {
    std::string format = n.grouped ? "#,##0" : "0";
    if (n.decimals > 0) format += "." + std::string(static_cast<std::size_t>(n.decimals), '0');
    return format;
}

}  // namespace

std::optional<ShownNumber> shownNumber(const std::string& text) {
    std::string rest = text;
    if (!rest.empty() && rest[0] == '-') rest.erase(0, 1);
    const auto point = rest.find('.');
    std::string whole = rest.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : rest.substr(point + 1);
    if (point != std::string::npos && !digitsOnly(fraction)) return std::nullopt;
    const bool commas = whole.find(',') != std::string::npos;
    std::string digits = whole;
    std::erase(digits, ',');
    if (!digitsOnly(digits) || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    if (commas && grouped(digits) != whole) return std::nullopt;
    ShownNumber n;
    const std::string plain =
        (text[0] == '-' ? "-" : "") + digits + (point == std::string::npos ? "" : "." + fraction);
    n.value = std::strtod(plain.c_str(), nullptr);
    n.decimals = static_cast<std::int32_t>(fraction.size());
    n.grouped = commas;
    return n;
}

std::optional<std::uint32_t> molapWorkbookFill(QRgb background) {
    switch (background) {
        case kMolapTotalColour:
            return 0xC0C0C0;
        case kMolapCaptionColour:
            return 0xFFFFCC;
        case kMolapKeyColour:
            return 0xCCFFFF;
    }
    // The filter's colours are the workbook palette's own.
    for (const QRgb colour : kMolapFilterColours)
        if (background == colour) return colour;
    return std::nullopt;
}

std::vector<MergedRange> molapMerges(std::int32_t rows, std::int32_t columns,
                                     std::int32_t headerRows, std::int32_t mergedColumns,
                                     const MolapText& text) {
    std::vector<MergedRange> merges;
    headerRows = std::min(headerRows, rows);
    mergedColumns = std::min(mergedColumns, columns);
    // Which cells of the header rows a row merge took, row by row.
    std::vector<std::vector<bool>> taken(static_cast<std::size_t>(headerRows),
                                         std::vector<bool>(static_cast<std::size_t>(columns)));
    for (std::int32_t r = 0; r < headerRows; ++r) {
        std::int32_t start = 0;
        std::string startText = columns > 0 ? text(r, 0) : std::string();
        for (std::int32_t c = 1; c <= columns; ++c) {
            std::string here = c < columns ? text(r, c) : std::string();
            if (c < columns && here == startText) continue;
            if (c - 1 > start) {
                merges.push_back(block(r, start, r, c - 1));
                for (std::int32_t k = start; k < c; ++k)
                    taken[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)] = true;
            }
            start = c;
            startText = std::move(here);
        }
    }
    const auto isTaken = [&](std::int32_t r, std::int32_t c) {
        return r < headerRows && taken[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    };
    for (std::int32_t c = 0; c + 1 < mergedColumns; ++c) {
        std::int32_t start = -1;
        std::string startText;
        const auto close = [&](std::int32_t end) {
            if (start >= 0 && end > start && !startText.empty())
                merges.push_back(block(start, c, end, c));
            start = -1;
        };
        for (std::int32_t r = 0; r < rows; ++r) {
            if (isTaken(r, c)) {
                close(r - 1);
                continue;
            }
            std::string here = text(r, c);
            if (start >= 0 && here == startText && !startText.empty()) continue;
            close(r - 1);
            start = r;
            startText = std::move(here);
        }
        close(rows - 1);
    }
    return merges;
}

workbook::Workbook molapWorkbook(const CMOLAPView& view) {
    workbook::Workbook book;
    workbook::Worksheet sheet;
    sheet.name = "Sheet1";
    const std::int32_t rows = view.rows(), columns = view.columns();
    const auto styleOf = [&book](const workbook::CellStyle& style) {
        auto it = std::find(book.styles.begin(), book.styles.end(), style);
        if (it == book.styles.end()) it = book.styles.insert(book.styles.end(), style);
        return static_cast<int>(it - book.styles.begin());
    };
    sheet.cells.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            workbook::CellStyle style;
            style.thinBorders = true;
            style.fill = molapWorkbookFill(view.background(r, c));
            const std::string text = view.cellText(r, c);
            const auto row = static_cast<std::uint32_t>(r);
            const auto column = static_cast<std::uint16_t>(c);
            if (text.empty()) {
                sheet.cells.push_back(workbook::blankCell(row, column, styleOf(style)));
            } else if (const auto number = shownNumber(text)) {
                style.numberFormat = numberFormat(*number);
                sheet.cells.push_back(
                    workbook::numberCell(row, column, number->value, styleOf(style)));
            } else {
                sheet.cells.push_back(
                    workbook::textCell(row, column, cp932::toUtf8(text), styleOf(style)));
            }
        }
    }
    const MolapLayout& l = view.layout();
    sheet.merges =
        molapMerges(rows, columns, l.fixedRows(), l.fixedColumns(),
                    [&view](std::int32_t r, std::int32_t c) { return view.cellText(r, c); });
    book.sheets.push_back(std::move(sheet));
    return book;
}

}  // namespace zbq::windows
