// ZBQ started as scripts/run starts it, offscreen and in process: the real frame, console and
// macro object over the sample data set. The frame is maximised, the console shows and paints,
// and the font covers its tab captions and the set line.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QTabBar>
#include <QTabWidget>

#include <set>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
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
    CKWApp app;
    app.SetProgramDir(dir.path());
    CMacro macro(app);
    WindowFactories factories;
    factories.console = [&app](CMainFrame& frame) { return CConsSheet::MakeHandle(app, &frame); };
    CMainFrame frame(app, std::move(factories));

    ASSERT_TRUE(app.InitInstance({std::string(ZBQ_SAMPLE_DIR) + "/questionnaire.def"}));
    EXPECT_TRUE(frame.isMaximized());
    auto* console = qobject_cast<CConsSheet*>(frame.console());
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

    app.ExitInstance();
}

}  // namespace
