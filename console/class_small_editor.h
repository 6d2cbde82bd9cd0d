// SmallClassEditor: what the small-class dialog ("小分類編集") edits, without widgets. It holds
// a working copy of a definition's small classes, the four fields (name, operator, n1, n2), the
// selected row and the rules that enable its buttons; OK hands the copy back, Cancel drops it.
// The dialog's widgets only show this state, and the macro players drive the same methods.
//
// Every action records its own step once it has acted (nothing while a macro plays). The text
// fields record their input when they lose the focus with a text other than the one they had when
// they took it; OK and Cancel first record the input of the field that still has the focus.
// Messages go through the application's Prompts, owned by owner(). Texts are CP932 bytes, the
// name held up to 127 bytes and n1 and n2 up to 255, never cut inside a character; a text with a
// line break is not taken.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/shared_records.h"
#include "console/class_dialog_support.h"

class CKWApp;
class QWidget;

// The tree and list text of one small class: "A"  [1,9], "B"  >=  5.
std::string SmallClassText(const SmallClassDefinition& entry);

class SmallClassEditor {
public:
    enum class Field { None, Name, Operator, Term1, Term2 };

    static constexpr int kNoOperator = -1;

    SmallClassEditor(CKWApp& app, const std::vector<SmallClassDefinition>& target);

    const std::vector<SmallClassDefinition>& working() const { return working_; }
    std::vector<std::string> rowTexts() const;
    // The n1 field's list: the reserved class words in their order.
    const std::vector<std::string>& termChoices() const;

    // --- Fields ---
    const std::string& name() const { return name_; }
    std::int32_t op() const { return op_; }
    const std::string& term1() const { return term1_; }
    const std::string& term2() const { return term2_; }
    bool term2Enabled() const { return op_ >= 6; }
    bool addEnabled() const { return !overwriteEnabled_; }
    bool overwriteEnabled() const { return overwriteEnabled_; }
    // The name typed: add or overwrite, whichever keeps names unique.
    void setName(std::string_view text);
    // The operator list changed (-1 none): records SelectSmallClassOperater, then n2 follows it.
    void selectOperator(std::int32_t index);
    // n1 chosen from its list or typed: a reserved word drops any operator but "=".
    void setTerm1(std::string_view text);
    void setTerm2(std::string_view text);

    // --- Class list ---
    std::int32_t selectedRow() const { return selected_; }
    bool rowActionsEnabled() const { return selected_ >= 0; }
    void selectRow(std::int32_t row);
    void ShowEntry(std::int32_t row);

    // --- Buttons ---
    void OnAdd();
    void OnOverwrite();
    void OnClear();
    void OnUp();
    void OnDown();
    void OnDelete();
    void OnDblclkList();
    // The working copy, to replace the target list.
    std::vector<SmallClassDefinition> OnOK();
    void OnCancel();

    // --- Focus, for recording the typed fields ---
    void focusIn(Field field);
    void focusOut(Field field);
    Field focused() const { return focused_; }
    // Where the last action put the focus; the dialog moves it there.
    Field focusRequest() const { return focusRequest_; }

    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }

private:
    bool checkFields();
    void clearFields();
    void refreshButtons();
    void recordPending();
    // The typed field's text, its recorder and its step; null for the operator list.
    TypedFieldRecord* recordOf(Field field, std::string_view* text, const char** command);

    CKWApp& app_;
    std::vector<SmallClassDefinition> working_;
    std::string name_;
    std::int32_t op_ = kNoOperator;
    std::string term1_;
    std::string term2_;
    bool overwriteEnabled_ = false;
    std::int32_t selected_ = -1;
    Field focused_ = Field::None;
    Field focusRequest_ = Field::None;
    TypedFieldRecord nameRecord_;
    TypedFieldRecord term1Record_;
    TypedFieldRecord term2Record_;
    QWidget* owner_ = nullptr;
};
