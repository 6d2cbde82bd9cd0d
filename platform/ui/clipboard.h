// The text clipboard: what copies hand to other programs, behind an interface tests replace.
//
// Text goes in and comes out as CP932 bytes, the form every model holds; line ends are kept as
// given (the exports end every line with CR LF and a pasting spreadsheet relies on it).
// clipboard() returns the service in force: the desktop's clipboard (QClipboard) unless another
// one is installed. GUI thread only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zbq::ui {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content with the text; false when the clipboard cannot be had,
    // and then its content is left as it was.
    virtual bool setText(std::string_view cp932) = 0;
    // The clipboard's text; std::nullopt when it holds none, or text CP932 cannot hold.
    virtual std::optional<std::string> text() const = 0;
};

// The service in force; never null.
Clipboard& clipboard();
// Installs `service` (not owned; null restores the desktop's) and returns the one it replaces.
Clipboard* setClipboard(Clipboard* service);

// For tests: installs itself for its lifetime, keeps the text it is given and counts the puts.
// setAvailable(false) stands for a clipboard another program holds: puts fail and change nothing.
class ScriptedClipboard final : public Clipboard {
public:
    ScriptedClipboard();
    ~ScriptedClipboard() override;
    ScriptedClipboard(const ScriptedClipboard&) = delete;
    ScriptedClipboard& operator=(const ScriptedClipboard&) = delete;

    bool setText(std::string_view cp932) override;
    std::optional<std::string> text() const override { return text_; }
    void setAvailable(bool available) { available_ = available; }
    int puts() const { return puts_; }

private:
    Clipboard* previous_;
    std::optional<std::string> text_;
    bool available_ = true;
    int puts_ = 0;
};

}  // namespace zbq::ui
