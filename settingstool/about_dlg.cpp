#include "settingstool/about_dlg.h"

#include "settingstool/bitmap_push_button.h"
#include "settingstool/string_ids.h"
#include "settingstool/tool_strings.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zbq::settings {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(text(ids::AboutTitle));
    auto* icon = new QLabel(this);
    icon->setPixmap(keyedBitmap(QStringLiteral(":/icons/settingstool.xpm")).scaled(32, 30));
    auto* name = new QLabel(text(ids::AboutText), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(name, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setLayout(layout);
}

}  // namespace zbq::settings
