#include "app/excel_read_dlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>

#include "app/ckw_app.h"
#include "app/excel_read_list.h"
#include "app/item_edit_dlg.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/qt_cp932.h"

using zbq::app::selectedRows;
using zbq::app::selectRows;

namespace {

// Widens each shown column to its title and the list to its columns, so that no title is cut
// in a language whose captions are longer than the widths were made for.
void fitColumnTitles(QTreeWidget* list) {
    QHeaderView* header = list->header();
    int width = 0;
    for (int c = 0; c < header->count(); ++c) {
        if (list->isColumnHidden(c)) continue;
        list->setColumnWidth(c, std::max(list->columnWidth(c), header->sectionSizeHint(c)));
        width += list->columnWidth(c);
    }
    list->setMinimumWidth(width + 2 * list->frameWidth() +
                          list->verticalScrollBar()->sizeHint().width());
}

}  // namespace

CExcelReadDlg::CExcelReadDlg(CKWApp& app, const std::vector<std::string>& files, bool addMode,
                             QWidget* parent)
    : QDialog(parent),
      model_(app, files, addMode),
      progress_(new QLineEdit(this)),
      title_(new QLineEdit(this)),
      sheets_(zbq::app::makeImportList(
          {QString(), zbq::ui::shown("Excelファイル"), zbq::ui::shown("シート名")}, {0, 200, 200},
          this)),
      items_(zbq::app::makeImportList(
          {QString(), zbq::ui::shown("項目名"), zbq::ui::shown("項目タイプ")}, {0, 150, 80},
          this)) {
    setWindowTitle(zbq::ui::shown("Excelファイル読込"));
    progress_->setReadOnly(true);
    title_->setValidator(new ItemNameValidator(std::string::npos, title_));
    title_->setText(zbq::ui::fromCp932(model_.title()));
    title_->setEnabled(!addMode);
    model_.setProgressSink([this](const std::string& cp932) {
        QString text = zbq::ui::fromCp932(cp932);
        const QString rows = QString::fromUtf8(zbq::app::ExcelReadModel::kRowsRead);
        if (text.endsWith(rows)) text = text.chopped(rows.size()) + zbq::ui::shownText(rows);
        progress_->setText(text);
    });

    auto add = [this](int id, const QString& text, void (CExcelReadDlg::*action)()) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, action);
        buttons_.emplace_back(id, b);
        return b;
    };
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(zbq::ui::shown("Excelファイル"), this), 0, 0);
    layout->addWidget(sheets_, 1, 0, 4, 1);
    layout->addWidget(add(1102, zbq::ui::shown("削除"), &CExcelReadDlg::OnDeleteSheet), 1, 1);
    layout->addWidget(add(1103, zbq::ui::shown("上に移動"), &CExcelReadDlg::OnSheetUp), 2, 1);
    layout->addWidget(add(1004, zbq::ui::shown("下に移動"), &CExcelReadDlg::OnSheetDown), 3, 1);
    layout->addWidget(add(1074, zbq::ui::shown("項目設定"), &CExcelReadDlg::OnReadItems), 4, 1);
    layout->addWidget(new QLabel(zbq::ui::shown("ZEBRINE タイトル"), this), 5, 0);
    layout->addWidget(title_, 6, 0);
    layout->addWidget(new QLabel(zbq::ui::shown("ZEBRINE 項目定義"), this), 7, 0);
    layout->addWidget(items_, 8, 0, 3, 1);
    layout->addWidget(add(1106, zbq::ui::shown("次行"), &CExcelReadDlg::OnReadNext), 8, 1);
    layout->addWidget(add(1104, zbq::ui::shown("削除"), &CExcelReadDlg::OnDeleteItem), 9, 1);
    layout->addWidget(add(1105, zbq::ui::shown("編集", "text import"), &CExcelReadDlg::OnEditItem),
                      10, 1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CExcelReadDlg::accept);
    buttons_.emplace_back(1, ok);
    auto* cancel = new QPushButton(zbq::ui::shown("ｷｬﾝｾﾙ"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons_.emplace_back(2, cancel);
    layout->addWidget(progress_, 11, 0);
    layout->addWidget(ok, 12, 0, Qt::AlignRight);
    layout->addWidget(cancel, 12, 1);
    // The lists take what the dialog grows by in height, half each, in the last row of each:
    // the buttons there stay under the ones above them.
    for (const int row : {4, 10}) {
        layout->setRowStretch(row, 1);
        layout->itemAtPosition(row, 1)->setAlignment(Qt::AlignTop);
    }

    for (QTreeWidget* list : {sheets_, items_}) {
        fitColumnTitles(list);
        list->installEventFilter(this);
        connect(list, &QTreeWidget::itemSelectionChanged, this, &CExcelReadDlg::takeSelections);
    }
    connect(items_, &QTreeWidget::itemDoubleClicked, this, &CExcelReadDlg::OnEditItem);
    refresh();
}

CExcelReadDlg::~CExcelReadDlg() = default;

QPushButton* CExcelReadDlg::button(int id) const {
    return zbq::app::findButton(buttons_, id);
}

bool CExcelReadDlg::eventFilter(QObject* watched, QEvent* event) {
    if (zbq::app::isDeleteKey(event)) {
        if (watched == sheets_) OnDeleteSheet();
        if (watched == items_) OnDeleteItem();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CExcelReadDlg::takeSelections() {
    if (refreshing_) return;
    model_.selectSheets(selectedRows(sheets_));
    model_.selectItems(selectedRows(items_));
    setControlsEnabled(true);
}

int CExcelReadDlg::refreshed(int result) {
    refresh();
    return result;
}

void CExcelReadDlg::refresh() {
    refreshing_ = true;
    sheets_->clear();
    for (const zbq::app::SheetRow& row : model_.sheets())
        sheets_->addTopLevelItem(
            new QTreeWidgetItem({QString::number(row.index), QString::fromStdString(row.file),
                                 zbq::ui::fromCp932(row.sheet)}));
    items_->clear();
    for (const zbq::app::ItemRow& row : model_.items())
        items_->addTopLevelItem(
            new QTreeWidgetItem({QString::number(row.column), zbq::ui::fromCp932(row.name),
                                 zbq::ui::shownCp932(row.caption)}));
    selectRows(sheets_, model_.sheetSelection());
    selectRows(items_, model_.itemSelection());
    refreshing_ = false;
    setControlsEnabled(true);
}

void CExcelReadDlg::setControlsEnabled(bool enabled) {
    const bool sheet = enabled && !model_.sheetSelection().empty();
    const bool item = enabled && !model_.itemSelection().empty();
    for (int id : {1102, 1103, 1004, 1074})
        button(id)->setEnabled(sheet);
    for (int id : {1104, 1105})
        button(id)->setEnabled(item);
    button(1106)->setEnabled(enabled && model_.nextEnabled());
    button(1)->setEnabled(enabled && model_.okEnabled());
    button(2)->setEnabled(enabled);
}

void CExcelReadDlg::OnDeleteSheet() {
    model_.OnDeleteSheet();
    refresh();
}

void CExcelReadDlg::OnSheetUp() {
    model_.OnSheetUp();
    refresh();
    sheets_->setFocus();
}

void CExcelReadDlg::OnSheetDown() {
    model_.OnSheetDown();
    refresh();
    sheets_->setFocus();
}

void CExcelReadDlg::OnReadItems() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.ReadSheetItems(0);
    QApplication::restoreOverrideCursor();
    refresh();
}

void CExcelReadDlg::OnReadNext() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.ReadSheetItems(model_.headerRow());
    QApplication::restoreOverrideCursor();
    refresh();
}

void CExcelReadDlg::OnDeleteItem() {
    model_.OnDeleteItem();
    refresh();
}

void CExcelReadDlg::OnEditItem() {
    model_.OnEditItem(
        [this](const std::string& name, int type) -> std::optional<zbq::app::ImportItem> {
            std::optional<ItemEdit> edit = editItem(this, name, type);
            if (!edit) return std::nullopt;
            return zbq::app::ImportItem{0, edit->name, edit->typeChoice};
        });
    refresh();
}

int CExcelReadDlg::Execute() {
    model_.setTitle(zbq::ui::toCp932(title_->text()).value_or(std::string()));
    setControlsEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    last_ = model_.OnOK();
    QApplication::restoreOverrideCursor();
    refresh();
    if (last_ == zbq::app::ExcelReadModel::Outcome::Cancelled) setControlsEnabled(false);
    return model_.result();
}

void CExcelReadDlg::accept() {
    Execute();
    if (last_ == zbq::app::ExcelReadModel::Outcome::Accepted) QDialog::accept();
    if (last_ == zbq::app::ExcelReadModel::Outcome::Cancelled) QDialog::reject();
}

int CExcelReadDlg::DeleteSheets(const std::vector<int>& rows) {
    return refreshed(model_.DeleteSheets(rows));
}

int CExcelReadDlg::MoveSheetsUp(const std::vector<int>& rows) {
    return refreshed(model_.MoveSheetsUp(rows));
}

int CExcelReadDlg::MoveSheetsDown(const std::vector<int>& rows) {
    return refreshed(model_.MoveSheetsDown(rows));
}

int CExcelReadDlg::ReadColumnInfo(int row) {
    return refreshed(model_.ReadColumnInfo(row));
}

int CExcelReadDlg::ReadColumnInfoNext() {
    return refreshed(model_.ReadColumnInfoNext());
}

int CExcelReadDlg::DeleteColumns(const std::vector<int>& rows) {
    return refreshed(model_.DeleteColumns(rows));
}

int CExcelReadDlg::UpdateColumnInfo(int row, std::string name, std::string caption) {
    return refreshed(model_.UpdateColumnInfo(row, std::move(name), std::move(caption)));
}

std::optional<std::string> runExcelReadDialog(CKWApp& app, const std::vector<std::string>& files,
                                              bool addMode) {
    CExcelReadDlg dialog(app, files, addMode, app.windows().mainWindow());
    // A workbook that could not be listed has had its message, which says the import stops.
    if (dialog.model().result() == 0) return std::nullopt;
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.model().takeOutputPath();
}
