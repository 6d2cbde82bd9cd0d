// The text import: item names from a file's first line, the checks of OK, the definition and text
// data it writes into temp/ (byte for byte), and that they load through the definition parser
// and the builder into the records the files hold.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/ckw_app.h"
#include "app/excel_read_output.h"
#include "app/startup_input.h"
#include "app/text_read_dlg.h"
#include "app/text_read_model.h"
#include "platform/core/cp932.h"
#include "tests/app/import_fixture.h"
#include "tests/app/start_fixture.h"
#include "tests/support/app_harness.h"

namespace zbq::test {
namespace {

using app::TextReadModel;
using Outcome = TextReadModel::Outcome;

// `n` times the character, CP932.
std::string repeated(std::string_view utf8, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += utf8;
    return s;
}

class TextReadTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = h.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<std::string> shownTexts() { return shown(h.prompts()); }
    std::vector<std::string> tempNames() { return h.tempFiles(); }

    AppHarness h;
};

TEST_F(TextReadTest, NamesComeFromTheChosenFilesFirstLineAsStrings) {
    const std::string a = write("a.txt", sj("番号\t名前\t\t金額\r\n1\tx\t\t5\r\n"));
    const std::string b = write("b.txt", "other\tnames\n");
    TextReadModel model(h.app(), {a, b});
    EXPECT_EQ(model.folder(), h.programDir());
    EXPECT_EQ(model.files(), (std::vector<std::string>{"a.txt", "b.txt"}));

    ASSERT_TRUE(model.ReadItemNames(0));
    ASSERT_EQ(model.items().size(), 4u);
    EXPECT_EQ(model.items()[0].name, sj("番号"));
    EXPECT_EQ(model.items()[2].name, "");          // between two TABs
    EXPECT_EQ(model.items()[3].name, sj("金額"));  // no CR of the CR LF
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(model.items()[i].column, static_cast<int>(i + 1));
        EXPECT_EQ(model.items()[i].typeChoice, 4);
    }
    EXPECT_EQ(model.columnCount(), 4);

    // Reading again replaces the list and the count.
    ASSERT_TRUE(model.ReadItemNames(1));
    EXPECT_EQ(model.items().size(), 2u);
    EXPECT_EQ(model.columnCount(), 2);
}

TEST_F(TextReadTest, AFileWithoutALineOrMissingLeavesTheItemsAsTheyWere) {
    const std::string good = write("good.txt", "a\tb\nc\td\n");
    const std::string empty = write("empty.txt", "");
    TextReadModel model(h.app(), {good, empty, h.file("gone.txt")});
    ASSERT_TRUE(model.ReadItemNames(0));
    EXPECT_FALSE(model.ReadItemNames(1));
    EXPECT_FALSE(model.ReadItemNames(2));
    EXPECT_EQ(shownTexts(), std::vector<std::string>(
                                2, "指定のファイルから項目情報を取り出すことはせきませんでした。"));
    EXPECT_EQ(model.items().size(), 2u);
}

// Runs `read` with a deadline: a read that waits in open() for a writer fails the test, and the
// FIFO at `fifo` is then opened for writing so that it can end.
template <typename Read>
auto withDeadline(const std::string& fifo, Read read) {
    auto done = std::async(std::launch::async, read);
    if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the import waits for a writer";
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0) ::close(writer);
    }
    return done.get();
}

std::string names(int n) {
    std::string line;
    for (int i = 0; i < n; ++i)
        line += (i ? "\t" : "") + ("n" + std::to_string(i));
    return line + "\n";
}

// Only a regular file is read, and its line of names no further than 64 KiB: a FIFO is refused
// at once, never waited on; a device (once read without end) and a file of one endless line are
// not read on; more than 1,024 names are refused naming the limit, and 1,024 are read.
TEST_F(TextReadTest, AFifoADeviceAnEndlessLineAndTooManyNamesAreRefused) {
    const std::string fifo = h.file("fifo.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string cannot = "指定のファイルから項目情報を取り出すことはせきませんでした。";
    const struct {
        std::string path;
        bool read;
        std::string message;
    } cases[] = {
        {fifo, false, cannot},
        {"/dev/zero", false, cannot},
        {write("endless.txt", std::string(70000, 'x') + "\n"), false,
         "テキストファイル[endless.txt]"
                  "の1行目が長すぎます。項目名の行は65535バイトまでです。"},
        {write("many.txt", names(1025) + "1\n"), false,
         "項目が多すぎます。項目は1024個までです。"},
        {write("most.txt", names(1024) + "1\n"), true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        h.prompts().clear();
        TextReadModel model(h.app(), {c.path});
        EXPECT_EQ(withDeadline(fifo, [&] { return model.ReadItemNames(0); }), c.read);
        EXPECT_EQ(shownTexts(),
                  c.read ? std::vector<std::string>{} : std::vector<std::string>{c.message});
        EXPECT_EQ(model.items().size(), c.read ? 1024u : 0u);
    }

    // A FIFO among the files to copy cancels at OK, leaving nothing.
    h.prompts().clear();
    TextReadModel model(h.app(), {write("good.txt", "a\tb\n1\t2\n"), fifo});
    ASSERT_TRUE(model.ReadItemNames(0));
    model.setTitle("t");
    EXPECT_EQ(withDeadline(fifo, [&] { return model.OnOK(); }), Outcome::Cancelled);
    EXPECT_EQ(shownTexts(),
              std::vector<std::string>{"ファイルが作成できませんでした。処理を終了します。"});
    EXPECT_TRUE(tempNames().empty());
}

TEST_F(TextReadTest, OkWritesTheDefinitionAndEveryFilesLinesButTheFirstInListOrder) {
    const std::string a = write("a.txt", sj("番号\t名前\t金額\r\n1\t山田\t100\r\n2\t\t\r\n"));
    const std::string b = write("b.txt", "h1\th2\n3\tlong\t300\textra\n4");  // no LF at the end
    const std::string c = write("c.txt", "h\n5\n");
    TextReadModel model(h.app(), {a, b, c});
    ASSERT_TRUE(model.ReadItemNames(0));
    model.setTitle(sj("売上"));
    model.DeleteItems({1});
    ASSERT_TRUE(model.SetItem(1, sj("金額円"), 0));
    EXPECT_EQ(model.MoveFilesDown({0}), std::vector<int>{1});  // b, a, c

    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    EXPECT_TRUE(shownTexts().empty());
    const std::string def = model.outputPath();
    EXPECT_EQ(std::filesystem::path(def).parent_path(), h.file("temp"));
    EXPECT_TRUE(def.ends_with("_t.def"));
    EXPECT_EQ(readBytes(def), sj("Title = \"売上\"\r\nNOHEADER\r\nAlloc = \"1,3\"\r\n\r\n"
                                 "\tItem = \"番号\"\r\n\t\tString\r\n\tEndItem\r\n\r\n"
                                 "\tItem = \"金額円\"\r\n\t\tInteger\r\n\tEndItem\r\n\r\n"
                                 "EndTitle\r\n"));
    // Short lines padded to the three columns read, longer ones as they are, no CR kept.
    EXPECT_EQ(readBytes(app::withEnding(def, ".dat")),
              sj("3\tlong\t300\textra\r\n4\t\t\r\n1\t山田\t100\r\n2\t\t\r\n5\t\t\r\n"));
}

TEST_F(TextReadTest, LinesOfAnyLengthAreCopiedWhole) {
    const std::string cell(200000, 'x');
    const std::string a = write("a.txt", "h\n" + cell + "\tend\n");
    TextReadModel model(h.app(), {a});
    model.setTitle("t");
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);  // no names read: no items, nothing padded
    EXPECT_EQ(readBytes(app::withEnding(model.outputPath(), ".dat")), cell + "\tend\r\n");
    EXPECT_EQ(readBytes(model.outputPath()),
              "Title = \"t\"\r\nNOHEADER\r\nAlloc = \"\"\r\n\r\nEndTitle\r\n");
}

TEST_F(TextReadTest, RefusedNamesKeepTheDialogAndWriteNothing) {
    const std::string a = write("a.txt", "a\tb\tc\n1\t2\t3\n");
    struct Case {
        std::string name;
        std::optional<std::string> message;  // none: accepted
    } cases[] = {
        {"", "項目名が設定されて項目があります。項目名を入力してください。"},
        {std::string(60, 'n'), std::nullopt},
        {std::string(61, 'n'), "項目名が長すぎます。[" + std::string(61, 'n') + "]"},
        // Two-byte characters count two bytes each.
        {sj(repeated("表", 30)), std::nullopt},
        {sj(repeated("表", 31)), "項目名が長すぎます。[" + repeated("表", 31) + "]"},
        {"b", std::nullopt},  // the same name twice passes here
        // What the definition parser would change: blanks, TABs and quotes go, NUL and line
        // breaks are refused there.
        {"first name", app::kNameCharacters + std::string("[first name]")},
        {"\"id\"", app::kNameCharacters + std::string("[\"id\"]")},
        {"\"", app::kNameCharacters + std::string("[\"]")},
        {"a\tb", app::kNameCharacters + std::string("[a\tb]")},
        {"a\rb", app::kNameCharacters + std::string("[a\rb]")},
        {"a//b", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        h.prompts().clear();
        TextReadModel model(h.app(), {a});
        model.setTitle("t");
        ASSERT_TRUE(model.ReadItemNames(0));
        model.SetItem(0, c.name, 4);
        const Outcome outcome = model.OnOK();
        if (c.message) {
            EXPECT_EQ(outcome, Outcome::Stay);
            EXPECT_EQ(shownTexts(), std::vector<std::string>{*c.message});
            EXPECT_TRUE(tempNames().empty());
        } else {
            EXPECT_EQ(outcome, Outcome::Accepted);
            EXPECT_TRUE(shownTexts().empty());
            std::filesystem::remove_all(h.file("temp"));
        }
    }
}

TEST_F(TextReadTest, AFailedCopyCancelsAndLeavesNoFile) {
    const std::string headerOnly = write("h.txt", "a\tb\n");
    {
        TextReadModel model(h.app(), {headerOnly});
        model.setTitle("t");
        EXPECT_EQ(model.OnOK(), Outcome::Cancelled);
    }
    {
        TextReadModel model(h.app(), {headerOnly, h.file("gone.txt")});
        model.setTitle("t");
        EXPECT_EQ(model.OnOK(), Outcome::Cancelled);
    }
    EXPECT_EQ(shownTexts(),
              (std::vector<std::string>{"テキストファイルからデータを読み込めませんでした。",
                                        "ファイルが作成できませんでした。処理を終了します。"}));
    EXPECT_TRUE(tempNames().empty());
}

TEST_F(TextReadTest, FileRowsMoveAsABlockThatStopsAtTheEnds) {
    TextReadModel model(h.app(), {"/d/a", "/d/b", "/d/c", "/d/d"});
    EXPECT_EQ(model.MoveFilesUp({0, 2}), (std::vector<int>{0, 1}));
    EXPECT_EQ(model.files(), (std::vector<std::string>{"a", "c", "b", "d"}));
    EXPECT_EQ(model.MoveFilesDown({2, 3}), (std::vector<int>{2, 3}));
    EXPECT_EQ(model.MoveFilesDown({1}), (std::vector<int>{2}));
    EXPECT_EQ(model.files(), (std::vector<std::string>{"a", "b", "c", "d"}));
    model.DeleteFiles({0, 1, 2, 3});
    EXPECT_FALSE(model.okEnabled());
}

// The title goes into the definition as the names do, and must be there.
TEST_F(TextReadTest, AnEmptyOrChangedTitleKeepsTheDialog) {
    const std::string a = write("a.txt", "a\n1\n");
    for (const auto& [title, message] : std::vector<std::pair<std::string, std::string>>{
             {"", "タイトルが設定されていません。タイトルを入力してください。"},
             {"My survey", app::kTitleCharacters},
             {"\"q\"", app::kTitleCharacters}}) {
        h.prompts().clear();
        TextReadModel model(h.app(), {a});
        ASSERT_TRUE(model.ReadItemNames(0));
        model.setTitle(title);
        EXPECT_EQ(model.OnOK(), Outcome::Stay) << title;
        EXPECT_EQ(shownTexts(), std::vector<std::string>{message});
        EXPECT_TRUE(tempNames().empty());
    }
}

// A file the data set would not hold as it stands is refused, naming its file and first bad
// line, where the names are read or at OK, and nothing is left in temp/.
TEST_F(TextReadTest, FilesTheDataSetCannotHoldAreRefusedAtTheirFirstBadLine) {
    const std::string cp932Text = sj("名前\tあ\n");
    struct Case {
        const char* what;
        std::string bytes;
        bool namesRead;       // the names were taken; the refusal comes at OK
        std::string message;  // empty: accepted
    } cases[] = {
        {"NUL in the header", std::string("a\0b\tc\n1\t2\n", 11), false,
         "テキストファイル[x.txt]の1行目に読み込めない文字（NUL、改行）があります。"},
        {"CR inside the header", "a\rb\tc\n1\t2\n", false,
         "テキストファイル[x.txt]の1行目に読み込めない文字（NUL、改行）があります。"},
        {"NUL in a data line", std::string("a\tb\n1\t2\n3\0\t4\n", 13), true,
         "テキストファイル[x.txt]の3行目に読み込めない文字（NUL、改行）があります。"},
        {"CR inside a data line", "a\tb\n1\r2\t3\n", true,
         "テキストファイル[x.txt]の2行目に読み込めない文字（NUL、改行）があります。"},
        {"UTF-8 with a BOM",
         "\xEF\xBB\xBF"
         "a\tb\n1\t2\n",
         false,
         "テキストファイル[x.txt]はBOM付きのUTF-8です。Shift-JIS(CP932)で保存してください。"},
        {"UTF-8 names", "売上\t金額\n1\t2\n", false,
         "テキストファイル[x.txt]の1行目はUTF-8です。Shift-JIS(CP932)で保存してください。"},
        // Each line is also CP932, so only the whole file tells.
        {"UTF-8 data", "a\tb\n名前\t1\n名前\t2\n", true,
         "テキストファイル[x.txt]の2行目はUTF-8です。Shift-JIS(CP932)で保存してください。"},
        {"a lead byte without its trail", "a\tb\n1\t2\n\x81\t3\n", true,
         "テキストファイル[x.txt]の3行目にShift-JIS(CP932)でない文字があります。"},
        {"a byte CP932 has not", "a\tb\n1\t\xFD\n", true,
         "テキストファイル[x.txt]の2行目にShift-JIS(CP932)でない文字があります。"},
        // A line that happens to be UTF-8 too does not make a CP932 file UTF-8.
        {"CP932 with one line UTF-8 by chance", "a\tb\n\xC3\xA8\t1\n" + cp932Text, true, ""},
        {"CP932 with CR LF", sj("名前\t金額\r\n山田\t1\r\n"), true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.prompts().clear();
        TextReadModel model(h.app(), {write("x.txt", c.bytes)});
        model.setTitle("t");
        EXPECT_EQ(model.ReadItemNames(0), c.namesRead);
        if (!c.namesRead) {
            EXPECT_EQ(shownTexts(), std::vector<std::string>{c.message});
            EXPECT_TRUE(model.items().empty());
            continue;
        }
        const Outcome outcome = model.OnOK();
        if (c.message.empty()) {
            EXPECT_EQ(outcome, Outcome::Accepted);
            EXPECT_TRUE(shownTexts().empty());
            std::filesystem::remove_all(h.file("temp"));
            continue;
        }
        EXPECT_EQ(outcome, Outcome::Stay);
        EXPECT_EQ(shownTexts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(tempNames().empty());
    }
}

// A TAB text's cells load as they stand: a quote at either end of a cell is no CSV quoting.
TEST_F(TextReadTest, QuotesInCellsLoadAsTheyStand) {
    const std::vector<std::vector<std::string>> rows = {
        {"\"1\"", "\"", "x\""}, {"\"a", "\"\"", "\""},         {"x\"y", "\"b", "\"\"z\"\""},
        {"\"", "\"c\"", "\"d"}, {"plain", "\"e\"f", "g\"h\""},
    };
    std::string text = "a\tb\tc\n";
    for (const auto& row : rows)
        text += row[0] + "\t" + row[1] + "\t" + row[2] + "\n";
    TextReadModel model(h.app(), {write("q.txt", text)});
    ASSERT_TRUE(model.ReadItemNames(0));
    model.setTitle("t");
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    ASSERT_TRUE(h.load(readBytes(model.outputPath()),
                       readBytes(app::withEnding(model.outputPath(), ".dat"))));
    ASSERT_EQ(h.app().KWgetDataCount(), static_cast<std::int32_t>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 3; ++c) {
            const char* cell = nullptr;
            ASSERT_GE(h.app().KWreadString(static_cast<std::int32_t>(r), c, &cell), 0);
            EXPECT_EQ(std::string(cell), rows[r][c]) << "row " << r << " column " << c;
        }
}

// What the import wrote is read by the definition parser and built into the data set.
TEST_F(TextReadTest, TheWrittenFilesLoadIntoTheRecordsOfTheFiles) {
    const std::string a = write("a.txt", sj("名前\t金額\r\n山田\t100\r\n鈴木\t-5\r\n"));
    const std::string b = write("b.txt", sj("x\ty\n佐藤\t7\n"));
    TextReadModel model(h.app(), {a, b});
    ASSERT_TRUE(model.ReadItemNames(0));
    model.SetItem(1, sj("金額"), 0);
    model.setTitle("t");
    ASSERT_EQ(model.OnOK(), Outcome::Accepted);
    const std::string def = readBytes(model.outputPath());
    const std::string dat = readBytes(app::withEnding(model.outputPath(), ".dat"));
    ASSERT_TRUE(h.load(def, dat));
    CKWApp& app = h.app();
    ASSERT_EQ(app.KWgetDataCount(), 3);
    const char* names[] = {"山田", "鈴木", "佐藤"};
    const int amounts[] = {100, -5, 7};
    for (int row = 0; row < 3; ++row) {
        const char* text = nullptr;
        ASSERT_GE(app.KWreadString(row, 0, &text), 0);
        EXPECT_EQ(std::string(text), sj(names[row]));
        std::int32_t value = 0;
        ASSERT_GE(app.KWreadInteger(row, 1, &value), 0);
        EXPECT_EQ(value, amounts[row]);
    }
}

}  // namespace
}  // namespace zbq::test

namespace zbq::test {
namespace {

// Start-up on text files: the dialog lists them, the user reads the names of one, renames an
// item and confirms; the data set of both files' records is loaded and the import's files are
// gone from temp/.
TEST(TextReadStartUp, TextFilesChosenAtStartUpLoadThroughTheDialog) {
    AppHarness h;
    h.setSpreadsheet("");  // none needed
    std::ofstream(h.file("a.txt"), std::ios::binary) << "name\tscore\r\nx\t1\r\ny\t2\r\n";
    std::ofstream(h.file("b.txt"), std::ios::binary) << "name\tscore\nz\t3\n";
    h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("a.txt")),
                                        QString::fromStdString(h.file("b.txt"))});
    h.driveImports([](QDialog& dialog) {
        auto& text = dynamic_cast<CTextReadDlg&>(dialog);
        EXPECT_EQ(text.fileList()->topLevelItemCount(), 2);
        EXPECT_FALSE(text.button(1074)->isEnabled());
        text.fileList()->topLevelItem(1)->setSelected(true);
        EXPECT_TRUE(text.button(1074)->isEnabled());
        text.button(1074)->click();
        EXPECT_EQ(text.itemList()->topLevelItemCount(), 2);
        text.titleEdit()->setText(QStringLiteral("成績"));
        text.model().SetItem(1, "score", 0);
        text.accept();
        return dialog.result();
    });
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.dialogsShown(), std::vector<std::string>{"import"});
    EXPECT_EQ(h.app().GetLoadMode(), 1);
    EXPECT_EQ(h.app().GetStructDef().title, cp932::literal("成績"));
    EXPECT_EQ(h.app().KWgetDataCount(), 3);
    EXPECT_EQ(h.app().GetItemType(1), 2);
    for (const std::string& name : h.tempFiles()) {
        EXPECT_FALSE(name.ends_with(".def")) << name;
        EXPECT_FALSE(name.ends_with(".dat")) << name;
    }
    h.exit();
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

}  // namespace
}  // namespace zbq::test

namespace zbq::test {
namespace {

// The dialog's buttons follow the lists' selections; Delete in a list deletes its rows.
TEST(TextReadDialog, ButtonsFollowTheSelectionsAndDeleteRemovesRows) {
    AppHarness h;
    std::ofstream(h.file("a.txt"), std::ios::binary) << "x\ty\tz\n1\t2\t3\n";
    std::ofstream(h.file("b.txt"), std::ios::binary) << "x\n1\n";
    CTextReadDlg dialog(h.app(), {h.file("a.txt"), h.file("b.txt")});
    for (int id : {1107, 1108, 1109, 1074, 1104, 1105})
        EXPECT_FALSE(dialog.button(id)->isEnabled()) << id;
    EXPECT_TRUE(dialog.button(1)->isEnabled());
    dialog.fileList()->topLevelItem(0)->setSelected(true);
    dialog.button(1074)->click();
    ASSERT_EQ(dialog.itemList()->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.itemList()->topLevelItem(2)->text(2), QStringLiteral("文字列"));
    dialog.itemList()->topLevelItem(1)->setSelected(true);
    EXPECT_TRUE(dialog.button(1104)->isEnabled());
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.itemList(), &del);
    EXPECT_EQ(dialog.itemList()->topLevelItemCount(), 2);
    EXPECT_FALSE(dialog.button(1104)->isEnabled());
    dialog.fileList()->selectAll();
    QCoreApplication::sendEvent(dialog.fileList(), &del);
    EXPECT_EQ(dialog.fileList()->topLevelItemCount(), 0);
    EXPECT_FALSE(dialog.button(1)->isEnabled());
}

}  // namespace
}  // namespace zbq::test
