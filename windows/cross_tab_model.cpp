#include "windows/cross_tab_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <variant>

#include "console/category_conditions.h"
#include "platform/core/cp932.h"
#include "platform/core/profile.h"
#include "platform/core/shown_text.h"
#include "windows/table_exporter.h"
#include "windows/table_text.h"

namespace zbq::windows {
namespace {

constexpr int kX = 0;
constexpr int kY = 1;

// ItemType numbering of the structure definition.
enum ItemType : std::int32_t {
    kCode = 0,
    kMulti = 1,
    kInteger = 2,
    kFloat = 3,
    kString = 4,
    kDate = 5,
    kTime = 7
};

std::string printf(const char* format, auto... values) {
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, format, values...);
    return std::string(buffer, static_cast<std::size_t>(std::clamp(n, 0, 511)));
}

// Splits printed digits into three parts: the leftmost `head` characters, `middle` characters
// from offset `head`, the rightmost two; short numbers give short or empty parts.
std::string splitDigits(const std::string& digits, std::size_t head, char separator) {
    const std::string first = digits.substr(0, std::min(head, digits.size()));
    const std::string second = head < digits.size() ? digits.substr(head, 2) : std::string();
    const std::string last = digits.size() > 2 ? digits.substr(digits.size() - 2) : digits;
    return first + separator + second + separator + last;
}

std::string dateText(const std::string& digits) {
    return splitDigits(digits, 4, '/');
}
std::string timeText(const std::string& digits) {
    return splitDigits(digits, 2, ':');
}

enum { kClipboard, kTextFile, kWorkbook };

}  // namespace

CrossTabModel::CrossTabModel(CKWApp& app, QObject* parent)
    : QAbstractTableModel(parent),
      app_(app),
      source_(*this),
      geometry_(GridConfig{kRowHeaderWidth, kHeaderHeight}),
      corner_(cp932::literal("件数")),
      emptyText_("-") {
    measure_ = [](std::string_view text) { return static_cast<int>(text.size()) * 7; };
    ProfileFile ini;
    if (!app_.GetProgramDir().empty() &&
        ProfileFile::load(app_.GetProgramDir() + "/ZBQ.ini", ini) && ini.hasKey("OLAP", "NODATA"))
        emptyText_ = ini.getString("OLAP", "NODATA", "-").substr(0, 255);
}

void CrossTabModel::setMeasure(Measure measure) {
    measure_ = std::move(measure);
}

// --- Building ---

bool CrossTabModel::classAxis(int axis) const {
    const std::int32_t category = axis == kX ? settings_.xCategory : settings_.yCategory;
    const std::int32_t level = axis == kX ? settings_.xLevel : settings_.yLevel;
    return category >= 0 && static_cast<std::size_t>(category) < categories_.size() && level >= 1 &&
           level <= 3;
}

std::int32_t CrossTabModel::buildAxis(int axis) {
    if (!classAxis(axis)) return 0;
    const bool x = axis == kX;
    const std::int32_t item = x ? settings_.xItem : settings_.yItem;
    const auto& definition =
        categories_[static_cast<std::size_t>(x ? settings_.xCategory : settings_.yCategory)];
    const std::vector<ClassCondition> conditions = ClassConditions(
        definition, x ? settings_.xLevel : settings_.yLevel, app_.GetReservedWords());
    std::int32_t type = app_.GetItemType(item);
    // Dates and times are compared as the numbers they are stored as.
    if (type == kDate || type == kTime) type = kInteger;
    const std::int32_t kwType = CKWApp::ItemTypeToKWType(type);
    const auto count = static_cast<std::int32_t>(conditions.size());
    if (std::int32_t rc =
            x ? app_.InitCrossX(item, kwType, count) : app_.InitCrossY(item, kwType, count);
        rc < 0)
        return rc;
    if (std::int32_t rc = AddClassConditions(app_, axis, conditions); rc < 0) return rc;
    return x ? app_.BuildCrossX() : app_.BuildCrossY();
}

CrossTabModel::CellKind CrossTabModel::cellKind() const {
    const std::int32_t kind = settings_.kind;
    if (kind < 1) return CellKind::Count;
    const bool counted = kind == 1 || kind == 2;
    switch (app_.GetItemType(settings_.zItem)) {
        case kInteger:
            return kind == 3 || kind == 4 ? CellKind::Value : CellKind::Count;
        case kFloat:
            return counted ? CellKind::Count : CellKind::Value;
        case kDate:
            return counted ? CellKind::Count
                           : (kind == 3 || kind == 4 ? CellKind::Date : CellKind::DateCount);
        case kTime:
            return counted ? CellKind::Count
                           : (kind == 3 || kind == 4 ? CellKind::Time : CellKind::TimeCount);
        case kCode:
        case kString:
            return counted ? CellKind::Count : CellKind::Text;
        default:
            return CellKind::None;
    }
}

bool CrossTabModel::plainSpecial(std::int32_t xCategory, std::int32_t yCategory) const {
    if (settings_.kind < 1) return false;
    return (!classAxis(kX) && xCategory < 2) || (!classAxis(kY) && yCategory < 2);
}

bool CrossTabModel::cellEmpty(CrossCell cell) const {
    return app_.GetCrossCellFlag(cell) != 0 || plainSpecial(cell.x, cell.y);
}

void CrossTabModel::markNonEmptyCells() {
    const std::int32_t xs = std::max(app_.GetCrossXCount(), 0);
    const std::int32_t ys = std::max(app_.GetCrossYCount(), 0);
    matrixColumns_ = xs;
    matrix_.assign(static_cast<std::size_t>(xs) * static_cast<std::size_t>(ys), 0);
    const CellKind kind = cellKind();
    for (std::int32_t y = 0; y < ys; ++y)
        for (std::int32_t x = 0; x < xs; ++x) {
            const CrossCell cell{x, y};
            if (cellEmpty(cell)) continue;
            bool filled = false;
            switch (kind) {
                case CellKind::Count:
                case CellKind::DateCount:
                case CellKind::TimeCount:
                    filled = app_.GetCrossCount(cell) != 0;
                    break;
                case CellKind::Value:
                case CellKind::Date:
                case CellKind::Time:
                    filled = app_.GetCrossValue(cell) != 0.0;
                    break;
                case CellKind::Text:
                    filled = !app_.GetCrossText(cell).empty();
                    break;
                case CellKind::None:
                    break;
            }
            matrix_[static_cast<std::size_t>(y) * static_cast<std::size_t>(xs) +
                    static_cast<std::size_t>(x)] = filled ? 1 : 0;
        }
}

std::vector<std::int32_t> CrossTabModel::shownCategories(int axis, std::int32_t check) const {
    const bool x = axis == kX;
    const std::int32_t count = std::max(x ? app_.GetCrossXCount() : app_.GetCrossYCount(), 0);
    std::vector<std::int32_t> shown;
    if (check != 0 || classAxis(axis)) {
        for (std::int32_t i = 0; i < count; ++i)
            shown.push_back(i);
        return shown;
    }
    const std::int32_t other = x ? std::max(app_.GetCrossYCount(), 0) : matrixColumns_;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i < 2) {
            if (errorBlank_ != 0) shown.push_back(i);
            continue;
        }
        for (std::int32_t j = 0; j < other; ++j) {
            const std::size_t at =
                x ? static_cast<std::size_t>(j) * static_cast<std::size_t>(matrixColumns_) +
                        static_cast<std::size_t>(i)
                  : static_cast<std::size_t>(i) * static_cast<std::size_t>(matrixColumns_) +
                        static_cast<std::size_t>(j);
            if (at < matrix_.size() && matrix_[at] != 0) {
                shown.push_back(i);
                break;
            }
        }
    }
    return shown;
}

std::int32_t CrossTabModel::buildTable() {
    app_.ResetCrossX();
    app_.ResetCrossY();
    settings_ = app_.GetCrossSettings();
    categories_ = app_.GetCategoryList();

    std::int32_t rc = buildAxis(kX);
    if (rc >= 0) rc = buildAxis(kY);
    static const char* const corners[] = {
        ZBQ_SHOWN("件数"),   ZBQ_SHOWN("ﾕﾆｰｸ件数"), ZBQ_SHOWN("合計"),          ZBQ_SHOWN("平均"),
        ZBQ_SHOWN("最大値"), ZBQ_SHOWN("最小値"),   ZBQ_SHOWN("％順位(上から)")};
    corner_ = settings_.kind == 1 ? cp932::literal(ZBQ_SHOWN("通常値件数"))
              : settings_.kind >= 2 && settings_.kind <= 7
                  ? cp932::literal(corners[settings_.kind - 1])
                  : cp932::literal("件数");
    if (rc >= 0)
        rc = app_.ExecuteCross(settings_.xItem, settings_.yItem, settings_.zItem,
                               settings_.kind > 0 ? settings_.kind : 0,
                               std::trunc(settings_.percentage));
    if (rc < 0) {
        app_.ShowError("クロス集計の作成に失敗しました。処理を中止します。");
        return rc < 0 ? rc : -1;
    }
    matrix_.clear();
    matrixColumns_ = 0;
    if (settings_.xCheck == 0 || settings_.yCheck == 0) markNonEmptyCells();
    columns_ = shownCategories(kX, settings_.xCheck);
    rows_ = shownCategories(kY, settings_.yCheck);
    return 0;
}

std::int32_t CrossTabModel::shownRecords() {
    // The set the console marks as current; the records in hand when it marks none.
    const SetRecord set = app_.GetSetRecord(app_.GetCurrentSetNo());
    return set.number > 0 ? set.recordCount : app_.KWgetDataCount();
}

void CrossTabModel::writeCaption(double ms) {
    const std::string aggregate =
        CKWApp::GetAggregateName(settings_.kind < 1 ? -1 : settings_.kind);
    const std::string x = app_.GetItemName(settings_.xItem);
    const std::string y = app_.GetItemName(settings_.yItem);
    const std::string z = app_.GetItemName(settings_.zItem);
    const std::int32_t records = shownRecords();
    caption_ = app_.FormatCrossTabCaption(aggregate, x, y, z, records);
    captionParts_ = {aggregate, x, y, z, records};
    app_.LogCrossTab(aggregate, x, y, z, records, ms);
}

std::int32_t CrossTabModel::RefreshCrossView() {
    return show(true);
}

std::int32_t CrossTabModel::relayout() {
    return show(false);
}

bool CrossTabModel::resultInHand() const {
    return built_ && app_.GetCrossSettings() == settings_ &&
           app_.GetCategoryList() == categories_ && app_.KWmapGet() == builtMap_;
}

std::int32_t CrossTabModel::show(bool runEngine) {
    beginResetModel();
    std::int32_t rc = -1;
    // Only a new table starts from the preset decimals; the toggle and the sort keep the user's.
    bool fresh = true;
    if (app_.KWgetDataCount() > 0) {
        app_.StartTimer();
        start_ = end_ = Cell{0, 0};
        fresh = runEngine || !resultInHand();
        if (fresh) {
            rc = buildTable();
        } else {
            // The engine's result still answers these settings: only the shown lists change.
            rc = 0;
            columns_ = shownCategories(kX, settings_.xCheck);
            rows_ = shownCategories(kY, settings_.yCheck);
        }
        if (rc == 0) {
            writeCaption(app_.GetElapsedMs());
        }
    }
    built_ = rc == 0;
    builtMap_ = built_ ? app_.KWmapGet() : nullptr;
    if (!built_) {
        // A window never shows a table it could not build.
        columns_.clear();
        rows_.clear();
        matrix_.clear();
    }
    if (fresh || !built_) {
        decimals_ = 0;
        grouped_ = true;
    }
    applySort();
    std::vector<int> widths;
    for (std::int32_t c = 0; c < GetColumnCount(); ++c)
        widths.push_back(measure_(GetColumnHeaderText(c)) + kCaptionPadding);
    geometry_.setColumnWidths(std::move(widths));
    geometry_.setRowCount(GetRowCount());
    geometry_.setTopRow(0);
    geometry_.setXOffset(0);
    endResetModel();
    changed();
    if (built_)
        emit tableShown();
    else
        emit tableLost();
    return rc;
}

// --- Texts ---

std::int32_t CrossTabModel::yCategoryOfRow(std::int32_t row) const {
    const std::int32_t rows = GetRowCount();
    if (row < 0 || row >= rows) return -1;
    std::int32_t position = row;
    if (sortCategory_ >= 0 && order_.size() == rows_.size())
        position = order_[static_cast<std::size_t>(descending_ ? rows - 1 - row : row)];
    return rows_[static_cast<std::size_t>(position)];
}

bool CrossTabModel::GetCellText(std::int32_t row, std::int32_t column, std::string* text) const {
    text->clear();
    if (column < 0 || column >= GetColumnCount() || row < 0 || row >= GetRowCount()) return false;
    const CrossCell cell{columns_[static_cast<std::size_t>(column)], yCategoryOfRow(row)};
    if (cellEmpty(cell)) {
        *text = emptyText_;
        return true;
    }
    const auto count = [&] {
        const std::int32_t n = app_.GetCrossCount(cell);
        return grouped_ ? CKWApp::FormatInteger(n) : printf("%d", n);
    };
    const auto value = [&] {
        const double v = app_.GetCrossValue(cell);
        return grouped_ ? CKWApp::FormatDouble(v, decimals_) : printf("%.*f", decimals_, v);
    };
    switch (cellKind()) {
        case CellKind::Count:
            *text = count();
            break;
        case CellKind::Value:
            *text = value();
            break;
        case CellKind::Date:
            *text = dateText(printf("%.0f", app_.GetCrossValue(cell)));
            break;
        case CellKind::Time:
            *text = timeText(printf("%06.0f", app_.GetCrossValue(cell)));
            break;
        case CellKind::DateCount:
            *text = dateText(printf("%d", app_.GetCrossCount(cell)));
            break;
        case CellKind::TimeCount:
            *text = timeText(printf("%06d", app_.GetCrossCount(cell)));
            break;
        case CellKind::Text:
            *text = app_.GetCrossText(cell);
            break;
        case CellKind::None:
            break;
    }
    return true;
}

std::string CrossTabModel::GetCellText(std::int32_t row, std::int32_t column) const {
    std::string text;
    GetCellText(row, column, &text);
    return text;
}

std::string CrossTabModel::axisHeader(int axis, std::int32_t category) const {
    const bool x = axis == kX;
    if (classAxis(axis)) return x ? app_.GetCrossXLabel(category) : app_.GetCrossYLabel(category);
    // The error and blank positions of a plain axis carry no value to print.
    const auto& specials = app_.GetSpecialCaptions();
    if (category < 2 && static_cast<std::size_t>(category) < specials.size())
        return specials[static_cast<std::size_t>(category)];
    switch (app_.GetItemType(x ? settings_.xItem : settings_.yItem)) {
        case kCode:
        case kMulti:
        case kString:
            return x ? app_.GetCrossXLabel(category) : app_.GetCrossYLabel(category);
        case kInteger:
            return CKWApp::FormatInteger(x ? app_.GetCrossXInt(category)
                                           : app_.GetCrossYInt(category));
        case kFloat: {
            const double v = x ? app_.GetCrossXDouble(category) : app_.GetCrossYDouble(category);
            return grouped_ ? CKWApp::FormatDouble(v, decimals_) : printf("%.*f", decimals_, v);
        }
        case kDate:
            return dateText(
                printf("%d", x ? app_.GetCrossXInt(category) : app_.GetCrossYInt(category)));
        case kTime:
            return timeText(
                printf("%06d", x ? app_.GetCrossXInt(category) : app_.GetCrossYInt(category)));
        default:
            return {};
    }
}

std::string CrossTabModel::GetColumnHeaderText(std::int32_t column) const {
    if (column < 0 || column >= GetColumnCount()) return {};
    return axisHeader(kX, columns_[static_cast<std::size_t>(column)]);
}

std::string CrossTabModel::GetRowHeaderText(std::int32_t row) const {
    const std::int32_t y = yCategoryOfRow(row);
    return y < 0 ? std::string() : axisHeader(kY, y);
}

std::int32_t CrossTabModel::GetCellAlignment(std::string_view text) const {
    if (text == emptyText_) return kCentre;
    switch (cellKind()) {
        case CellKind::Text:
            return kLeft;
        case CellKind::None:
            return kCentre;
        default:
            return kRight;
    }
}

// --- Display ---

void CrossTabModel::SetDecimalDigit(std::int32_t places) {
    if (places < 0 || places > kMaxDecimals) return;
    decimals_ = places;
    emit dataChanged(index(0, 0),
                     index(std::max(rowCount() - 1, 0), std::max(columnCount() - 1, 0)));
    changed();
    app_.Record(StepBuilder("Olap_DecimalDigit").number(places));
}

std::string CrossTabModel::toggleText() const {
    return cp932::literal(errorBlank_ ? ZBQ_SHOWN("ｴﾗｰ･ﾌﾞﾗﾝｸ削除") : ZBQ_SHOWN("ｴﾗｰ･ﾌﾞﾗﾝｸ表示"));
}

std::int32_t CrossTabModel::ToggleErrorBlank() {
    errorBlank_ = errorBlank_ ? 0 : 1;
    return relayout();
}

// --- Sorting ---

void CrossTabModel::applySort() {
    order_.clear();
    const auto it = std::find(columns_.begin(), columns_.end(), sortCategory_);
    if (sortCategory_ < 0 || it == columns_.end()) {
        sortCategory_ = -1;
        return;
    }
    const std::int32_t x = sortCategory_;
    using Key = std::variant<std::int32_t, double, std::string>;
    const CellKind kind = cellKind();
    if (kind == CellKind::None) {
        sortCategory_ = -1;
        return;
    }
    // Texts compare as unsigned bytes, CP932 order; equal keys keep the data's order.
    struct Less {
        bool operator()(const Key& a, const Key& b) const {
            if (a.index() != b.index()) return a.index() < b.index();
            if (const auto* s = std::get_if<std::string>(&a)) {
                const auto& t = std::get<std::string>(b);
                return std::lexicographical_compare(
                    s->begin(), s->end(), t.begin(), t.end(), [](char l, char r) {
                        return static_cast<unsigned char>(l) < static_cast<unsigned char>(r);
                    });
            }
            return a < b;
        }
    };
    std::multimap<Key, std::int32_t, Less> keyed;
    std::vector<std::int32_t> empty;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const CrossCell cell{x, rows_[r]};
        const auto position = static_cast<std::int32_t>(r);
        if (cellEmpty(cell)) {
            empty.push_back(position);
            continue;
        }
        switch (kind) {
            case CellKind::Value:
            case CellKind::Date:
            case CellKind::Time:
                keyed.emplace(app_.GetCrossValue(cell), position);
                break;
            case CellKind::Text:
                keyed.emplace(app_.GetCrossText(cell), position);
                break;
            default:
                keyed.emplace(app_.GetCrossCount(cell), position);
                break;
        }
    }
    if (keyed.empty()) {
        sortCategory_ = -1;
        return;
    }
    for (const auto& entry : keyed)
        order_.push_back(entry.second);
    order_.insert(order_.end(), empty.begin(), empty.end());
}

std::int32_t CrossTabModel::sortColumn() const {
    if (sortCategory_ < 0) return -1;
    const auto it = std::find(columns_.begin(), columns_.end(), sortCategory_);
    return it == columns_.end() ? -1 : static_cast<std::int32_t>(it - columns_.begin());
}

void CrossTabModel::SortRows(std::int32_t column, std::int32_t descending) {
    if (column < 0 || column >= GetColumnCount()) return;
    sortCategory_ = columns_[static_cast<std::size_t>(column)];
    descending_ = descending != 0;
    relayout();
    app_.Record(StepBuilder("Olap_Sort").number(column).number(descending));
}

void CrossTabModel::OriginalDisplay() {
    if (sortCategory_ < 0) return;
    sortCategory_ = -1;
    relayout();
    app_.Record(StepBuilder("Olap_OriginalDisplay"));
}

// --- Drill-through ---

void CrossTabModel::DrillThrough() {
    const CellRange range =
        selectedRange(source_, {start_.column, start_.row}, {end_.column, end_.row});
    if (range.isEmpty()) return;
    const CrossSettings settings = settings_;
    const std::int32_t before = app_.KWgetDataCount();
    const KW_mapPtr previous = app_.KWmapGet();
    app_.StartTimer();
    for (std::int32_t r = range.firstRow; r <= range.lastRow; ++r)
        for (std::int32_t c = range.firstColumn; c <= range.lastColumn; ++c)
            app_.MarkCrossCell({columns_[static_cast<std::size_t>(c)], yCategoryOfRow(r)});
    const std::int32_t drilled = app_.CrossDrill();
    const double ms = app_.GetElapsedMs();
    if (drilled <= 0) {
        // Nothing behind the cells: the records in hand stay current and no set is made.
        if (previous)
            app_.KWmapSet(previous);
        else
            app_.KWmapClear();
        app_.ShowError("ドリルスルーを実行できません。");
        return;
    }
    const std::string xName = app_.GetItemName(settings.xItem);
    const std::string yName = app_.GetItemName(settings.yItem);
    {
        CKWApp::SuppressGuard guard(app_, Suppress::CloseOne);
        app_.AddResultSet(xName + " X " + yName, 0);
    }
    sortCategory_ = -1;
    // The aggregation window builds again in a nested loop, where the user may close the cross
    // window and with it this model: only locals are touched from here on. The step goes first,
    // so a close made meanwhile replays after the drill it followed.
    CKWApp& app = app_;
    app.Record(StepBuilder("DorileDrillThrough"));
    app.RebuildGrid(1);
    app.RefreshItemWindows();
    app.RefreshCrossView();
    app.ExecuteMolap();
    const std::int32_t after = app.KWgetDataCount();
    app.LogDrillThrough(xName, yName, before, after, ms);
}

// --- Selection ---

void CrossTabModel::SetSelStart(std::int32_t column, std::int32_t row) {
    start_ = Cell{column, row};
    changed();
}

void CrossTabModel::SetSelEnd(std::int32_t column, std::int32_t row) {
    end_ = Cell{column, row};
    changed();
}

void CrossTabModel::SelectCells(Cell anchor, Cell end) {
    start_ = anchor;
    end_ = end;
    changed();
    app_.Record(StepBuilder("Olap_SelectCell")
                    .number(anchor.column)
                    .number(anchor.row)
                    .number(end.column)
                    .number(end.row));
}

void CrossTabModel::SelectRows(std::int32_t anchorRow, std::int32_t endRow) {
    start_ = Cell{0, anchorRow};
    end_ = Cell{GetColumnCount() - 1, endRow};
    changed();
    app_.Record(StepBuilder("Olap_SelectRow").number(anchorRow).number(endRow));
}

void CrossTabModel::SelectColumns(std::int32_t anchorColumn, std::int32_t endColumn) {
    start_ = Cell{anchorColumn, 0};
    end_ = Cell{endColumn, GetRowCount() - 1};
    changed();
    app_.Record(StepBuilder("Olap_SelectColumn").number(anchorColumn).number(endColumn));
}

void CrossTabModel::SelectAll() {
    start_ = Cell{0, 0};
    end_ = Cell{GetColumnCount() - 1, GetRowCount() - 1};
    changed();
    app_.Record(StepBuilder("Olap_SelectAll"));
}

bool CrossTabModel::isSelected(std::int32_t row, std::int32_t column) const {
    return std::min(start_.row, end_.row) <= row && row <= std::max(start_.row, end_.row) &&
           std::min(start_.column, end_.column) <= column &&
           column <= std::max(start_.column, end_.column);
}

// --- Keys, wheel, scrolling, widths ---

void CrossTabModel::MoveSelection(std::int32_t row, std::int32_t column) {
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= GetColumnCount()) return;
    ScrollToRow(row);
    ScrollToColumn(column);
    start_ = end_ = Cell{column, row};
    changed();
}

void CrossTabModel::OnKeyDown(std::int32_t key, std::int32_t repeat, std::int32_t flags) {
    if (!isMoveKey(key)) return;
    app_.Record(StepBuilder("Olap_ChangeSelectByKey").number(key).number(repeat).number(flags));
    if (const auto target = GridController::KeyTarget(key, start_, GetColumnCount(), GetRowCount(),
                                                      geometry_.rowsPerPage()))
        MoveSelection(target->row, target->column);
}

void CrossTabModel::OnMouseWheel(std::int32_t flags, std::int32_t delta) {
    const auto signedDelta = static_cast<std::int16_t>(delta);
    geometry_.ScrollByPixels(signedDelta > 0 ? -kWheelPixels : kWheelPixels);
    changed();
    app_.Record(StepBuilder("Olap_MouseWheel").number(flags).number(signedDelta));
}

bool CrossTabModel::VScroll(std::int32_t code, std::int32_t value) {
    if (!geometry_.VScroll(code, value)) return false;
    changed();
    app_.Record(StepBuilder("Olap_VScroll").number(code).number(code == kThumb ? value : 0));
    return true;
}

bool CrossTabModel::HScroll(std::int32_t code, std::int32_t value) {
    if (!geometry_.HScroll(code, value)) return false;
    changed();
    app_.Record(StepBuilder("Olap_HScroll").number(code).number(code == kThumb ? value : 0));
    return true;
}

void CrossTabModel::ScrollToRow(std::int32_t row) {
    geometry_.ScrollToRow(row);
    changed();
}

void CrossTabModel::ScrollToColumn(std::int32_t column) {
    geometry_.ScrollToColumn(column);
    changed();
}

void CrossTabModel::FitColumnWidth(std::int32_t column) {
    if (column < 0 || column >= GetColumnCount()) return;
    std::vector<int> widths{measure_(GetColumnHeaderText(column))};
    const std::int32_t last = std::min(geometry_.lastVisibleRow(), GetRowCount() - 1);
    for (std::int32_t r = geometry_.topRow(); r <= last; ++r)
        widths.push_back(measure_(GetCellText(r, column)));
    geometry_.setColumnWidth(column, GridController::FitWidth(widths, kCaptionPadding));
    changed();
    // The divider's press and release recorded a width; the double-click stands for both.
    app_.RecordReplacingLast(StepBuilder("Olap_Alignment").number(column),
                             StepBuilder("Olap_AlignmentFree").number(column).str() + ",");
}

void CrossTabModel::SetColumnWidth(std::int32_t column, std::int32_t width, bool record) {
    if (column < 0 || column >= GetColumnCount()) return;
    width = std::clamp(width, 0, GridController::kWidestColumn);
    geometry_.setColumnWidth(column, width);
    changed();
    if (record) app_.Record(StepBuilder("Olap_AlignmentFree").number(column).number(width));
}

std::pair<int, int> CrossTabModel::FitFrameToTable(int nonClientWidth, int nonClientHeight) const {
    const int width = geometry_.contentWidth() + nonClientWidth + 185;
    // Without rows the list has none to measure; it keeps one row's height.
    const int rows = std::max(GetRowCount(), 1);
    const int height = rows * geometry_.rowHeight() + nonClientHeight + 45;
    return {std::min(width, kWidestFrame), std::min(height, kHighestFrame)};
}

// --- Copy and export ---

void CrossTabModel::exportTable(int kind, bool whole, bool withHeaders, const std::string& path) {
    const ExportShape shape{
        whole ? wholeTable(source_)
              : selectedRange(source_, {start_.column, start_.row}, {end_.column, end_.row}),
        withHeaders, whole};
    TableExporter exporter(app_, source_);
    const char* names[3][3] = {
        {"Olap_CopyAll", "Olap_CopyWithHead", "Olap_Copy"},
        {"Olap_OutToCsvAll", "Olap_OutToCsvWithHead", "Olap_OutToCsv"},
        {"Olap_OutToExcelAll", "Olap_OutToExcelWithHead", "Olap_OutToExcel"}};
    const StepBuilder step(names[kind][whole ? 0 : withHeaders ? 1 : 2]);
    switch (kind) {
        case kClipboard:
            exporter.copy(shape, step);
            break;
        case kTextFile:
            exporter.writeTextFile(path, shape, step);
            break;
        default:
            exporter.writeWorkbook(shape, step);
            break;
    }
}

void CrossTabModel::CopyAll() {
    exportTable(kClipboard, true, true, {});
}
void CrossTabModel::CopyWithHead() {
    exportTable(kClipboard, false, true, {});
}
void CrossTabModel::Copy() {
    exportTable(kClipboard, false, false, {});
}
void CrossTabModel::OutToCsvAll(const std::string& path) {
    exportTable(kTextFile, true, true, path);
}
void CrossTabModel::OutToCsvWithHead(const std::string& path) {
    exportTable(kTextFile, false, true, path);
}
void CrossTabModel::OutToCsv(const std::string& path) {
    exportTable(kTextFile, false, false, path);
}
void CrossTabModel::OutToExcelAll() {
    exportTable(kWorkbook, true, true, {});
}
void CrossTabModel::OutToExcelWithHead() {
    exportTable(kWorkbook, false, true, {});
}
void CrossTabModel::OutToExcel() {
    exportTable(kWorkbook, false, false, {});
}

void CrossTabModel::Source::readCell(std::int32_t row, std::int32_t column, TableCell& cell) const {
    model_.GetCellText(row, column, &cell.text);
    if (cell.text == model_.emptyText_) return;
    const CrossCell at{model_.columns_[static_cast<std::size_t>(column)],
                       model_.yCategoryOfRow(row)};
    switch (model_.cellKind()) {
        case CellKind::Count:
            cell.number =
                CellNumber{static_cast<double>(model_.app_.GetCrossCount(at)), 0, model_.grouped_};
            break;
        case CellKind::Value:
            cell.number =
                CellNumber{model_.app_.GetCrossValue(at), model_.decimals_, model_.grouped_};
            break;
        default:
            break;
    }
}

// --- QAbstractTableModel ---

int CrossTabModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GetRowCount();
}

int CrossTabModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GetColumnCount();
}

QVariant CrossTabModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const std::string text = GetCellText(index.row(), index.column());
    if (role == Qt::DisplayRole) return QString::fromStdString(cp932::toUtf8(text));
    if (role == Qt::TextAlignmentRole) {
        const std::int32_t a = GetCellAlignment(text);
        const Qt::Alignment h = a == kLeft    ? Qt::AlignLeft
                                : a == kRight ? Qt::AlignRight
                                              : Qt::AlignHCenter;
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    return {};
}

QVariant CrossTabModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    const std::string text =
        orientation == Qt::Horizontal ? GetColumnHeaderText(section) : GetRowHeaderText(section);
    return QString::fromStdString(cp932::toUtf8(text));
}

}  // namespace zbq::windows
