// An aggregation under English, on a data set whose item names are words the program itself
// uses ("合計", "件数"): the screen shows the program's words in English (the page's groupings and
// units, the grid's totals, quarters and halves, the log tab's lines, the set tree's caption of a
// drill-through, the reading pane's counter) and every name as it stands, while the exports, the
// log and the sets keep the Japanese.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <string>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/drag_item_list.h"
#include "console/log_page.h"
#include "console/molap_page.h"
#include "console/set_tree_view.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/in_language.h"
#include "windows/molap_frame.h"

namespace zbq::test {
namespace {

// X: a code item named 合計; Y: one date grouped by half and by quarter; Z: an integer named 件数.
constexpr const char* kDefinition =
    "Title = \"Survey\"\n"
    "item = \"合計\"\n"
    "  Code\n"
    "  Def\n"
    "    1 = \"East\"\n"
    "    2 = \"West\"\n"
    "  EndDef\n"
    "EndItem\n"
    "item = \"件数\"\n"
    "  Integer\n"
    "EndItem\n"
    "item = \"Day\"\n"
    "  Date\n"
    "EndItem\n"
    "EndTitle\n";
constexpr const char* kData =
    "合計\t件数\tDay\n"
    "1\t1000\t2024/01/15\n"
    "2\t2000\t2024/04/02\n"
    "1\t3000\t2024/08/20\n"
    "2\t4000\t2024/11/30\n";

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string utf8(const std::string& cp932) {
    return cp932::toUtf8(cp932);
}

struct Screen {
    explicit Screen() : frame(load(), factories()) {
        frame.show();
        frame.ShowConsole();
        console().RebuildSetTree();
        console().RefreshOlapPages();
    }
    ~Screen() {
        frame.CloseMolapWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CKWApp& load() {
        EXPECT_TRUE(h.load(cp932::literal(kDefinition), cp932::literal(kData)));
        return h.app();
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.molapWindow = [this](CMainFrame&, const MolapParams& p) {
            return windows::CMOLAPFrm::Make(h.app(), p);
        };
        return f;
    }
    CConsSheet& console() { return *qobject_cast<CConsSheet*>(frame.console()); }
    windows::CMOLAPFrm* molap() { return qobject_cast<windows::CMOLAPFrm*>(frame.molapWindow()); }

    // Every cell of the grid, a line per row, "|" between cells: as shown, or as exported.
    std::string grid(bool shown) {
        const windows::CMOLAPView& v = molap()->view();
        std::string out;
        for (std::int32_t r = 0; r < v.rows(); ++r) {
            for (std::int32_t c = 0; c < v.columns(); ++c)
                out += (c ? "|" : "") +
                       (shown ? v.data(v.index(r, c), Qt::DisplayRole).toString().toStdString()
                              : utf8(v.cellText(r, c)));
            out += "\n";
        }
        return out;
    }
    std::string lastOperationLine() {
        const QStringList lines =
            console().LogPage()->operationView()->toPlainText().split('\n', Qt::SkipEmptyParts);
        return lines.isEmpty() ? std::string() : lines.back().toStdString();
    }

    AppHarness h;
    CMainFrame frame;
};

// X 合計 (East, West, grand total), Y Day by half and quarter with subtotals, Z 件数 summed.
MolapParams halvesAndQuarters() {
    MolapParams p;
    p.xItems = {0};
    p.yItems = {2, 2};
    p.yDateUnits = {6, 5};
    p.zItems = {1};
    p.zKinds = {1};
    p.xTotalMode = 1;
    p.yTotalMode = 2;
    return p;
}

TEST(EnglishAggregation, WordsAreEnglishNamesStayAndFilesKeepTheJapanese) {
    InLanguage english("en_US");
    ASSERT_NE(english.translator(), nullptr);
    Screen s;
    ASSERT_EQ(s.frame.ShowMolapWindow(halvesAndQuarters()), 1);
    ASSERT_NE(s.molap(), nullptr);

    // The grid: the names as they are, the program's words in English.
    EXPECT_EQ(s.grid(true),
              " |合計|East|West|Grand total\n"
              "Day (half year)|Day (quarter)|件数[Sum]|件数[Sum]|件数[Sum]\n"
              "First half|Q1|1,000||1,000\n"
              "First half|Q2||2,000|2,000\n"
              "First half|Total|1,000|2,000|3,000\n"
              "Second half|Q3|3,000||3,000\n"
              "Second half|Q4||4,000|4,000\n"
              "Second half|Total|3,000|4,000|7,000\n"
              "Grand total||4,000|6,000|10,000\n");
    EXPECT_EQ(s.grid(false),
              " |合計|East|West|総計\n"
              "Day（半期）|Day（四半期）|件数[合計]|件数[合計]|件数[合計]\n"
              "上期|1期|1,000||1,000\n"
              "上期|2期||2,000|2,000\n"
              "上期|計|1,000|2,000|3,000\n"
              "下期|3期|3,000||3,000\n"
              "下期|4期||4,000|4,000\n"
              "下期|計|3,000|4,000|7,000\n"
              "総計||4,000|6,000|10,000\n");

    // The log tab: the words in English around the names; the log keeps the line in Japanese.
    EXPECT_TRUE(s.lastOperationLine().starts_with("MOLAP [X:合計][Y:Day,Day][Z:件数(Sum)] 4 Rec "))
        << s.lastOperationLine();
    const std::string log = utf8(s.console().LogPage()->OperationLogText());
    EXPECT_NE(log.find("多次元集計 [X:合計][Y:Day,Day][Z:件数(合計)] 4 Rec "), std::string::npos)
        << log;

    // A drill-through on (上期, 1期) x East: the set's caption and the log's drill line.
    ASSERT_TRUE(s.molap()->view().SelectCell(2, 2));
    ASSERT_EQ(s.molap()->DrillThrough(), 1);
    ASSERT_NE(s.molap(), nullptr);
    const std::string japanese = "Day（半期） X Day（四半期） X 合計";
    EXPECT_EQ(utf8(s.h.app().Sets().back().text1), japanese);
    const std::vector<std::string> tree = s.console().DataSelPage()->SetLines();
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(utf8(tree.back()), "No.1 Day (half year) X Day (quarter) X 合計 / 1");
    EXPECT_TRUE(s.lastOperationLine().starts_with(
        "Drill through[Day (half year) X Day (quarter) X 合計] 4 Rec -> 1 Rec "))
        << s.lastOperationLine();
    EXPECT_NE(utf8(s.console().LogPage()->OperationLogText())
                  .find("ﾄﾞﾘﾙｽﾙｰ[" + japanese + "] 4 Rec -> 1 Rec "),
              std::string::npos);

    // An edit of the caption that empties it stores nothing, and the node shows again the
    // caption it had, in English.
    CConsSheet& console = s.console();
    console.ActivatePage(ConsolePage::DataSelection);
    console.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&console));
    CDataSelTreeView* setTree = console.DataSelPage()->setTree();
    setTree->editItem(console.DataSelPage()->FindSetItem(1));
    auto* editor = setTree->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(utf8(s.h.app().GetSetRecord(1).text2), "No.1 " + japanese + " / 1");
    EXPECT_EQ(utf8(console.DataSelPage()->SetLines().back()),
              "No.1 Day (half year) X Day (quarter) X 合計 / 1");
}

TEST(EnglishAggregation, ThePagesRowsShowTheirGroupingsAndUnitsInEnglish) {
    InLanguage english("en_US");
    Screen s;
    COlap2Page& page = *s.console().MolapPage();
    page.settings().SetYItems({2}, {5});
    page.settings().SetSumItems({1}, {1}, {110});
    page.sync();
    EXPECT_EQ(page.list(MolapList::Y)->topLevelItem(0)->text(0), u("Day\t (quarter)"));
    EXPECT_EQ(page.list(MolapList::Sum)->topLevelItem(0)->text(0), u("件数\t (1,000: round down)"));
    // What "実行" hands on is read from the rows' codes, whatever the language shows.
    const auto params = page.settings().collect(nullptr);
    ASSERT_TRUE(params);
    EXPECT_EQ(params->yDateUnits, std::vector<std::int32_t>{5});
    EXPECT_EQ(params->zUnits, std::vector<std::int32_t>{110});
}

TEST(EnglishAggregation, TheReadingPanesCounterIsEnglishAndTheLogKeepsTheJapanese) {
    InLanguage english("en_US");
    Screen s;
    CLogPage& log = *s.console().LogPage();
    for (int i = 0; i < 100; ++i)
        log.AppendReadLine("x");
    EXPECT_EQ(log.readView()->toPlainText(), u(" Reading line 100.\n"));
    log.EndReadLog(cp932::literal("終わり"));
    EXPECT_EQ(log.readView()->toPlainText(), u(" Reading line 100.\n\n  終わり"));
    EXPECT_EQ(utf8(log.ReadLogText()), "　100 行目を読込中です。\r\n\r\n  終わり");
}

}  // namespace
}  // namespace zbq::test
