// Detached programs through QProcess, and the scripted starter of the tests.
#include "platform/ui/process_starter.h"

#include <QProcess>

namespace zbq::ui {

namespace {

class QtStarter final : public ProcessStarter {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        if (program.isEmpty()) return false;
        return QProcess::startDetached(program, arguments);
    }
};

ProcessStarter* g_installed = nullptr;

}  // namespace

ProcessStarter& processStarter() {
    static QtStarter qtStarter;
    return g_installed ? *g_installed : qtStarter;
}

ProcessStarter* setProcessStarter(ProcessStarter* service) {
    ProcessStarter* previous = g_installed;
    g_installed = service;
    return previous;
}

ScriptedStarter::ScriptedStarter(bool result)
    : previous_(setProcessStarter(this)), result_(result) {}

ScriptedStarter::~ScriptedStarter() {
    setProcessStarter(previous_);
}

bool ScriptedStarter::startDetached(const QString& program, const QStringList& arguments) {
    started_.push_back({program, arguments});
    return result_;
}

}  // namespace zbq::ui
