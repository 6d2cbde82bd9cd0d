// The item-selection tab offscreen, on the real console as the application's console port: the
// tree's and the list's actions with the steps they record and the display items they hand the
// application, the drops, the menus through a replaced chooser, the buttons' checks and
// messages, the port's calls and the screen reset.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "console/data_sel_page.h"
#include "console/item_sel_page.h"
#include "console/save_mode_dlg.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/console/console_fixture.h"
#include "tests/console/item_sel_fixture.h"
#include "tests/support/in_language.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::ConsoleTest;

// A window port whose original-data window opens on ShowDataView and that logs the fan-out.
class LoggingWindows : public WindowPort {
public:
    std::vector<std::string> calls;
    std::unique_ptr<QWidget> view;
    bool opens = true;
    void ShowDataView() override {
        calls.push_back("ShowDataView");
        if (opens && !view) view = std::make_unique<QWidget>();
    }
    void RefreshItemWindows() override { calls.push_back("RefreshItemWindows"); }
    std::int32_t RefreshCrossView() override {
        calls.push_back("RefreshCrossView");
        return 0;
    }
    QWidget* dataView() const override { return view.get(); }
};

class ItemSelPageTest : public ConsoleTest {
protected:
    // root(0) G(1){a(2) b(3)} c(4) H(5){a(6)} d(7): item numbers 0 to 4, "a" twice.
    ItemSelPageTest() : page(*sheet->ItemSelPage()) {
        zbq::test::describeItemSelStructure(app);
        app.SetDataLoaded(1);
        app.RebuildItemTree();
        app.SetWindowPort(&windows);
    }
    ~ItemSelPageTest() override { app.SetWindowPort(nullptr); }

    std::vector<std::int32_t> rows() const { return page.list().itemNumbers(); }
    std::vector<bool> marks() const {
        std::vector<bool> out;
        for (const ItemNode& node : page.tree().nodes())
            if (node.kind == ItemNodeKind::Item) out.push_back(node.marked);
        return out;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const zbq::ui::Message& m : prompts.messages())
            out.push_back(m.text.toStdString());
        return out;
    }

    zbq::ui::ScriptedPrompts prompts;
    LoggingWindows windows;
    CItemSelPage& page;
};

// The list's type column is shown in the language in force; the rows keep the Japanese caption
// that the rest of the program reads.
TEST_F(ItemSelPageTest, TheListShowsItsTypesInTheLanguageInForce) {
    const std::map<std::int32_t, QString> english = {{0, "Code"},  {1, "MultiAns"}, {2, "Integer"},
                                                     {3, "Float"}, {4, "String"},   {5, "Date"},
                                                     {7, "Time"}};
    zbq::test::InLanguage inEnglish("en_US");
    for (std::int32_t item = 0; item < 5; ++item)
        page.OnToDisplayList(item);
    QTreeWidget* list = page.listView();
    ASSERT_EQ(list->topLevelItemCount(), 5);
    for (int row = 0; row < 5; ++row) {
        const std::int32_t type = app.GetItemType(page.list().row(row).itemNo);
        EXPECT_EQ(list->topLevelItem(row)->text(1), english.at(type)) << row;
        EXPECT_EQ(page.list().row(row).typeCaption, CKWApp::GetItemTypeCaption(type)) << row;
    }
}

TEST_F(ItemSelPageTest, AGroupGoesInAtTheRowInTreeOrderSkippingListedItems) {
    page.OnToDisplayList(4);  // c
    page.OnToDisplayList(7);  // d
    macro.steps.clear();
    page.DropNodeOnList(1, 1);  // G on the row of d
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{2, 0, 1, 4}));
    EXPECT_EQ(marks(), (std::vector<bool>{true, true, true, false, true}));
    EXPECT_EQ(app.GetDisplayItems(), rows());
    EXPECT_EQ(page.SelectedNode(), 1);
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"ToListItem,\"G\"", "ChangeListItem,1,\"a\"",
                                                     "ChangeListItem,2,\"b\""}));
    // Listed items stay where they are.
    page.OnHide(2);
    page.DropNodeOnList(1, 0);
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{0, 2, 1, 4}));
    // The root dropped anywhere lists every item at the end.
    page.DropNodeOnList(0, 0);
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{0, 2, 1, 4, 3}));
    EXPECT_EQ(macro.steps.back(), "ToListAllItem");
}

TEST_F(ItemSelPageTest, TwoItemsOfOneNameAreShownAndHiddenEachAlone) {
    page.OnToDisplayList(6);
    page.OnToDisplayList(2);
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{3, 0}));
    page.OnHide(6);
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false, false, false}));
    // A group is not an item: nothing leaves and nothing is recorded.
    macro.steps.clear();
    page.OnHide(1);
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{0}));
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(ItemSelPageTest, HidingRowsGoesFromTheLastUpOneStepARow) {
    page.OnAllToDisplayList();
    page.OnListHide({2, 0});
    page.OnListHide({});
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{1, 3, 4}));
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false, true, true}));
    EXPECT_EQ(app.GetDisplayItems(), rows());
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"ToListAllItem", "BackListItem,2", "BackListItem,0"}));
    page.OnListSelectAll();
    page.DropRowsOnTree();
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(marks(), std::vector<bool>(5, false));
    EXPECT_EQ(macro.steps.back(), "BackListItem,0");
    EXPECT_EQ(macro.steps.size(), 7u);
}

TEST_F(ItemSelPageTest, NothingIsListedBeforeTheDataSetIsLoaded) {
    app.SetDataLoaded(0);
    page.OnToDisplayList(2);
    page.OnAllToDisplayList();
    page.DropNodeOnList(1, -1);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(marks(), std::vector<bool>(5, false));
    EXPECT_TRUE(macro.steps.empty());
    EXPECT_EQ(messages(), std::vector<std::string>(3, CItemSelPage::kNotLoaded));
    EXPECT_EQ(prompts.messages().front().icon, zbq::ui::Icon::Information);
    // "ﾃﾞｰﾀ表示" does nothing at all.
    page.OnShowData();
    EXPECT_EQ(prompts.messages().size(), 3u);
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(ItemSelPageTest, MovedRowsRecordTheirStepBeforeTheyMove) {
    page.OnAllToDisplayList();
    macro.steps.clear();
    page.SelectListRows({0, 1});
    page.DropRowsOnList(3);
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{2, 3, 0, 1, 4}));
    EXPECT_EQ(app.GetDisplayItems(), rows());
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"ChangeListItem,3,\"a\"", "ChangeListItem,3,\"b\""}));
    // A name that no row has records the step and moves nothing.
    page.MoveDisplayItem(0, "zz");
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{2, 3, 0, 1, 4}));
}

// The second of two items named "a" moves itself, dragged or dropped from the tree.
TEST_F(ItemSelPageTest, ARowNamedLikeAnotherMovesItself) {
    page.OnAllToDisplayList();
    page.SelectListRows({3});
    page.DropRowsOnList(0);
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{3, 0, 1, 2, 4}));
    page.OnListHideAll();
    page.OnToDisplayList(4);  // c
    page.OnToDisplayList(2);  // a, the first
    macro.steps.clear();
    page.DropNodeOnList(5, 0);  // H with the second a, on the row of c
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{3, 2, 0}));
    EXPECT_EQ(app.GetDisplayItems(), rows());
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"ToListItem,\"H\"", "ChangeListItem,0,\"a\""}));
}

TEST_F(ItemSelPageTest, ShowDataNeedsARowAndRecordsOnlyWhenTheWindowOpened) {
    page.OnShowData();
    EXPECT_EQ(messages(), std::vector<std::string>{CItemSelPage::kNoItems});
    EXPECT_TRUE(windows.calls.empty());

    page.OnToDisplayList(7);
    page.OnToDisplayList(2);
    windows.opens = false;
    macro.steps.clear();
    page.OnShowData();
    EXPECT_EQ(app.GetGridItems(), (std::vector<std::int32_t>{4, 0}));
    EXPECT_EQ(windows.calls,
              (std::vector<std::string>{"ShowDataView", "RefreshItemWindows", "RefreshCrossView"}));
    EXPECT_TRUE(macro.steps.empty());
    windows.opens = true;
    page.OnShowData();
    EXPECT_EQ(macro.steps, std::vector<std::string>{"DispData"});

    // Emptied again, the list is refused without taking the columns of the window it opened.
    page.OnListHide({0, 1});
    ASSERT_TRUE(app.GetDisplayItems().empty());
    windows.calls.clear();
    page.OnShowData();
    EXPECT_EQ(messages(),
              (std::vector<std::string>{CItemSelPage::kNoItems, CItemSelPage::kNoItems}));
    EXPECT_EQ(app.GetGridItems(), (std::vector<std::int32_t>{4, 0}));
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(ItemSelPageTest, WriteAsksTheScopeOnlyWhenASetOtherThanTheWholeIsCurrent) {
    int dialogs = 0;
    zbq::ui::ScopedModalHook hook([&](QDialog& dialog) {
        ++dialogs;
        auto* scope = dynamic_cast<CSaveModeDlg*>(&dialog);
        EXPECT_NE(scope, nullptr);
        if (!scope || dialogs == 1) return int(QDialog::Rejected);
        scope->displayedSetButton()->setChecked(true);
        return int(QDialog::Accepted);
    });
    // The whole data set and a set 3 under it, in the tree the current set is marked in.
    SetRecord whole, three;
    whole.text2 = "No.0";
    three.number = 3;
    three.level = 1;
    three.text2 = "No.3";
    app.SetSetList(4, {whole, three});
    app.RebuildSetTree();
    app.SetSaveMode(2);
    app.MarkCurrentSet(0);
    prompts.choose(std::nullopt);
    page.OnWriteZbq();
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(app.GetSaveMode(), 1);
    ASSERT_EQ(prompts.choosers().size(), 1u);
    EXPECT_EQ(prompts.choosers()[0].kind, zbq::ui::ChooserKind::SaveFile);
    EXPECT_EQ(prompts.choosers()[0].filter.toStdString(), "ZBQﾌｧｲﾙ (*.zbq)");

    app.MarkCurrentSet(3);
    page.OnWriteZbq();  // the scope dialog cancelled: nothing more is asked
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(prompts.choosers().size(), 1u);
    EXPECT_EQ(app.GetSaveMode(), 1);
    prompts.choose(std::nullopt);
    page.OnWriteZbq();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(app.GetSaveMode(), 2);
    EXPECT_EQ(prompts.choosers().size(), 2u);
    EXPECT_EQ(prompts.unanswered(), 0);
}

TEST_F(ItemSelPageTest, AddDataChecksTheChosenFilesBeforeAnythingIsRead) {
    app.SetLoadMode(2);  // records join a set loaded from a data file only
    zbq::test::TempDir dir;
    for (const char* name : {"a.xls", "b.XLSX", "c.xlsx", "d.txt"})
        zbq::test::writeFile(dir.file(name), "");
    std::filesystem::create_directory(dir.file("book.xlsx"));
    const auto q = [&](const char* name) { return QString::fromStdString(dir.file(name)); };
    std::vector<std::vector<std::string>> added;
    page.SetAddDataHook(
        [&](CItemSelPage&, const std::vector<std::string>& files) { added.push_back(files); });

    struct Case {
        QStringList files;
        const char* message;  // null: the files are added
    } cases[] = {
        {{q("gone.xls")}, "ファイル形式が見つかりません。"},
        {{q("book.xlsx")}, "ファイル形式が間違っています。"},
        {{q("d.txt")}, "ファイル形式が間違っています。"},
        {{q("b.XLSX"), q("a.xls")}, "ファイル形式が違います。追加できません。"},
        {{q("b.XLSX"), q("c.xlsx")}, nullptr},
    };
    for (const Case& c : cases) {
        prompts.clear();
        prompts.answer(zbq::ui::Answer::Ok);
        prompts.chooseFiles(c.files);
        const std::size_t before = added.size();
        page.OnAddData();
        if (c.message) {
            EXPECT_EQ(messages().back(), c.message);
            EXPECT_EQ(prompts.messages().back().icon, zbq::ui::Icon::Exclamation);
            EXPECT_EQ(added.size(), before);
        } else {
            EXPECT_EQ(messages().size(), 1u) << "only the question";
            ASSERT_EQ(added.size(), before + 1);
            EXPECT_EQ(added.back().size(), 2u);
        }
    }
    EXPECT_EQ(prompts.messages().front().text.toStdString(),
              "データ選択の履歴が全て破棄されてしまいます。よろしいですか？");

    // A Cancel at the question, or while data are being added, chooses no file.
    prompts.clear();
    prompts.answer(zbq::ui::Answer::Cancel);
    page.OnAddData();
    app.SetAddingData(1);
    page.OnAddData();
    EXPECT_TRUE(prompts.choosers().empty());
    EXPECT_EQ(messages().back(), "データがロードされるまでお待ちください");
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(ItemSelPageTest, AllowCloseExpandsRecordingOneStepAndThenRefusesTheUsersClicks) {
    page.OnCollapseAll();
    EXPECT_FALSE(page.tree().node(1).expanded);
    macro.steps.clear();
    page.OnAllowClose();
    EXPECT_EQ(macro.steps, std::vector<std::string>{"PermitItemCollapse"});
    EXPECT_FALSE(page.tree().collapseAllowed());
    EXPECT_TRUE(page.tree().node(1).expanded);
    EXPECT_FALSE(app.IsSuppressed(Suppress::ItemTree));

    // The user's collapse on the widget is turned back.
    QTreeWidgetItem* group = page.treeView()->topLevelItem(0)->child(0);
    group->setExpanded(false);
    EXPECT_TRUE(group->isExpanded());
    EXPECT_TRUE(page.tree().node(1).expanded);
    page.OnAllowClose();
    group->setExpanded(false);
    EXPECT_FALSE(page.tree().node(1).expanded);
    EXPECT_TRUE(page.tree().collapseAllowed());
}

TEST_F(ItemSelPageTest, MenusOfferTheNodesVariantAndRunTheChosenEntry) {
    std::vector<int> shown;
    std::vector<std::int32_t> picks = {kToDisplayList, kHide, 0, kListSelectAll, kListHide};
    page.SetMenuChooser([&](QWidget*, const MenuVariant& menu, const QPoint&) {
        shown.push_back(menu.menuId);
        const std::int32_t pick = picks.front();
        picks.erase(picks.begin());
        return pick;
    });
    page.ShowTreeMenu(3, {});
    page.ShowTreeMenu(3, {});
    page.ShowTreeMenu(0, {});
    page.OnToDisplayList(2);
    page.OnToDisplayList(4);
    page.ShowListMenu({});
    page.ShowListMenu({});
    EXPECT_EQ(shown, (std::vector<int>{149, 132, 176, 150, 150}));
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"ToListItem,\"b\"", "FromListItem,\"b\"",
                                        "ToListItem,\"a\"", "ToListItem,\"c\"", "SelectAllListItem",
                                        "BackListItem,1", "BackListItem,0"}));
}

TEST_F(ItemSelPageTest, ThePortsCallsKeepTheTreesMarksAndTheApplicationsItems) {
    app.AddDisplayItem(-1, 4);
    app.AddDisplayItem(0, 1);
    app.AddDisplayItem(0, 4);
    EXPECT_EQ(app.GetDisplayItems(), (std::vector<std::int32_t>{1, 4}));
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false, false, true}));
    app.RemoveDisplayItem("d");
    EXPECT_EQ(app.GetDisplayItems(), (std::vector<std::int32_t>{1}));
    app.UnmarkTreeItem("b");
    EXPECT_EQ(marks(), std::vector<bool>(5, false));
    EXPECT_TRUE(macro.steps.empty()) << "the program's own changes record nothing";

    // After a load the application's items come back marked and listed, in their order; an
    // item the structure lacks is left out.
    app.RebuildItemTree();
    app.SetDisplayItems({3, 9, 0});
    app.RestoreDisplayListToTree();
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{3, 0}));
    EXPECT_EQ(app.GetDisplayItems(), rows());
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false, true, false}));
}

TEST_F(ItemSelPageTest, TheScreenResetEmptiesTheListAndExpandsTheTreeOnItsTab) {
    page.OnAllToDisplayList();
    page.OnCollapseAll();
    page.OnAllowClose();
    page.OnCollapseAll();
    sheet->ActivatePage(ConsolePage::Log);
    macro.recording = false;
    app.ResetScreen();
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(app.GetDisplayItems().empty());
    EXPECT_EQ(marks(), std::vector<bool>(5, false));
    EXPECT_TRUE(page.tree().collapseAllowed());
    for (const ItemNode& node : page.tree().nodes())
        EXPECT_TRUE(node.expanded);
    EXPECT_EQ(sheet->tabs()->currentIndex(), 1);
}

// The widgets' own events reach the page's actions: drops by their MIME type and the row under
// them, the context menu, a double click in the list, the user's selection of rows.
TEST_F(ItemSelPageTest, TheViewsEventsRunThePagesActions) {
    sheet->show();
    sheet->ActivatePage(ConsolePage::ItemSelection);
    QCoreApplication::processEvents();
    QTreeWidget* tree = page.treeView();
    QTreeWidget* list = page.listView();
    const auto drop = [](QTreeWidget* view, const char* mimeType, const QByteArray& data,
                         QPoint at) {
        QMimeData mime;
        mime.setData(QString::fromLatin1(mimeType), data);
        // As a real drag does: the view sees the drag enter before the drop.
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        QDropEvent event(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &event);
        return event.isAccepted();
    };
    const auto rowAt = [&](int row) {
        return list->visualItemRect(list->topLevelItem(row)).center();
    };

    page.OnToDisplayList(4);
    page.OnToDisplayList(7);
    EXPECT_TRUE(drop(list, kItemNodeMime, "6", rowAt(1)));
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{2, 3, 4}));
    EXPECT_FALSE(drop(tree, kItemNodeMime, "2", {1, 1})) << "no node is dropped on the tree";

    list->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(page.list().selectedRows(), std::vector<int>{0});
    EXPECT_TRUE(drop(list, kDisplayRowsMime, {}, rowAt(2)));
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{3, 4, 2}));
    list->topLevelItem(1)->setSelected(true);
    EXPECT_TRUE(drop(tree, kDisplayRowsMime, {}, {1, 1}));
    EXPECT_EQ(rows(), (std::vector<std::int32_t>{3, 2}));

    list->topLevelItem(1)->setSelected(true);
    QMouseEvent click(QEvent::MouseButtonDblClick, rowAt(1),
                      list->viewport()->mapToGlobal(rowAt(1)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &click);
    EXPECT_EQ(rows(), std::vector<std::int32_t>{3});

    std::vector<int> menus;
    page.SetMenuChooser([&](QWidget*, const MenuVariant& menu, const QPoint&) {
        menus.push_back(menu.menuId);
        return 0;
    });
    const QPoint onRoot = tree->visualItemRect(tree->topLevelItem(0)).center();
    QContextMenuEvent treeMenu(QContextMenuEvent::Mouse, onRoot,
                               tree->viewport()->mapToGlobal(onRoot));
    QCoreApplication::sendEvent(tree->viewport(), &treeMenu);
    QContextMenuEvent listMenu(QContextMenuEvent::Mouse, rowAt(0),
                               list->viewport()->mapToGlobal(rowAt(0)));
    QCoreApplication::sendEvent(list->viewport(), &listMenu);
    EXPECT_EQ(menus, (std::vector<int>{176, 150}));
    EXPECT_EQ(page.SelectedNode(), 0);
}

}  // namespace
