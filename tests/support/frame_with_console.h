// ZBQ's real main frame with its console over a fresh application and macro object, offscreen,
// as main() builds them before start-up: the test starts the application itself
// (app.InitInstance) on what it needs. The frame, with its windows, goes before the application
// ends (ExitInstance), as at the program's end.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <optional>
#include <string>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"

namespace zbq::test {

struct FrameWithConsole {
    explicit FrameWithConsole(const std::string& programDir) {
        app.SetProgramDir(programDir);
        WindowFactories factories;
        factories.console = [this](CMainFrame& owner) {
            return CConsSheet::MakeHandle(app, &owner);
        };
        frame.emplace(app, std::move(factories));
    }
    ~FrameWithConsole() {
        frame->ResetWindows();
        frame->DestroyConsole();
        frame.reset();
        app.ExitInstance();
    }
    FrameWithConsole(const FrameWithConsole&) = delete;
    FrameWithConsole& operator=(const FrameWithConsole&) = delete;

    // The console once start-up has made it; null before.
    CConsSheet* console() const { return qobject_cast<CConsSheet*>(frame->console()); }

    CKWApp app;
    CMacro macro{app};
    std::optional<CMainFrame> frame;
};

}  // namespace zbq::test
