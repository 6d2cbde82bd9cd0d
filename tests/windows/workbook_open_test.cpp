// A workbook a window has written is opened in the spreadsheet program, and where there is none
// the user is told so. Without one the desktop's opener is started all the same and fails
// without a word; the graph button wrote its workbook and nothing was shown. The button itself
// follows the graph flag alone. The graph control is a fake that writes the workbook; the
// desktop's opener is scripted and "starts" whatever it is given, as xdg-open does.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "platform/ui/desktop_opener.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/item_sheet_fixture.h"
#include "windows/graph_host.h"
#include "windows/value_list_model.h"

namespace zbq::windows {
namespace {

class WritingOutput : public GraphOutput {
public:
    void setFilePath(const std::string& path) override { path_ = path; }
    void setData(const std::string&) override {}
    void closeXls(const std::string&) override {}
    void exNormal() override { test::writeFile(path_, "PK"); }

private:
    std::string path_;
};

class WorkbookOpen : public test::ItemSheetTest {
protected:
    void SetUp() override {
        test::ItemSheetTest::SetUp();
        previous_ = setGraphOutput(&output_);
        app().SetGraphTempPath(harness.file("temp/stamp_g.xlsx"));
    }
    void TearDown() override {
        setGraphOutput(previous_);
        test::ItemSheetTest::TearDown();
    }

    std::vector<std::string> messages() { return harness.prompts().messageTexts(); }

    WritingOutput output_;
    GraphOutput* previous_ = nullptr;
    ui::ScriptedOpener opener_;
};

TEST_F(WorkbookOpen, TheGraphButtonFollowsTheGraphFlagAndSaysWhenNoProgramOpensTheWorkbook) {
    const std::string workbook = harness.file("temp/stamp_g.xlsx");
    const struct {
        std::int32_t graph;
        const char* spreadsheet;
        bool enabled;
        std::vector<std::string> said;
        bool opened;
    } cases[] = {
        {1, "", true, {"エクセルの起動に失敗しました"}, false},
        {1, "calc.desktop", true, {}, true},
        {0, "calc.desktop", false, {}, false},
        {0, "", false, {}, false},
    };
    for (const auto& c : cases) {
        const std::string name =
            "graph " + std::to_string(c.graph) + ", program '" + c.spreadsheet + "'";
        harness.prompts().clear();
        std::filesystem::remove(workbook);
        const std::size_t openedBefore = opener_.opened().size();
        app().SetGraphOutput(c.graph);
        app().SetExcelPath(c.spreadsheet);
        CItemSheet* sheet = open(test::kSex);
        ASSERT_NE(sheet, nullptr) << name;
        sheet->ShowPage(CItemSheet::kValueListPage);
        auto* button = sheet->findChild<QPushButton*>("graph");
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->isEnabled(), c.enabled) << name;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(messages(), c.said) << name;
        EXPECT_EQ(opener_.opened().size(), openedBefore + (c.opened ? 1 : 0)) << name;
        // The workbook is written whether or not a program opens it.
        EXPECT_EQ(std::filesystem::exists(workbook), c.enabled) << name;
        frame->RemoveItemSheet(test::kSex);
    }
}

TEST_F(WorkbookOpen, AnExportToTheSpreadsheetProgramSaysTheSame) {
    app().SetExcelPath("");
    app().SetExportTempPath(harness.file("temp/stamp_e.xlsx"));
    ValueListModel model(app(), test::kSex);
    model.OutToExcel(true);
    EXPECT_EQ(messages(), std::vector<std::string>{"エクセルの起動に失敗しました"});
    EXPECT_TRUE(opener_.opened().empty());
    EXPECT_TRUE(std::filesystem::exists(harness.file("temp/stamp_e.xlsx")));
}

}  // namespace
}  // namespace zbq::windows
