#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/category_form_view.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/images.h"
#include "console/category_class_dialogs.h"
#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/state_image_delegate.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/shown_bytes.h"

namespace {

constexpr const char* kTypeEntries[] = {"",     "Universal", "Integer", "Float",
                                        "Date", "Time",      "String",  "Code"};
constexpr const char* kRoots[] = {ZBQ_SHOWN("小分類項目"), ZBQ_SHOWN("中分類項目"),
                                  ZBQ_SHOWN("大分類項目")};
// A class node's picture in the value-type set.
constexpr int kClassNodeImage = 7;

struct ButtonInfo {
    COlapFormView::Button id;
    const char* caption;
    int y;
};
constexpr ButtonInfo kButtons[] = {
    {COlapFormView::kSmall, ZBQ_SHOWN("小分類編集"), 45},
    {COlapFormView::kMiddle, ZBQ_SHOWN("中分類編集"), 65},
    {COlapFormView::kLarge, ZBQ_SHOWN("大分類編集"), 85},
    {COlapFormView::kRegister, ZBQ_SHOWN("ｶﾃｺﾞﾘｰへ登録"), 105},
    {COlapFormView::kClear, ZBQ_SHOWN("ｸﾘｱ"), 135},
    {COlapFormView::kReset, ZBQ_SHOWN("ﾘｾｯﾄ"), 155},
    {COlapFormView::kImport, ZBQ_SHOWN("定義のｲﾝﾎﾟｰﾄ"), 175},
};

}  // namespace

COlapFormView::COlapFormView(COlapFrm& frame, QWidget* parent)
    : QWidget(parent),
      frame_(frame),
      app_(frame.app()),
      model_(frame.app().GetReservedWords()),
      name_(new QLineEdit(this)),
      type_(new QComboBox(this)),
      tree_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("categoryEditor"));
    auto* nameLabel = new QLabel(zbq::ui::shown("名称　"), this);
    auto* typeLabel = new QLabel(zbq::ui::shown("ﾀｲﾌﾟ"), this);
    nameLabel->setGeometry(10, 12, 40, 19);
    name_->setGeometry(50, 10, 160, 21);
    typeLabel->setGeometry(220, 12, 30, 19);
    type_->setGeometry(252, 10, 110, 21);
    for (const char* entry : kTypeEntries)
        type_->addItem(QString::fromLatin1(entry));
    type_->setCurrentIndex(-1);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setItemDelegate(new StateImageDelegate(zbq::kClassMarks, tree_));
    for (const ButtonInfo& info : kButtons) {
        auto* button = new QPushButton(zbq::ui::shown(info.caption), this);
        buttons_.emplace_back(info.id, button);
    }
    name_->installEventFilter(this);
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const std::optional<std::string> bytes = zbq::ui::toCp932(text);
        if (!bytes || bytes->size() > kCategoryNameTyped ||
            bytes->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
            // What CP932 cannot hold, more than the field takes, or a line break that no
            // category file could hold, is not typed in.
            zbq::ui::prompts().beep();
            SetNameText(std::string(model_.definition().name));
            return;
        }
        model_.definition().name = *bytes;
    });
    connect(type_, &QComboBox::activated, this, [this](int entry) { OnSelchangeType(entry); });
    connect(button(kClear), &QPushButton::clicked, this, [this] { OnClear(); });
    connect(button(kReset), &QPushButton::clicked, this, [this] { OnReset(); });
    connect(button(kRegister), &QPushButton::clicked, this, [this] { OnRegister(); });
    connect(button(kImport), &QPushButton::clicked, this, [this] { OnImport(); });
    connect(button(kSmall), &QPushButton::clicked, this, [this] { OnEditSmallClass(); });
    connect(button(kMiddle), &QPushButton::clicked, this, [this] { OnEditMiddleClass(); });
    connect(button(kLarge), &QPushButton::clicked, this, [this] { OnEditLargeClass(); });
}

QPushButton* COlapFormView::button(Button id) const {
    for (const auto& [which, button] : buttons_)
        if (which == id) return button;
    return nullptr;
}

bool COlapFormView::loaded() const {
    return app_.IsDataLoaded() != 0;
}

std::string COlapFormView::NameText() const {
    return zbq::ui::toCp932(name_->text()).value_or(std::string());
}

std::int32_t COlapFormView::TypeEntry() const {
    return type_->currentIndex();
}

// --- Showing the definition ---

void COlapFormView::SetCategorySet(CategorySet* set) {
    model_.setReservedWords(app_.GetReservedWords());
    clearForm();
    set_ = set;
}

void COlapFormView::LoadCategory(std::int32_t index) {
    if (!set_ || !set_->GetAt(index)) return;
    model_.Load(set_->ElementAt(index), index);
    showDefinition();
}

void COlapFormView::RefreshTree() {
    model_.Refresh();
    showDefinition();
}

void COlapFormView::ResetForm() {
    clearForm();
    type_->setCurrentIndex(0);
    refreshing_ = true;
    applyType(false);
    refreshing_ = false;
}

void COlapFormView::showDefinition() {
    // A loaded name may be longer than a typed one (up to 127 bytes): it is shown whole.
    showName(model_.definition().name);
    const std::int32_t type = model_.definition().valueType;
    type_->setCurrentIndex(type >= 0 && type <= 6 ? type + 1 : 0);
    refreshing_ = true;
    applyType(false);
    refreshing_ = false;
}

void COlapFormView::showTree() {
    tree_->clear();
    if (!model_.hasRoots()) return;
    const QIcon typeImage = zbq::zbqImage(zbq::kValueTypeImages, model_.definition().valueType);
    const QIcon classImage = zbq::zbqImage(zbq::kValueTypeImages, kClassNodeImage);
    for (int level = 0; level < 3; ++level) {
        auto* root = new QTreeWidgetItem(tree_, {zbq::ui::shown(kRoots[level])});
        root->setIcon(0, typeImage);
        QList<QTreeWidgetItem*> children;
        for (const CategoryNode& node : model_.nodes(static_cast<ClassLevel>(level))) {
            auto* child =
                new QTreeWidgetItem({zbq::ui::fromCp932(node.words.shown(&zbq::ui::shownBytes))});
            child->setData(0, Qt::UserRole, node.marked);
            child->setIcon(0, classImage);
            child->setData(0, StateImageDelegate::kStateImageRole, node.marked ? 1 : 0);
            children.append(child);
        }
        root->addChildren(children);
        root->setExpanded(true);
    }
}

void COlapFormView::applyType(bool record) {
    const std::int32_t entry = type_->currentIndex();
    const std::optional<CategoryCheckFailure> failure = model_.ApplyType(
        CategorySet::KeywordToValueType(entry > 0 ? kTypeEntries[entry] : std::string_view()));
    showTree();
    report(failure);
    if (record) app_.Record(StepBuilder("SelectCategoryType").number(entry));
}

void COlapFormView::report(const std::optional<CategoryCheckFailure>& failure) const {
    if (failure && !failure->message.empty()) app_.ShowError(failure->message);
}

// --- Handlers ---

void COlapFormView::OnSelchangeType(std::int32_t entry) {
    if (entry < 0 || entry >= type_->count()) return;
    type_->setCurrentIndex(entry);
    applyType(!refreshing_);
}

void COlapFormView::clearForm() {
    model_.Clear();
    SetNameText({});
    type_->setCurrentIndex(-1);
    tree_->clear();
}

void COlapFormView::OnClear() {
    if (!loaded()) return;
    clearForm();
    app_.Record(StepBuilder("ClearCategory"));
}

void COlapFormView::OnReset() {
    if (!loaded()) return;
    // An index the set no longer reaches (its definition deleted) reloads nothing.
    if (model_.index() >= 0 && set_ && set_->GetAt(model_.index())) LoadCategory(model_.index());
    app_.Record(StepBuilder("ResetCategory"));
}

void COlapFormView::OnRegister() {
    if (!loaded() || !set_) return;
    const std::string name = model_.definition().name;
    if (name.empty()) return;
    if (const std::optional<CategoryCheckFailure> failure =
            CheckCategory(model_.definition(), model_.reservedWords())) {
        report(failure);
        return;
    }
    set_->AddOrReplace(model_.definition());
    frame_.list()->FillList();
    app_.ResetOlapPages();
    app_.Record(StepBuilder("EntryCategory"));
}

void COlapFormView::OnImport() {
    if (const std::optional<std::string> path = frame_.ChooseImportFile())
        frame_.ImportCategory(*path, false);
}

void COlapFormView::OnEditSmallClass() {
    CategoryClassDialogs* dialogs = categoryClassDialogs();
    if (!loaded() || !dialogs) return;
    dialogs->EditSmallClasses(this, model_.definition().smallClasses, model_.reservedWords());
    RefreshTree();
}

void COlapFormView::OnEditMiddleClass() {
    editRows(ClassLevel::Middle);
}

void COlapFormView::OnEditLargeClass() {
    editRows(ClassLevel::Large);
}

void COlapFormView::editRows(ClassLevel level) {
    CategoryClassDialogs* dialogs = categoryClassDialogs();
    if (!loaded() || !dialogs) return;
    const bool middle = level == ClassLevel::Middle;
    CategoryDefinition& d = model_.definition();
    dialogs->EditClassRows(this, middle ? d.middleClasses : d.largeClasses,
                           model_.memberChoices(level), middle ? 1 : 0);
    RefreshTree();
}

// --- The name field ---

void COlapFormView::SetNameText(std::string_view name) {
    showName(std::string(zbq::cp932::cut(name, kCategoryNameTyped)));
}

void COlapFormView::showName(const std::string& name) {
    model_.definition().name = name;
    const QString text = zbq::ui::fromCp932(name);
    if (name_->text() != text) name_->setText(text);
}

void COlapFormView::OnNameFocusIn() {
    focusName_ = NameText();
}

void COlapFormView::OnNameFocusOut() {
    const std::string text = NameText();
    if (text == focusName_) return;
    focusName_ = text;
    app_.Record(StepBuilder("InputCategoryName").textOrAsk(text, app_.macro().isVariable()));
}

bool COlapFormView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == name_) {
        if (event->type() == QEvent::FocusIn) OnNameFocusIn();
        if (event->type() == QEvent::FocusOut) OnNameFocusOut();
    }
    return QWidget::eventFilter(watched, event);
}

void COlapFormView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int x = width() - 105;
    for (const ButtonInfo& info : kButtons)
        if (QPushButton* b = button(info.id)) b->setGeometry(x, info.y, 92, 19);
    tree_->setGeometry(10, 45, std::max(0, width() - 128), std::max(0, height() - 65));
}
