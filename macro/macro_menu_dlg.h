// CMacroMenuDlg: "マクロメニュー", the thin widget over MacroMenuModel. It shows the macros in a
// one-column list, the selected macro's explanation in a multi-line edit, and the buttons the
// model enables; every button goes to the model, and Execute and Step through close the menu once
// the model has its choice. Enter outside the explanation executes (default button), a double
// click on a row too; in the explanation Enter makes a new line. The explanation is shown with
// line breaks and kept with CR LF, CP932. Runs through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>

#include "macro/macro_menu_model.h"

class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;

class CMacroMenuDlg : public QDialog {
    Q_OBJECT

public:
    CMacroMenuDlg(CMacro& macro, int initialRow, QWidget* parent = nullptr);

    MacroMenuModel& model() { return model_; }
    const MacroMenuModel& model() const { return model_; }
    QTreeWidget* list() const { return list_; }
    QPlainTextEdit* explanationEdit() const { return explanation_; }
    QPushButton* executeButton() const { return execute_; }
    QPushButton* stepButton() const { return step_; }
    QPushButton* renameButton() const { return rename_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* importButton() const { return import_; }
    QPushButton* closeButton() const { return close_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The list from the macro list, the model's row selected and in view, the control states.
    void refill();
    void updateControls();
    void onSelectionChanged();
    void onExplanationEdited();
    void closeOn(bool chosen);

    MacroMenuModel model_;
    bool filling_ = false;
    QString lastExplanation_;
    QTreeWidget* list_;
    QPlainTextEdit* explanation_;
    QPushButton* execute_;
    QPushButton* step_;
    QPushButton* rename_;
    QPushButton* delete_;
    QPushButton* import_;
    QPushButton* close_;
    QToolButton* up_;
    QToolButton* down_;
};
