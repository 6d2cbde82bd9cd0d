// CVarCondDlg: "可変条件の入力", the question a step's "???" field asks when it plays: the
// player's prompt, one edit and, for a file, a browse button that opens the mode's chooser
// (var_cond_model.h). With a browse mode the value comes from the chooser alone; without one the
// browse button is gone and the edit is wider. OK refuses an empty value with "入力して下さい｡";
// Escape and the close box answer with an empty text.
//
// VarCondAsker is the ParameterAsker the program installs: it runs this dialog on the main window
// through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>

#include <string>

#include "macro/parameter_asker.h"

class CKWApp;
class QLabel;
class QLineEdit;
class QPushButton;

class CVarCondDlg : public QDialog {
    Q_OBJECT

public:
    CVarCondDlg(CKWApp& app, const QString& prompt, int browseMode, QWidget* parent = nullptr);

    QLabel* promptLabel() const { return prompt_; }
    QLineEdit* valueEdit() const { return edit_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* okButton() const { return ok_; }
    // The accepted value as a step field holds it (CP932; a path in its stored form).
    const std::string& result() const { return result_; }

    // The edit's width and the browse button's left edge, in pixels, of each language's layout
    // (one dialog unit is one and a half pixels across).
    struct Layout {
        int editWidth;
        int browseX;
    };
    static constexpr Layout kJapanese = {282, 294};
    static constexpr Layout kEnglish = {272, 285};
    static constexpr int kBrowseRight = 370;
    static constexpr int kWiderBy = 40;

private:
    void onBrowse();
    void onOk();

    CKWApp& app_;
    int browseMode_;
    std::string chosen_;  // the stored form of the last chosen path
    std::string result_;
    QLabel* prompt_;
    QLineEdit* edit_;
    QPushButton* browse_;
    QPushButton* ok_;
};

class VarCondAsker : public ParameterAsker {
public:
    explicit VarCondAsker(CKWApp& app) : app_(app) {}
    std::string askMacroParameter(std::string_view prompt, std::int32_t browseMode) override;

private:
    CKWApp& app_;
};
