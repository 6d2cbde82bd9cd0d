// The aggregation window's model: cells read from the engine's result on demand.
#include "windows/molap_view.h"

#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/shown_bytes.h"
#include "windows/molap_format.h"

namespace zbq::windows {

std::string filterConditionsRefusal(const FilterConditions& conditions) {
    bool used = false;
    for (std::size_t k = 0; k < conditions.size(); ++k) {
        const FilterCondition& c = conditions[k];
        if (c.op < 0) continue;
        used = true;
        // The message box shows the text as it stands, so it is put in the language here.
        const auto told = [k](const char* japanese) {
            return ui::shown(japanese).arg(k + 1).toStdString();
        };
        if (c.from.empty()) return told(ZBQ_SHOWN("第%1条件の値が指定されていません。"));
        if (c.op == 6 && c.to.empty())
            return told(ZBQ_SHOWN("第%1条件のToの値が指定されていません。"));
    }
    return used ? std::string() : ZBQ_SHOWN("条件が指定されていません。");
}

CMOLAPView::CMOLAPView(const KW_search& engine, QObject* parent)
    : QAbstractTableModel(parent), engine_(engine) {}

void CMOLAPView::install(MolapLayout layout) {
    beginResetModel();
    layout_ = std::move(layout);
    installed_ = true;
    marks_.clear();
    filterActive_ = false;
    spanIndex_.clear();
    for (std::size_t i = 0; i < layout_.spans.size(); ++i)
        spanIndex_.emplace(key(layout_.spans[i].row, layout_.spans[i].column), i);
    currentRow_ = layout_.fixedRows() < layout_.rows() ? layout_.fixedRows() : -1;
    currentColumn_ = layout_.fixedColumns() < layout_.columns() ? layout_.fixedColumns() : -1;
    endResetModel();
}

void CMOLAPView::clear() {
    beginResetModel();
    installed_ = false;
    layout_ = {};
    spanIndex_.clear();
    marks_.clear();
    filterActive_ = false;
    currentRow_ = currentColumn_ = -1;
    endResetModel();
}

MolapCellView CMOLAPView::cellView(std::int32_t row, std::int32_t column) const {
    return molapCell(engine_, layout_, row, column);
}

namespace {

std::string shownCaption(const std::string& cp932) {
    return ui::shownBytes(cp932);
}

// A header caption as the screen shows it: the level's caption with its words of ours (kind,
// units, "件数") in the language in force; the exports and the clipboard keep the Japanese.
std::string shownHeader(const MolapLayout& l, std::int32_t row, std::int32_t column,
                        const std::string& text) {
    const MolapLevelInfo* level = nullptr;
    bool z = false;
    if (row < l.nX() && column == l.nY() - 1) level = &l.x[static_cast<std::size_t>(row)];
    if (row == l.nX() && column < l.nY()) level = &l.y[static_cast<std::size_t>(column)];
    if (row == l.nX() && column >= l.nY() && l.nZ() > 0) {
        level = &l.z[static_cast<std::size_t>((column - l.nY()) % l.nZ())];
        z = true;
    }
    if (!level || text != level->caption) return text;
    const std::string japanese = z ? molapZCaption(level->item, {}, level->kind, level->unit)
                                   : molapItemCaption({}, level->unit);
    if (level->item >= 0 && !text.ends_with(japanese)) return text;
    const std::string name = level->item >= 0 ? text.substr(0, text.size() - japanese.size()) : "";
    return z ? molapZCaption(level->item, name, level->kind, level->unit, shownCaption)
             : molapItemCaption(name, level->unit, shownCaption);
}

}  // namespace

std::string CMOLAPView::cellText(std::int32_t row, std::int32_t column) const {
    if (!installed_ || row < 0 || column < 0 || row >= layout_.rows() ||
        column >= layout_.columns())
        return {};
    return cellView(row, column).text;
}

QRgb CMOLAPView::background(std::int32_t row, std::int32_t column) const {
    if (const std::int32_t mark = filterMark(row, column); mark >= 0)
        return kMolapFilterColours[static_cast<std::size_t>(mark)];
    const MolapCellView cell = cellView(row, column);
    switch (cell.style) {
        case MolapStyle::Caption:
            return kMolapCaptionColour;
        case MolapStyle::Total:
            return kMolapTotalColour;
        case MolapStyle::Key:
            return kMolapKeyColour;
        case MolapStyle::Body:
            return cell.total ? kMolapTotalColour : 0;
    }
    return 0;
}

bool CMOLAPView::spanAt(std::int32_t row, std::int32_t column, MolapSpan& span) const {
    const auto found = spanIndex_.find(key(row, column));
    if (found == spanIndex_.end()) return false;
    span = layout_.spans[found->second];
    return true;
}

bool CMOLAPView::SelectCell(std::int32_t row, std::int32_t column) {
    if (!installed_ || row < 0 || column < 0 || row >= layout_.rows() ||
        column >= layout_.columns())
        return false;
    const std::int32_t oldRow = currentRow_, oldColumn = currentColumn_;
    currentRow_ = row;
    currentColumn_ = column;
    if (oldRow >= 0) emit dataChanged(index(oldRow, oldColumn), index(oldRow, oldColumn));
    emit dataChanged(index(row, column), index(row, column));
    emit currentCellChanged(row, column);
    return true;
}

void CMOLAPView::ApplyFilter(const FilterConditions& conditions) {
    if (installed_) {
        const std::int32_t nY = layout_.nY(), first = layout_.fixedRows(), nZ = layout_.nZ();
        for (std::int32_t y = 0; y < layout_.yKeys; ++y) {
            for (std::int32_t x = 0; x < layout_.xKeys; ++x) {
                for (std::int32_t z = 0; z < nZ; ++z) {
                    MolapValue value;
                    if (engine_.KWMolapGetData(x, y, z, value) != 0 ||
                        value.kind == MolapValue::None)
                        continue;
                    const MolapLevelInfo& info = layout_.z[static_cast<std::size_t>(z)];
                    std::int32_t met = -1;
                    for (const FilterCondition& c : conditions)
                        if (c.op >= 0 && MatchesCondition(info.kind, info.type, value, c.from, c.to,
                                                          c.op, info.unit, layout_.decimalsIndex))
                            met = c.colour;
                    const std::uint64_t k = key(first + y, nY + x * nZ + z);
                    if (met >= 0 && met <= 4)
                        marks_[k] = static_cast<std::uint8_t>(met);
                    else
                        marks_.erase(k);
                }
            }
        }
    }
    conditions_ = conditions;
    filterActive_ = true;
    if (installed_) emit dataChanged(index(0, 0), index(layout_.rows() - 1, layout_.columns() - 1));
}

void CMOLAPView::ReleaseFilter() {
    marks_.clear();
    for (FilterCondition& c : conditions_)
        c.op = -1;
    filterActive_ = false;
    if (installed_) emit dataChanged(index(0, 0), index(layout_.rows() - 1, layout_.columns() - 1));
}

std::int32_t CMOLAPView::filterMark(std::int32_t row, std::int32_t column) const {
    if (marks_.empty()) return -1;
    const auto found = marks_.find(key(row, column));
    return found == marks_.end() ? -1 : found->second;
}

int CMOLAPView::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !installed_ ? 0 : layout_.rows();
}

int CMOLAPView::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !installed_ ? 0 : layout_.columns();
}

QVariant CMOLAPView::data(const QModelIndex& index, int role) const {
    if (!installed_ || !index.isValid()) return {};
    const std::int32_t row = index.row(), column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            if (!ui::englishShown()) return ui::fromCp932(cellText(row, column));
            return ui::fromCp932(shownHeader(
                layout_, row, column, molapCell(engine_, layout_, row, column, shownCaption).text));
        case Qt::BackgroundRole: {
            const QRgb colour = background(row, column);
            return colour ? QVariant(QColor::fromRgb(colour)) : QVariant();
        }
        case Qt::TextAlignmentRole: {
            // The grid's general alignment: numbers right, other texts left.
            const MolapCellView cell = cellView(row, column);
            std::string text = cell.text;
            const bool number = !cell.left && !text.empty() && IsNumberText(text);
            return QVariant::fromValue(Qt::Alignment(Qt::AlignVCenter) |
                                       (number ? Qt::AlignRight : Qt::AlignLeft));
        }
        default:
            return {};
    }
}

void MolapTableSource::readCell(std::int32_t row, std::int32_t column, TableCell& cell) const {
    cell.text = view_.cellText(row + 1, column);
    std::string digits = cell.text;
    if (!cell.text.empty() && IsNumberText(digits) && !digits.empty()) {
        const auto point = digits.find('.');
        cell.number = CellNumber{
            std::strtod(digits.c_str(), nullptr),
            point == std::string::npos ? 0 : static_cast<std::int32_t>(digits.size() - point - 1),
            cell.text.find(',') != std::string::npos};
    }
}

}  // namespace zbq::windows
