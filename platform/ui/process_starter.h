// Starting another program (the attachment viewer) as a program and its arguments, detached: it
// runs on after ZBQ ends, and no shell or command line stands between, so an argument holding
// blanks, quotes or nothing at all reaches the program as one argument, exactly as given.
//
// processStarter() returns the service in force: the system's (QProcess) unless another one is
// installed. GUI thread only. Program and arguments are UTF-8 in QStrings.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace zbq::ui {

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // False when the program could not be started (not found, not executable).
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

// The service in force; never null.
ProcessStarter& processStarter();
// Installs `service` (not owned; null restores the system's) and returns the one it replaces.
ProcessStarter* setProcessStarter(ProcessStarter* service);

// For tests: installs itself for its lifetime, records each start and answers with result().
class ScriptedStarter final : public ProcessStarter {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    explicit ScriptedStarter(bool result = true);
    ~ScriptedStarter() override;
    ScriptedStarter(const ScriptedStarter&) = delete;
    ScriptedStarter& operator=(const ScriptedStarter&) = delete;

    bool startDetached(const QString& program, const QStringList& arguments) override;
    void setResult(bool result) { result_ = result; }
    const std::vector<Start>& started() const { return started_; }

private:
    ProcessStarter* previous_;
    bool result_;
    std::vector<Start> started_;
};

}  // namespace zbq::ui
