// What the start-up and saving tests share: a window port and a macro port that record what the
// application asks of them, the messages shown as UTF-8 texts, and data files made the way a
// user makes them (the fixture started from its definition and saved).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/macro_port.h"
#include "app/window_port.h"
#include "tests/support/app_harness.h"

namespace zbq::test {

class RecordingWindows : public WindowPort {
public:
    std::vector<std::string> calls;

    std::int32_t ShowConsole() override {
        calls.push_back("ShowConsole");
        return consoleShows ? 1 : 0;
    }
    void ShowDataView() override { calls.push_back("ShowDataView"); }
    void ShowMainWindowMaximized() override { calls.push_back("ShowMainWindowMaximized"); }
    void BuildPrintMenu() override { calls.push_back("BuildPrintMenu"); }
    void CloseWithoutAsking() override { calls.push_back("CloseWithoutAsking"); }

    int count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    bool consoleShows = true;
};

class FakeMacro : public MacroPort {
public:
    bool recording = false;
    bool variable = false;
    std::int32_t readResult = 1;
    std::int32_t writeResult = 1;
    std::vector<std::string> names;  // what the macro file brought
    std::vector<std::string> steps;  // recorded
    std::vector<std::string> read, written;
    int autoOpenRuns = 0;

    bool isRecording() const override { return recording; }
    bool isVariable() const override { return variable; }
    void record(std::string_view step) override { steps.emplace_back(step); }
    std::int32_t ReadMacroFile(const std::string& path) override {
        read.push_back(path);
        return readResult;
    }
    std::int32_t WriteMacroFile(const std::string& path) override {
        written.push_back(path);
        return writeResult;
    }
    std::vector<std::string> macroNames() const override { return names; }
    std::int32_t RunAutoOpenMacro() override {
        ++autoOpenRuns;
        return 1;
    }
};

// The texts of the messages shown so far, UTF-8.
inline std::vector<std::string> shown(const ui::ScriptedPrompts& prompts) {
    return prompts.messageTexts();
}

// The names of a run's temporaries and its lock file in temp/, sorted, for the run whose
// working data file is `dataFile` ("<base>_t.zbq").
inline std::vector<std::string> runTemporaries(const std::string& dataFile) {
    const std::string name = std::filesystem::path(dataFile).filename();
    const std::string base = name.substr(0, name.size() - std::string("_t.zbq").size());
    std::vector<std::string> names;
    for (const char* ending : {"_t.zbq", "_a.zbq", "_m.zbq", "_g.xlsx", "_e.xlsx", ".lock"})
        names.push_back(base + ending);
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string savedMessage(const std::string& data, const std::string& macro) {
    return "ZBQﾌｧｲﾙ[" + data + "]\nMCRﾌｧｲﾙ[" + macro + "]\nを作成しました";
}

// Starts the fixture from its definition and saves all records to `name` in the program
// directory, then ends that run: a data file with its settings, as a user makes one. Its path.
inline std::string makeDataFile(AppHarness& h, const std::string& name,
                                const std::string& password = {}) {
    EXPECT_TRUE(h.start({h.writeFixture()}));
    h.app().SetSaveMode(1);
    h.app().SetSavePath(h.file(name));
    EXPECT_EQ(h.app().SaveDataAndMacro(password, 0), 1);
    h.exit();
    h.prompts().clear();
    return h.file(name);
}

}  // namespace zbq::test
