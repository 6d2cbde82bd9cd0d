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
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A macro file written whole beside its target and not yet in its place, so that a save can
// make the data file and the macro file complete before it replaces either. Going away without
// a commit leaves everything as it was.
class MacroFileWrite {
public:
    virtual ~MacroFileWrite() = default;
    // Puts the new file in place, the old one kept as ".bak"; false (the user told) with the old
    // file as it was.
    virtual bool commit() = 0;
    // After a commit, when what was saved with it could not be put in place: the previous file
    // back where it was.
    virtual void undo() {}
    // Where the commit kept a file that the start-up reading refused or read only in part; ""
    // when it kept none.
    virtual std::string keptFile() const { return {}; }
};

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
    // The macro file made complete beside `path`, replacing nothing yet; null when it cannot be
    // (the user has been told). Unless a port does better, the commit is WriteMacroFile.
    virtual std::unique_ptr<MacroFileWrite> PrepareMacroFile(const std::string& path);
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
