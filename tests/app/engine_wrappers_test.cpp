// The engine wrappers as the windows use them: a checked wrapper that the engine fails tells
// the user with the wrapper's own name and the engine's code and passes the code on; a result
// of 0 or more passes silently; the exclusion flag reads inverted; cross-tab cells reach the
// engine with X and Y where the engine expects them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using zbq::test::TempDir;

enum : std::int32_t { kNum = 0, kRatio = 1, kKind = 2, kNote = 3 };

// Four records; dictionary positions: num 10, 20 at 2, 3 (record 3's "x" is an error);
// kind "1", "2" at 2, 3.
FixtureTable fixture() {
    FixtureTable t;
    t.items = {{"num", KW_TYPE_INTEGER},
               {"ratio", KW_TYPE_FLOAT},
               {"kind",
                KW_TYPE_STRING,
                {{"1", zbq::cp932::literal("東京")}, {"2", zbq::cp932::literal("大阪")}}},
               {"note", KW_TYPE_STRING}};
    t.rows = {{"10", "1.5", "1", "a"},
              {"20", "2.5", "2", "b"},
              {"10", "", "2", "c"},
              {"x", "3.5", "1", ""}};
    return t;
}

class EngineWrappers : public ::testing::Test {
protected:
    void SetUp() override {
        zbq::test::writeFixture(dataFile, fixture());
        ASSERT_EQ(app.Search().KWopen(dataFile, ""), 0);
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : prompts.messages())
            out.push_back(m.text.toStdString());
        return out;
    }

    TempDir dir;
    std::string dataFile = dir.file("set.zbq");
    zbq::ui::ScriptedPrompts prompts;
    CKWApp app;
};

struct CheckedCase {
    const char* name;
    std::function<std::int32_t(CKWApp&)> fail;
    std::int32_t code;
    std::function<std::int32_t(CKWApp&)> succeed;
};

TEST_F(EngineWrappers, CheckedWrapperTellsTheEnginesFailureAndPassesTheCodeOn) {
    const std::string notData = dir.file("plain.txt");
    zbq::test::writeFile(notData, "not a data file\n");
    std::int32_t value = 0;
    double real = 0;
    const std::vector<CheckedCase> cases = {
        {"KWsrch", [](CKWApp& a) { return a.KWsrch("(#0=10"); }, KW_ERR_SYNTAX,
         [](CKWApp& a) { return a.KWsrch("#0=10"); }},
        {"KWsrch", [](CKWApp& a) { return a.KWsrch("#9=1"); }, KW_ERR_PASSWORD, nullptr},
        {"KWpwdSet", [&](CKWApp& a) { return a.KWpwdSet(notData, "pw"); }, KW_ERR_NOT_DATA_FILE,
         [&](CKWApp& a) { return a.KWpwdSet(dataFile, "pw"); }},
        {"KWpwdSet", [&](CKWApp& a) { return a.KWpwdSet(dataFile, std::string(17, 'p')); },
         KW_ERR_ARGUMENT, nullptr},
        {"KWpwdchk", [&](CKWApp& a) { return a.KWpwdchk(notData); }, KW_ERR_NOT_DATA_FILE,
         [&](CKWApp& a) { return a.KWpwdchk(dataFile); }},
        {"KWdispCode", [](CKWApp& a) { return a.KWdispCode(kNum); }, -1,
         [](CKWApp& a) { return a.KWdispCode(kKind); }},
        {"KWdispName", [](CKWApp& a) { return a.KWdispName(kNote); }, -1,
         [](CKWApp& a) { return a.KWdispName(kKind); }},
        {"KWgetDisp", [](CKWApp& a) { return a.KWgetDisp(9); }, -1,
         [](CKWApp& a) { return a.KWgetDisp(kKind); }},
        {"KWreadInteger", [&](CKWApp& a) { return a.KWreadInteger(4, kNum, &value); }, -1,
         [&](CKWApp& a) { return a.KWreadInteger(3, kNum, &value); }},
        {"KWreadDouble", [&](CKWApp& a) { return a.KWreadDouble(0, kNum, &real); }, -1,
         [&](CKWApp& a) { return a.KWreadDouble(0, kRatio, &real); }},
        {"KWmapSet", [](CKWApp& a) { return a.KWmapSet(std::make_shared<const KW_map>(100)); }, -1,
         [](CKWApp& a) { return a.KWmapSet(std::make_shared<const KW_map>(4)); }},
        {"KWnewMap", [](CKWApp& a) { return a.KWnewMap(kNum); }, -1,
         [](CKWApp& a) {
             a.KWpassDataFromMap(kNum, 2);
             return a.KWnewMap(kNum);
         }},
        {"KWpassDataFromMap", [](CKWApp& a) { return a.KWpassDataFromMap(kNum, 4); }, -1,
         [](CKWApp& a) { return a.KWpassDataFromMap(kNum, 3); }},
        {"KWgetValueCount", [](CKWApp& a) { return a.KWgetValueCount(-1); }, -1,
         [](CKWApp& a) { return a.KWgetValueCount(kNum); }},
        // These cannot fail on a loaded set; they must stay silent.
        {"KWgetDataCount", nullptr, 0, [](CKWApp& a) { return a.KWgetDataCount(); }},
        {"KWmapGetLength", nullptr, 0, [](CKWApp& a) { return a.KWmapGetLength(); }},
        {"KWmapClear", nullptr, 0, [](CKWApp& a) { return a.KWmapClear(); }},
    };
    for (const CheckedCase& c : cases) {
        SCOPED_TRACE(c.name);
        app.Search().KWmapClear();  // each case starts from all records
        if (c.fail) {
            prompts.clear();
            EXPECT_EQ(c.fail(app), c.code);
            ASSERT_EQ(prompts.messages().size(), 1u);
            const auto& box = prompts.messages()[0];
            EXPECT_EQ(box.text.toStdString(),
                      std::string(c.name) +
                          "()がエラー終了しました [errorNo:" + std::to_string(c.code) + "]");
            EXPECT_EQ(box.caption, "ZEBRINE");
            EXPECT_EQ(box.icon, zbq::ui::Icon::Exclamation);
            EXPECT_EQ(box.buttons, zbq::ui::Buttons::Ok);
        }
        if (c.succeed) {
            prompts.clear();
            EXPECT_GE(c.succeed(app), 0);
            EXPECT_EQ(texts(), std::vector<std::string>{});
        }
    }
}

TEST_F(EngineWrappers, ExclusionFlagReadsAsIncluded) {
    // No flags yet: every value is included.
    EXPECT_EQ(app.KWpassDataGet(kNum, 2), 1);
    ASSERT_EQ(app.KWpassDataFromMap(kNum, 3), 0);
    EXPECT_EQ(app.KWpassDataGet(kNum, 3), 0);
    EXPECT_EQ(app.KWpassDataGet(kNum, 2), 1);
    // Out of range answers as the engine's "no flags": included.
    EXPECT_EQ(app.KWpassDataGet(kNum, 99), 1);
    app.KWpassDataClear(kNum);
    EXPECT_EQ(app.KWpassDataGet(kNum, 3), 1);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(EngineWrappers, CrossCellsReachTheEngineAsXThenY) {
    // X = kind, Y = num. Kind "2" (position 3) with num 10 (position 2) is record 2; kind "1"
    // (position 2) with num 20 (position 3) is no record: a swap shows.
    ASSERT_EQ(app.ExecuteCross(kKind, kNum, -1, 0, 0.0), 0);
    EXPECT_EQ(app.GetCrossCount(CrossCell{3, 2}), 1);
    EXPECT_EQ(app.GetCrossCount(CrossCell{2, 3}), 0);
    EXPECT_EQ(app.GetCrossCount(CrossCell{2, 2}), 1);
    EXPECT_EQ(app.GetCrossCellFlag(CrossCell{3, 2}), 0);

    ASSERT_EQ(app.MarkCrossCell(CrossCell{3, 2}), 0);
    EXPECT_EQ(app.CrossDrill(), 1);
    EXPECT_EQ(zbq::test::viewRecords(app.Search()), std::vector<int>{2});
}

TEST_F(EngineWrappers, CurrentMapSavesAsItsOwnDataFile) {
    ASSERT_EQ(app.KWsrch("#0=10"), 2);
    const std::string saved = dir.file("part.zbq");
    ASSERT_EQ(app.KWmapSave(saved), 0);

    KW_search reread;
    ASSERT_EQ(reread.KWopen(saved, ""), 0);
    EXPECT_EQ(reread.KWgetRecordCount(), 2);
    EXPECT_EQ(reread.KWgetTitle(), app.Search().KWgetTitle());
}

}  // namespace
