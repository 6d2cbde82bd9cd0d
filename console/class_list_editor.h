// ClassListEditor: what the class list dialog edits at one level, without widgets: the middle
// rows (level 1, "中分類編集") or the large rows (level 0, "大分類編集") of a definition. It holds
// a working copy of the rows, the name field, the member list (the names of the level below in
// first-appearance order, then "Others", then "未定義のデータです") with its selection and the
// selected row; OK hands the copy back, Cancel drops it. The dialog's widgets only show this
// state, and the macro players drive the same methods.
//
// Every action records its own step, named by the level, once it has acted (nothing while a
// macro plays); up and delete record only when they moved or removed a row, down whenever a row
// is selected (the last one stays where it is). The name field records its input as the
// small-class dialog's fields do. Texts are CP932 bytes, held up to 127 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/shared_records.h"
#include "console/class_dialog_support.h"
#include "platform/core/shown_text.h"

class CKWApp;
class QWidget;

class ClassListEditor {
public:
    enum class Level : std::int32_t { Large = 0, Middle = 1 };
    enum class Field { None, Name, Member };

    static constexpr const char* kUndefined =
        ZBQ_SHOWN("未定義のデータです");  // UTF-8; held as CP932

    struct Row {
        std::string text;  // "name"  =  "member"
        bool known;        // the member is one of the choices (image 0), else image 1
    };

    // `choices` the names of the level below in first-appearance order, then "Others".
    ClassListEditor(CKWApp& app, Level level, const std::vector<ClassGrouping>& target,
                    std::vector<std::string> choices);

    Level level() const { return level_; }
    const char* title() const;  // "中分類編集" / "大分類編集" (UTF-8)
    const char* label() const;  // "小分類定義一覧" / "中分類定義一覧" (UTF-8)
    const std::vector<ClassGrouping>& working() const { return working_; }
    std::vector<Row> rows() const;
    // The member list's entries: the choices, then "未定義のデータです".
    const std::vector<std::string>& members() const { return members_; }

    // --- Fields ---
    const std::string& name() const { return name_; }
    void setName(std::string_view text);
    std::int32_t memberIndex() const { return member_; }
    // The selected entry's text; empty without a selection.
    std::string memberText() const;
    // The member list changed (-1 none): records the level's Select…Operator step.
    void selectMember(std::int32_t index);

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
    std::vector<ClassGrouping> OnOK();
    void OnCancel();

    void focusIn(Field field);
    void focusOut(Field field);
    Field focused() const { return focused_; }
    Field focusRequest() const { return focusRequest_; }

    void setOwner(QWidget* owner) { owner_ = owner; }

private:
    // The level's command: `middle` for level 1, `large` for level 0.
    const char* command(const char* middle, const char* large) const;
    bool checkFields();
    void clearFields();

    CKWApp& app_;
    Level level_;
    std::vector<ClassGrouping> working_;
    std::vector<std::string> choices_;
    std::vector<std::string> members_;
    std::string name_;
    std::int32_t member_ = -1;
    std::int32_t selected_ = -1;
    Field focused_ = Field::None;
    Field focusRequest_ = Field::None;
    TypedFieldRecord nameRecord_;
    QWidget* owner_ = nullptr;
};
