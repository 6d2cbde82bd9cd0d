// CLogPage: the console's log tab. The upper pane is the reading log of a load (read_log.h): a
// counter every 100 lines, then the definition text with its "//" comments in blue, or a closing
// message in red. The lower pane is the operation log: one line per timed operation
// (log_lines.h), appended at the end, never by rewriting what is there, and kept for the whole
// run. Both texts are also kept as CP932 for whoever reads the log back. User-interface thread.
#pragma once

#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/mixed_text.h"
#include "console/read_log.h"

class QPlainTextEdit;
class QTextDocument;

class CLogPage : public QWidget {
    Q_OBJECT

public:
    explicit CLogPage(QWidget* parent = nullptr);

    // --- Reading log ---
    void AppendReadLine(std::string_view line);
    // `count` lines, each followed by CR LF in `lines`.
    void AppendReadLines(std::string_view lines, int count);
    void FlushReadLog();
    void ColourComments();
    void EndReadLog(std::string_view message);
    const ReadLog& readLog() const { return readLog_; }
    // The reading log in Japanese, CP932 with "\r\n" (the red message included); the pane shows
    // its counter in the language in force.
    std::string ReadLogText() const { return readLog_.shown() + readLog_.red(); }

    // --- Operation log; the line-returning ones return the line without its break ---
    void LogSearch(std::string_view caption, std::int32_t before, std::int32_t after, double ms);
    void LogSort(std::string_view itemName, std::int32_t records, std::int32_t kind, double ms);
    std::string LogCrossTab(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double ms);
    std::string LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double ms);
    // The words of the operation shown in the language in force, its names as they stand.
    std::string LogOperation(const MixedText& text, std::int32_t records, double ms);
    // CP932, each line ended by "\r\n".
    const std::string& OperationLogText() const { return operationText_; }

    QPlainTextEdit* readView() const { return readView_; }
    QPlainTextEdit* operationView() const { return operationView_; }

private:
    void showReadLog();
    // `line` into the log, `shown` (the line in the language in force) onto the tab.
    void appendOperation(const std::string& line, const std::string& shown);

    ReadLog readLog_;
    std::string operationText_;
    QTextDocument* ownDocument_ = nullptr;  // the coloured reading log shown, owned here
    QPlainTextEdit* readView_;
    QPlainTextEdit* operationView_;
};
