// The Prompts service shown to a person: QMessageBox, QFileDialog and the system beep.
// prompts() falls back to one of these when no other service is installed.
#pragma once

#include "platform/ui/prompts.h"

namespace zbq::ui {

class QtPrompts final : public Prompts {
public:
    using Prompts::message;
    Answer message(QWidget* parent, const Message& message) override;
    std::optional<QString> choose(QWidget* parent, const Chooser& chooser) override;
    std::optional<QStringList> chooseFiles(QWidget* parent, const Chooser& chooser) override;
    std::optional<SaveChoice> chooseSave(QWidget* parent, const Chooser& chooser) override;
    void beep() override;
};

}  // namespace zbq::ui
