// MacroMenuModel: the macro menu without its widgets. It keeps the selected row and the row whose
// explanation the edit holds, says which buttons are enabled, and carries out the buttons on the
// macro object's list: delete, rename (through the screen's name question), up, down, import, and
// the choice of a macro to execute or step through. It runs no macro: the menu closes first and
// the macro object runs the choice after the modal loop has returned. Texts are CP932 unless
// named otherwise. User-interface thread only.
#pragma once

#include <string>

#include "macro/macro_screen.h"

class CMacro;

// Which of the menu's controls are enabled.
struct MacroMenuControls {
    bool execute = false;
    bool stepThrough = false;
    bool rename = false;
    bool remove = false;
    bool import = false;
    bool up = false;
    bool down = false;

    bool operator==(const MacroMenuControls&) const = default;
};

// The enabled controls for a selected row (-1 none) of `rows`, while recording or not.
MacroMenuControls macroMenuControls(int selected, int rows, bool recording);

class MacroMenuModel {
public:
    // Selects `initialRow` when it names a row.
    MacroMenuModel(CMacro& macro, int initialRow);

    int rowCount() const;
    const std::string& rowName(int row) const;
    int selected() const { return selected_; }
    MacroMenuControls controls() const;

    // A selection change: the explanation being edited goes back to its own macro first.
    void select(int row);
    // The explanation edit: what it shows now, what the user typed, and its focus.
    const std::string& editText() const { return editText_; }
    void setEditText(std::string text) { editText_ = std::move(text); }
    void explanationFocusIn() { edited_ = selected_; }
    void explanationFocusOut() { writeBack(); }
    int editedRow() const { return edited_; }

    // Execute and Step through: after the question's Yes the choice is set and true says the
    // menu is to close. Execute keeps the playing flag set while it asks.
    bool execute();
    bool stepThrough();
    MacroMenuChoice choice() const { return choice_; }

    void removeSelected();
    void renameSelected();
    void moveUp() { move(-1); }
    void moveDown() { move(+1); }
    // The open chooser, then the import; no row is selected after one that added macros.
    void import();

private:
    void writeBack();
    void showSelected();
    void move(int by);
    bool askToRun();

    CMacro& macro_;
    int selected_ = -1;
    int edited_ = -1;
    std::string editText_;
    MacroMenuChoice choice_;
};
