#include "windows/cross_frame.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>

#include "app/main_frame.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

namespace zbq::windows {
namespace {

constexpr const char* kWindowCaption = ZBQ_SHOWN("ｸﾛｽ集計");

QAction* addCommand(QMenu& menu, const QString& text, std::int32_t command) {
    QAction* action = menu.addAction(text);
    action->setData(command);
    return action;
}
// A text of ours as the user reads it (language.h).
QString u(const char* japanese) {
    return ui::shown(japanese);
}

// The model's caption is the line a whole-table export starts with, Japanese in every language;
// the title says the same in the language in force.
QString shownCaption(const CrossTabModel& model) {
    if (!ui::englishShown()) return ui::fromCp932(model.caption());
    const CrossTabModel::CaptionParts& p = model.captionParts();
    return u("ｸﾛｽ集計(%1)[X：%2][Y：%3][Z：%4] %5 Rec")
        .arg(ui::shownCp932(p.aggregate), ui::fromCp932(p.x), ui::fromCp932(p.y),
             ui::fromCp932(p.z), QString::number(p.records));
}

std::int32_t decimalCommand(std::int32_t places) {
    return places <= 6 ? CCrossListView::kDecimals0 + places
                       : CCrossListView::kDecimals7 + places - 7;
}

}  // namespace

// --- The view ---

CCrossListView::CCrossListView(CKWApp& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      model_(app),
      grid_(new ResultGrid(
          *this, GridConfig{CrossTabModel::kRowHeaderWidth, CrossTabModel::kHeaderHeight}, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    model_.setMeasure([this](std::string_view text) { return grid_->textWidth(text); });
    connect(&model_, &CrossTabModel::viewChanged, this, &CCrossListView::refresh);
}

void CCrossListView::refresh() {
    grid_->refresh();
}

void CCrossListView::keyPressEvent(QKeyEvent* event) {
    const std::int32_t vk = virtualKeyOf(event->key());
    if (vk == 0) return QWidget::keyPressEvent(event);
    key(vk);
}

bool CCrossListView::rightAligned(std::int32_t) const {
    // Every cell of the table shows one aggregate: numbers right, texts left.
    return model_.GetCellAlignment("0") == CrossTabModel::kRight;
}

void CCrossListView::dragSelection(Cell anchor, Cell end) {
    model_.SetSelStart(anchor.column, anchor.row);
    model_.SetSelEnd(end.column, end.row);
}

void CCrossListView::scrollRequest(bool vertical, std::int32_t code, std::int32_t value) {
    if (vertical)
        model_.VScroll(code, value);
    else
        model_.HScroll(code, value);
}

std::unique_ptr<QMenu> CCrossListView::BuildMenu(GridRole role, std::int32_t column) {
    // The row labels have no menu of their own, and they are not cells to copy or drill into.
    if (role == GridRole::RowHeader) return nullptr;
    auto menu = std::make_unique<QMenu>(this);
    if (role == GridRole::ColumnHeader) {
        // The corner and the strip past the last column have no menu.
        if (column < 0 || column >= model_.GetColumnCount()) return nullptr;
        QMenu* sort = menu->addMenu(u("ソート"));
        addCommand(*sort, u("昇順にソート"), kSortUp);
        addCommand(*sort, u("降順にソート"), kSortDown);
        addCommand(*menu, u("元データ順表示"), kOriginal);
    } else {
        addCommand(*menu, u("選択範囲でドリルスルー"), kDrill);
        menu->addSeparator();
        addCommand(*menu, u("クロス集計全部をコピー"), kCopyAll);
        QMenu* copy = menu->addMenu(u("コピー"));
        addCommand(*copy, u("項目名付き"), kCopyWithHead);
        addCommand(*copy, u("項目名無し"), kCopy);
        addCommand(*menu, u("クロス集計全部をCSVに書出し"), kCsvAll);
        QMenu* csv = menu->addMenu(u("CSVに書出し"));
        addCommand(*csv, u("項目名付き"), kCsvWithHead);
        addCommand(*csv, u("項目名無し"), kCsv);
        // Without a spreadsheet program the workbook would be written and never opened.
        const bool excelOn = !model_.app().GetExcelPath().empty();
        addCommand(*menu, u("クロス集計全部をExcelに書出し"), kExcelAll)->setEnabled(excelOn);
        QMenu* excel = menu->addMenu(u("Excelに書出し"));
        excel->setEnabled(excelOn);
        addCommand(*excel, u("項目名付き"), kExcelWithHead);
        addCommand(*excel, u("項目名無し"), kExcel);
        menu->addSeparator();
        QMenu* places = menu->addMenu(u("小数点以下桁数"));
        for (std::int32_t p = 0; p <= CrossTabModel::kMaxDecimals; ++p) {
            QAction* action = addCommand(*places, QString::number(p), decimalCommand(p));
            action->setCheckable(true);
            action->setChecked(p == model_.decimals());
        }
        addCommand(*menu, ui::shownCp932(model_.toggleText()), kErrorBlank);
    }
    connect(menu.get(), &QMenu::triggered, this,
            [this, column](QAction* action) { RunCommand(action->data().toInt(), column); });
    return menu;
}

void CCrossListView::RunCommand(std::int32_t command, std::int32_t column) {
    if (command >= kDecimals0 && command <= kDecimals0 + 6)
        return model_.SetDecimalDigit(command - kDecimals0);
    if (command >= kDecimals7 && command <= kDecimals7 + 7)
        return model_.SetDecimalDigit(command - kDecimals7 + 7);
    switch (command) {
        case kDrill:
            return model_.DrillThrough();
        case kCopyAll:
            return model_.CopyAll();
        case kCopyWithHead:
            return model_.CopyWithHead();
        case kCopy:
            return model_.Copy();
        case kCsvAll:
            return model_.OutToCsvAll({});
        case kCsvWithHead:
            return model_.OutToCsvWithHead({});
        case kCsv:
            return model_.OutToCsv({});
        case kExcelAll:
            return model_.OutToExcelAll();
        case kExcelWithHead:
            return model_.OutToExcelWithHead();
        case kExcel:
            return model_.OutToExcel();
        case kErrorBlank:
            model_.ToggleErrorBlank();
            return;
        case kSortUp:
            return model_.SortRows(column, 0);
        case kSortDown:
            return model_.SortRows(column, 1);
        case kOriginal:
            return model_.OriginalDisplay();
        default:
            return;
    }
}

void CCrossListView::contextMenu(GridRole role, std::int32_t column, QPoint global) {
    std::unique_ptr<QMenu> menu = BuildMenu(role, column);
    if (!menu) return;
    // A command may run a nested loop in which the window closes and takes its child menu along.
    const QPointer<QMenu> open(menu.get());
    menu->exec(global);
    if (!open) (void)menu.release();
}

// --- The frame ---

CCrossFrm::CCrossFrm(CKWApp& app, QWidget* parent)
    : QWidget(parent), app_(app), view_(new CCrossListView(app, this)) {
    setWindowTitle(u(kWindowCaption));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    connect(&model(), &CrossTabModel::tableShown, this, &CCrossFrm::fitToTable);
    connect(&model(), &CrossTabModel::tableLost, this, &CCrossFrm::tableLost);
}

QWidget* CCrossFrm::Make(CKWApp& app) {
    return new CCrossFrm(app);
}

std::int32_t CCrossFrm::RefreshCrossView() {
    const std::int32_t rc = model().RefreshCrossView();
    if (rc != 0) return rc;
    setWindowTitle(shownCaption(model()));
    // The table was fitted under the caption it had; the new one says what the table is.
    fitToTable();
    return 0;
}

int CCrossFrm::titleWidth() const {
    // The caption whole, with room for the window manager's icon and buttons.
    constexpr int kTitleBarExtras = 160;
    // The title bar's font is the window manager's; the program's own stands in for it.
    return QFontMetrics(QApplication::font()).horizontalAdvance(windowTitle()) + kTitleBarExtras;
}

void CCrossFrm::fitToTable() {
    const int nonClientWidth = frameGeometry().width() - width();
    const int nonClientHeight = frameGeometry().height() - height();
    const auto [w, h] = model().FitFrameToTable(nonClientWidth, nonClientHeight);
    // A small table leaves the window narrower than its caption, which the title bar would cut:
    // the window is as wide as the caption needs, within the table's own widest.
    const int wide =
        std::max(w, std::min(titleWidth() + nonClientWidth, CrossTabModel::kWidestFrame));
    resize(wide - nonClientWidth, h - nonClientHeight);
}

void CCrossFrm::tableLost() {
    // A window is never left without its table; the frame forgets it and removes its row.
    if (auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow());
        frame && frame->crossWindow() == this)
        frame->CloseCrossWindow();
}

void CCrossFrm::closeEvent(QCloseEvent* event) {
    if (!app_.IsSuppressed(Suppress::CloseOne) && !app_.IsSuppressed(Suppress::CloseAll))
        app_.Record(StepBuilder("Olap_Close"));
    closing_ = true;
    event->accept();
    if (auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow());
        frame && frame->crossWindow() == this)
        frame->CloseCrossWindow();
}

void CCrossFrm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && !closing_) {
        const Qt::WindowStates state = windowState();
        const char* step = (state & Qt::WindowMinimized)   ? "Olap_Min"
                           : (state & Qt::WindowMaximized) ? "Olap_Max"
                                                           : "Olap_Restore";
        // The window system passes through states on its way; one step per state reached. The
        // window list and the frame record their own step for the states they set.
        if (step != lastStep_ && !app_.IsSuppressed(Suppress::States))
            app_.Record(StepBuilder(step));
        lastStep_ = step;
    }
    QWidget::changeEvent(event);
}

}  // namespace zbq::windows
