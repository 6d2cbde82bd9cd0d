// Attached files and the attachment viewer on a small data set whose cells name files: which
// file the desktop is asked to open for each spelling, the messages for a missing folder
// setting, a missing file and a name leaving the folder, and the viewer's exact arguments.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/core/cp932.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/process_starter.h"
#include "tests/support/app_harness.h"
#include "windows/attachments.h"
#include "windows/data_grid_model.h"

namespace zbq::windows {
namespace {

class AttachmentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.load(
            cp932::literal("Title = \"t\"\nitem = \"登録番号\"\n Integer\nEndItem\n"
                           "item = \"ファイル\"\n String\nEndItem\nEndTitle\n"),
            cp932::literal("登録番号\tファイル\n101\tIMG001.JPG\n102\tPhoto.TIFF\n103\ta.jpeg\n"
                           "104\tdoc.docx\n\tmemo\n106\t../x.pdf\n107\tmissing.pdf\n"
                           "108\tsub\\Deep.GIF\n")));
        harness.app().SetDisplayItems({0, 1});
        harness.app().SetGridItems();
        model = std::make_unique<DataGridModel>(harness.app());
        model->BuildGrid(0);
        folder = harness.file("images");
        std::filesystem::create_directories(folder + "/sub");
        for (const char* name : {"img001.jpg", "Photo.TIFF", "A.JPEG", "sub/deep.gif", "../x.pdf"})
            std::ofstream(folder + "/" + name) << "x";
        harness.app().SetImageDir(folder);
    }
    void open(std::int32_t row) { OpenAttachedFile(harness.app(), *model, row, 1); }
    std::string lastMessage() {
        const auto& messages = harness.prompts().messages();
        return messages.empty() ? std::string() : messages.back().text.toStdString();
    }

    test::AppHarness harness;
    ui::ScriptedOpener opener;
    ui::ScriptedStarter starter;
    std::unique_ptr<DataGridModel> model;
    std::string folder;
};

TEST_F(AttachmentsTest, TheFileIsFoundAsWrittenLowerCasedOrRegardlessOfCase) {
    for (std::int32_t row : {0, 1, 2, 7})
        open(row);
    ASSERT_EQ(opener.opened().size(), 4u);
    EXPECT_EQ(opener.opened()[0].toStdString(), folder + "/img001.jpg");
    EXPECT_EQ(opener.opened()[1].toStdString(), folder + "/Photo.TIFF");
    EXPECT_EQ(opener.opened()[2].toStdString(), folder + "/A.JPEG");
    EXPECT_EQ(opener.opened()[3].toStdString(), folder + "/sub/deep.gif");
    EXPECT_TRUE(harness.prompts().messages().empty());
}

TEST_F(AttachmentsTest, MissingFilesAndNamesLeavingTheFolderAreNotFound) {
    const std::string ini = harness.programDir() + "/ZBQ.ini";
    for (std::int32_t row : {5, 6}) {
        harness.prompts().clear();
        open(row);
        const std::string name = row == 5 ? "../x.pdf" : "missing.pdf";
        EXPECT_EQ(lastMessage(), folder + "/" + name + "ファイルが見つかりません。\n" + ini +
                                     "の[image] Path= に記述されているパスにファイルがあるか確認"
                                     "してください。");
    }
    harness.app().SetImageDir("");
    harness.prompts().clear();
    open(0);
    EXPECT_EQ(lastMessage(), ini + "の[image] Path= に、ファイルのパスを記述して下さい。");
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_TRUE(starter.started().empty());
}

TEST_F(AttachmentsTest, AFailingOpenIsToldWithThePath) {
    opener.setResult(false);
    open(0);
    EXPECT_EQ(lastMessage(), folder + "/img001.jpgファイルの表示に失敗しました。");
}

TEST_F(AttachmentsTest, OtherCellsStartTheViewerWithTheRegistrationNumber) {
    open(3);  // viewer off: nothing
    EXPECT_TRUE(starter.started().empty());
    harness.app().SetViewer(1, "/opt/viewer/bin", "");
    open(3);  // ".docx" is no attachment extension
    LaunchAttachmentViewer(harness.app(), 0);
    ASSERT_EQ(starter.started().size(), 2u);
    for (const auto& [start, number] :
         {std::pair{starter.started()[0], "104"}, std::pair{starter.started()[1], "101"}}) {
        EXPECT_EQ(start.program, "/opt/viewer/bin");
        // The second argument is there even when empty.
        EXPECT_EQ(start.arguments, (QStringList{"", number}));
    }
    EXPECT_TRUE(harness.prompts().messages().empty());

    open(4);  // item 0 blank
    EXPECT_EQ(lastMessage(),
              "登録番号の取得に失敗したため、添付ファイルを表示できません。\n"
              "コンソール画面［項目選択］タブのツリー一覧の先頭項目に「登録番号」になっているか確認"
              "して下さい。");
    EXPECT_EQ(starter.started().size(), 2u);

    starter.setResult(false);
    LaunchAttachmentViewer(harness.app(), 1);
    EXPECT_EQ(lastMessage(),
              "添付ファイルを表示するためのモジュールの起動に失敗しました。\n\n"
              "モジュール[/opt/viewer/bin]");
}

TEST(AttachmentExtensions, AreMatchedAtTheEndOfTheLowerCasedText) {
    for (const char* yes : {"a.tif", "a.tiff", "b.jpeg", "c.pdf", "d.xls", "e.wif"})
        EXPECT_TRUE(HasAttachmentExtension(yes)) << yes;
    for (const char* no : {"a.docx", "a.xlsx", "tif", "a.png", "a.jpg.txt"})
        EXPECT_FALSE(HasAttachmentExtension(no)) << no;
}

}  // namespace
}  // namespace zbq::windows
