// The modal runner hands our dialogs to a test hook instead of a modal loop.
#include "platform/ui/modal_runner.h"

#include <QDialog>
#include <QLineEdit>

#include <gtest/gtest.h>

using zbq::ui::runModal;
using zbq::ui::ScopedModalHook;

TEST(ModalRunner, HookDrivesTheDialogAndItsResultIsReturned) {
    QDialog dialog;
    auto* field = new QLineEdit(&dialog);
    ScopedModalHook hook([](QDialog& d) {
        d.show();
        d.findChild<QLineEdit*>()->setText("typed");
        d.accept();
        return d.result();
    });
    EXPECT_EQ(runModal(dialog), QDialog::Accepted);
    EXPECT_EQ(field->text(), QString("typed"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(hook.calls(), 1);
}

TEST(ModalRunner, ADialogTheHookLeavesOpenIsClosed) {
    QDialog dialog;
    ScopedModalHook hook([](QDialog& d) {
        d.show();
        return 7;
    });
    EXPECT_EQ(runModal(dialog), 7);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(ModalRunner, HooksNestAndRestore) {
    QDialog dialog;
    ScopedModalHook outer([](QDialog&) { return 1; });
    {
        ScopedModalHook inner([](QDialog&) { return 2; });
        EXPECT_EQ(runModal(dialog), 2);
    }
    EXPECT_EQ(runModal(dialog), 1);
    EXPECT_EQ(outer.calls(), 1);
}
