// SaveZbw played on a started application: the scope chooses the records, the data file and its
// macro file are written, a "???" password is asked in the password dialog, and a folder that
// does not exist stops the run with nothing written.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/kw_search.h"
#include "macro/cmacro.h"
#include "macro/parameter_asker.h"
#include "tests/support/app_harness.h"

namespace zbq::test {
namespace {

class NoAnswers : public ParameterAsker {
public:
    int asked = 0;
    std::string askMacroParameter(std::string_view, std::int32_t) override {
        ++asked;
        return {};
    }
};

std::int32_t recordsIn(const std::string& path, const std::string& password = {}) {
    KW_search s;
    return s.KWopen(path, password) < 0 ? -1 : s.KWgetRecordCount();
}

// The fixture started from its definition, its men (5 records) the displayed set 1.
class SaveZbwPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        macro.SetParameterAsker(&asker);
        ASSERT_TRUE(h.start({h.writeFixture()}));
        CKWApp& app = h.app();
        ASSERT_EQ(app.KWsrch("#1=1"), 5);
        const KW_mapPtr men = app.KWmapGet();
        std::vector<SetRecord> sets = app.Sets();
        sets.push_back({1, 1, "#1=1", "No.1 #1=1 / 5", "", men, men->byteLength(), 5});
        app.SetSetList(2, sets);
        h.prompts().clear();
    }
    std::int32_t play(std::string path, std::string password, std::string scope) {
        return macro.ExecuteCommand({"SaveZbw", std::move(path), std::move(password), scope});
    }

    AppHarness h;
    CMacro macro{h.app()};
    NoAnswers asker;
};

TEST_F(SaveZbwPlayer, ScopeChoosesTheRecordsAndBothFilesAreWritten) {
    struct Case {
        const char* scope;
        std::int32_t records;
    };
    // Any scope but 0 saves the displayed set; one without digits reads 0.
    const Case cases[] = {{"0", 12}, {"1", 5}, {"2", 5}, {"x", 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scope);
        const std::string path = h.file(std::string("scope") + c.scope + ".zbq");
        EXPECT_EQ(play(path, "", c.scope), 1);
        EXPECT_EQ(recordsIn(path), c.records);
        EXPECT_TRUE(std::filesystem::exists(h.file(std::string("scope") + c.scope + ".mcr")));
    }
}

TEST_F(SaveZbwPlayer, PasswordIsTakenFromTheStepOrAskedInThePasswordDialog) {
    EXPECT_EQ(play(h.file("given.zbq"), "abc", "1"), 1);
    EXPECT_EQ(recordsIn(h.file("given.zbq")), -1);
    EXPECT_EQ(recordsIn(h.file("given.zbq"), "abc"), 5);
    EXPECT_TRUE(h.dialogsShown().empty());

    h.answerDialogs({"typed"});
    EXPECT_EQ(play(h.file("asked.zbq"), "???", "1"), 1);
    EXPECT_EQ(h.dialogsShown(), std::vector<std::string>{"password"});
    EXPECT_EQ(recordsIn(h.file("asked.zbq"), "typed"), 5);
    // The password is never typed in clear into the variable-value prompt.
    EXPECT_EQ(asker.asked, 0);

    // Cancelled, the save goes on without a password.
    h.answerDialogs({std::nullopt});
    EXPECT_EQ(play(h.file("cancelled.zbq"), "???", "1"), 1);
    EXPECT_EQ(recordsIn(h.file("cancelled.zbq")), 5);
}

TEST_F(SaveZbwPlayer, AMissingFolderStopsTheRunWithNothingWritten) {
    const std::string folder = h.file("nowhere");
    EXPECT_EQ(play(folder + "/out.zbq", "", "0"), 0);
    ASSERT_EQ(h.prompts().messages().size(), 1u);
    EXPECT_EQ(h.prompts().messages()[0].text.toStdString(),
              "コマンド[SaveZbw]のパラメータのフォルダ\n[" + folder +
                  "]が存在しません。\nマクロの実行を中止します。");
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(h.app().GetLoadMode(), 1);
}

}  // namespace
}  // namespace zbq::test
