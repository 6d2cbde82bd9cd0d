// The ZBQ executable starts offscreen, stays up until it is asked to close, and closes cleanly.
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>
#include <csignal>

TEST(ZbqStartup, StaysUpUntilClosedAndExitsCleanly) {
    QProcess zbq;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    zbq.setProcessEnvironment(env);
    zbq.start(ZBQ_EXECUTABLE, {});
    ASSERT_TRUE(zbq.waitForStarted(10000));
    EXPECT_FALSE(zbq.waitForFinished(2000)) << "ZBQ exited on its own: "
                                             << zbq.readAllStandardError().toStdString();
    ASSERT_EQ(zbq.state(), QProcess::Running);

    zbq.terminate();  // SIGTERM: the session closing the program
    ASSERT_TRUE(zbq.waitForFinished(10000));
    EXPECT_EQ(zbq.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(zbq.exitCode(), 0) << zbq.readAllStandardError().toStdString();
}
