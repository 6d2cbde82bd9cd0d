// MacroScreen: what the macro object needs of the screen while it records and plays, so that
// CMacro itself creates no widget: the recording indicator with its 固定 / 可変 choice, the macro
// name question, the macro menu and the work list. The dialogs of macro/ implement it
// (macro_dialogs.h); the base class is the null screen headless tests use: no indicator, every
// name question cancelled, no menu and no work list. User-interface thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

// The indicator shown while recording lasts; the macro object owns it and drops it when
// recording ends.
class RecordingIndicator {
public:
    virtual ~RecordingIndicator() = default;
    // 可変 is chosen: typed values and chosen files record "???".
    virtual bool isVariable() const = 0;
};

// What the macro menu chose to run once its modal loop has returned.
struct MacroMenuChoice {
    enum class Run { None, Execute, StepThrough };
    Run run = Run::None;
    int index = -1;
};

class MacroScreen {
public:
    virtual ~MacroScreen() = default;

    // Shows the indicator topmost with 固定 chosen; null when there is no screen.
    virtual std::unique_ptr<RecordingIndicator> showIndicator() { return nullptr; }
    // The name dialog with `proposed` (CP932) in its edit; the macro at `excluded` (-1 none) may
    // keep its own name. The accepted name (CP932), or nullopt after Cancel.
    virtual std::optional<std::string> askMacroName(const std::string& /*proposed*/,
                                                    int /*excluded*/) {
        return std::nullopt;
    }
    // The macro menu, modal, with `row` selected (-1 none). Runs nothing itself.
    virtual MacroMenuChoice openMacroMenu(int /*row*/) { return {}; }
    // The work list of the macro at `index`, modal.
    virtual void openWorkList(int /*index*/) {}
    // The macro dialog open now, for a test's snapshot ("" none).
    virtual std::string openDialog() const { return {}; }
};
