// The boxes a step raises while the work list runs belong to the list. The list stays above the
// other windows; a box owned by the main window opened under it, and with the list moved or
// enlarged over the centre only Enter reached its button. Here the list runs in its own modal
// loop over a shown main window, enlarged over the screen, and a timer answers every box by
// clicking its button, as a user does.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "app/window_port.h"
#include "macro/cmacro.h"
#include "macro/macro_dialogs.h"
#include "macro/work_list_dlg.h"
#include "platform/ui/prompts.h"

namespace zbq::test {
namespace {

class FrameOnly : public WindowPort {
public:
    QWidget* mainWindow() const override { return &frame; }
    mutable QMainWindow frame;
};

std::int32_t playQuietly(CMacro&, StepFields&) {
    return 1;
}
std::int32_t playStopping(CMacro& macro, StepFields&) {
    macro.App().ShowError("集計できませんでした");
    return 0;
}
std::int32_t playAsking(CMacro& macro, StepFields&) {
    return macro.App().AskYesNo("続けますか？") ? 1 : 0;
}

// One box as the user met it.
struct Box {
    std::string text;
    bool ownedByList = false;       // its parent widget is the list
    bool transientForList = false;  // the window system is told so (WM_TRANSIENT_FOR)
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "{" << box.text << ", owned " << box.ownedByList << ", transient "
               << box.transientForList << "}";
}

class WorkListBoxes : public ::testing::Test {
protected:
    WorkListBoxes() {
        app.SetWindowPort(&windows);
        macro.RegisterPlayer("DispConsole", &playQuietly);
        macro.RegisterPlayer("MinAll", &playStopping);
        macro.RegisterPlayer("ExeMacro", &playAsking);
        macro.SetScreen(&screen);
        windows.frame.resize(800, 600);
        windows.frame.show();
    }
    ~WorkListBoxes() override {
        macro.SetScreen(nullptr);
        app.SetWindowPort(nullptr);
    }

    // Steps through macro 0 in the list's own loop; every box is answered by its first button
    // (OK, or Yes for a question). What each box was like, in order.
    std::vector<Box> stepThrough() {
        std::vector<Box> boxes;
        QPointer<CWorkListDlg> list;
        // A click that opens a box runs the box's loop inside it: it comes from a timer of its
        // own, so that this one goes on looking at the screen meanwhile.
        bool pressing = false;
        const auto press = [&pressing](QAbstractButton* button) {
            pressing = true;
            QTimer::singleShot(0, button, [button, &pressing] {
                pressing = false;
                QTest::mouseClick(button, Qt::LeftButton);
            });
        };
        QElapsedTimer waited;
        waited.start();
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* shown = qobject_cast<CWorkListDlg*>(modal)) {
                if (!list) {
                    list = shown;
                    // Over the whole screen, the centre where a box opens included.
                    shown->setGeometry(QApplication::primaryScreen()->availableGeometry());
                }
                if (shown->isVisible() && shown->stepButton()->isEnabled() && !pressing)
                    press(shown->stepButton());
            } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->isVisible()) {
                const QWindow* transient =
                    box->windowHandle() ? box->windowHandle()->transientParent() : nullptr;
                boxes.push_back({box->text().toStdString(), list && box->parentWidget() == list,
                                 list && transient && transient == list->windowHandle()});
                QAbstractButton* answer = box->buttons().value(0);
                if (box->button(QMessageBox::Yes)) answer = box->button(QMessageBox::Yes);
                if (!pressing) press(answer);
            }
            if (waited.elapsed() > 20000 && modal) {
                ADD_FAILURE() << "no end in 20 s";
                modal->close();
            }
        });
        user.start(5);
        macro.StepMacro(0);
        return boxes;
    }

    CKWApp app;
    FrameOnly windows;
    CMacro macro{app};
    MacroDialogs screen{macro};
};

TEST_F(WorkListBoxes, EveryBoxARunRaisesOpensOverTheList) {
    const std::string complete = "マクロの実行が完了しました。";
    const struct {
        const char* name;
        std::vector<std::string> steps;
        std::vector<std::string> texts;
    } cases[] = {
        {"the completion message", {"DispConsole", "DispConsole"}, {complete}},
        {"a stopping step's message", {"DispConsole", "MinAll", "DispConsole"},
         {"集計できませんでした"}},
        {"a player's question", {"ExeMacro,x"}, {"続けますか？", complete}},
    };
    for (const auto& c : cases) {
        macro.DeleteMacro(0);
        macro.AddMacro("m", "", c.steps);
        std::vector<Box> expected;
        for (const std::string& text : c.texts)
            expected.push_back({text, true, true});
        EXPECT_EQ(stepThrough(), expected) << c.name;
        EXPECT_EQ(screen.openDialog(), "") << c.name;
    }
    // Once the list is gone, the boxes are the main window's again.
    bool framesBox = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        framesBox = box && box->parentWidget() == &windows.frame;
        if (box) QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
    });
    app.ShowInformation("終わりました");
    EXPECT_TRUE(framesBox);
}

}  // namespace
}  // namespace zbq::test
