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

Prompts* setPrompts(Prompts* service) {
    Prompts* previous = g_installed;
    g_installed = service;
    return previous;
}

}  // namespace zbq::ui
