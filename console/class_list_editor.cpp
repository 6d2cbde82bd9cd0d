#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/class_list_editor.h"

#include <algorithm>
#include <utility>

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

ClassListEditor::ClassListEditor(CKWApp& app, Level level, const std::vector<ClassGrouping>& target,
                                 std::vector<std::string> choices)
    : app_(app), level_(level), working_(target), choices_(std::move(choices)) {
    members_ = choices_;
    members_.push_back(zbq::cp932::literal(kUndefined));
    app_.Record(StepBuilder(command("DispEditMiddleClassDialog", "DispEditLargeClassDialog")));
}

const char* ClassListEditor::command(const char* middle, const char* large) const {
    return level_ == Level::Middle ? middle : large;
}

const char* ClassListEditor::title() const {
    return command(ZBQ_SHOWN("中分類編集"), ZBQ_SHOWN("大分類編集"));
}

const char* ClassListEditor::label() const {
    return command(ZBQ_SHOWN("小分類定義一覧"), ZBQ_SHOWN("中分類定義一覧"));
}

std::vector<ClassListEditor::Row> ClassListEditor::rows() const {
    std::vector<Row> out;
    for (const ClassGrouping& row : working_) {
        const bool known =
            std::find(choices_.begin(), choices_.end(), row.member) != choices_.end();
        out.push_back(Row{"\"" + row.name + "\"  =  \"" + row.member + "\"", known});
    }
    return out;
}

// --- Fields ---

void ClassListEditor::setName(std::string_view text) {
    name_ = HeldClassText(text, name_, kClassNameHeld);
}

std::string ClassListEditor::memberText() const {
    return member_ >= 0 ? members_[static_cast<std::size_t>(member_)] : std::string();
}

void ClassListEditor::selectMember(std::int32_t index) {
    member_ = index >= 0 && index < static_cast<std::int32_t>(members_.size()) ? index : -1;
    app_.Record(StepBuilder(command("SelectMiddleClassOperator", "SelectLargeClassOperator"))
                    .number(member_));
}

// --- Class list ---

void ClassListEditor::selectRow(std::int32_t row) {
    selected_ = row >= 0 && row < static_cast<std::int32_t>(working_.size()) ? row : -1;
}

// The member's own entry, so that an overwrite after showing a row keeps its member; a member
// that is no choice shows the last entry.
void ClassListEditor::ShowEntry(std::int32_t row) {
    if (row < 0 || row >= static_cast<std::int32_t>(working_.size())) return;
    const ClassGrouping& entry = working_[static_cast<std::size_t>(row)];
    name_ = entry.name;
    const auto it = std::find(choices_.begin(), choices_.end(), entry.member);
    member_ = it != choices_.end() ? static_cast<std::int32_t>(it - choices_.begin())
                                   : static_cast<std::int32_t>(members_.size()) - 1;
}

// --- Buttons ---

bool ClassListEditor::checkFields() {
    if (name_.empty()) {
        ShowClassFieldMessage(owner_, ZBQ_SHOWN("名称を入力して下さい"));
        focusRequest_ = Field::Name;
        return false;
    }
    if (memberText().empty()) {
        ShowClassFieldMessage(owner_, ZBQ_SHOWN("定義を入力して下さい"));
        focusRequest_ = Field::Member;
        return false;
    }
    return true;
}

void ClassListEditor::clearFields() {
    name_.clear();
    member_ = -1;
    focusRequest_ = Field::Name;
}

void ClassListEditor::OnAdd() {
    if (!checkFields()) return;
    working_.push_back(ClassGrouping{name_, memberText()});
    clearFields();
    app_.Record(StepBuilder(command("AddMiddleClass", "AddLargeClass")));
}

void ClassListEditor::OnOverwrite() {
    if (!checkFields() || selected_ < 0) return;
    working_[static_cast<std::size_t>(selected_)] = ClassGrouping{name_, memberText()};
    clearFields();
    app_.Record(StepBuilder(command("EditMiddleClass", "EditLargeClass")));
}

void ClassListEditor::OnClear() {
    clearFields();
    app_.Record(StepBuilder(command("ClearMiddleClass", "ClearLargeClass")));
}

void ClassListEditor::OnUp() {
    const std::int32_t row = selected_;
    if (row < 1) return;
    std::swap(working_[static_cast<std::size_t>(row - 1)], working_[static_cast<std::size_t>(row)]);
    selected_ = row - 1;
    app_.Record(StepBuilder(command("UpMiddleClass", "UpLargeClass")).number(row));
}

void ClassListEditor::OnDown() {
    const std::int32_t row = selected_;
    if (row < 0) return;
    // The last row stays where it is; its step is written all the same, and replays as nothing.
    if (row + 1 < static_cast<std::int32_t>(working_.size())) {
        std::swap(working_[static_cast<std::size_t>(row)],
                  working_[static_cast<std::size_t>(row + 1)]);
        selected_ = row + 1;
    }
    app_.Record(StepBuilder(command("DownMiddleClass", "DownLargeClass")).number(row));
}

void ClassListEditor::OnDelete() {
    const std::int32_t row = selected_;
    if (row < 0) return;
    working_.erase(working_.begin() + row);
    selected_ = -1;
    app_.Record(StepBuilder(command("DleteMiddleClass", "DeleteLargeClass")).number(row));
}

void ClassListEditor::OnDblclkList() {
    if (selected_ >= 0) {
        ShowEntry(selected_);
        app_.Record(StepBuilder(command("DispMiddleClass", "DispLargeClass")).number(selected_));
    }
    focusRequest_ = Field::Name;
}

std::vector<ClassGrouping> ClassListEditor::OnOK() {
    if (focused_ == Field::Name)
        nameRecord_.focusOut(app_, name_, command("InputMiddleClassName", "InputLargeClassName"));
    app_.Record(StepBuilder(command("OKMiddleClassDialog", "OKLargeClassDialog")));
    return working_;
}

void ClassListEditor::OnCancel() {
    if (focused_ == Field::Name)
        nameRecord_.focusOut(app_, name_, command("InputMiddleClassName", "InputLargeClassName"));
    app_.Record(StepBuilder(command("CancelMiddleClassDialog", "CancelLargeClassDialog")));
}

void ClassListEditor::focusIn(Field field) {
    focused_ = field;
    if (field == Field::Name) nameRecord_.focusIn(app_, name_);
}

void ClassListEditor::focusOut(Field field) {
    if (focused_ == field) focused_ = Field::None;
    if (field == Field::Name)
        nameRecord_.focusOut(app_, name_, command("InputMiddleClassName", "InputLargeClassName"));
}
