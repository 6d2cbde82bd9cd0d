#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/data_sel_page.h"

#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QTreeWidget>

#include "app/images.h"
#include "app/main_frame.h"
#include "console/filter_cond_dlg.h"
#include "console/set_tree_view.h"
#include "console/state_image_delegate.h"
#include "platform/core/cp932.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/shown_bytes.h"

namespace {

// A text of ours as the user reads it (language.h).
QString u(const char* utf8) {
    return zbq::ui::shown(utf8);
}

constexpr int kTreeHeight = 200;

QAction* addMenuItem(QMenu& menu, std::int32_t id, const char* caption, bool enabled) {
    QAction* action = menu.addAction(u(caption));
    action->setData(id);
    action->setEnabled(enabled);
    return action;
}

}  // namespace

CDataSelPage::CDataSelPage(CKWApp& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      tree_(new CDataSelTreeView(*this)),
      conditions_(new QTreeWidget),
      execute_(new QPushButton(u("ﾌｨﾙﾀ実行"), this)),
      and_(new QRadioButton(QStringLiteral("AND"), this)),
      or_(new QRadioButton(QStringLiteral("OR"), this)),
      label_(new QLabel(u("ﾌｨﾙﾀ条件:"), this)),
      add_(new QPushButton(u("追加"), this)),
      delete_(new QPushButton(u("削除"), this)),
      edit_(new QPushButton(u("編集"), this)) {
    setObjectName(QStringLiteral("dataSelection"));
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("dataSelFrame"));
    splitter->addWidget(tree_);
    splitter->addWidget(conditions_);
    splitter->setSizes({kTreeHeight, kTreeHeight});

    conditions_->setObjectName(QStringLiteral("conditionList"));
    conditions_->setRootIsDecorated(false);
    conditions_->setColumnCount(3);
    conditions_->setHeaderLabels({u("項目名    "), u("検索条件　　　　      "), u("文字列  ")});
    conditions_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int column = 0; column < 3; ++column)
        conditions_->setColumnWidth(column,
                                    2 * conditions_->header()->fontMetrics().horizontalAdvance(
                                            conditions_->headerItem()->text(column)));

    and_->setChecked(true);
    connect(and_, &QRadioButton::clicked, this, &CDataSelPage::OnAnd);
    connect(or_, &QRadioButton::clicked, this, &CDataSelPage::OnOr);
    connect(execute_, &QPushButton::clicked, this, [this] { OnExecuteFilter(); });
    connect(add_, &QPushButton::clicked, this, &CDataSelPage::OnAdd);
    connect(edit_, &QPushButton::clicked, this, &CDataSelPage::OnEdit);
    connect(delete_, &QPushButton::clicked, this, &CDataSelPage::OnDeleteCondition);
    UpdateButtons();
}

CDataSelPage::~CDataSelPage() {
    ClosePlayerDialogs();
}

// --- Layout: the panes above, one row of controls along the bottom ---

void CDataSelPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const double s = logicalDpiX() / 96.0;
    const int cx = event->size().width();
    const int cy = event->size().height();
    if (QWidget* frame = findChild<QSplitter*>(QStringLiteral("dataSelFrame")))
        frame->setGeometry(0, 0, cx, std::max(0, cy - static_cast<int>(30 * s)));
    const int y = static_cast<int>(cy - (15 * s + 10));
    execute_->setGeometry(2, y, 100, 20);
    and_->setGeometry(110, y, 50, 20);
    or_->setGeometry(160, y, 40, 20);
    label_->setGeometry(210, y + 3, 60, 20);
    add_->setGeometry(270, y, 50, 20);
    delete_->setGeometry(320, y, 50, 20);
    edit_->setGeometry(370, y, 50, 20);
}

QPushButton* CDataSelPage::button(std::int32_t id) const {
    switch (id) {
        case 1014:
            return execute_;
        case 1015:
            return add_;
        case 1016:
            return delete_;
        case 1017:
            return edit_;
        default:
            return nullptr;
    }
}

// --- Set tree ---

QTreeWidgetItem* CDataSelPage::FindSetItem(std::int32_t setNo) const {
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if (CDataSelTreeView::setNumberOf(*it) == setNo) return *it;
    return nullptr;
}

std::vector<std::string> CDataSelPage::SetLines() const {
    std::vector<std::string> lines;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        lines.push_back(zbq::ui::toCp932((*it)->text(0)).value_or(std::string()));
    return lines;
}

bool CDataSelPage::HasSetItem(std::int32_t setNo) const {
    return FindSetItem(setNo) != nullptr;
}

void CDataSelPage::RebuildTree() {
    tree_->programChange([this] {
        tree_->clear();
        // The last node of each level; sets nest to any depth.
        std::vector<QTreeWidgetItem*> last;
        for (const SetRecord& set : app_.Sets()) {
            const std::size_t level = static_cast<std::size_t>(std::max(0, set.level));
            QTreeWidgetItem* parent =
                level > 0 && level - 1 < last.size() ? last[level - 1] : nullptr;
            auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
            node->setText(0, zbq::ui::fromCp932(ShownSetCaption(set)));
            node->setIcon(0, zbq::zbqImage(zbq::kSetImages, 0));
            node->setData(0, Qt::UserRole, set.number);
            node->setFlags(node->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                           Qt::ItemIsDropEnabled);
            const std::size_t depth = parent ? level : 0;
            last.resize(depth + 1);
            last[depth] = node;
        }
    });
    MarkCurrentSet(currentSetNo_);
}

void CDataSelPage::MarkCurrentSet(std::int32_t setNo) {
    tree_->programChange([this, setNo] {
        currentSetNo_ = -1;
        for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
            const bool marked = CDataSelTreeView::setNumberOf(*it) == setNo;
            (*it)->setData(0, StateImageDelegate::kStateImageRole, marked ? 1 : 0);
            (*it)->setData(0, Qt::UserRole + 1, marked);
            if (marked && currentSetNo_ < 0) currentSetNo_ = setNo;
        }
    });
}

std::int32_t CDataSelPage::InsertSetItem(std::int32_t parent, std::string_view text,
                                         std::int32_t setNo) {
    QTreeWidgetItem* parentNode = parent == -1 ? nullptr : FindSetItem(parent);
    if (parent != -1 && !parentNode) return 0;
    tree_->programChange([&] {
        auto* node = parentNode ? new QTreeWidgetItem(parentNode) : new QTreeWidgetItem(tree_);
        node->setText(0, zbq::ui::fromCp932(text));
        node->setIcon(0, zbq::zbqImage(zbq::kSetImages, 0));
        node->setData(0, Qt::UserRole, setNo);
        node->setFlags(node->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                       Qt::ItemIsDropEnabled);
    });
    return 1;
}

SetRecord CDataSelPage::AddSet(std::int32_t parent, SetRecord record) {
    std::int32_t next = 0;
    std::vector<SetRecord> sets;
    app_.GetSetList(&next, &sets);
    const SetRecord stored = addSet(sets, next, parent, std::move(record));
    app_.SetSetList(next, std::move(sets));
    return stored;
}

void CDataSelPage::UpdateSet(std::int32_t setNo, const SetRecord& record) {
    std::int32_t next = 0;
    std::vector<SetRecord> sets;
    app_.GetSetList(&next, &sets);
    if (const std::optional<std::size_t> at = findSet(sets, setNo)) {
        sets[*at] = record;
        app_.SetSetList(next, std::move(sets));
    }
}

void CDataSelPage::expandAllQuietly() {
    CKWApp::SuppressGuard adding(app_, Suppress::SetTree);
    tree_->programChange([this] { tree_->expandAll(); });
}

// A new set is the current one, with every node open whether or not collapsing is allowed.
void CDataSelPage::showNewSet(std::int32_t setNo) {
    const bool allowed = collapseAllowed_;
    collapseAllowed_ = true;
    RebuildTree();
    MarkCurrentSet(setNo);
    expandAllQuietly();
    collapseAllowed_ = allowed;
}

void CDataSelPage::selectNode(std::int32_t setNo) {
    if (QTreeWidgetItem* node = FindSetItem(setNo))
        tree_->programChange([this, node] { tree_->setCurrentItem(node); });
}

bool CDataSelPage::RefreshWindows() {
    CKWApp& app = app_;
    const QPointer<CDataSelPage> self(this);
    app.RebuildGrid(1);
    app.RefreshItemWindows();
    app.RefreshCrossView();
    app.ExecuteMolap();
    return !self.isNull();
}

void CDataSelPage::SelectSet(std::int32_t setNo) {
    if (!HasSetItem(setNo)) return;
    app_.Record(StepBuilder("SelectSet").number(setNo));
    MarkCurrentSet(setNo);
    const SetRecord set = app_.GetSetRecord(setNo);
    if (setNo == 0 || !set.map)
        app_.KWmapClear();
    else
        app_.KWmapSet(set.map);
    RefreshWindows();
}

void CDataSelPage::OnDelete(std::int32_t setNo) {
    // The menu greys these; a direct call must not take away what the program stands on.
    if (!HasSetItem(setNo) || !canDeleteSet(app_.Sets(), setNo, currentSetNo_)) return;
    const bool allowed = collapseAllowed_;
    collapseAllowed_ = true;
    std::int32_t next = 0;
    std::vector<SetRecord> sets;
    app_.GetSetList(&next, &sets);
    removeSubtree(sets, setNo);
    app_.SetSetList(next, std::move(sets));
    RebuildTree();
    expandAllQuietly();
    collapseAllowed_ = allowed;
    app_.Record(StepBuilder("DeleteSet").number(setNo));
}

void CDataSelPage::OnAllowClose() {
    if (collapseAllowed_) tree_->programChange([this] { tree_->expandAll(); });
    collapseAllowed_ = !collapseAllowed_;
    app_.Record(StepBuilder("PermitSetCollapse"));
}

void CDataSelPage::OnExpandAll() {
    tree_->programChange([this] { tree_->expandAll(); });
    if (!app_.IsSuppressed(Suppress::CloseOne) && !app_.IsSuppressed(Suppress::SetTree))
        app_.Record(StepBuilder("ExpandAllSet"));
}

void CDataSelPage::OnCollapseAll() {
    tree_->programChange([this] { tree_->collapseAll(); });
    app_.Record(StepBuilder("CollapseAllSet"));
}

bool CDataSelPage::CombineSets(SetOp op, std::int32_t a, std::int32_t b) {
    const std::optional<std::size_t> atA = findSet(app_.Sets(), a);
    const std::optional<std::size_t> atB = findSet(app_.Sets(), b);
    if (!atA || !atB) return false;
    const SetRecord setA = app_.Sets()[*atA];
    const SetRecord setB = app_.Sets()[*atB];

    CKWApp::SuppressGuard adding(app_, Suppress::SetTree);
    std::int32_t count = -1;
    switch (op) {
        case SetOp::Union:
            count = app_.KWmapUnion(setA.map, setB.map);
            break;
        case SetOp::Product:
            count = app_.KWmapProduct(setA.map, setB.map);
            break;
        case SetOp::Difference:
            count = app_.KWmapDifference(setA.map, setB.map);
            break;
        case SetOp::Complement:
            count = app_.KWmapComplement(setB.map);
            break;
    }
    app_.Record(StepBuilder(combinationStep(op)).number(a).number(b));
    // The engine has told the user; the sets stay as they were.
    if (count < 0) return true;

    const bool topLevel = op == SetOp::Union || op == SetOp::Complement;
    SetRecord result;
    result.level = topLevel ? 0 : setA.level + 1;
    result.text1 = combinationTitle(op, a, b);
    result.map = app_.KWmapGet();
    result.mapLength = app_.KWmapGetLength();
    result.recordCount = count;
    showNewSet(AddSet(topLevel ? -1 : a, std::move(result)).number);
    selectNode(a);
    selectNode(b);
    return true;
}

void CDataSelPage::AddResultSet(const MixedText& title, std::int32_t intersect) {
    CKWApp::SuppressGuard adding(app_, Suppress::SetTree);
    std::int32_t current = currentSetNo_;
    if (!findSet(app_.Sets(), current)) current = 0;
    const SetRecord parent = app_.GetSetRecord(current);
    std::int32_t count = app_.Search().KWgetDataCount();
    if (intersect && current != 0 && parent.map) {
        const std::int32_t limited = app_.KWmapProduct(parent.map, app_.KWmapGet());
        if (limited >= 0) count = limited;
    }
    SetRecord result;
    result.level = parent.level + 1;
    result.text1 = title.japanese();
    result.map = app_.KWmapGet();
    result.mapLength = app_.KWmapGetLength();
    result.recordCount = count;
    const SetRecord stored = AddSet(current, std::move(result));
    titleWords_[stored.number] = title;
    showNewSet(stored.number);
    selectNode(stored.number);
}

std::string CDataSelPage::ShownSetCaption(const SetRecord& set) const {
    const auto title = titleWords_.find(set.number);
    if (title == titleWords_.end()) return set.text2;
    return shownSetCaption(set, title->second, &zbq::ui::shownBytes);
}

void CDataSelPage::RenameSet(std::int32_t setNo, const std::string& text) {
    if (text.empty()) return;
    SetRecord record = app_.GetSetRecord(setNo);
    if (!findSet(app_.Sets(), setNo)) return;
    const std::string caption(zbq::cp932::cut(text, kSetTextBytes));
    if (QTreeWidgetItem* node = FindSetItem(setNo))
        tree_->programChange([node, &caption] { node->setText(0, zbq::ui::fromCp932(caption)); });
    record.text2 = caption;
    UpdateSet(setNo, record);
    app_.Record(
        StepBuilder("InputSetName").number(setNo).textOrAsk(text, app_.macro().isVariable()));
}

std::int32_t CDataSelPage::choose(QMenu& menu, std::int32_t menuNumber) {
    if (chooser_) return chooser_(menu, menuNumber);
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

void CDataSelPage::DropSet(std::int32_t dragged, std::int32_t target) {
    if (!HasSetItem(dragged) || !HasSetItem(target)) return;
    const std::int32_t number = algebraMenu(app_.Sets(), target, dragged);
    QMenu menu;
    addMenuItem(menu, kMenuUnion, "和集合(A+B)", algebraMenuOffers(number, SetOp::Union));
    addMenuItem(menu, kMenuProduct, "積集合(A*B)", algebraMenuOffers(number, SetOp::Product));
    addMenuItem(menu, kMenuDifference, "差集合(A-B)", algebraMenuOffers(number, SetOp::Difference));
    addMenuItem(menu, kMenuComplement, "補集合(-B)", algebraMenuOffers(number, SetOp::Complement));
    const std::int32_t chosen = choose(menu, number);
    if (chosen < kMenuUnion || chosen > kMenuComplement) return;
    const SetOp op = static_cast<SetOp>(chosen - kMenuUnion);
    if (!algebraMenuOffers(number, op)) return;
    if (CombineSets(op, target, dragged)) RefreshWindows();
}

void CDataSelPage::OnContextMenu(std::int32_t setNo) {
    if (!HasSetItem(setNo)) return;
    const bool deletable = canDeleteSet(app_.Sets(), setNo, currentSetNo_);
    QMenu menu;
    addMenuItem(menu, kMenuDelete, "削除", deletable);
    QAction* allow = addMenuItem(menu, kMenuAllowClose, "閉を許す", true);
    allow->setCheckable(true);
    allow->setChecked(collapseAllowed_);
    addMenuItem(menu, kMenuExpandAll, "全て展開", collapseAllowed_);
    addMenuItem(menu, kMenuCloseAll, "全て閉じる", collapseAllowed_);
    switch (choose(menu, setTreeMenu(collapseAllowed_, deletable))) {
        case kMenuDelete:
            if (deletable) OnDelete(setNo);
            break;
        case kMenuAllowClose:
            OnAllowClose();
            break;
        case kMenuExpandAll:
            if (collapseAllowed_) OnExpandAll();
            break;
        case kMenuCloseAll:
            if (collapseAllowed_) OnCollapseAll();
            break;
        default:
            break;
    }
}

// --- Conditions ---

void CDataSelPage::FillConditions() {
    conditions_->clear();
    for (const ConditionRow& row : conditionRows(app_.GetSearchConditions(), app_.GetStructDef())) {
        auto* item = new QTreeWidgetItem(conditions_);
        item->setText(0, zbq::ui::fromCp932(row.itemName));
        item->setIcon(0, zbq::zbqImage(zbq::kItemImages, row.itemType));
        item->setText(1, zbq::ui::fromCp932(row.condition));
        item->setText(2, zbq::ui::shownCp932(row.kind));
        item->setData(0, Qt::UserRole, row.itemType);
    }
}

void CDataSelPage::UpdateButtons() {
    const bool rows = conditions_->topLevelItemCount() > 0;
    execute_->setEnabled(rows);
    edit_->setEnabled(rows);
    delete_->setEnabled(rows);
}

std::int32_t CDataSelPage::SelectedRow() const {
    for (int row = 0; row < conditions_->topLevelItemCount(); ++row)
        if (conditions_->topLevelItem(row)->isSelected()) return row;
    return -1;
}

void CDataSelPage::SelectRow(std::int32_t row) {
    conditions_->clearSelection();
    if (QTreeWidgetItem* item = conditions_->topLevelItem(row)) item->setSelected(true);
}

FilterJoin CDataSelPage::Join() const {
    return or_->isChecked() ? FilterJoin::Or : FilterJoin::And;
}

void CDataSelPage::SetJoin(FilterJoin join) {
    and_->setChecked(join == FilterJoin::And);
    or_->setChecked(join == FilterJoin::Or);
}

void CDataSelPage::OnAnd() {
    SetJoin(FilterJoin::And);
    app_.Record(StepBuilder("SelectFilterAndOr").number(0));
}

void CDataSelPage::OnOr() {
    SetJoin(FilterJoin::Or);
    app_.Record(StepBuilder("SelectFilterAndOr").number(1));
}

void CDataSelPage::runFilterDialog(std::int32_t mode, std::int32_t row) {
    CFilterCondDlg dialog(app_, *this, mode, row, this);
    zbq::ui::runModal(dialog);
    UpdateButtons();
}

void CDataSelPage::OnAdd() {
    runFilterDialog(0, -1);
}

void CDataSelPage::OnEdit() {
    const std::int32_t row = SelectedRow();
    if (row < 0) {
        app_.ShowInformation("変更する項目が選ばれていません");
        return;
    }
    runFilterDialog(1, row);
}

void CDataSelPage::OnDeleteCondition() {
    const std::int32_t row = SelectedRow();
    if (row < 0) {
        app_.ShowInformation("変更する項目が選ばれていません");
        return;
    }
    const std::string name = app_.GetItemName(app_.GetSearchCondition(row).item);
    const QString question =
        zbq::ui::shown("項目［%1］を検索条件から削除しますか？").arg(zbq::ui::fromCp932(name));
    if (!app_.AskYesNo(question.toStdString())) return;
    DeleteCondition(row);
    app_.Record(StepBuilder("DeleteFilter").number(row));
}

bool CDataSelPage::DeleteCondition(std::int32_t row) {
    if (row < 0 || static_cast<std::size_t>(row) >= app_.GetSearchConditions().size()) return false;
    app_.RemoveSearchCondition(row);
    delete conditions_->takeTopLevelItem(row);
    UpdateButtons();
    return true;
}

std::optional<std::string> CDataSelPage::BuildSearchExpression() const {
    return ::BuildSearchExpression(app_.GetSearchConditions(), itemTypesOf(app_.GetStructDef()),
                                   Join());
}

std::int32_t CDataSelPage::OnExecuteFilter() {
    const std::int32_t before = app_.Search().KWgetDataCount();
    const std::optional<std::string> expression = BuildSearchExpression();
    if (!expression) {
        app_.ShowError("検索が出来ません！検索式のチェックが必要です");
        return 0;
    }
    if (expression->empty()) return 0;
    app_.StartTimer();
    if (app_.KWsrch(*expression) < 0) return 0;
    const double ms = app_.GetElapsedMs();
    const std::string title = filterTitle(app_.GetSearchConditions(), app_.GetStructDef(), Join());
    AddResultSet(MixedText::plainText(title), 1);
    CKWApp& app = app_;
    RefreshWindows();
    app.LogSearch(title, before, app.Search().KWgetDataCount(), ms);
    app.Record(StepBuilder("ExecuteFilter"));
    return 1;
}

// --- Player-opened filter dialogs ---

CFilterCondDlg* CDataSelPage::OpenPlayerDialog(std::int32_t mode, std::int32_t row) {
    auto* dialog = new CFilterCondDlg(app_, *this, mode, row, this);
    dialog->setPlayerOpened();
    dialog->setWindowFlag(Qt::Window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    playerDialogs_.push_back(dialog);
    connect(dialog, &QObject::destroyed, this,
            [this, dialog] { std::erase(playerDialogs_, dialog); });
    // A dialog closed by OK, Cancel or its close box is gone for the later steps.
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    zbq::ui::showOwned(dialog);
    if (auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow()))
        frame->SetPlayerDialog(PlayerDialog::Filter, dialog);
    UpdateButtons();
    return dialog;
}

CFilterCondDlg* CDataSelPage::NewestPlayerDialog() const {
    for (auto it = playerDialogs_.rbegin(); it != playerDialogs_.rend(); ++it)
        if ((*it)->isVisible()) return *it;
    return nullptr;
}

void CDataSelPage::ClosePlayerDialogs() {
    const std::vector<CFilterCondDlg*> open = playerDialogs_;
    playerDialogs_.clear();
    for (CFilterCondDlg* dialog : open) {
        dialog->disconnect(this);
        delete dialog;
    }
}

// --- Screen reset ---

void CDataSelPage::ResetPage() {
    ClosePlayerDialogs();
    collapseAllowed_ = true;
    SetJoin(FilterJoin::And);
    currentSetNo_ = 0;
    RebuildTree();
    // The whole data set becomes current, as a double click on it makes it.
    MarkCurrentSet(0);
    if (!RefreshWindows()) return;
    expandAllQuietly();
    FillConditions();
    UpdateButtons();
}
