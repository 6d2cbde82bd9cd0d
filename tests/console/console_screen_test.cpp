// What the console shows after a data file is opened and in its item lists, as seen on the
// screen: the set tree of a data file opens with every node open, as the tree stands after any
// change of its sets; the aggregation page's four lists and the filter dialog's item box show
// each item with the picture of its type, as every other list of items does.
#include "tests/console/data_sel_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include <filesystem>

#include "app/images.h"
#include "console/drag_item_list.h"
#include "console/filter_cond_dlg.h"
#include "console/molap_page.h"
#include "console/set_tree_view.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/frame_with_console.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

// The nodes of a tree that have children and are closed, by caption.
std::vector<std::string> closedNodes(QTreeWidget* tree) {
    std::vector<std::string> closed;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->childCount() > 0 && !(*it)->isExpanded())
            closed.push_back((*it)->text(0).toStdString());
    return closed;
}

TEST(ConsoleScreen, ADataFileOpensWithEveryNodeOfItsSetTreeOpen) {
    TempDir dir;
    const std::string path = dir.file("sets.zbq");
    {
        // Set 2 inside set 1 inside set 0, saved with the data set.
        DataSelScreen s;
        s.filter(codeIs("1"));
        s.filter(ageAtLeast("30"));
        ASSERT_EQ(s.app().GetSetRecord(2).level, 2);
        s.app().SetSavePath(path);
        ASSERT_EQ(s.app().SaveDataAndMacro("", 0), 1);
    }
    // The data file alone: its macros are no part of this.
    std::filesystem::remove(dir.file("sets.mcr"));
    ui::ScriptedPrompts prompts;
    FrameWithConsole program(dir.path());
    ASSERT_TRUE(program.app.InitInstance({path}))
        << ::testing::PrintToString(prompts.messageTexts());
    CConsSheet* console = program.console();
    ASSERT_NE(console, nullptr);
    QTreeWidget* tree = console->DataSelPage()->setTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(closedNodes(tree), std::vector<std::string>{});
}

class ItemPictures : public DataSelTest {};

// The picture of each row's item type, by the icon's cache key; -1 for a row without one.
template <typename Row>
std::vector<std::int64_t> picturesOf(const std::vector<Row>& rows) {
    std::vector<std::int64_t> keys;
    for (const Row& row : rows)
        keys.push_back(row.isNull() ? -1 : row.cacheKey());
    return keys;
}

TEST_F(ItemPictures, TheAggregationListsShowEachItemsTypePicture) {
    COlap2Page* molap = console->MolapPage();
    molap->FillItemList();  // as a data set's load has it filled
    // Every item but MultiAns, in definition order: String, Code, Integer, Float, Date, Time.
    COlapItemList* items = molap->list(MolapList::Items);
    ASSERT_EQ(items->topLevelItemCount(), 6);
    std::vector<std::int64_t> shown, expected;
    for (int r = 0; r < items->topLevelItemCount(); ++r) {
        QTreeWidgetItem* row = items->topLevelItem(r);
        const std::int32_t item = row->data(0, Qt::UserRole).toInt();
        shown.push_back(row->icon(0).cacheKey());
        expected.push_back(zbqImage(kItemImages, app().GetItemType(item)).cacheKey());
        EXPECT_FALSE(row->icon(0).isNull()) << r;
    }
    EXPECT_EQ(shown, expected);

    // Copied to an axis and to the aggregation list by their buttons, a row keeps its picture.
    for (MolapList to : {MolapList::X, MolapList::Sum}) {
        items->selectRows({2});
        QTest::mouseClick(molap->copyButton(to), Qt::LeftButton);
        COlapItemList* list = molap->list(to);
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->icon(0).cacheKey(), zbqImage(kItemImages, 2).cacheKey());
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(ItemPictures, TheFilterDialogsItemBoxShowsEachItemsTypePicture) {
    std::vector<std::int64_t> shown, expected;
    bool opened = false;
    // The dialog as the 追加 button opens it, in its own loop, cancelled once looked at.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CFilterCondDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        opened = true;
        QComboBox* box = dialog->itemCombo();
        for (int i = 0; i < box->count(); ++i) {
            shown.push_back(box->itemIcon(i).cacheKey());
            expected.push_back(
                zbqImage(kItemImages, app().GetItemType(box->itemData(i).toInt())).cacheKey());
            EXPECT_FALSE(box->itemIcon(i).isNull()) << i;
        }
        dialog->reject();
    });
    page->OnAdd();
    ASSERT_TRUE(opened);
    EXPECT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace zbq::test
