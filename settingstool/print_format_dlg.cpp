#include "settingstool/print_format_dlg.h"

#include "platform/core/cp932.h"
#include "platform/core/program_paths.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"
#include "settingstool/bitmap_push_button.h"
#include "settingstool/no_comma_edit.h"
#include "settingstool/read_only_field.h"
#include "settingstool/settings_file.h"
#include "settingstool/string_ids.h"
#include "settingstool/tool_strings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

namespace zbq::settings {

namespace {

void showInformation(QWidget* parent, const QString& message) {
    ui::prompts().message(parent, message, text(ids::Caption), ui::Icon::Information);
}

}  // namespace

CPrintFormatDlg::CPrintFormatDlg(const std::set<int>& used, QWidget* parent)
    : QDialog(parent), editMode_(false) {
    build(used, std::nullopt);
}

CPrintFormatDlg::CPrintFormatDlg(const std::set<int>& used, int number, const std::string& menuName,
                                 const std::string& macroFile, QWidget* parent)
    : QDialog(parent), editMode_(true), ownNumber_(number), macroFile_(macroFile) {
    build(used, number);
    menuName_->setText(ui::fromCp932(menuName));
    macroFileField_->setText(ui::fromCp932(macroFile));
}

void CPrintFormatDlg::build(const std::set<int>& used, std::optional<int> own) {
    setWindowTitle(text(editMode_ ? ids::EditTitle : ids::AddTitle));
    setWindowIcon(QIcon(keyedBitmap(QStringLiteral(":/icons/settingstool.xpm"))));

    number_ = new QComboBox(this);
    number_->setObjectName(QStringLiteral("number"));
    number_->setToolTip(text(ids::TipNumber));
    const NumberChoice choice = offerNumbers(used, own);
    for (int n : choice.offered)
        number_->addItem(QString::number(n));
    number_->setCurrentIndex(editMode_ ? choice.selected : (choice.offered.empty() ? -1 : 0));

    menuName_ = new CNoCommaEdit(this);
    menuName_->setObjectName(QStringLiteral("menuName"));
    menuName_->setToolTip(text(ids::TipMenuName));

    macroFileField_ = new QLineEdit(this);
    macroFileField_->setObjectName(QStringLiteral("macroFile"));
    makeReadOnlyField(macroFileField_);
    macroFileField_->setToolTip(text(ids::TipMacroFile));

    auto* browseButton = new CBitmapPushButton(text(ids::EntryBrowse), this);
    browseButton->setObjectName(QStringLiteral("browse"));
    browseButton->setBitmap(QStringLiteral(":/icons/browse.xpm"));
    browseButton->setAutoDefault(false);
    browseButton->setToolTip(text(ids::TipEntryBrowse));
    connect(browseButton, &QPushButton::clicked, this, &CPrintFormatDlg::browse);

    auto* ok = new QPushButton(text(editMode_ ? ids::EditButton : ids::AddButton), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setToolTip(text(editMode_ ? ids::TipEditOk : ids::TipAddOk));
    connect(ok, &QPushButton::clicked, this, &CPrintFormatDlg::accept);
    auto* cancel = new QPushButton(text(ids::EntryCancel), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    cancel->setToolTip(text(ids::TipCancel));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(text(ids::LabelNumber), this), 0, 0);
    grid->addWidget(number_, 0, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(text(ids::LabelMenuName), this), 1, 0);
    grid->addWidget(menuName_, 1, 1, 1, 2);
    grid->addWidget(new QLabel(text(ids::LabelMacroFile), this), 2, 0);
    grid->addWidget(macroFileField_, 2, 1);
    grid->addWidget(browseButton, 2, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setLayout(layout);
    setMinimumWidth(420);
}

void CPrintFormatDlg::browse() {
    ui::Chooser chooser;
    chooser.kind = ui::ChooserKind::OpenFile;
    chooser.caption = text(ids::Caption);
    chooser.title = text(ids::ChooseMacroFile);
    // temp/ is where ZBQ writes the format files' data; ZBQ makes it at its first start, so the
    // tool makes it when it is missing, and starts in its own folder when it cannot.
    const std::string temp = programDir() + "/temp";
    std::error_code error;
    std::filesystem::create_directory(temp, error);
    chooser.start = QString::fromStdString(
        std::filesystem::is_directory(temp, error) ? temp : programDir());
    const std::optional<QString> path = ui::prompts().choose(this, chooser);
    if (!path) return;
    const std::string chosen = macroFileName(path->toStdString(), programDir());
    const QString name = QString::fromStdString(chosen);
    const std::optional<std::string> stored = cp932::pathToStored(chosen);
    if (!stored || !isStorableText(*stored)) {
        showInformation(this, text(ids::NotStorable, {name}));
        return;
    }
    macroFile_ = *stored;
    macroFileField_->setText(name);
}

void CPrintFormatDlg::accept() {
    const QString name = menuName_->text();
    if (name.isEmpty()) {
        showInformation(this, text(ids::MenuNameRequired));
        return;
    }
    if (macroFile_.empty()) {
        showInformation(this, text(ids::MacroFileRequired));
        return;
    }
    const std::optional<std::string> storedName = ui::toCp932(name);
    if (!storedName || !isStorableText(*storedName)) {
        showInformation(this, text(ids::NotStorable, {name}));
        return;
    }
    // Nothing chosen can only be an entry numbered outside 1 to 99: it keeps its number.
    int number = ownNumber_;
    if (number_->currentIndex() >= 0)
        number = number_->currentText().toInt();
    else if (!editMode_)
        return;
    const int question = editMode_ ? ids::UpdateQuestion : ids::AddQuestion;
    if (ui::prompts().message(this, text(question), text(ids::Caption), ui::Icon::Question,
                              ui::Buttons::YesNo) != ui::Answer::Yes)
        return;
    entry_ = PrintFormatRow{decimalText(number), *storedName, macroFile_};
    QDialog::accept();
}

}  // namespace zbq::settings
