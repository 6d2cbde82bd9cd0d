// The built ZBQIniViewer starts beside ZBQ and the sample ZBQ.ini in the build tree, and its dialog
// shows Japanese text: a screenshot taken offscreen lands in the build tree for a person to look
// at.
#include "settingstool/print_format_list.h"
#include "settingstool/settings_dlg.h"
#include "tests/settingstool/settings_fixture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

namespace zbq::settings {
namespace {

QProcessEnvironment offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("ZBQ_PROGRAM_DIR");
    return env;
}

// The sign that the tool has started: it handles the session's signal itself. Before that, on a
// loaded machine, a signal would end it before its main() runs.
void waitUntilItCatchesTheSignal(const QProcess& tool) {
    const std::string status = "/proc/" + std::to_string(tool.processId()) + "/status";
    for (int i = 0; i < 6000 && tool.state() == QProcess::Running; ++i) {
        std::ifstream in(status);
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("SigCgt:", 0) == 0 &&
                (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1))
                return;
        QThread::msleep(10);
    }
    ADD_FAILURE() << "the tool never took the signal over";
}

TEST(Launch, StartsBesideTheSampleIniAndEndsCleanlyWhenAsked) {
    const QString exe = QString::fromUtf8(ZBQ_INI_VIEWER);
    ASSERT_TRUE(QFileInfo::exists(QFileInfo(exe).absolutePath() + "/ZBQ.ini"))
        << "the build did not place the sample ZBQ.ini beside the program";
    QProcess tool;
    tool.setProcessEnvironment(offscreen());
    tool.start(exe, {});
    ASSERT_TRUE(tool.waitForStarted(10000));
    waitUntilItCatchesTheSignal(tool);
    EXPECT_FALSE(tool.waitForFinished(2000)) << tool.readAllStandardError().toStdString();
    tool.terminate();
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

// The menu entries the tool saves reach ZBQ only through one file: the two programs share a
// folder, and the build that places the sample there never replaces what the tool saved.
TEST(Launch, ZbqAndTheToolShareTheirFolderAndItsIni) {
    EXPECT_EQ(QFileInfo(QString::fromUtf8(ZBQ_EXECUTABLE)).absolutePath(),
              QFileInfo(QString::fromUtf8(ZBQ_INI_VIEWER)).absolutePath());
}

TEST(Launch, TheBuildPlacesTheSampleOnlyWhereNoIniIs) {
    zbq::test::TempDir folder;
    const auto place = [&folder] {
        QProcess cmake;
        cmake.start(
            QString::fromUtf8(CMAKE_COMMAND),
            {QStringLiteral("-DSAMPLE=") + QString::fromUtf8(ZBQ_SAMPLE_INI),
             QStringLiteral("-DTARGET=") + QString::fromStdString(folder.file("bin/ZBQ.ini")),
             QStringLiteral("-P"), QString::fromUtf8(PLACE_SAMPLE_INI)});
        ASSERT_TRUE(cmake.waitForFinished(60000));
        EXPECT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
    };
    place();
    EXPECT_EQ(zbq::test::readFile(folder.file("bin/ZBQ.ini")), zbq::test::readFile(ZBQ_SAMPLE_INI));
    zbq::test::writeFile(folder.file("bin/ZBQ.ini"), "[print]\r\nprt01=1,saved,a.xls\r\n");
    // Saved long ago: older than the sample, and still the user's.
    std::filesystem::last_write_time(
        folder.file("bin/ZBQ.ini"),
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 30));
    place();
    EXPECT_EQ(zbq::test::readFile(folder.file("bin/ZBQ.ini")),
              "[print]\r\nprt01=1,saved,a.xls\r\n");
}

TEST(Launch, WithoutIniItEndsWithFailure) {
    zbq::test::TempDir empty;
    QProcess tool;
    QProcessEnvironment env = offscreen();
    env.insert("ZBQ_PROGRAM_DIR", QString::fromStdString(empty.path()));
    tool.setProcessEnvironment(env);
    tool.start(QString::fromUtf8(ZBQ_INI_VIEWER), {});
    ASSERT_TRUE(tool.waitForStarted(10000));
    waitUntilItCatchesTheSignal(tool);
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
