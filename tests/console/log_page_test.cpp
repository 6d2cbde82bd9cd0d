// The log tab offscreen: the reading log in its pane (the counter, the comments in blue, the
// closing message in red) and the operation log, which grows at its end without the text
// before being rewritten.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "console/log_page.h"
#include "tests/console/console_fixture.h"

namespace {

using zbq::test::ConsoleTest;

// The colour of the character at a position of a document.
QColor colourAt(QTextDocument* document, int position) {
    QTextCursor cursor(document);
    cursor.setPosition(position + 1);
    return cursor.charFormat().foreground().color();
}

TEST_F(ConsoleTest, ReadingLogShowsTheCounterThenTheColouredText) {
    QPlainTextEdit* pane = sheet->LogPage()->readView();
    for (int i = 0; i < 100; ++i)
        app.AppendReadLog("Item");
    EXPECT_EQ(pane->toPlainText(), QString::fromUtf8("　100 行目を読込中です。\n"));

    app.AppendReadLog(cp("Title \"a//b\" // 調査"));
    sheet->ColourReadLogComments();
    const QString shown = pane->toPlainText();
    EXPECT_TRUE(shown.endsWith(QString::fromUtf8("Item\nTitle \"a//b\" // 調査\n")));
    QTextDocument* document = pane->document();
    const int quoted = shown.indexOf(QStringLiteral("a//b"));
    const int comment = shown.lastIndexOf(QStringLiteral("//"));
    EXPECT_NE(colourAt(document, quoted + 1), QColor(Qt::blue));
    for (int i = comment; i < shown.size() - 1; ++i)
        EXPECT_EQ(colourAt(document, i), QColor(Qt::blue)) << i;
    std::string expected;
    for (int i = 0; i < 100; ++i)
        expected += "Item\r\n";
    EXPECT_EQ(sheet->LogPage()->ReadLogText(), expected + cp("Title \"a//b\" // 調査") + "\r\n");
}

TEST_F(ConsoleTest, ReadingLogEndsWithTheMessageInRed) {
    for (int i = 0; i < 3; ++i)
        app.AppendReadLog("line");
    app.EndReadLog(cp("Item の対応が不完全です。"));
    QPlainTextEdit* pane = sheet->LogPage()->readView();
    const QString shown = pane->toPlainText();
    EXPECT_EQ(shown, QString::fromUtf8("　3 行目を読込中です。\n\n  Item の対応が不完全です。"));
    EXPECT_EQ(colourAt(pane->document(), shown.indexOf(QStringLiteral("Item"))), QColor(Qt::red));
    EXPECT_NE(colourAt(pane->document(), 1), QColor(Qt::red));
}

TEST_F(ConsoleTest, OperationLogAppendsItsLinesAtTheEnd) {
    QTextDocument* document = sheet->LogPage()->operationView()->document();
    std::vector<std::pair<int, int>> changes;  // position, characters removed
    QObject::connect(document, &QTextDocument::contentsChange, [&](int position, int removed, int) {
        changes.emplace_back(position, removed);
    });

    app.LogSearch(cp("性別"), 10, 4, 1.0);
    const int firstEnd = document->characterCount() - 1;
    const std::string line = app.LogOperation(MixedText().word(cp("和集合")), 4, 2.0);
    EXPECT_EQ(zbq::cp932::toUtf8(line), "和集合 4 Rec 2 ﾐﾘ秒");
    const std::string crossLine = app.LogCrossTab(cp("件数"), cp("性別"), cp("年齢"), "", 4, 3.0);
    EXPECT_EQ(
        app.FormatCrossTabCaption(cp("件数"), cp("性別"), cp("年齢"), "", 4) + " 3 " + cp("ﾐﾘ秒"),
        crossLine);

    ASSERT_GE(changes.size(), 3u);
    for (std::size_t i = 1; i < changes.size(); ++i)
        EXPECT_EQ(changes[i].second, 0) << "change " << i << " removed text";
    EXPECT_GE(changes[1].first, firstEnd);
    EXPECT_EQ(document->blockCount(), 3);
    EXPECT_EQ(document->findBlockByNumber(1).text(), QString::fromUtf8("和集合 4 Rec 2 ﾐﾘ秒"));
    EXPECT_EQ(zbq::cp932::toUtf8(sheet->LogPage()->OperationLogText()),
              "検索[性別] 10 件 → 4 件 1 ﾐﾘ秒\r\n和集合 4 Rec 2 ﾐﾘ秒\r\n" +
                  zbq::cp932::toUtf8(crossLine) + "\r\n");
}

}  // namespace
