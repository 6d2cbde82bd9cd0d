// The scripted Prompts: what tests rely on when they answer for a person.
#include "platform/ui/scripted_prompts.h"

#include <gtest/gtest.h>

using namespace zbq::ui;

TEST(ScriptedPrompts, RecordsMessagesAndAnswersQuestionsInOrder) {
    ScriptedPrompts script;
    script.answer(Answer::Yes);
    script.answer(Answer::Cancel);
    EXPECT_EQ(prompts().message(nullptr, "saved", "cap", Icon::Information), Answer::Ok);
    EXPECT_EQ(prompts().message(nullptr, "exit?", "cap", Icon::Question, Buttons::YesNo),
              Answer::Yes);
    EXPECT_EQ(prompts().message(nullptr, "overwrite?", "cap", Icon::Question, Buttons::YesNoCancel),
              Answer::Cancel);
    ASSERT_EQ(script.messages().size(), 3u);
    EXPECT_EQ(script.messages()[1].text, QString("exit?"));
    EXPECT_EQ(script.messages()[1].caption, QString("cap"));
    EXPECT_EQ(script.messages()[1].icon, Icon::Question);
    EXPECT_EQ(script.messages()[1].buttons, Buttons::YesNo);
    EXPECT_EQ(script.unanswered(), 0);
    EXPECT_EQ(script.pending(), 0u);
}

TEST(ScriptedPrompts, UnexpectedQuestionsAnswerAsClosingAndAreCounted) {
    ScriptedPrompts script;
    EXPECT_EQ(prompts().message(nullptr, "q", "", Icon::Question, Buttons::YesNo), Answer::No);
    EXPECT_EQ(prompts().message(nullptr, "q", "", Icon::Question, Buttons::OkCancel),
              Answer::Cancel);
    Chooser folder;
    folder.title = "pick";
    EXPECT_EQ(prompts().choose(nullptr, folder), std::nullopt);
    EXPECT_EQ(script.unanswered(), 3);
}

TEST(ScriptedPrompts, ChoosersTakeQueuedChoicesAndBeepsCount) {
    ScriptedPrompts script;
    script.choose(QString("/data/images"));
    script.choose(std::nullopt);
    Chooser chooser;
    chooser.kind = ChooserKind::OpenFile;
    chooser.start = "/opt/zbq/temp";
    EXPECT_EQ(prompts().choose(nullptr, chooser), QString("/data/images"));
    EXPECT_EQ(prompts().choose(nullptr, chooser), std::nullopt);
    prompts().beep();
    EXPECT_EQ(script.choosers().size(), 2u);
    EXPECT_EQ(script.choosers()[0].start, QString("/opt/zbq/temp"));
    EXPECT_EQ(script.beeps(), 1);
    EXPECT_EQ(script.unanswered(), 0);
}

TEST(ScriptedPrompts, InstallsForItsLifetimeAndNests) {
    Prompts* before = &prompts();
    {
        ScriptedPrompts outer;
        EXPECT_EQ(&prompts(), &outer);
        {
            ScriptedPrompts inner;
            EXPECT_EQ(&prompts(), &inner);
        }
        EXPECT_EQ(&prompts(), &outer);
    }
    EXPECT_EQ(&prompts(), before);
}

TEST(ScriptedPrompts, SaveChooserGivesThePathAndTheChosenFilter) {
    ScriptedPrompts script;
    script.chooseSave(SaveChoice{"/data/out.csv", 1});
    script.chooseSave(std::nullopt);
    Chooser chooser;
    chooser.filter = QString::fromUtf8("CSVファイル(*.csv);;TEXTファイル(*.txt)");
    chooser.defaultSuffix = "csv";
    const std::optional<SaveChoice> chosen = prompts().chooseSave(nullptr, chooser);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, QString("/data/out.csv"));
    EXPECT_EQ(chosen->filter, 1);
    EXPECT_EQ(prompts().chooseSave(nullptr, chooser), std::nullopt);
    EXPECT_EQ(prompts().chooseSave(nullptr, chooser), std::nullopt);  // nothing queued
    ASSERT_EQ(script.choosers().size(), 3u);
    EXPECT_EQ(script.choosers()[0].kind, ChooserKind::SaveFile);
    EXPECT_EQ(script.choosers()[0].defaultSuffix, QString("csv"));
    EXPECT_EQ(script.unanswered(), 1);
}

namespace {

// A service that knows only the plain chooser, as an older test double does.
class PlainPrompts final : public Prompts {
public:
    using Prompts::message;
    Answer message(QWidget*, const Message&) override { return Answer::Ok; }
    std::optional<QString> choose(QWidget*, const Chooser& chooser) override {
        kind = chooser.kind;
        return QString("/data/plain.txt");
    }
    std::optional<QStringList> chooseFiles(QWidget*, const Chooser&) override {
        return std::nullopt;
    }
    void beep() override {}
    ChooserKind kind = ChooserKind::Folder;
};

}  // namespace

TEST(ScriptedPrompts, AServiceWithoutASaveChooserAsksWithItsPlainOne) {
    PlainPrompts plain;
    const std::optional<SaveChoice> chosen = plain.chooseSave(nullptr, Chooser{});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, QString("/data/plain.txt"));
    EXPECT_EQ(chosen->filter, 0);
    EXPECT_EQ(plain.kind, ChooserKind::SaveFile);
}
