#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/molap_page.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/images.h"
#include "app/main_frame.h"
#include "console/drag_item_list.h"
#include "console/unit_set_dlg.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/prompts.h"

namespace {

// A text of ours as the user reads it (language.h).
QString u(const char* utf8) {
    return zbq::ui::shown(utf8);
}

QAction* addMenuItem(QMenu& menu, std::int32_t id, const char* caption, bool enabled = true) {
    QAction* action = menu.addAction(u(caption));
    action->setData(id);
    action->setEnabled(enabled);
    return action;
}

// Radios of one group shown unchecked: the group is not exclusive for the moment.
void uncheckAll(QButtonGroup* group) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

}  // namespace

COlap2Page::COlap2Page(CKWApp& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      settings_(app),
      toX_(new QPushButton(u("X軸へ"), this)),
      toY_(new QPushButton(u("Y軸へ"), this)),
      toSum_(new QPushButton(u("集計へ"), this)),
      decimals_(new QComboBox(this)),
      execute_(new QPushButton(u("実行"), this)),
      clear_(new QPushButton(u("クリア"), this)) {
    setObjectName(QStringLiteral("molap"));
    for (MolapList role : {MolapList::Items, MolapList::X, MolapList::Y, MolapList::Sum}) {
        auto* l = new COlapItemList(role, this);
        l->setTypeOf([&app](std::int32_t item) { return app.GetItemType(item); });
        lists_[static_cast<std::size_t>(role)] = l;
        connectList(l);
    }
    static const char* const xCaptions[3] = {ZBQ_SHOWN("X 計を表示をしない"),
                                             ZBQ_SHOWN("X 総計を表示"),
                                             ZBQ_SHOWN("X 中間計と総計を表示")};
    static const char* const yCaptions[3] = {ZBQ_SHOWN("Y 計を表示をしない"),
                                             ZBQ_SHOWN("Y 総計を表示"),
                                             ZBQ_SHOWN("Y 中間計と総計を表示")};
    auto* xGroup = new QButtonGroup(this);
    auto* yGroup = new QButtonGroup(this);
    xGroup->setObjectName(QStringLiteral("xTotals"));
    yGroup->setObjectName(QStringLiteral("yTotals"));
    for (int mode = 0; mode < 3; ++mode) {
        xTotals_[static_cast<std::size_t>(mode)] = new QRadioButton(u(xCaptions[mode]), this);
        yTotals_[static_cast<std::size_t>(mode)] = new QRadioButton(u(yCaptions[mode]), this);
        xGroup->addButton(xTotals_[static_cast<std::size_t>(mode)], mode);
        yGroup->addButton(yTotals_[static_cast<std::size_t>(mode)], mode);
    }
    auto* kindGroup = new QButtonGroup(this);
    kindGroup->setObjectName(QStringLiteral("kinds"));
    for (int kind = 0; kind < MolapSettings::kKindCount; ++kind) {
        kinds_[static_cast<std::size_t>(kind)] =
            new QRadioButton(u(MolapSettings::kKinds[kind]), this);
        kindGroup->addButton(kinds_[static_cast<std::size_t>(kind)], kind);
    }
    for (int places = 0; places <= MolapSettings::kMaxDecimals; ++places)
        decimals_->addItem(QString::number(places));

    toX_->setIcon(zbq::zbqImage(zbq::kToXImage));
    toY_->setIcon(zbq::zbqImage(zbq::kToYImage));
    toSum_->setIcon(zbq::zbqImage(zbq::kToSumImage));
    connect(toX_, &QPushButton::clicked, this, [this] { OnCopyTo(MolapList::X); });
    connect(toY_, &QPushButton::clicked, this, [this] { OnCopyTo(MolapList::Y); });
    connect(toSum_, &QPushButton::clicked, this, [this] { OnCopyTo(MolapList::Sum); });
    connect(xGroup, &QButtonGroup::idClicked, this, [this](int mode) {
        settings_.SetXTotalMode(mode);
        sync();
    });
    connect(yGroup, &QButtonGroup::idClicked, this, [this](int mode) {
        settings_.SetYTotalMode(mode);
        sync();
    });
    connect(kindGroup, &QButtonGroup::idClicked, this, &COlap2Page::OnKind);
    connect(decimals_, &QComboBox::activated, this, [this](int index) {
        settings_.SetDecimalPlaces(index);
        sync();
    });
    connect(execute_, &QPushButton::clicked, this, &COlap2Page::OnExecute);
    connect(clear_, &QPushButton::clicked, this, &COlap2Page::OnClear);

    // The item list and its buttons on the left, the three lists on the right, then the
    // radios, the decimals and the two buttons.
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {toX_, toY_, toSum_})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* axes = new QVBoxLayout;
    for (MolapList role : {MolapList::X, MolapList::Y, MolapList::Sum})
        axes->addWidget(list(role), 1);
    auto* top = new QHBoxLayout;
    top->addWidget(list(MolapList::Items), 1);
    top->addLayout(buttons);
    top->addLayout(axes, 1);
    auto* radios = new QGridLayout;
    for (int mode = 0; mode < 3; ++mode) {
        radios->addWidget(xTotals_[static_cast<std::size_t>((mode + 1) % 3)], mode, 0);
        radios->addWidget(yTotals_[static_cast<std::size_t>((mode + 1) % 3)], mode, 1);
    }
    auto* kindRow = new QHBoxLayout;
    for (QRadioButton* r : kinds_)
        kindRow->addWidget(r);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(u("表示小数点以下桁数"), this));
    bottom->addWidget(decimals_);
    bottom->addStretch();
    bottom->addWidget(execute_);
    bottom->addWidget(clear_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(kindRow);
    layout->addLayout(radios);
    layout->addLayout(bottom);

    if (app_.IsDataLoaded()) settings_.FillItemList();
    sync();
}

void COlap2Page::connectList(COlapItemList* l) {
    const MolapList role = l->role();
    connect(l, &COlapItemList::rowsDropped, this,
            [this, role](MolapList source, const std::vector<int>& rows) {
                const char* message = settings_.drop(source, role, rows);
                sync();
                if (message) showRefusal(message);
            });
    connect(l, &COlapItemList::deleteReleased, this, [this, l] {
        settings_.removeRows(l->role(), l->selectedRows());
        sync();
    });
    connect(l, &COlapItemList::menuRequested, this, [this, role] { OnContextMenu(role); });
    if (role == MolapList::Sum) {
        connect(l, &COlapItemList::rowsClicked, this, [this, l] {
            settings_.selectSumRows(l->selectedRows());
            syncRadios();
        });
    } else {
        connect(l, &COlapItemList::focused, this, [this] {
            settings_.ClearKindRadios();
            syncRadios();
        });
    }
}

QPushButton* COlap2Page::copyButton(MolapList target) const {
    return target == MolapList::X ? toX_ : target == MolapList::Y ? toY_ : toSum_;
}

QRadioButton* COlap2Page::totalRadio(MolapList axis, std::int32_t mode) const {
    return (axis == MolapList::X ? xTotals_ : yTotals_)[static_cast<std::size_t>(mode)];
}

void COlap2Page::showRefusal(const char* message) {
    zbq::ui::prompts().message(this, u(message), u(CKWApp::kCaption), zbq::ui::Icon::Exclamation);
}

// --- The application's and the players' calls ---

void COlap2Page::FillItemList() {
    settings_.FillItemList();
    sync();
}

void COlap2Page::ResetLists() {
    settings_.ResetLists();
    sync();
}

void COlap2Page::EnableExecute(bool enable) {
    settings_.EnableExecute(enable);
    sync();
}

void COlap2Page::OnExecute() {
    // A build in progress (the window's own or a drill's rebuild) waits in a nested loop: a new
    // window would pull the running one away from under it.
    if (app_.IsAddingData()) return;
    const char* message = nullptr;
    const std::optional<MolapParams> params = settings_.collect(&message);
    sync();
    if (!params) {
        showRefusal(message);
        return;
    }
    const QPointer<COlap2Page> self(this);
    if (auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow()))
        frame->ShowMolapWindow(*params);
    // The window's build has ended when the frame returns (it waits for it); without a window
    // "実行" must not stay disabled.
    if (self) EnableExecute(true);
}

void COlap2Page::OnClear() {
    settings_.Clear();
    sync();
}

// --- The user's actions ---

void COlap2Page::OnCopyTo(MolapList target) {
    const std::vector<int> rows = list(MolapList::Items)->selectedRows();
    const char* message = nullptr;
    if (target == MolapList::Sum)
        settings_.copyToSum(rows);
    else
        message = settings_.copyToAxis(target, rows);
    sync();
    if (message) showRefusal(message);
}

void COlap2Page::OnKind(std::int32_t kind) {
    settings_.chooseKind(kind);
    sync();
}

std::int32_t COlap2Page::choose(QMenu& menu, std::int32_t menuNumber) {
    if (chooser_) return chooser_(menu, menuNumber);
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

void COlap2Page::OnContextMenu(MolapList l) {
    const std::vector<int> rows = list(l)->selectedRows();
    if (settings_.dateMenuFor(l, rows)) dateMenu(l, rows.front());
    if (l == MolapList::Sum && settings_.unitMenuFor(rows)) unitMenu(rows.front());
}

// Year and month together come only from a macro: the menu does not offer it.
void COlap2Page::dateMenu(MolapList l, int row) {
    QMenu menu(this);
    addMenuItem(menu, kMenuNoGrouping, "年/月/日");
    addMenuItem(menu, kMenuYear, "年");
    addMenuItem(menu, kMenuMonth, "月");
    addMenuItem(menu, kMenuDay, "日");
    addMenuItem(menu, kMenuHalf, "半期");
    addMenuItem(menu, kMenuQuarter, "四半期");
    std::int32_t code = -1;
    switch (choose(menu, 226)) {
        case kMenuNoGrouping:
            code = 0;
            break;
        case kMenuYear:
            code = 1;
            break;
        case kMenuMonth:
            code = 2;
            break;
        case kMenuDay:
            code = 3;
            break;
        case kMenuQuarter:
            code = 5;
            break;
        case kMenuHalf:
            code = 6;
            break;
        default:
            return;
    }
    settings_.setGrouping(l, row, code);
    sync();
}

void COlap2Page::unitMenu(int row) {
    const auto [unit, rounding] = settings_.unitOf(row);
    QMenu menu(this);
    addMenuItem(menu, kMenuUnitSet, "単位の設定");
    addMenuItem(menu, kMenuUnitClear, "単位設定の解除", unit != 0);
    const std::int32_t chosen = choose(menu, 227);
    if (chosen == kMenuUnitClear && unit != 0) {
        settings_.clearUnit(row);
        sync();
        return;
    }
    if (chosen != kMenuUnitSet) return;
    CUnitSetDlg dialog(UnitSetting{unit, rounding}, this);
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return;
    settings_.setUnit(row, dialog.setting().unit, dialog.setting().rounding);
    sync();
}

// --- Showing the model ---

void COlap2Page::syncRadios() {
    const bool outer = updating_;
    updating_ = true;
    const MolapSettings::KindRadios& radios = settings_.kindRadios();
    uncheckAll(kinds_.front()->group());
    for (int kind = 0; kind < MolapSettings::kKindCount; ++kind) {
        QRadioButton* r = kinds_[static_cast<std::size_t>(kind)];
        r->setEnabled(radios.enabled[static_cast<std::size_t>(kind)]);
        r->setChecked(radios.checked == kind);
    }
    updating_ = outer;
}

void COlap2Page::sync() {
    updating_ = true;
    for (COlapItemList* l : lists_)
        l->showRows(settings_.rows(l->role()));
    totalRadio(MolapList::X, settings_.totalMode(MolapList::X))->setChecked(true);
    totalRadio(MolapList::Y, settings_.totalMode(MolapList::Y))->setChecked(true);
    decimals_->setCurrentIndex(settings_.decimals());
    execute_->setEnabled(settings_.executeEnabled());
    syncRadios();
    updating_ = false;
}
