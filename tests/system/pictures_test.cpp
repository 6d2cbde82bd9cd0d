// The pictures: every picture set has its images at the 16 pixels the lists draw them at and at
// 32 for double-density screens, on a transparent ground; and the lists, the grid's header and
// the windows show the picture of each item's type, through ZBQ's own window factories
// offscreen.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>
#include <vector>

#include "app/images.h"
#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/image_button.h"
#include "console/item_sel_page.h"
#include "console/set_tree_view.h"
#include "console/state_image_delegate.h"
#include "console/sys_page.h"
#include "tests/support/app_harness.h"
#include "windows/every_window.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"

namespace zbq {
namespace {

QImage imageAt(const QIcon& icon, int side) {
    return icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128) ++n;
    return n;
}

TEST(PictureSets, EveryImageIsDrawnAtSixteenAndThirtyTwoPixelsOnATransparentGround) {
    struct Case {
        int set;
        std::vector<int> indexes;
    };
    const Case cases[] = {
        {kItemImages, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {kStateImages, {1}},
        {kSetImages, {0}},
        {kValueTypeImages, {0, 1, 2, 3, 4, 5, 6, 7}},
        {kClassMarks, {0, 1}},
        {kPercentRankImage, {0}},
        {kNewSetImage, {0}},
        {kGraphImage, {0}},
        {kToXImage, {0}},
        {kToYImage, {0}},
        {kToSumImage, {0}},
        {kConsoleIcon, {0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zbqImageSize(c.set), QSize(16, 16)) << c.set;
        EXPECT_EQ(zbqImageCount(c.set), c.indexes.back() + 1) << c.set;
        for (int index : c.indexes) {
            const QIcon icon = zbqImage(c.set, index);
            ASSERT_FALSE(icon.isNull()) << c.set << "/" << index;
            for (int side : {16, 32}) {
                const QImage image = imageAt(icon, side);
                EXPECT_EQ(image.size(), QSize(side, side)) << c.set << "/" << index;
                EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << c.set << "/" << index << " " << side;
                EXPECT_GT(opaquePixels(image), side * side / 8) << c.set << "/" << index;
            }
        }
    }
}

TEST(PictureSets, AnIndexTheSetLacksHasNoPicture) {
    EXPECT_TRUE(zbqImage(kItemImages, -1).isNull());  // an item type not yet set
    EXPECT_TRUE(zbqImage(kItemImages, 13).isNull());
    EXPECT_TRUE(zbqImage(kValueTypeImages, -1).isNull());
    EXPECT_TRUE(zbqImage(kStateImages, 0).isNull());  // state 0: no mark
    EXPECT_TRUE(zbqImage(4711).isNull());
    EXPECT_EQ(zbqImageCount(4711), 0);
}

TEST(PictureSets, EachItemTypeHasAPictureOfItsOwn) {
    const int types[] = {0, 1, 2, 3, 4, 5, 7};
    for (int a : types) {
        for (int b : types) {
            if (a >= b) continue;
            EXPECT_NE(imageAt(zbqImage(kItemImages, a), 16), imageAt(zbqImage(kItemImages, b), 16))
                << a << " and " << b;
        }
    }
}

// ZBQ as main() wires it, on the harness's data set of the seven item types.
class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = std::make_unique<CMainFrame>(app(), windows::everyWindowFactory(app()));
        frame->resize(1024, 720);
        frame->show();
        ASSERT_EQ(frame->ShowConsole(), 1);
        console = qobject_cast<CConsSheet*>(frame->console());
        ASSERT_NE(console, nullptr);
        ASSERT_TRUE(harness.load());
        console->ItemSelPage()->FillTree();
        ASSERT_GE(app().GetStructDef().items.size(), 7u);
    }
    void TearDown() override { frame.reset(); }

    CKWApp& app() { return harness.app(); }
    const std::vector<CItemDef>& items() { return app().GetStructDef().items; }

    test::AppHarness harness;
    std::unique_ptr<CMainFrame> frame;
    CConsSheet* console = nullptr;
};

qint64 shownKey(const QTreeWidgetItem* item) {
    return item->data(0, Qt::DecorationRole).value<QIcon>().cacheKey();
}

qint64 typeKey(std::int32_t type) {
    return zbqImage(kItemImages, type).cacheKey();
}

TEST_F(PicturesTest, TheItemTreeAndTheDisplayListShowEachItemsTypeAndTheListedMark) {
    CItemSelPage* page = console->ItemSelPage();
    QTreeWidget* tree = page->treeView();
    // The lists draw their pictures at the style's small-icon size, which each picture has as
    // it was drawn.
    const int side = tree->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, tree);
    ASSERT_EQ(side, zbqImageSize(kItemImages).width());
    ASSERT_TRUE(zbqImage(kItemImages, 0).availableSizes().contains(QSize(side, side)));
    int itemNodes = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const ItemNode& node = page->tree().node((*it)->data(0, Qt::UserRole).toInt());
        const int expected = node.kind == ItemNodeKind::Root    ? 6
                             : node.kind == ItemNodeKind::Group ? 8
                                                                : node.type;
        EXPECT_EQ(shownKey(*it), typeKey(expected)) << (*it)->text(0).toStdString();
        if (node.kind == ItemNodeKind::Item) ++itemNodes;
    }
    EXPECT_EQ(itemNodes, static_cast<int>(items().size()));

    page->OnAllToDisplayList();
    QTreeWidget* list = page->listView();
    ASSERT_EQ(list->topLevelItemCount(), static_cast<int>(items().size()));
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        EXPECT_EQ(shownKey(list->topLevelItem(row)),
                  typeKey(app().GetItemType(page->list().row(row).itemNo)))
            << row;

    // The mark of a listed item is its node's state image, beside its type image.
    const int first = page->tree().nodeOfItem(items().front().itemNo);
    const auto stateOf = [&](int node) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == node)
                return (*it)->data(0, StateImageDelegate::kStateImageRole).toInt();
        return -1;
    };
    EXPECT_EQ(stateOf(first), 1);
    page->OnHide(first);
    EXPECT_EQ(stateOf(first), 0);
    EXPECT_EQ(stateOf(0), 0);  // the root carries no mark
}

TEST_F(PicturesTest, TheMarkIsPaintedInItsOwnSlotLeftOfTheTypeImage) {
    console->resize(440, 524);
    console->ActivatePage(ConsolePage::ItemSelection);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(console));
    CItemSelPage* page = console->ItemSelPage();
    QTreeWidget* tree = page->treeView();
    const std::int32_t item = items().front().itemNo;
    QTreeWidgetItem* node = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == page->tree().nodeOfItem(item)) node = *it;
    ASSERT_NE(node, nullptr);
    const QRect slot = StateImageDelegate::stateRect(tree->visualItemRect(node));
    // The type image and the start of the name, right of the slot.
    const QRect rest(slot.right() + 1, slot.top(), 40, slot.height());

    const QImage before = tree->viewport()->grab().toImage();
    page->AddDisplayItem(-1, item);
    const QImage after = tree->viewport()->grab().toImage();

    QImage ground(slot.size(), before.format());
    ground.fill(before.pixel(slot.topLeft()));
    EXPECT_EQ(before.copy(slot), ground);  // no mark: bare ground
    EXPECT_NE(after.copy(slot), ground);   // the mark
    EXPECT_EQ(after.copy(rest), before.copy(rest));
}

TEST_F(PicturesTest, TheConditionListTheSetTreeAndTheWindowListShowTheirPictures) {
    for (const CItemDef& item : items()) {
        SearchCondition condition;
        condition.item = item.itemNo;
        condition.op = 0;
        condition.value1 = "1";
        condition.valueKind = 2;
        app().AddSearchCondition(condition);
    }
    CDataSelPage* page = console->DataSelPage();
    page->FillConditions();
    QTreeWidget* conditions = page->conditionList();
    ASSERT_EQ(conditions->topLevelItemCount(), static_cast<int>(items().size()));
    for (int row = 0; row < conditions->topLevelItemCount(); ++row)
        EXPECT_EQ(shownKey(conditions->topLevelItem(row)), typeKey(items()[row].type)) << row;

    // The current set carries the state image, every set the set picture.
    app().RebuildSetTree();
    app().MarkCurrentSet(0);
    int sets = 0;
    for (QTreeWidgetItemIterator it(page->setTree()); *it; ++it, ++sets) {
        EXPECT_EQ(shownKey(*it), zbqImage(kSetImages).cacheKey());
        EXPECT_EQ((*it)->data(0, StateImageDelegate::kStateImageRole).toInt(),
                  CDataSelTreeView::setNumberOf(*it) == 0 ? 1 : 0);
        EXPECT_FALSE((*it)->font(0).bold());
    }
    EXPECT_GT(sets, 0);

    // Item windows by their type, the original-data window as image 10; each item window
    // wears its type's picture as its icon.
    const CItemDef& code = items()[0];
    const CItemDef& date = items()[5];
    ASSERT_NE(code.type, date.type);
    ASSERT_EQ(frame->ShowItemSheet(code.itemNo), 1);
    ASSERT_EQ(frame->ShowItemSheet(date.itemNo), 1);
    app().SetDisplayItems({0, 1});
    frame->ShowDataView();
    QTreeWidget* windows = console->SysPage()->listView();
    std::vector<qint64> shown;
    for (int row = 0; row < windows->topLevelItemCount(); ++row)
        shown.push_back(shownKey(windows->topLevelItem(row)));
    EXPECT_EQ(shown, (std::vector<qint64>{typeKey(code.type), typeKey(date.type), typeKey(10)}));
    EXPECT_EQ(frame->FindItemSheet(code.itemNo)->windowIcon().cacheKey(), typeKey(code.type));
    EXPECT_EQ(frame->FindItemSheet(date.itemNo)->windowIcon().cacheKey(), typeKey(date.type));
    EXPECT_EQ(console->windowIcon().cacheKey(), zbqImage(kConsoleIcon).cacheKey());
}

TEST_F(PicturesTest, TheGridHeaderShowsEachColumnsTypeImageAndTheTitleRightOfIt) {
    std::vector<std::int32_t> all;
    for (const CItemDef& item : items())
        all.push_back(item.itemNo);
    app().SetDisplayItems(all);
    app().SetGridItems();
    frame->ShowDataView();
    auto* view = qobject_cast<windows::CKWView*>(frame->dataView());
    ASSERT_NE(view, nullptr);
    windows::GridController& g = view->model().geometry();
    QWidget* header = view->grid().columnHeader();
    g.setColumnWidths(std::vector<int>(all.size(), 120));
    header->resize(80 + g.contentWidth() + 10, header->height());
    const QImage shot = header->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QColor ground = header->palette().button().color();
    const QSize size = zbqImageSize(kItemImages);
    for (int c = 0; c < static_cast<int>(all.size()); ++c) {
        const int left = 80 + g.columnLeft(c) - g.xOffset();
        // The lookup's picture of the column's type, painted on the header's ground.
        QImage expected(size, QImage::Format_ARGB32);
        expected.fill(ground);
        {
            QPainter p(&expected);
            zbqImage(kItemImages, app().GetItemType(all[c])).paint(&p, QRect(QPoint(), size));
        }
        EXPECT_EQ(shot.copy(QRect(QPoint(left + 6, 2), size)), expected) << "column " << c;
        // Nothing of the title is drawn between the picture and left + 30.
        const QImage gap = shot.copy(QRect(left + 6 + size.width(), 2, 30 - 6 - size.width(), 16));
        for (int y = 0; y < gap.height(); ++y)
            for (int x = 0; x < gap.width(); ++x)
                ASSERT_EQ(QColor(gap.pixel(x, y)), ground) << "column " << c;
    }
}

TEST_F(PicturesTest, TheItemWindowsButtonsArePictureButtonsThatTakeTheFocusOnAClick) {
    const std::int32_t item = items()[2].itemNo;
    ASSERT_EQ(frame->ShowItemSheet(item), 1);
    auto* sheet = dynamic_cast<windows::CItemSheet*>(frame->FindItemSheet(item));
    ASSERT_NE(sheet, nullptr);
    struct Case {
        const char* name;
        int image;
        QPoint imageAt;  // -1: centred
        QPoint captionAt;
    };
    for (const Case& c : {Case{"percentRank", kPercentRankImage, {-1, -1}, {-1, -1}},
                          Case{"createSet", kNewSetImage, {2, -1}, {20, -1}},
                          Case{"graph", kGraphImage, {2, -1}, {20, -1}}}) {
        auto* button = sheet->findChild<CImageButton*>(c.name);
        ASSERT_NE(button, nullptr) << c.name;
        const ImageButtonLayout layout = button->currentLayout();
        if (c.imageAt.x() >= 0) {
            EXPECT_EQ(layout.image.x(), c.imageAt.x()) << c.name;
            EXPECT_EQ(layout.caption.x(), c.captionAt.x()) << c.name;
            // The caption fits the button.
            EXPECT_LE(layout.caption.x() + button->fontMetrics().horizontalAdvance(button->text()),
                      button->width())
                << c.name;
        } else {
            EXPECT_TRUE(button->text().isEmpty());
            EXPECT_EQ(layout.image.x(), (button->width() - 16) / 2) << c.name;
        }
        EXPECT_NE(button->focusPolicy() & Qt::ClickFocus, 0) << c.name;
    }
}

}  // namespace
}  // namespace zbq
