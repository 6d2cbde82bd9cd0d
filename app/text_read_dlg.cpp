#include "app/text_read_dlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/ckw_app.h"
#include "app/excel_read_list.h"
#include "app/item_edit_dlg.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/qt_cp932.h"

using zbq::app::selectedRows;
using zbq::app::selectRows;

CTextReadDlg::CTextReadDlg(CKWApp& app, const std::vector<std::string>& files, QWidget* parent)
    : QDialog(parent),
      model_(app, files),
      title_(new QLineEdit(this)),
      files_(zbq::app::makeImportList({zbq::ui::shown("テキストファイル")}, {200}, this)),
      items_(zbq::app::makeImportList(
          {QString(), zbq::ui::shown("項目名"), zbq::ui::shown("項目タイプ")}, {0, 150, 80},
          this)) {
    setWindowTitle(zbq::ui::shown("テキストファイル読込"));
    title_->setValidator(new ItemNameValidator(std::string::npos, title_));
    auto add = [this](int id, const QString& text, void (CTextReadDlg::*action)()) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, action);
        buttons_.emplace_back(id, b);
        return b;
    };
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(zbq::ui::shown("テキストファイル"), this), 0, 0);
    layout->addWidget(files_, 1, 0, 4, 1);
    layout->addWidget(add(1107, zbq::ui::shown("削除"), &CTextReadDlg::OnDeleteFiles), 1, 1);
    layout->addWidget(add(1108, zbq::ui::shown("上に移動"), &CTextReadDlg::OnFileUp), 2, 1);
    layout->addWidget(add(1109, zbq::ui::shown("下に移動"), &CTextReadDlg::OnFileDown), 3, 1);
    layout->addWidget(add(1074, zbq::ui::shown("項目設定"), &CTextReadDlg::OnReadItems), 4, 1);
    layout->addWidget(new QLabel(zbq::ui::shown("ZEBRINE タイトル"), this), 5, 0);
    layout->addWidget(title_, 6, 0);
    layout->addWidget(new QLabel(zbq::ui::shown("ZEBRINE 項目定義"), this), 7, 0);
    layout->addWidget(items_, 8, 0, 2, 1);
    layout->addWidget(add(1104, zbq::ui::shown("削除"), &CTextReadDlg::OnDeleteItems), 8, 1);
    layout->addWidget(add(1105, zbq::ui::shown("編集", "text import"), &CTextReadDlg::OnEditItems),
                      9, 1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CTextReadDlg::accept);
    buttons_.emplace_back(1, ok);
    auto* cancel = new QPushButton(zbq::ui::shown("ｷｬﾝｾﾙ"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons_.emplace_back(2, cancel);
    layout->addWidget(ok, 10, 0, Qt::AlignRight);
    layout->addWidget(cancel, 10, 1);

    for (QTreeWidget* list : {files_, items_}) {
        list->installEventFilter(this);
        connect(list, &QTreeWidget::itemSelectionChanged, this, &CTextReadDlg::updateButtons);
    }
    connect(items_, &QTreeWidget::itemDoubleClicked, this, &CTextReadDlg::OnEditItems);
    fillFiles({});
    fillItems();
}

CTextReadDlg::~CTextReadDlg() = default;

QPushButton* CTextReadDlg::button(int id) const {
    return zbq::app::findButton(buttons_, id);
}

bool CTextReadDlg::eventFilter(QObject* watched, QEvent* event) {
    if (zbq::app::isDeleteKey(event)) {
        if (watched == files_) OnDeleteFiles();
        if (watched == items_) OnDeleteItems();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CTextReadDlg::fillFiles(const std::vector<int>& selected) {
    files_->clear();
    for (const std::string& file : model_.files())
        files_->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(file)}));
    selectRows(files_, selected);
    updateButtons();
}

void CTextReadDlg::fillItems() {
    items_->clear();
    for (const zbq::app::ImportItem& item : model_.items())
        items_->addTopLevelItem(
            new QTreeWidgetItem({QString::number(item.column), zbq::ui::fromCp932(item.name),
                                 zbq::ui::shownCp932(zbq::app::typeCaptions()[item.typeChoice])}));
    updateButtons();
}

void CTextReadDlg::updateButtons() {
    const bool file = !selectedRows(files_).empty();
    const bool item = !selectedRows(items_).empty();
    for (int id : {1107, 1108, 1109, 1074})
        button(id)->setEnabled(file);
    for (int id : {1104, 1105})
        button(id)->setEnabled(item);
    button(1)->setEnabled(model_.okEnabled());
}

void CTextReadDlg::OnDeleteFiles() {
    fillFiles(model_.DeleteFiles(selectedRows(files_)));
}

void CTextReadDlg::OnFileUp() {
    fillFiles(model_.MoveFilesUp(selectedRows(files_)));
    files_->setFocus();
}

void CTextReadDlg::OnFileDown() {
    fillFiles(model_.MoveFilesDown(selectedRows(files_)));
    files_->setFocus();
}

void CTextReadDlg::OnReadItems() {
    const std::vector<int> rows = selectedRows(files_);
    if (rows.empty()) return;
    if (model_.ReadItemNames(rows.front())) fillItems();
}

void CTextReadDlg::OnDeleteItems() {
    model_.DeleteItems(selectedRows(items_));
    fillItems();
}

void CTextReadDlg::OnEditItems() {
    const std::vector<int> rows = selectedRows(items_);
    for (int row : rows) {
        const zbq::app::ImportItem& item = model_.items()[row];
        if (std::optional<ItemEdit> edit = editItem(this, item.name, item.typeChoice))
            model_.SetItem(row, edit->name, edit->typeChoice);
    }
    fillItems();
    selectRows(items_, rows);
}

void CTextReadDlg::accept() {
    model_.setTitle(zbq::ui::toCp932(title_->text()).value_or(std::string()));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const zbq::app::TextReadModel::Outcome outcome = model_.OnOK();
    QApplication::restoreOverrideCursor();
    if (outcome == zbq::app::TextReadModel::Outcome::Accepted) QDialog::accept();
    if (outcome == zbq::app::TextReadModel::Outcome::Cancelled) QDialog::reject();
}

std::optional<std::string> runTextReadDialog(CKWApp& app, const std::vector<std::string>& files) {
    CTextReadDlg dialog(app, files, app.windows().mainWindow());
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.model().outputPath();
}
