#include "platform/ui/qt_prompts.h"

#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zbq::ui {

namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// What closing the box with Esc or its title bar means.
Answer escapeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
            break;
    }
    return Answer::Cancel;
}

// A chooser has one title bar; the caption names the program, the title says what to pick.
QString windowTitle(const Chooser& chooser) {
    if (chooser.caption.isEmpty()) return chooser.title;
    if (chooser.title.isEmpty()) return chooser.caption;
    return chooser.caption + QStringLiteral(" - ") + chooser.title;
}

// The patterns of one name filter: "TEXTファイル(*.txt)" gives {"*.txt"}; a filter without
// parentheses is all pattern.
QStringList patternsOf(const QString& nameFilter) {
    QString inside = nameFilter;
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    if (open >= 0 && close > open) inside = nameFilter.mid(open + 1, close - open - 1);
    return inside.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

}  // namespace

Answer QtPrompts::message(QWidget* parent, const Message& message) {
    // The callers hand the program's Japanese texts; the user reads them in the language in force.
    QMessageBox box(boxIcon(message.icon), shownText(message.caption), shownText(message.text),
                    boxButtons(message.buttons), dialogOwner(parent));
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return escapeAnswer(message.buttons);
    }
}

std::optional<QString> QtPrompts::choose(QWidget* wanted, const Chooser& chooser) {
    QWidget* parent = dialogOwner(wanted);
    const QString title = windowTitle(chooser);
    QString path;
    switch (chooser.kind) {
        case ChooserKind::Folder:
            path = QFileDialog::getExistingDirectory(parent, title, chooser.start);
            break;
        case ChooserKind::OpenFile:
            path = QFileDialog::getOpenFileName(parent, title, chooser.start, chooser.filter);
            break;
        case ChooserKind::SaveFile:
            path = QFileDialog::getSaveFileName(parent, title, chooser.start, chooser.filter);
            break;
        case ChooserKind::OpenFiles:
            if (auto files = chooseFiles(parent, chooser); files) path = files->front();
            break;
    }
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QStringList> QtPrompts::chooseFiles(QWidget* parent, const Chooser& chooser) {
    const QStringList files = QFileDialog::getOpenFileNames(
        dialogOwner(parent), windowTitle(chooser), chooser.start, chooser.filter);
    if (files.isEmpty()) return std::nullopt;
    return files;
}

std::optional<SaveChoice> QtPrompts::chooseSave(QWidget* parent, const Chooser& chooser) {
    QFileDialog dialog(dialogOwner(parent), windowTitle(chooser), chooser.start, chooser.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without a suffix takes the chosen filter's ("TEXTファイル(*.txt)": ".txt"),
    // as the user reading the filter expects.
    const auto suffixFor = [&chooser](const QString& nameFilter) {
        const QStringList patterns = patternsOf(nameFilter);
        if (patterns.size() == 1 && patterns.front().startsWith(QStringLiteral("*.")) &&
            !patterns.front().mid(2).contains(QLatin1Char('*')))
            return patterns.front().mid(2);
        return chooser.defaultSuffix;
    };
    dialog.setDefaultSuffix(suffixFor(dialog.selectedNameFilter()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&](const QString& nameFilter) { dialog.setDefaultSuffix(suffixFor(nameFilter)); });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    const int filter = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    return SaveChoice{files.front(), filter < 0 ? 0 : filter};
}

void QtPrompts::beep() {
    QApplication::beep();
}

}  // namespace zbq::ui
