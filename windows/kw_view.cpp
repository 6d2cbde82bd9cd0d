#include "windows/kw_view.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include "app/main_frame.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"
#include "windows/attachments.h"

namespace zbq::windows {
namespace {

constexpr const char* kWindowCaption = ZBQ_SHOWN("元ﾃﾞｰﾀ表示");

// A text of ours as the user reads it (language.h).
QString u(const char* japanese) {
    return ui::shown(japanese);
}

QAction* addCommand(QMenu& menu, const QString& text, std::int32_t command, bool enabled = true) {
    QAction* action = menu.addAction(text);
    action->setData(command);
    action->setEnabled(enabled);
    return action;
}

std::int32_t decimalCommand(std::int32_t places) {
    return places <= 6 ? CKWView::kDecimals0 + places : CKWView::kDecimals7 + places - 7;
}

}  // namespace

CKWView::CKWView(CKWApp& app, QWidget* parent)
    : QWidget(parent), app_(app), model_(app), grid_(new ResultGrid(*this, GridConfig{}, this)) {
    setWindowTitle(u(kWindowCaption));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    model_.setMeasure([this](std::string_view text) { return grid_->textWidth(text); });
    connect(&model_, &DataGridModel::viewChanged, this, &CKWView::refresh);
    model_.BuildGrid(0);
}

CKWView::~CKWView() = default;

QWidget* CKWView::Make(CKWApp& app) {
    return new CKWView(app);
}

CChildFrame* CKWView::frame() const {
    return frame_;
}

bool CKWView::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange && !frame_)
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame_ = new CChildFrame(app_, *sub);
    return QWidget::event(event);
}

void CKWView::keyPressEvent(QKeyEvent* event) {
    const std::int32_t vk = virtualKeyOf(event->key());
    if (vk == 0) return QWidget::keyPressEvent(event);
    key(vk);
}

void CKWView::refresh() {
    grid_->refresh();
}

// --- DataViewOps ---

void CKWView::RebuildGrid(std::int32_t flag) {
    model_.RebuildGrid(flag);
}

std::int32_t CKWView::ShowRecord(std::int32_t row, std::int32_t item) {
    return model_.ShowRecord(row, item);
}

void CKWView::FormatPrint(std::int32_t number) {
    model_.FormatPrint(number);
}

// --- GridOwner ---

std::string CKWView::columnTitle(std::int32_t column) const {
    return model_.GetColumnName(column);
}

std::string CKWView::rowLabel(std::int32_t row) const {
    return CKWApp::FormatInteger(row + 1);
}

bool CKWView::cellText(std::int32_t row, std::int32_t column, std::string* text) const {
    return model_.GetCellText(row, column, text);
}

bool CKWView::isSelected(std::int32_t column, std::int32_t row) const {
    return model_.IsSelected(column, row);
}

bool CKWView::rightAligned(std::int32_t column) const {
    return model_.IsRightAligned(column);
}

void CKWView::dragSelection(Cell anchor, Cell end) {
    model_.SetSelStart(anchor.column, anchor.row);
    model_.SetSelEnd(end.column, end.row);
}

void CKWView::selectRows(std::int32_t first, std::int32_t last) {
    model_.SelectRows(first, last);
}

void CKWView::selectColumns(std::int32_t first, std::int32_t last) {
    model_.SelectColumns(first, last);
}

void CKWView::columnResized(std::int32_t column, std::int32_t width) {
    model_.SetColumnWidth(column, width);
}

void CKWView::rowDoubleClicked(std::int32_t row) {
    if (row < model_.GetRowCount()) LaunchAttachmentViewer(app_, row);
}

void CKWView::cellDoubleClicked(std::int32_t row, std::int32_t column) {
    OpenAttachedFile(app_, model_, row, column);
}

void CKWView::scrollRequest(bool vertical, std::int32_t code, std::int32_t value) {
    if (vertical)
        model_.VScroll(code, value);
    else
        model_.HScroll(code, value);
}

// --- The menu ---

std::unique_ptr<QMenu> CKWView::BuildMenu(GridRole role, std::int32_t column) {
    // Column entries act on the column under the click, which only the column header knows.
    const std::int32_t target = role == GridRole::ColumnHeader ? column : -1;
    const GridMenuState state = model_.EnableMenuByType(target);
    auto menu = std::make_unique<QMenu>(this);
    QMenu* copy = menu->addMenu(u("コピー"));
    addCommand(*copy, u("項目名付き"), kCopyWithHead);
    addCommand(*copy, u("項目名無し"), kCopy);
    QMenu* csv = menu->addMenu(u("CSVに書出し"));
    addCommand(*csv, u("項目名付き"), kCsvWithHead);
    addCommand(*csv, u("項目名無し"), kCsv);
    QMenu* excel = menu->addMenu(u("Excelに書出し"));
    excel->setEnabled(state.excel);
    addCommand(*excel, u("項目名付き"), kExcelWithHead);
    addCommand(*excel, u("項目名無し"), kExcel);
    menu->addSeparator();
    QMenu* sort = menu->addMenu(u("ソート"));
    sort->setEnabled(state.sort);
    addCommand(*sort, u("昇順にソート"), kSortUp);
    addCommand(*sort, u("降順にソート"), kSortDown);
    addCommand(*menu, u("元データ順ソート（昇順）"), kSortOrg);
    QAction* codes = addCommand(*menu, u("コードで表示"), kDispByCode, state.codes && target >= 0);
    codes->setCheckable(true);
    codes->setChecked(state.codesChecked);
    addCommand(*menu, u("項目の詳細表示"), kItemDetails, state.itemDetails);
    menu->addSeparator();
    addCommand(*menu, u("セル幅を調整"), kCellWidth, state.cellWidth);
    QAction* comma = addCommand(*menu, u("カンマ編集"), kComma, state.comma);
    comma->setCheckable(true);
    comma->setChecked(state.commaChecked);
    QMenu* places = menu->addMenu(u("小数点以下桁数"));
    places->setEnabled(state.decimals);
    for (std::int32_t p = 0; p <= DataGridModel::kMaxDecimals; ++p) {
        QAction* action = places->addAction(QString::number(p));
        action->setData(decimalCommand(p));
        action->setCheckable(true);
        action->setChecked(p == state.checkedDecimals);
    }
    connect(menu.get(), &QMenu::triggered, this,
            [this, target](QAction* action) { RunCommand(action->data().toInt(), target); });
    return menu;
}

void CKWView::RunCommand(std::int32_t command, std::int32_t column) {
    if (command >= kDecimals0 && command <= kDecimals0 + 6)
        return model_.SetDecimalDigit(column, command - kDecimals0);
    if (command >= kDecimals7 && command <= kDecimals7 + 7)
        return model_.SetDecimalDigit(column, command - kDecimals7 + 7);
    switch (command) {
        case kCopyWithHead:
            return model_.CopyWithHead();
        case kCopy:
            return model_.Copy();
        case kCsvWithHead:
            return model_.OutToCsvWithHead({});
        case kCsv:
            return model_.OutToCsv({});
        case kExcelWithHead:
            return model_.OutToExcelWithHead();
        case kExcel:
            return model_.OutToExcel();
        case kSortUp:
            return model_.SortUp(column);
        case kSortDown:
            return model_.SortDown(column);
        case kSortOrg:
            return model_.SortOrg(column);
        case kDispByCode:
            return model_.DispByCode(column);
        case kItemDetails:
            return model_.DispItemDlg(column);
        case kCellWidth:
            return model_.AdjustCellWidth(column);
        case kComma:
            return model_.DispComma(column);
        default:
            return;
    }
}

void CKWView::contextMenu(GridRole role, std::int32_t column, QPoint global) {
    std::unique_ptr<QMenu> menu = BuildMenu(role, column);
    // A command may run a nested loop in which the window closes and takes its child menu along.
    const QPointer<QMenu> open(menu.get());
    menu->exec(global);
    if (!open) (void)menu.release();
}

// --- CChildFrame ---

CChildFrame::CChildFrame(CKWApp& app, QMdiSubWindow& window)
    : QObject(&window), app_(app), window_(window) {
    window.installEventFilter(this);
    // The frame opens the window maximised right after making it.
    quiet_ = true;
    QTimer::singleShot(0, this, [this] { quiet_ = false; });
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) return false;
    switch (event->type()) {
        case QEvent::Close: {
            auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow());
            // A window the frame unregistered first is one the program closes itself.
            const bool own = frame && frame->dataView() == window_.widget();
            if (own && !app_.IsSuppressed(Suppress::CloseOne) &&
                !app_.IsSuppressed(Suppress::CloseAll))
                app_.Record(StepBuilder("Data_Close"));
            if (own) frame->UnregisterDataView();
            closing_ = true;
            break;
        }
        case QEvent::WindowStateChange: {
            // The window system passes through states on its way; one step per state reached.
            const Qt::WindowStates state = window_.windowState();
            const char* step = (state & Qt::WindowMinimized)   ? "Data_Min"
                               : (state & Qt::WindowMaximized) ? "Data_Max"
                                                               : "Data_Restore";
            // The window list and the frame record their own step for the states they set.
            if (!quiet_ && !closing_ && step != lastStep_ && !app_.IsSuppressed(Suppress::States))
                app_.Record(StepBuilder(step));
            lastStep_ = step;
            break;
        }
        case QEvent::Resize:
            if (QWidget* main = app_.windows().mainWindow())
                main->setWindowTitle(QString::fromUtf8(CKWApp::kCaption));
            break;
        default:
            break;
    }
    return false;
}

void CChildFrame::OnClose() {
    window_.close();
}
void CChildFrame::OnMaximize() {
    window_.showMaximized();
}
void CChildFrame::OnMinimize() {
    window_.showMinimized();
}
void CChildFrame::OnRestore() {
    window_.showNormal();
}

}  // namespace zbq::windows
