#include "console/log_page.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "console/console_text.h"
#include "console/log_lines.h"
#include "platform/core/cp932.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/shown_bytes.h"

namespace {

constexpr int kReadLogHeight = 300;

QTextCharFormat coloured(const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

void scrollToEnd(QAbstractScrollArea* view) {
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
}

std::string shownWord(const std::string& cp932) {
    return zbq::ui::shownBytes(cp932);
}

}  // namespace

CLogPage::CLogPage(QWidget* parent)
    : QWidget(parent), readView_(new QPlainTextEdit), operationView_(new QPlainTextEdit) {
    for (QAbstractScrollArea* pane : {static_cast<QAbstractScrollArea*>(readView_),
                                      static_cast<QAbstractScrollArea*>(operationView_)}) {
        pane->setFont(consolePaneFont());
        pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    readView_->setReadOnly(true);
    readView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    readView_->setUndoRedoEnabled(false);
    operationView_->setReadOnly(true);
    operationView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    operationView_->setUndoRedoEnabled(false);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(readView_);
    splitter->addWidget(operationView_);
    splitter->setSizes({kReadLogHeight, kReadLogHeight / 2});
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

// --- Reading log ---

void CLogPage::AppendReadLine(std::string_view line) {
    if (readLog_.append(line)) showReadLog();
}

void CLogPage::AppendReadLines(std::string_view lines, int count) {
    if (readLog_.appendLines(lines, count)) showReadLog();
}

void CLogPage::FlushReadLog() {
    readLog_.flush();
    showReadLog();
}

void CLogPage::ColourComments() {
    readLog_.colourComments();
    showReadLog();
    readView_->moveCursor(QTextCursor::End);
    scrollToEnd(readView_);
}

void CLogPage::EndReadLog(std::string_view message) {
    readLog_.end(message);
    showReadLog();
    scrollToEnd(readView_);
}

// A plain text goes in at once. A coloured one is built in a document of its own and handed to
// the pane whole: built in the pane's document, a long definition would be laid out again and
// again. Plain-text panes lay out only what they show, so the scroll to the end costs nothing.
void CLogPage::showReadLog() {
    const std::string counter =
        readLog_.showsCounter() ? readCounterLine(readLog_.lines(), shownWord) : std::string();
    const std::string_view text = readLog_.showsCounter() ? counter : readLog_.shown();
    if (readLog_.comments().empty() && readLog_.red().empty()) {
        readView_->setPlainText(consoleText(text));
        return;
    }
    auto* document = new QTextDocument(this);
    document->setDefaultFont(readView_->font());
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    const QTextCharFormat plain = cursor.charFormat();
    const QTextCharFormat blue = coloured(Qt::blue);
    std::size_t at = 0;
    for (const TextRange& comment : readLog_.comments()) {
        cursor.insertText(consoleText(text.substr(at, comment.start - at)), plain);
        cursor.insertText(consoleText(text.substr(comment.start, comment.length)), blue);
        at = comment.start + comment.length;
    }
    cursor.insertText(consoleText(text.substr(at)), plain);
    if (!readLog_.red().empty()) cursor.insertText(consoleText(readLog_.red()), coloured(Qt::red));

    // Laid out only now: a layout present while the pieces go in would follow every one of them.
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    readView_->setDocument(document);
    delete ownDocument_;  // the one shown before, if it was one of these
    ownDocument_ = document;
}

// --- Operation log ---

void CLogPage::appendOperation(const std::string& line, const std::string& shown) {
    operationText_ += line;
    operationText_ += "\r\n";
    operationView_->appendPlainText(consoleText(shown));
    scrollToEnd(operationView_);
}

void CLogPage::LogSearch(std::string_view caption, std::int32_t before, std::int32_t after,
                         double ms) {
    appendOperation(searchLogLine(caption, before, after, ms),
                    searchLogLine(caption, before, after, ms, shownWord));
}

void CLogPage::LogSort(std::string_view itemName, std::int32_t records, std::int32_t kind,
                       double ms) {
    appendOperation(sortLogLine(itemName, records, kind, ms),
                    sortLogLine(itemName, records, kind, ms, shownWord));
}

std::string CLogPage::LogCrossTab(std::string_view aggregate, std::string_view x,
                                  std::string_view y, std::string_view z, std::int32_t records,
                                  double ms) {
    std::string line = crossTabLogLine(aggregate, x, y, z, records, ms);
    appendOperation(line, crossTabLogLine(aggregate, x, y, z, records, ms, shownWord));
    return line;
}

std::string CLogPage::LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                      std::int32_t after, double ms) {
    std::string line = drillThroughLogLine(x, y, before, after, ms);
    appendOperation(line, drillThroughLogLine(x, y, before, after, ms, shownWord));
    return line;
}

std::string CLogPage::LogOperation(const MixedText& text, std::int32_t records, double ms) {
    std::string line = operationLogLine(text.japanese(), records, ms);
    appendOperation(line, operationLogLine(text.shown(shownWord), records, ms, shownWord));
    return line;
}
