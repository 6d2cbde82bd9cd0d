// The tool as a user meets it: its real window offscreen, real message boxes answered from inside
// their own modal loops by a timer that clicks their buttons, Save pressed with the mouse, and the
// file read afterwards as ZBQ reads it.
#include "app/print_entries.h"
#include "platform/core/cp932.h"
#include "platform/core/profile.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"
#include "settingstool/print_format_list.h"
#include "settingstool/settings_dlg.h"
#include "tests/platform_core/profile_fifo.h"
#include "tests/settingstool/settings_fixture.h"
#include "tests/support/real_input.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <deque>
#include <filesystem>
#include <random>

namespace zbq::settings {
namespace {

using test::iniBytes;
using test::sjis;

// Answers every message box that comes while it lives, from inside the box's own modal loop: a
// question takes the next queued answer, a box with OK alone is confirmed. Every text is kept. A
// question without an answer queued, or a box still open after the deadline, fails the test and
// is closed, so that no test waits forever.
class Boxes {
public:
    explicit Boxes(std::deque<QMessageBox::StandardButton> answers = {})
        : answers_(std::move(answers)) {
        clock_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
        timer_.start();
    }

    std::vector<QString> texts;
    std::size_t unanswered() const { return answers_.size(); }

private:
    void look() {
        if (busy_) return;
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        busy_ = true;
        texts.push_back(box->text());
        QAbstractButton* button = box->button(QMessageBox::Ok);
        if (box->button(QMessageBox::Yes)) {
            if (answers_.empty() || clock_.elapsed() > 20000) {
                ADD_FAILURE() << "no answer for " << box->text().toStdString();
                button = box->button(QMessageBox::No);
            } else {
                button = box->button(answers_.front());
                answers_.pop_front();
            }
        }
        QPointer<QMessageBox> guarded(box);
        zbq::test::press(button);
        if (guarded && guarded->isVisible()) {
            ADD_FAILURE() << "the click left the box open";
            guarded->done(QMessageBox::No);
        }
        busy_ = false;
    }

    std::deque<QMessageBox::StandardButton> answers_;
    QTimer timer_;
    QElapsedTimer clock_;
    bool busy_ = false;
};

// The tool's folder with real message boxes in force (the fixture's scripted ones stand aside).
class RealWindow : public ::testing::Test {
protected:
    void open(const std::string& ini) {
        folder_.emplace(ini);
        ui::setPrompts(nullptr);
    }
    // Starts the window as the tool does; the boxes of the start need a Boxes alive.
    bool start() {
        const bool started = dialog.start(folder_->iniPath());
        if (started) dialog.show();
        return started;
    }
    void pressSave() { zbq::test::press(dialog.findChild<QPushButton*>("save")); }
    std::string ini() const { return folder_->ini(); }
    std::string iniPath() const { return folder_->iniPath(); }
    std::vector<PrintMenuEntry> zbqMenu() const {
        ProfileFile file;
        EXPECT_TRUE(ProfileFile::load(iniPath(), file));
        return app::readPrintEntries(file, folder_->dir.path());
    }
    std::vector<std::string> listed() const {
        std::vector<std::string> rows;
        for (int i = 0; i < dialog.list()->topLevelItemCount(); ++i)
            rows.push_back(dialog.list()->topLevelItem(i)->text(1).toStdString());
        return rows;
    }

    std::optional<test::ToolFolder> folder_;
    CSettingsDlg dialog;
};

const QString kSaved =
    QString::fromUtf8("ZEBRINE 環境設定の設定が完了しました。\n\nｱﾌﾟﾘｹｰｼｮﾝを終了しますか？");
const QString kChanged = QString::fromUtf8(
    "初期化ﾌｧｲﾙの連携ﾌｫﾙﾀﾞまたは定型印刷ｾｸｼｮﾝが、読込み後に他のﾌﾟﾛｸﾞﾗﾑで変更されています。"
    "\n\n上書きしますか？\n「いいえ」を選ぶと保存せずに読込み直し、「ｷｬﾝｾﾙ」を選ぶと保存せずに"
    "編集を続けます。");

// The scratch files a save left in `folder`.
std::vector<std::string> scratchFiles(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".zbq-tmp.") != std::string::npos)
            found.push_back(entry.path().filename().string());
    return found;
}

// A Save without an edit must not delete what ZBQ shows: entries after a gap stay, and the list
// is ZBQ's list, an entry ZBQ skips being reported at the start.
TEST_F(RealWindow, SaveWithoutAnEditKeepsEveryEntryZbqShows) {
    open(iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx",
                   "prt03=3,three,c.xlsx", "prt04=4,four,d.xlsx", "prt06=6,,f.xlsx",
                   "prt99=99,last,z.xlsx"}));
    const std::vector<PrintMenuEntry> before = zbqMenu();
    ASSERT_EQ(before.size(), 4u);
    Boxes boxes({QMessageBox::No});
    ASSERT_TRUE(start());
    EXPECT_EQ(listed(), (std::vector<std::string>{"one", "three", "four", "last"}));
    pressSave();
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_TRUE(boxes.texts[0].endsWith(QString::fromUtf8("prt06 ： 6,,f.xlsx")))
        << boxes.texts[0].toStdString();
    EXPECT_EQ(boxes.texts[1], kSaved);
    EXPECT_EQ(zbqMenu(), before);
    EXPECT_EQ(ProfileFile(ini()).getString("print", "prt04"), "99,last,z.xlsx")
        << "keys are renumbered";
}

// Another program renames an entry and adds one while the tool is open: Save asks; No writes
// nothing and shows the file as it is now, Yes writes the tool's list.
TEST_F(RealWindow, AnotherProgramsChangeIsOverwrittenOnlyWhenTheUserSaysSo) {
    const std::string original = iniBytes(
        {"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx", "prt02=2,two,b.xlsx"});
    const std::string theirs =
        iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=1,ONE,a.xlsx",
                  "prt02=2,two,b.xlsx", "prt03=3,three,c.xlsx", "[OLAP]", "NODATA=-"});
    const QString& question = kChanged;
    {
        SCOPED_TRACE("No");
        open(original);
        Boxes boxes({QMessageBox::No, QMessageBox::No});
        ASSERT_TRUE(start());
        zbq::test::writeFile(iniPath(), theirs);
        pressSave();
        EXPECT_EQ(boxes.texts, std::vector<QString>{question});
        EXPECT_EQ(ini(), theirs);
        EXPECT_EQ(listed(), (std::vector<std::string>{"ONE", "two", "three"}));
        // The list now holds what the file holds: a Save writes without asking again.
        pressSave();
        EXPECT_EQ(boxes.texts, (std::vector<QString>{question, kSaved}));
        EXPECT_EQ(ini(), theirs);
    }
    {
        SCOPED_TRACE("Yes");
        open(original);
        Boxes boxes({QMessageBox::Yes, QMessageBox::No});
        ASSERT_TRUE(start());
        zbq::test::writeFile(iniPath(), theirs);
        pressSave();
        EXPECT_EQ(boxes.texts, (std::vector<QString>{question, kSaved}));
        EXPECT_EQ(ini(), iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx",
                                   "prt02=2,two,b.xlsx", "[OLAP]", "NODATA=-"}))
            << "ZBQ's own section is kept all the same";
    }
}

// A byte-order mark from an editor hides nothing: the link folder shows, Save works and the mark
// stays where it was.
TEST_F(RealWindow, ByteOrderMarkHidesNoSection) {
    const std::string bom = "\xEF\xBB\xBF";
    open(bom + iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx"}));
    Boxes boxes({QMessageBox::No});
    ASSERT_TRUE(start());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("linkFolder")->text(), QStringLiteral("/srv/images"));
    ASSERT_TRUE(dialog.findChild<QPushButton*>("save")->isEnabled());
    pressSave();
    EXPECT_EQ(boxes.texts, std::vector<QString>{kSaved});
    EXPECT_EQ(ini(),
              bom + iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx"}));
}

// An entry the file cannot hold again (a NUL, a lone CR) is refused at the start, naming its key,
// so that the Save that follows succeeds.
TEST_F(RealWindow, EntryWithNulOrLoneCrIsRefusedAndSaveWorks) {
    std::string bytes = iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx"});
    bytes += std::string("prt02=2,t\0wo,b.xlsx\r\n", 21);
    bytes += "prt03=3,th\rree,c.xlsx\r\n";
    open(bytes);
    Boxes boxes({QMessageBox::No});
    ASSERT_TRUE(start());
    EXPECT_EQ(listed(), std::vector<std::string>{"one"});
    pressSave();
    ASSERT_EQ(boxes.texts.size(), 3u);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("prt02")));
    EXPECT_TRUE(boxes.texts[1].contains(QStringLiteral("prt03")));
    EXPECT_EQ(boxes.texts[2], kSaved);
    EXPECT_EQ(ini(), iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx"}));
}

// A link folder the file cannot hold again is left out with its message: Save waits for a new one.
TEST_F(RealWindow, LinkFolderWithALoneCrIsLeftOut) {
    open(iniBytes({"[image]", "path=/srv/im\rages", "[print]", "prt01=1,one,a.xlsx"}));
    Boxes boxes;
    ASSERT_TRUE(start());
    EXPECT_EQ(boxes.texts, std::vector<QString>{QString::fromUtf8(
                               "ZBQ.ini に保存できない文字が含まれています。\n\n/srv/im\rages")});
    EXPECT_EQ(dialog.findChild<QLineEdit*>("linkFolder")->text(), QString());
    EXPECT_FALSE(dialog.findChild<QPushButton*>("save")->isEnabled());
}

// A thousand bad entries are no thousand boxes: a few, then one that counts the others.
TEST_F(RealWindow, ManyRefusalsGiveAFewBoxesAndACount) {
    std::string bytes = iniBytes({"[image]", "path=/srv/images", "[print]"});
    for (int i = 1; i <= 12; ++i)
        bytes += printKey(i) + "=bad" + std::to_string(i) + "\r\n";
    open(bytes);
    Boxes boxes;
    ASSERT_TRUE(start());
    ASSERT_EQ(boxes.texts.size(), CSettingsDlg::kRefusalsShown + 1);
    EXPECT_TRUE(boxes.texts[0].endsWith(QStringLiteral("prt01 ： bad1")));
    EXPECT_EQ(boxes.texts.back(),
              QString::fromUtf8("定型印刷ｾｸｼｮﾝにはほかに7件の不正なｷｰが存在します。\n"
                                "表示項目から除外します。"));
}

// A FIFO in the place of ZBQ.ini is refused at once with the editing error, and the tool ends.
TEST_F(RealWindow, FifoInThePlaceOfTheFileIsRefusedAtOnce) {
    open("");
    ::unlink(iniPath().c_str());
    zbq::test::FifoWatchdog watchdog(iniPath());
    ASSERT_TRUE(watchdog.made());
    Boxes boxes;
    EXPECT_FALSE(start());
    EXPECT_FALSE(watchdog.unblocked()) << "the tool waited on the FIFO";
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_TRUE(
        boxes.texts[0].startsWith(QString::fromUtf8("初期化ﾌｧｲﾙの編集中にｴﾗｰが発生しました。")));
}

// Cancel keeps the user's edits: nothing is written, the deleted row stays deleted, and the next
// Save asks again.
TEST_F(RealWindow, CancelToAnotherProgramsChangeWritesNothingAndKeepsTheEdits) {
    open(iniBytes(
        {"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx", "prt02=2,two,b.xlsx"}));
    const std::string theirs = iniBytes(
        {"[image]", "path=/srv/images", "[print]", "prt01=1,ONE,a.xlsx", "prt02=2,two,b.xlsx"});
    Boxes boxes({QMessageBox::Yes, QMessageBox::Cancel, QMessageBox::Cancel});
    ASSERT_TRUE(start());
    dialog.list()->selectRow(1);
    zbq::test::press(dialog.findChild<QPushButton*>("delete"));  // Yes to "Delete this item?"
    ASSERT_EQ(listed(), std::vector<std::string>{"one"});
    zbq::test::writeFile(iniPath(), theirs);
    pressSave();
    EXPECT_EQ(ini(), theirs);
    EXPECT_EQ(listed(), std::vector<std::string>{"one"}) << "the edit was thrown away";
    pressSave();
    ASSERT_EQ(boxes.texts.size(), 3u);
    EXPECT_EQ(boxes.texts[1], kChanged);
    EXPECT_EQ(boxes.texts[2], kChanged);
    EXPECT_EQ(ini(), theirs);
    EXPECT_EQ(boxes.unanswered(), 0u);
}

// Another program writes the file after the Save read it and before the new file takes its
// place: the Save asks again rather than lose that write; Yes then keeps what the other program
// wrote outside the tool's sections, Cancel writes nothing. The other write is in place and of
// the same size, so only the change time tells it.
TEST_F(RealWindow, WriteJustBeforeTheRenameIsAskedAboutAgain) {
    const std::string original = iniBytes(
        {"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx", "[OLAP]", "NODATA=-"});
    const std::string theirs = iniBytes(
        {"[image]", "path=/srv/images", "[print]", "prt01=1,one,a.xlsx", "[OLAP]", "NODATA=+"});
    for (const auto answer : {QMessageBox::Yes, QMessageBox::Cancel}) {
        SCOPED_TRACE(answer == QMessageBox::Yes ? "Yes" : "Cancel");
        open(original);
        Boxes boxes({answer, QMessageBox::No});
        ASSERT_TRUE(start());
        dialog.model().setLinkFolder("/srv/other");
        bool written = false;
        dialog.model().setBeforeReplaceForTesting([&] {
            if (written) return;
            written = true;
            const int fd = ::open(iniPath().c_str(), O_WRONLY);  // in place: same inode, size
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::write(fd, theirs.data(), theirs.size()),
                      static_cast<ssize_t>(theirs.size()));
            ::close(fd);
        });
        pressSave();
        ASSERT_TRUE(written);
        ASSERT_GE(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], kChanged);
        if (answer == QMessageBox::Yes) {
            EXPECT_EQ(boxes.texts, (std::vector<QString>{kChanged, kSaved}));
            EXPECT_EQ(ini(), iniBytes({"[image]", "path=/srv/other", "[print]",
                                       "prt01=1,one,a.xlsx", "[OLAP]", "NODATA=+"}));
        } else {
            EXPECT_EQ(boxes.texts, std::vector<QString>{kChanged});
            EXPECT_EQ(ini(), theirs);
        }
        EXPECT_EQ(scratchFiles(folder_->dir.path()), std::vector<std::string>{});
        dialog.model().setBeforeReplaceForTesting(nullptr);
    }
}

// A file that both programs read with LF line ends would pass their limit with the CR LF a Save
// writes: the Save is refused with the system's text for it, and the file stays as it was.
TEST_F(RealWindow, SaveThatWouldPassTheSizeLimitIsRefused) {
    std::string bytes = "[image]\npath=/srv/images\n[print]\nprt01=1,one,a.xlsx\n[OLAP]\n";
    const std::string line = "K=" + std::string(60, 'v') + "\n";
    while (bytes.size() + line.size() <= 16776192)
        bytes += line;
    bytes += std::string(16776192 - bytes.size() - 1, 'w') + "\n";
    ASSERT_EQ(bytes.size(), 16776192u);
    ASSERT_LE(bytes.size(), ProfileFile::kMaxBytes);
    open(bytes);
    Boxes boxes;
    ASSERT_TRUE(start());
    pressSave();
    EXPECT_EQ(boxes.texts, std::vector<QString>{
                               QString::fromUtf8("初期化ﾌｧｲﾙの編集中にｴﾗｰが発生しました。\n\n") +
                               QString::fromLocal8Bit(std::strerror(EFBIG))});
    EXPECT_TRUE(ini() == bytes) << "the file was changed";
    EXPECT_EQ(scratchFiles(folder_->dir.path()), std::vector<std::string>{});
}

// A random [print] section: keys in and out of order, in any case, repeated, with gaps and past
// 99, other names; numbers repeated, signed, led by blanks and control characters; values without
// their commas, without a name or file, with a CR or NUL, in quotes.
std::string randomPrintSection(std::mt19937& random) {
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    const std::vector<std::string> leads = {"",   "",     "",  " ", "\t", "\v",
                                            "\f", "\v\f", "+", "-", "0",  "\r"};
    const std::vector<std::string> names = {"a",    sjis("売上"),           sjis("ｶﾅ"),  "", "x y",
                                            "q\rq", std::string("n\0l", 3), "\"quoted\""};
    const std::vector<std::string> files = {"a.xlsx", "sub/b.xls",   "c,d.xlsx",
                                            "",       "/abs/e.xlsx", sjis("月報.xlsx")};
    std::string section = "[print]\r\n";
    const int lines = pick(40);
    for (int i = 0; i < lines; ++i) {
        std::string key;
        switch (pick(8)) {
            case 0:
                key = "prt" + std::to_string(100 + pick(30));
                break;
            case 1:
                key = pick(2) ? "prt" + std::to_string(1 + pick(9))
                              : "other" + std::to_string(pick(3));
                break;
            default:
                key = printKey(1 + pick(99));
        }
        if (pick(3) == 0) key[0] = 'P', key[1] = 'R', key[2] = 'T';
        std::string value;
        if (pick(12) > 0) {
            value = leads[static_cast<std::size_t>(pick(static_cast<int>(leads.size())))] +
                    std::to_string(pick(4) == 0 ? pick(3) : 1 + pick(120));
            if (pick(10) > 0) value += "," + names[static_cast<std::size_t>(pick(8))];
            if (pick(10) > 0) value += "," + files[static_cast<std::size_t>(pick(6))];
        }
        section += key + "=" + value + "\r\n";
    }
    return section;
}

// ZBQ's menu and the tool's list are one: for 200 generated files the list shows the entries ZBQ
// shows, and after a Save without an edit ZBQ shows the same entries again.
TEST_F(RealWindow, ListEqualsZbqsMenuAndASaveWithoutAnEditKeepsIt) {
    std::mt19937 random(20261211);
    for (int file = 0; file < 200; ++file) {
        SCOPED_TRACE("file " + std::to_string(file));
        const std::string bytes =
            iniBytes({"[image]", "path=/srv/images"}) + randomPrintSection(random);
        SCOPED_TRACE(bytes);
        folder_.emplace(bytes);  // scripted prompts: refusals confirmed, Save's question No
        folder_->prompts.answer(ui::Answer::No);
        CSettingsDlg tool;
        ASSERT_TRUE(tool.start(iniPath()));
        const std::vector<PrintMenuEntry> menu = zbqMenu();
        const auto cp932 = [](const QString& text) { return ui::toCp932(text).value_or("?"); };
        ASSERT_EQ(tool.list()->topLevelItemCount(), static_cast<int>(menu.size()));
        for (int row = 0; row < tool.list()->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = tool.list()->topLevelItem(row);
            const PrintMenuEntry& entry = menu[static_cast<std::size_t>(row)];
            EXPECT_EQ(decimalValue(cp932(item->text(0))), entry.number);
            EXPECT_EQ(cp932(item->text(1)), entry.menuName);
            const std::string shownFile = zbq::cp932::pathFromStored(cp932(item->text(2)));
            EXPECT_EQ(shownFile.front() == '/' ? shownFile : folder_->dir.file(shownFile),
                      entry.formatFile);
        }
        tool.show();
        zbq::test::press(tool.findChild<QPushButton*>("save"));
        EXPECT_EQ(folder_->prompts.messageTexts().back(), kSaved.toStdString());
        EXPECT_EQ(folder_->prompts.unanswered(), 0);
        EXPECT_EQ(zbqMenu(), menu);
    }
}

}  // namespace
}  // namespace zbq::settings
