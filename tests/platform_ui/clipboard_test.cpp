// The text clipboard: CP932 in and out of the desktop's clipboard with its line ends intact, and
// the scripted one standing in for a clipboard another program holds.
#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "platform/core/cp932.h"

using namespace zbq::ui;

TEST(Clipboard, DesktopClipboardKeepsCp932TextAndCrLf) {
    // Two-byte characters, half-width katakana and a TAB/CR LF table, as a copy writes them.
    const std::string text = zbq::cp932::literal("項目\tﾌﾞﾗﾝｸ品\r\n①～\t2\r\n");
    ASSERT_TRUE(clipboard().setText(text));
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("項目\tﾌﾞﾗﾝｸ品\r\n①～\t2\r\n"));
    EXPECT_EQ(clipboard().text(), text);
}

TEST(Clipboard, TextCp932CannotHoldReadsAsNone) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8("snow ☃ man"));
    EXPECT_EQ(clipboard().text(), std::nullopt);
}

TEST(Clipboard, ScriptedClipboardInstallsAndAHeldClipboardChangesNothing) {
    Clipboard* before = &clipboard();
    {
        ScriptedClipboard scripted;
        EXPECT_EQ(&clipboard(), &scripted);
        EXPECT_TRUE(clipboard().setText("a\r\n"));
        scripted.setAvailable(false);
        EXPECT_FALSE(clipboard().setText("b\r\n"));
        EXPECT_EQ(scripted.text(), "a\r\n");
        EXPECT_EQ(scripted.puts(), 1);
    }
    EXPECT_EQ(&clipboard(), before);
}
