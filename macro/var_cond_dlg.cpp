#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "macro/var_cond_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "macro/var_cond_model.h"
#include "platform/core/cp932.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"

CVarCondDlg::CVarCondDlg(CKWApp& app, const QString& prompt, int browseMode, QWidget* parent)
    : QDialog(parent),
      app_(app),
      browseMode_(browseMode),
      prompt_(new QLabel(prompt, this)),
      edit_(new QLineEdit(this)),
      browse_(new QPushButton(zbq::ui::shown("参照..."), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(zbq::ui::shown("可変条件の入力"));
    setFixedSize(380, 110);
    prompt_->setGeometry(10, 10, 360, 16);
    // The English layout has a narrower edit and its browse button further left; the button
    // ends where the Japanese one does.
    const Layout& layout = zbq::ui::englishShown() ? kEnglish : kJapanese;
    edit_->setGeometry(10, 36, layout.editWidth, 24);
    browse_->setGeometry(layout.browseX, 36, kBrowseRight - layout.browseX, 24);
    ok_->setGeometry(290, 74, 80, 26);
    edit_->setValidator(new VarCondValidator(edit_));
    ok_->setDefault(true);
    if (browseMode == -1) {
        browse_->hide();
        edit_->resize(edit_->width() + kWiderBy, edit_->height());
    } else {
        // A file comes from the chooser, which names it whole.
        edit_->setEnabled(false);
    }
    connect(browse_, &QPushButton::clicked, this, &CVarCondDlg::onBrowse);
    connect(ok_, &QPushButton::clicked, this, &CVarCondDlg::onOk);
}

void CVarCondDlg::onBrowse() {
    const std::optional<VarCondBrowse> browse = varCondBrowse(browseMode_);
    if (!browse) return;
    const std::optional<QString> path = zbq::ui::prompts().choose(this, browse->chooser);
    if (!path) return;
    const std::optional<std::string> stored = storedChoice(*path, browse->defaultSuffix);
    if (!stored) {
        // A step holds CP932 alone: such a file could not be named again when the step plays.
        app_.ShowError("ファイル名に使用できない文字が含まれています。");
        return;
    }
    chosen_ = *stored;
    // The path is shown whole, past the edit's typing limit.
    edit_->setValidator(nullptr);
    edit_->setText(QString::fromStdString(zbq::cp932::pathFromStored(chosen_)));
}

void CVarCondDlg::onOk() {
    std::string value;
    if (browseMode_ == -1)
        value = zbq::ui::toCp932(edit_->text()).value_or(std::string());
    else if (!edit_->text().isEmpty())
        value = chosen_;
    if (value.empty()) {
        app_.ShowError("入力して下さい｡");
        return;
    }
    result_ = std::move(value);
    accept();
}

std::string VarCondAsker::askMacroParameter(std::string_view prompt, std::int32_t browseMode) {
    // The players hand their prompt in Japanese; the user reads it in the language in force.
    const QString shown =
        zbq::ui::shownText(QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size())));
    CVarCondDlg dialog(app_, shown, browseMode, app_.windows().mainWindow());
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return {};
    return dialog.result();
}
