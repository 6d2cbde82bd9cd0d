#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/category_list_view.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>

#include "app/images.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/category_list_model.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

COlapListView::COlapListView(COlapFrm& frame, QWidget* parent)
    : QTreeWidget(parent), frame_(frame) {
    setObjectName(QStringLiteral("categoryList"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setColumnCount(static_cast<int>(kCategoryListColumns.size()));
    QStringList captions;
    for (const CategoryListColumn& column : kCategoryListColumns)
        captions << zbq::ui::shown(column.caption);
    setHeaderLabels(captions);
    const QFontMetrics metrics(font());
    for (int c = 0; c < columnCount(); ++c) {
        const CategoryListColumn& column = kCategoryListColumns[static_cast<std::size_t>(c)];
        setColumnWidth(
            c, static_cast<int>(metrics.horizontalAdvance(captions[c]) * column.widthFactor));
        headerItem()->setTextAlignment(c, column.rightAligned ? Qt::AlignRight : Qt::AlignLeft);
    }
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { OnShowDefinition(indexOfTopLevelItem(item)); });
}

void COlapListView::FillList() {
    clear();
    const CategorySet* set = frame_.set();
    if (!set) return;
    QList<QTreeWidgetItem*> items;
    for (const CategoryListRow& row : categoryListRows(*set)) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < static_cast<int>(row.texts.size()); ++c) {
            item->setText(c, zbq::ui::fromCp932(row.texts[static_cast<std::size_t>(c)]));
            if (kCategoryListColumns[static_cast<std::size_t>(c)].rightAligned)
                item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setData(0, Qt::UserRole, row.icon);
        item->setIcon(0, zbq::zbqImage(zbq::kValueTypeImages, row.icon));
        items.append(item);
    }
    addTopLevelItems(items);
    frame_.PublishSet();
}

std::int32_t COlapListView::SelectedRow() const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isSelected()) return i;
    return -1;
}

void COlapListView::SelectRow(std::int32_t row) {
    clearSelection();
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        item->setSelected(true);
        setCurrentItem(item);
    }
}

void COlapListView::OnShowDefinition(std::int32_t row) {
    if (row < 0 || row >= frame_.set()->GetCount()) return;
    frame_.editor()->LoadCategory(row);
    frame_.app().Record(StepBuilder("DispCategory").number(row));
}

void COlapListView::OnDelete(std::int32_t row) {
    if (row < 0 || row >= frame_.set()->GetCount()) return;
    frame_.set()->RemoveAt(row);
    FillList();
    frame_.app().ResetOlapPages();
    frame_.app().Record(StepBuilder("DeleteCategory").number(row));
}

void COlapListView::OnImport() {
    if (const std::optional<std::string> path = frame_.ChooseImportFile())
        frame_.ImportCategory(*path, true);
}

void COlapListView::OnExport(std::int32_t row) {
    if (row < 0) return;
    if (const std::optional<std::string> path = frame_.ChooseExportFile())
        frame_.ExportCategory(row, *path);
}

void COlapListView::RunCommand(std::int32_t command) {
    switch (command) {
        case kShowDefinition:
            OnShowDefinition(SelectedRow());
            break;
        case kDelete:
            OnDelete(SelectedRow());
            break;
        case kImport:
            OnImport();
            break;
        case kExport:
            OnExport(SelectedRow());
            break;
        default:
            break;
    }
}

void COlapListView::OnRightButtonDown(const QPoint& at) {
    const QModelIndex index = indexAt(at);
    if (SelectedRow() < 0) {
        // The control's own handling: the row under the cursor becomes selected.
        if (index.isValid()) SelectRow(index.row());
        return;
    }
    if (!index.isValid()) return;
    SelectRow(index.row());
    std::int32_t command = 0;
    if (chooser_) {
        command = chooser_(at);
    } else {
        QMenu menu(this);
        const std::pair<const char*, Command> entries[] = {
            {ZBQ_SHOWN("  定義を表示"), kShowDefinition},
            {ZBQ_SHOWN("  削除"), kDelete},
            {nullptr, kDelete},
            {ZBQ_SHOWN("  定義のｲﾝﾎﾟｰﾄ"), kImport},
            {ZBQ_SHOWN("  定義のｴｸｽﾎﾟｰﾄ"), kExport}};
        for (const auto& [caption, id] : entries) {
            if (!caption) {
                menu.addSeparator();
                continue;
            }
            menu.addAction(zbq::ui::shown(caption))->setData(id);
        }
        if (QAction* chosen = menu.exec(viewport()->mapToGlobal(at)))
            command = chosen->data().toInt();
    }
    RunCommand(command);
}

void COlapListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        OnRightButtonDown(event->position().toPoint());
        return;
    }
    QTreeWidget::mousePressEvent(event);
}
