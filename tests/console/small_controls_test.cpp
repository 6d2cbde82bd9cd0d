// The small controls and dialogs offscreen: the stepping number box under its keys, the unit
// dialog that never shows "10億", and the save-option dialog that saves nothing without a choice.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QRadioButton>

#include "console/image_button.h"
#include "console/save_mode_dlg.h"
#include "console/unit_set_dlg.h"
#include "console/up_down_edit.h"
#include "platform/ui/modal_runner.h"

namespace {

void press(QWidget& widget, Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

TEST(UpDownEditWidget, ArrowKeysStepTheNumber) {
    CUpDownEdit edit;
    press(edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "1");
    press(edit, Qt::Key_Down);
    press(edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), "0");
    edit.setText("100");
    press(edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "100");
    edit.setText("250");
    press(edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), "99");
    press(edit, Qt::Key_Left);  // other keys are the edit's own
    EXPECT_EQ(edit.text(), "99");
}

TEST(UnitSetDlg, NeverShowsTheThousandMillionUnit) {
    for (int unit : {0, 1, 2, 3}) {
        CUnitSetDlg dialog({unit, 2});
        dialog.show();
        EXPECT_FALSE(dialog.unitButton(3)->isVisible()) << unit;
        EXPECT_TRUE(dialog.unitButton(1)->isVisible());
        EXPECT_TRUE(dialog.unitButton(2)->isVisible());
    }
    // A unit of 3 handed in stays checked behind the hidden button and comes back as it was.
    CUnitSetDlg kept({3, 3});
    EXPECT_TRUE(kept.unitButton(3)->isChecked());
    kept.accept();
    EXPECT_EQ(kept.setting(), (UnitSetting{3, 3}));
}

TEST(UnitSetDlg, OpensOnTheCurrentSettingAndReadsTheChoiceBack) {
    struct Case {
        UnitSetting given;
        UnitSetting checked;
    };
    const Case cases[] = {
        {{0, 3}, {1, 1}},  // no unit yet: "1,000", "切り捨て"
        {{-1, 0}, {1, 1}},
        {{2, 3}, {2, 3}},
        {{1, 0}, {1, 0}},  // no rounding: none checked
    };
    for (const Case& c : cases)
        EXPECT_EQ(unitButtonsOnOpening(c.given), c.checked) << c.given.unit << c.given.rounding;

    CUnitSetDlg dialog({1, 0});
    dialog.unitButton(2)->setChecked(true);
    dialog.accept();
    EXPECT_EQ(dialog.setting(), (UnitSetting{2, 0})) << "a group without a choice keeps its value";

    CUnitSetDlg cancelled({1, 1});
    cancelled.unitButton(2)->setChecked(true);
    cancelled.reject();
    EXPECT_EQ(cancelled.setting(), (UnitSetting{1, 1}));
}

TEST(SaveModeDlg, WithoutAChoiceNothingIsSaved) {
    struct Case {
        int choose;  // -1 none, 0 all records, 1 the displayed set
        bool ok;
        std::optional<std::int32_t> scope;
    };
    const Case cases[] = {
        {-1, true, std::nullopt},
        {0, true, 1},
        {1, true, 2},
        {1, false, std::nullopt},
    };
    for (const Case& c : cases) {
        zbq::ui::ScopedModalHook hook([&](QDialog& dialog) {
            auto& saveMode = dynamic_cast<CSaveModeDlg&>(dialog);
            EXPECT_EQ(saveMode.choice(), -1) << "nothing is chosen at first";
            EXPECT_EQ(saveMode.windowTitle(), "ZEBRINE");
            if (c.choose == 0) saveMode.allRecordsButton()->setChecked(true);
            if (c.choose == 1) saveMode.displayedSetButton()->setChecked(true);
            return c.ok ? QDialog::Accepted : QDialog::Rejected;
        });
        EXPECT_EQ(askSaveScope(nullptr), c.scope) << c.choose << c.ok;
        EXPECT_EQ(hook.calls(), 1);
    }
}

TEST(ImageButton, CornerMarkIsATriangleInTheTopLeftCorner) {
    CImageButton button;
    button.setText("&OK");
    button.resize(100, 40);
    EXPECT_EQ(button.SetBitmap(QIcon(), 16, 16), 0);
    button.SetCornerMark(true, Qt::red);
    const QImage image = button.grab().toImage();
    auto red = [&](int x, int y) { return image.pixelColor(x, y) == QColor(Qt::red); };
    EXPECT_TRUE(red(1, 1));
    EXPECT_TRUE(red(8, 1));  // the first line is 8 pixels long
    EXPECT_FALSE(red(9, 1));
    EXPECT_TRUE(red(1, 8));  // the eighth is 1 pixel long
    EXPECT_FALSE(red(2, 8));
    EXPECT_FALSE(red(1, 9));
}

}  // namespace
