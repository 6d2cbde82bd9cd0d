// The Prompts service: every message box, file and folder chooser and beep of the programs goes
// through it, so that tests can answer them from a script instead of a person (scripted_prompts.h)
// and no test ever blocks in a modal loop.
//
// prompts() returns the service in force: the Qt implementation (qt_prompts.h) unless another one
// has been installed with setPrompts(). GUI thread only. Choosers return std::nullopt when the
// user cancels; paths are in the operating system's encoding (UTF-8 in a QString).
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace zbq::ui {

enum class Icon { None, Information, Exclamation, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QString text;
    QString caption;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

// OpenFiles lets the user pick several existing files of one folder (chooseFiles).
enum class ChooserKind { Folder, OpenFile, SaveFile, OpenFiles };

struct Chooser {
    ChooserKind kind = ChooserKind::Folder;
    QString caption;  // the window title
    QString title;    // the instruction shown with it
    QString start;    // the folder (or file) preselected; empty for the chooser's own default
    QString filter;   // file choosers: "Text files (*.txt);;All files (*)"; empty for all files
    // Save chooser: the suffix a name typed without one is given ("csv"), unless the chosen
    // filter names a single suffix of its own, which is given instead.
    QString defaultSuffix;
};

// What the save chooser gives: the path and which filter of Chooser::filter was chosen (0 the
// first), which tells the format to write whatever the name ends in.
struct SaveChoice {
    QString path;
    int filter = 0;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows a message box owned by `parent` (may be null; see dialogOwner in modal_runner.h for
    // the window that owns it instead while one is in force) and returns the button pressed.
    // Closing the box without a button answers Cancel, or No when there is no Cancel, or Ok.
    virtual Answer message(QWidget* parent, const Message& message) = 0;
    virtual std::optional<QString> choose(QWidget* parent, const Chooser& chooser) = 0;
    // Several existing files (ChooserKind::OpenFiles), in the order the chooser gives them;
    // never an empty list.
    virtual std::optional<QStringList> chooseFiles(QWidget* parent, const Chooser& chooser) = 0;
    // A save chooser (the kind is taken as SaveFile). This default knows no filter and answers 0;
    // services that show one override it.
    virtual std::optional<SaveChoice> chooseSave(QWidget* parent, const Chooser& chooser);
    // The default system beep (a refused key, say).
    virtual void beep() = 0;

    // Shorthand for message().
    Answer message(QWidget* parent, const QString& text, const QString& caption, Icon icon,
                   Buttons buttons = Buttons::Ok) {
        return message(parent, Message{text, caption, icon, buttons});
    }
};

// The service in force; never null.
Prompts& prompts();
// Installs `service` (not owned; null restores the Qt implementation) and returns the one it
// replaces.
Prompts* setPrompts(Prompts* service);

}  // namespace zbq::ui
