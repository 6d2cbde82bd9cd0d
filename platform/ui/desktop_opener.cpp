#include "platform/ui/desktop_opener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <string>

extern char** environ;

namespace zbq::ui {

namespace {

// Watches one started opener until it ends: a failure within the watch is told once; after the
// watch the process is only waited for, so that it leaves no zombie behind. Belongs to the
// application object, so that a program ending first simply stops watching.
class OpenerWatch final : public QObject {
public:
    OpenerWatch(pid_t pid, std::chrono::milliseconds watch, std::function<void()> failed)
        : QObject(QCoreApplication::instance()), pid_(pid), failed_(std::move(failed)) {
        deadline_.setSingleShot(true);
        deadline_.start(watch);
        poll_.start(std::chrono::milliseconds(50));
        connect(&poll_, &QTimer::timeout, this, &OpenerWatch::look);
        connect(&deadline_, &QTimer::timeout, this, [this] {
            // Started: nothing more to tell, only the end to wait for.
            failed_ = nullptr;
            poll_.start(std::chrono::seconds(1));
        });
    }

private:
    void look() {
        int status = 0;
        const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
        if (ended == 0) return;
        poll_.stop();
        deadline_.stop();
        const bool failed = ended < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        std::function<void()> tell = std::move(failed_);
        deleteLater();
        if (failed && tell) tell();
    }

    pid_t pid_;
    std::function<void()> failed_;
    QTimer poll_;
    QTimer deadline_;
};

DesktopOpener* g_installed = nullptr;

}  // namespace

ProcessOpener::ProcessOpener(QString program, std::chrono::milliseconds watch)
    : program_(std::move(program)), watch_(watch) {}

bool ProcessOpener::open(const QString& path, std::function<void()> failedLater) {
    // The opener reports a missing file only after it has been started.
    if (!QFileInfo::exists(path)) return false;
    const std::string program = program_.toStdString();
    const std::string file = path.toStdString();
    // The file is one argument, whatever it holds; no shell reads it.
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(file.c_str()), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    new OpenerWatch(pid, watch_, std::move(failedLater));
    return true;
}

DesktopOpener& opener() {
    static ProcessOpener desktopOpener;
    return g_installed ? *g_installed : desktopOpener;
}

DesktopOpener* setOpener(DesktopOpener* service) {
    DesktopOpener* previous = g_installed;
    g_installed = service;
    return previous;
}

ScriptedOpener::ScriptedOpener(bool result) : previous_(setOpener(this)), result_(result) {}

ScriptedOpener::~ScriptedOpener() {
    setOpener(previous_);
}

bool ScriptedOpener::open(const QString& path, std::function<void()> failedLater) {
    opened_.push_back(path);
    if (result_ && failedLater) failures_.push_back(std::move(failedLater));
    return result_;
}

void ScriptedOpener::failLater() {
    std::vector<std::function<void()>> failures = std::move(failures_);
    failures_.clear();
    for (const std::function<void()>& failed : failures)
        failed();
}

}  // namespace zbq::ui
