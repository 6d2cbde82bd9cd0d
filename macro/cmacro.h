// CMacro: the macro object. It holds the registered macros, the recording in progress, the flags
// the whole program consults while macros record and play, and the macro area read from and
// written to the macro file (the structure block the macros belong to). It implements the
// application core's macro port and installs itself there for its lifetime.
//
// It creates no widget: questions and messages go through the application object (Prompts
// service), "???" values through a ParameterAsker, the indicator, the name question, the macro
// menu and the work list through a MacroScreen (macro_screen.h), and the windows a step needs are
// looked up afresh at every step through the application's window port. Texts are CP932 bytes,
// paths UTF-8, message texts UTF-8. Results follow the system: 1 go on or done, 0 stop or refused
// (the user told). User-interface thread only.
//
// The code is split by concern: cmacro.cpp (flags, recording, the macro list), cmacro_run.cpp
// (runs, nesting, the dispatcher), cmacro_checks.cpp (the parameter checks and their messages),
// cmacro_file_read.cpp and cmacro_file_write.cpp (the macro file, FORMAT.md).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/macro_port.h"
#include "macro/command_table.h"
#include "macro/macro_screen.h"
#include "macro/structure_block.h"

class CKWApp;
class ParameterAsker;
class QWidget;

struct MacroRecord {
    std::string name;         // at most 64 bytes, unique in the list (byte for byte)
    std::string explanation;  // may hold CR LF
    std::vector<std::string> steps;

    bool operator==(const MacroRecord&) const = default;
};

class CMacro final : public MacroPort {
public:
    static constexpr std::size_t kMaxMacros = 999;
    static constexpr std::size_t kMaxNameBytes = 64;

    explicit CMacro(CKWApp& app);
    ~CMacro() override;
    CMacro(const CMacro&) = delete;
    CMacro& operator=(const CMacro&) = delete;

    CKWApp& App() const { return app_; }

    // --- Macro port ---
    bool isRecording() const override { return recording_ != 0; }
    // True while a run from the macro menu, any macro run or a nested run is under way.
    bool isPlaying() const override { return playing_ != 0 || runDepth_ > 0; }
    // The recording indicator's 可変; fixed while there is no indicator.
    bool isVariable() const override { return indicator_ && indicator_->isVariable(); }
    // A step the macro file could not hold (a line break or NUL inside) is not recorded: the
    // user is told, and recording goes on.
    void record(std::string_view step) override;
    void recordReplacingLast(std::string_view step, std::string_view lastPrefix) override {
        if (!recording_ || isPlaying()) return;
        if (!recordedSteps_.empty() && recordedSteps_.back().starts_with(lastPrefix))
            recordedSteps_.pop_back();
        recordedSteps_.emplace_back(step);
    }
    std::int32_t ReadMacroFile(const std::string& path) override;
    std::int32_t WriteMacroFile(const std::string& path) override;
    // Before the first write that replaces the file read at start-up, when that reading refused
    // the file or skipped macros of it, the file is kept as "<file>.refused" (".refused.N" when
    // taken), so the user's macros survive the writes after it.
    std::unique_ptr<MacroFileWrite> PrepareMacroFile(const std::string& path) override;
    std::vector<std::string> macroNames() const override;
    // Runs the macro named "auto_open" as start-up does after its question; 1 when it ran to the
    // end ("マクロ「auto_open」の実行が完了しました。"), 0 when a step stopped it or there is none.
    std::int32_t RunAutoOpenMacro() override;

    // --- The macro list (no index is trusted: a bad one changes nothing and gives 0) ---
    const std::vector<MacroRecord>& Macros() const { return macros_; }
    // Index of the macro of that name; -1 when none.
    int FindMacro(std::string_view name) const;
    std::int32_t AddMacro(std::string name, std::string explanation,
                          std::vector<std::string> steps);
    // Takes the macro out at `from` and inserts it at `to` of the shortened list.
    std::int32_t MoveMacro(int from, int to);
    std::int32_t DeleteMacro(int index);
    // Refuses an empty name silently, and one CheckMacroName refuses.
    std::int32_t RenameMacro(int index, std::string name);
    // 1 when `name` can name a macro (the one at `excluded` aside, -1 for none): not another
    // macro's, at most 64 bytes, and one line. Otherwise 0 after the message that says why.
    std::int32_t CheckMacroName(std::string_view name, int excluded) const;
    // The macro menu's explanation edit writes back here; a bad index changes nothing.
    void SetExplanation(int index, std::string explanation);

    // --- The screen: indicator, name dialog, macro menu, work list ---
    // Installs the screen (not owned; null for the null screen).
    void SetScreen(MacroScreen* screen);
    MacroScreen& Screen() const { return *screen_; }
    bool HasIndicator() const { return indicator_ != nullptr; }
    // The frame's macro commands: 32830 Start Recording, 32831 Stop Recording, 32832 Show Macro
    // Menu; other ids do nothing.
    void OnMacroCommand(std::int32_t command);
    // The Stop Recording command: the texts cleared, the indicator closed, the name asked; a
    // stored macro opens the menu on its row. 1 when a macro was stored.
    std::int32_t OnStopRecording();
    // The macro menu at `row` (-1 none); what it chose runs once it has closed.
    void OpenMacroMenu(int row);
    // The work list of the macro at `index`. 1.
    std::int32_t StepMacro(int index);

    // Sets the playing flag for its lifetime, so that no recorder records what happens then.
    class PlayingScope {
    public:
        explicit PlayingScope(CMacro& macro) : macro_(macro), saved_(macro.playing_) {
            macro.playing_ = 1;
        }
        ~PlayingScope() { macro_.playing_ = saved_; }
        PlayingScope(const PlayingScope&) = delete;
        PlayingScope& operator=(const PlayingScope&) = delete;

    private:
        CMacro& macro_;
        std::int32_t saved_;
    };

    // --- Recording ---
    // The Start Recording command: the 999 limit, the question, the screen reset, the status
    // text, then StartRecording. 1 when recording started.
    std::int32_t OnStartRecording();
    std::int32_t StartRecording();
    // Ends recording and stores the recorded steps under `name`: 1 stored; 0 when no step was
    // recorded or the name is empty (the name dialog was cancelled), and recording has ended.
    // A name CheckMacroName refuses gives 0 after its message with recording still on and the
    // steps kept.
    std::int32_t StopRecording(std::string_view name);
    // "macro%d" with the first n that no macro has.
    std::string DefaultMacroName() const;
    const std::vector<std::string>& RecordedSteps() const { return recordedSteps_; }
    // Records a whole run as one step; looks at no playing flag.
    std::int32_t RecExeMacro(std::string_view name);

    // --- Playing ---
    // The macro menu's execute: the question, the playing flag, the screen reset, the run.
    std::int32_t RunMacroFromMenu(int index);
    // The run the menu chose, after its question: the playing flag, the screen reset, the run.
    std::int32_t RunChosenMacro(int index);
    // Plays every step the macro holds; 0 at the first step that stops, silently. A completed run
    // that is not nested records ExeMacro while recording and says it is complete.
    std::int32_t RunMacro(int index);
    // Plays one step from its fields: 0 without a message for an empty step or an unknown name.
    std::int32_t ExecuteCommand(StepFields fields);
    // Plays one step from its text as a macro file holds it, split at commas outside quotes.
    std::int32_t ExecuteStep(std::string_view step);
    std::int32_t PlayExeMacro(StepFields& fields);
    // Replaces the table's player of a command for this object (windows built later, tests).
    void RegisterPlayer(std::string_view command, Player player);

    // --- "???" values ---
    void SetParameterAsker(ParameterAsker* asker) { asker_ = asker; }
    std::string AskMacroParameter(std::string_view prompt, std::int32_t browseMode);

    // --- Parameter checks: 1 passes; 0 after the message "...\nマクロの実行を中止します。" ---
    std::int32_t CheckParameterCount(std::int32_t expected, std::int32_t actual,
                                     std::string_view command) const;
    std::int32_t MacroErrorNoWindow(const QWidget* window) const;
    // Refuses a value below `lowest` or above `limit`.
    std::int32_t MacroErrorOutOfRange(std::int32_t value, std::int32_t limit,
                                      std::string_view command, std::int32_t lowest = 0) const;
    // `what` is UTF-8 ("ファイル名").
    std::int32_t MacroErrorMissingParameter(std::string_view value, std::string_view what,
                                            std::string_view command) const;
    // The folder part of a stored path is the text before its last "/".
    std::int32_t MacroErrorNoFolder(std::string_view storedPath, std::string_view command) const;
    std::int32_t MacroErrorNoFile(std::string_view storedPath) const;
    std::int32_t MacroErrorNoItem(std::string_view item, std::string_view command) const;
    std::int32_t MacroErrorNoSet(std::int32_t setNo, std::string_view command) const;
    std::int32_t MacroErrorInvalidParameter(std::string_view command) const;

    // --- The macro area ---
    const std::string& Version() const { return version_; }
    const MacroStructureBlock& StructureBlock() const { return block_; }
    // Takes the current structure definition in; 1, or 0 after its message.
    std::int32_t LoadStructureDefinition();
    void ClearStructureBlock() { block_ = MacroStructureBlock(); }
    // Adds the macros of another macro file recorded on the same structure; 1, or 0 after a
    // message or a No, with nothing added.
    std::int32_t ImportMacroFile(const std::string& path);

private:
    void emptyMacroArea();
    // The questions of the readers: the progress animation stops while they are open.
    bool askToContinue(std::string_view utf8Text);
    std::int32_t refuseAtStartUp(std::string_view utf8Text);
    std::int32_t runSteps(const std::string& name, const std::vector<std::string>& steps);
    bool windowShown(const CommandRow& row, const StepFields& fields) const;

    void showRecording(bool on);

    CKWApp& app_;
    ParameterAsker* asker_ = nullptr;
    MacroScreen* screen_;
    std::unique_ptr<RecordingIndicator> indicator_;

    std::int32_t recording_ = 0;
    std::int32_t playing_ = 0;
    std::int32_t nested_ = 0;
    int runDepth_ = 0;
    std::vector<std::string> running_;  // names of the macros whose runs are under way

    std::string version_;
    MacroStructureBlock block_;
    std::vector<MacroRecord> macros_;
    std::vector<std::string> recordedSteps_;
    std::vector<Player> players_;

    // The file the start-up reading read, and whether it must be kept before it is replaced.
    std::string readFile_;
    bool keepReadFile_ = false;
};
