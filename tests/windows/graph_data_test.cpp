// The value list's graph: the text sent to the graph control and its limits (a fake control
// records the calls), and the chart workbook the real Grafvik writes from it, read back by
// openpyxl.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "graphctl/graph_client.h"
#include "platform/ui/desktop_opener.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/windows/item_fixture.h"
#include "windows/graph_data.h"
#include "windows/graph_host.h"
#include "windows/value_list_page.h"

namespace zbq::windows {
namespace {

class FakeOutput : public GraphOutput {
public:
    std::vector<std::string> calls;
    void setFilePath(const std::string& path) override { calls.push_back("SetFilePath " + path); }
    void setData(const std::string& text) override { calls.push_back("SetData " + text); }
    void closeXls(const std::string& path) override { calls.push_back("CloseXLS " + path); }
    void exNormal() override { calls.push_back("ExNormal"); }
};

// An Integer item "n" with `values` distinct values (1 .. values) and value 1 held `ones` times.
bool loadValues(test::AppHarness& harness, int values, int ones = 1) {
    std::string data = "n\n";
    for (int v = 1; v <= values; ++v)
        for (int k = 0; k < (v == 1 ? ones : 1); ++k)
            data += std::to_string(v) + "\n";
    return harness.load("Title = \"g\"\nitem = \"n\"\n  Integer\nEndItem\nEndTitle\n", data);
}

TEST(GraphName, CutsAtTwentyCharactersNeverSplittingOne) {
    const std::string kanji = cp932::literal("あいうえおかきくけこさしすせそたちつてとなにぬねの");
    EXPECT_EQ(graphName(kanji), kanji.substr(0, 40));
    const std::string mixed = cp932::literal("ab漢字ｶﾅcdefghijklmnopq字r");
    EXPECT_EQ(cp932::toUtf8(graphName(mixed)), "ab漢字ｶﾅcdefghijklmnop");
    EXPECT_EQ(graphName("a\tb\r\nc"), "a b  c");
    // A lead byte with nothing after it is sent as the byte it is.
    EXPECT_EQ(graphName("ab\x82"), "ab\x82");
}

class GraphTest : public test::ItemWindowTest {};

TEST_F(GraphTest, SendsNamesAndCountsInTheListOrder) {
    FakeOutput output;
    app().SetGraphTempPath(harness.file("temp/x_g.xlsx"));
    ValueListModel sex(app(), test::kSex);
    sex.SortDown();
    const std::string text = BuildGraph(app(), sex, output);
    // Error and blank rows first with the engine's names for them, then the count order.
    const std::string expected = sex.cellText(0, 1) + "\t1\t" + sex.cellText(1, 1) + "\t1\t" +
                                 cp932::literal("女性") + "\t5\t" + cp932::literal("男性") + "\t5";
    EXPECT_EQ(text, expected);
    const std::string path = harness.file("temp/x_g.xlsx");
    EXPECT_EQ(output.calls, (std::vector<std::string>{"SetFilePath " + path, "SetData " + expected,
                                                      "CloseXLS " + path, "ExNormal"}));
    ValueListModel age(app(), test::kAge);
    const std::string prefix =
        cp932::literal("ｴﾗｰ\t1\tﾌﾞﾗﾝｸ\t1\t-3\t1\t0\t1\t19\t1\t28\t1\t34\t2\t");
    EXPECT_EQ(BuildGraph(app(), age, output).substr(0, prefix.size()), prefix);
}

TEST(GraphLimits, TenThousandValuesAreSentOneMoreIsRefused) {
    for (const int rows : {10000, 10001}) {
        test::AppHarness harness;
        ASSERT_TRUE(loadValues(harness, rows - 2));
        ValueListModel model(harness.app(), 0);
        ASSERT_EQ(model.rowCount(), rows);
        FakeOutput output;
        harness.prompts().answer(ui::Answer::Ok);  // the question above 100 values
        const std::string text = BuildGraph(harness.app(), model, output);
        if (rows == kMaxGraphValues) {
            EXPECT_EQ(output.calls.size(), 4u);
            EXPECT_FALSE(text.empty());
        } else {
            EXPECT_TRUE(text.empty());
            EXPECT_EQ(output.calls.size(), 1u);  // the path only; no data
            ASSERT_FALSE(harness.prompts().messages().empty());
            EXPECT_EQ(harness.prompts().messages().back().text.toStdString(),
                      "データ数が多いため表示できません");
        }
    }
}

TEST(GraphLimits, MoreThanAHundredValuesAsk) {
    for (const int rows : {100, 101}) {
        test::AppHarness harness;
        ASSERT_TRUE(loadValues(harness, rows - 2, 1234));
        ValueListModel model(harness.app(), 0);
        FakeOutput output;
        harness.prompts().answer(ui::Answer::Cancel);
        const std::string text = BuildGraph(harness.app(), model, output);
        if (rows == 100) {
            EXPECT_TRUE(harness.prompts().messages().empty());
            // "1,234" in the list goes out as the four digits; no TAB at the end.
            const std::string prefix = cp932::literal("ｴﾗｰ\t0\tﾌﾞﾗﾝｸ\t0\t1\t1234\t2\t1\t");
            EXPECT_EQ(text.substr(0, prefix.size()), prefix);
            EXPECT_NE(text.back(), '\t');
        } else {
            ASSERT_EQ(harness.prompts().messages().size(), 1u);
            EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(),
                      "データ数が多いため、見づらくなる可能性があります");
            EXPECT_TRUE(text.empty());
        }
    }
}

// Grafvik itself, loaded from the build, as the graph host uses it.
class LibraryOutput : public GraphOutput {
public:
    explicit LibraryOutput(grafvik::GraphControlClient& client) : client_(client) {}
    void setFilePath(const std::string& path) override { client_.setFilePath(path); }
    void setData(const std::string& text) override { client_.setData(cp932::toUtf8(text)); }
    void closeXls(const std::string& path) override { client_.closeXls(path); }
    void exNormal() override { client_.exNormal(); }

private:
    grafvik::GraphControlClient& client_;
};

TEST_F(GraphTest, TheRealControlWritesTheWorkbookThatOpens) {
    std::string why;
    auto client = grafvik::GraphControlClient::openLibrary(GRAFVIK_LIBRARY, nullptr, &why);
    ASSERT_TRUE(client) << why;
    LibraryOutput output(*client);
    const GraphOutput* previous = setGraphOutput(&output);
    ui::ScriptedOpener opener;
    app().SetGraphOutput(1);
    app().SetExcelPath("calc.desktop");  // as start-up finds one
    app().SetGraphTempPath(harness.file("temp/fixture_g.xlsx"));
    ValueListModel sex(app(), test::kSex);
    ValueListPage page(app(), sex);
    EXPECT_EQ(page.DispGraph(), 1);
    ASSERT_EQ(opener.opened().size(), 1u);
    EXPECT_EQ(opener.opened()[0].toStdString(), harness.file("temp/fixture_g.xlsx"));
    EXPECT_EQ(macro.steps, std::vector<std::string>{"DispGraph,1"});
    const test::ProgramRun run = test::runPython(
        {"-c",
         "import sys, openpyxl\n"
         "wb = openpyxl.load_workbook(sys.argv[1])\n"
         "ws = wb['Data']\n"
         "print('|'.join('%s=%s' % (r[0].value, r[1].value) for r in ws.iter_rows(max_col=2)))\n",
         harness.file("temp/fixture_g.xlsx")});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("男性=5|女性=5"), std::string::npos) << run.output;
    setGraphOutput(const_cast<GraphOutput*>(previous));
}

TEST_F(GraphTest, AMissingWorkbookIsToldAndRecordsNothing) {
    FakeOutput output;  // writes no file
    const GraphOutput* previous = setGraphOutput(&output);
    ui::ScriptedOpener opener;
    app().SetGraphOutput(1);
    app().SetGraphTempPath(harness.file("temp/none_g.xlsx"));
    ValueListModel sex(app(), test::kSex);
    ValueListPage page(app(), sex);
    EXPECT_EQ(page.DispGraph(), 0);
    ASSERT_FALSE(harness.prompts().messages().empty());
    EXPECT_EQ(harness.prompts().messages().back().text.toStdString(),
              "グラフファイルの作成に失敗しました");
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_TRUE(macro.steps.empty());
    setGraphOutput(const_cast<GraphOutput*>(previous));
}

}  // namespace
}  // namespace zbq::windows
