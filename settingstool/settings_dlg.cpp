#include "settingstool/settings_dlg.h"

#include "platform/core/cp932.h"
#include "platform/core/program_paths.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"
#include "settingstool/about_dlg.h"
#include "settingstool/bitmap_push_button.h"
#include "settingstool/print_format_dlg.h"
#include "settingstool/print_format_list.h"
#include "settingstool/read_only_field.h"
#include "settingstool/string_ids.h"
#include "settingstool/tool_strings.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace zbq::settings {

namespace {

CBitmapPushButton* bitmapButton(QWidget* parent, const char* name, int caption, int tip,
                                const char* bitmap) {
    auto* button = new CBitmapPushButton(text(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setBitmap(QStringLiteral(":/icons/") + QLatin1String(bitmap));
    button->setToolTip(text(tip));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(text(ids::Caption));
    setWindowIcon(QIcon(keyedBitmap(QStringLiteral(":/icons/settingstool.xpm"))));

    linkFolder_ = new QLineEdit(this);
    linkFolder_->setObjectName(QStringLiteral("linkFolder"));
    makeReadOnlyField(linkFolder_);
    linkFolder_->setToolTip(text(ids::TipLinkFolder));
    auto* browseButton =
        bitmapButton(this, "browse", ids::ButtonBrowse, ids::TipBrowse, "browse.xpm");

    list_ = new CPrintFormatList(this);
    list_->setToolTip(text(ids::TipList));
    list_->setTable(&model_.table());
    auto* addButton = bitmapButton(this, "add", ids::ButtonAdd, ids::TipAdd, "add.xpm");
    editButton_ = bitmapButton(this, "edit", ids::ButtonEdit, ids::TipEdit, "edit.xpm");
    deleteButton_ = bitmapButton(this, "delete", ids::ButtonDelete, ids::TipDelete, "delete.xpm");

    saveButton_ = new QPushButton(text(ids::ButtonSave), this);
    saveButton_->setObjectName(QStringLiteral("save"));
    saveButton_->setDefault(true);
    saveButton_->setToolTip(text(ids::TipSave));
    auto* closeButton = new QPushButton(text(ids::ButtonClose), this);
    closeButton->setObjectName(QStringLiteral("close"));
    closeButton->setAutoDefault(false);
    closeButton->setToolTip(text(ids::TipClose));

    connect(browseButton, &QPushButton::clicked, this, &CSettingsDlg::browse);
    connect(addButton, &QPushButton::clicked, this, &CSettingsDlg::add);
    connect(editButton_, &QPushButton::clicked, this, &CSettingsDlg::edit);
    connect(deleteButton_, &QPushButton::clicked, this, &CSettingsDlg::remove);
    connect(saveButton_, &QPushButton::clicked, this, &CSettingsDlg::save);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &CPrintFormatList::deleteRequested, this, &CSettingsDlg::remove);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(text(ids::LabelLinkFolder), this));
    folderRow->addWidget(linkFolder_, 1);
    folderRow->addWidget(browseButton);

    auto* entryButtons = new QHBoxLayout;
    entryButtons->addStretch(1);
    entryButtons->addWidget(addButton);
    entryButtons->addWidget(editButton_);
    entryButtons->addWidget(deleteButton_);
    auto* group = new QGroupBox(text(ids::GroupFormat), this);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(list_);
    groupLayout->addLayout(entryButtons);

    auto* dialogButtons = new QHBoxLayout;
    dialogButtons->addStretch(1);
    dialogButtons->addWidget(saveButton_);
    dialogButtons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addWidget(group, 1);
    layout->addLayout(dialogButtons);
    setLayout(layout);
    buildMenu();
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CSettingsDlg::updateControls);
    resize(560, 400);
    updateControls();
}

void CSettingsDlg::buildMenu() {
    // The "Ctrl+S" and "Ctrl+H" after the tab are part of the captions only: the tool has no
    // keyboard accelerators.
    auto* bar = new QMenuBar(this);
    QMenu* file = bar->addMenu(text(ids::MenuFile));
    saveAction_ = file->addAction(text(ids::MenuSave), this, &CSettingsDlg::save);
    file->addAction(text(ids::MenuExit), this, &QDialog::reject);
    bar->addAction(text(ids::MenuBrowse), this, &CSettingsDlg::browse);
    QMenu* format = bar->addMenu(text(ids::MenuFormat));
    format->addAction(text(ids::MenuAdd), this, &CSettingsDlg::add);
    editAction_ = format->addAction(text(ids::MenuEdit), this, &CSettingsDlg::edit);
    deleteAction_ = format->addAction(text(ids::MenuDelete), this, &CSettingsDlg::remove);
    QMenu* help = bar->addMenu(text(ids::MenuHelp));
    help->addAction(text(ids::MenuHelpItem), this, &CSettingsDlg::help);
    help->addAction(text(ids::MenuAbout), this, &CSettingsDlg::about);
    layout()->setMenuBar(bar);
}

void CSettingsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!columnsSpread_) {
        columnsSpread_ = true;
        list_->spreadColumns();
    }
}

void CSettingsDlg::information(int id) {
    ui::prompts().message(this, text(id), text(ids::Caption), ui::Icon::Information);
}

bool CSettingsDlg::start(const std::string& iniPath) {
    return showLoaded(model_.load(iniPath));
}

bool CSettingsDlg::showLoaded(const SettingsModel::LoadResult& loaded) {
    switch (loaded.status) {
        case SettingsModel::LoadStatus::Missing:
            ui::prompts().message(this,
                                  text(ids::FileMissing, {QString::fromStdString(model_.path())}),
                                  text(ids::Caption), ui::Icon::Error);
            return false;
        case SettingsModel::LoadStatus::Unreadable:
            ui::prompts().message(
                this, text(ids::WriteFailed, {QString::fromLocal8Bit(std::strerror(loaded.error))}),
                text(ids::Caption), ui::Icon::Error);
            return false;
        case SettingsModel::LoadStatus::Loaded:
            break;
    }
    linkFolder_->setText(ui::fromCp932(model_.linkFolder()));
    list_->refresh();
    updateControls();
    // A file with a thousand bad entries gets a few boxes and a count, not a thousand boxes.
    const QPointer<CSettingsDlg> self(this);
    if (!loaded.refusedLinkFolder.empty())
        ui::prompts().message(this,
                              text(ids::NotStorable, {ui::fromCp932(loaded.refusedLinkFolder)}),
                              text(ids::Caption), ui::Icon::Information);
    const std::size_t shown = std::min(loaded.refused.size(), kRefusalsShown);
    for (std::size_t i = 0; i < shown && self; ++i) {
        const RefusedEntry& refused = loaded.refused[i];
        ui::prompts().message(
            this, text(refused.message, {ui::fromCp932(refused.key), ui::fromCp932(refused.value)}),
            text(ids::Caption), ui::Icon::Information);
    }
    if (self && loaded.refused.size() > shown)
        ui::prompts().message(
            this, text(ids::MoreRefused, {QString::number(loaded.refused.size() - shown)}),
            text(ids::Caption), ui::Icon::Information);
    if (!self) return false;
    saveButton_->setFocus(Qt::OtherFocusReason);
    return true;
}

void CSettingsDlg::updateControls() {
    const bool canSave = model_.canSave();
    saveButton_->setEnabled(canSave);
    saveAction_->setEnabled(canSave);
    const bool selected = list_->selectedRow() >= 0;
    editButton_->setEnabled(selected);
    editAction_->setEnabled(selected);
    deleteButton_->setEnabled(selected);
    deleteAction_->setEnabled(selected);
}

void CSettingsDlg::accept() {
    save();
}

void CSettingsDlg::save() {
    list_->endEdit();
    const QPointer<CSettingsDlg> self(this);
    SettingsModel::SaveResult saved = model_.save();
    // Asked again as often as another program changes the file under the save: a Yes given
    // before that change is no Yes to overwriting it.
    while (saved.status == SettingsModel::SaveStatus::ChangedElsewhere) {
        const ui::Answer answer =
            ui::prompts().message(this, text(ids::ChangedElsewhere), text(ids::Caption),
                                  ui::Icon::Question, ui::Buttons::YesNoCancel);
        if (!self) return;
        if (answer == ui::Answer::No) {
            // The user keeps the other program's change: the list shows the file as it is now.
            showLoaded(model_.load(model_.path()));
            return;
        }
        // Cancel, or the box closed: nothing written, the list stays as the user left it.
        if (answer != ui::Answer::Yes) return;
        saved = model_.save(true);
    }
    switch (saved.status) {
        case SettingsModel::SaveStatus::NoLinkFolder:
            information(ids::NoLinkFolder);
            return;
        case SettingsModel::SaveStatus::ChangedElsewhere:  // handled above
        case SettingsModel::SaveStatus::Failed:
            ui::prompts().message(
                this, text(ids::WriteFailed, {QString::fromLocal8Bit(std::strerror(saved.error))}),
                text(ids::Caption), ui::Icon::Error);
            return;
        case SettingsModel::SaveStatus::Saved:
            break;
    }
    if (ui::prompts().message(this, text(ids::SavedExitQuestion), text(ids::Caption),
                              ui::Icon::Question, ui::Buttons::YesNo) == ui::Answer::Yes &&
        self)
        QDialog::accept();
}

void CSettingsDlg::browse() {
    ui::Chooser chooser;
    chooser.kind = ui::ChooserKind::Folder;
    chooser.caption = text(ids::Caption);
    chooser.title = text(ids::ChooseLinkFolder);
    chooser.start = QString::fromStdString(cp932::pathFromStored(model_.linkFolder()));
    const std::optional<QString> folder = ui::prompts().choose(this, chooser);
    if (!folder) return;
    const std::optional<std::string> stored = cp932::pathToStored(folder->toStdString());
    if (!stored || !isStorableText(*stored)) {
        ui::prompts().message(this, text(ids::NotStorable, {*folder}), text(ids::Caption),
                              ui::Icon::Information);
        return;
    }
    model_.setLinkFolder(*stored);
    linkFolder_->setText(*folder);
    updateControls();
}

void CSettingsDlg::add() {
    list_->endEdit();
    if (!model_.canAdd()) {
        information(ids::TooManyEntries);
        return;
    }
    CPrintFormatDlg dialog(model_.table().usedNumbers(), this);
    if (ui::runModal(dialog) != QDialog::Accepted) return;
    if (!model_.table().append(dialog.entry())) return;
    list_->refresh();
    list_->selectRow(model_.table().size() - 1);
    list_->setFocus(Qt::OtherFocusReason);
    updateControls();
}

void CSettingsDlg::edit() {
    list_->endEdit();
    const int row = list_->selectedRow();
    if (row < 0) {
        information(ids::SelectToEdit);
        return;
    }
    const PrintFormatRow& current = model_.table().row(row);
    CPrintFormatDlg dialog(model_.table().usedNumbers(), current.value(), current.menuName,
                           current.macroFile, this);
    if (ui::runModal(dialog) != QDialog::Accepted) return;
    if (!model_.table().replace(row, dialog.entry())) return;
    list_->refresh();
    list_->setFocus(Qt::OtherFocusReason);
    updateControls();
}

void CSettingsDlg::remove() {
    list_->endEdit();
    const int row = list_->selectedRow();
    if (row < 0) {
        information(ids::SelectToDelete);
        return;
    }
    if (ui::prompts().message(this, text(ids::DeleteQuestion), text(ids::Caption),
                              ui::Icon::Question, ui::Buttons::YesNo) != ui::Answer::Yes)
        return;
    model_.table().remove(row);
    list_->refresh();
    list_->selectRow(model_.table().size() == 0 ? -1 : std::max(row - 1, 0));
    list_->setFocus(Qt::OtherFocusReason);
    updateControls();
}

QString CSettingsDlg::helpFilePath() {
    // A Linux executable has no extension to cut at: the help file is named after the program.
    const QString base = QFileInfo(QString::fromStdString(executablePath())).completeBaseName();
    return QString::fromStdString(programDir()) + u'/' + base + QStringLiteral(".chm");
}

void CSettingsDlg::help() {
    if (!ui::opener().open(helpFilePath()))
        ui::prompts().message(this, text(ids::HelpFailed), text(ids::Caption), ui::Icon::Error);
}

void CSettingsDlg::about() {
    CAboutDlg dialog(this);
    ui::runModal(dialog);
}

}  // namespace zbq::settings
