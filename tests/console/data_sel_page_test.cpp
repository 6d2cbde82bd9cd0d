// The data-selection tab on the real console: the set tree's combinations by drop, deleting,
// renaming, collapsing and nesting, the refresh of the windows that show records, and the
// condition list with its buttons and the filter dialog, each with the steps it records.
#include "tests/console/data_sel_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

#include "console/filter_cond_dlg.h"
#include "console/set_tree_view.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "tests/support/real_input.h"

namespace zbq::test {
namespace {

const RefreshLog kRefresh = {"RebuildGrid(1)", "item", "cross", "molap"};
constexpr int kRecords = AppHarness::kFixtureRecords;

// Chooses one menu id and remembers the menus shown.
struct Chooser {
    std::int32_t id = 0;
    std::vector<std::int32_t> shown;
    std::vector<std::int32_t> enabled;  // of the last menu
    CDataSelPage::MenuChooser fn() {
        return [this](QMenu& menu, std::int32_t number) {
            shown.push_back(number);
            enabled.clear();
            for (QAction* a : menu.actions())
                if (a->isEnabled()) enabled.push_back(a->data().toInt());
            return id;
        };
    }
};

std::vector<std::int32_t> both(const SetRecord& a, const SetRecord& b, bool inB) {
    std::vector<std::int32_t> out;
    for (std::int32_t r = 0; r < kRecords; ++r)
        if (a.map->test(r) && b.map->test(r) == inB) out.push_back(r);
    return out;
}

class SetTree : public DataSelTest {
protected:
    SetTree() {
        openWindows();
        one = filter(codeIs("1"));  // men
        page->SelectSet(0);
        two = filter(ageAtLeast("30"));
        page->setMenuChooser(chooser.fn());
        macro->StartRecording();
        refreshes.clear();
    }
    Chooser chooser;
    std::int32_t one = -1, two = -1;
};

TEST_F(SetTree, DroppingASetOfferTheFittingMenuAndAddsTheChosenCombination) {
    ASSERT_EQ(one, 1);
    ASSERT_EQ(two, 2);
    const SetRecord a = app().GetSetRecord(1), b = app().GetSetRecord(2);

    struct Case {
        std::int32_t menuId;
        const char* title;
        std::int32_t level;
        std::vector<std::int32_t> records;
        const char* step;
    };
    std::vector<std::int32_t> unionRecords, complement;
    for (std::int32_t r = 0; r < kRecords; ++r) {
        if (a.map->test(r) || b.map->test(r)) unionRecords.push_back(r);
        if (!b.map->test(r)) complement.push_back(r);
    }
    const Case cases[] = {
        {CDataSelPage::kMenuProduct, "No.1 * No.2", 2, both(a, b, true), "DifferenceSet,1,2"},
        {CDataSelPage::kMenuDifference, "No.1 - No.2", 2, both(a, b, false), "ProductSet,1,2"},
        {CDataSelPage::kMenuUnion, "No.1 + No.2", 0, unionRecords, "UnionSet,1,2"},
        {CDataSelPage::kMenuComplement, "NOT No.2", 0, complement, "ComplementSet,1,2"},
    };
    std::int32_t expectedNumber = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        macro->StartRecording();
        refreshes.clear();
        chooser.id = c.menuId;
        page->DropSet(2, 1);  // set 2 dragged onto set 1
        EXPECT_EQ(chooser.shown.back(), 171);
        const SetRecord made = app().GetSetRecord(expectedNumber);
        EXPECT_EQ(made.number, expectedNumber);
        EXPECT_EQ(made.text1, c.title);
        EXPECT_EQ(made.level, c.level);
        EXPECT_EQ(recordsOf(made, kRecords), c.records);
        EXPECT_EQ(made.recordCount, static_cast<std::int32_t>(c.records.size()));
        EXPECT_EQ(page->CurrentSetNo(), expectedNumber);
        EXPECT_EQ(steps(), std::vector<std::string>{c.step});
        EXPECT_EQ(refreshes, kRefresh);
        // Under A, or a new tree at the top.
        QTreeWidgetItem* node = page->FindSetItem(expectedNumber);
        ASSERT_NE(node, nullptr);
        if (c.level == 2)
            EXPECT_EQ(node->parent(), page->FindSetItem(1));
        else
            EXPECT_EQ(node->parent(), nullptr);
        ++expectedNumber;
    }
    EXPECT_EQ(app().GetNextSetNo(), 7);
}

TEST_F(SetTree, OneSetOrItsAncestryOffersFewerOperations) {
    chooser.id = CDataSelPage::kMenuProduct;
    page->DropSet(1, 1);
    EXPECT_EQ(chooser.shown.back(), 173);
    EXPECT_EQ(chooser.enabled, std::vector<std::int32_t>{CDataSelPage::kMenuComplement});
    // A greyed choice does nothing.
    EXPECT_EQ(app().GetNextSetNo(), 3);

    chooser.id = CDataSelPage::kMenuProduct;
    page->DropSet(1, 2);
    ASSERT_EQ(app().GetNextSetNo(), 4);  // set 3, under 2
    page->DropSet(3, 2);                 // onto its parent
    EXPECT_EQ(chooser.shown.back(), 172);
    EXPECT_EQ(chooser.enabled, (std::vector<std::int32_t>{CDataSelPage::kMenuDifference,
                                                          CDataSelPage::kMenuComplement}));
    page->DropSet(0, 3);  // set 0 holds every set
    EXPECT_EQ(chooser.shown.back(), 172);
    EXPECT_EQ(app().GetNextSetNo(), 4);

    chooser.id = CDataSelPage::kMenuComplement;
    page->DropSet(1, 1);
    EXPECT_EQ(app().GetSetRecord(4).text1, "NOT No.1");
}

TEST_F(SetTree, ADropOnTheTreeAsksAfterItReturns) {
    console->show();
    chooser.id = CDataSelPage::kMenuProduct;
    CDataSelTreeView* tree = page->setTree();
    tree->programChange([tree] { tree->expandAll(); });
    QApplication::processEvents();
    ASSERT_EQ(tree->itemAt(tree->visualItemRect(page->FindSetItem(1)).center()),
              page->FindSetItem(1));
    const QPoint at = tree->visualItemRect(page->FindSetItem(1)).center();
    QMimeData mime;
    mime.setData(QString::fromLatin1(kSetMimeType), "2");
    // The application delivers a drop to the widget the drag entered.
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &drop);
    EXPECT_TRUE(chooser.shown.empty());  // not inside the drop
    QApplication::processEvents();
    EXPECT_EQ(chooser.shown, std::vector<std::int32_t>{171});
    EXPECT_EQ(app().GetSetRecord(3).text1, "No.1 * No.2");
    EXPECT_EQ(page->SetLines().size(), 4u);  // the tree moved no node

    // Data of another kind is not a set.
    QMimeData text;
    text.setText("2");
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDropEvent other(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &other);
    QApplication::processEvents();
    EXPECT_EQ(chooser.shown.size(), 1u);
}

TEST_F(SetTree, SelectingASetMakesItsMapCurrentAndRefreshesTheWindowsInOrder) {
    page->SelectSet(1);
    EXPECT_EQ(steps(), std::vector<std::string>{"SelectSet,1"});
    EXPECT_EQ(page->CurrentSetNo(), 1);
    EXPECT_EQ(app().KWmapGet(), app().GetSetRecord(1).map);
    EXPECT_EQ(refreshes, kRefresh);

    refreshes.clear();
    page->SelectSet(0);
    EXPECT_EQ(app().KWmapGet(), nullptr);
    EXPECT_EQ(app().Search().KWgetDataCount(), kRecords);
    EXPECT_EQ(refreshes, kRefresh);

    // A filter refreshes them too.
    refreshes.clear();
    filter(codeIs("2"));
    EXPECT_EQ(refreshes, kRefresh);
}

TEST_F(SetTree, DeleteTakesTheSubtreeAndRecordsOneStep) {
    page->SelectSet(1);
    const std::int32_t child = filter(ageAtLeast("30"));  // 3, under 1
    page->SelectSet(two);
    macro->StartRecording();
    const std::int32_t next = app().GetNextSetNo();

    chooser.id = CDataSelPage::kMenuDelete;
    page->OnContextMenu(1);
    EXPECT_EQ(chooser.shown.back(), 151);
    EXPECT_EQ(steps(), std::vector<std::string>{"DeleteSet,1"});
    EXPECT_FALSE(page->HasSetItem(1));
    EXPECT_FALSE(page->HasSetItem(child));
    EXPECT_EQ(app().GetSetRecord(child).number, 0);  // gone from the list too
    EXPECT_EQ(app().GetNextSetNo(), next);
    EXPECT_EQ(filter(codeIs("1")), next);  // numbers never come back

    // Set 0, the current set and its ancestors stay, from the menu or called directly.
    macro->StartRecording();
    const std::size_t sets = app().Sets().size();
    for (std::int32_t kept : {0, two, next}) {
        page->OnContextMenu(kept);
        EXPECT_EQ(chooser.shown.back(), 137) << kept;
        page->OnDelete(kept);
    }
    EXPECT_EQ(app().Sets().size(), sets);
    EXPECT_TRUE(steps().empty());
}

TEST_F(SetTree, CollapsingIsRefusedUntilAllowedAgain) {
    chooser.id = CDataSelPage::kMenuAllowClose;
    page->OnContextMenu(1);
    EXPECT_FALSE(page->CollapseAllowed());
    CDataSelTreeView* tree = page->setTree();
    QTreeWidgetItem* root = page->FindSetItem(0);
    ASSERT_TRUE(root->isExpanded());  // allowing close off expands every node first
    tree->collapseItem(root);
    EXPECT_TRUE(root->isExpanded());
    chooser.id = CDataSelPage::kMenuCloseAll;
    page->OnContextMenu(1);
    EXPECT_EQ(chooser.shown.back(), 138);
    EXPECT_TRUE(root->isExpanded());  // greyed
    page->OnContextMenu(0);
    EXPECT_EQ(chooser.shown.back(), 139);

    page->OnAllowClose();
    page->OnCollapseAll();
    EXPECT_FALSE(root->isExpanded());
    page->OnExpandAll();
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(steps(), (std::vector<std::string>{"PermitSetCollapse", "PermitSetCollapse",
                                                 "CollapseAllSet", "ExpandAllSet"}));
}

TEST_F(SetTree, RenamingInPlaceMakesTheCaptionExactlyTheText) {
    console->show();
    console->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(console));
    CDataSelTreeView* tree = page->setTree();
    tree->programChange([tree] { tree->expandAll(); });
    QApplication::processEvents();
    tree->editItem(page->FindSetItem(2));
    auto* editor = tree->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QString::fromUtf8("高齢者"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the edit ends, then the tree is laid out again
    EXPECT_EQ(app().GetSetRecord(2).text2, cp("高齢者"));
    EXPECT_EQ(steps(), std::vector<std::string>{"InputSetName,2,\"" + cp("高齢者") + "\""});
    EXPECT_EQ(page->FindSetItem(2)->text(0), QString::fromUtf8("高齢者"));
    EXPECT_EQ(tree->currentItem(), page->FindSetItem(2));

    // Escape stores nothing and also selects the node again.
    tree->setCurrentItem(page->FindSetItem(0));
    tree->editItem(page->FindSetItem(1));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the first editor
    editor = tree->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("x"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(tree->currentItem(), page->FindSetItem(1));
    EXPECT_EQ(steps().size(), 1u);

    // An emptied caption stores nothing and shows the caption it had.
    page->FindSetItem(2)->setText(0, QString());
    EXPECT_EQ(page->FindSetItem(2)->text(0), QString::fromUtf8("高齢者"));
    EXPECT_EQ(steps().size(), 1u);
}

TEST_F(SetTree, SetsNestToAnyDepth) {
    for (int depth = 0; depth < 15; ++depth)
        filter(ageAtLeast("0"));
    page->RebuildTree();
    QTreeWidgetItem* deepest = page->FindSetItem(page->CurrentSetNo());
    int levels = 0;
    for (QTreeWidgetItem* n = deepest; n->parent(); n = n->parent())
        ++levels;
    EXPECT_EQ(levels, 16);  // 15 filters under set 2, under set 0
    EXPECT_EQ(app().GetSetRecord(page->CurrentSetNo()).level, 16);
}

// --- Conditions ---

class Conditions : public DataSelTest {};

// On the shown console the panes fill the page down to 30 dpi-scaled pixels above its bottom,
// where the buttons stand in one row.
TEST_F(Conditions, ThePanesFillThePageAboveTheRowOfButtons) {
    console->show();
    console->ActivatePage(ConsolePage::DataSelection);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(console));
    const double s = page->logicalDpiX() / 96.0;
    const int w = page->width(), h = page->height();
    ASSERT_GT(h, 100);
    const QWidget* panes = page->findChild<QSplitter*>(QStringLiteral("dataSelFrame"));
    ASSERT_TRUE(panes);
    EXPECT_EQ(panes->geometry(), QRect(0, 0, w, h - static_cast<int>(30 * s)));
    const int y = static_cast<int>(h - (15 * s + 10));
    EXPECT_EQ(page->button(1014)->geometry(), QRect(2, y, 100, 20));
    EXPECT_EQ(page->button(1017)->geometry(), QRect(370, y, 50, 20));
}

TEST_F(Conditions, ButtonsFollowTheRowsAndDeleteAsksFirst) {
    for (int id : {1014, 1016, 1017})
        EXPECT_FALSE(page->button(id)->isEnabled()) << id;
    app().SetSearchConditions({codeIs("1"), ageAtLeast("30")});
    page->FillConditions();
    page->UpdateButtons();
    for (int id : {1014, 1016, 1017})
        EXPECT_TRUE(page->button(id)->isEnabled()) << id;
    EXPECT_EQ(page->conditionList()->topLevelItem(1)->text(1), QString::fromUtf8(">= 30"));
    EXPECT_EQ(page->conditionList()->topLevelItem(1)->text(2), QString::fromUtf8("数字"));
    macro->StartRecording();

    page->OnDeleteCondition();  // no row selected
    EXPECT_EQ(messages().back(), "変更する項目が選ばれていません");
    page->SelectRow(1);
    harness.prompts().answer(ui::Answer::No);
    page->OnDeleteCondition();
    EXPECT_EQ(messages().back(), "項目［年齢］を検索条件から削除しますか？");
    EXPECT_EQ(app().GetSearchConditions().size(), 2u);
    harness.prompts().answer(ui::Answer::Yes);
    page->OnDeleteCondition();
    EXPECT_EQ(app().GetSearchConditions(), std::vector<SearchCondition>{codeIs("1")});
    EXPECT_EQ(page->conditionList()->topLevelItemCount(), 1);
    // Every item stays offered once.
    EXPECT_EQ(app().GetConditionItems(), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(steps(), std::vector<std::string>{"DeleteFilter,1"});
}

TEST_F(Conditions, JoinButtonsRecordAndARefusedExpressionAddsNoSet) {
    macro->StartRecording();
    page->orButton()->click();
    page->andButton()->click();
    EXPECT_EQ(page->Join(), FilterJoin::And);
    app().SetSearchConditions({SearchCondition{1, 0, -1, "a b", "", 0}});
    EXPECT_EQ(page->OnExecuteFilter(), 0);
    EXPECT_EQ(messages().back(), "検索が出来ません！検索式のチェックが必要です");
    EXPECT_EQ(app().Sets().size(), 1u);
    EXPECT_EQ(steps(), (std::vector<std::string>{"SelectFilterAndOr,1", "SelectFilterAndOr,0"}));
}

// The filter dialog's OK and キャンセル buttons, the first two it has.
QAbstractButton* okButton(CFilterCondDlg& dialog) {
    return dialog.findChildren<QPushButton*>().value(0);
}
QAbstractButton* cancelButton(CFilterCondDlg& dialog) {
    return dialog.findChildren<QPushButton*>().value(1);
}

// The dialog as the user fills it: the item, the operator, a value typed into its box, OK.
TEST_F(Conditions, TheDialogRecordsWhatTheUserDoesAndStoresTheCondition) {
    macro->StartRecording();
    int refusals = 0;
    // In the dialog's own loop, the lists dropped down and their rows clicked, the value typed.
    ui::ScopedModalHook hook(loopHook<CFilterCondDlg>([&](CFilterCondDlg& dialog) {
        EXPECT_FALSE(dialog.operatorCombo()->isEnabled());
        pickFromList(dialog.itemCombo(), 2);  // 年齢
        EXPECT_TRUE(dialog.operatorCombo()->isEnabled());
        press(okButton(dialog));  // no operator yet
        EXPECT_TRUE(dialog.isVisible());
        refusals = static_cast<int>(messages().size());
        EXPECT_EQ(dialog.focusWidget(), dialog.operatorCombo());
        pickFromList(dialog.operatorCombo(), 3);  // ">="
        typeInto(dialog.value1Edit(), QStringLiteral("30"));
        press(okButton(dialog));  // the value box still has the focus
    }));
    page->OnAdd();
    EXPECT_EQ(refusals, 1);
    EXPECT_EQ(messages().front(), "条件を選択して下さい");
    EXPECT_EQ(app().GetSearchConditions(), std::vector<SearchCondition>{ageAtLeast("30")});
    EXPECT_EQ(steps(), (std::vector<std::string>{"DispAddFilterDialog", "InputFilterItem,2",
                                                 "SelectFilterOperater1,3",
                                                 "InputFilterTerm1,\"30\"", "OKFilterDialog"}));
    EXPECT_TRUE(page->button(1014)->isEnabled());

    // Editing fills the dialog from the row without recording its own changes.
    macro->StartRecording();
    page->SelectRow(0);
    ui::ScopedModalHook edit(loopHook<CFilterCondDlg>([&](CFilterCondDlg& dialog) {
        EXPECT_FALSE(dialog.itemCombo()->isEnabled());
        EXPECT_EQ(dialog.operatorCombo()->currentIndex(), 3);
        EXPECT_EQ(dialog.value1Edit()->text(), QString::fromUtf8("30"));
        press(cancelButton(dialog));
    }));
    page->OnEdit();
    EXPECT_EQ(steps(), (std::vector<std::string>{"DispEditFilterDialog,0", "CancelFilterDialog"}));
}

// Only the English layout has the value-kind radios; a click records its choice and the
// Japanese layout has none to click.
TEST_F(Conditions, TheEnglishDialogsKindRadiosRecordTheirChoice) {
    for (const ui::Language language : {ui::Language::English, ui::Language::Japanese}) {
        ui::setLanguage(language);
        macro->StartRecording();
        bool radios = false;
        ui::ScopedModalHook hook(loopHook<CFilterCondDlg>([&](CFilterCondDlg& dialog) {
            auto* text = dialog.findChild<QRadioButton*>(QStringLiteral("text"));
            auto* code = dialog.findChild<QRadioButton*>(QStringLiteral("codeNumber"));
            radios = text && code;
            if (radios) {
                press(text);
                EXPECT_TRUE(text->isChecked());
                press(code);
                EXPECT_FALSE(text->isChecked());
            }
            press(cancelButton(dialog));
        }));
        page->OnAdd();
        ui::setLanguage(ui::Language::Japanese);
        if (language == ui::Language::English) {
            EXPECT_TRUE(radios);
            EXPECT_EQ(steps(), (std::vector<std::string>{"DispAddFilterDialog", "SelectCodeStr,1",
                                                         "SelectCodeStr,0", "CancelFilterDialog"}));
        } else {
            EXPECT_FALSE(radios);
        }
    }
}

// English: 性別 = 2 read as a code finds the women, as 女性 read as the code's name does; the
// edit dialog shows the choice stored, and a replayed choice stores the same condition.
TEST_F(Conditions, CodeNumberReadsTheValueAsACodeAndTextAsItsName) {
    ui::setLanguage(ui::Language::English);
    const auto addWith = [&](const char* radio, const QString& value) {
        ui::ScopedModalHook hook(loopHook<CFilterCondDlg>([&](CFilterCondDlg& dialog) {
            pickFromList(dialog.itemCombo(), 1);  // 性別
            press(dialog.findChild<QRadioButton*>(QString::fromLatin1(radio)));
            pickFromList(dialog.operatorCombo(), 0);  // "="
            typeInto(dialog.value1Edit(), value);
            press(okButton(dialog));
        }));
        app().SetSearchConditions({});
        page->OnAdd();
        return app().GetSearchConditions();
    };
    const std::vector<SearchCondition> byCode = addWith("codeNumber", QStringLiteral("2"));
    ASSERT_EQ(byCode, std::vector<SearchCondition>{codeIs("2")});
    page->SelectSet(0);
    const std::int32_t code = filter(byCode.front());
    const std::vector<SearchCondition> byName = addWith("text", QString::fromUtf8("女性"));
    ASSERT_EQ(byName, (std::vector<SearchCondition>{{1, 0, -1, cp("女性"), "", 1}}));
    page->SelectSet(0);
    const std::int32_t name = filter(byName.front());
    const std::vector<std::int32_t> women = {1, 2, 7, 9, 11};
    EXPECT_EQ(recordsOf(app().GetSetRecord(code), kRecords), women);
    EXPECT_EQ(recordsOf(app().GetSetRecord(name), kRecords), women);

    app().SetSearchConditions(byCode);
    page->FillConditions();
    page->SelectRow(0);
    bool shown = false;
    ui::ScopedModalHook edit(loopHook<CFilterCondDlg>([&](CFilterCondDlg& dialog) {
        shown = dialog.findChild<QRadioButton*>(QStringLiteral("codeNumber"))->isChecked() &&
                !dialog.findChild<QRadioButton*>(QStringLiteral("text"))->isChecked();
        press(cancelButton(dialog));
    }));
    page->OnEdit();
    EXPECT_TRUE(shown);
    ui::setLanguage(ui::Language::Japanese);

    // The Japanese layout has no radios; the recorded choice replays into the same kind.
    app().SetSearchConditions({});
    for (const char* step : {"DispAddFilterDialog", "InputFilterItem,1", "SelectCodeStr,0",
                             "SelectFilterOperater1,0", "InputFilterTerm1,\"2\"", "OKFilterDialog"})
        EXPECT_EQ(play(step), 1) << step;
    EXPECT_EQ(app().GetSearchConditions(), std::vector<SearchCondition>{codeIs("2")});
}

}  // namespace
}  // namespace zbq::test
