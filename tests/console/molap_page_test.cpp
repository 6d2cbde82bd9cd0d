// The aggregation settings page offscreen: drops as synthetic drop events under the page's MIME
// type (the rules, their messages, foreign payloads refused), the copy buttons and the Delete
// key, the kind radios, the date and unit menus with the unit dialog, "実行" handing its
// parameters to the window, "クリア", and the application's refresh and reset of the lists.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

#include "console/drag_item_list.h"
#include "console/molap_page.h"
#include "console/unit_set_dlg.h"
#include "platform/core/cp932.h"
#include "platform/ui/modal_runner.h"
#include "tests/console/molap_fixture.h"
#include "tests/support/real_input.h"

namespace {

using L = MolapList;
using zbq::test::molapRowsText;

struct PageScreen : zbq::test::MolapScreen {
    PageScreen() {
        page = console->MolapPage();
        // The page in front, where the clicks land.
        const int tab = console->tabs()->indexOf(page);
        EXPECT_GE(tab, 0);
        console->tabs()->setCurrentIndex(tab);
    }

    bool dropData(L target, const QMimeData& data) {
        return zbq::test::dropOnList(*page->list(target), data);
    }
    bool drop(L source, L target, const std::vector<int>& rows) {
        std::unique_ptr<QMimeData> data(COlapItemList::dragData(source, rows));
        return dropData(target, *data);
    }
    // What a list shows, as the fixture writes rows, read from the widget.
    std::string shown(L l) const {
        std::string text;
        COlapItemList* list = page->list(l);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = list->topLevelItem(i);
            if (!text.empty()) text += ' ';
            text += std::to_string(item->data(0, Qt::UserRole).toInt());
            if (l == L::Sum) text += '=' + item->text(1).toStdString();
            const QStringList parts = item->text(0).split(QChar('\t'));
            if (parts.size() > 1) text += parts[1].toStdString();
        }
        return text;
    }
    // A click on a row of the list, with the modifiers held, on the active console.
    void click(L l, int row, Qt::KeyboardModifiers modifiers = {}) {
        COlapItemList* list = page->list(l);
        zbq::test::activate(list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->topLevelItem(row)).center());
    }
    // A click into the list below its rows: the focus goes to it, no row is chosen.
    void clickBelowRows(L l) {
        COlapItemList* list = page->list(l);
        zbq::test::activate(list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(4, list->viewport()->height() - 4));
        EXPECT_TRUE(list->hasFocus());
    }

    COlap2Page* page = nullptr;
};

TEST(MolapPage, DropEventsFollowTheRulesAndShowTheirMessages) {
    PageScreen s;
    s.page->settings().SetXItems({0, 2, 3, 4}, {0, 0, 0, 0});
    s.page->settings().SetYItems({5}, {1});
    s.page->sync();
    EXPECT_TRUE(s.drop(L::Items, L::X, {5, 6}));  // time, then int2 refused: five rows
    EXPECT_EQ(s.shown(L::X), "0 2 3 4 6");
    EXPECT_TRUE(s.drop(L::X, L::Y, {4, 1}));
    EXPECT_EQ(s.shown(L::X), "0 3 4");
    EXPECT_EQ(s.shown(L::Y), "5（年） 2 6");
    EXPECT_TRUE(s.drop(L::Items, L::Sum, {1}));
    EXPECT_TRUE(s.drop(L::Y, L::Sum, {0}));
    EXPECT_EQ(s.shown(L::Sum), "2=件数 5=件数（年）");
    s.click(L::Sum, 0);
    EXPECT_TRUE(s.page->kindRadio(0)->isChecked());
    EXPECT_TRUE(s.drop(L::Sum, L::Items, {0}));
    EXPECT_EQ(s.shown(L::Sum), "5=件数（年）");
    EXPECT_FALSE(s.page->kindRadio(0)->isChecked());
    EXPECT_FALSE(s.page->kindRadio(0)->isEnabled());
    EXPECT_TRUE(s.drop(L::Items, L::Y, {1}));  // int is back on Y already
    EXPECT_EQ(s.shown(L::Items), "0 2 3 4 5 6 7 8");

    const std::vector<std::string> expected = {MolapSettings::kTooMany, MolapSettings::kAlreadySet};
    EXPECT_EQ(s.messages(), expected);
    for (const zbq::ui::Message& m : s.prompts.messages()) {
        EXPECT_EQ(m.caption, QStringLiteral("ZEBRINE"));
        EXPECT_EQ(m.icon, zbq::ui::Icon::Exclamation);
    }
}

TEST(MolapPage, DropsOfTheListItselfOrForeignDataAreRefused) {
    PageScreen s;
    s.page->settings().SetXItems({2}, {0});
    s.page->sync();
    EXPECT_FALSE(s.drop(L::X, L::X, {0}));
    QMimeData text;
    text.setText(QStringLiteral("2"));
    EXPECT_FALSE(s.dropData(L::Y, text));
    QMimeData broken;
    broken.setData(QString::fromLatin1(COlapItemList::kMimeType), QByteArray("\x00\x00", 2));
    EXPECT_FALSE(s.dropData(L::Y, broken));
    EXPECT_FALSE(COlapItemList::readDragData(&broken));
    EXPECT_EQ(s.shown(L::X), "2");
    EXPECT_EQ(s.shown(L::Y), "");
    const auto payload = COlapItemList::readDragData(
        std::unique_ptr<QMimeData>(COlapItemList::dragData(L::Sum, {3, 1})).get());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->first, L::Sum);
    EXPECT_EQ(payload->second, (std::vector<int>{3, 1}));
}

TEST(MolapPage, ButtonsCopyAndDeleteRemovesFromAllButTheItemList) {
    PageScreen s;
    s.page->settings().SetXItems({7, 8}, {0, 0});
    s.page->sync();
    s.page->list(L::Items)->selectRows({0, 1, 2, 3, 4, 5, 6});
    QTest::mouseClick(s.page->copyButton(L::X), Qt::LeftButton);
    EXPECT_EQ(s.shown(L::X), "7 8 0 2 3");
    EXPECT_EQ(s.messages(), std::vector<std::string>{MolapSettings::kTooMany});
    s.page->list(L::Items)->selectRows({1});
    QTest::mouseClick(s.page->copyButton(L::Sum), Qt::LeftButton);
    QTest::mouseClick(s.page->copyButton(L::Sum), Qt::LeftButton);
    EXPECT_EQ(s.shown(L::Sum), "2=件数 2=件数");

    s.page->list(L::Items)->selectRows({0});
    QTest::keyClick(s.page->list(L::Items), Qt::Key_Delete);
    EXPECT_EQ(s.shown(L::Items), "0 2 3 4 5 6 7 8");
    s.page->list(L::X)->selectRows({1, 3});
    QTest::keyClick(s.page->list(L::X), Qt::Key_Delete);
    EXPECT_EQ(s.shown(L::X), "7 0 3");
}

TEST(MolapPage, KindRadiosForTheClickedRow) {
    PageScreen s;
    s.page->settings().SetSumItems({4, 2}, {0, 1}, {0, 110});
    s.page->sync();
    s.click(L::Sum, 0);  // a String row
    EXPECT_TRUE(s.page->kindRadio(0)->isChecked());
    EXPECT_FALSE(s.page->kindRadio(1)->isEnabled());
    EXPECT_FALSE(s.page->kindRadio(2)->isEnabled());
    EXPECT_TRUE(s.page->kindRadio(4)->isEnabled());
    s.click(L::Sum, 1);
    EXPECT_TRUE(s.page->kindRadio(1)->isChecked());
    s.page->kindRadio(2)->click();
    EXPECT_TRUE(s.page->kindRadio(2)->isChecked());
    EXPECT_EQ(s.page->settings().currentSumRow(), 1);
    EXPECT_EQ(s.shown(L::Sum), "4=件数 2=平均");
    s.clickBelowRows(L::Y);  // another list: the radios go
    EXPECT_FALSE(s.page->kindRadio(2)->isChecked());
    EXPECT_FALSE(s.page->kindRadio(0)->isEnabled());
    s.click(L::Sum, 0);
    s.click(L::Sum, 1, Qt::ControlModifier);  // two rows chosen
    for (int k = 0; k < 5; ++k)
        EXPECT_FALSE(s.page->kindRadio(k)->isEnabled()) << k;
}

TEST(MolapPage, DateAndUnitMenusOnlyWhereTheyServe) {
    PageScreen s;
    s.page->settings().SetXItems({2, 5}, {0, 0});
    s.page->settings().SetSumItems({5, 2}, {0, 1}, {0, 0});
    s.page->sync();
    std::vector<std::int32_t> menus;
    std::vector<std::int32_t> answers;
    QStringList dateEntries;
    s.page->setMenuChooser([&](QMenu& menu, std::int32_t number) {
        menus.push_back(number);
        if (number == 226)
            for (QAction* a : menu.actions())
                dateEntries << a->text();
        const std::int32_t answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
    s.page->list(L::X)->selectRows({0});
    s.page->OnContextMenu(L::X);  // not a Date item
    s.page->list(L::Sum)->selectRows({0});
    s.page->OnContextMenu(L::Sum);  // 件数: no unit menu, and never a date menu
    EXPECT_TRUE(menus.empty());

    answers = {COlap2Page::kMenuQuarter};
    s.page->list(L::X)->selectRows({1});
    s.page->OnContextMenu(L::X);
    EXPECT_EQ(s.shown(L::X), "2 5（四半期）");
    EXPECT_EQ(dateEntries.join(' '), QString::fromUtf8("年/月/日 年 月 日 半期 四半期"));

    int dialogs = 0;
    zbq::ui::ScopedModalHook hook([&](QDialog& d) {
        auto& dialog = dynamic_cast<CUnitSetDlg&>(d);
        ++dialogs;
        dialog.unitButton(2)->setChecked(true);
        dialog.roundingButton(3)->setChecked(true);
        dialog.accept();
        return int(QDialog::Accepted);
    });
    answers = {COlap2Page::kMenuUnitSet, COlap2Page::kMenuUnitClear};
    s.page->list(L::Sum)->selectRows({1});
    s.page->OnContextMenu(L::Sum);
    EXPECT_EQ(s.shown(L::Sum), "5=件数 2=合計（100万:四捨五入）");
    s.page->list(L::Sum)->selectRows({1});
    s.page->OnContextMenu(L::Sum);
    EXPECT_EQ(s.shown(L::Sum), "5=件数 2=合計");
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(menus, (std::vector<std::int32_t>{226, 227, 227}));
}

TEST(MolapPage, ExecuteHandsTheParametersToTheWindow) {
    PageScreen s;
    QTest::mouseClick(s.page->executeButton(), Qt::LeftButton);
    EXPECT_EQ(s.messages(), std::vector<std::string>{MolapSettings::kNoAxis});
    EXPECT_TRUE(s.executed.empty());

    s.page->list(L::Items)->selectRows({1});
    QTest::mouseClick(s.page->copyButton(L::Y), Qt::LeftButton);
    s.page->totalRadio(L::X, 2)->click();
    s.page->decimalsCombo()->setCurrentIndex(2);
    emit s.page->decimalsCombo()->activated(2);
    QTest::mouseClick(s.page->executeButton(), Qt::LeftButton);
    ASSERT_EQ(s.executed.size(), 1u);
    const MolapParams& p = s.executed.front();
    EXPECT_EQ(p.yItems, std::vector<std::int32_t>{2});
    EXPECT_TRUE(p.xItems.empty());
    EXPECT_EQ(p.zUnits, std::vector<std::int32_t>{0});
    EXPECT_EQ(std::tie(p.xTotalMode, p.yTotalMode, p.decimalsIndex), std::tuple(2, 0, 2));
    EXPECT_TRUE(s.page->executeButton()->isEnabled());
    s.app.console().EnableMolapExecute(false);
    EXPECT_FALSE(s.page->executeButton()->isEnabled());

    QTest::mouseClick(s.page->clearButton(), Qt::LeftButton);
    EXPECT_EQ(s.shown(L::Y), "");
    EXPECT_TRUE(s.page->totalRadio(L::X, 0)->isChecked());
    EXPECT_FALSE(s.page->totalRadio(L::X, 2)->isChecked());
    EXPECT_EQ(s.page->decimalsCombo()->currentIndex(), 0);
}

TEST(MolapPage, ExecuteWithoutAWindowLeavesTheButtonUsable) {
    zbq::test::MolapScreen bare(false);
    COlap2Page* page = bare.console->MolapPage();
    page->settings().SetXItems({2}, {0});
    page->OnExecute();
    EXPECT_TRUE(page->executeButton()->isEnabled());
    EXPECT_TRUE(bare.messages().empty());
}

TEST(MolapPage, TheApplicationRefillsAndResetsTheLists) {
    PageScreen s;
    EXPECT_EQ(s.shown(L::Items), "0 2 3 4 5 6 7 8");
    s.page->settings().SetXItems({2}, {0});
    s.page->settings().SetXTotalMode(1);
    s.page->sync();
    s.app.StructDef().items.resize(3);
    s.app.RefreshOlapPages();  // not empty: kept
    EXPECT_EQ(s.shown(L::Items), "0 2 3 4 5 6 7 8");
    s.app.ResetOlapPages();
    EXPECT_EQ(s.shown(L::Items), "0 2");
    EXPECT_EQ(s.shown(L::X), "");
    EXPECT_TRUE(s.page->totalRadio(L::X, 1)->isChecked());

    // The screen reset before a macro runs: the page's defaults.
    s.page->settings().SetYItems({2}, {0});
    s.page->settings().SetDecimalPlaces(4);
    s.page->sync();
    s.console->ResetPages();
    EXPECT_EQ(s.shown(L::Y), "");
    EXPECT_TRUE(s.page->totalRadio(L::X, 0)->isChecked());
    EXPECT_EQ(s.page->decimalsCombo()->currentIndex(), 0);
}

}  // namespace
