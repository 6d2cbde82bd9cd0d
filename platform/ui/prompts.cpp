#include "platform/ui/prompts.h"

#include "platform/ui/qt_prompts.h"

namespace zbq::ui {

namespace {

Prompts* g_installed = nullptr;

}  // namespace

Prompts& prompts() {
    static QtPrompts qtPrompts;
    return g_installed ? *g_installed : qtPrompts;
}

std::optional<SaveChoice> Prompts::chooseSave(QWidget* parent, const Chooser& chooser) {
    Chooser save = chooser;
    save.kind = ChooserKind::SaveFile;
    std::optional<QString> path = choose(parent, save);
    if (!path) return std::nullopt;
    return SaveChoice{*path, 0};
}

Prompts* setPrompts(Prompts* service) {
    Prompts* previous = g_installed;
    g_installed = service;
    return previous;
}

}  // namespace zbq::ui
