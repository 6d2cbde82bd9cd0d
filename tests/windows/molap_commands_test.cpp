// The aggregation window's commands on a built table: the copy and the text files byte for
// byte, failures that keep the old file and record nothing, the workbook's column limit, the
// drill-through into body, total and header cells, and the filter's recorded step.
#include "tests/windows/molap_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui/clipboard.h"

namespace zbq::windows {
namespace {

using MolapCommandsTest = MolapWindowTest;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The table's text with the fields joined and quoted as asked, LF line ends.
std::string tableAs(const std::string& table, char separator, bool quoted) {
    std::string out, field;
    bool start = true;
    const auto flush = [&] {
        out += quoted ? "\"" + field + "\"" : field;
        field.clear();
    };
    for (const char c : table) {
        if (c == '|' || c == '\n') {
            flush();
            out += c == '|' ? std::string(1, separator) : "\n";
            start = c == '\n';
            continue;
        }
        field += c;
    }
    (void)start;
    return out;
}

TEST_F(MolapCommandsTest, copyAndTextFilesWriteTheGridWithLineFeeds) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    ASSERT_EQ(window()->Copy(), 1);
    const std::string tab = cp932::literal(tableAs(kTable, '\t', false));
    EXPECT_EQ(ui::clipboard().text().value_or(""), tab);

    struct Case {
        const char* name;
        std::string expected;
    } cases[] = {
        {"x.CSV", cp932::literal(tableAs(kTable, ',', true))},
        {"x.txt", tab},
        {"x", tab},
    };
    for (const Case& c : cases) {
        const std::string path = harness.file(c.name);
        ASSERT_EQ(window()->WriteCsvFile(path), 1) << c.name;
        EXPECT_EQ(readFile(path), c.expected) << c.name;
    }
    std::vector<std::string> steps = {"MolapCopy"};
    for (const Case& c : cases)
        steps.push_back("MolapOutToCSV,\"" + harness.file(c.name) + "\"");
    EXPECT_EQ(macro.steps, steps);
    EXPECT_TRUE(harness.prompts().messages().empty());
}

TEST_F(MolapCommandsTest, aFileThatCannotBeWrittenIsToldAndRecordsNothing) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    // A folder stands where the file would go: the rename over it fails.
    const std::string path = harness.file("taken.csv");
    std::filesystem::create_directory(path);
    std::ofstream(path + "/inside") << "kept";
    EXPECT_EQ(window()->WriteCsvFile(path), 0);
    ASSERT_EQ(harness.prompts().messages().size(), 1u);
    EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(),
              "ファイルの書出しに失敗しました。\n[" + path + "]");
    EXPECT_EQ(readFile(path + "/inside"), "kept");
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(MolapCommandsTest, drillThroughMakesTheCellsRecordsASet) {
    struct Case {
        std::int32_t row, column;
        const char* description;
        std::int32_t records;
    } cases[] = {
        {4, 3, "回答日（年） X 性別", 5},  // 2024, 男性, 年齢[合計]
        {4, 8, "回答日（年）", 9},         // 2024 under the X grand total
        {5, 8, "総計", 11},                // the grand total: every record with keys
        {5, 5, "性別", 5},                 // 女性 in the Y grand total row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        ASSERT_EQ(harness.app().Search().KWmapClear(), 12);
        ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
        macro.steps.clear();
        console.calls.clear();
        ASSERT_TRUE(window()->view().SelectCell(c.row, c.column));
        ASSERT_EQ(window()->DrillThrough(), 1);
        EXPECT_EQ(harness.app().KWgetDataCount(), c.records);
        const std::string description = cp932::literal(c.description);
        EXPECT_EQ(console.callsStartingWith("AddResultSet"),
                  std::vector<std::string>{"AddResultSet " + description + " 1"});
        EXPECT_EQ(console.callsStartingWith("LogOperation " + cp932::literal("ﾄﾞﾘﾙｽﾙｰ")).size(),
                  1u);
        EXPECT_EQ(macro.steps,
                  std::vector<std::string>{"MolapDrillThrough," + std::to_string(c.row) + "," +
                                           std::to_string(c.column)});
        // The window was built again over the drilled records.
        ASSERT_TRUE(window());
        EXPECT_TRUE(window()->view().installed());
        frame.CloseMolapWindow();
        settle();
    }
}

TEST_F(MolapCommandsTest, drillThroughRefusesHeaderAndEmptyCells) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    const std::int32_t cells[][2] = {{0, 3}, {1, 3}, {3, 0}, {2, 2}};  // headers, an empty cell
    for (const auto& cell : cells) {
        harness.prompts().clear();
        ASSERT_TRUE(window()->view().SelectCell(cell[0], cell[1]));
        EXPECT_EQ(window()->DrillThrough(), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{"ドリルスルーを実行できません。"});
    }
    EXPECT_EQ(harness.app().KWgetDataCount(), 12);
    EXPECT_TRUE(macro.steps.empty());

    // A double-click asks first; No changes nothing.
    harness.prompts().clear();
    harness.prompts().answer(ui::Answer::No);
    ASSERT_TRUE(window()->view().SelectCell(4, 3));
    EXPECT_EQ(window()->DrillThrough(true), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{"ドリルスルーを実行しますか？"});
    EXPECT_EQ(harness.app().KWgetDataCount(), 12);
}

TEST_F(MolapCommandsTest, filterRecordsEveryConditionAsOneQuotedField) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    FilterConditions conditions;
    conditions[0] = {6, 1, "1,000", "2\"0"};
    ASSERT_EQ(window()->Filter(conditions), 1);
    ASSERT_EQ(window()->FilterRelease(), 1);
    const std::string unused = ",\"-1\t\t\t0\"";
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"MolapFilter,\"6\t1,000\t2\"\"0\t1\"" +
                                                         unused + unused + unused + unused,
                                                     "MolapFilterRelease"}));
}

// A String key "計" is data: the drill narrows by it.
TEST(MolapDrillKeys, aStringKeyReadingTotalIsData) {
    test::AppHarness harness;
    ASSERT_TRUE(
        harness.load(cp932::literal("Title = \"t\"\nitem = \"s\"\n  String\nEndItem\nEndTitle\n"),
                     cp932::literal("s\n計\na\n計\n")));
    test::RecordingConsole console;
    harness.app().SetConsolePort(&console);
    CMainFrame frame(harness.app(), molapFactories(harness));
    MolapParams p;
    p.xItems = {0};
    p.xTotalMode = 1;
    ASSERT_EQ(frame.ShowMolapWindow(p), 1);
    auto* window = qobject_cast<CMOLAPFrm*>(frame.molapWindow());
    ASSERT_TRUE(window);
    ASSERT_EQ(cp932::toUtf8(window->view().cellText(0, 1)), "計");
    ASSERT_TRUE(window->view().SelectCell(2, 1));
    ASSERT_EQ(window->DrillThrough(), 1);
    EXPECT_EQ(harness.app().KWgetDataCount(), 2);
    EXPECT_EQ(console.callsStartingWith("AddResultSet"),
              std::vector<std::string>{"AddResultSet s 1"});
    frame.CloseMolapWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    harness.app().SetConsolePort(nullptr);
}

TEST(MolapWorkbook, moreThan256ColumnsAreRefusedBeforeAnythingIsWritten) {
    test::AppHarness harness;
    std::string data = "n\n";
    for (std::int32_t i = 0; i < 257; ++i)
        data += std::to_string(i) + "\n";
    ASSERT_TRUE(harness.load("Title = \"t\"\nitem = \"n\"\n  Integer\nEndItem\nEndTitle\n", data));
    CMainFrame frame(harness.app(), molapFactories(harness));
    MolapParams p;
    p.xItems = {0};
    ASSERT_EQ(frame.ShowMolapWindow(p), 1);
    auto* window = qobject_cast<CMOLAPFrm*>(frame.molapWindow());
    ASSERT_EQ(window->view().columns(), 257);
    const auto before = std::distance(std::filesystem::directory_iterator(harness.file("temp")),
                                      std::filesystem::directory_iterator());
    EXPECT_EQ(window->ExportMolapToExcel(), 0);
    ASSERT_EQ(harness.prompts().messages().size(), 1u);
    EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(),
              "カラム数が256を超えています。出力できません。");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(harness.file("temp")),
                            std::filesystem::directory_iterator()),
              before);
    frame.CloseMolapWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace zbq::windows
