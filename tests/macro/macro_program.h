// ZBQ as main() wires it, for the tests of the macro recorder on the screen: the harness's
// application started on its fixture, the macro object with its dialogs and the variable-value
// question, and the main frame whose macro commands go to the macro object. The macro dialogs
// are answered by the test's handler, in the order they open.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QStatusBar>

#include <chrono>
#include <deque>
#include <functional>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "console/console_pages.h"
#include "macro/cmacro.h"
#include "macro/macro_dialogs.h"
#include "macro/var_cond_dlg.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"

namespace zbq::test {

struct MacroProgram {
    using DialogStep = std::function<int(QDialog&)>;

    MacroProgram() : frame(h.app(), factories()) {
        h.app().SetClock([] {
            using namespace std::chrono;
            return system_clock::time_point(sys_days{year{2024} / 5 / 6} + hours{12});
        });
        macro.SetScreen(&screen);
        macro.SetParameterAsker(&asker);
        frame.setMacroCommandHandler([this](std::int32_t c) { macro.OnMacroCommand(c); });
        h.answerOtherDialogs([this](QDialog& dialog) {
            if (steps.empty()) {
                ADD_FAILURE() << "an unexpected dialog: " << dialog.windowTitle().toStdString();
                return int(QDialog::Rejected);
            }
            DialogStep step = std::move(steps.front());
            steps.pop_front();
            return step(dialog);
        });
    }
    ~MacroProgram() { h.exit(); }

    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        return f;
    }
    bool start() { return h.start({h.writeFixture()}); }
    CConsSheet* console() const { return qobject_cast<CConsSheet*>(frame.console()); }
    // The user picks a console tab.
    void openTab(ConsolePage page) {
        console()->tabs()->setCurrentIndex(consoleTabOf(page).value());
    }
    std::optional<ConsolePage> tab() const {
        return consolePageAtTab(console()->tabs()->currentIndex());
    }
    // The menu item, as the user picks it.
    void pick(std::int32_t command) { frame.action(command)->trigger(); }
    std::string pane() const {
        for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>())
            if (!label->text().isEmpty()) return label->text().toStdString();
        return {};
    }
    std::string status() const { return cp932::toUtf8(console()->StatusText()); }
    // Queues the handler of the next dialog, which must be a T.
    template <typename T>
    void then(std::function<int(T&)> step) {
        steps.push_back([step](QDialog& d) {
            auto* dialog = dynamic_cast<T*>(&d);
            if (!dialog) {
                ADD_FAILURE() << "another dialog came: " << d.windowTitle().toStdString();
                return int(QDialog::Rejected);
            }
            return step(*dialog);
        });
    }

    AppHarness h;
    CMacro macro{h.app()};
    MacroDialogs screen{macro};
    VarCondAsker asker{h.app()};
    CMainFrame frame;
    std::deque<DialogStep> steps;
};

}  // namespace zbq::test
