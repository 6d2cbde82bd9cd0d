#include "macro/macro_menu_dlg.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/ui/language.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"

namespace {

QToolButton* arrowButton(QStyle::StandardPixmap icon, const QString& tip, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    return b;
}

// The explanation as the edit shows it, and as the macro keeps it.
QString shown(const std::string& explanation) {
    QString text = zbq::ui::fromCp932(explanation);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<std::string> kept(QString text) {
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return zbq::ui::toCp932(text);
}

}  // namespace

CMacroMenuDlg::CMacroMenuDlg(CMacro& macro, int initialRow, QWidget* parent)
    : QDialog(parent),
      model_(macro, initialRow),
      list_(new QTreeWidget(this)),
      explanation_(new QPlainTextEdit(this)),
      execute_(new QPushButton(zbq::ui::shown("実行(&R)"), this)),
      step_(new QPushButton(zbq::ui::shown("ｽﾃｯﾌﾟ実行(&S)"), this)),
      rename_(new QPushButton(zbq::ui::shown("名称変更(&M)"), this)),
      delete_(new QPushButton(zbq::ui::shown("削除(&D)"), this)),
      import_(new QPushButton(zbq::ui::shown("ｲﾝﾎﾟｰﾄ(&I)"), this)),
      close_(new QPushButton(zbq::ui::shown("閉じる(&C)"), this)),
      up_(arrowButton(QStyle::SP_ArrowUp, zbq::ui::shown("上へ"), this)),
      down_(arrowButton(QStyle::SP_ArrowDown, zbq::ui::shown("下へ"), this)) {
    setWindowTitle(zbq::ui::shown("マクロメニュー"));
    list_->setColumnCount(1);
    list_->setHeaderLabels({zbq::ui::shown("ﾏｸﾛ名")});
    list_->headerItem()->setTextAlignment(0, Qt::AlignCenter);
    list_->header()->setSectionsClickable(false);
    list_->header()->setStretchLastSection(true);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    explanation_->installEventFilter(this);
    execute_->setDefault(true);
    execute_->setAutoDefault(false);

    auto* listLabel = new QLabel(zbq::ui::shown("ﾏｸﾛ一覧(&L)："), this);
    listLabel->setBuddy(list_);
    auto* explanationLabel = new QLabel(zbq::ui::shown("説明(&E)："), this);
    explanationLabel->setBuddy(explanation_);
    auto* top = new QHBoxLayout;
    top->addWidget(listLabel);
    top->addStretch();
    top->addWidget(up_);
    top->addWidget(down_);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {execute_, step_, rename_, delete_, import_})
        buttons->addWidget(b);
    buttons->addSpacing(8);
    buttons->addWidget(close_);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addLayout(top, 0, 0);
    grid->addWidget(list_, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(explanationLabel, 2, 0);
    grid->addWidget(explanation_, 3, 0, 1, 2);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CMacroMenuDlg::onSelectionChanged);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { closeOn(model_.execute()); });
    connect(explanation_, &QPlainTextEdit::textChanged, this, &CMacroMenuDlg::onExplanationEdited);
    connect(execute_, &QPushButton::clicked, this, [this] { closeOn(model_.execute()); });
    connect(step_, &QPushButton::clicked, this, [this] { closeOn(model_.stepThrough()); });
    connect(rename_, &QPushButton::clicked, this, [this] {
        model_.renameSelected();
        refill();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        model_.removeSelected();
        refill();
        QApplication::restoreOverrideCursor();
    });
    connect(import_, &QPushButton::clicked, this, [this] {
        model_.import();
        refill();
    });
    connect(up_, &QToolButton::clicked, this, [this] {
        model_.moveUp();
        refill();
    });
    connect(down_, &QToolButton::clicked, this, [this] {
        model_.moveDown();
        refill();
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    refill();
    if (const QScreen* screen = QApplication::primaryScreen())
        move(10, screen->geometry().height() / 2);
}

void CMacroMenuDlg::refill() {
    filling_ = true;
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(model_.rowCount());
    for (int row = 0; row < model_.rowCount(); ++row)
        rows.push_back(new QTreeWidgetItem(QStringList{zbq::ui::fromCp932(model_.rowName(row))}));
    list_->addTopLevelItems(rows);
    if (model_.selected() >= 0) {
        QTreeWidgetItem* item = list_->topLevelItem(model_.selected());
        list_->setCurrentItem(item);
        list_->scrollToItem(item);
        list_->setFocus();
    }
    filling_ = false;
    updateControls();
}

void CMacroMenuDlg::updateControls() {
    const MacroMenuControls c = model_.controls();
    execute_->setEnabled(c.execute);
    step_->setEnabled(c.stepThrough);
    rename_->setEnabled(c.rename);
    delete_->setEnabled(c.remove);
    import_->setEnabled(c.import);
    up_->setEnabled(c.up);
    down_->setEnabled(c.down);
    filling_ = true;
    lastExplanation_ = shown(model_.editText());
    explanation_->setPlainText(lastExplanation_);
    filling_ = false;
}

void CMacroMenuDlg::onSelectionChanged() {
    if (filling_) return;
    const QList<QTreeWidgetItem*> chosen = list_->selectedItems();
    model_.select(chosen.isEmpty() ? -1 : list_->indexOfTopLevelItem(chosen.front()));
    updateControls();
}

void CMacroMenuDlg::onExplanationEdited() {
    if (filling_) return;
    const QString text = explanation_->toPlainText();
    if (const std::optional<std::string> bytes = kept(text)) {
        lastExplanation_ = text;
        // Typing means the edit has the focus, whether or not its focus event came first.
        if (model_.editedRow() < 0) model_.explanationFocusIn();
        model_.setEditText(*bytes);
        return;
    }
    // The macro file holds CP932 alone: a character it lacks is refused as it is typed.
    zbq::ui::prompts().beep();
    filling_ = true;
    explanation_->setPlainText(lastExplanation_);
    explanation_->moveCursor(QTextCursor::End);
    filling_ = false;
}

bool CMacroMenuDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == explanation_) {
        if (event->type() == QEvent::FocusIn) model_.explanationFocusIn();
        if (event->type() == QEvent::FocusOut) model_.explanationFocusOut();
    }
    return QDialog::eventFilter(watched, event);
}

void CMacroMenuDlg::done(int result) {
    // What is being typed belongs to its macro, however the menu closes.
    model_.explanationFocusOut();
    QDialog::done(result);
}

void CMacroMenuDlg::closeOn(bool chosen) {
    if (chosen) accept();
}
