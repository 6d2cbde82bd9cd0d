// The format-printing list offscreen: the in-place editor of each column with Enter, Esc and
// leaving, sorting on header clicks, and the keys it hands to the dialog.
#include "settingstool/print_format_list.h"
#include "settingstool/in_place_number_combo.h"
#include "settingstool/in_place_text_edit.h"
#include "tests/settingstool/settings_fixture.h"
#include "tests/support/real_input.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace zbq::settings {
namespace {

using test::sjis;

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const PrintFormatRow& row :
             {PrintFormatRow{"1", "a", "a.xls"}, PrintFormatRow{"2", "b", "b.xls"},
              PrintFormatRow{"05", sjis("売上"), "u.xls"}, PrintFormatRow{"0", "z", "z.xls"}})
            ASSERT_TRUE(table.append(row));
        auto* layout = new QVBoxLayout(&window);
        list = new CPrintFormatList(&window);
        other = new QLineEdit(&window);
        layout->addWidget(list);
        layout->addWidget(other);
        list->setTable(&table);
        window.resize(500, 300);
        window.show();
        list->spreadColumns();
    }

    // A real double click on the cell, wherever its column is shown.
    void doubleClick(int row, int column) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const QRect cell = list->visualRect(list->indexFromItem(item, column));
        // A double click follows a press on the same cell, as it does under a real mouse.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }
    CInPlaceNumberCombo* combo() const {
        return qobject_cast<CInPlaceNumberCombo*>(list->editor());
    }
    CInPlaceTextEdit* edit() const { return qobject_cast<CInPlaceTextEdit*>(list->editor()); }
    QString cell(int row, int column) const { return list->topLevelItem(row)->text(column); }
    std::set<int> rowNumbers() const {
        std::set<int> numbers;
        for (const auto& row : table.rows())
            numbers.insert(row.value());
        return numbers;
    }

    test::ToolFolder folder{test::iniBytes({"[image]", "path=/a"})};
    PrintFormatTable table;
    QWidget window;
    CPrintFormatList* list = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(ListTest, NumberListOffersFreeNumbersAndEnterTakesTheChoice) {
    doubleClick(2, kNumberColumn);
    ASSERT_NE(combo(), nullptr);
    EXPECT_EQ(combo()->currentText(), "5");
    EXPECT_EQ(combo()->itemText(0), "3");  // 0, 1, 2 are other rows'; 1 and 2 are taken
    EXPECT_EQ(combo()->findText("1"), -1);
    EXPECT_EQ(combo()->count(), 97);

    combo()->setCurrentIndex(combo()->findText("7"));
    QTest::keyClick(combo(), Qt::Key_Return);
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(cell(2, kNumberColumn), "7");
    EXPECT_EQ(table.usedNumbers(), (std::set<int>{0, 1, 2, 7}));
}

TEST_F(ListTest, EscOnTheNumberListKeepsTheOwnNumberAndItsText) {
    doubleClick(2, kNumberColumn);
    ASSERT_NE(combo(), nullptr);
    combo()->setCurrentIndex(combo()->findText("9"));
    QTest::keyClick(combo(), Qt::Key_Escape);
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(cell(2, kNumberColumn), "05");
    EXPECT_EQ(table.usedNumbers(), (std::set<int>{0, 1, 2, 5}));
    EXPECT_EQ(table.usedNumbers(), rowNumbers());

    // The number is free to the row again and to no other.
    doubleClick(0, kNumberColumn);
    ASSERT_NE(combo(), nullptr);
    EXPECT_EQ(combo()->findText("5"), -1);
    EXPECT_EQ(combo()->findText("9"), 6);  // 1, 3, 4, 6, 7, 8, 9
}

TEST_F(ListTest, LeavingTheNumberListTakesTheShownNumber) {
    zbq::test::activate(&window);
    doubleClick(2, kNumberColumn);
    ASSERT_NE(combo(), nullptr);
    combo()->setCurrentIndex(combo()->findText("8"));
    // The user clicks into the other field.
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(4, other->height() / 2));
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(cell(2, kNumberColumn), "8");
}

TEST_F(ListTest, RowNumberedOutsideTheListKeepsItsNumberWhenNothingIsChosen) {
    doubleClick(3, kNumberColumn);
    ASSERT_NE(combo(), nullptr);
    EXPECT_EQ(combo()->currentIndex(), -1);
    QTest::keyClick(combo(), Qt::Key_Return);
    EXPECT_EQ(cell(3, kNumberColumn), "0");
    EXPECT_EQ(table.row(3).number, "0");
}

TEST_F(ListTest, MenuNameEditorEnterCommitsEscKeepsEmptyKeeps) {
    doubleClick(2, kMenuNameColumn);
    ASSERT_NE(edit(), nullptr);
    EXPECT_EQ(edit()->text(), QString::fromUtf8("売上"));
    EXPECT_EQ(edit()->selectedText(), QString::fromUtf8("売上"));
    test::typeText(edit(), QString::fromUtf8("月次,集計"));
    EXPECT_EQ(folder.prompts.beeps(), 1);
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(table.row(2).menuName, sjis("月次集計"));

    doubleClick(2, kMenuNameColumn);
    QTest::keyClicks(edit(), "x");
    QTest::keyClick(edit(), Qt::Key_Escape);
    EXPECT_EQ(table.row(2).menuName, sjis("月次集計"));

    doubleClick(2, kMenuNameColumn);
    edit()->clear();
    list->endEdit();
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(table.row(2).menuName, sjis("月次集計"));
    EXPECT_EQ(cell(2, kMenuNameColumn), QString::fromUtf8("月次集計"));
}

TEST_F(ListTest, MenuNameCp932CannotHoldIsRefused) {
    doubleClick(0, kMenuNameColumn);
    ASSERT_NE(edit(), nullptr);
    edit()->setText(QString::fromUtf8("a😀"));
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(table.row(0).menuName, "a");
    ASSERT_EQ(folder.prompts.messages().size(), 1u);
    EXPECT_TRUE(folder.prompts.messages()[0].text.endsWith(QString::fromUtf8("a😀")));
}

TEST_F(ListTest, MacroFileCellTakesAFileOutsideTheProgramFolderWhole) {
    folder.prompts.choose(QString("/somewhere/else/format.xlsx"));
    doubleClick(1, kMacroFileColumn);
    EXPECT_EQ(table.row(1).macroFile, "/somewhere/else/format.xlsx");
    EXPECT_EQ(table.usedNumbers(), rowNumbers());
    doubleClick(1, kMacroFileColumn);  // cancelled
    EXPECT_EQ(table.row(1).macroFile, "/somewhere/else/format.xlsx");
    ASSERT_EQ(folder.prompts.choosers().size(), 2u);
    EXPECT_EQ(folder.prompts.choosers()[0].title,
              QString::fromUtf8("マクロファイルを選択してください。"));
}

TEST_F(ListTest, MovedHeaderChangesOnlyTheDisplay) {
    list->header()->moveSection(kMacroFileColumn, 0);
    folder.prompts.choose(QString("/x/moved.xlsx"));
    // The leftmost cell now shows the macro file, and a double click there edits the macro file.
    const QRect leftmost =
        list->visualRect(list->indexFromItem(list->topLevelItem(0), kMacroFileColumn));
    EXPECT_LT(leftmost.left(), 5);
    doubleClick(0, kMacroFileColumn);
    EXPECT_EQ(table.row(0).macroFile, "/x/moved.xlsx");
    EXPECT_EQ(table.row(0).number, "1");
}

TEST_F(ListTest, HeaderClicksSortEachColumnInItsOwnDirection) {
    list->selectRow(2);  // "05 売上"
    auto clickHeader = [&](int column) {
        QHeaderView* header = list->header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    clickHeader(kNumberColumn);
    EXPECT_EQ(cell(0, kNumberColumn) + cell(1, kNumberColumn) + cell(2, kNumberColumn) +
                  cell(3, kNumberColumn),
              "01205");
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(list->selectedRow(), 3);  // the selection went with its row
    clickHeader(kNumberColumn);
    EXPECT_EQ(cell(0, kNumberColumn), "05");
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(kMenuNameColumn);
    EXPECT_EQ(cell(0, kMenuNameColumn) + cell(1, kMenuNameColumn) + cell(2, kMenuNameColumn) +
                  cell(3, kMenuNameColumn),
              QString::fromUtf8("abz売上"));
    EXPECT_EQ(list->header()->sortIndicatorSection(), kMenuNameColumn);
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST_F(ListTest, SortingOrScrollingEndsTheEditFirst) {
    doubleClick(1, kMenuNameColumn);
    ASSERT_NE(edit(), nullptr);
    edit()->setText("bb");
    list->sortOn(kMenuNameColumn);
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(table.row(1).menuName, "bb");

    for (int i = 10; i < 60; ++i)
        ASSERT_TRUE(table.append({decimalText(i), "m", "m.xls"}));
    list->refresh();
    doubleClick(0, kMenuNameColumn);
    ASSERT_NE(edit(), nullptr);
    edit()->setText("scrolled");
    list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(table.row(0).menuName, "scrolled");
}

TEST_F(ListTest, DeleteKeyAsksTheDialog) {
    QSignalSpy spy(list, &CPrintFormatList::deleteRequested);
    list->selectRow(1);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(table.size(), 4);  // the list itself deletes nothing
}

}  // namespace
}  // namespace zbq::settings
