// Playing macros: runs from the menu, at start-up and nested by ExeMacro, and the dispatcher that
// plays one step from the command table.
#include <algorithm>
#include <charconv>

#include "app/ckw_app.h"
#include "app/shown_message.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

// Restores a flag or counter whatever way the scope is left.
template <typename T>
class Restore {
public:
    explicit Restore(T& value) : value_(value), saved_(value) {}
    ~Restore() { value_ = saved_; }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& value_;
    T saved_;
};

// clang-format off
constexpr const char* kNotRegistered = ZBQ_SHOWN("コマンド[%1]のパラメータのマクロ[%2]は登録されていません。\nマクロの実行を中止します。");
// clang-format on

std::string promptText(const ParameterAsk& ask, const StepFields& fields) {
    // The prompt in the language in force; its "%d" is filled there.
    std::string prompt = zbq::app::shownMessage(ask.prompt, {});
    const std::size_t at = prompt.find("%d");
    if (at != std::string::npos) {
        char digits[16];
        const std::int32_t n = fields.size() > 1 ? ReadStepInt(fields[1]) : 0;
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        prompt.replace(at, 2, digits, static_cast<std::size_t>(end - digits));
    }
    return prompt;
}

}  // namespace

std::int32_t CMacro::RunMacroFromMenu(int index) {
    if (index < 0 || index >= static_cast<int>(macros_.size())) return 0;
    Restore<std::int32_t> playing(playing_);
    playing_ = 1;
    if (!app_.AskYesNo(zbq::app::shownMessage(
            zbq::app::kRunMacroQuestion,
            {zbq::cp932::toUtf8(macros_[static_cast<std::size_t>(index)].name)})))
        return 0;
    app_.ResetScreen();
    return RunMacro(index);
}

std::int32_t CMacro::RunChosenMacro(int index) {
    if (index < 0 || index >= static_cast<int>(macros_.size())) return 0;
    const PlayingScope playing(*this);
    app_.ResetScreen();
    return RunMacro(index);
}

void CMacro::OpenMacroMenu(int row) {
    // The menu has closed when it returns: the run never starts inside one of its handlers.
    const MacroMenuChoice choice = screen_->openMacroMenu(row);
    switch (choice.run) {
        case MacroMenuChoice::Run::Execute:
            RunChosenMacro(choice.index);
            break;
        case MacroMenuChoice::Run::StepThrough:
            if (choice.index < 0 || choice.index >= static_cast<int>(macros_.size())) break;
            app_.ResetScreen();
            StepMacro(choice.index);
            break;
        case MacroMenuChoice::Run::None:
            break;
    }
}

std::int32_t CMacro::StepMacro(int index) {
    if (index >= 0 && index < static_cast<int>(macros_.size())) screen_->openWorkList(index);
    return 1;
}

std::int32_t CMacro::runSteps(const std::string& name, const std::vector<std::string>& steps) {
    Restore<int> depth(runDepth_);
    ++runDepth_;
    running_.push_back(name);
    std::int32_t result = 1;
    for (const std::string& step : steps) {
        if (!ExecuteStep(step)) {
            result = 0;
            break;
        }
    }
    running_.pop_back();
    return result;
}

std::int32_t CMacro::RunMacro(int index) {
    if (index < 0 || index >= static_cast<int>(macros_.size())) return 0;
    // The run keeps its own copy: a step may change the list it came from.
    const MacroRecord macro = macros_[static_cast<std::size_t>(index)];
    if (!runSteps(macro.name, macro.steps)) return 0;
    if (nested_) return 1;
    if (recording_) RecExeMacro(macro.name);
    app_.ShowInformation("マクロの実行が完了しました。");
    return 1;
}

std::int32_t CMacro::RunAutoOpenMacro() {
    const int index = FindMacro("auto_open");
    if (index < 0) return 0;
    const MacroRecord macro = macros_[static_cast<std::size_t>(index)];
    if (!runSteps(macro.name, macro.steps)) return 0;
    app_.ShowInformation("マクロ「auto_open」の実行が完了しました。");
    return 1;
}

std::int32_t CMacro::PlayExeMacro(StepFields& fields) {
    if (!CheckParameterCount(2, static_cast<std::int32_t>(fields.size()), "ExeMacro")) return 0;
    const std::string& name = fields[1];
    const int index = FindMacro(name);
    if (index < 0) {
        app_.ShowError(zbq::app::shownMessage(
            kNotRegistered, {zbq::cp932::toUtf8(fields[0]), zbq::cp932::toUtf8(name)}));
        return 0;
    }
    // A macro that would run itself again would never end.
    if (std::find(running_.begin(), running_.end(), name) != running_.end())
        return MacroErrorInvalidParameter(fields[0]);
    app_.ResetScreen();
    Restore<std::int32_t> nested(nested_);
    nested_ = 1;
    RunMacro(index);
    return 1;
}

void CMacro::RegisterPlayer(std::string_view command, Player player) {
    const int index = FindCommand(command);
    if (index >= 0) players_[static_cast<std::size_t>(index)] = player;
}

bool CMacro::windowShown(const CommandRow& row, const StepFields& fields) const {
    const WindowPort& windows = app_.windows();
    switch (row.target) {
        case Target::None:
            return true;
        case Target::MainFrame:
            return windows.mainWindow() != nullptr;
        case Target::Console:
            return windows.console() != nullptr;
        case Target::ConsolePage:
            return windows.console() && windows.consolePage(row.page);
        case Target::DataView:
            return windows.dataView() != nullptr;
        case Target::CrossWindow:
            return windows.crossWindow() != nullptr;
        case Target::MolapWindow:
            return windows.molapWindow() != nullptr;
        case Target::ItemWindow:
            return windows.itemWindow(ReadStepInt(fields[1])) != nullptr;
        case Target::Dialog:
            return windows.console() && windows.playerDialog(row.dialog);
        case Target::ClassDialog:
            return windows.console() && (windows.playerDialog(PlayerDialog::MiddleClass) ||
                                         windows.playerDialog(PlayerDialog::LargeClass));
    }
    return false;
}

std::int32_t CMacro::ExecuteStep(std::string_view step) {
    StepFields fields;
    SplitStepText(step, ',', fields);
    return ExecuteCommand(std::move(fields));
}

std::int32_t CMacro::ExecuteCommand(StepFields fields) {
    if (fields.empty()) return 0;
    const int index = FindCommand(fields[0]);
    if (index < 0) return 0;
    const CommandRow& row = kCommandTable[static_cast<std::size_t>(index)];
    const auto expected = static_cast<std::int32_t>(row.count + 1);
    const auto actual = [&] { return static_cast<std::int32_t>(fields.size()); };
    switch (row.rule) {
        case FieldRule::Exact:
            if (row.count == 0) {
                fields.resize(1);
            } else if (!CheckParameterCount(expected, actual(), row.name)) {
                return 0;
            }
            break;
        case FieldRule::Padded:
            if (actual() == expected - 1) fields.emplace_back();
            if (!CheckParameterCount(expected, actual(), row.name)) return 0;
            break;
        case FieldRule::AtLeast:
            if (actual() < expected && !CheckParameterCount(expected, actual(), row.name)) return 0;
            break;
    }
    // A command whose window is not built yet has nothing that could play it.
    const Player player = players_[static_cast<std::size_t>(index)];
    if (!player || !windowShown(row, fields)) return MacroErrorNoWindow(nullptr);
    for (const ParameterAsk& ask : row.asks) {
        const auto field = static_cast<std::size_t>(ask.field);
        if (field == 0 || field >= fields.size()) continue;
        if (fields[field] == "???")
            fields[field] = AskMacroParameter(promptText(ask, fields), ask.browseMode);
        if (ask.missing && !MacroErrorMissingParameter(fields[field], ask.missing, row.name))
            return 0;
    }
    return player(*this, fields);
}
