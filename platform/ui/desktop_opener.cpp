#include "platform/ui/desktop_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace zbq::ui {

namespace {

class QtOpener final : public DesktopOpener {
public:
    bool open(const QString& path) override {
        // xdg-open reports a missing file only after it has been started, and never to us.
        if (!QFileInfo::exists(path)) return false;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

DesktopOpener* g_installed = nullptr;

}  // namespace

DesktopOpener& opener() {
    static QtOpener qtOpener;
    return g_installed ? *g_installed : qtOpener;
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

bool ScriptedOpener::open(const QString& path) {
    opened_.push_back(path);
    return result_;
}

}  // namespace zbq::ui
