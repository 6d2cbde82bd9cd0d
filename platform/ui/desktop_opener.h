// Opening a file with the program the desktop registers for it (a help file, an attached file, a
// format file, a written workbook), behind an interface that tests replace.
//
// opener() returns the service in force: the desktop's own (ProcessOpener on xdg-open) unless
// another one is installed. GUI thread only. Paths are UTF-8.
#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <vector>

namespace zbq::ui {

class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;

    bool open(const QString& path) { return open(path, {}); }
    // False when the file does not exist or no program could be started for it. A program that
    // starts may still find nothing to open the file with and give up at once: then
    // `failedLater` (may be empty) runs once, later, from the event loop. It must hold nothing
    // that may be gone by then.
    virtual bool open(const QString& path, std::function<void()> failedLater) = 0;
};

// The service in force; never null.
DesktopOpener& opener();
// Installs `service` (not owned; null restores the desktop's) and returns the one it replaces.
DesktopOpener* setOpener(DesktopOpener* service);

// Opens a file by starting `program` (the desktop's opener, xdg-open) on it, without waiting: it
// is watched from the event loop. An exit with a failure status (or by a signal) within `watch`
// is a program that could not be started; an exit after that, or a program still running, is a
// start (the opener may wait for the program it started to close, and then tell of that
// program's end). The program is never stopped from here: it runs on after ZBQ ends.
class ProcessOpener final : public DesktopOpener {
public:
    explicit ProcessOpener(QString program = QStringLiteral("xdg-open"),
                           std::chrono::milliseconds watch = std::chrono::seconds(10));
    using DesktopOpener::open;
    bool open(const QString& path, std::function<void()> failedLater) override;

private:
    QString program_;
    std::chrono::milliseconds watch_;
};

// For tests: installs itself for its lifetime, records each path and answers with result();
// failLater() runs the late failures of the opens so far, as a program that gave up would.
class ScriptedOpener final : public DesktopOpener {
public:
    explicit ScriptedOpener(bool result = true);
    ~ScriptedOpener() override;
    ScriptedOpener(const ScriptedOpener&) = delete;
    ScriptedOpener& operator=(const ScriptedOpener&) = delete;

    using DesktopOpener::open;
    bool open(const QString& path, std::function<void()> failedLater) override;
    void setResult(bool result) { result_ = result; }
    const std::vector<QString>& opened() const { return opened_; }
    void failLater();

private:
    DesktopOpener* previous_;
    bool result_;
    std::vector<QString> opened_;
    std::vector<std::function<void()>> failures_;
};

}  // namespace zbq::ui
