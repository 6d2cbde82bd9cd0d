// The desktop's clipboard through QClipboard, and the scripted one of the tests.
#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/ui/qt_cp932.h"

namespace zbq::ui {

namespace {

class QtClipboard final : public Clipboard {
public:
    bool setText(std::string_view cp932) override {
        QClipboard* board = QGuiApplication::clipboard();
        if (!board) return false;
        board->setText(fromCp932(cp932), QClipboard::Clipboard);
        return true;
    }
    std::optional<std::string> text() const override {
        QClipboard* board = QGuiApplication::clipboard();
        if (!board) return std::nullopt;
        const QString text = board->text(QClipboard::Clipboard);
        if (text.isNull()) return std::nullopt;
        return toCp932(text);
    }
};

Clipboard* g_installed = nullptr;

}  // namespace

Clipboard& clipboard() {
    static QtClipboard desktop;
    return g_installed ? *g_installed : desktop;
}

Clipboard* setClipboard(Clipboard* service) {
    Clipboard* previous = g_installed;
    g_installed = service;
    return previous;
}

ScriptedClipboard::ScriptedClipboard() : previous_(setClipboard(this)) {}

ScriptedClipboard::~ScriptedClipboard() {
    setClipboard(previous_);
}

bool ScriptedClipboard::setText(std::string_view cp932) {
    if (!available_) return false;
    text_ = std::string(cp932);
    ++puts_;
    return true;
}

}  // namespace zbq::ui
