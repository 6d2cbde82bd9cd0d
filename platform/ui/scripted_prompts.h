// A Prompts service for tests: it installs itself for its lifetime, records every message box,
// chooser and beep, and answers from queues the test fills beforehand.
//
// A message with only an OK button needs no answer. A question takes the next queued answer; when
// none is queued it answers as closing the box would (No or Cancel) and counts it in unanswered(),
// so a test notices a question it did not expect. Choosers take the next queued choice the same
// way (none queued: cancelled, and counted); the save chooser and the several-file chooser have
// queues of their own. Not thread-safe; one per test.
#pragma once

#include "platform/ui/prompts.h"

#include <deque>
#include <string>
#include <vector>

namespace zbq::ui {

class ScriptedPrompts final : public Prompts {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // Queues the answer to the next question.
    void answer(Answer answer) { answers_.push_back(answer); }
    // Queues the result of the next chooser (std::nullopt: the user cancels).
    void choose(std::optional<QString> path) { choices_.push_back(std::move(path)); }
    // Queues the result of the next save chooser: the path and the filter chosen (std::nullopt:
    // the user cancels).
    void chooseSave(std::optional<SaveChoice> choice) { saveChoices_.push_back(std::move(choice)); }
    // Queues the result of the next several-file chooser (std::nullopt: the user cancels).
    void chooseFiles(std::optional<QStringList> files) { fileLists_.push_back(std::move(files)); }

    const std::vector<Message>& messages() const { return messages_; }
    // The texts of the messages shown, in order, as UTF-8.
    std::vector<std::string> messageTexts() const;
    const std::vector<Chooser>& choosers() const { return choosers_; }
    int beeps() const { return beeps_; }
    int unanswered() const { return unanswered_; }
    // Answers and choices queued but not yet asked for.
    std::size_t pending() const {
        return answers_.size() + choices_.size() + fileLists_.size() + saveChoices_.size();
    }
    void clear();

    using Prompts::message;
    Answer message(QWidget* parent, const Message& message) override;
    std::optional<QString> choose(QWidget* parent, const Chooser& chooser) override;
    std::optional<QStringList> chooseFiles(QWidget* parent, const Chooser& chooser) override;
    std::optional<SaveChoice> chooseSave(QWidget* parent, const Chooser& chooser) override;
    void beep() override { ++beeps_; }

private:
    Prompts* previous_;
    std::deque<Answer> answers_;
    std::deque<std::optional<QString>> choices_;
    std::deque<std::optional<QStringList>> fileLists_;
    std::deque<std::optional<SaveChoice>> saveChoices_;
    std::vector<Message> messages_;
    std::vector<Chooser> choosers_;
    int beeps_ = 0;
    int unanswered_ = 0;
};

}  // namespace zbq::ui
