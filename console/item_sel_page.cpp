#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/item_sel_page.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "app/excel_read_add.h"
#include "app/images.h"
#include "console/save_mode_dlg.h"
#include "console/state_image_delegate.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"

namespace {

constexpr int kNodeRole = Qt::UserRole;

int nodeOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kNodeRole).toInt() : -1;
}

std::int32_t execMenu(QWidget* owner, const MenuVariant& variant, const QPoint& at) {
    QMenu menu(owner);
    for (const MenuEntry& entry : variant.entries) {
        QAction* action = menu.addAction(zbq::ui::shown(entry.caption));
        action->setData(entry.id);
        action->setEnabled(entry.enabled);
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
    }
    const QAction* chosen = menu.exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

// Every drag of the tab is a move that carries one private MIME type.
void startMoveDrag(QWidget* source, const char* mimeType, const QByteArray& data) {
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(mimeType), data);
    auto* drag = new QDrag(source);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

// The tree pane: drags a node out, takes the display list's rows back.
class ItemTreePane : public QTreeWidget {
public:
    explicit ItemTreePane(CItemSelPage& page) : page_(page) {
        setHeaderHidden(true);
        setRootIsDecorated(true);
        setDragEnabled(true);
        setAcceptDrops(true);
        setDropIndicatorShown(false);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setItemDelegate(new StateImageDelegate(zbq::kStateImages, this));
    }

protected:
    void startDrag(Qt::DropActions) override {
        const int node = nodeOf(currentItem());
        if (node < 0) return;
        page_.SelectNode(node);
        startMoveDrag(this, kItemNodeMime, QByteArray::number(node));
    }
    void dragEnterEvent(QDragEnterEvent* event) override { take(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { take(event); }
    void dropEvent(QDropEvent* event) override {
        if (!take(event)) return;
        page_.DropRowsOnTree();
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        const int node = nodeOf(itemAt(event->pos()));
        if (node >= 0) page_.ShowTreeMenu(node, event->globalPos());
    }

private:
    bool take(QDropEvent* event) {
        const bool rows = event->mimeData()->hasFormat(QString::fromLatin1(kDisplayRowsMime));
        if (rows && acceptsDrop(ItemSelPane::List, ItemSelPane::Tree)) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
            return true;
        }
        event->ignore();
        return false;
    }

    CItemSelPage& page_;
};

// The display list pane: takes tree nodes and its own rows, drags its selected rows.
class DisplayListPane : public QTreeWidget {
public:
    explicit DisplayListPane(CItemSelPage& page) : page_(page) {
        setRootIsDecorated(false);
        setDragEnabled(true);
        setAcceptDrops(true);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setUniformRowHeights(true);
    }

protected:
    void startDrag(Qt::DropActions) override { startMoveDrag(this, kDisplayRowsMime, {}); }
    void dragEnterEvent(QDragEnterEvent* event) override { take(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { take(event); }
    void dropEvent(QDropEvent* event) override {
        const std::optional<ItemSelPane> from = take(event);
        if (!from) return;
        const QModelIndex at = indexAt(event->position().toPoint());
        const int row = at.isValid() ? at.row() : -1;
        if (*from == ItemSelPane::Tree)
            page_.DropNodeOnList(
                event->mimeData()->data(QString::fromLatin1(kItemNodeMime)).toInt(), row);
        else
            page_.DropRowsOnList(row);
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        page_.ShowListMenu(event->globalPos());
    }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        page_.OnListHide(page_.list().selectedRows());
    }

private:
    std::optional<ItemSelPane> take(QDropEvent* event) {
        const QMimeData* mime = event->mimeData();
        std::optional<ItemSelPane> from;
        if (mime->hasFormat(QString::fromLatin1(kItemNodeMime)))
            from = ItemSelPane::Tree;
        else if (mime->hasFormat(QString::fromLatin1(kDisplayRowsMime)))
            from = ItemSelPane::List;
        if (from && acceptsDrop(*from, ItemSelPane::List)) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
            return from;
        }
        event->ignore();
        return std::nullopt;
    }

    CItemSelPage& page_;
};

std::string lowerTail(const std::string& path) {
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail;
}

}  // namespace

CItemSelPage::CItemSelPage(CKWApp& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      chooser_(execMenu),
      showData_(new QPushButton(zbq::ui::shown("ﾃﾞｰﾀ表示"), this)),
      write_(new QPushButton(zbq::ui::shown("ZBQに書出し"), this)),
      addData_button_(new QPushButton(zbq::ui::shown("ﾃﾞｰﾀ追加"), this)),
      splitter_(new QSplitter(Qt::Vertical, this)),
      treeView_(new ItemTreePane(*this)),
      listView_(new DisplayListPane(*this)) {
    setObjectName(QStringLiteral("itemSelection"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {showData_, write_, addData_button_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    splitter_->addWidget(treeView_);
    splitter_->addWidget(listView_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(splitter_, 1);

    listView_->setHeaderLabels({zbq::ui::shown("名前"), zbq::ui::shown("ﾀｲﾌﾟ")});
    // The columns are as wide as seven and four times their captions.
    const QFontMetrics metrics(listView_->header()->font());
    listView_->setColumnWidth(0, 7 * metrics.horizontalAdvance(zbq::ui::shown("名前")));
    listView_->setColumnWidth(1, 4 * metrics.horizontalAdvance(zbq::ui::shown("ﾀｲﾌﾟ")));

    // Start-up shows the two once a data set is in: writing after any load, adding after a
    // data file's.
    write_->hide();
    addData_button_->hide();
    connect(showData_, &QPushButton::clicked, this, [this] { OnShowData(); });
    connect(write_, &QPushButton::clicked, this, [this] { OnWriteZbq(); });
    connect(addData_button_, &QPushButton::clicked, this, [this] { OnAddData(); });
    addData_ = [this](CItemSelPage&, const std::vector<std::string>& files) {
        zbq::app::addWorkbookData(app_, files);
    };
    connect(treeView_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { treeExpansionChanged(item, true); });
    connect(treeView_, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { treeExpansionChanged(item, false); });
    connect(treeView_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!updating_) selectedNode_ = nodeOf(item);
    });
    connect(listView_, &QTreeWidget::itemSelectionChanged, this,
            [this] { listSelectionChanged(); });
}

CItemSelPage::~CItemSelPage() = default;

// --- The application's calls ---

void CItemSelPage::FillTree() {
    tree_.FillTree(app_.GetStructDef());
    list_.clear();
    selectedNode_ = -1;
    buildTreeView();
    showList();
}

void CItemSelPage::RestoreDisplayList() {
    std::vector<int> nodes;
    for (std::int32_t item : app_.GetDisplayItems())
        if (const int node = tree_.nodeOfItem(item); node >= 0) nodes.push_back(node);
    addNodes(nodes, -1);
    showList();
    syncApp();
}

void CItemSelPage::AddDisplayItem(std::int32_t position, std::int32_t item) {
    const int node = tree_.nodeOfItem(item);
    if (node < 0 || list_.contains(item)) return;
    addNodes({node}, position);
    showList();
}

void CItemSelPage::RemoveDisplayItem(std::string_view name) {
    const int row = list_.rowOfName(name);
    if (row < 0) return;
    removeRow(row);
    showList();
}

void CItemSelPage::UnmarkTreeItem(std::string_view name) {
    for (int node = 0; node < tree_.size(); ++node)
        if (tree_.node(node).kind == ItemNodeKind::Item && tree_.node(node).text == name) {
            if (tree_.setMarked(node, false)) showMark(node);
            return;
        }
}

void CItemSelPage::ResetPage() {
    selectedNode_ = -1;
    updating_ = true;
    treeView_->setCurrentItem(nullptr);
    updating_ = false;
    tree_.expandAll();
    tree_.setCollapseAllowed(true);
    showExpansion();
    unlistAll();
}

// --- Tree ---

void CItemSelPage::SelectNode(int node) {
    if (!tree_.valid(node)) return;
    selectedNode_ = node;
    updating_ = true;
    treeView_->setCurrentItem(treeItems_[static_cast<std::size_t>(node)]);
    updating_ = false;
}

bool CItemSelPage::checkLoaded() const {
    if (app_.IsDataLoaded()) return true;
    app_.ShowInformation(kNotLoaded);
    return false;
}

void CItemSelPage::OnToDisplayList(int node, int position) {
    if (!checkLoaded() || !tree_.valid(node)) return;
    SelectNode(node);
    // The step lists the items at the end; the row they were dropped on follows as one
    // ChangeListItem per new row, so that a replay puts them where the drop did.
    const int before = list_.size();
    addNodes(tree_.itemsUnder(node), -1);
    app_.Record(StepBuilder("ToListItem").text(tree_.node(node).text));
    if (position >= 0 && position < before) {
        // By item number: a new row may be named like one already listed.
        std::vector<std::int32_t> added;
        for (int row = before; row < list_.size(); ++row)
            added.push_back(list_.row(row).itemNo);
        for (const std::int32_t item : added)
            moveItem(position++, item);
    }
    showList();
    syncApp();
}

void CItemSelPage::OnAllToDisplayList() {
    if (!checkLoaded()) return;
    addNodes(tree_.itemsUnder(0), -1);
    showList();
    syncApp();
    app_.Record(StepBuilder("ToListAllItem"));
}

void CItemSelPage::OnHide(int node) {
    if (!tree_.valid(node)) return;
    SelectNode(node);
    const ItemNode& target = tree_.node(node);
    if (target.kind != ItemNodeKind::Item) return;
    if (tree_.setMarked(node, false)) showMark(node);
    const int row = list_.rowOfItem(target.itemNo);
    if (row >= 0) list_.removeRow(row);
    showList();
    syncApp();
    app_.Record(StepBuilder("FromListItem").text(target.text));
}

void CItemSelPage::OnHideAll() {
    unlistAll();
    app_.Record(StepBuilder("FromListAllItem"));
}

void CItemSelPage::unlistAll() {
    tree_.unmarkAll();
    list_.clear();
    for (int node = 0; node < tree_.size(); ++node)
        showMark(node);
    showList();
    syncApp();
}

void CItemSelPage::OnAllowClose() {
    {
        CKWApp::SuppressGuard guard(app_, Suppress::ItemTree);
        OnExpandAll();
    }
    tree_.setCollapseAllowed(!tree_.collapseAllowed());
    app_.Record(StepBuilder("PermitItemCollapse"));
}

void CItemSelPage::OnExpandAll() {
    tree_.expandAll();
    showExpansion();
    if (!app_.IsSuppressed(Suppress::ItemTree)) app_.Record(StepBuilder("ExpandAllItem"));
}

void CItemSelPage::OnCollapseAll() {
    tree_.collapseAll();
    showExpansion();
    app_.Record(StepBuilder("CollapseAllItem"));
}

bool CItemSelPage::RequestExpanded(int node, bool expanded) {
    const bool taken = tree_.requestExpanded(node, expanded);
    showExpansion();
    return taken;
}

// --- Display list ---

void CItemSelPage::SelectListRows(const std::vector<int>& rows) {
    list_.selectOnly(-1);
    for (int row : rows)
        list_.setSelected(row, true);
    showList();
}

void CItemSelPage::OnListHide(const std::vector<int>& rows) {
    std::vector<int> doomed;
    for (int row : rows)
        if (list_.valid(row)) doomed.push_back(row);
    std::sort(doomed.begin(), doomed.end());
    doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
    if (doomed.empty()) return;
    // From the last row up, so each step's row is the index the row has when it goes, and a
    // replay of the steps one by one removes the same rows.
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        removeRow(*it);
    showList();
    syncApp();
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        app_.Record(StepBuilder("BackListItem").number(*it));
}

void CItemSelPage::OnListHideAll() {
    for (int row = list_.size() - 1; row >= 0; --row)
        removeRow(row);
    showList();
    syncApp();
    app_.Record(StepBuilder("BackAllListItem"));
}

void CItemSelPage::OnListSelectAll() {
    list_.selectAll();
    showList();
    listView_->setFocus();
    app_.Record(StepBuilder("SelectAllListItem"));
}

void CItemSelPage::MoveDisplayItem(int position, std::string_view name) {
    const int row = list_.rowOfName(name);
    if (row >= 0)
        moveItem(position, list_.row(row).itemNo);
    else
        app_.Record(StepBuilder("ChangeListItem").number(position).text(name));
    showList();
    syncApp();
}

void CItemSelPage::moveItem(int position, std::int32_t itemNo) {
    const int row = list_.rowOfItem(itemNo);
    if (row < 0) return;
    app_.Record(StepBuilder("ChangeListItem").number(position).text(list_.row(row).name));
    list_.moveRow(row, position);
}

// --- Drops ---

void CItemSelPage::DropNodeOnList(int node, int row) {
    if (!tree_.valid(node)) return;
    if (tree_.node(node).kind == ItemNodeKind::Root)
        OnAllToDisplayList();
    else
        OnToDisplayList(node, row);
}

void CItemSelPage::DropRowsOnList(int row) {
    for (const RowMove& move : planRowMoves(list_, list_.selectedRows(), row))
        moveItem(move.position, move.itemNo);
    showList();
    syncApp();
}

void CItemSelPage::DropRowsOnTree() {
    OnListHide(list_.selectedRows());
}

// --- Buttons ---

void CItemSelPage::OnShowData() {
    if (!app_.IsDataLoaded()) return;
    // Refused before the grid's items change: an original-data window already open keeps the
    // columns it shows and the application keeps the same list.
    if (app_.GetDisplayItems().empty()) {
        app_.ShowInformation(kNoItems);
        return;
    }
    app_.SetGridItems();
    app_.windows().ShowDataView();
    app_.RefreshItemWindows();
    app_.RefreshCrossView();
    if (app_.windows().dataView()) app_.Record(StepBuilder("DispData"));
}

void CItemSelPage::OnWriteZbq() {
    if (!app_.IsDataLoaded()) return;
    std::int32_t scope = 1;
    if (app_.GetCurrentSetNo() > 0) {
        const std::optional<std::int32_t> chosen = askSaveScope(this);
        if (!chosen) return;
        scope = *chosen;
    }
    app_.SetSaveMode(scope);

    zbq::ui::Chooser chooser;
    chooser.kind = zbq::ui::ChooserKind::SaveFile;
    chooser.start = QStringLiteral("*.zbq");
    chooser.filter = zbq::ui::shown("ZBQﾌｧｲﾙ (*.zbq)");
    const std::optional<QString> chosen =
        zbq::ui::prompts().choose(app_.windows().mainWindow(), chooser);
    if (!chosen || chosen->isEmpty()) return;
    std::string path = chosen->toStdString();
    // The dialog's default extension: a name typed without one gets ".zbq".
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find('.') == std::string::npos) path += ".zbq";
    app_.SetSavePath(path);
    app_.SaveDataAndMacro("", 1);
}

void CItemSelPage::OnAddData() {
    // Records join only a set loaded from a data file (or one already joined); anything else
    // would read the workbooks and add nothing.
    if (app_.GetLoadMode() != 2 && app_.GetLoadMode() != 3) {
        app_.ShowError("データ追加はできません。ZBQファイルから起動してください。");
        return;
    }
    if (app_.IsAddingData()) {
        app_.ShowInformation(ZBQ_SHOWN("データがロードされるまでお待ちください"));
        return;
    }
    const zbq::ui::Answer answer = zbq::ui::prompts().message(
        app_.windows().mainWindow(),
        zbq::ui::shown("データ選択の履歴が全て破棄されてしまいます。よろしいですか？"),
        QString::fromUtf8(CKWApp::kCaption), zbq::ui::Icon::Question, zbq::ui::Buttons::OkCancel);
    if (answer != zbq::ui::Answer::Ok) return;

    zbq::ui::Chooser chooser;
    chooser.kind = zbq::ui::ChooserKind::OpenFiles;
    chooser.filter = zbq::ui::shown("Excelファイル (*.xls *.xlsx)");
    const std::optional<QStringList> chosen =
        zbq::ui::prompts().chooseFiles(app_.windows().mainWindow(), chooser);
    if (!chosen || chosen->isEmpty()) return;
    std::vector<std::string> files;
    for (const QString& file : *chosen)
        files.push_back(file.toStdString());

    struct stat st {};
    if (::stat(files.front().c_str(), &st) != 0) {
        app_.ShowError(ZBQ_SHOWN("ファイル形式が見つかりません。"));
        return;
    }
    // A folder holds no workbook's records.
    const std::string ending = lowerTail(files.front());
    if (S_ISDIR(st.st_mode) || (ending != ".xls" && ending != "xlsx")) {
        app_.ShowError(ZBQ_SHOWN("ファイル形式が間違っています。"));
        return;
    }
    for (std::size_t i = 1; i < files.size(); ++i)
        if (lowerTail(files[i]) != ending) {
            app_.ShowError(ZBQ_SHOWN("ファイル形式が違います。追加できません。"));
            return;
        }
    if (addData_) addData_(*this, files);
}

void CItemSelPage::AddDataFromFile(const std::string& path) {
    app_.AddDataFromFile(path);
}

// --- Menus ---

void CItemSelPage::ShowTreeMenu(int node, const QPoint& at) {
    if (!tree_.valid(node)) return;
    SelectNode(node);
    const std::int32_t command =
        chooser_(this, itemTreeMenu(tree_.node(node), tree_.collapseAllowed()), at);
    if (command) RunTreeCommand(command, node);
}

void CItemSelPage::ShowListMenu(const QPoint& at) {
    const std::int32_t command = chooser_(this, displayListMenu(), at);
    if (command) RunListCommand(command);
}

void CItemSelPage::RunTreeCommand(std::int32_t command, int node) {
    switch (command) {
        case kToDisplayList:
            OnToDisplayList(node);
            break;
        case kHide:
            OnHide(node);
            break;
        case kAllToDisplayList:
            OnAllToDisplayList();
            break;
        case kHideAll:
            OnHideAll();
            break;
        case kAllowClose:
            OnAllowClose();
            break;
        case kExpandAll:
            OnExpandAll();
            break;
        case kCollapseAll:
            OnCollapseAll();
            break;
        default:
            break;
    }
}

void CItemSelPage::RunListCommand(std::int32_t command) {
    switch (command) {
        case kListHide:
            OnListHide(list_.selectedRows());
            break;
        case kListHideAll:
            OnListHideAll();
            break;
        case kListSelectAll:
            OnListSelectAll();
            break;
        default:
            break;
    }
}

// --- Model changes ---

DisplayRow CItemSelPage::rowFor(const ItemNode& node) const {
    DisplayRow row;
    row.itemNo = node.itemNo;
    row.name = node.text;
    row.type = node.type;
    row.typeCaption = CKWApp::GetItemTypeCaption(node.type);
    if (app_.Search().IsLoaded() && node.itemNo < app_.Search().KWgetItemCount())
        row.sizeText = CKWApp::FormatInteger(app_.Search().KWgetValueCount(node.itemNo));
    return row;
}

void CItemSelPage::addNodes(const std::vector<int>& nodes, int position) {
    for (int node : nodes) {
        const ItemNode& item = tree_.node(node);
        if (tree_.setMarked(node, true)) showMark(node);
        if (list_.insert(position, rowFor(item)) >= 0 && position >= 0) ++position;
    }
}

void CItemSelPage::removeRow(int row) {
    const int node = tree_.nodeOfItem(list_.row(row).itemNo);
    if (tree_.setMarked(node, false)) showMark(node);
    list_.removeRow(row);
}

void CItemSelPage::syncApp() {
    app_.SetDisplayItems(list_.itemNumbers());
}

// --- Views ---

void CItemSelPage::buildTreeView() {
    updating_ = true;
    treeView_->setUpdatesEnabled(false);
    treeView_->clear();
    treeItems_.assign(static_cast<std::size_t>(tree_.size()), nullptr);
    for (int i = 0; i < tree_.size(); ++i) {
        const ItemNode& node = tree_.node(i);
        auto* item = node.parent < 0 ? new QTreeWidgetItem(treeView_)
                                     : new QTreeWidgetItem(treeItems_[node.parent]);
        item->setText(0, zbq::ui::fromCp932(node.text));
        item->setIcon(0, zbq::zbqImage(zbq::kItemImages, ItemTree::imageOf(node)));
        item->setData(0, kNodeRole, i);
        treeItems_[static_cast<std::size_t>(i)] = item;
    }
    updating_ = false;
    showExpansion();
    treeView_->setUpdatesEnabled(true);
}

void CItemSelPage::showMark(int node) {
    if (!tree_.valid(node) || static_cast<std::size_t>(node) >= treeItems_.size()) return;
    treeItems_[static_cast<std::size_t>(node)]->setData(0, StateImageDelegate::kStateImageRole,
                                                        tree_.node(node).marked ? 1 : 0);
}

void CItemSelPage::showExpansion() {
    updating_ = true;
    for (int i = 0; i < tree_.size() && static_cast<std::size_t>(i) < treeItems_.size(); ++i)
        if (tree_.node(i).kind != ItemNodeKind::Item)
            treeItems_[static_cast<std::size_t>(i)]->setExpanded(tree_.node(i).expanded);
    updating_ = false;
}

void CItemSelPage::showList() {
    updating_ = true;
    listView_->setUpdatesEnabled(false);
    listView_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(list_.size());
    for (const DisplayRow& row : list_.rows()) {
        auto* item = new QTreeWidgetItem(
            QStringList{zbq::ui::fromCp932(row.name), zbq::ui::shownCp932(row.typeCaption)});
        item->setIcon(0, zbq::zbqImage(zbq::kItemImages, row.type));
        items.push_back(item);
    }
    listView_->addTopLevelItems(items);
    for (int i = 0; i < list_.size(); ++i)
        if (list_.row(i).selected) items[i]->setSelected(true);
    listView_->setUpdatesEnabled(true);
    updating_ = false;
}

void CItemSelPage::treeExpansionChanged(QTreeWidgetItem* item, bool expanded) {
    if (updating_) return;
    RequestExpanded(nodeOf(item), expanded);
}

void CItemSelPage::listSelectionChanged() {
    if (updating_) return;
    for (int i = 0; i < list_.size(); ++i)
        list_.setSelected(i, listView_->topLevelItem(i)->isSelected());
}
