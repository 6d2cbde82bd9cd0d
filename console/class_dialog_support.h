// What the two class-list editors share: the message box of a field check and the recording
// of a typed field, which records on focus-out only when the text changed since focus-in.
#pragma once

#include <string>
#include <string_view>

class CKWApp;
class QWidget;

// An information box with the product caption (UTF-8 text).
void ShowClassFieldMessage(QWidget* owner, const char* text);

// A typed field's focus state for recording: the text it had when it took the focus.
class TypedFieldRecord {
public:
    void focusIn(const CKWApp& app, std::string_view text);
    // Records `command` with the text (or "???" when 可変) when the text changed; unmarks.
    void focusOut(CKWApp& app, std::string_view text, const char* command);

private:
    std::string kept_;
    bool marked_ = false;
};

// Held texts: at most 127 bytes, never cut inside a character.
std::string HeldClassText(std::string_view text);
