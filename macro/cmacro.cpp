// CMacro: construction, the flags, recording and the macro list.
#include "macro/cmacro.h"

#include <charconv>

#include "app/ckw_app.h"
#include "macro/macro_file_format.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

// clang-format off
constexpr const char* kStartQuestion = ZBQ_SHOWN("マクロの記録を開始します。\n記録を開始すると画面を一度初期化します。\n開始してよろしいですか？");
// clang-format on

MacroScreen& nullScreen() {
    static MacroScreen screen;
    return screen;
}

}  // namespace

CMacro::CMacro(CKWApp& app) : app_(app), screen_(&nullScreen()) {
    players_.reserve(kCommandCount);
    for (const CommandRow& row : kCommandTable)
        players_.push_back(row.player);
    app_.SetMacroPort(this);
}

CMacro::~CMacro() {
    indicator_.reset();
    if (&app_.macro() == this) app_.SetMacroPort(nullptr);
}

void CMacro::record(std::string_view step) {
    if (!recording_ || isPlaying()) return;
    // The macro file holds a step on one line; one that cannot stand there is refused now, when
    // the user still sees what was done, rather than at every later save.
    if (!macrofile::fitsOneLine(step)) {
        app_.ShowError("改行を含むため、この操作はマクロに記録できません。");
        return;
    }
    recordedSteps_.emplace_back(step);
}

std::vector<std::string> CMacro::macroNames() const {
    std::vector<std::string> names;
    names.reserve(macros_.size());
    for (const MacroRecord& macro : macros_)
        names.push_back(macro.name);
    return names;
}

int CMacro::FindMacro(std::string_view name) const {
    for (std::size_t i = 0; i < macros_.size(); ++i)
        if (macros_[i].name == name) return static_cast<int>(i);
    return -1;
}

std::int32_t CMacro::AddMacro(std::string name, std::string explanation,
                              std::vector<std::string> steps) {
    macros_.push_back(MacroRecord{std::move(name), std::move(explanation), std::move(steps)});
    return 1;
}

std::int32_t CMacro::MoveMacro(int from, int to) {
    const int size = static_cast<int>(macros_.size());
    if (from < 0 || from >= size || to < 0 || to >= size) return 0;
    MacroRecord moved = std::move(macros_[static_cast<std::size_t>(from)]);
    macros_.erase(macros_.begin() + from);
    macros_.insert(macros_.begin() + to, std::move(moved));
    return 1;
}

std::int32_t CMacro::DeleteMacro(int index) {
    if (index < 0 || index >= static_cast<int>(macros_.size())) return 0;
    macros_.erase(macros_.begin() + index);
    return 1;
}

std::int32_t CMacro::RenameMacro(int index, std::string name) {
    if (index < 0 || index >= static_cast<int>(macros_.size())) return 0;
    if (name.empty() || !CheckMacroName(name, index)) return 0;
    macros_[static_cast<std::size_t>(index)].name = std::move(name);
    return 1;
}

std::int32_t CMacro::CheckMacroName(std::string_view name, int excluded) const {
    const int other = FindMacro(name);
    const char* refusal = nullptr;
    if (other >= 0 && other != excluded) {
        refusal = ZBQ_SHOWN("同名のマクロが既に存在します。マクロ名を変更して下さい。");
    } else if (name.size() > kMaxNameBytes) {
        // The name field counts characters; the file's limit is in bytes.
        refusal = ZBQ_SHOWN("マクロ名が64バイトを超えています。マクロ名を変更して下さい。");
    } else if (!macrofile::fitsOneLine(name)) {
        refusal = ZBQ_SHOWN("マクロ名に改行は使用できません。マクロ名を変更して下さい。");
    }
    if (!refusal) return 1;
    app_.ShowError(refusal);
    return 0;
}

void CMacro::SetExplanation(int index, std::string explanation) {
    if (index < 0 || index >= static_cast<int>(macros_.size())) return;
    macros_[static_cast<std::size_t>(index)].explanation = std::move(explanation);
}

void CMacro::SetScreen(MacroScreen* screen) {
    screen_ = screen ? screen : &nullScreen();
}

void CMacro::showRecording(bool on) {
    app_.SetStatusText(on ? zbq::cp932::literal(ZBQ_SHOWN("記録中...")) : std::string());
    app_.windows().SetRecordingIndicator(on);
}

std::int32_t CMacro::OnStartRecording() {
    if (macros_.size() >= kMaxMacros) {
        app_.ShowError("マクロが999件登録されています。1000件以上は登録できません。");
        return 0;
    }
    if (!app_.AskYesNo(kStartQuestion)) return 0;
    app_.ResetScreen();
    showRecording(true);
    return StartRecording();
}

std::int32_t CMacro::StartRecording() {
    indicator_ = screen_->showIndicator();
    recording_ = 1;
    recordedSteps_.clear();
    return 1;
}

std::int32_t CMacro::OnStopRecording() {
    if (!recording_) return 0;
    showRecording(false);
    indicator_.reset();
    std::optional<std::string> name;
    if (!recordedSteps_.empty()) name = screen_->askMacroName(DefaultMacroName(), -1);
    if (!StopRecording(name.value_or(std::string()))) {
        // A name the list cannot take leaves the recording on: so is the screen again.
        if (recording_) {
            showRecording(true);
            indicator_ = screen_->showIndicator();
        }
        return 0;
    }
    OpenMacroMenu(static_cast<int>(macros_.size()) - 1);
    return 1;
}

void CMacro::OnMacroCommand(std::int32_t command) {
    switch (command) {
        case 32830:
            OnStartRecording();
            break;
        case 32831:
            OnStopRecording();
            break;
        case 32832:
            OpenMacroMenu(-1);
            break;
        default:
            break;
    }
}

std::int32_t CMacro::StopRecording(std::string_view name) {
    if (!recording_) return 0;
    // A name that cannot be stored is refused while recording still goes on, so the steps are
    // kept and the user can stop again under another name.
    const bool named = !recordedSteps_.empty() && !name.empty();
    if (named && !CheckMacroName(name, -1)) return 0;
    app_.SetStatusText("");
    recording_ = 0;
    indicator_.reset();
    if (!named) return 0;
    return AddMacro(std::string(name), {}, recordedSteps_);
}

std::string CMacro::DefaultMacroName() const {
    for (int n = 1;; ++n) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        std::string name = "macro" + std::string(digits, end);
        if (FindMacro(name) < 0) return name;
    }
}

std::int32_t CMacro::RecExeMacro(std::string_view name) {
    recordedSteps_.push_back(StepBuilder("ExeMacro").text(name).str());
    return 1;
}
