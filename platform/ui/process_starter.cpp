#include "platform/ui/process_starter.h"

#include <QProcess>
#include <QStringList>

namespace zbq::ui {
namespace {

class QtProcessStarter final : public ProcessStarter {
public:
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override {
        QStringList list;
        for (const std::string& argument : arguments)
            list << QString::fromStdString(argument);
        return QProcess::startDetached(QString::fromStdString(program), list);
    }
};

ProcessStarter* g_installed = nullptr;

}  // namespace

ProcessStarter& processStarter() {
    static QtProcessStarter qtStarter;
    return g_installed ? *g_installed : qtStarter;
}

ProcessStarter* setProcessStarter(ProcessStarter* service) {
    ProcessStarter* previous = g_installed;
    g_installed = service;
    return previous;
}

ScriptedProcessStarter::ScriptedProcessStarter(bool result)
    : previous_(setProcessStarter(this)), result_(result) {}

ScriptedProcessStarter::~ScriptedProcessStarter() {
    setProcessStarter(previous_);
}

bool ScriptedProcessStarter::startDetached(const std::string& program,
                                           const std::vector<std::string>& arguments) {
    starts_.push_back({program, arguments});
    return result_;
}

}  // namespace zbq::ui
