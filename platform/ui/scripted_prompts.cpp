#include "platform/ui/scripted_prompts.h"

namespace zbq::ui {

ScriptedPrompts::ScriptedPrompts() : previous_(setPrompts(this)) {}

ScriptedPrompts::~ScriptedPrompts() {
    setPrompts(previous_);
}

std::vector<std::string> ScriptedPrompts::messageTexts() const {
    std::vector<std::string> texts;
    for (const Message& m : messages_)
        texts.push_back(m.text.toStdString());
    return texts;
}

void ScriptedPrompts::clear() {
    answers_.clear();
    choices_.clear();
    fileLists_.clear();
    saveChoices_.clear();
    messages_.clear();
    choosers_.clear();
    beeps_ = 0;
    unanswered_ = 0;
}

Answer ScriptedPrompts::message(QWidget*, const Message& message) {
    messages_.push_back(message);
    if (message.buttons == Buttons::Ok) return Answer::Ok;
    if (answers_.empty()) {
        ++unanswered_;
        return message.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::choose(QWidget*, const Chooser& chooser) {
    choosers_.push_back(chooser);
    if (choices_.empty()) {
        ++unanswered_;
        return std::nullopt;
    }
    // Built in place from the front element: GCC 12 at -O2 takes a moved-from optional<QString>
    // for uninitialised.
    if (!choices_.front()) {
        choices_.pop_front();
        return std::nullopt;
    }
    QString choice = std::move(*choices_.front());
    choices_.pop_front();
    return choice;
}

std::optional<QStringList> ScriptedPrompts::chooseFiles(QWidget*, const Chooser& chooser) {
    choosers_.push_back(chooser);
    if (fileLists_.empty()) {
        ++unanswered_;
        return std::nullopt;
    }
    const bool given = fileLists_.front().has_value();
    QStringList files = given ? std::move(*fileLists_.front()) : QStringList();
    fileLists_.pop_front();
    if (!given || files.isEmpty()) return std::nullopt;
    return files;
}

std::optional<SaveChoice> ScriptedPrompts::chooseSave(QWidget*, const Chooser& chooser) {
    Chooser shown = chooser;
    shown.kind = ChooserKind::SaveFile;
    choosers_.push_back(shown);
    if (saveChoices_.empty()) {
        ++unanswered_;
        return std::nullopt;
    }
    // Built in place from the front element, as choose() does, for GCC 12's sake.
    if (!saveChoices_.front()) {
        saveChoices_.pop_front();
        return std::nullopt;
    }
    SaveChoice choice = std::move(*saveChoices_.front());
    saveChoices_.pop_front();
    return choice;
}

}  // namespace zbq::ui
