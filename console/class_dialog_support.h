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

// A text as a class field holds it: cut to `limit` bytes (names 127, values 255, what a category
// file and the settings blob keep), never inside a character. A text holding a line break or a
// NUL, which no line of a category file can, is refused: the field keeps `held`.
inline constexpr std::size_t kClassNameHeld = 127;
inline constexpr std::size_t kClassValueHeld = 255;
std::string HeldClassText(std::string_view text, std::string_view held, std::size_t limit);
// Whether a class field may take the text at all (no line break, no NUL).
bool FitsClassLine(std::string_view text);
