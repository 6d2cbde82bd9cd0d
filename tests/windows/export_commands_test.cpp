// The exporter's clipboard and file commands: what they write, the large-table question, the
// form a path or the chooser's filter gives, the step recorded, and an old file that survives a
// No, an unwritable folder and a full disk.
#include "windows/table_exporter.h"

#include <sys/stat.h>

#include <QTimer>

#include "tests/support/full_disk.h"
#include "tests/support/ordinary_user.h"
#include "tests/windows/export_fixture.h"
#include "tests/windows/table_fixture.h"

namespace zbq::test {
namespace {

const std::string kAsk101x100 =
    "ｾﾙ数[10100]は大きいのでﾊﾟｿｺﾝが止まる可能性があります\n続行しますか？";

FixtureTable smallGrid() {
    return FixtureTable({cp932::literal("氏名"), "n"}, {{"a,b", "1"}, {"c", "2"}});
}

ExportShape all(const TableSource& table, bool withHeaders = true) {
    return {wholeTable(table), withHeaders, false};
}

using Copying = ExportTest;

TEST_F(Copying, TheTabTextGoesToTheClipboardAndTheStepIsRecorded) {
    FixtureTable grid = smallGrid();
    TableExporter exporter(app, grid);
    EXPECT_EQ(exporter.copy(all(grid), StepBuilder("Data_CopyWithHead")), 1);
    EXPECT_EQ(clipboard.text(), cp932::literal("氏名") + "\tn\r\na,b\t1\r\nc\t2\r\n");
    EXPECT_EQ(exporter.copy(all(grid, false), StepBuilder("Data_Copy")), 1);
    EXPECT_EQ(clipboard.text(), "a,b\t1\r\nc\t2\r\n");
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"Data_CopyWithHead", "Data_Copy"}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(Copying, AboveTenThousandCellsItAsksAndANoCopiesAndReadsNothing) {
    FixtureTable quiet = FixtureTable::generated(100, 100);
    EXPECT_EQ(TableExporter(app, quiet).copy(all(quiet), StepBuilder("Data_Copy")), 1);
    EXPECT_TRUE(messages().empty());

    FixtureTable large = FixtureTable::generated(101, 100);
    TableExporter exporter(app, large);
    prompts.answer(ui::Answer::No);
    EXPECT_EQ(exporter.copy(all(large), StepBuilder("Data_Copy")), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{kAsk101x100});
    EXPECT_EQ(prompts.messages()[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(large.reads(), 0);
    EXPECT_EQ(clipboard.puts(), 1);
    EXPECT_EQ(macro.steps.size(), 1u);

    prompts.answer(ui::Answer::Yes);
    EXPECT_EQ(exporter.copy(all(large), StepBuilder("Data_Copy")), 1);
    EXPECT_EQ(large.reads(), 10100);
    EXPECT_EQ(macro.steps.size(), 2u);
}

TEST_F(Copying, NoSelectionCopiesAndRecordsNothingAndAHeldClipboardIsRecordedAllTheSame) {
    FixtureTable grid = smallGrid();
    TableExporter exporter(app, grid);
    const CellRange none = selectedRange(grid, {-1, -1}, {-1, -1});
    EXPECT_EQ(exporter.copy({none, true, false}, StepBuilder("Data_Copy")), 0);
    EXPECT_EQ(exporter.writeTextFile("", {none, true, false}, StepBuilder("Data_OutToCsv")), 0);
    EXPECT_EQ(exporter.writeWorkbook({none, true, false}, StepBuilder("Data_OutToExcel")), 0);
    EXPECT_EQ(grid.reads(), 0);
    EXPECT_TRUE(prompts.choosers().empty());
    EXPECT_TRUE(macro.steps.empty());
    // The text was built: its step stands, as a replay copies again.
    clipboard.setAvailable(false);
    EXPECT_EQ(exporter.copy(all(grid), StepBuilder("Data_Copy")), 0);
    EXPECT_EQ(clipboard.text(), std::nullopt);
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_Copy"});
    EXPECT_TRUE(messages().empty());
}

using WritingFiles = ExportTest;

TEST_F(WritingFiles, OnlyAGivenPathEndingExactlyInTxtGetsTabText) {
    FixtureTable grid = smallGrid();
    TableExporter exporter(app, grid);
    const std::string tab = cp932::literal("氏名") + "\tn\r\na,b\t1\r\nc\t2\r\n";
    const std::string csv = cp932::literal("氏名") + ",n\r\n\"a,b\",1\r\nc,2\r\n";
    struct Case {
        std::string name, bytes;
    };
    for (const Case& c : {Case{"a.TXT", csv}, Case{"b.txt", tab}, Case{"c.Txt", csv},
                          Case{"d.csv", csv}, Case{"e.txt.csv", csv}, Case{"ftxt", csv}}) {
        const std::string path = dir.file(c.name);
        ASSERT_EQ(exporter.writeTextFile(path, all(grid), StepBuilder("Data_OutToCsvWithHead")), 1)
            << c.name;
        EXPECT_EQ(readFile(path), c.bytes) << c.name;
        EXPECT_EQ(macro.steps.back(), "Data_OutToCsvWithHead,\"" + path + "\"");
    }
    EXPECT_TRUE(prompts.choosers().empty());
}

TEST_F(WritingFiles, TheAggregationsFormEndsLinesWithLfAndQuotesEveryField) {
    FixtureTable grid = smallGrid();
    TableExporter exporter(app, grid, {"\n", Quoting::All});
    ASSERT_EQ(exporter.writeTextFile(dir.file("m.csv"), all(grid), std::nullopt), 1);
    ASSERT_EQ(exporter.writeTextFile(dir.file("m.txt"), all(grid, false), std::nullopt), 1);
    EXPECT_EQ(readFile(dir.file("m.csv")),
              "\"" + cp932::literal("氏名") + "\",\"n\"\n\"a,b\",\"1\"\n\"c\",\"2\"\n");
    EXPECT_EQ(readFile(dir.file("m.txt")), "a,b\t1\nc\t2\n");
    EXPECT_TRUE(macro.steps.empty());  // no step given, none recorded
}

TEST_F(WritingFiles, TheTextFilterOrAChosenNameEndingInTxtGivesTabText) {
    FixtureTable grid = smallGrid();
    TableExporter exporter(app, grid);
    const std::string tab = "a,b\t1\r\nc\t2\r\n", csv = "\"a,b\",1\r\nc,2\r\n";
    struct Case {
        const char* name;
        int filter;
        std::string bytes;
    };
    const Case cases[] = {
        {"x.csv", 1, tab}, {"y.txt", 0, tab}, {"z.TXT", 0, csv}, {"w.csv", 0, csv}};
    for (const Case& c : cases)
        prompts.chooseSave(ui::SaveChoice{QString::fromStdString(dir.file(c.name)), c.filter});
    prompts.chooseSave(std::nullopt);
    std::vector<std::string> steps;
    for (const Case& c : cases) {
        EXPECT_EQ(exporter.writeTextFile("", all(grid, false), StepBuilder("Data_OutToCsv")), 1);
        EXPECT_EQ(readFile(dir.file(c.name)), c.bytes) << c.name;
        steps.push_back("Data_OutToCsv,\"" + dir.file(c.name) + "\"");
    }
    EXPECT_EQ(exporter.writeTextFile("", all(grid, false), StepBuilder("Data_OutToCsv")), 0);
    EXPECT_EQ(macro.steps, steps);
    ASSERT_EQ(prompts.choosers().size(), 5u);
    const ui::Chooser& chooser = prompts.choosers()[0];
    EXPECT_EQ(chooser.caption.toStdString(), "ファイルの保存");
    EXPECT_EQ(chooser.filter.toStdString(), "CSVファイル(*.csv);;TEXTファイル(*.txt)");
    EXPECT_EQ(chooser.defaultSuffix, QString("csv"));
    EXPECT_EQ(entriesIn(dir.path()), 4u);
}

TEST_F(WritingFiles, ANoToTheQuestionLeavesTheExistingFileAsItWas) {
    FixtureTable large = FixtureTable::generated(101, 100);
    TableExporter exporter(app, large);
    const std::string path = dir.file("out.csv");
    writeFile(path, "old,table\r\n");
    prompts.chooseSave(ui::SaveChoice{QString::fromStdString(path), 0});
    prompts.answer(ui::Answer::No);
    EXPECT_EQ(exporter.writeTextFile("", all(large), StepBuilder("Data_OutToCsv")), 0);
    EXPECT_EQ(exporter.writeTextFile(path, all(large), StepBuilder("Data_OutToCsv")), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{kAsk101x100, kAsk101x100}));
    EXPECT_EQ(readFile(path), "old,table\r\n");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_EQ(large.reads(), 0);
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(WritingFiles, AFolderTheUserMayNotWriteIsToldWithThePathAndNoStep) {
    FixtureTable grid = smallGrid();
    const std::string folder = dir.file("locked");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/out.csv";
    writeFile(path, "old,table\r\n");
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    {
        AsOrdinaryUser user({folder, path});
        ASSERT_TRUE(user.ok());
        EXPECT_EQ(
            TableExporter(app, grid).writeTextFile(path, all(grid), StepBuilder("Data_OutToCsv")),
            0);
    }
    EXPECT_EQ(messages(),
              std::vector<std::string>{"ファイルの書出しに失敗しました。\n[" + path + "]"});
    EXPECT_EQ(prompts.messages()[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(readFile(path), "old,table\r\n");
    EXPECT_TRUE(macro.steps.empty());
    ::chmod(folder.c_str(), 0755);
}

// A table whose text passes several blocks: 3,000 rows of 5,000 bytes.
FixtureTable manyBlocks() {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < 3000; ++r)
        rows.push_back({std::to_string(r) + std::string(4990, 'x')});
    return FixtureTable({"text"}, std::move(rows));
}

// Notes what the console was last told when a message box comes up.
class WatchingPrompts final : public ui::Prompts {
public:
    explicit WatchingPrompts(const RecordingConsole& console)
        : console_(console), previous_(ui::setPrompts(this)) {}
    ~WatchingPrompts() override { ui::setPrompts(previous_); }
    using Prompts::message;
    ui::Answer message(QWidget*, const ui::Message& message) override {
        texts.push_back(message.text.toStdString());
        consoleShowed.push_back(console_.calls.empty() ? "" : console_.calls.back());
        return ui::Answer::Ok;
    }
    std::optional<QString> choose(QWidget*, const ui::Chooser&) override { return std::nullopt; }
    std::optional<QStringList> chooseFiles(QWidget*, const ui::Chooser&) override {
        return std::nullopt;
    }
    void beep() override {}
    std::vector<std::string> texts, consoleShowed;

private:
    const RecordingConsole& console_;
    ui::Prompts* previous_;
};

TEST_F(WritingFiles, AFullDiskIsToldAndLeavesTheOldFileAndNoTemporary) {
    FixtureTable table = manyBlocks();
    const std::string path = dir.file("out.txt");
    writeFile(path, "old\r\n");
    WatchingPrompts watching(console);
    {
        FullDisk disk(TableExporter::kBlockBytes * 5 / 4);  // the second block finds it full
        EXPECT_EQ(
            TableExporter(app, table).writeTextFile(path, all(table), StepBuilder("Data_OutToCsv")),
            0);
    }
    EXPECT_EQ(watching.texts,
              std::vector<std::string>{"ファイルの書出しに失敗しました。\n[" + path + "]"});
    // The progress was taken back before the message came up.
    EXPECT_EQ(watching.consoleShowed, std::vector<std::string>{"SetStatusText "});
    EXPECT_TRUE(readFile(path) == "old\r\n");  // not printed: a failure would be 15 MB
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_TRUE(macro.steps.empty());
    EXPECT_EQ(app.IsAddingData(), 0);
}

TEST_F(WritingFiles, ALongExportShowsItsProgressAndLetsMessagesThrough) {
    FixtureTable table = manyBlocks();
    const std::string path = dir.file("out.txt");
    std::vector<std::int32_t> busyWhilePumping;
    std::vector<std::int32_t> nestedResults;
    // Delivered only when the export lets messages through between blocks; an export started
    // from there (a menu of the window) does nothing.
    QTimer::singleShot(0, [&] {
        busyWhilePumping.push_back(app.IsAddingData());
        TableExporter nested(app, table);
        nestedResults.push_back(nested.copy(all(table), StepBuilder("Data_Copy")));
        nestedResults.push_back(
            nested.writeTextFile(dir.file("nested.csv"), all(table), std::nullopt));
        nestedResults.push_back(nested.writeWorkbook(all(table), std::nullopt));
    });
    ASSERT_EQ(
        TableExporter(app, table).writeTextFile(path, all(table), StepBuilder("Data_OutToCsv")), 1);
    EXPECT_EQ(busyWhilePumping, std::vector<std::int32_t>{1});
    EXPECT_EQ(nestedResults, (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_EQ(clipboard.puts(), 0);
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_OutToCsv,\"" + path + "\""});
    EXPECT_EQ(app.IsAddingData(), 0);
    EXPECT_TRUE(readFile(path) ==
                tableText(table, all(table), TableExporter(app, table).tabForm()));
    const std::string writing = "SetStatusText " + cp932::literal("書き込み中");
    ASSERT_GE(console.calls.size(), 4u);
    EXPECT_EQ(console.calls[0], writing);
    EXPECT_EQ(console.calls[1], "StartProgress");
    EXPECT_EQ(console.calls[console.calls.size() - 2], "StopProgress");
    EXPECT_EQ(console.calls.back(), "SetStatusText ");
}

TEST_F(WritingFiles, AVariablePathOrOneAMacroFileCannotHoldIsRecordedAsAsked) {
    FixtureTable grid = smallGrid();
    TableExporter exporter(app, grid);
    const std::string snowman = dir.file("雪☃.csv");  // CP932 has no snowman
    ASSERT_EQ(exporter.writeTextFile(snowman, all(grid), StepBuilder("Data_OutToCsv")), 1);
    EXPECT_EQ(readFile(snowman), cp932::literal("氏名") + ",n\r\n\"a,b\",1\r\nc,2\r\n");
    macro.variable = true;
    ASSERT_EQ(
        exporter.writeTextFile(dir.file("plain.csv"), all(grid), StepBuilder("Data_OutToCsv")), 1);
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"Data_OutToCsv,\"???\"", "Data_OutToCsv,\"???\""}));
    // A Japanese path CP932 holds is recorded in CP932.
    macro.variable = false;
    const std::string japanese = dir.file("集計.csv");
    ASSERT_EQ(exporter.writeTextFile(japanese, all(grid), StepBuilder("Data_OutToCsv")), 1);
    EXPECT_EQ(macro.steps.back(), "Data_OutToCsv,\"" + *cp932::pathToStored(japanese) + "\"");
}

TEST_F(WritingFiles, MemoryRunningOutIsToldAndChangesNothing) {
    const std::string path = dir.file("out.csv");
    writeFile(path, "old\r\n");
    writeFile(app.GetExportTempPath(), "last workbook");
    clipboard.setText("before");
    FixtureTable table = FixtureTable::generated(50, 4);
    table.outOfMemoryAtRead(30);
    TableExporter exporter(app, table);
    EXPECT_EQ(exporter.copy(all(table), StepBuilder("Data_Copy")), 0);
    table.outOfMemoryAtRead(table.reads() + 30);
    EXPECT_EQ(exporter.writeTextFile(path, all(table), StepBuilder("Data_OutToCsv")), 0);
    table.outOfMemoryAtRead(table.reads() + 30);
    EXPECT_EQ(exporter.writeWorkbook(all(table), StepBuilder("Data_OutToExcel")), 0);
    const std::string noMemory = "メモリーの確保に失敗しました。処理を中止します。";
    EXPECT_EQ(messages(), (std::vector<std::string>{noMemory, noMemory, noMemory}));
    EXPECT_EQ(clipboard.text(), "before");
    EXPECT_EQ(readFile(path), "old\r\n");
    EXPECT_EQ(readFile(app.GetExportTempPath()), "last workbook");
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_TRUE(macro.steps.empty());
}

}  // namespace
}  // namespace zbq::test
