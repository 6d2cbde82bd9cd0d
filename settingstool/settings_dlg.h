// CSettingsDlg: the settings tool's main dialog. It shows the link folder and the format-printing
// list of a SettingsModel and runs the tool's commands: Save (also the default button, so Enter
// saves unless a list editor has the focus), Browse, Add, Edit, Delete, Help and About, from the
// buttons and the menu bar alike. Close and Esc leave without saving and without asking. When
// another program changed the tool's two sections since they were read, or writes the file while
// the Save replaces it, Save asks before it overwrites them: Yes overwrites, No writes nothing
// and shows the file as it is now, Cancel writes nothing and keeps the list as it stands.
//
// Every message goes through the Prompts service and the entry and About dialogs through the
// modal runner, so a test drives the whole dialog. GUI thread only.
#pragma once

#include "settingstool/settings_model.h"

#include <QDialog>

#include <cstddef>
#include <string>

class QAction;
class QLineEdit;
class QPushButton;

namespace zbq::settings {

class CPrintFormatList;

class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSettingsDlg(QWidget* parent = nullptr);

    // Reads the settings file, reporting the first refused entries one by one and the count of
    // the rest in one more box. False, after its message, when the file is missing or unreadable:
    // the tool then ends.
    bool start(const std::string& iniPath);

    // Refused entries shown in a box of their own at a load; the others are counted in one.
    static constexpr std::size_t kRefusalsShown = 5;

    SettingsModel& model() { return model_; }
    CPrintFormatList* list() const { return list_; }

    // The commands.
    void save();
    void browse();
    void add();
    void edit();
    void remove();
    void help();
    void about();

    // Save needs a link folder; Edit and Delete need a selected row.
    void updateControls();

    // The help file: the program folder, the tool's base name and ".chm".
    static QString helpFilePath();

    void accept() override;  // OK is Save

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool showLoaded(const SettingsModel::LoadResult& loaded);
    void buildMenu();
    void information(int id);

    SettingsModel model_;
    QLineEdit* linkFolder_ = nullptr;
    CPrintFormatList* list_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* editAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    bool columnsSpread_ = false;
};

}  // namespace zbq::settings
