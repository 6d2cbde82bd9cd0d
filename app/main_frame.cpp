#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/main_frame.h"

#include "app/images.h"
#include "app/shown_message.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/window_owner.h"

namespace {

// The menus, in one place: each item's menu, its text and its command id. The texts are the
// Japanese ones, shown through the translation.
struct MenuItem {
    const char* menu;
    const char* text;
    std::int32_t command;
};

constexpr MenuItem kMenus[] = {
    {ZBQ_SHOWN("ﾌｧｲﾙ(&F)"), ZBQ_SHOWN("終了(&X)"), CMainFrame::kExit},
    {ZBQ_SHOWN("表示(&V)"), ZBQ_SHOWN("ｺﾝｿｰﾙを表示"), CMainFrame::kShowConsole},
    {ZBQ_SHOWN("定型印刷(&P)"), ZBQ_SHOWN("dumy"), CMainFrame::kPrintPlaceholder},
    {ZBQ_SHOWN("ﾏｸﾛ(&M)"), ZBQ_SHOWN("記録開始(&R)\tCtrl+R"), CMainFrame::kRecordStart},
    {ZBQ_SHOWN("ﾏｸﾛ(&M)"), ZBQ_SHOWN("記録終了(&E)\tCtrl+E"), CMainFrame::kRecordStop},
    {ZBQ_SHOWN("ﾏｸﾛ(&M)"), ZBQ_SHOWN("ﾏｸﾛﾒﾆｭｰ表示(&M)\tCtrl+M"), CMainFrame::kMacroMenu},
    {ZBQ_SHOWN("ｳｨﾝﾄﾞｳ(&W)"), ZBQ_SHOWN("全てをｱｲｺﾝ化(&M)"), CMainFrame::kIconizeAll},
    {ZBQ_SHOWN("ﾍﾙﾌﾟ(&H)"), ZBQ_SHOWN("ﾍﾙﾌﾟ(&H)"), CMainFrame::kHelp},
    {ZBQ_SHOWN("ﾍﾙﾌﾟ(&H)"), ZBQ_SHOWN("ﾊﾞｰｼﾞｮﾝ情報(&A)"), CMainFrame::kAbout},
};

constexpr const char* kCaption = "ZEBRINE";
// The window list's kind texts of the two windows that are no item's (UTF-8).
constexpr const char* kDataViewKind = ZBQ_SHOWN("元データ");
constexpr const char* kCrossKind = ZBQ_SHOWN("ｸﾛｽ集計");
constexpr const char* kVersionText = "ZEBRINE Version 1.0.2";
// clang-format off
constexpr const char* kTooManyItemWindows = ZBQ_SHOWN("表示中値一覧ウィンドウの数が規定数：%1を超えました。\n他のウィンドウを閉じてからもう一度処理を行ってください");
// clang-format on

template <typename Ops>
Ops* ops(QWidget* window) {
    return dynamic_cast<Ops*>(window);
}

}  // namespace

CMainFrame::CMainFrame(CKWApp& app, WindowFactories factories)
    : app_(app), factories_(std::move(factories)), mdi_(new QMdiArea(this)) {
    setWindowTitle(kCaption);
    setCentralWidget(mdi_);
    recordingLabel_ = new QLabel(this);
    statusBar()->addPermanentWidget(recordingLabel_);
    buildMenus();
    app_.SetWindowPort(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (window) lastFocused_ = window;
    });
}

CMainFrame::~CMainFrame() {
    // The windows owned as children go with the QWidget base, after this object has ceased to be
    // a CMainFrame: their destroyed() handlers must not reach it then.
    for (QWidget* child : {console_.data(), dataView_.data()})
        if (child) disconnect(child, nullptr, this, nullptr);
    for (const ItemWindow& w : items_)
        if (w.window) disconnect(w.window, nullptr, this, nullptr);
    if (&app_.windows() == this) app_.SetWindowPort(nullptr);
    if (consoleHandle_.port && &app_.console() == consoleHandle_.port) app_.SetConsolePort(nullptr);
}

void CMainFrame::buildMenus() {
    std::map<std::string, QMenu*> menus;
    for (const MenuItem& item : kMenus) {
        QMenu*& menu = menus[item.menu];
        if (!menu) menu = menuBar()->addMenu(zbq::ui::shown(item.menu));
        // "text\tCtrl+R": the part after the tab is the item's shortcut.
        const QStringList parts = zbq::ui::shown(item.text).split(QLatin1Char('\t'));
        QAction* action = menu->addAction(parts.front());
        if (parts.size() > 1) {
            action->setShortcut(QKeySequence(parts[1]));
            // The user works in the console and the analysis windows, which are windows of their
            // own: the keys reach the frame's commands from every window of the program. A modal
            // dialog keeps them away, as it keeps the frame's menus.
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        action->setData(item.command);
        const std::int32_t command = item.command;
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
        actions_[command] = action;
        if (command == kPrintPlaceholder) printMenu_ = menu;
    }
    QMenu* macroMenu = menus["ﾏｸﾛ(&M)"];
    connect(macroMenu, &QMenu::aboutToShow, this, &CMainFrame::updateMacroMenu);
    updateMacroMenu();
}

QAction* CMainFrame::action(std::int32_t command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

bool CMainFrame::runCommand(std::int32_t command) {
    switch (command) {
        case kShowConsole:
            OnShowConsole();
            return true;
        case kHelp:
            OnHelp();
            return true;
        case kIconizeAll:
            OnIconizeAll();
            return true;
        case kAbout:
            OnAbout();
            return true;
        case kExit:
            close();
            return true;
        case kRecordStart:
        case kRecordStop:
        case kMacroMenu:
            if (macroHandler_) macroHandler_(command);
            updateMacroMenu();
            return true;
        default:
            return false;
    }
}

bool CMainFrame::RunPrintEntry(std::int32_t number) {
    const auto& entries = app_.GetPrintMenu();
    if (std::none_of(entries.begin(), entries.end(),
                     [number](const PrintMenuEntry& e) { return e.number == number; }))
        return false;
    if (auto* view = ops<DataViewOps>(dataView_)) view->FormatPrint(number);
    return true;
}

void CMainFrame::updateMacroMenu() {
    const bool recording = app_.macro().isRecording();
    if (QAction* start = action(kRecordStart)) start->setEnabled(!recording);
    if (QAction* stop = action(kRecordStop)) stop->setEnabled(recording);
}

void CMainFrame::SetRecordingIndicator(bool on) {
    recordingLabel_->setText(on ? zbq::ui::shown("記録") : QString());
}

void CMainFrame::OnShowConsole() {
    if (ShowConsole() == 1) app_.Record(StepBuilder("DispConsole"));
}

void CMainFrame::OnIconizeAll() {
    {
        // MinAll stands for every window it minimises.
        const CKWApp::SuppressGuard quiet(app_, Suppress::States);
        const std::vector<QWidget*> listed = app_.console().ListedWindows();
        for (auto it = listed.rbegin(); it != listed.rend(); ++it)
            if (*it) zbq::ui::minimizeAlone(*it);
        if (console_) zbq::ui::minimizeAlone(console_);
    }
    app_.Record(StepBuilder("MinAll"));
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
    // A window manager iconifies the owner with a window it owns: a window the user minimised
    // from its title bar (it had the keyboard, not the frame) took the frame along, and with
    // it every other window. That window alone stays minimised; the frame and the rest return.
    QWindow* focused = lastFocused_;
    if (!focused || focused == windowHandle() || focused->transientParent() != windowHandle())
        return;
    QWidget* minimised = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->windowHandle() == focused) minimised = top;
    if (!minimised) return;
    const Qt::WindowStates before =
        static_cast<QWindowStateChangeEvent*>(event)->oldState() & ~Qt::WindowMinimized;
    // After the event: the frame's state is not to change inside its own report of a change.
    QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(minimised), before] {
        if (window) zbq::ui::minimizeAlone(window);
        if (!isMinimized()) return;
        if (before & Qt::WindowMaximized)
            showMaximized();
        else
            showNormal();
    });
}

void CMainFrame::OnHelp() {
    const QString path = QString::fromStdString(app_.GetProgramDir() + "/ZBQhelp.chm");
    if (!QFile::exists(path)) {
        app_.ShowError("ヘルプファイルの検索に失敗しました");
        return;
    }
    if (!zbq::ui::opener().open(path)) app_.ShowError("ヘルプファイルの表示に失敗しました");
}

void CMainFrame::OnAbout() {
    QDialog about(this);
    about.setWindowTitle(zbq::ui::shown("ﾊﾞｰｼﾞｮﾝ情報"));
    auto* layout = new QVBoxLayout(&about);
    auto* product = new QHBoxLayout;
    if (!windowIcon().isNull()) {
        auto* icon = new QLabel(&about);
        icon->setPixmap(windowIcon().pixmap(32, 32));
        product->addWidget(icon);
    }
    product->addWidget(new QLabel(QString::fromUtf8(kVersionText), &about), 1);
    layout->addLayout(product);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    layout->addWidget(buttons);
    // The title bar shows the title whole, with room for the window manager's buttons.
    about.setMinimumWidth(
        std::max(about.sizeHint().width(),
                 about.fontMetrics().horizontalAdvance(about.windowTitle()) + 160));
    zbq::ui::runModal(about);
}

// --- Closing ---

bool CMainFrame::RequestClose() {
    if (!confirmOnClose_) return true;
    if (app_.IsDataLoaded() && !app_.IsAddingData()) {
        if (!app_.AskYesNo("ZEBRINE を終了しますか？")) return false;
        UnregisterDataView();
        DestroyConsole();
        CloseCrossWindow();
        CloseMolapWindow();
        CloseAllItemSheets();
        return true;
    }
    app_.ShowInformation("データがロードされるまでお待ちください");
    return false;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (RequestClose())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::CloseWithoutAsking() {
    confirmOnClose_ = false;
    close();
}

void CMainFrame::ShowMainWindowMaximized() {
    const bool firstShown = !isVisible();
    showMaximized();
    update();
    // The console came up before its owner was on the screen, so the window manager did not take
    // it for the frame's; shown again, it does.
    if (firstShown && console_ && console_->isVisible()) {
        console_->hide();
        console_->show();
    }
    // The console floats above the frame; showing the frame must not bury it (a desktop without
    // a window manager would stack the frame on top).
    if (console_) console_->raise();
}

// --- Console ---

void CMainFrame::placeCentred(QWidget* window, int width, int height, int dx, int dy) {
    const QRect frame = geometry();
    window->setGeometry((frame.left() + frame.right()) / 2 + dx,
                        (frame.top() + frame.bottom()) / 2 + dy, width, height);
}

void CMainFrame::own(QWidget* window) {
    // X11 carries the owner (WM_TRANSIENT_FOR) only for windows of a dialog's type; a plain
    // window sinks under the maximised frame at its first click. The hints keep the caption's
    // buttons of an ordinary window.
    constexpr Qt::WindowFlags kOwned = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
    if (window->parentWidget() != this || window->windowFlags() != kOwned)
        window->setParent(this, kOwned);
    // The console comes before the frame is shown: the frame's native window must exist for
    // Qt to name it as the owner.
    winId();
    window->winId();
    if (QWindow* handle = window->windowHandle()) handle->setTransientParent(windowHandle());
}

std::int32_t CMainFrame::ShowConsole() {
    if (console_) {
        console_->showNormal();
        console_->raise();
        console_->activateWindow();
        return 1;
    }
    if (!factories_.console) return 0;
    ConsoleHandle handle = factories_.console(*this);
    if (!handle.widget) return 0;
    consoleHandle_ = handle;
    console_ = handle.widget;
    own(handle.widget);
    placeCentred(handle.widget, 440, 524, -220, -257);
    if (handle.port) app_.SetConsolePort(handle.port);
    connect(handle.widget, &QObject::destroyed, this, [this, port = handle.port] {
        if (port && &app_.console() == port) app_.SetConsolePort(nullptr);
        consoleHandle_ = {};
    });
    handle.widget->show();
    return 1;
}

void CMainFrame::DestroyConsole() {
    if (!console_) return;
    if (consoleHandle_.port && &app_.console() == consoleHandle_.port) app_.SetConsolePort(nullptr);
    consoleHandle_ = {};
    delete console_.data();
}

QWidget* CMainFrame::consolePage(ConsolePage page) const {
    return console_ && consoleHandle_.page ? consoleHandle_.page(page) : nullptr;
}

// --- Original-data window ---

void CMainFrame::ShowDataView() {
    if (dataView_) {
        RebuildGrid(1);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(dataView_->parentWidget()))
            sub->showMaximized();
        return;
    }
    if (!factories_.dataView) return;
    QWidget* view = factories_.dataView(*this);
    if (!view) return;
    QMdiSubWindow* sub = mdi_->addSubWindow(view);
    view->setWindowTitle(zbq::ui::shown("元データ表示"));
    // The picture the window list shows for it; the menu bar shows it while it is maximised.
    sub->setWindowIcon(zbq::zbqImage(zbq::kItemImages, 10));
    dataView_ = view;
    connect(view, &QObject::destroyed, this, [this] { setWindowTitle(kCaption); });
    sub->showMaximized();
    const auto title = zbq::ui::toCp932(view->windowTitle());
    app_.AddWindowRow(title.value_or(std::string()), zbq::cp932::literal(kDataViewKind), 10, view);
    BuildPrintMenu();
}

void CMainFrame::UnregisterDataView() {
    if (!dataView_) return;
    app_.RemoveWindowRow(dataView_);
    dataView_ = nullptr;
    if (printMenu_)
        for (QAction* entry : printMenu_->actions())
            entry->setEnabled(false);
}

void CMainFrame::BuildPrintMenu() {
    if (!printMenu_) return;
    printMenu_->clear();
    actions_.erase(kPrintPlaceholder);
    for (const PrintMenuEntry& entry : app_.GetPrintMenu()) {
        QAction* action = printMenu_->addAction(zbq::ui::fromCp932(entry.menuName));
        action->setData(entry.number);
        const std::int32_t number = entry.number;
        // The number comes from ZBQ.ini and may equal one of the frame's commands: the entry
        // only ever prints.
        connect(action, &QAction::triggered, this, [this, number] { RunPrintEntry(number); });
        action->setEnabled(dataView_ != nullptr);  // only the original-data window prints
    }
}

// --- Cross-tab and aggregation windows ---

std::int32_t CMainFrame::ShowCrossWindow() {
    if (cross_) {
        if (RefreshCrossView() < 0) {
            CloseCrossWindow();
            return 0;
        }
        cross_->showNormal();
        cross_->raise();
        return 1;
    }
    if (!factories_.crossWindow) return 0;
    QWidget* window = factories_.crossWindow(*this);
    if (!window) return 0;
    own(window);
    window->setGeometry(100, 100, 400, 200);
    cross_ = window;
    window->show();
    if (RefreshCrossView() < 0) {
        CloseCrossWindow();
        return 0;
    }
    const auto title = zbq::ui::toCp932(window->windowTitle());
    app_.AddWindowRow(title.value_or(std::string()), zbq::cp932::literal(kCrossKind), 12, window);
    return 1;
}

void CMainFrame::CloseCrossWindow() {
    if (!cross_) return;
    app_.RemoveWindowRow(cross_);
    QWidget* window = cross_;
    cross_ = nullptr;
    window->hide();
    window->deleteLater();
}

std::int32_t CMainFrame::ShowMolapWindow(const MolapParams& params) {
    CloseMolapWindow();
    if (!factories_.molapWindow) return 0;
    QWidget* window = factories_.molapWindow(*this, params);
    if (!window) return 0;
    own(window);
    window->setGeometry(100, 100, 200, 50);
    molap_ = window;
    window->show();
    if (ExecuteMolap() < 0) {
        CloseMolapWindow();
        return 0;
    }
    return 1;
}

void CMainFrame::CloseMolapWindow() {
    if (!molap_) return;
    QWidget* window = molap_;
    molap_ = nullptr;
    window->hide();
    window->deleteLater();
    update();
}

// --- Item windows ---

void CMainFrame::forgetClosedItemWindows(const QObject* dying) {
    std::vector<std::int32_t> gone;
    std::erase_if(items_, [&gone, dying](const ItemWindow& w) {
        if (w.window && w.window.data() != dying) return false;
        gone.push_back(w.item);
        return true;
    });
    for (const std::int32_t item : gone)
        itemWindowGone(item);
}

void CMainFrame::itemWindowGone(std::int32_t item) {
    if (!FindItemSheet(item)) app_.KWpassDataClear(item);
}

QWidget* CMainFrame::FindItemSheet(std::int32_t item) const {
    for (const ItemWindow& w : items_)
        if (w.item == item && w.window) return w.window;
    return nullptr;
}

std::int32_t CMainFrame::ShowItemSheet(std::int32_t item) {
    forgetClosedItemWindows();
    const std::string name = app_.GetItemName(item);
    const std::int32_t type = app_.GetItemType(item);
    const std::string kind = CKWApp::GetItemTypeCaption(type);
    if (QWidget* open = FindItemSheet(item)) {
        if (open->isVisible()) {
            open->showNormal();
            open->raise();
        } else {
            open->show();
            app_.AddWindowRow(name, kind, type, open);
        }
        return 1;
    }
    if (static_cast<int>(items_.size()) >= kMaxItemWindows) {
        app_.ShowInformation(
            zbq::app::shownMessage(kTooManyItemWindows, {std::to_string(kMaxItemWindows)}));
        return 0;
    }
    if (!factories_.itemWindow) return 0;
    QWidget* window = factories_.itemWindow(*this, item);
    if (!window) return 0;
    own(window);
    window->setWindowTitle(zbq::ui::fromCp932(name));
    placeCentred(window, 350, 600, -175, -300);
    items_.push_back({item, window});
    connect(window, &QObject::destroyed, this,
            [this](QObject* dying) { forgetClosedItemWindows(dying); });
    window->show();
    app_.AddWindowRow(name, kind, type, window);
    return 1;
}

std::int32_t CMainFrame::RemoveItemSheet(std::int32_t item) {
    const auto it = std::find_if(items_.begin(), items_.end(), [item](const ItemWindow& w) {
        return w.item == item && w.window;
    });
    if (it == items_.end()) return 1;
    QWidget* window = it->window;
    items_.erase(it);
    disconnect(window, nullptr, this, nullptr);
    itemWindowGone(item);
    app_.RemoveWindowRow(window);
    window->hide();
    window->deleteLater();
    return 1;
}

void CMainFrame::CloseAllItemSheets() {
    forgetClosedItemWindows();
    while (!items_.empty())
        RemoveItemSheet(items_.back().item);
}

void CMainFrame::SetPlayerDialog(PlayerDialog which, QWidget* dialog) {
    playerDialogs_[which] = dialog;
}

QWidget* CMainFrame::playerDialog(PlayerDialog which) const {
    const auto it = playerDialogs_.find(which);
    return it == playerDialogs_.end() ? nullptr : it->second.data();
}

// --- Refresh fan-out ---

void CMainFrame::RebuildGrid(std::int32_t flag) {
    if (auto* view = ops<DataViewOps>(dataView_)) view->RebuildGrid(flag);
}

std::int32_t CMainFrame::ShowRecord(std::int32_t row, std::int32_t item) {
    auto* view = ops<DataViewOps>(dataView_);
    return view ? view->ShowRecord(row, item) : -1;
}

std::int32_t CMainFrame::GetCurrentRow() const {
    auto* view = ops<DataViewOps>(dataView_);
    return view ? view->GetCurrentRow() : -1;
}

void CMainFrame::RefreshItemWindows() {
    for (const ItemWindow& w : items_)
        if (auto* sheet = ops<ItemWindowOps>(w.window)) sheet->Refresh();
}

void CMainFrame::RebuildItemWindows() {
    for (const ItemWindow& w : items_)
        if (auto* sheet = ops<ItemWindowOps>(w.window)) sheet->Rebuild();
}

std::int32_t CMainFrame::RefreshCrossView() {
    auto* window = ops<CrossWindowOps>(cross_);
    return window ? window->RefreshCrossView() : 0;
}

std::int32_t CMainFrame::ExecuteMolap() {
    auto* window = ops<MolapWindowOps>(molap_);
    return window ? window->ExecuteMolap() : 0;
}

void CMainFrame::ResetWindows() {
    if (dataView_) {
        QWidget* view = dataView_;
        UnregisterDataView();
        if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget()))
            sub->close();
        else
            view->close();
    }
    CloseAllItemSheets();
    CloseCrossWindow();
    CloseMolapWindow();
}
