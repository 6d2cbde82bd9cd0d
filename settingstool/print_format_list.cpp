#include "settingstool/print_format_list.h"

#include "platform/core/cp932.h"
#include "platform/core/program_paths.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"
#include "settingstool/in_place_number_combo.h"
#include "settingstool/in_place_text_edit.h"
#include "settingstool/settings_file.h"
#include "settingstool/string_ids.h"
#include "settingstool/tool_strings.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace zbq::settings {

namespace {

constexpr int kMinComboWidth = 10;  // narrower columns open no number list
constexpr int kMinEditWidth = 5;    // nor text edit

// The file chooser starts in temp/ beside the tool, where ZBQ writes its format files.
QString macroFolder() {
    return QString::fromStdString(programDir() + "/temp");
}

}  // namespace

CPrintFormatList::CPrintFormatList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("list"));
    setColumnCount(3);
    setHeaderLabels(
        {text(ids::HeaderNumber), text(ids::HeaderMenuName), text(ids::HeaderMacroFile)});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    header()->setSectionsMovable(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);

    connect(header(), &QHeaderView::sectionClicked, this, &CPrintFormatList::sortOn);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        editCell(indexOfTopLevelItem(item), column);
    });
    // Scrolling would leave the editor over another cell: the list takes the focus first.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { endEdit(); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this] { endEdit(); });
}

CPrintFormatList::~CPrintFormatList() {
    // An editor that outlived us would report its end to a list half destroyed.
    if (editor_) {
        editor_->disconnect(this);
        delete editor_.data();
    }
}

void CPrintFormatList::setTable(PrintFormatTable* table) {
    table_ = table;
    refresh();
}

void CPrintFormatList::refresh() {
    const int selected = selectedRow();
    clear();
    if (table_ == nullptr) return;
    QList<QTreeWidgetItem*> items;
    items.reserve(table_->size());
    for (const PrintFormatRow& row : table_->rows())
        items.push_back(new QTreeWidgetItem({ui::fromCp932(row.number), ui::fromCp932(row.menuName),
                                             ui::fromCp932(row.macroFile)}));
    addTopLevelItems(items);
    selectRow(selected < topLevelItemCount() ? selected : -1);
}

int CPrintFormatList::selectedRow() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.front());
}

void CPrintFormatList::selectRow(int row) {
    QTreeWidgetItem* item = row >= 0 ? topLevelItem(row) : nullptr;
    if (item == nullptr) {
        clearSelection();
        return;
    }
    setCurrentItem(item);
    scrollToItem(item);
}

void CPrintFormatList::spreadColumns() {
    const int tenth = viewport()->width() / 10;
    setColumnWidth(kNumberColumn, 2 * tenth);
    setColumnWidth(kMenuNameColumn, 4 * tenth);
    setColumnWidth(kMacroFileColumn, 4 * tenth);
}

void CPrintFormatList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CPrintFormatList::editCell(int row, int column) {
    if (table_ == nullptr || row < 0 || row >= table_->size()) return;
    endEdit();
    switch (column) {
        case kNumberColumn:
            editNumber(row, placeEditor(row, column));
            break;
        case kMenuNameColumn:
            editMenuName(row, placeEditor(row, column));
            break;
        case kMacroFileColumn:
            chooseMacroFile(row);
            break;
    }
}

QRect CPrintFormatList::placeEditor(int row, int column) {
    QTreeWidgetItem* item = topLevelItem(row);
    scrollToItem(item);
    QRect cell = visualItemRect(item);
    const int left = columnViewportPosition(column);
    // A cell left or right of the visible part is scrolled into view first.
    if (left < 0 || left > viewport()->width()) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + left);
        cell = visualItemRect(item);
    }
    const int x = columnViewportPosition(column);
    const int right = std::min(x + columnWidth(column), viewport()->width());
    return QRect(x, cell.top(), right - x, cell.height());
}

void CPrintFormatList::editNumber(int row, const QRect& cell) {
    if (columnWidth(kNumberColumn) < kMinComboWidth) return;
    const NumberChoice choice = table_->numberChoiceFor(row);
    QStringList offered;
    offered.reserve(static_cast<qsizetype>(choice.offered.size()));
    for (int n : choice.offered)
        offered.push_back(QString::number(n));
    auto* combo = new CInPlaceNumberCombo(row, kNumberColumn, offered, choice.selected, viewport());
    combo->setGeometry(cell);
    connect(combo, &CInPlaceNumberCombo::finished, this,
            [this](int r, int, std::optional<QString> text) { numberEdited(r, std::move(text)); });
    editor_ = combo;
    combo->show();
    combo->setFocus(Qt::OtherFocusReason);
}

void CPrintFormatList::editMenuName(int row, const QRect& cell) {
    if (columnWidth(kMenuNameColumn) < kMinEditWidth) return;
    const QString current = ui::fromCp932(table_->row(row).menuName);
    auto* edit = new CInPlaceTextEdit(row, kMenuNameColumn, current, viewport());
    edit->setGeometry(cell);
    connect(
        edit, &CInPlaceTextEdit::finished, this,
        [this](int r, int, std::optional<QString> text) { menuNameEdited(r, std::move(text)); });
    editor_ = edit;
    edit->show();
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void CPrintFormatList::chooseMacroFile(int row) {
    ui::Chooser chooser;
    chooser.kind = ui::ChooserKind::OpenFile;
    chooser.caption = text(ids::Caption);
    chooser.title = text(ids::ChooseMacroFileInList);
    chooser.start = macroFolder();
    const std::optional<QString> path = ui::prompts().choose(this, chooser);
    if (!path) return;
    const std::string chosen = macroFileName(path->toStdString(), programDir());
    const QString name = QString::fromStdString(chosen);
    const std::optional<std::string> stored = cp932::pathToStored(chosen);
    if (!stored || !isStorableText(*stored)) {
        ui::prompts().message(this, text(ids::NotStorable, {name}), text(ids::Caption),
                              ui::Icon::Information);
        return;
    }
    table_->setText(row, kMacroFileColumn, *stored);
    refresh();
    emit rowsChanged();
}

void CPrintFormatList::numberEdited(int row, std::optional<QString> text) {
    closeEditor();
    // The set of used numbers is the rows' numbers, so Esc leaves it as it was by itself.
    if (text && row < table_->size()) table_->setNumber(row, text->toInt());
    refresh();
    emit rowsChanged();
}

void CPrintFormatList::menuNameEdited(int row, std::optional<QString> text) {
    closeEditor();
    if (text && row < table_->size()) {
        const std::optional<std::string> name = ui::toCp932(*text);
        if (name && isStorableText(*name) && name->find(',') == std::string::npos)
            table_->setText(row, kMenuNameColumn, *name);
        else
            ui::prompts().message(this, settings::text(ids::NotStorable, {*text}),
                                  settings::text(ids::Caption), ui::Icon::Information);
    }
    refresh();
    emit rowsChanged();
}

void CPrintFormatList::closeEditor() {
    if (!editor_) return;
    QWidget* editor = editor_;
    editor_ = nullptr;
    editor->hide();
    editor->deleteLater();
    setFocus(Qt::OtherFocusReason);
}

void CPrintFormatList::endEdit() {
    if (auto* combo = qobject_cast<CInPlaceNumberCombo*>(editor_.data()))
        combo->finish();
    else if (auto* edit = qobject_cast<CInPlaceTextEdit*>(editor_.data()))
        edit->finish();
}

void CPrintFormatList::sortOn(int column) {
    endEdit();
    if (table_ == nullptr || table_->size() == 0 || column < 0 || column > kMacroFileColumn) return;
    const int selected = selectedRow();
    const PrintFormatTable::SortResult sorted = table_->sortBy(static_cast<Column>(column));
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, sorted.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    refresh();
    selectRow(selected >= 0 ? sorted.newIndex[static_cast<std::size_t>(selected)] : -1);
    emit rowsChanged();
}

}  // namespace zbq::settings
