// The analysis windows in both languages: what each shows (titles, tabs, buttons, tips, menus,
// column titles, the summary's labels, the dialogs run through their own loops) in English where
// the locale names another language and unchanged in Japanese, while every export writes the
// same Japanese bytes in both.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

#include <map>
#include <memory>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "tests/support/app_harness.h"
#include "tests/support/in_language.h"
#include "tests/support/real_input.h"
#include "windows/cross_frame.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"
#include "windows/molap_filter_dialog.h"
#include "windows/molap_frame.h"
#include "windows/summary_percent_dialog.h"
#include "windows/value_list_view.h"

// gtest shows a QString as its text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace zbq::windows {
namespace {

using Texts = std::map<std::string, QString>;

QString fromCp932(const std::string& bytes) {
    return QString::fromStdString(cp932::toUtf8(bytes));
}

// The entries of a menu, one level deep, "|" between them ("" for a separator).
QString entries(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << action->text();
    return texts.join('|');
}

QString columnTitles(const GridOwner& grid, std::int32_t columns) {
    QStringList titles;
    for (std::int32_t c = 0; c < columns; ++c)
        titles << fromCp932(grid.columnTitle(c));
    return titles.join('|');
}

// The dialog's button of that role, pressed with the mouse.
void press(QDialog& dialog, QDialogButtonBox::ButtonRole role) {
    QDialogButtonBox* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == role) return test::press(button);
    ADD_FAILURE() << "no button of role " << role;
}

QString dialogTexts(QDialog& dialog) {
    QStringList texts{dialog.windowTitle()};
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    return texts.join('|');
}

// Every window of the analysis on one main frame, with the console the cross tab lists itself in.
struct Screen {
    Screen() : frame(load(), factories()) {
        h.app().SetDataLoaded(1);
        h.app().SetDisplayItems({0, 1, 2, 3, 4});
        h.app().SetGridItems();
        frame.resize(1024, 720);
        frame.ShowConsole();
    }
    CKWApp& load() {
        EXPECT_TRUE(h.load());
        return h.app();
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.crossWindow = [this](CMainFrame&) { return CCrossFrm::Make(h.app()); };
        f.itemWindow = [this](CMainFrame& owner, std::int32_t item) -> QWidget* {
            return new CItemSheet(h.app(), owner, item);
        };
        f.dataView = [this](CMainFrame&) { return CKWView::Make(h.app()); };
        f.molapWindow = [this](CMainFrame&, const MolapParams& p) {
            return CMOLAPFrm::Make(h.app(), p);
        };
        return f;
    }
    ~Screen() {
        frame.CloseMolapWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CItemSheet* itemWindow(std::int32_t item) {
        frame.ShowItemSheet(item);
        return dynamic_cast<CItemSheet*>(frame.FindItemSheet(item));
    }
    CCrossFrm* crossWindow() {
        CrossSettings s;
        s.xItem = 1;
        s.yItem = 2;
        h.app().SetCrossSettings(s);
        if (frame.ShowCrossWindow() != 1) return nullptr;
        return qobject_cast<CCrossFrm*>(frame.crossWindow());
    }
    CMOLAPFrm* molapWindow() {
        MolapParams p;
        p.xItems = {1};
        p.yItems = {2};
        p.zItems = {4};
        p.zKinds = {1};
        if (frame.ShowMolapWindow(p) != 1) return nullptr;
        return qobject_cast<CMOLAPFrm*>(frame.molapWindow());
    }
    CKWView* dataView() {
        frame.ShowDataView();
        return qobject_cast<CKWView*>(frame.dataView());
    }

    test::AppHarness h;
    ui::ScriptedClipboard clipboard;
    CMainFrame frame;
};

// What the user reads of every window, by name.
Texts shownTexts(Screen& s) {
    Texts t;
    CItemSheet* item = s.itemWindow(1);  // 性別, a Code item
    EXPECT_NE(item, nullptr);
    if (item) {
        t["item tabs"] = item->tabs()->tabText(0) + "|" + item->tabs()->tabText(1);
        t["percent tip"] = item->percentButton()->toolTip();
        t["new set"] = item->findChild<QPushButton*>("createSet")->text();
        t["graph tip"] = item->findChild<QPushButton*>("graph")->toolTip();
        t["next value tip"] = item->findChild<QPushButton*>("toNextValue")->toolTip();
        t["text search"] = item->textSearchBox()->text();
        t["value titles"] = columnTitles(item->view()->grid().owner(), item->model().columnCount());
        const QStringList lines = item->summaryEdit()->toPlainText().remove('\r').split('\n');
        t["summary"] = lines.mid(0, 2).join('\n');
        QStringList labels;
        for (const QString& line : lines)
            if (!line.isEmpty() && !line.startsWith('-')) labels << line.section('\t', 0, 0);
        t["summary labels"] = labels.join('|');
        item->WritePercentRank(50);
        t["percent rank"] =
            item->summaryEdit()->toPlainText().remove('\r').split('\n').mid(lines.size()).join('|');
        std::unique_ptr<QMenu> menu(item->view()->buildMenu());
        t["value menu"] = entries(*menu);
        test::answerModal<CPercentRankDlg>([&t](CPercentRankDlg& d) {
            t["percent dialog"] = dialogTexts(d);
            press(d, QDialogButtonBox::RejectRole);
        });
        item->OnPercentRank();
    }
    CKWView* grid = s.dataView();
    EXPECT_NE(grid, nullptr);
    if (grid) t["grid menu"] = entries(*grid->BuildMenu(GridRole::ColumnHeader, 1));
    CCrossFrm* cross = s.crossWindow();
    EXPECT_NE(cross, nullptr);
    if (cross) {
        t["cross title"] = cross->windowTitle().section(' ', 0, -3);
        t["cross corner"] = fromCp932(cross->view().grid().owner().cornerText());
        t["cross menu"] = entries(*cross->view().BuildMenu(GridRole::List, 0));
    }
    CMOLAPFrm* molap = s.molapWindow();
    EXPECT_NE(molap, nullptr);
    if (molap) {
        t["molap title"] = molap->windowTitle();
        std::unique_ptr<QMenu> menu(molap->contextMenu());
        t["molap menu"] = entries(*menu);
        test::answerModal<CFilterDlg>([&t, &s](CFilterDlg& d) {
            t["filter dialog"] = dialogTexts(d);
            d.findChild<QComboBox*>("operator1")->setCurrentIndex(1);  // "!" and no value
            press(d, QDialogButtonBox::AcceptRole);
            const std::vector<std::string> told = s.h.prompts().messageTexts();
            t["filter refusal"] = told.empty() ? QString() : QString::fromStdString(told.back());
            press(d, QDialogButtonBox::RejectRole);
        });
        molap->OnFilter();
    }
    return t;
}

struct Expected {
    const char* what;
    const char* japanese;
    const char* english;
};

// The English of the captions a Part quotes, as it stands ("Drillthrew" included).
const Expected kExpected[] = {
    {"item tabs", "概要|値一覧", "Summary|Values"},
    {"percent tip", "％順位値算出", "Value at a % order"},
    {"new set", "新集合作成", "New set"},
    {"graph tip", "表示中の値選択リストからグラフを表示します",
     "Shows a graph of the values in the list"},
    {"next value tip", "該当する値で１つ後方", "Next matching value"},
    {"text search", "文字列", "Text"},
    {"value titles", "ｺｰﾄﾞ|値|存在数|%", "Code|Value|Count|%"},
    {"summary", "1.項目名:\t\t性別\n2.タイプ:\t\tｺｰﾄﾞ",
     "1.Item name:\t\t\t性別\n2.Type:\t\t\t\tCode"},
    {"summary labels",
     "1.項目名:|2.タイプ:|3.全ﾚｺｰﾄﾞ数:|4.ｴﾗｰﾚｺｰﾄﾞ数:|5.ﾌﾞﾗﾝｸﾚｺｰﾄﾞ数:|6.通常ﾚｺｰﾄﾞ数:|7.通常値の種類:"
     "|8."
     "通常値の最多数:|9.通常値の最小数:|10.最小定義値:|11.最大定義値:|12.最小存在値:|13."
     "最大存在値:",
     "1.Item name:|2.Type:|3.All records:|4.Error records:|5.Blank records:|6.Ordinary "
     "records:|7.Ordinary values:|8.Most records of a value:|9.Fewest records of a "
     "value:|10.Smallest value:|11.Largest value:|12.Smallest present value:|13.Largest "
     "present value:"},
    {"percent rank", "タイプ:ｺｰﾄﾞ|％順位[50.0]|ｺｰﾄﾞ    2 -> 女性|",
     "Type:Code|% order[50.0]|Code    2 -> 女性|"},
    {"value menu",
     "全てを選択|存在順に表示|逆順に表示|Excelに書出し|外す|加える||カンマ編集|小数点以下桁数|％"
     "表示桁数",
     "Select all|Sort by count|Reverse order|Copy|Write to CSV|Write to "
     "Excel|Remove|Add||Commas|Decimal "
     "places|Percent places"},
    {"percent dialog", "％順位値の算出|％順位を指定してください|OK|ｷｬﾝｾﾙ",
     "Value at a % order|Please enter the % order|OK|Cancel"},
    {"grid menu",
     "コピー|CSVに書出し|Excelに書出し||ソート|元データ順ソート（昇順）|コードで表示|"
     "項目の詳細表示||"
     "セル幅を調整|カンマ編集|小数点以下桁数",
     "Copy|Write to CSV|Write to Excel||Sort|Sort in original order (ascending)|Show as "
     "codes|Show item details||Fit cell width|Commas|Decimal places"},
    {"cross title", "ｸﾛｽ集計(件数(Ｚ指定不要))[X：性別][Y：年齢][Z：]",
     "Cross tab (Records (Z not needed))[X: 性別][Y: 年齢][Z: ]"},
    {"cross corner", "件数", "Records"},
    {"cross menu",
     "選択範囲でドリルスルー||クロス集計全部をコピー|コピー|クロス集計全部をCSVに書出し|CSVに書出"
     "し|クロス集計全部をExcelに書出し|Excelに書出し||小数点以下桁数|ｴﾗｰ･ﾌﾞﾗﾝｸ表示",
     "Drill through the selection||Copy the whole cross tab|Copy|Write the whole cross tab to "
     "CSV|Write to CSV|Write the whole cross tab to Excel|Write to Excel||Decimal places|Show "
     "errors and blanks"},
    {"molap title", "多次元集計", "MOLAP"},
    {"molap menu", "ドリルスルー|Excelに書出し|フィルタ|フィルタ解除",
     "Drillthrew|Copy|Write to CSV|Write to Excel|Filter|Filter Release"},
    {"filter dialog", "フィルター|第１条件|第２条件|第３条件|第４条件|第５条件|実行|ｷｬﾝｾﾙ",
     "Filter|Filter 1|Filter 2|Filter 3|Filter 4|Filter 5|Execute|Cancel"},
    {"filter refusal", "第1条件の値が指定されていません。", "Filter 1 has no value."},
};

void expectShown(const Texts& shown, bool english) {
    for (const Expected& e : kExpected) {
        const auto found = shown.find(e.what);
        ASSERT_NE(found, shown.end()) << e.what;
        EXPECT_EQ(found->second, QString::fromUtf8(english ? e.english : e.japanese)) << e.what;
    }
    EXPECT_EQ(shown.size(), std::size(kExpected));
}

TEST(EnglishWindows, EveryWindowShowsItsTextsInEnglish) {
    test::InLanguage english("en_US");
    ASSERT_NE(english.translator(), nullptr);
    Screen s;
    expectShown(shownTexts(s), true);
}

TEST(EnglishWindows, UnderJapaneseEveryWindowIsAsItWas) {
    test::InLanguage japanese("C");
    Screen s;
    expectShown(shownTexts(s), false);
}

// What the windows write is the same in both languages: the titles, the corner and the caption
// line an export starts with stay Japanese where the screen shows them in English.
TEST(EnglishWindows, ExportsWriteTheSameJapaneseInBothLanguages) {
    const auto exported = [](const char* locale) {
        test::InLanguage language(locale);
        Screen s;
        std::string out;
        CItemSheet* item = s.itemWindow(1);
        item->model().SelectAll();
        item->model().Copy(true);
        out += s.clipboard.text().value_or("<none>") + "\n";
        CCrossFrm* cross = s.crossWindow();
        cross->model().CopyAll();
        out += s.clipboard.text().value_or("<none>");
        item->WritePercentRank(50);
        out += item->summaryText();
        return out;
    };
    const std::string japanese = exported("C");
    EXPECT_EQ(exported("en_US"), japanese);
    EXPECT_NE(japanese.find(cp932::literal("ｺｰﾄﾞ\t値\t存在数\t%")), std::string::npos) << japanese;
    EXPECT_NE(japanese.find(cp932::literal("ｸﾛｽ集計(件数")), std::string::npos);
    EXPECT_NE(japanese.find(cp932::literal("％順位[50.0]")), std::string::npos);
}

}  // namespace
}  // namespace zbq::windows
