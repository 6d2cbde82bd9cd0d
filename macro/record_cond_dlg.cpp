#include "macro/record_cond_dlg.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QRadioButton>

#include <algorithm>

int CRecordCondDlg::titleBarWidth(const QWidget& window) {
    QFont bold = window.font();
    bold.setBold(true);
    const int box = window.fontMetrics().height() * 3 / 2;
    return QFontMetrics(bold).horizontalAdvance(window.windowTitle()) + 4 * box + 24;
}

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
    // The tool window's title bar is no wider than the window: room for the title, which window
    // managers draw bold, and for the icon and the three boxes beside it, each about a line and
    // a half wide; the two buttons alone do not give it.
    setMinimumWidth(std::max(sizeHint().width(), titleBarWidth(*this)));
}

bool CRecordCondDlg::isVariable() const {
    return variable_->isChecked();
}

void CRecordCondDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}
