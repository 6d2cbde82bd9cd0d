#include "macro/record_cond_dlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QRadioButton>

CRecordCondDlg::CRecordCondDlg(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      fixed_(new QRadioButton(QString::fromUtf8("固定"), this)),
      variable_(new QRadioButton(QString::fromUtf8("可変"), this)) {
    setWindowTitle(QString::fromUtf8("条件の記録"));
    // Radio buttons of one parent form one choice.
    fixed_->setChecked(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fixed_);
    layout->addWidget(variable_);
}

bool CRecordCondDlg::isVariable() const {
    return variable_->isChecked();
}

void CRecordCondDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}
