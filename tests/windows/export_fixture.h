// What the exporter's command tests stand on: an application with a recording macro port and a
// recording console, scripted prompts, clipboard and opener, and a temporary folder. Header-only.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ckw_app.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/recording_console.h"
#include "tests/support/recording_macro.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {

// A recording port whose 可変 can be switched on.
class VariableMacro : public RecordingMacro {
public:
    bool variable = false;
    bool isVariable() const override { return variable; }
};

class ExportTest : public ::testing::Test {
protected:
    ExportTest() {
        app.SetMacroPort(&macro);
        app.SetConsolePort(&console);
        app.SetExportTempPath(dir.file("20261210_111000_e.xlsx"));
    }
    ~ExportTest() override {
        app.SetMacroPort(nullptr);
        app.SetConsolePort(nullptr);
    }

    // The texts of the message boxes shown so far (UTF-8).
    std::vector<std::string> messages() const { return prompts.messageTexts(); }

    ui::ScriptedPrompts prompts;
    ui::ScriptedClipboard clipboard;
    ui::ScriptedOpener opener;
    TempDir dir;
    CKWApp app;
    VariableMacro macro;
    RecordingConsole console;
};

}  // namespace zbq::test
