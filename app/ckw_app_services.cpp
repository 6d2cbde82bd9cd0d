// CKWApp's services for the windows: forwarders to the console's pages and to the open windows
// (each harmless while the console or the window is absent: the null ports answer neutrally),
// the message pump of long operations, the spreadsheet program, the graph control check made
// at start-up, and the timing of the log lines.
#include "app/ckw_app.h"

#include <sys/stat.h>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/message_pump.h"
#include "graphctl/registration.h"
#include "platform/core/registry_file.h"
#include "platform/core/shown_text.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/shown_bytes.h"

namespace {

constexpr char kGraphLibrary[] = "Grafvik.ocx";

// Where an installed graph control lives besides the program directory: the system library
// folders. ZBQ_SYSTEM_LIBRARY_DIR names the one folder to use instead (tests point it at a
// folder of their own, as they point ZBQ_REGISTRY_FILE at their own registry).
std::vector<std::string> systemLibraryDirs() {
    if (const char* dir = std::getenv("ZBQ_SYSTEM_LIBRARY_DIR")) return {dir};
    return {"/usr/local/lib", "/usr/lib"};
}

// Start-up asks before the main window is up, so these boxes have no owner.
void tellUnowned(const char* utf8Text) {
    zbq::ui::prompts().message(nullptr, QString::fromUtf8(utf8Text),
                               QString::fromUtf8(CKWApp::kCaption), zbq::ui::Icon::Exclamation);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

// --- Console ---

void CKWApp::LogSearch(std::string_view caption, std::int32_t before, std::int32_t after,
                       double ms) {
    console().LogSearch(caption, before, after, ms);
}

void CKWApp::LogSort(std::string_view itemName, std::int32_t records, std::int32_t kind,
                     double ms) {
    console().LogSort(itemName, records, kind, ms);
}

std::string CKWApp::LogCrossTab(std::string_view aggregate, std::string_view x, std::string_view y,
                                std::string_view z, std::int32_t records, double ms) {
    return console().LogCrossTab(aggregate, x, y, z, records, ms);
}

std::string CKWApp::LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                    std::int32_t after, double ms) {
    return console().LogDrillThrough(x, y, before, after, ms);
}

std::string CKWApp::LogOperation(const MixedText& text, std::int32_t records, double ms) {
    return console().LogOperation(text, records, ms);
}

std::string CKWApp::FormatCrossTabCaption(std::string_view aggregate, std::string_view x,
                                          std::string_view y, std::string_view z,
                                          std::int32_t records) {
    return console().FormatCrossTabCaption(aggregate, x, y, z, records);
}

void CKWApp::AppendReadLog(std::string_view line) {
    console().AppendReadLog(line);
}

void CKWApp::AppendReadLines(std::string_view lines, std::int32_t count) {
    console().AppendReadLines(lines, count);
}

void CKWApp::FlushReadLog() {
    console().FlushReadLog();
}

void CKWApp::EndReadLog(std::string_view redLine) {
    console().EndReadLog(redLine);
}

void CKWApp::ShowItemSelControl1() {
    console().ShowItemSelControl1();
}

void CKWApp::ShowItemSelControl2() {
    console().ShowItemSelControl2();
}

void CKWApp::ActivateConsolePage(std::int32_t page) {
    console().ActivateConsolePage(page);
}

void CKWApp::RebuildItemTree() {
    console().RebuildItemTree();
}

// The display list lives in the console; without one there is nothing to change or to read back.
void CKWApp::AddDisplayItem(std::int32_t position, std::int32_t item) {
    if (!console().exists()) return;
    console().AddDisplayItem(position, item);
    UpdateDisplayItems();
}

void CKWApp::RemoveDisplayItem(std::string_view name) {
    if (!console().exists()) return;
    console().RemoveDisplayItem(name);
    UpdateDisplayItems();
}

void CKWApp::UnmarkTreeItem(std::string_view name) {
    if (!console().exists()) return;
    console().UnmarkTreeItem(name);
    UpdateDisplayItems();
}

void CKWApp::SetStatusText(std::string_view text) {
    // The program's status texts ("読込み中") are shown in the language in force.
    console().SetStatusText(zbq::ui::shownBytes(std::string(text)));
}

std::int32_t CKWApp::StartProgress() {
    return console().StartProgress();
}

void CKWApp::StopProgress() {
    console().StopProgress();
}

void CKWApp::AddWindowRow(std::string_view title, std::string_view kind, std::int32_t image,
                          QWidget* window) {
    console().AddWindowRow(title, kind, image, window);
}

void CKWApp::RemoveWindowRow(QWidget* window) {
    console().RemoveWindowRow(window);
}

std::int32_t CKWApp::InsertSetItem(std::int32_t parent, std::string_view text, std::int32_t image,
                                   std::int32_t setNo) {
    return console().InsertSetItem(parent, text, image, setNo);
}

void CKWApp::RebuildSetTree() {
    console().RebuildSetTree();
}

void CKWApp::MarkCurrentSet(std::int32_t setNo) {
    console().MarkCurrentSet(setNo);
}

std::int32_t CKWApp::GetCurrentSetNo() const {
    return console().GetCurrentSetNo();
}

void CKWApp::RefreshOlapPages() {
    console().RefreshOlapPages();
}

void CKWApp::ResetOlapPages() {
    console().ResetOlapPages();
}

void CKWApp::AttachCategorySet() {
    console().AttachCategorySet();
}

void CKWApp::ResetCategorySet() {
    console().ResetCategorySet();
}

void CKWApp::RestoreDisplayListToTree() {
    console().RestoreDisplayListToTree();
}

void CKWApp::PumpMessages() {
    // A tree update left pending would otherwise be painted half done by the messages below.
    console().FinishItemTreeUpdate();
    zbq::app::pumpPendingMessages();
}

// --- Open windows ---

void CKWApp::RebuildGrid(std::int32_t flag) {
    windows().RebuildGrid(flag);
}

std::int32_t CKWApp::ShowRecord(std::int32_t row, std::int32_t item) {
    return windows().ShowRecord(row, item);
}

std::int32_t CKWApp::GetCurrentRow() const {
    return windows().GetCurrentRow();
}

void CKWApp::RefreshItemWindows() {
    windows().RefreshItemWindows();
}

void CKWApp::RebuildItemWindows() {
    windows().RebuildItemWindows();
}

std::int32_t CKWApp::RefreshCrossView() {
    return windows().RefreshCrossView();
}

std::int32_t CKWApp::ExecuteMolap() {
    return windows().ExecuteMolap();
}

// --- Spreadsheet program and graph control ---

void CKWApp::LaunchExcel(const std::string& path) {
    // The desktop's own choice of program, never a command line put together from a path. With
    // no spreadsheet program found at start-up the desktop has nothing to open a workbook with,
    // and its opener, once started, fails without a word: that is told here instead, and the
    // workbook stays where it was written. The same holds when the opener gives up a moment
    // after it started (its program gone since start-up): that is told as it ends.
    static constexpr const char* kNoStart = ZBQ_SHOWN("エクセルの起動に失敗しました");
    QPointer<QWidget> owner = windows().mainWindow();
    const auto tellLate = [owner] {
        zbq::ui::prompts().message(owner, QString::fromUtf8(kNoStart),
                                   QString::fromUtf8(CKWApp::kCaption), zbq::ui::Icon::Exclamation);
    };
    if (excelPath_.empty() || !zbq::ui::opener().open(QString::fromStdString(path), tellLate))
        ShowError(kNoStart);
}

std::int32_t CKWApp::CheckGraphControl() {
    graphOutput_ = 1;

    bool found = false;
    for (const std::string& dir : systemLibraryDirs())
        if (isRegularFile(dir + "/" + kGraphLibrary)) found = true;
    if (!found && !programDir_.empty()) found = isRegularFile(programDir_ + "/" + kGraphLibrary);
    if (!found) {
        tellUnowned(ZBQ_SHOWN("Grafvik.ocx が存在しません"));
        graphOutput_ = 0;
    }

    // Asked in every case, so that the user learns of both faults at once.
    if (!zbq::Registry().keyExists(zbq::grafvik::progIdKey())) {
        tellUnowned(ZBQ_SHOWN("Grafvik.ocx がレジストリに登録されていません"));
        graphOutput_ = 0;
    }
    return 1;
}

// --- Timing ---

void CKWApp::StartTimer() {
    timerStart_ = std::chrono::system_clock::now();
}

double CKWApp::GetElapsedMs() {
    timerEnd_ = std::chrono::system_clock::now();
    // Whole milliseconds of each stamp, as the log lines have always shown them.
    using std::chrono::floor;
    using std::chrono::milliseconds;
    return static_cast<double>(
        (floor<milliseconds>(timerEnd_) - floor<milliseconds>(timerStart_)).count());
}
