// Adding records to the loaded data set: the rows of a text file (TAB, no heading line, one
// column per item) join the loaded records, only set 0 remains, and every failing step leaves
// the old data set loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "tests/app/import_fixture.h"
#include "tests/app/start_fixture.h"
#include "tests/support/app_harness.h"

namespace zbq::test {
namespace {

// The harness's seven items, in item order.
const char* kAdded =
    "B001\t1\t20\t1,2\t3\t2024/01/01\t10:00:00\n"
    "B002\t2\t21\t2\t4.5\t2024/01/02\t11:00:00\n";

class AddDataTest : public ::testing::Test {
protected:
    // The fixture loaded as a data file is: mode 2, its working file the built one.
    void loadAsDataFile() {
        ASSERT_TRUE(h.load());
        asDataFile();
        h.app().SetSetList(1, {SetRecord{0, 0, "t", "No.0 t / 12", "", nullptr, 0, 12},
                               SetRecord{0, 1, "x", "No.1 x / 3", "", nullptr, 0, 3}});
    }
    // What start-up on a data file leaves: mode 2, the run's names for the added and joined
    // records.
    void asDataFile() {
        h.app().SetTempAddFile(h.file("temp/harness_a.zbq"));
        h.app().SetTempMergeFile(h.file("temp/harness_m.zbq"));
        h.app().SetLoadMode(2);
        h.app().SetDataFilePath(h.app().GetTempDataFile());
        h.prompts().clear();
    }
    std::string addFile(const std::string& text) {
        const std::string path = h.file("temp/add.dat");
        std::ofstream(path, std::ios::binary) << sj(text);
        return path;
    }
    std::string readString(int row, int item) {
        const char* text = nullptr;
        EXPECT_GE(h.app().KWreadString(row, item, &text), 0);
        return text ? text : "";
    }

    AppHarness h;
};

TEST_F(AddDataTest, AddedRowsFollowTheLoadedOnesAndOnlySetZeroRemains) {
    loadAsDataFile();
    const std::string file = addFile(kAdded);
    ASSERT_EQ(h.app().AddDataFromFile(file), 1);
    EXPECT_EQ(h.app().KWgetDataCount(), 14);
    EXPECT_EQ(readString(12, 0), "B001");
    std::int32_t age = 0;
    ASSERT_GE(h.app().KWreadInteger(13, 2, &age), 0);
    EXPECT_EQ(age, 21);
    ASSERT_EQ(h.app().Sets().size(), 1u);
    const SetRecord& all = h.app().Sets().front();
    EXPECT_EQ(all.recordCount, 14);
    EXPECT_EQ(all.text1, h.app().GetStructDef().title);
    EXPECT_EQ(all.text2, "No.0 " + h.app().GetStructDef().title + " / 14");
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{"Excelファイルのデータを追加しました"});
    EXPECT_EQ(h.app().GetLoadMode(), 3);
    EXPECT_EQ(h.app().IsAddingData(), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    // The joined set is the working file a save starts from.
    EXPECT_EQ(h.app().Search().KWgetRecordCount(), 14);
    EXPECT_TRUE(std::filesystem::file_size(h.app().GetTempMergeFile()) > 0);

    // A second addition joins onto the first, and a save holds them all.
    ASSERT_EQ(h.app().AddDataFromFile(addFile(kAdded)), 1);
    EXPECT_EQ(h.app().KWgetDataCount(), 16);
    h.app().SetSaveMode(1);
    h.app().SetSavePath(h.file("saved.zbq"));
    ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);
    KW_search saved;
    ASSERT_EQ(saved.KWopen(h.file("saved.zbq"), ""), 0);
    EXPECT_EQ(saved.KWgetRecordCount(), 16);
}

TEST_F(AddDataTest, ADefinitionsSeparatorHeadingAndColumnsDoNotShiftTheAddedRows) {
    // Comma-separated text data with a heading line and items reading columns 3, 1, 2.
    ASSERT_TRUE(h.load(sj("Title = \"t\"\nNOTTAB\nAlloc = \"3,1,2\"\nitem = \"a\"\n String\n"
                          "EndItem\nitem = \"b\"\n Integer\nEndItem\nitem = \"c\"\n String\n"
                          "EndItem\nEndTitle\n"),
                       "h1,h2,h3\n1,x,a\n2,y,b\n"));
    asDataFile();
    ASSERT_EQ(h.app().AddDataFromFile(addFile("first\t7\tlast\nsecond\t8\t\n")), 1);
    ASSERT_EQ(h.app().KWgetDataCount(), 4);
    EXPECT_EQ(readString(0, 0), "a");
    EXPECT_EQ(readString(2, 0), "first");
    EXPECT_EQ(readString(2, 2), "last");
    EXPECT_EQ(readString(3, 0), "second");
    std::int32_t b = 0;
    ASSERT_GE(h.app().KWreadInteger(3, 1, &b), 0);
    EXPECT_EQ(b, 8);
}

// A user's text file in the data set's own format (a macro's AddData names one): read with the
// definition's separator, heading line and columns, it adds exactly its records, each equal to
// the loaded record it repeats. The sample's own text data (TAB, a heading line), and
// comma-separated data with a heading whose items read columns 3 and 1.
TEST(AddUsersTextFile, ReadAsTheDefinitionReadsItsOwnData) {
    const auto sample = [](const char* name) {
        std::ifstream in(std::string(ZBQ_SAMPLE_DIR) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const struct {
        const char* name;
        std::string definition, data;
    } cases[] = {
        {"the sample", sample("questionnaire.def"), sample("questionnaire.dat")},
        {"comma-separated with a heading",
         sj("Title=\"c\"\nNOTTAB\nAlloc=\"3,1\"\nitem=\"名前\"\nString\nEndItem\n"
            "item=\"点\"\nInteger\nEndItem\nEndTitle\n"),
         sj("点,x,名前\n10,a,佐藤\n20,b,鈴木\n30,c,\"高橋\"\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        ASSERT_TRUE(h.load(c.definition, c.data));
        CKWApp& app = h.app();
        app.SetTempAddFile(h.file("temp/harness_a.zbq"));
        app.SetTempMergeFile(h.file("temp/harness_m.zbq"));
        app.SetLoadMode(2);
        app.SetDataFilePath(app.GetTempDataFile());
        const std::int32_t loaded = app.Search().KWgetRecordCount();
        ASSERT_GT(loaded, 1);
        std::vector<std::int32_t> errors;
        for (std::int32_t item = 0; item < app.Search().KWgetItemCount(); ++item)
            errors.push_back(app.Search().dictionary(item)[0].count);
        const std::string file = h.file("user.txt");
        std::ofstream(file, std::ios::binary) << c.data;
        h.prompts().clear();

        app.SetAddFilePath(file);
        ASSERT_EQ(app.AddExcelData(), 1);
        app.SetAddFilePath("");
        EXPECT_EQ(shown(h.prompts()),
                  std::vector<std::string>{"Excelファイルのデータを追加しました"});
        const KW_search& s = app.Search();
        ASSERT_EQ(s.KWgetRecordCount(), 2 * loaded);
        for (std::int32_t item = 0; item < s.KWgetItemCount(); ++item) {
            SCOPED_TRACE("item " + std::to_string(item));
            const auto values = s.values(item);
            const auto starts = s.answerStarts(item);
            // One dictionary for all records: equal values hold equal positions.
            const auto answers = [&](std::int32_t r) {
                if (starts.empty()) return std::vector<std::int32_t>{values[r]};
                return std::vector<std::int32_t>(values.begin() + starts[r],
                                                 values.begin() + starts[r + 1]);
            };
            for (std::int32_t r = 0; r < loaded; ++r)
                ASSERT_EQ(answers(r), answers(r + loaded)) << "record " << r;
            // No error made of a heading or of a line taken whole.
            EXPECT_EQ(s.dictionary(item)[0].count, 2 * errors[item]);
        }
        EXPECT_TRUE(std::filesystem::exists(file)) << "a user's file stays";
    }
}

TEST_F(AddDataTest, AFailingStepKeepsTheOldDataSet) {
    for (const CKWApp::AddStage stage : {CKWApp::AddStage::Build, CKWApp::AddStage::Join,
                                         CKWApp::AddStage::Open, CKWApp::AddStage::Install}) {
        SCOPED_TRACE(static_cast<int>(stage));
        loadAsDataFile();
        CKWApp& app = h.app();
        std::vector<std::string> before = h.tempFiles();
        app.SetAddFaultHook([stage](CKWApp::AddStage s) { return s == stage; });
        const std::string file = addFile(kAdded);
        EXPECT_EQ(app.AddDataFromFile(file), 0);
        EXPECT_EQ(shown(h.prompts()),
                  std::vector<std::string>{stage >= CKWApp::AddStage::Open
                                               ? "ZBQファイルのオープンに失敗しました。"
                                               : "読み込みに失敗しました"});
        EXPECT_EQ(app.KWgetDataCount(), AppHarness::kFixtureRecords);
        EXPECT_EQ(app.Sets().size(), 2u);
        EXPECT_EQ(app.IsAddingData(), 0);
        EXPECT_EQ(app.GetLoadMode(), 2);
        EXPECT_FALSE(std::filesystem::exists(file));
        // Nothing but the built records of the add is new in temp/.
        std::vector<std::string> after = h.tempFiles();
        std::erase(after, "harness_a.zbq");
        std::erase(before, "harness_a.zbq");
        EXPECT_EQ(after, before);
        app.SetAddFaultHook(nullptr);
    }
}

// A protected data file whose joined records cannot take the working file's place: the set
// stays loaded as it was opened, with its password, and searches go on.
TEST_F(AddDataTest, AProtectedSetStaysLoadedWhenTheJoinCannotBecomeTheWorkingFile) {
    const std::string path = makeDataFile(h, "locked.zbq", "pw");
    h.answerDialogs({"pw"});
    ASSERT_TRUE(h.restart({path}));
    CKWApp& app = h.app();
    ASSERT_EQ(app.GetLoadMode(), 2);
    // A folder that is not empty under the joined file's name: the last step, the rename, fails.
    std::filesystem::remove(app.GetTempMergeFile());
    std::filesystem::create_directories(app.GetTempMergeFile() + "/held");
    h.prompts().clear();

    EXPECT_EQ(app.AddDataFromFile(addFile(kAdded)), 0);
    EXPECT_EQ(shown(h.prompts()),
              std::vector<std::string>{"ZBQファイルのオープンに失敗しました。"});
    EXPECT_EQ(app.Search().KWgetRecordCount(), AppHarness::kFixtureRecords);
    EXPECT_EQ(app.Search().KWgetPath(), path);
    EXPECT_EQ(app.GetLoadMode(), 2);
    EXPECT_EQ(app.IsDataLoaded(), 1);
    h.prompts().clear();
    EXPECT_GE(app.KWsrch("#1=1"), 1);
    EXPECT_TRUE(h.prompts().messages().empty());
    for (const std::string& name : h.tempFiles())
        EXPECT_EQ(name.find("zbq-tmp"), std::string::npos) << name;
}

TEST_F(AddDataTest, RecordsThatDoNotBuildKeepTheOldDataSet) {
    loadAsDataFile();
    EXPECT_EQ(h.app().AddDataFromFile(h.file("temp/none.dat")), 0);
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{"読み込みに失敗しました"});
    EXPECT_EQ(h.app().KWgetDataCount(), AppHarness::kFixtureRecords);
    EXPECT_EQ(h.app().Sets().size(), 2u);
}

TEST_F(AddDataTest, ASetFromADefinitionAddsNothingAndKeepsItsMode) {
    ASSERT_TRUE(h.load());
    ASSERT_EQ(h.app().GetLoadMode(), 1);
    h.prompts().clear();
    EXPECT_EQ(h.app().AddDataFromFile(addFile(kAdded)), 1);
    EXPECT_EQ(h.app().GetLoadMode(), 1);
    EXPECT_EQ(h.app().KWgetDataCount(), AppHarness::kFixtureRecords);
    EXPECT_TRUE(shown(h.prompts()).empty());
}

}  // namespace
}  // namespace zbq::test
