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
