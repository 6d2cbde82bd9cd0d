// The filter dialog's widgets; every rule lives in MolapFilterModel.
#include "windows/molap_filter_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/ckw_app.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

namespace zbq::windows {
namespace {

constexpr int kColourItemHeight = 18;

// A colour list's entry is its colour alone; the selected one carries a one-pixel frame in the
// inverse colour so it stays visible on any of the five.
class ColourItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QColor colour = index.data(Qt::UserRole).value<QColor>();
        painter->fillRect(option.rect, colour);
        const bool selected = option.state & QStyle::State_Selected;
        const QColor frame =
            selected ? QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue())
                     : colour;
        painter->setPen(frame);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kColourItemHeight};
    }
};

QString text(const std::string& cp932) {
    return ui::fromCp932(cp932);
}

}  // namespace

CFilterDlg::CFilterDlg(CKWApp& app, const FilterConditions& conditions, QWidget* parent)
    : QDialog(parent), app_(app), model_(conditions) {
    setWindowTitle(ui::shown("フィルター"));
    auto* layout = new QVBoxLayout(this);
    auto* rows = new QGridLayout;
    auto* delegate = new ColourItemDelegate(this);
    // The console's search conditions have the same Japanese and another English.
    const QString labels[] = {
        ui::shown("第１条件", "aggregation filter"), ui::shown("第２条件", "aggregation filter"),
        ui::shown("第３条件", "aggregation filter"), ui::shown("第４条件", "aggregation filter"),
        ui::shown("第５条件", "aggregation filter")};
    for (std::int32_t k = 0; k < MolapFilterModel::kRows; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const MolapFilterModel::Row& r = model_.row(k);
        auto* ops = operators_[i] = new QComboBox(this);
        for (const std::string& entry : MolapFilterModel::operatorEntries(k))
            ops->addItem(ui::shownCp932(entry));
        ops->setCurrentIndex(r.operatorIndex);
        auto* from = froms_[i] = new QLineEdit(text(r.from), this);
        auto* to = tos_[i] = new QLineEdit(text(r.to), this);
        auto* colours = colours_[i] = new QComboBox(this);
        colours->setItemDelegate(delegate);
        for (const QRgb rgb : kMolapFilterColours) {
            QPixmap swatch(32, kColourItemHeight - 6);
            swatch.fill(QColor(rgb));
            colours->addItem(QIcon(swatch), QString(), QColor(rgb));
        }
        colours->setCurrentIndex(r.colour);
        ops->setObjectName(QStringLiteral("operator%1").arg(k + 1));
        from->setObjectName(QStringLiteral("from%1").arg(k + 1));
        to->setObjectName(QStringLiteral("to%1").arg(k + 1));
        colours->setObjectName(QStringLiteral("colour%1").arg(k + 1));
        rows->addWidget(new QLabel(labels[k], this), k, 0);
        rows->addWidget(ops, k, 1);
        rows->addWidget(from, k, 2);
        rows->addWidget(to, k, 3);
        rows->addWidget(colours, k, 4);
        showEnabled(k);
        connect(ops, &QComboBox::currentIndexChanged, this, [this, k](int index) {
            model_.setOperatorIndex(k, index);
            showEnabled(k);
        });
    }
    layout->addLayout(rows);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ui::shown("実行"), QDialogButtonBox::AcceptRole);
    buttons->addButton(ui::shown("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFilterDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFilterDlg::reject);
    layout->addWidget(buttons);
}

void CFilterDlg::showEnabled(std::int32_t k) {
    const auto i = static_cast<std::size_t>(k);
    froms_[i]->setEnabled(model_.row(k).fromEnabled);
    tos_[i]->setEnabled(model_.row(k).toEnabled);
}

void CFilterDlg::readRows() {
    for (std::int32_t k = 0; k < MolapFilterModel::kRows; ++k) {
        const auto i = static_cast<std::size_t>(k);
        model_.setColour(k, colours_[i]->currentIndex());
        // A character CP932 cannot hold reads as nothing typed, which OK then refuses.
        model_.setFrom(k, ui::toCp932(froms_[i]->text()).value_or(std::string()));
        model_.setTo(k, ui::toCp932(tos_[i]->text()).value_or(std::string()));
    }
}

void CFilterDlg::accept() {
    readRows();
    const std::string refusal = model_.refusal();
    if (!refusal.empty()) {
        app_.ShowError(refusal);
        return;
    }
    QDialog::accept();
}

}  // namespace zbq::windows
