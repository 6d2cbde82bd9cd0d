#include "macro/macro_name.h"

#include "macro/cmacro.h"
#include "platform/ui/qt_cp932.h"

std::optional<std::string> macroNameBytes(const QString& text) {
    std::optional<std::string> bytes = zbq::ui::toCp932(text);
    if (!bytes || bytes->size() > CMacro::kMaxNameBytes) return std::nullopt;
    return bytes;
}

QValidator::State MacroNameValidator::validate(QString& input, int&) const {
    return macroNameBytes(input) ? Acceptable : Invalid;
}

bool acceptMacroName(const CMacro& macro, const std::string& name, int excluded) {
    if (name.empty()) return false;
    return macro.CheckMacroName(name, excluded) == 1;
}
