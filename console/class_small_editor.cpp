#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/class_small_editor.h"
#include "platform/core/shown_text.h"

#include <algorithm>
#include <utility>

namespace {

bool isReserved(const CKWApp& app, std::string_view text) {
    const std::vector<std::string>& words = app.GetReservedWords();
    return std::find(words.begin(), words.end(), text) != words.end();
}

}  // namespace

std::string SmallClassText(const SmallClassDefinition& entry) {
    static const char* const kSymbols[] = {"=", "!", ">=", ">", "<=", "<"};
    static const char* const kOpen[] = {"[", "(", "[", "("};
    static const char* const kClose[] = {"]", "]", ")", ")"};
    std::string text = "\"" + entry.name + "\"  ";
    if (entry.op >= 0 && entry.op <= 5) {
        text += kSymbols[entry.op];
        text += "  " + entry.value1;
    } else if (entry.op >= 6 && entry.op <= 9) {
        text += kOpen[entry.op - 6] + entry.value1 + "," + entry.value2 + kClose[entry.op - 6];
    }
    return text;
}

SmallClassEditor::SmallClassEditor(CKWApp& app, const std::vector<SmallClassDefinition>& target)
    : app_(app), working_(target) {
    app_.Record(StepBuilder("DispEditSmallClassDialog"));
}

std::vector<std::string> SmallClassEditor::rowTexts() const {
    std::vector<std::string> texts;
    for (const SmallClassDefinition& entry : working_)
        texts.push_back(SmallClassText(entry));
    return texts;
}

const std::vector<std::string>& SmallClassEditor::termChoices() const {
    return app_.GetReservedWords();
}

// --- Fields ---

void SmallClassEditor::setName(std::string_view text) {
    name_ = HeldClassText(text, name_, kClassNameHeld);
    refreshButtons();
}

void SmallClassEditor::refreshButtons() {
    overwriteEnabled_ =
        std::any_of(working_.begin(), working_.end(),
                    [this](const SmallClassDefinition& entry) { return entry.name == name_; });
}

void SmallClassEditor::selectOperator(std::int32_t index) {
    if (index < kNoOperator || index > 9) index = kNoOperator;
    app_.Record(StepBuilder("SelectSmallClassOperater").number(index));
    op_ = index;
    if (op_ < 6) {
        term2_.clear();
        if (op_ >= 1 && isReserved(app_, term1_)) term1_.clear();
    }
}

void SmallClassEditor::setTerm1(std::string_view text) {
    term1_ = HeldClassText(text, term1_, kClassValueHeld);
    if (isReserved(app_, term1_) && op_ > 0) op_ = kNoOperator;
}

void SmallClassEditor::setTerm2(std::string_view text) {
    term2_ = HeldClassText(text, term2_, kClassValueHeld);
}

// --- Class list ---

void SmallClassEditor::selectRow(std::int32_t row) {
    selected_ = row >= 0 && row < static_cast<std::int32_t>(working_.size()) ? row : -1;
}

void SmallClassEditor::ShowEntry(std::int32_t row) {
    if (row < 0 || row >= static_cast<std::int32_t>(working_.size())) return;
    const SmallClassDefinition entry = working_[static_cast<std::size_t>(row)];
    setName(entry.name);
    term1_ = entry.value1;
    term2_ = entry.op >= 6 ? entry.value2 : std::string();
    op_ = entry.op >= 0 && entry.op <= 9 ? entry.op : kNoOperator;
}

// --- Buttons ---

bool SmallClassEditor::checkFields() {
    struct Rule {
        bool failed;
        const char* message;
        Field focus;
    };
    const Rule rules[] = {
        {name_.empty(), ZBQ_SHOWN("名称を入力して下さい"), Field::Name},
        {op_ < 0, ZBQ_SHOWN("条件を入力して下さい"), Field::Operator},
        {term1_.empty(), ZBQ_SHOWN("Ｘの値を入力して下さい"), Field::Term1},
        {op_ >= 6 && term2_.empty(), ZBQ_SHOWN("Ｙの値を入力して下さい"), Field::Term2},
    };
    for (const Rule& rule : rules) {
        if (!rule.failed) continue;
        ShowClassFieldMessage(owner_, rule.message);
        focusRequest_ = rule.focus;
        return false;
    }
    return true;
}

void SmallClassEditor::clearFields() {
    name_.clear();
    term1_.clear();
    term2_.clear();
    op_ = kNoOperator;
    refreshButtons();
    focusRequest_ = Field::Name;
}

void SmallClassEditor::OnAdd() {
    if (!checkFields()) return;
    working_.push_back(SmallClassDefinition{name_, op_, term1_, term2_});
    clearFields();
    app_.Record(StepBuilder("AddSmallClass"));
}

void SmallClassEditor::OnOverwrite() {
    if (!checkFields()) return;
    const auto it =
        std::find_if(working_.begin(), working_.end(),
                     [this](const SmallClassDefinition& entry) { return entry.name == name_; });
    if (it != working_.end()) *it = SmallClassDefinition{name_, op_, term1_, term2_};
    clearFields();
    app_.Record(StepBuilder("EditSmallClass"));
}

void SmallClassEditor::OnClear() {
    clearFields();
    app_.Record(StepBuilder("ClearSmallClass"));
}

void SmallClassEditor::OnUp() {
    const std::int32_t row = selected_;
    if (row < 1) return;
    std::swap(working_[static_cast<std::size_t>(row - 1)], working_[static_cast<std::size_t>(row)]);
    selected_ = row - 1;
    app_.Record(StepBuilder("UpSmallClass").number(row));
}

void SmallClassEditor::OnDown() {
    const std::int32_t row = selected_;
    if (row < 0 || row + 1 >= static_cast<std::int32_t>(working_.size())) return;
    std::swap(working_[static_cast<std::size_t>(row)], working_[static_cast<std::size_t>(row + 1)]);
    selected_ = row + 1;
    app_.Record(StepBuilder("DownSmallClass").number(row));
}

void SmallClassEditor::OnDelete() {
    const std::int32_t row = selected_;
    if (row < 0) return;
    working_.erase(working_.begin() + row);
    selected_ = -1;
    app_.Record(StepBuilder("DeleteSmallClass").number(row));
}

void SmallClassEditor::OnDblclkList() {
    if (selected_ >= 0) {
        ShowEntry(selected_);
        app_.Record(StepBuilder("DispSmallClass").number(selected_));
    }
    overwriteEnabled_ = true;
    focusRequest_ = Field::Name;
}

std::vector<SmallClassDefinition> SmallClassEditor::OnOK() {
    recordPending();
    app_.Record(StepBuilder("OKSmallClassDialog"));
    return working_;
}

void SmallClassEditor::OnCancel() {
    recordPending();
    app_.Record(StepBuilder("CancelSmallClassDialog"));
}

// --- Focus ---

TypedFieldRecord* SmallClassEditor::recordOf(Field field, std::string_view* text,
                                             const char** command) {
    switch (field) {
        case Field::Name:
            *text = name_;
            *command = "InputSmallClassName";
            return &nameRecord_;
        case Field::Term1:
            *text = term1_;
            *command = "InputSmallClassTerm1";
            return &term1Record_;
        case Field::Term2:
            *text = term2_;
            *command = "InputSmallClassTerm2";
            return &term2Record_;
        default:
            return nullptr;
    }
}

void SmallClassEditor::focusIn(Field field) {
    focused_ = field;
    std::string_view text;
    const char* command = nullptr;
    if (TypedFieldRecord* record = recordOf(field, &text, &command)) record->focusIn(app_, text);
}

void SmallClassEditor::focusOut(Field field) {
    if (focused_ == field) focused_ = Field::None;
    std::string_view text;
    const char* command = nullptr;
    if (TypedFieldRecord* record = recordOf(field, &text, &command))
        record->focusOut(app_, text, command);
}

void SmallClassEditor::recordPending() {
    std::string_view text;
    const char* command = nullptr;
    if (TypedFieldRecord* record = recordOf(focused_, &text, &command))
        record->focusOut(app_, text, command);
}
