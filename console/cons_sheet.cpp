#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/cons_sheet.h"

#include <algorithm>

#include <QCloseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include "app/images.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/cons_status_bar.h"
#include "console/console_pages.h"
#include "console/data_sel_page.h"
#include "console/item_sel_page.h"
#include "console/log_lines.h"
#include "console/log_page.h"
#include "console/molap_page.h"
#include "console/olap_page.h"
#include "console/progress_animation.h"
#include "console/set_tree_view.h"
#include "console/sys_page.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

namespace {

constexpr int kProgressHeight = 10;

}  // namespace

CConsSheet::CConsSheet(CKWApp& app, QWidget* parent)
    : QWidget(parent, Qt::Window),
      app_(app),
      progressBar_(new QProgressBar(this)),
      tabs_(new QTabWidget(this)),
      status_(new CConsStatusBar(this)),
      progress_(new ProgressAnimation(progressBar_, this)),
      sys_(new CSysPage(app)),
      itemSel_(new CItemSelPage(app)),
      dataSel_(new CDataSelPage(app)),
      olap_(new COlapPage(app)),
      molap_(new COlap2Page(app)),
      log_(new CLogPage) {
    setWindowTitle(zbq::ui::shown(kCaption));
    setWindowIcon(zbq::zbqImage(zbq::kConsoleIcon));
    resize(kWidth, kHeight);

    progressBar_->setTextVisible(false);
    progressBar_->setFixedHeight(kProgressHeight);
    progressBar_->setValue(0);

    for (ConsolePage page : kConsolePages) {
        QWidget* widget = Page(page);
        if (consoleTabOf(page)) tabs_->addTab(widget, zbq::ui::shown(consolePageCaption(page)));
    }
    // The OLAP page serves the cross-tab steps without a tab of its own. The category frame
    // fills the page below the axis controls.
    olap_->setParent(this);
    olap_->hide();
    tabs_->setCurrentWidget(log_);
    connect(tabs_, &QTabWidget::currentChanged, this, &CConsSheet::tabChanged);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(progressBar_);
    layout->addWidget(tabs_, 1);
    layout->addWidget(status_);
    status_->setWindowWidth(width());
}

CConsSheet::~CConsSheet() {
    if (&app_.console() == this) app_.SetConsolePort(nullptr);
}

ConsoleHandle CConsSheet::MakeHandle(CKWApp& app, QWidget* parent) {
    auto* sheet = new CConsSheet(app, parent);
    QPointer<CConsSheet> guarded(sheet);
    return ConsoleHandle{sheet, sheet, [guarded](ConsolePage page) -> QWidget* {
                             return guarded ? guarded->Page(page) : nullptr;
                         }};
}

// --- Pages ---

QWidget* CConsSheet::Page(ConsolePage page) const {
    switch (page) {
        case ConsolePage::System:
            return sys_;
        case ConsolePage::ItemSelection:
            return itemSel_;
        case ConsolePage::DataSelection:
            return dataSel_;
        case ConsolePage::Olap:
            return olap_;
        case ConsolePage::Molap:
            return molap_;
        case ConsolePage::Log:
            return log_;
    }
    return nullptr;
}

ConsolePage CConsSheet::CurrentPage() const {
    return consolePageAtTab(tabs_->currentIndex()).value_or(ConsolePage::Log);
}

bool CConsSheet::ActivatePage(ConsolePage page) {
    const std::optional<int> tab = consoleTabOf(page);
    if (!tab) return false;
    showTab(*tab);
    return true;
}

void CConsSheet::showTab(int tab) {
    const bool outer = ownTabChange_;
    ownTabChange_ = true;
    tabs_->setCurrentIndex(tab);
    ownTabChange_ = outer;
}

void CConsSheet::tabChanged(int tab) {
    if (ownTabChange_) return;
    if (const std::optional<ConsolePage> page = consolePageAtTab(tab))
        app_.Record(StepBuilder(consoleOpenTabStep(*page)));
}

// --- Window commands ---

void CConsSheet::OnSysCommand(ConsoleSysCommand command) {
    app_.Record(StepBuilder(consoleSysCommandStep(command)));
    switch (command) {
        case ConsoleSysCommand::Maximize:
            showMaximized();
            break;
        case ConsoleSysCommand::Minimize:
            showMinimized();
            break;
        case ConsoleSysCommand::Restore:
            // Out of the minimised state a window comes back at the size it had.
            if (isMinimized())
                setWindowState(windowState() & ~Qt::WindowMinimized);
            else
                showNormal();
            break;
    }
}

void CConsSheet::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Only the window system's changes are the user's: the program's own (the frame minimising
    // every window, a player, OnSysCommand) arrive as non-spontaneous events.
    if (event->type() != QEvent::WindowStateChange) return;
    if (!event->spontaneous()) {
        ownStates_.push_back(windowState());
        if (ownStates_.size() > 16) ownStates_.pop_front();
        return;
    }
    // The window system may confirm the program's own changes late, one report each, after the
    // program has moved on; those reports are no user's changes either.
    const auto own = std::find(ownStates_.begin(), ownStates_.end(), windowState());
    if (own != ownStates_.end()) {
        ownStates_.erase(ownStates_.begin(), own + 1);
        return;
    }
    ownStates_.clear();
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (const auto command = sysCommandForStateChange(change->oldState(), windowState()))
        app_.Record(StepBuilder(consoleSysCommandStep(*command)));
}

void CConsSheet::closeEvent(QCloseEvent* event) {
    QWidget* frame = app_.windows().mainWindow();
    if (!frame || frame == this) {
        event->accept();
        return;
    }
    // Closing the console is closing the program, asked of the frame; later, because the frame
    // may destroy the console while it closes.
    event->ignore();
    QMetaObject::invokeMethod(
        frame, [frame] { frame->close(); }, Qt::QueuedConnection);
}

// The parts follow the width the console was given (440 by the frame), not the client area its
// status bar gets: Qt gives a window the size asked for and leaves the decorations to the window
// system.
void CConsSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    status_->setWindowWidth(width());
}

// --- Status bar and progress ---

std::string CConsSheet::StatusText() const {
    return zbq::ui::toCp932(status_->partText(0)).value_or(std::string());
}

namespace {

// The engine's build reports its progress in Japanese ("データ解析中", "項目12処理中"); the item
// number in the second is filled into the pattern's translation.
QString shownStatus(const QString& text) {
    static const QRegularExpression item(QStringLiteral("^項目([0-9]+)処理中$"));
    if (const QRegularExpressionMatch m = item.match(text); m.hasMatch())
        return zbq::ui::shown(ZBQ_SHOWN("項目%1処理中")).arg(m.captured(1));
    static const char* const kBuildTexts[] = {ZBQ_SHOWN("データ解析中")};
    for (const char* japanese : kBuildTexts)
        if (text == QString::fromUtf8(japanese)) return zbq::ui::shown(japanese);
    return text;
}

}  // namespace

void CConsSheet::SetStatusText(std::string_view text) {
    status_->setPartText(0, shownStatus(zbq::ui::fromCp932(text)));
}

std::int32_t CConsSheet::StartProgress() {
    return progress_->start();
}

void CConsSheet::StopProgress() {
    progress_->stop();
}

// --- Log tab ---

void CConsSheet::LogSearch(std::string_view caption, std::int32_t before, std::int32_t after,
                           double ms) {
    log_->LogSearch(caption, before, after, ms);
}

void CConsSheet::LogSort(std::string_view itemName, std::int32_t records, std::int32_t kind,
                         double ms) {
    log_->LogSort(itemName, records, kind, ms);
}

std::string CConsSheet::LogCrossTab(std::string_view aggregate, std::string_view x,
                                    std::string_view y, std::string_view z, std::int32_t records,
                                    double ms) {
    return log_->LogCrossTab(aggregate, x, y, z, records, ms);
}

std::string CConsSheet::LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                        std::int32_t after, double ms) {
    return log_->LogDrillThrough(x, y, before, after, ms);
}

std::string CConsSheet::LogOperation(const MixedText& text, std::int32_t records, double ms) {
    return log_->LogOperation(text, records, ms);
}

std::string CConsSheet::FormatCrossTabCaption(std::string_view aggregate, std::string_view x,
                                              std::string_view y, std::string_view z,
                                              std::int32_t records) {
    return crossTabCaption(aggregate, x, y, z, records);
}

void CConsSheet::AppendReadLog(std::string_view line) {
    log_->AppendReadLine(line);
}

void CConsSheet::AppendReadLines(std::string_view lines, std::int32_t count) {
    log_->AppendReadLines(lines, count);
}

void CConsSheet::FlushReadLog() {
    log_->FlushReadLog();
}

void CConsSheet::EndReadLog(std::string_view redLine) {
    log_->EndReadLog(redLine);
}

void CConsSheet::ColourReadLogComments() {
    log_->ColourComments();
}

void CConsSheet::ActivateConsolePage(std::int32_t page) {
    if (page >= 0 && page < kConsoleTabCount) showTab(page);
}

// --- System tab ---

void CConsSheet::AddWindowRow(std::string_view title, std::string_view kind, std::int32_t image,
                              QWidget* window) {
    sys_->AddWindow(title, kind, image, window);
}

void CConsSheet::RemoveWindowRow(QWidget* window) {
    sys_->RemoveWindow(window);
}

std::vector<QWidget*> CConsSheet::ListedWindows() const {
    return sys_->Windows().windows();
}

// --- Item-selection tab ---

void CConsSheet::ShowItemSelControl1() {
    itemSel_->writeButton()->show();
}

void CConsSheet::ShowItemSelControl2() {
    itemSel_->addDataButton()->show();
}

void CConsSheet::ShowData() {
    itemSel_->OnShowData();
}

void CConsSheet::RebuildItemTree() {
    itemSel_->FillTree();
}

void CConsSheet::AddDisplayItem(std::int32_t position, std::int32_t item) {
    itemSel_->AddDisplayItem(position, item);
}

void CConsSheet::RemoveDisplayItem(std::string_view name) {
    itemSel_->RemoveDisplayItem(name);
}

void CConsSheet::UnmarkTreeItem(std::string_view name) {
    itemSel_->UnmarkTreeItem(name);
}

std::optional<std::vector<std::int32_t>> CConsSheet::DisplayListItems() const {
    return itemSel_->list().itemNumbers();
}

void CConsSheet::RestoreDisplayListToTree() {
    itemSel_->RestoreDisplayList();
}

// The pages as they were after loading: the item-selection tab first, then the data-selection
// tab and the cross-tab page, and the item-selection tab in front at the end. The application has
// put back its categories (the built-in one alone) before this runs.
void CConsSheet::ResetPages() {
    ActivatePage(ConsolePage::ItemSelection);
    itemSel_->ResetPage();
    dataSel_->ResetPage();
    olap_->ResetPage();
    molap_->OnClear();
    resetCategoryPart();
    ActivatePage(ConsolePage::ItemSelection);
}

// The category frame made anew from the application's list, the editor empty with the blank
// type applied. Nothing of it is recorded: the reset comes before a recording starts.
void CConsSheet::resetCategoryPart() {
    OlapFrame()->ResetCategorySet();
    OlapFrame()->editor()->ResetForm();
}

// --- OLAP page ---

COlapFrm* CConsSheet::OlapFrame() const {
    return olap_->frame();
}

void CConsSheet::RefreshOlapPages() {
    olap_->FillItemCombos();
    molap_->FillItemList();
}

// The category list changed: no category chosen.
void CConsSheet::ResetOlapPages() {
    olap_->ClearCategoryCombos();
    molap_->ResetLists();
}

void CConsSheet::EnableMolapExecute(bool enable) {
    molap_->EnableExecute(enable);
}

void CConsSheet::AttachCategorySet() {
    OlapFrame()->AttachCategorySet();
}

void CConsSheet::ResetCategorySet() {
    OlapFrame()->ResetCategorySet();
}

// --- Data-selection tab ---

void CConsSheet::RebuildSetTree() {
    dataSel_->RebuildTree();
    // The sets of a data set just loaded or added to show whole, as after any change of them.
    CDataSelTreeView* tree = dataSel_->setTree();
    tree->programChange([tree] { tree->expandAll(); });
}

void CConsSheet::MarkCurrentSet(std::int32_t setNo) {
    dataSel_->MarkCurrentSet(setNo);
}

std::int32_t CConsSheet::GetCurrentSetNo() const {
    return dataSel_->CurrentSetNo();
}

std::int32_t CConsSheet::InsertSetItem(std::int32_t parent, std::string_view text,
                                       std::int32_t /*image*/, std::int32_t setNo) {
    return dataSel_->InsertSetItem(parent, text, setNo);
}

// The forwarder names no parent: the set goes to the end of the list with the level it has.
SetRecord CConsSheet::AddSet(const SetRecord& set) {
    return dataSel_->AddSet(-1, set);
}

void CConsSheet::AddResultSet(const MixedText& caption, std::int32_t intersect) {
    dataSel_->AddResultSet(caption, intersect);
}
