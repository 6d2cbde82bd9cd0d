// Opening a file with the program the desktop registers for it (a help file, an attached file, a
// format file), behind an interface that tests replace.
//
// opener() returns the service in force: the desktop's own (QDesktopServices, which hands the file
// to xdg-open) unless another one is installed. GUI thread only. Paths are UTF-8.
#pragma once

#include <QString>

#include <vector>

namespace zbq::ui {

class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // False when the file does not exist or no program could be started for it.
    virtual bool open(const QString& path) = 0;
};

// The service in force; never null.
DesktopOpener& opener();
// Installs `service` (not owned; null restores the desktop's) and returns the one it replaces.
DesktopOpener* setOpener(DesktopOpener* service);

// For tests: installs itself for its lifetime, records each path and answers with result().
class ScriptedOpener final : public DesktopOpener {
public:
    explicit ScriptedOpener(bool result = true);
    ~ScriptedOpener() override;
    ScriptedOpener(const ScriptedOpener&) = delete;
    ScriptedOpener& operator=(const ScriptedOpener&) = delete;

    bool open(const QString& path) override;
    void setResult(bool result) { result_ = result; }
    const std::vector<QString>& opened() const { return opened_; }

private:
    DesktopOpener* previous_;
    bool result_;
    std::vector<QString> opened_;
};

}  // namespace zbq::ui
