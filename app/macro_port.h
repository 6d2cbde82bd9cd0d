// MacroPort: what the application object and every recorder need of the macro object: whether
// a step is to be recorded, the step itself, and the macro file around a load and a save. The
// macro subsystem implements it; the null port stands until then (never recording, no macros,
// every file operation a success that does nothing).
//
// StepBuilder writes a step text the way every recorder writes one: the command name, then each
// field after one comma; numbers as "%d"; texts (names, paths, typed values) always between
// double quotes, a '"' inside doubled, so a text holding '"' or "," replays whole. Texts are
// CP932 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class MacroPort {
public:
    virtual ~MacroPort() = default;

    // Recording is on and no macro is playing: an action records its step.
    virtual bool isRecording() const { return false; }
    virtual bool isPlaying() const { return false; }
    // The recording indicator's "可変": typed values and paths record "???".
    virtual bool isVariable() const { return false; }
    // Appends a step to the macro being recorded; nothing while a macro plays.
    virtual void record(std::string_view /*step*/) {}
    // Appends a step in place of the last recorded one when that one begins with `lastPrefix`,
    // else as record() does: a double-click reaches a control first as the press and release
    // of a drag, whose step the double-click's own supersedes. Nothing while a macro plays.
    virtual void recordReplacingLast(std::string_view step, std::string_view /*lastPrefix*/) {
        record(step);
    }

    // Nonzero to go on, 0 to stop the start-up.
    virtual std::int32_t ReadMacroFile(const std::string& /*path*/) { return 1; }
    // Nonzero written, 0 failed (the user has been told).
    virtual std::int32_t WriteMacroFile(const std::string& /*path*/) { return 1; }
    virtual std::vector<std::string> macroNames() const { return {}; }
    virtual std::int32_t RunAutoOpenMacro() { return 0; }
};

class StepBuilder {
public:
    explicit StepBuilder(std::string_view command) : step_(command) {}

    StepBuilder& number(std::int32_t value);
    StepBuilder& text(std::string_view value);
    // The value, or "???" when the recording indicator's 可変 is chosen.
    StepBuilder& textOrAsk(std::string_view value, bool variable) {
        return text(variable ? std::string_view("???") : value);
    }

    const std::string& str() const { return step_; }

private:
    std::string step_;
};
