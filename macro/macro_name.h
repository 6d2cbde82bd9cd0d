// The macro name as the name dialog takes it: CP932 bytes, at most 64 of them (the macro file's
// limit, counted in bytes, so a Japanese name the dialog takes is one the next start-up reads),
// and a name no other macro has. The validator refuses, as it is typed, a character that would
// pass 64 bytes or that CP932 cannot hold; the check on OK refuses an empty name silently and a
// taken one with its message. User-interface thread only.
#pragma once

#include <QValidator>

#include <optional>
#include <string>

class CMacro;

// The CP932 bytes of `text` when it can name a macro by its length and characters; else nullopt.
std::optional<std::string> macroNameBytes(const QString& text);

class MacroNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// OK of the name dialog: true to accept `name` (CP932). The macro at `excluded` (-1 none) may
// keep its own name.
bool acceptMacroName(const CMacro& macro, const std::string& name, int excluded);
