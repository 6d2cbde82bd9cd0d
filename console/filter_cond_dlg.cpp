#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/filter_cond_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/images.h"
#include "console/data_sel_page.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"

namespace {

// An item as the combo offers it; for a Code or MultiAns item, whether its codes order as
// numbers, from the codes the data holds.
FilterItem filterItem(const CKWApp& app, std::int32_t item) {
    FilterItem out{item, app.GetItemName(item), app.GetItemType(item)};
    if (out.type != item_type::kCode && out.type != item_type::kMulti) return out;
    const KW_search& search = app.Search();
    std::vector<std::string_view> codes;
    const std::int32_t count = search.KWgetValueCount(item);
    for (std::int32_t p = KW_POS_FIRST_VALUE; p < count; ++p)
        if (const char* code = search.ValueText(item, p)) codes.emplace_back(code);
    out.codeDigits = codeDigitsOf(codes);
    return out;
}

std::vector<FilterItem> offeredItems(const CKWApp& app) {
    std::vector<FilterItem> items;
    for (std::int32_t item : app.GetConditionItems())
        items.push_back(filterItem(app, item));
    return items;
}

QString latin(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CFilterCondDlg::CFilterCondDlg(CKWApp& app, CDataSelPage& page, std::int32_t mode, std::int32_t row,
                               QWidget* parent)
    : QDialog(parent),
      app_(app),
      page_(page),
      model_(mode == 1
                 ? FilterDialogModel::forEdit(row, app.GetSearchCondition(row),
                                              filterItem(app, app.GetSearchCondition(row).item))
                 : FilterDialogModel::forAdd(offeredItems(app))),
      item_(new QComboBox(this)),
      operator_(new QComboBox(this)),
      value1_(new QLineEdit(this)),
      bound_(new QComboBox(this)),
      value2_(new QLineEdit(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(zbq::ui::shown("ｷｬﾝｾﾙ"), this)) {
    setWindowTitle(zbq::ui::shown("ﾌｨﾙﾀ条件"));
    item_->setObjectName(QStringLiteral("item"));
    operator_->setObjectName(QStringLiteral("operator1"));
    value1_->setObjectName(QStringLiteral("value1"));
    bound_->setObjectName(QStringLiteral("operator2"));
    value2_->setObjectName(QStringLiteral("value2"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(zbq::ui::shown("指定項目名"), this), 0, 0);
    grid->addWidget(item_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(zbq::ui::shown("第１条件"), this), 1, 0);
    grid->addWidget(operator_, 1, 1);
    grid->addWidget(value1_, 1, 2);
    grid->addWidget(new QLabel(zbq::ui::shown("第２条件"), this), 2, 0);
    grid->addWidget(bound_, 2, 1);
    grid->addWidget(value2_, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    if (zbq::ui::englishShown()) {
        // Only the English layout has the value-kind radios: on a Code or MultiAns item they
        // choose whether the value is read as a code or as the code's name.
        auto* kind = new QGroupBox(this);
        kind->setObjectName(QStringLiteral("valueKind"));
        codeNumber_ = new QRadioButton(QStringLiteral("Code/number"), kind);
        text_ = new QRadioButton(QStringLiteral("Text"), kind);
        codeNumber_->setObjectName(QStringLiteral("codeNumber"));
        text_->setObjectName(QStringLiteral("text"));
        auto* radios = new QHBoxLayout(kind);
        radios->addWidget(codeNumber_);
        radios->addWidget(text_);
        connect(codeNumber_, &QRadioButton::clicked, this, [this] { OnCodeStr(0); });
        connect(text_, &QRadioButton::clicked, this, [this] { OnCodeStr(1); });
        layout->addWidget(kind);
    }
    layout->addLayout(buttons);
    ok_->setDefault(true);

    value1_->installEventFilter(this);
    value2_->installEventFilter(this);
    connect(item_, &QComboBox::activated, this, &CFilterCondDlg::OnSelchangeItem);
    connect(operator_, &QComboBox::activated, this, &CFilterCondDlg::OnSelchangeCondition1);
    connect(bound_, &QComboBox::activated, this, &CFilterCondDlg::OnSelchangeCondition2);
    connect(value1_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setValue1(zbq::ui::toCp932(text).value_or(std::string()));
    });
    connect(value2_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setValue2(zbq::ui::toCp932(text).value_or(std::string()));
    });
    connect(ok_, &QPushButton::clicked, this, &CFilterCondDlg::OnOK);
    connect(cancel_, &QPushButton::clicked, this, &CFilterCondDlg::OnCancel);

    if (mode == 1) {
        app_.Record(StepBuilder("DispEditFilterDialog").number(row));
        CKWApp::SuppressGuard filling(app_, Suppress::Filter);
        display(model_);
    } else {
        app_.Record(StepBuilder("DispAddFilterDialog"));
        display(model_);
    }
}

// The widgets take the model's state; their signals of the user's changes stay quiet.
void CFilterCondDlg::display(const FilterDialogModel& m) {
    filling_ = true;
    item_->clear();
    for (const FilterItem& item : m.items())
        item_->addItem(zbq::zbqImage(zbq::kItemImages, item.type), zbq::ui::fromCp932(item.name),
                       item.item);
    item_->setCurrentIndex(m.itemIndex());
    operator_->clear();
    for (const std::string& text : m.operatorTexts())
        operator_->addItem(latin(text));
    operator_->setCurrentIndex(m.operatorIndex());
    bound_->clear();
    if (m.itemIndex() >= 0)
        for (const std::string& text : FilterDialogModel::boundTexts())
            bound_->addItem(latin(text));
    bound_->setCurrentIndex(m.boundIndex());
    if (zbq::ui::toCp932(value1_->text()).value_or(std::string()) != m.value1())
        value1_->setText(zbq::ui::fromCp932(m.value1()));
    if (zbq::ui::toCp932(value2_->text()).value_or(std::string()) != m.value2())
        value2_->setText(zbq::ui::fromCp932(m.value2()));
    item_->setEnabled(m.enabled(FilterControl::Item));
    operator_->setEnabled(m.enabled(FilterControl::Operator));
    value1_->setEnabled(m.enabled(FilterControl::Value1));
    bound_->setEnabled(m.enabled(FilterControl::Bound));
    value2_->setEnabled(m.enabled(FilterControl::Value2));
    if (codeNumber_ && text_) {
        // Neither is checked until a choice is made, which exclusive radios cannot show.
        const std::int32_t shown = m.codeStrShown();
        codeNumber_->setAutoExclusive(false);
        text_->setAutoExclusive(false);
        codeNumber_->setChecked(shown == 0);
        text_->setChecked(shown == 1);
        codeNumber_->setAutoExclusive(true);
        text_->setAutoExclusive(true);
    }
    filling_ = false;
}

void CFilterCondDlg::OnSelchangeItem(std::int32_t comboIndex) {
    if (!app_.IsSuppressed(Suppress::Filter))
        app_.Record(StepBuilder("InputFilterItem").number(comboIndex));
    model_.selectItem(comboIndex);
    display(model_);
}

void CFilterCondDlg::OnSelchangeCondition1(std::int32_t index) {
    model_.selectOperator(index);
    display(model_);
    if (!app_.IsSuppressed(Suppress::Filter))
        app_.Record(StepBuilder("SelectFilterOperater1").number(index));
}

void CFilterCondDlg::OnSelchangeCondition2(std::int32_t index) {
    model_.selectBound(index);
    display(model_);
    if (!app_.IsSuppressed(Suppress::Filter))
        app_.Record(StepBuilder("SelectFilterOperater2").number(index));
}

void CFilterCondDlg::OnCodeStr(std::int32_t flag) {
    model_.selectCodeStr(flag);
    display(model_);
    if (!app_.IsSuppressed(Suppress::Filter))
        app_.Record(StepBuilder("SelectCodeStr").number(flag));
}

void CFilterCondDlg::SetValue1(const std::string& text) {
    model_.setValue1(text);
    display(model_);
}

void CFilterCondDlg::SetValue2(const std::string& text) {
    model_.setValue2(text);
    display(model_);
}

std::int32_t CFilterCondDlg::itemCount() const {
    return item_->count();
}
std::int32_t CFilterCondDlg::operatorCount() const {
    return operator_->count();
}
std::int32_t CFilterCondDlg::boundCount() const {
    return bound_->count();
}

QWidget* CFilterCondDlg::control(FilterControl id) const {
    switch (id) {
        case FilterControl::Item:
            return item_;
        case FilterControl::Operator:
            return operator_;
        case FilterControl::Bound:
            return bound_;
        case FilterControl::Value1:
            return value1_;
        case FilterControl::Value2:
            return value2_;
    }
    return nullptr;
}

bool CFilterCondDlg::OnOK() {
    model_.setValue1(zbq::ui::toCp932(value1_->text()).value_or(std::string()));
    model_.setValue2(zbq::ui::toCp932(value2_->text()).value_or(std::string()));
    if (const std::optional<FilterRefusal> refusal = model_.check()) {
        zbq::ui::prompts().message(this, QString::fromUtf8(refusal->message),
                                   QString::fromUtf8(CKWApp::kCaption), refusal->icon);
        if (QWidget* w = control(refusal->control)) w->setFocus();
        return false;
    }
    {
        CKWApp::SuppressGuard storing(app_, Suppress::Filter);
        const SearchCondition c = model_.stored();
        if (model_.mode() == 1) {
            std::vector<SearchCondition> all = app_.GetSearchConditions();
            if (model_.index() >= 0 && static_cast<std::size_t>(model_.index()) < all.size()) {
                SearchCondition& target = all[static_cast<std::size_t>(model_.index())];
                target.op = c.op;
                target.value1 = c.value1;
                target.upperInclusive = c.upperInclusive;
                target.value2 = c.value2;
                target.valueKind = c.valueKind;
                app_.SetSearchConditions(std::move(all));
            }
        } else {
            app_.AddSearchCondition(c);
        }
        page_.FillConditions();
    }
    finishFocusedValue();
    app_.Record(StepBuilder("OKFilterDialog"));
    QDialog::accept();
    return true;
}

void CFilterCondDlg::OnCancel() {
    finishFocusedValue();
    app_.Record(StepBuilder("CancelFilterDialog"));
    QDialog::reject();
}

// The user's modal dialog closes as Cancel does; a player's is only taken away.
void CFilterCondDlg::closeEvent(QCloseEvent* event) {
    if (!playerOpened_) {
        QDialog::closeEvent(event);
        return;
    }
    event->accept();
    hide();
    deleteLater();
}

// --- Recording the value boxes ---

bool CFilterCondDlg::eventFilter(QObject* watched, QEvent* event) {
    const int box = watched == value1_ ? 0 : watched == value2_ ? 1 : -1;
    if (box >= 0) {
        if (event->type() == QEvent::FocusIn) valueEntered(box);
        if (event->type() == QEvent::FocusOut) valueLeft(box);
    }
    return QDialog::eventFilter(watched, event);
}

void CFilterCondDlg::valueEntered(int box) {
    if (!app_.macro().isRecording()) return;
    const QLineEdit* edit = box == 0 ? value1_ : value2_;
    entered_[box] = zbq::ui::toCp932(edit->text()).value_or(std::string());
    enteredFlag_[box] = true;
}

void CFilterCondDlg::valueLeft(int box) {
    if (!app_.macro().isRecording() || !enteredFlag_[box]) return;
    const QLineEdit* edit = box == 0 ? value1_ : value2_;
    const std::string text = zbq::ui::toCp932(edit->text()).value_or(std::string());
    enteredFlag_[box] = false;
    if (text == entered_[box] || app_.IsSuppressed(Suppress::Filter)) return;
    app_.Record(StepBuilder(box == 0 ? "InputFilterTerm1" : "InputFilterTerm2")
                    .textOrAsk(text, app_.macro().isVariable()));
}

void CFilterCondDlg::finishFocusedValue() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == value1_) valueLeft(0);
    if (focus == value2_) valueLeft(1);
    // Offscreen, a box may hold the dialog's focus without the application's.
    if (focus != value1_ && focus != value2_) {
        if (focusWidget() == value1_) valueLeft(0);
        if (focusWidget() == value2_) valueLeft(1);
    }
}
