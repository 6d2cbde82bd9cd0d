#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/sys_page.h"

#include <QAction>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSplitter>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

#include "app/images.h"
#include "console/console_text.h"
#include "console/system_text.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/window_owner.h"

namespace {

constexpr int kTextHeight = 178;

// An original-data window lives in a sub-window of the main frame: that is what minimises,
// restores, maximises and closes.
QWidget* shownFrameOf(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) return sub;
    return window;
}

}  // namespace

CSysPage::CSysPage(CKWApp& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      systemText_(systemText(zbq::memoryStatus())),
      text_(new QTextEdit),
      view_(new QTreeWidget),
      menu_(new QMenu(this)) {
    text_->setReadOnly(true);
    text_->setLineWrapMode(QTextEdit::NoWrap);
    text_->setFont(consolePaneFont());
    text_->setPlainText(consoleText(systemText_));

    view_->setRootIsDecorated(false);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setHeaderLabels({zbq::ui::shown("名称"), zbq::ui::shown("ﾀｲﾌﾟ")});
    const QFontMetrics metrics = view_->header()->fontMetrics();
    view_->setColumnWidth(0, 11 * metrics.horizontalAdvance(zbq::ui::shown("名称")));
    view_->setColumnWidth(1, 6 * metrics.horizontalAdvance(zbq::ui::shown("ﾀｲﾌﾟ")));
    connect(view_, &QWidget::customContextMenuRequested, this, &CSysPage::showPopup);
    buildMenu();

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(text_);
    splitter->addWidget(view_);
    splitter->setSizes({kTextHeight, kTextHeight});
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

void CSysPage::buildMenu() {
    struct Entry {
        const char* caption;
        std::function<void(CSysPage&)> run;
    };
    const Entry entries[] = {
        {ZBQ_SHOWN("閉じる"), [](CSysPage& p) { p.OnCloseWindow(p.SelectedRow()); }},
        {ZBQ_SHOWN("ｱｲｺﾝ化"), [](CSysPage& p) { p.OnIconizeWindow(p.SelectedRow()); }},
        {ZBQ_SHOWN("元の大きさ"), [](CSysPage& p) { p.OnOriginalSize(p.SelectedRow()); }},
        {ZBQ_SHOWN("最大化"), [](CSysPage& p) { p.OnMaximizeWindow(p.SelectedRow()); }},
        {nullptr, nullptr},
        {ZBQ_SHOWN("全てをｱｲｺﾝ化"), [](CSysPage& p) { p.OnIconizeAll(); }},
        {ZBQ_SHOWN("全てを閉じる"), [](CSysPage& p) { p.OnCloseAll(); }},
    };
    for (const Entry& entry : entries) {
        if (!entry.caption) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(zbq::ui::shown(entry.caption));
        connect(action, &QAction::triggered, this, [this, run = entry.run] { run(*this); });
    }
}

void CSysPage::showPopup(const QPoint& at) {
    QTreeWidgetItem* item = view_->itemAt(at);
    if (!item) return;
    view_->setCurrentItem(item);
    menu_->popup(view_->viewport()->mapToGlobal(at));
}

void CSysPage::AddWindow(std::string_view title, std::string_view kind, std::int32_t image,
                         QWidget* window) {
    const bool listed = list_.find(window) >= 0;
    const int row = list_.add(std::string(title), std::string(kind), image, window);
    QTreeWidgetItem* item = listed ? view_->topLevelItem(row) : new QTreeWidgetItem;
    item->setText(0, zbq::ui::fromCp932(title));
    item->setText(1, zbq::ui::shownCp932(kind));
    item->setIcon(0, zbq::zbqImage(zbq::kItemImages, image));
    if (listed) return;
    view_->addTopLevelItem(item);
    if (window)
        connect(window, &QObject::destroyed, this, [this](QObject* gone) { RemoveWindow(gone); });
}

void CSysPage::RemoveWindow(const QObject* window) {
    for (int row : list_.remove(window))
        delete view_->takeTopLevelItem(row);
}

int CSysPage::SelectedRow() const {
    for (int row = 0; row < view_->topLevelItemCount(); ++row)
        if (view_->topLevelItem(row)->isSelected()) return row;
    return -1;
}

void CSysPage::SelectRow(int row) {
    view_->clearSelection();
    if (QTreeWidgetItem* item = view_->topLevelItem(row)) view_->setCurrentItem(item);
}

void CSysPage::OnCloseWindow(int row) {
    if (!list_.isRow(row)) return;
    if (QWidget* window = list_.windowAt(row)) {
        CKWApp::SuppressGuard closing(app_, Suppress::CloseOne);
        shownFrameOf(window)->close();
    }
    app_.Record(StepBuilder("CloseWindow").number(row));
}

void CSysPage::OnIconizeWindow(int row) {
    showWindowAt(row, &zbq::ui::minimizeAlone, "MinimizedWindow");
}

void CSysPage::OnOriginalSize(int row) {
    showWindowAt(
        row, [](QWidget* w) { w->showNormal(); }, "NomalWindow");
}

void CSysPage::OnMaximizeWindow(int row) {
    showWindowAt(
        row, [](QWidget* w) { w->showMaximized(); }, "MaximizedWindow");
}

void CSysPage::showWindowAt(int row, void (*show)(QWidget*), const char* step) {
    if (!list_.isRow(row)) return;
    if (QWidget* window = list_.windowAt(row)) {
        // The list's step stands for the window's change of state; the window records none.
        const CKWApp::SuppressGuard quiet(app_, Suppress::States);
        show(shownFrameOf(window));
    }
    app_.Record(StepBuilder(step).number(row));
}

void CSysPage::OnIconizeAll() {
    {
        const CKWApp::SuppressGuard quiet(app_, Suppress::States);
        const std::vector<QWidget*> windows = list_.windows();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            if (*it) zbq::ui::minimizeAlone(shownFrameOf(*it));
    }
    app_.Record(StepBuilder("MinimizedAllWindow"));
}

void CSysPage::OnCloseAll() {
    // Guarded copies: a window that closes may take others with it, or leave the list at once.
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* window : list_.windows())
        windows.emplace_back(window);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!*it) continue;
        CKWApp::SuppressGuard closing(app_, Suppress::CloseAll);
        shownFrameOf(*it)->close();
    }
    app_.Record(StepBuilder("CloseAllWindow"));
}
