// The aggregation window's filter dialog: its rows as they open and as operators are chosen,
// what OK yields or refuses, and offscreen the context menu's "フィルタ" running the dialog,
// applying its conditions and recording the step that replays them.
#include "tests/windows/molap_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionViewItem>

#include <map>
#include <memory>

#include "app/step_text.h"
#include "macro/cmacro.h"
#include "platform/ui/modal_runner.h"
#include "windows/molap_filter_dialog.h"
#include "windows/molap_filter_model.h"

namespace zbq::windows {
namespace {

TEST(MolapFilterModel, rowsOpenOverTheStoredConditions) {
    FilterConditions stored;
    stored[0] = {6, 3, "10", "20"};
    stored[2] = {0, 0, "5", "ignored"};
    // Released conditions keep colour and texts, but open as empty rows.
    stored[3] = {-1, 0, "old", "old"};
    const MolapFilterModel m(stored);
    struct Expected {
        std::int32_t operatorIndex, colour;
        const char *from, *to;
        bool fromEnabled, toEnabled;
    } const expected[] = {
        {6, 3, "10", "20", true, true}, {-1, 1, "", "", false, false}, {1, 0, "5", "", true, false},
        {-1, 3, "", "", false, false},  {-1, 4, "", "", false, false},
    };
    for (std::int32_t k = 0; k < MolapFilterModel::kRows; ++k) {
        const auto& e = expected[k];
        const MolapFilterModel::Row& r = m.row(k);
        EXPECT_EQ(r.operatorIndex, e.operatorIndex) << k;
        EXPECT_EQ(r.colour, e.colour) << k;
        EXPECT_EQ(r.from, e.from) << k;
        EXPECT_EQ(r.to, e.to) << k;
        EXPECT_EQ(r.fromEnabled, e.fromEnabled) << k;
        EXPECT_EQ(r.toEnabled, e.toEnabled) << k;
    }
    EXPECT_EQ(MolapFilterModel::operatorEntries(0).size(), 7u);
    EXPECT_EQ(MolapFilterModel::operatorEntries(1).front(), "");
    EXPECT_EQ(cp932::toUtf8(MolapFilterModel::operatorEntries(4).back()), "範囲");
}

TEST(MolapFilterModel, anOperatorChoiceEnablesItsValuesAndGivesTheOperator) {
    const struct {
        std::int32_t row, listIndex;
        bool from, to;
        std::int32_t op;
    } cases[] = {
        {0, 0, true, false, 0},   {0, 6, true, true, 6},     {0, -1, false, false, -1},
        {1, 0, false, false, -1}, {1, 1, true, false, 0},    {3, 7, true, true, 6},
        {4, 5, true, false, 4},   {2, -1, false, false, -1},
    };
    for (const auto& c : cases) {
        FilterConditions stored;
        stored[static_cast<std::size_t>(c.row)] = {6, 2, "1", "2"};  // both edits enabled first
        MolapFilterModel m(stored);
        m.setOperatorIndex(c.row, c.listIndex);
        EXPECT_EQ(m.row(c.row).fromEnabled, c.from) << c.row << "/" << c.listIndex;
        EXPECT_EQ(m.row(c.row).toEnabled, c.to) << c.row << "/" << c.listIndex;
        EXPECT_EQ(m.conditions()[static_cast<std::size_t>(c.row)].op, c.op)
            << c.row << "/" << c.listIndex;
    }
}

TEST(MolapFilterModel, okRefusesIncompleteRowsAndYieldsTheRowsAsTyped) {
    const auto model = [](std::int32_t row, std::int32_t listIndex, const char* from,
                          const char* to) {
        MolapFilterModel m{FilterConditions{}};
        if (row >= 0) {
            m.setOperatorIndex(row, listIndex);
            m.setFrom(row, from);
            m.setTo(row, to);
        }
        return m;
    };
    const struct {
        std::int32_t row, listIndex;
        const char *from, *to, *refusal;
    } cases[] = {
        {-1, 0, "", "", "条件が指定されていません。"},
        {1, 0, "x", "", "条件が指定されていません。"},  // the empty entry is no condition
        {1, 3, "", "", "第2条件の値が指定されていません。"},
        {4, 7, "1", "", "第5条件のToの値が指定されていません。"},
        {0, 6, "1", "2", ""},
        {2, 1, "abc", "", ""},  // values are not checked for form
    };
    for (const auto& c : cases)
        EXPECT_EQ(model(c.row, c.listIndex, c.from, c.to).refusal(), c.refusal) << c.row;

    MolapFilterModel m = model(2, 7, "1,000", "2000");
    m.setColour(2, 4);
    m.setColour(0, 9);  // outside the list: the selection stays
    FilterConditions expected;
    for (std::int32_t k = 0; k < 5; ++k)
        expected[static_cast<std::size_t>(k)].colour = k;
    expected[2] = {6, 4, "1,000", "2000"};
    EXPECT_EQ(m.conditions(), expected);
}

using MolapFilterDialogTest = MolapWindowTest;

// Each colour list holds the five colours in index order, drawn as the colour itself, 18 pixels
// high, the selected entry framed in the inverse colour.
TEST_F(MolapFilterDialogTest, colourEntriesAreDrawnAsTheirColour) {
    CFilterDlg dialog(harness.app(), FilterConditions{}, nullptr);
    QComboBox* list = dialog.colourList(4);
    ASSERT_EQ(list->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list->itemData(i).value<QColor>().rgb() & 0xFFFFFF,
                  kMolapFilterColours[static_cast<std::size_t>(i)])
            << i;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 40, 18);
    const QModelIndex entry = list->model()->index(1, 0);
    EXPECT_EQ(list->itemDelegate()->sizeHint(option, entry).height(), 18);
    for (const bool selected : {false, true}) {
        QImage image(40, 18, QImage::Format_RGB32);
        image.fill(Qt::black);
        option.state = selected ? QStyle::State_Selected : QStyle::State_None;
        QPainter painter(&image);
        list->itemDelegate()->paint(&painter, option, entry);
        painter.end();
        const QRgb colour = kMolapFilterColours[1];
        EXPECT_EQ(image.pixel(20, 9) & 0xFFFFFF, colour);
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, selected ? (~colour & 0xFFFFFF) : colour);
    }
}

// Every marked cell of the window's table: (row, column) -> colour index.
std::map<std::pair<int, int>, int> marks(const CMOLAPView& view) {
    std::map<std::pair<int, int>, int> out;
    for (std::int32_t r = 0; r < view.rows(); ++r)
        for (std::int32_t c = 0; c < view.columns(); ++c)
            if (const std::int32_t mark = view.filterMark(r, c); mark >= 0) out[{r, c}] = mark;
    return out;
}

// The context menu's entry of that caption, triggered; the menu is then dropped.
void trigger(CMOLAPFrm& window, const char* caption) {
    std::unique_ptr<QMenu> menu(window.contextMenu());
    ASSERT_TRUE(menu);
    for (QAction* action : menu->actions())
        if (action->text() == QString::fromUtf8(caption)) {
            ASSERT_TRUE(action->isEnabled()) << caption;
            action->trigger();
            return;
        }
    FAIL() << "no entry " << caption;
}

TEST_F(MolapFilterDialogTest, theMenuEntryAppliesTheDialogsConditionsAndRecordsThem) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    std::vector<std::string> refusals;
    ui::ScopedModalHook hook([&](QDialog& dialog) {
        auto* d = dynamic_cast<CFilterDlg*>(&dialog);
        if (!d) return int(QDialog::Rejected);
        d->accept();  // nothing chosen yet: refused, the dialog stays open
        refusals = messages();
        if (d->result() == QDialog::Accepted) return int(QDialog::Accepted);
        d->operatorList(0)->setCurrentIndex(2);  // ">"
        d->fromEdit(0)->setText("100");
        d->colourList(0)->setCurrentIndex(2);
        d->operatorList(1)->setCurrentIndex(7);  // "範囲"
        EXPECT_TRUE(d->toEdit(1)->isEnabled());
        d->fromEdit(1)->setText("30");
        d->toEdit(1)->setText("100");
        d->operatorList(2)->setCurrentIndex(1);  // "="
        d->fromEdit(2)->setText("1,000");
        d->colourList(2)->setCurrentIndex(4);
        d->operatorList(3)->setCurrentIndex(3);
        d->operatorList(3)->setCurrentIndex(0);  // back to the empty entry
        EXPECT_FALSE(d->fromEdit(3)->isEnabled());
        d->accept();
        return d->result();
    });
    trigger(*window(), "フィルタ");
    EXPECT_EQ(hook.calls(), 1);
    EXPECT_EQ(refusals, std::vector<std::string>{"条件が指定されていません。"});
    // Rows 4 (2024) and 3 (2023); column 3 男性 and 5 女性 年齢[合計]; totals stay plain.
    const std::map<std::pair<int, int>, int> applied = {{{4, 3}, 2}, {{4, 5}, 1}, {{3, 5}, 1}};
    EXPECT_EQ(marks(window()->view()), applied);
    ASSERT_EQ(macro.steps.size(), 1u);
    EXPECT_EQ(macro.steps[0],
              "MolapFilter,\"2\t100\t\t2\",\"6\t30\t100\t1\",\"0\t1,000\t\t4\",\"-1\t\t\t3\","
              "\"-1\t\t\t4\"");

    // The step replays into the same marks after a release.
    trigger(*window(), "フィルタ解除");
    ASSERT_TRUE(marks(window()->view()).empty());
    CMacro player(harness.app());
    ASSERT_EQ(player.ExecuteStep(macro.steps[0]), 1);
    EXPECT_EQ(marks(window()->view()), applied);
}

TEST_F(MolapFilterDialogTest, cancelChangesNothingAndTheDialogShowsWhatIsStored) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    FilterConditions conditions;
    conditions[1] = {6, 0, "30", "100"};
    ASSERT_EQ(window()->Filter(conditions), 1);
    const auto before = marks(window()->view());
    macro.steps.clear();
    ui::ScopedModalHook hook([](QDialog& dialog) {
        auto* d = dynamic_cast<CFilterDlg*>(&dialog);
        if (!d) return int(QDialog::Rejected);
        EXPECT_EQ(d->operatorList(0)->currentIndex(), -1);
        EXPECT_EQ(d->colourList(0)->currentIndex(), 0);
        EXPECT_EQ(d->operatorList(1)->currentIndex(), 7);
        EXPECT_EQ(d->toEdit(1)->text(), "100");
        EXPECT_TRUE(d->toEdit(1)->isEnabled());
        d->operatorList(1)->setCurrentIndex(1);
        d->fromEdit(1)->setText("1");
        d->reject();
        return d->result();
    });
    trigger(*window(), "フィルタ");
    EXPECT_EQ(hook.calls(), 1);
    EXPECT_EQ(marks(window()->view()), before);
    EXPECT_EQ(window()->view().conditions(), conditions);
    EXPECT_TRUE(macro.steps.empty());
}

}  // namespace
}  // namespace zbq::windows
