// CMOLAPView: the aggregation window without its widgets. A virtual table model over the
// engine's present result and the layout made for it: every cell's text, colour and alignment
// is read from the engine when it is painted or exported, nothing per cell is kept but the
// filter's colour marks. The window installs a new layout in one step after each build and
// clears the model before the next.
//
// The model keeps the window's own state: the current cell (the grid draws its highlight over
// the cell, so the cell's own colour is always what filter, release and export read), the five
// filter conditions and their marks. MolapTableSource hands the grid as it stands to the
// exporter. Texts are CP932 bytes; data() hands them to views as QString. User-interface
// thread only.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QAbstractTableModel>
#include <QColor>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "windows/molap_layout.h"
#include "windows/table_source.h"

namespace zbq::windows {

// One filter condition: operator -1 (not in use) or 0-6, colour index 0-4, From, To.
struct FilterCondition {
    std::int32_t op = -1;
    std::int32_t colour = 0;
    std::string from, to;
    bool operator==(const FilterCondition&) const = default;
};
using FilterConditions = std::array<FilterCondition, 5>;

// The filter dialog's check before it closes with OK: "" when the conditions may be applied,
// else the first refusal (UTF-8): no condition in use, a used row without From, a range
// without To.
std::string filterConditionsRefusal(const FilterConditions& conditions);

// The grid's colours as RGB.
inline constexpr QRgb kMolapCaptionColour = 0xF5F5DC;
inline constexpr QRgb kMolapTotalColour = 0xEBEBEB;
inline constexpr QRgb kMolapKeyColour = 0xE0FFFF;
// The filter's five colours, by index.
inline constexpr std::array<QRgb, 5> kMolapFilterColours = {0x99CCFF, 0xFFCC00, 0xCCFFCC, 0xFF99CC,
                                                            0xCC99FF};

class CMOLAPView : public QAbstractTableModel {
    Q_OBJECT

public:
    // Beyond Qt's roles: the span of a cell's merge (QSize columns x rows, only at a span's
    // first cell) is asked through the grid's own lookup, spanAt().
    explicit CMOLAPView(const KW_search& engine, QObject* parent = nullptr);

    // --- The table ---
    void install(MolapLayout layout);
    void clear();
    bool installed() const { return installed_; }
    const MolapLayout& layout() const { return layout_; }

    // The cell as the grid shows it; its background without the highlight, 0 for the default.
    MolapCellView cellView(std::int32_t row, std::int32_t column) const;
    std::string cellText(std::int32_t row, std::int32_t column) const;
    QRgb background(std::int32_t row, std::int32_t column) const;
    // The span starting at a cell; false when none starts there.
    bool spanAt(std::int32_t row, std::int32_t column, MolapSpan& span) const;

    // --- The current cell ---
    std::int32_t currentRow() const { return currentRow_; }
    std::int32_t currentColumn() const { return currentColumn_; }
    // False when the cell is outside the table; else it becomes current.
    bool SelectCell(std::int32_t row, std::int32_t column);

    // --- The filter ---
    // Marks every body cell with a value, outside total lines, that meets a condition in use
    // with that condition's colour (the last met condition wins); the stored conditions become
    // these. A cell that meets none loses its mark.
    void ApplyFilter(const FilterConditions& conditions);
    void ReleaseFilter();
    bool filterActive() const { return filterActive_; }
    const FilterConditions& conditions() const { return conditions_; }
    // Colour index of a marked cell, -1 for none.
    std::int32_t filterMark(std::int32_t row, std::int32_t column) const;

signals:
    void currentCellChanged(int row, int column);

public:
    // --- QAbstractTableModel ---
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    std::int32_t rows() const { return installed_ ? layout_.rows() : 0; }
    std::int32_t columns() const { return installed_ ? layout_.columns() : 0; }

private:
    std::uint64_t key(std::int32_t row, std::int32_t column) const {
        return static_cast<std::uint64_t>(row) * static_cast<std::uint64_t>(layout_.columns()) +
               static_cast<std::uint64_t>(column);
    }

    const KW_search& engine_;
    MolapLayout layout_;
    bool installed_ = false;
    std::unordered_map<std::uint64_t, std::size_t> spanIndex_;  // first cell -> span
    std::int32_t currentRow_ = -1, currentColumn_ = -1;
    FilterConditions conditions_;
    bool filterActive_ = false;
    std::unordered_map<std::uint64_t, std::uint8_t> marks_;
};

// The grid as the exporter reads it: its first row stands for the column headers, the others
// for the rows. A cell showing a number (its grouping commas aside) carries that number, with
// the decimals and grouping it shows.
class MolapTableSource : public TableSource {
public:
    explicit MolapTableSource(const CMOLAPView& view) : view_(view) {}
    std::int32_t rowCount() const override { return view_.rows() > 0 ? view_.rows() - 1 : 0; }
    std::int32_t columnCount() const override { return view_.columns(); }
    std::string columnHeader(std::int32_t column) const override {
        return view_.cellText(0, column);
    }
    void readCell(std::int32_t row, std::int32_t column, TableCell& cell) const override;

private:
    const CMOLAPView& view_;
};

}  // namespace zbq::windows
