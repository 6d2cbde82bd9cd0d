#include "macro/macro_menu_model.h"

#include <QFileInfo>

#include "app/ckw_app.h"
#include "app/shown_message.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"

MacroMenuControls macroMenuControls(int selected, int rows, bool recording) {
    const bool row = selected >= 0 && selected < rows;
    MacroMenuControls c;
    c.execute = row;
    c.stepThrough = row && !recording;
    c.rename = row && !recording;
    c.remove = row && !recording;
    c.import = !recording;
    c.up = row && !recording && selected > 0;
    c.down = row && !recording && selected < rows - 1;
    return c;
}

MacroMenuModel::MacroMenuModel(CMacro& macro, int initialRow) : macro_(macro) {
    if (initialRow >= 0 && initialRow < rowCount()) selected_ = initialRow;
    showSelected();
}

int MacroMenuModel::rowCount() const {
    return static_cast<int>(macro_.Macros().size());
}

const std::string& MacroMenuModel::rowName(int row) const {
    return macro_.Macros()[static_cast<std::size_t>(row)].name;
}

MacroMenuControls MacroMenuModel::controls() const {
    return macroMenuControls(selected_, rowCount(), macro_.isRecording());
}

void MacroMenuModel::writeBack() {
    if (edited_ >= 0) macro_.SetExplanation(edited_, editText_);
    edited_ = -1;
}

void MacroMenuModel::showSelected() {
    editText_ = selected_ >= 0 ? macro_.Macros()[static_cast<std::size_t>(selected_)].explanation
                               : std::string();
}

void MacroMenuModel::select(int row) {
    writeBack();
    selected_ = row >= 0 && row < rowCount() ? row : -1;
    showSelected();
}

bool MacroMenuModel::askToRun() {
    return macro_.App().AskYesNo(zbq::app::shownMessage(zbq::app::kRunMacroQuestion,
                                                        {zbq::cp932::toUtf8(rowName(selected_))}));
}

bool MacroMenuModel::execute() {
    if (!controls().execute) return false;
    // No recorder may take the question's answer for a step.
    const CMacro::PlayingScope playing(macro_);
    if (!askToRun()) return false;
    writeBack();
    choice_ = {MacroMenuChoice::Run::Execute, selected_};
    return true;
}

bool MacroMenuModel::stepThrough() {
    if (!controls().stepThrough || !askToRun()) return false;
    writeBack();
    choice_ = {MacroMenuChoice::Run::StepThrough, selected_};
    return true;
}

void MacroMenuModel::removeSelected() {
    if (!controls().remove) return;
    if (!macro_.App().AskYesNo(zbq::app::shownMessage(
            ZBQ_SHOWN("マクロ「%1」を削除します。\n削除してよろしいですか？"),
            {zbq::cp932::toUtf8(rowName(selected_))})))
        return;
    // The explanation in the edit belongs to the macro going away.
    edited_ = -1;
    const int row = selected_;
    macro_.DeleteMacro(row);
    selected_ = -1;
    select(row);
}

void MacroMenuModel::renameSelected() {
    if (!controls().rename) return;
    writeBack();
    const int row = selected_;
    const std::optional<std::string> name = macro_.Screen().askMacroName(rowName(row), row);
    if (name) macro_.RenameMacro(row, *name);
    select(row);
}

void MacroMenuModel::move(int by) {
    const MacroMenuControls c = controls();
    if (!(by < 0 ? c.up : c.down)) return;
    writeBack();
    const int row = selected_;
    macro_.MoveMacro(row, row + by);
    selected_ = -1;
    select(row + by);
}

void MacroMenuModel::import() {
    if (!controls().import) return;
    writeBack();
    zbq::ui::Chooser chooser;
    chooser.kind = zbq::ui::ChooserKind::OpenFile;
    chooser.start = QStringLiteral("*.mcr");
    chooser.filter = zbq::ui::shown("ﾏｸﾛﾌｧｲﾙ (*.mcr)");
    std::optional<QString> path =
        zbq::ui::prompts().choose(macro_.App().windows().mainWindow(), chooser);
    if (!path) return;
    // A name typed without an extension means a macro file.
    if (QFileInfo(*path).suffix().isEmpty()) *path += QStringLiteral(".mcr");
    if (!macro_.ImportMacroFile(path->toStdString())) return;
    selected_ = -1;
    select(-1);
}
