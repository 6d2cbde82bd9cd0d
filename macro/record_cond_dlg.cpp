#include "macro/record_cond_dlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QRadioButton>

#include "app/title_width.h"
#include "platform/ui/language.h"

CRecordCondDlg::CRecordCondDlg(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      fixed_(new QRadioButton(zbq::ui::shown("固定"), this)),
      variable_(new QRadioButton(zbq::ui::shown("可変"), this)) {
    setWindowTitle(zbq::ui::shown("条件の記録"));
    // Radio buttons of one parent form one choice.
    fixed_->setChecked(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fixed_);
    layout->addWidget(variable_);
    // The tool window's title bar is no wider than the window, and the two buttons alone leave
    // no room for the title.
    zbq::app::fitTitle(*this);
}

bool CRecordCondDlg::isVariable() const {
    return variable_->isChecked();
}

void CRecordCondDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}
