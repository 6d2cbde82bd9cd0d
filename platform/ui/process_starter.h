// Starting another program without waiting for it: the attachment viewer. A program is given as
// its path and its arguments, each handed over as it is, never put together into a command line
// that a shell would split. processStarter() returns the service in force: QProcess's detached
// start unless another one is installed. GUI thread only.
#pragma once

#include <string>
#include <vector>

namespace zbq::ui {

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // False when the program could not be started; nothing is left running then.
    virtual bool startDetached(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;
};

// The service in force; never null.
ProcessStarter& processStarter();
// Installs `service` (not owned; null restores QProcess's) and returns the one it replaces.
ProcessStarter* setProcessStarter(ProcessStarter* service);

// For tests: installs itself for its lifetime, records each start and answers with result().
class ScriptedProcessStarter final : public ProcessStarter {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        bool operator==(const Start&) const = default;
    };

    explicit ScriptedProcessStarter(bool result = true);
    ~ScriptedProcessStarter() override;
    ScriptedProcessStarter(const ScriptedProcessStarter&) = delete;
    ScriptedProcessStarter& operator=(const ScriptedProcessStarter&) = delete;

    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;
    void setResult(bool result) { result_ = result; }
    const std::vector<Start>& starts() const { return starts_; }

private:
    ProcessStarter* previous_;
    bool result_;
    std::vector<Start> starts_;
};

}  // namespace zbq::ui
