#include "macro/work_list_dlg.h"

#include <QApplication>
#include <QHeaderView>
#include <QHideEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTreeView>

#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

namespace {

// The mark of the step that runs next: a yellow arrow pointing right, 16 by 16.
QIcon arrowIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(255, 255, 0));
    const QPointF arrow[] = {{2, 5}, {8, 5}, {8, 1.5}, {14.5, 8}, {8, 14.5}, {8, 11}, {2, 11}};
    painter.drawPolygon(arrow, 7);
    return QIcon(pixmap);
}

QIcon blankIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

}  // namespace

WorkListRows::WorkListRows(const WorkListModel& model, QObject* parent)
    : QAbstractTableModel(parent), model_(model), arrow_(arrowIcon()), blank_(blankIcon()) {}

int WorkListRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : model_.rowCount();
}

int WorkListRows::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant WorkListRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row();
    if (role == Qt::DisplayRole) {
        if (index.column() == 0) {
            const std::string_view caption = model_.caption(row);
            // The command table's caption, in the language in force.
            return zbq::ui::shownText(
                QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
        }
        return zbq::ui::fromCp932(model_.text(row));
    }
    if (role == Qt::DecorationRole && index.column() == 0)
        return row == model_.current() ? arrow_ : blank_;
    return {};
}

QVariant WorkListRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? zbq::ui::shown("ｽﾃｯﾌﾟ名") : zbq::ui::shown("ｺﾏﾝﾄﾞ");
}

void WorkListRows::arrowMoved(int from) {
    for (int row : {from, model_.current()})
        if (row >= 0 && row < model_.rowCount()) emit dataChanged(index(row, 0), index(row, 1));
}

CWorkListDlg::~CWorkListDlg() = default;

// The window system's own show and hide (a minimise, a restore) leave the list running.
void CWorkListDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !owning_)
        owning_ = std::make_unique<zbq::ui::ScopedDialogOwner>(this);
}

void CWorkListDlg::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) owning_.reset();
    QDialog::hideEvent(event);
}

CWorkListDlg::CWorkListDlg(CMacro& macro, int index, QWidget* parent)
    : QDialog(parent),
      model_(macro, index),
      rows_(new WorkListRows(model_, this)),
      list_(new QTreeView(this)),
      step_(new QPushButton(zbq::ui::shown("ステップ"), this)),
      abort_(new QPushButton(zbq::ui::shown("中止"), this)) {
    setWindowTitle(zbq::ui::shown("作業リスト"));
    // Above the other windows from the start: a window whose flags change is hidden, and a
    // hidden dialog's modal loop ends, so the flag is never touched once the list is shown.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setSizeGripEnabled(true);
    list_->setModel(rows_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setItemsExpandable(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setIconSize(QSize(16, 16));
    list_->header()->setSectionsClickable(false);
    list_->header()->setStretchLastSection(false);
    step_->setDefault(true);
    step_->resize(kButtonWidth, kButtonHeight);
    abort_->resize(kButtonWidth, kButtonHeight);
    connect(step_, &QPushButton::clicked, this, &CWorkListDlg::onStep);
    connect(abort_, &QPushButton::clicked, this, &QDialog::reject);

    resize(250, 280);
    placeControls(size());
    if (const QScreen* screen = QApplication::primaryScreen())
        move(10, screen->geometry().height() / 2);
}

void CWorkListDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeControls(event->size());
}

void CWorkListDlg::placeControls(QSize client) {
    list_->setGeometry(10, 10, client.width() - 25, client.height() - 48);
    // The columns share the list's client width, three fifths and two fifths, as it grows.
    const int fifth = list_->contentsRect().width() / 5;
    list_->setColumnWidth(0, 3 * fifth);
    list_->setColumnWidth(1, 2 * fifth);
    abort_->move(client.width() - 100, client.height() - 30);
    step_->move(client.width() - 200, client.height() - 30);
}

void CWorkListDlg::onStep() {
    const int from = model_.current();
    // A long step lets input in through the message pump: a second press must not play the step
    // again before this one has moved on.
    step_->setEnabled(false);
    const WorkListModel::Outcome outcome = model_.step();
    step_->setEnabled(true);
    if (outcome != WorkListModel::Outcome::Next) {
        done(outcome == WorkListModel::Outcome::Done ? Accepted : Rejected);
        return;
    }
    rows_->arrowMoved(from);
    const QModelIndex current = rows_->index(model_.current(), 0);
    list_->selectionModel()->setCurrentIndex(
        current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(rows_->index(from, 0));
    raise();
}
