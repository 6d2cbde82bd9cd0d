// The main frame owns every window it opens: each names the frame as its transient parent, which
// on X11 is the hint that keeps it above the frame when the frame is clicked. The console comes
// first, before the frame is shown, as at start-up.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QWindow>

#include <functional>
#include <memory>

#include <string>
#include <utility>
#include <vector>

#include "app/images.h"
#include "app/main_frame.h"
#include "tests/support/app_harness.h"
#include "tests/support/real_input.h"
#include "tests/support/recording_macro.h"
#include "windows/every_window.h"

namespace zbq::windows {
namespace {

QWindow* ownerOf(QWidget* window) {
    if (!window || !window->windowHandle()) return nullptr;
    return window->windowHandle()->transientParent();
}

// The platform hands the owner to the window manager when it maps the native window, so an
// owner named once the window is up comes too late: each mapping of a native window once the
// frame was up, with whether it carried the frame as its owner at that moment.
class ShowsSeen : public QObject {
public:
    explicit ShowsSeen(QWidget& frame) : frame_(frame) { qApp->installEventFilter(this); }
    ~ShowsSeen() override { qApp->removeEventFilter(this); }

    // Whether `window` was mapped after the frame, each time with the frame as its owner.
    bool mappedOwned(QWidget* window) const {
        const QWindow* handle = window ? window->windowHandle() : nullptr;
        bool seen = false;
        for (const auto& [shown, owned] : shows_) {
            if (shown != handle) continue;
            seen = true;
            if (!owned) return false;
        }
        return seen;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        QWindow* frame = frame_.windowHandle();
        if (event->type() == QEvent::Show && window && frame && window != frame &&
            frame->isVisible())
            shows_.emplace_back(window, window->transientParent() == frame);
        return false;
    }

private:
    QWidget& frame_;
    std::vector<std::pair<const QWindow*, bool>> shows_;
};

// The windows as a factory may hand them over: as they are built, or already on the screen
// (a window holding a native control has its own native window before the frame takes it).
WindowFactories handedOver(CKWApp& app, bool alreadyNative) {
    WindowFactories f = everyWindowFactory(app);
    if (!alreadyNative) return f;
    const auto native = [](QWidget* window) {
        if (window) window->winId();
        return window;
    };
    f.console = [base = f.console, native](CMainFrame& frame) {
        ConsoleHandle handle = base(frame);
        native(handle.widget);
        return handle;
    };
    f.itemWindow = [base = f.itemWindow, native](CMainFrame& frame, std::int32_t item) {
        return native(base(frame, item));
    };
    f.crossWindow = [base = f.crossWindow, native](CMainFrame& frame) {
        return native(base(frame));
    };
    f.molapWindow = [base = f.molapWindow, native](CMainFrame& frame, const MolapParams& p) {
        return native(base(frame, p));
    };
    return f;
}

class WindowOwner : public ::testing::TestWithParam<bool> {};

TEST_P(WindowOwner, EveryWindowOfTheFrameStaysAboveIt) {
    test::AppHarness h;
    ASSERT_TRUE(h.load());
    test::RecordingMacro macro;
    h.app().SetMacroPort(&macro);
    h.app().SetDataLoaded(1);
    {
        CMainFrame frame(h.app(), handedOver(h.app(), GetParam()));
        const ShowsSeen seen(frame);
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
            // The console, first shown before the frame, is mapped again once the frame is up.
            EXPECT_TRUE(seen.mappedOwned(w.window)) << w.name << " mapped without its owner";
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

        EXPECT_TRUE(seen.mappedOwned(item));
        frame.ResetWindows();
        frame.DestroyConsole();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    h.app().SetMacroPort(nullptr);
}

// Window managers iconify an owner together with a window it owns (openbox does), which took
// the frame, and with it the whole program, off a screen with no task bar. A window minimised
// alone sets its owner aside while it stays minimised, and takes it back when it is shown.
class MinimisedAlone : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.load());
        h.app().SetMacroPort(&macro);
        h.app().SetDataLoaded(1);
        frame = std::make_unique<CMainFrame>(h.app(), everyWindowFactory(h.app()));
        ASSERT_EQ(frame->ShowConsole(), 1);
        frame->ShowMainWindowMaximized();
        ASSERT_EQ(frame->ShowItemSheet(1), 1);
        item = frame->FindItemSheet(1);
        ASSERT_NE(item, nullptr);
    }
    void TearDown() override {
        if (frame) {
            frame->ResetWindows();
            frame->DestroyConsole();
            frame.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        h.app().SetMacroPort(nullptr);
    }
    // Lets the events of the last change through; a change that never comes fails the test.
    static bool settles(const std::function<bool()>& done) { return QTest::qWaitFor(done, 5000); }

    test::AppHarness h;
    test::RecordingMacro macro;
    std::unique_ptr<CMainFrame> frame;
    QWidget* item = nullptr;
};

TEST_F(MinimisedAlone, IconizeAllLeavesTheFrameAndEachWindowTakesItsOwnerBackWhenShown) {
    frame->OnIconizeAll();
    for (QWidget* w : {item, frame->console()}) {
        EXPECT_TRUE(w->isMinimized());
        EXPECT_EQ(ownerOf(w), nullptr) << "still owned while minimised: the frame goes too";
    }
    EXPECT_FALSE(frame->isMinimized());

    frame->console()->showNormal();
    EXPECT_TRUE(settles([&] { return ownerOf(frame->console()) == frame->windowHandle(); }));
    EXPECT_EQ(ownerOf(item), nullptr);
    ASSERT_EQ(frame->ShowItemSheet(1), 1);
    EXPECT_TRUE(settles([&] { return ownerOf(item) == frame->windowHandle(); }));
}

// The window manager's own minimise of the window that has the keyboard: it iconifies the
// frame along. The frame comes back; the window stays minimised, on its own.
TEST_F(MinimisedAlone, AWindowMinimisedFromItsTitleBarLeavesTheFrameOnTheScreen) {
    ASSERT_TRUE(test::activate(item));
    item->setWindowState(Qt::WindowMinimized);  // what the window manager does
    frame->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(settles([&] { return !frame->isMinimized(); }));
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_TRUE(item->isMinimized());
    EXPECT_EQ(ownerOf(item), nullptr);

    // The frame minimised by the user, from its own title bar, stays minimised.
    frame->showNormal();
    frame->showMaximized();
    ASSERT_TRUE(test::activate(frame.get()));
    frame->setWindowState(Qt::WindowMinimized);
    QTest::qWait(50);
    EXPECT_TRUE(frame->isMinimized());
}

INSTANTIATE_TEST_SUITE_P(HandedOver, WindowOwner, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "AlreadyOnTheScreen" : "AsBuilt";
                         });

}  // namespace
}  // namespace zbq::windows
