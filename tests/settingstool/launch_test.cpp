// The built ZBQIniViewer starts beside the sample ZBQ.ini in the build tree, and its dialog shows
// Japanese text: a screenshot taken offscreen lands in the build tree for a person to look at.
#include "settingstool/print_format_list.h"
#include "settingstool/settings_dlg.h"
#include "tests/settingstool/settings_fixture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace zbq::settings {
namespace {

QProcessEnvironment offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("ZBQ_PROGRAM_DIR");
    return env;
}

TEST(Launch, StartsBesideTheSampleIniAndEndsCleanlyWhenAsked) {
    const QString exe = QString::fromUtf8(ZBQ_INI_VIEWER);
    ASSERT_TRUE(QFileInfo::exists(QFileInfo(exe).absolutePath() + "/ZBQ.ini"))
        << "the build did not place the sample ZBQ.ini beside the program";
    QProcess tool;
    tool.setProcessEnvironment(offscreen());
    tool.start(exe, {});
    ASSERT_TRUE(tool.waitForStarted(10000));
    EXPECT_FALSE(tool.waitForFinished(2000)) << tool.readAllStandardError().toStdString();
    tool.terminate();
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

TEST(Launch, WithoutIniItEndsWithFailure) {
    zbq::test::TempDir empty;
    QProcess tool;
    QProcessEnvironment env = offscreen();
    env.insert("ZBQ_PROGRAM_DIR", QString::fromStdString(empty.path()));
    tool.setProcessEnvironment(env);
    tool.start(QString::fromUtf8(ZBQ_INI_VIEWER), {});
    ASSERT_TRUE(tool.waitForStarted(10000));
    // Message 10007 waits for a person; the session's signal closes it and the tool.
    EXPECT_FALSE(tool.waitForFinished(1000));
    tool.terminate();
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(empty.file("ZBQ.ini"))));
}

TEST(Launch, ScreenshotShowsTheJapaneseDialog) {
    test::ToolFolder folder(zbq::test::readFile(ZBQ_SAMPLE_INI));
    CSettingsDlg dialog;
    ASSERT_TRUE(dialog.start(folder.iniPath()));
    dialog.show();
    dialog.list()->selectRow(0);

    QFontMetrics metrics(dialog.list()->font());
    const QString shown = dialog.windowTitle() + dialog.list()->topLevelItem(1)->text(1);
    for (char32_t ch : shown.toUcs4())
        EXPECT_TRUE(metrics.inFontUcs4(ch)) << "no glyph for U+" << std::hex << unsigned(ch);

    const QImage image = dialog.grab().toImage();
    const QString png = QCoreApplication::applicationDirPath() + "/ZBQIniViewer_screenshot.png";
    ASSERT_TRUE(image.save(png)) << png.toStdString();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 500) << "the dialog rendered blank";
}

}  // namespace
}  // namespace zbq::settings
