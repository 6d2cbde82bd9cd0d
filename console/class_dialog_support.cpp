#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/class_dialog_support.h"

#include <QString>

#include "platform/core/cp932.h"
#include "platform/ui/prompts.h"

void ShowClassFieldMessage(QWidget* owner, const char* text) {
    zbq::ui::prompts().message(owner, QString::fromUtf8(text), QString::fromUtf8(CKWApp::kCaption),
                               zbq::ui::Icon::Information);
}

void TypedFieldRecord::focusIn(const CKWApp& app, std::string_view text) {
    if (!app.macro().isRecording() || app.macro().isPlaying()) return;
    kept_ = std::string(text);
    marked_ = true;
}

void TypedFieldRecord::focusOut(CKWApp& app, std::string_view text, const char* command) {
    if (!marked_) return;
    marked_ = false;
    if (text == kept_) return;
    app.Record(StepBuilder(command).textOrAsk(text, app.macro().isVariable()));
}

bool FitsClassLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string HeldClassText(std::string_view text, std::string_view held, std::size_t limit) {
    return std::string(zbq::cp932::cut(FitsClassLine(text) ? text : held, limit));
}
