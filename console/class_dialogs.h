// The class-list dialogs of the category editor, thin widgets over their editors:
// CMinorCategoryDlg ("小分類編集") over SmallClassEditor, CCategoryListDlg ("中分類編集" /
// "大分類編集") over ClassListEditor. The editor's buttons open them modally through the modal
// runner (RunSmallClassDialog, RunClassListDialog); the macro players open them without a modal
// loop (Open…ForPlayer) and end them with PlayOK / PlayCancel. OK hands the working copy to the
// dialog's commit function; a dialog the user closes deletes itself, so the frame's guarded
// reference to it reads as not open.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "app/shared_records.h"
#include "console/category_class_dialogs.h"
#include "console/category_editor.h"
#include "console/class_list_editor.h"
#include "console/class_small_editor.h"

class CKWApp;
class CMainFrame;
class COlapFormView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CMinorCategoryDlg : public QDialog {
    Q_OBJECT

public:
    using Commit = std::function<void(const std::vector<SmallClassDefinition>&)>;

    CMinorCategoryDlg(CKWApp& app, const std::vector<SmallClassDefinition>& target, Commit commit,
                      QWidget* parent = nullptr);

    SmallClassEditor& editor() { return editor_; }
    const SmallClassEditor& editor() const { return editor_; }
    // The widgets show the editor again (after a player changed it).
    void sync();
    // "登録" and "ｷｬﾝｾﾙ" as their buttons do.
    void OnOK();
    void OnCancel();
    // Runs once a player ended the dialog.
    void setRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }
    void runRefresh() const {
        if (refresh_) refresh_();
    }

    QLineEdit* nameEdit() const { return name_; }
    QComboBox* operatorList() const { return operator_; }
    QComboBox* term1Combo() const { return term1_; }
    QLineEdit* term2Edit() const { return term2_; }
    QTreeWidget* list() const { return list_; }
    QPushButton* button(const char* caption) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override { OnCancel(); }

private:
    void act(void (SmallClassEditor::*action)());

    SmallClassEditor editor_;
    Commit commit_;
    std::function<void()> refresh_;
    bool updating_ = false;
    QLineEdit* name_;
    QComboBox* operator_;
    QComboBox* term1_;
    QLineEdit* term2_;
    QTreeWidget* list_;
    std::vector<QPushButton*> buttons_;
};

class CCategoryListDlg : public QDialog {
    Q_OBJECT

public:
    using Commit = std::function<void(const std::vector<ClassGrouping>&)>;

    CCategoryListDlg(CKWApp& app, ClassListEditor::Level level,
                     const std::vector<ClassGrouping>& target, std::vector<std::string> choices,
                     Commit commit, QWidget* parent = nullptr);

    ClassListEditor& editor() { return editor_; }
    const ClassListEditor& editor() const { return editor_; }
    void sync();
    void OnOK();
    void OnCancel();
    void setRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }
    void runRefresh() const {
        if (refresh_) refresh_();
    }

    QLineEdit* nameEdit() const { return name_; }
    QComboBox* memberList() const { return member_; }
    QTreeWidget* list() const { return list_; }
    QPushButton* button(const char* caption) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override { OnCancel(); }

private:
    void act(void (ClassListEditor::*action)());

    ClassListEditor editor_;
    Commit commit_;
    std::function<void()> refresh_;
    bool updating_ = false;
    QLabel* label_;
    QLineEdit* name_;
    QComboBox* member_;
    QTreeWidget* list_;
    std::vector<QPushButton*> buttons_;
};

// --- The category editor's buttons: modal, through the modal runner ---
// `classes` edited; true when OK replaced them.
bool RunSmallClassDialog(CKWApp& app, std::vector<SmallClassDefinition>& classes, QWidget* parent);
// The middle (Level::Middle) or large rows edited, `choices` the names of the level below and
// "Others"; true when OK replaced them.
bool RunClassListDialog(CKWApp& app, std::vector<ClassGrouping>& rows,
                        std::vector<std::string> choices, ClassListEditor::Level level,
                        QWidget* parent);

// The category editor's class buttons open these dialogs through this hook, which the cross-tab
// page installs for its lifetime.
class ClassDialogsForEditor : public CategoryClassDialogs {
public:
    explicit ClassDialogsForEditor(CKWApp& app) : app_(app) {}
    void EditSmallClasses(QWidget* parent, std::vector<SmallClassDefinition>& classes,
                          const std::vector<std::string>& reservedWords) override;
    void EditClassRows(QWidget* parent, std::vector<ClassGrouping>& rows,
                       const std::vector<std::string>& choices, std::int32_t level) override;

private:
    CKWApp& app_;
};

// --- The macro players: without a modal loop, registered with the frame ---
// `classes` (or `rows`) must outlive the dialog: the category editor's edited definition.
// `refresh` runs after PlayClose… ended the dialog (the editor's RefreshTree). Opening a class
// list dialog drops the frame's reference to one of the other level: one class list dialog is
// open for a macro.
CMinorCategoryDlg* OpenSmallClassDialogForPlayer(CKWApp& app, CMainFrame& frame,
                                                 std::vector<SmallClassDefinition>& classes,
                                                 std::function<void()> refresh);
CCategoryListDlg* OpenClassListDialogForPlayer(CKWApp& app, CMainFrame& frame,
                                               std::vector<ClassGrouping>& rows,
                                               std::vector<std::string> choices,
                                               ClassListEditor::Level level,
                                               std::function<void()> refresh);
// The DispEdit…ClassDialog steps: the dialog of `level` opened on the category editor's
// definition (member choices from the editor), the editor's tree rebuilt once a macro ends it.
QDialog* OpenClassDialogOnEditor(CKWApp& app, CMainFrame& frame, COlapFormView& editor,
                                 ClassLevel level);
// The open dialog's OK or Cancel, then the dialog forgotten by the frame, the refresh run and
// the dialog closed (it deletes itself).
void PlayCloseSmallClassDialog(CMainFrame& frame, CMinorCategoryDlg& dialog, bool ok);
void PlayCloseClassListDialog(CMainFrame& frame, CCategoryListDlg& dialog, bool ok);
