#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/olap_page.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QToolButton>

#include "app/main_frame.h"
#include "console/category_frame.h"
#include "console/class_dialogs.h"
#include "console/up_down_edit.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

void RefillingCombo::showPopup() {
    if (refill_) refill_();
    QComboBox::showPopup();
}

// --- Page ---

COlapPage::COlapPage(CKWApp& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      settings_(app),
      display_(new QPushButton(zbq::ui::shown("OLAP表示"), this)),
      xCheck_(new QCheckBox(zbq::ui::shown("X軸→"), this)),
      yCheck_(new QCheckBox(zbq::ui::shown("Y軸↓"), this)),
      xItem_(new QComboBox(this)),
      yItem_(new QComboBox(this)),
      xCateg_(new RefillingCombo([this] { FillCategoryCombo(Axis::X); }, this)),
      yCateg_(new RefillingCombo([this] { FillCategoryCombo(Axis::Y); }, this)),
      xLevel_(new QSlider(Qt::Horizontal, this)),
      yLevel_(new QSlider(Qt::Horizontal, this)),
      zItem_(new QComboBox(this)),
      kind_(new QComboBox(this)),
      percent_(new CUpDownEdit(this)),
      spinUp_(new QToolButton(this)),
      spinDown_(new QToolButton(this)),
      frame_(new COlapFrm(app, this)),
      classDialogs_(std::make_unique<ClassDialogsForEditor>(app)) {
    previousDialogs_ = setCategoryClassDialogs(classDialogs_.get());
    setObjectName(QStringLiteral("olap"));
    (new QLabel(zbq::ui::shown("集計対象値（Z）↓  ％順位↓"), this))
        ->setObjectName(QStringLiteral("zLabel"));
    for (int k = 0; k < 8; ++k)
        kind_->addItem(zbq::ui::shown(OlapAxisSettings::kKinds[k]), k);
    percent_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,3}")), percent_));
    percent_->installEventFilter(this);
    spinUp_->setArrowType(Qt::UpArrow);
    spinDown_->setArrowType(Qt::DownArrow);
    buildAxis(Axis::X);
    buildAxis(Axis::Y);

    connect(zItem_, &QComboBox::activated, this, [this](int index) {
        settings_.selectZItem(index);
        sync();
    });
    connect(kind_, &QComboBox::activated, this, [this](int index) {
        settings_.selectKind(index);
        sync();
    });
    connect(percent_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!updating_) settings_.setPercent(zbq::ui::toCp932(text).value_or(std::string()));
    });
    connect(spinUp_, &QToolButton::clicked, this, [this] {
        settings_.stepPercent(true);
        sync();
    });
    connect(spinDown_, &QToolButton::clicked, this, [this] {
        settings_.stepPercent(false);
        sync();
    });
    connect(display_, &QPushButton::clicked, this, &COlapPage::OnOlapDisplay);
    if (app_.IsDataLoaded()) settings_.FillItemCombos();
    sync();
}

COlapPage::~COlapPage() {
    if (categoryClassDialogs() == classDialogs_.get()) setCategoryClassDialogs(previousDialogs_);
}

void COlapPage::buildAxis(Axis axis) {
    QComboBox* item = itemCombo(axis);
    QSlider* slider = levelSlider(axis);
    slider->setRange(0, OlapAxisSettings::kMaxLevel);
    slider->setPageStep(1);
    slider->setSingleStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    connect(item, &QComboBox::activated, this, [this, axis](int index) {
        settings_.selectItem(axis, index);
        sync();
    });
    connect(categoryCombo(axis), &QComboBox::activated, this, [this, axis](int index) {
        settings_.selectCategory(axis, index);
        sync();
    });
    connect(checkBox(axis), &QCheckBox::clicked, this, [this, axis] {
        settings_.toggleCheck(axis);
        sync();
    });
    // Page moves and the thumb let go record; line moves, Home and End only move.
    connect(slider, &QSlider::actionTriggered, this, [this, axis](int action) {
        if (action == QAbstractSlider::SliderPageStepSub) settings_.moveLevel(axis, 2, 0);
        if (action == QAbstractSlider::SliderPageStepAdd) settings_.moveLevel(axis, 3, 0);
    });
    connect(slider, &QSlider::valueChanged, this, [this, axis](int value) {
        if (!updating_) settings_.setLevel(axis, value);
    });
    connect(slider, &QSlider::sliderReleased, this,
            [this, axis, slider] { settings_.moveLevel(axis, 4, slider->value()); });
}

void COlapPage::FillItemCombos() {
    settings_.FillItemCombos();
    sync();
}

void COlapPage::ClearCategoryCombos() {
    settings_.ClearCategoryCombos();
    sync();
}

void COlapPage::ResetPage() {
    settings_.Reset();
    sync();
}

void COlapPage::FillCategoryCombo(Axis axis) {
    settings_.FillCategoryCombo(axis);
    sync();
}

void COlapPage::OnOlapDisplay() {
    auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow());
    settings_.OnOlapDisplay(
        this, [frame]() -> std::int32_t { return frame ? frame->ShowCrossWindow() : 0; });
    sync();
}

namespace {

// An entry as the user reads it: an item's or a category's name as it stands, the Z list's
// "選択なし" in the language in force.
QString shownEntry(const OlapAxisSettings::Entry& entry) {
    return entry.data == -2 ? zbq::ui::shown(OlapAxisSettings::kNoZ)
                            : zbq::ui::fromCp932(entry.text);
}

}  // namespace

void COlapPage::syncCombo(QComboBox& combo, const OlapAxisSettings::Combo& model) {
    bool same = combo.count() == model.count();
    for (int i = 0; same && i < combo.count(); ++i)
        same = combo.itemData(i).toInt() == model.entries[static_cast<std::size_t>(i)].data &&
               combo.itemText(i) == shownEntry(model.entries[static_cast<std::size_t>(i)]);
    if (!same) {
        combo.clear();
        for (const OlapAxisSettings::Entry& entry : model.entries)
            combo.addItem(shownEntry(entry), entry.data);
    }
    combo.setCurrentIndex(model.selected);
}

void COlapPage::sync() {
    updating_ = true;
    for (Axis axis : {Axis::X, Axis::Y}) {
        syncCombo(*itemCombo(axis), settings_.items(axis));
        syncCombo(*categoryCombo(axis), settings_.categories(axis));
        checkBox(axis)->setChecked(settings_.checked(axis));
        levelSlider(axis)->setValue(settings_.level(axis));
    }
    syncCombo(*zItem_, settings_.zItems());
    kind_->setCurrentIndex(settings_.kind());
    const QString percent = zbq::ui::fromCp932(settings_.percent());
    if (percent_->text() != percent) percent_->setText(percent);
    for (QWidget* control : {static_cast<QWidget*>(percent_), static_cast<QWidget*>(spinUp_),
                             static_cast<QWidget*>(spinDown_)})
        control->setVisible(settings_.percentShown());
    updating_ = false;
}

bool COlapPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == percent_ && event->type() == QEvent::FocusIn) settings_.percentFocusIn();
    if (watched == percent_ && event->type() == QEvent::FocusOut) settings_.percentFocusOut();
    return QWidget::eventFilter(watched, event);
}

void COlapPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int top = 114 * logicalDpiY() / 96;
    const int w = width();
    const int column = std::max(60, (w - 20) / 3);
    display_->setGeometry(8, 6, column - 8, 22);
    xCheck_->setGeometry(8 + column, 6, column - 8, 22);
    yCheck_->setGeometry(8 + 2 * column, 6, column - 8, 22);
    xItem_->setGeometry(8, 32, column - 8, 22);
    xCateg_->setGeometry(8 + column, 32, column - 8, 22);
    xLevel_->setGeometry(8 + 2 * column, 32, column - 8, 22);
    yItem_->setGeometry(8, 58, column - 8, 22);
    yCateg_->setGeometry(8 + column, 58, column - 8, 22);
    yLevel_->setGeometry(8 + 2 * column, 58, column - 8, 22);
    if (auto* label = findChild<QLabel*>(QStringLiteral("zLabel")))
        label->setGeometry(8, 82, column - 8, 8);
    zItem_->setGeometry(8, 86, column - 8, 22);
    kind_->setGeometry(8 + column, 86, column - 8, 22);
    percent_->setGeometry(8 + 2 * column, 86, 40, 22);
    spinUp_->setGeometry(50 + 2 * column, 86, 16, 11);
    spinDown_->setGeometry(50 + 2 * column, 97, 16, 11);
    frame_->setGeometry(0, top, w, std::max(0, height() - top));
}
