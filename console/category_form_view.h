// COlapFormView: the category editor, the lower pane of the OLAP page's category frame: the
// name field, the value-type list (a blank entry, then "Universal" to "Code": entry k + 1 is
// value type k), the class tree and the buttons. A thin widget over CategoryEditor.
//
// Handlers are public methods that take their arguments explicitly and record their own steps
// (ClearCategory, ResetCategory, EntryCategory, SelectCategoryType, InputCategoryName,
// ImportCategory); the editor's own rebuild records nothing. Clear, reset, the class buttons and
// register act only while a data set is loaded; import, the type list and the name field always.
// A check that fails shows its message in an exclamation box and marks the faulty node. The
// class buttons open the dialogs through the CategoryClassDialogs hook. UI thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

#include "console/category_editor.h"

class CategorySet;
class CKWApp;
class COlapFrm;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class COlapFormView : public QWidget {
    Q_OBJECT

public:
    enum Button : int {
        kImport = 1063,
        kLarge = 1009,
        kSmall = 1007,
        kMiddle = 1008,
        kReset = 1005,
        kRegister = 1006,
        kClear = 1004,
    };

    COlapFormView(COlapFrm& frame, QWidget* parent = nullptr);

    // A new set: the form is cleared as by the clear button, but nothing is recorded.
    void SetCategorySet(CategorySet* set);
    void LoadCategory(std::int32_t index);
    void RefreshTree();
    // The form as the screen reset leaves it: cleared, the blank type applied; not recorded.
    void ResetForm();

    // Type list entry 0 to 7 chosen: the value type applied to the classes, recorded.
    void OnSelchangeType(std::int32_t entry);
    void OnClear();
    void OnReset();
    void OnRegister();
    void OnImport();
    void OnEditSmallClass();
    void OnEditMiddleClass();
    void OnEditLargeClass();
    // The name field's text (CP932) as typed; cut to 64 bytes on a character boundary.
    void SetNameText(std::string_view name);
    void OnNameFocusIn();
    void OnNameFocusOut();

    const CategoryEditor& model() const { return model_; }
    CategoryEditor& model() { return model_; }
    std::string NameText() const;
    std::int32_t TypeEntry() const;

    QLineEdit* nameEdit() const { return name_; }
    QComboBox* typeList() const { return type_; }
    QTreeWidget* tree() const { return tree_; }
    QPushButton* button(Button id) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clearForm();
    void showDefinition();
    void showName(const std::string& name);
    void showTree();
    void applyType(bool record);
    void report(const std::optional<CategoryCheckFailure>& failure) const;
    void editRows(ClassLevel level);
    bool loaded() const;

    COlapFrm& frame_;
    CKWApp& app_;
    CategorySet* set_ = nullptr;
    CategoryEditor model_;
    QLineEdit* name_;
    QComboBox* type_;
    QTreeWidget* tree_;
    std::vector<std::pair<Button, QPushButton*>> buttons_;
    std::string focusName_;
    bool refreshing_ = false;
    bool showingName_ = false;
};
