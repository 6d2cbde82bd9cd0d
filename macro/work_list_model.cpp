#include "macro/work_list_model.h"

#include "app/ckw_app.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/command_table.h"

WorkListModel::WorkListModel(CMacro& macro, int index) : macro_(macro) {
    if (index >= 0 && index < static_cast<int>(macro.Macros().size()))
        steps_ = macro.Macros()[static_cast<std::size_t>(index)].steps;
    commands_.reserve(steps_.size());
    StepFields fields;
    for (const std::string& step : steps_) {
        SplitStepText(step, ',', fields);
        commands_.push_back(fields.empty() ? std::string() : fields[0]);
    }
}

std::string_view WorkListModel::caption(int row) const {
    return GetCommandCaption(commands_[static_cast<std::size_t>(row)]);
}

WorkListModel::Outcome WorkListModel::step() {
    if (current_ >= rowCount()) return Outcome::Done;
    if (!macro_.ExecuteStep(steps_[static_cast<std::size_t>(current_)])) return Outcome::Stopped;
    if (++current_ < rowCount()) return Outcome::Next;
    macro_.App().ShowInformation("マクロの実行が完了しました。");
    return Outcome::Done;
}
