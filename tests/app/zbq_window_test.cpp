// ZBQ started as scripts/run starts it, offscreen and in process: the real frame, console and
// macro object over the sample data set. The frame is maximised, the console shows and paints,
// and the font covers its tab captions and the set line.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <set>

#include "console/data_sel_page.h"
#include "macro/macro_dialogs.h"
#include "platform/core/cp932.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/frame_with_console.h"
#include "tests/support/real_input.h"
#include "tests/support/temp_dir.h"

namespace {

int distinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

TEST(ZbqWindow, StartsOnTheSampleWithAPaintedConsole) {
    zbq::test::TempDir dir;
    zbq::ui::ScriptedPrompts prompts;
    zbq::test::FrameWithConsole program(dir.path());
    CKWApp& app = program.app;
    CMainFrame& frame = *program.frame;

    ASSERT_TRUE(app.InitInstance({std::string(ZBQ_SAMPLE_DIR) + "/questionnaire.def"}));
    EXPECT_TRUE(frame.isMaximized());
    CConsSheet* console = program.console();
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(console->isVisible());
    EXPECT_GT(distinctColours(console->grab().toImage()), 8) << "the console painted blank";

    QFontMetrics metrics(console->font());
    QString texts;
    for (int i = 0; i < console->tabs()->count(); ++i)
        texts += console->tabs()->tabText(i);
    const SetRecord set0 = app.GetSetRecord(0);
    EXPECT_EQ(zbq::cp932::toUtf8(set0.text2), "No.0 質問票ベンチマーク / 5,000");
    texts += QString::fromStdString(zbq::cp932::toUtf8(set0.text2));
    for (char32_t ch : texts.toUcs4())
        EXPECT_TRUE(metrics.inFontUcs4(ch)) << "no glyph for U+" << std::hex << unsigned(ch);

    // Closing the console is closing the program: the frame asks, and No keeps both open.
    prompts.clear();
    prompts.answer(zbq::ui::Answer::No);
    console->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, QString::fromUtf8("ZEBRINE を終了しますか？"));
    EXPECT_NE(frame.console(), nullptr);
    EXPECT_TRUE(frame.isVisible());
}

// Ctrl+M pressed where the user works, the console, opens the macro menu; with a modal dialog
// up the key does nothing, as the frame's menus do nothing then.
TEST(ZbqWindow, TheFramesKeysWorkFromTheConsoleAndNotUnderAModalDialog) {
    zbq::test::TempDir dir;
    zbq::ui::ScriptedPrompts prompts;
    zbq::test::FrameWithConsole program(dir.path());
    MacroDialogs screen(program.macro);
    program.macro.SetScreen(&screen);
    program.frame->setMacroCommandHandler(
        [&program](std::int32_t command) { program.macro.OnMacroCommand(command); });
    ASSERT_TRUE(program.app.InitInstance({std::string(ZBQ_SAMPLE_DIR) + "/questionnaire.def"}));
    CConsSheet* console = program.console();
    ASSERT_NE(console, nullptr);
    ASSERT_TRUE(zbq::test::activate(console));

    std::vector<std::string> opened;
    const zbq::ui::ScopedModalHook dialogs([&opened](QDialog& dialog) {
        opened.push_back(dialog.metaObject()->className());
        return int(QDialog::Rejected);
    });
    const auto ctrlM = [] {
        QWidget* at = QApplication::focusWidget() ? QApplication::focusWidget()
                                                  : QApplication::activeWindow();
        QTest::keyClick(at, Qt::Key_M, Qt::ControlModifier);
    };
    ctrlM();
    EXPECT_EQ(opened, std::vector<std::string>{"CMacroMenuDlg"});

    // A modal dialog in its own loop, over the console, answered by a timer.
    opened.clear();
    QDialog modal(console);
    bool pressed = false;
    QTimer::singleShot(0, &modal, [&] {
        if (zbq::test::activate(&modal)) {
            ctrlM();
            pressed = true;
        }
        modal.reject();
    });
    modal.exec();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(opened, std::vector<std::string>{});
}

}  // namespace
