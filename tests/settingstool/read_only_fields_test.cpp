// The read-only fields of both dialogs, offscreen under the default style: the user cannot
// type in them, and they are drawn on the window's colour, not on an editable field's white.
#include "settingstool/print_format_dlg.h"
#include "settingstool/settings_dlg.h"
#include "tests/settingstool/settings_fixture.h"

#include <QImage>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace zbq::settings {
namespace {

void expectDrawnAsReadOnly(QLineEdit* field) {
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isReadOnly());
    auto name = [](const QColor& c) { return c.name().toStdString(); };
    const QPalette& palette = field->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        EXPECT_EQ(name(palette.color(group, QPalette::Base)),
                  name(palette.color(group, QPalette::Window)));
    // What the style paints: inside the frame, right of any text.
    field->clear();
    field->resize(200, field->sizeHint().height());
    const QImage image = field->grab().toImage();
    EXPECT_EQ(name(image.pixelColor(image.width() / 2, image.height() / 2)),
              name(palette.color(QPalette::Active, QPalette::Window)));
}

TEST(ReadOnlyFields, AreDrawnOnTheWindowColour) {
    test::ToolFolder folder(test::iniBytes({"[image]", "path=/a"}));
    CSettingsDlg settings;
    ASSERT_TRUE(settings.start(folder.iniPath()));
    expectDrawnAsReadOnly(settings.findChild<QLineEdit*>("linkFolder"));
    CPrintFormatDlg entry({1});
    expectDrawnAsReadOnly(entry.findChild<QLineEdit*>("macroFile"));
}

}  // namespace
}  // namespace zbq::settings
