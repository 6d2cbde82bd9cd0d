// Every window a step opens while the work list runs belongs to the list. The list stays above
// the other windows and runs its own modal loop: a dialog owned by any other window opened under
// it, and took no click, since the list's loop let none through to a window it does not own. Here
// the real program plays its real steps from a list in its own loop, enlarged over the screen;
// every dialog, question, chooser and box runs as on the screen, and a timer acts as the user,
// clicking a button of each as it comes.
#include "tests/macro/macro_program.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>

#include "console/class_dialogs.h"
#include "console/filter_cond_dlg.h"
#include "macro/work_list_dlg.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/prompts.h"
#include "tests/support/real_input.h"

namespace zbq::test {
namespace {

// One window as the user met it.
struct Met {
    std::string what;
    // On the screen (WM_TRANSIENT_FOR) the list owns it: a step's dialog and the question
    // directly, a box or chooser directly or through the dialog that opened it.
    bool ownedByList = false;
    bool operator==(const Met&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Met& met) {
    return out << "{" << met.what << ", owned by the list " << met.ownedByList << "}";
}

// A click as the window system gives it, to the window under the pointer: a window that a modal
// loop blocks never sees it (QTest's click on a widget is handed to the widget whatever blocks
// it).
void clickOnScreen(QAbstractButton* button) {
    QWidget* window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(window, button->rect().center()));
}

class WorkListDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(p.start());
        p.frame.show();
        ASSERT_TRUE(activate(&p.frame));
    }

    // Steps through macro 0 from the list's own loop, every dialog in its own loop, every box and
    // chooser the real one. What the user met, in order.
    std::vector<Met> stepThrough() {
        const ui::ScopedModalHook ownLoops([](QDialog& dialog) { return dialog.exec(); });
        ui::Prompts* scripted = ui::setPrompts(nullptr);
        std::vector<Met> met;
        QPointer<CWorkListDlg> list;
        // The windows clicked, as long as they live: a later one may take a gone one's address.
        std::vector<QPointer<QWidget>> seen;
        const auto isSeen = [&seen](QWidget* window) {
            return std::find(seen.begin(), seen.end(), window) != seen.end();
        };
        // The list owns it directly (a step's dialog, the question).
        const auto direct = [&list](QWidget* window) {
            return list && window->windowHandle() &&
                   window->windowHandle()->transientParent() == list->windowHandle();
        };
        // The list owns it, or owns the window that does (a dialog's own box stays above it).
        const auto owned = [&list](QWidget* window) {
            if (!list) return false;
            for (QWindow* w = window->windowHandle(); w; w = w->transientParent())
                if (w->transientParent() == list->windowHandle()) return true;
            return false;
        };
        // A click that opens a loop runs that loop inside it: it comes from a timer of its own,
        // so that this one goes on looking at the screen meanwhile.
        // A press waits for its window to be active, which lets this timer in: the next move is
        // made once the window is active. A press that opens a loop runs that loop inside it: it
        // comes from a timer of its own, so that this one goes on looking at the screen meanwhile.
        bool pressing = false;
        const auto later = [&pressing](QWidget* on, std::function<void()> act) {
            pressing = true;
            QTimer::singleShot(0, on, [act, &pressing] {
                act();
                pressing = false;
            });
        };
        const auto click = [&pressing](QAbstractButton* button) {
            pressing = true;
            QTimer::singleShot(0, button, [button, &pressing] {
                const bool active = activate(button);
                pressing = false;
                if (active) clickOnScreen(button);
            });
        };
        QElapsedTimer waited;
        waited.start();
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (waited.elapsed() > 30000 && modal) {
                ADD_FAILURE() << "no end in 30 s";
                modal->close();
                return;
            }
            if (pressing || !modal || !modal->isVisible()) return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                met.push_back({box->text().toStdString(), owned(box)});
                click(box->buttons().value(0));
            } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
                met.push_back({"chooser", owned(chooser)});
                click(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel));
            } else if (auto* question = qobject_cast<CVarCondDlg*>(modal)) {
                const bool browse = question->browseButton()->isVisible();
                if (!isSeen(question)) {
                    seen.push_back(question);
                    met.push_back({"question", direct(question)});
                    if (browse) return click(question->browseButton());
                    later(question, [question] {
                        typeInto(question->valueEdit(), QStringLiteral("10"));
                        if (activate(question)) clickOnScreen(question->okButton());
                    });
                } else {
                    // Back from the chooser with no file: Escape answers nothing.
                    later(question, [question] {
                        activate(question);
                        QTest::keyClick(question, Qt::Key_Escape);
                    });
                }
            } else if (auto* shown = qobject_cast<CWorkListDlg*>(modal)) {
                if (!list) {
                    list = shown;
                    shown->setGeometry(QApplication::primaryScreen()->availableGeometry());
                }
                // The dialog the last step opened, clicked once.
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (!top->isVisible() || isSeen(top)) continue;
                    QAbstractButton* button = nullptr;
                    if (auto* filter = qobject_cast<CFilterCondDlg*>(top))
                        button = buttonOf(*filter, QStringLiteral("OK"));
                    else if (auto* small = qobject_cast<CMinorCategoryDlg*>(top))
                        button = small->button("追加");
                    else if (auto* rows = qobject_cast<CCategoryListDlg*>(top))
                        button = rows->button("追加");
                    if (!button) continue;
                    seen.push_back(top);
                    met.push_back({top->windowTitle().toStdString(), direct(top)});
                    return click(button);
                }
                if (shown->stepButton()->isEnabled()) click(shown->stepButton());
            }
        });
        user.start(5);
        p.macro.StepMacro(0);
        ui::setPrompts(scripted);
        return met;
    }

    MacroProgram p;
};

TEST_F(WorkListDialogs, EveryWindowAStepOpensIsTheListsAndTakesAClick) {
    p.macro.AddMacro("dialogs", "",
                     {"DispAddFilterDialog", "InputFilterTerm1,???", "CancelFilterDialog",
                      "DispEditSmallClassDialog", "CancelSmallClassDialog",
                      "DispEditMiddleClassDialog", "CancelMiddleClassDialog",
                      "DispEditLargeClassDialog", "CancelLargeClassDialog", "ImportCategory,???"});
    const std::vector<Met> expected = {
        {"ﾌｨﾙﾀ条件", true},
        {"指定項目名を選択して下さい", true},  // the filter dialog's OK, clicked
        {"question", true},
        {"小分類編集", true},
        {"名称を入力して下さい", true},  // 追加 with no name, clicked
        {"中分類編集", true},
        {"名称を入力して下さい", true},
        {"大分類編集", true},
        {"名称を入力して下さい", true},
        {"question", true},
        {"chooser", true},
    };
    std::vector<Met> met = stepThrough();
    // Escape on the last question leaves its step without a file, which stops the run.
    ASSERT_EQ(met.size(), expected.size() + 1) << ::testing::PrintToString(met);
    EXPECT_TRUE(met.back().ownedByList) << met.back();
    met.pop_back();
    EXPECT_EQ(met, expected);
    EXPECT_EQ(p.screen.openDialog(), "");
}

}  // namespace
}  // namespace zbq::test
