// The main frame owns every window it opens: each names the frame as its transient parent, which
// on X11 is the hint that keeps it above the frame when the frame is clicked. The console comes
// first, before the frame is shown, as at start-up.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWindow>

#include "app/images.h"
#include "app/main_frame.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"
#include "windows/every_window.h"

namespace zbq::windows {
namespace {

QWindow* ownerOf(QWidget* window) {
    if (!window || !window->windowHandle()) return nullptr;
    return window->windowHandle()->transientParent();
}

TEST(WindowOwner, EveryWindowOfTheFrameStaysAboveIt) {
    test::AppHarness h;
    ASSERT_TRUE(h.load());
    test::RecordingMacro macro;
    h.app().SetMacroPort(&macro);
    h.app().SetDataLoaded(1);
    {
        CMainFrame frame(h.app(), everyWindowFactory(h.app()));
        ASSERT_EQ(frame.ShowConsole(), 1);
        frame.ShowMainWindowMaximized();
        ASSERT_NE(frame.windowHandle(), nullptr);

        ASSERT_EQ(frame.ShowItemSheet(1), 1);
        CrossSettings cross;
        cross.xItem = 1;
        cross.yItem = 2;
        h.app().SetCrossSettings(cross);
        ASSERT_EQ(frame.ShowCrossWindow(), 1);
        MolapParams params;
        params.xItems = {1};
        params.yItems = {5};
        params.yDateUnits = {1};
        params.zItems = {2};
        params.zKinds = {1};
        ASSERT_EQ(frame.ShowMolapWindow(params), 1);

        const struct {
            const char* name;
            QWidget* window;
        } windows[] = {{"console", frame.console()},
                       {"item window", frame.FindItemSheet(1)},
                       {"cross-tab window", frame.crossWindow()},
                       {"aggregation window", frame.molapWindow()}};
        for (const auto& w : windows) {
            ASSERT_NE(w.window, nullptr) << w.name;
            EXPECT_EQ(ownerOf(w.window), frame.windowHandle()) << w.name;
            // The owner reaches the X11 window manager only for a window of a dialog's type.
            EXPECT_EQ(w.window->windowType(), Qt::Dialog) << w.name;
            EXPECT_TRUE(w.window->windowFlags() & Qt::WindowMinMaxButtonsHint) << w.name;
        }

        // The analysis windows carry the pictures the window list shows for them.
        EXPECT_EQ(frame.crossWindow()->windowIcon().cacheKey(),
                  zbqImage(kItemImages, 12).cacheKey());
        EXPECT_EQ(frame.molapWindow()->windowIcon().cacheKey(),
                  zbqImage(kItemImages, 11).cacheKey());

        // Hidden and shown again, as the window list does, it keeps its owner.
        QWidget* item = frame.FindItemSheet(1);
        item->hide();
        ASSERT_EQ(frame.ShowItemSheet(1), 1);
        EXPECT_EQ(ownerOf(item), frame.windowHandle());

        frame.ResetWindows();
        frame.DestroyConsole();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    h.app().SetMacroPort(nullptr);
}

}  // namespace
}  // namespace zbq::windows
