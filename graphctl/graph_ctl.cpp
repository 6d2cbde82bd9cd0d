// GraphCtl's methods and dispatch.
#include "graph_ctl.h"

#include <unistd.h>

#include <array>
#include <cerrno>

#include "graphctl/chart_workbook.h"
#include "graphctl/housekeeping.h"
#include "graphctl/item_data.h"
#include "graphctl/summary_sheet.h"
#include "graphctl/workbook_lock.h"
#include "platform/core/cp932.h"

namespace zbq::grafvik {

namespace {

constexpr std::array<Method, 10> kMethods = {{
    {"ExNormal", GRAFVIK_DISPID_EXNORMAL, 0},
    {"ExUp", GRAFVIK_DISPID_EXUP, 0},
    {"ExDown", GRAFVIK_DISPID_EXDOWN, 0},
    {"SetFilePath", GRAFVIK_DISPID_SETFILEPATH, 1},
    {"DelFile", GRAFVIK_DISPID_DELFILE, 0},
    {"SetData", GRAFVIK_DISPID_SETDATA, 1},
    {"CheckExcel", GRAFVIK_DISPID_CHECKEXCEL, 1},
    {"CloseXLS", GRAFVIK_DISPID_CLOSEXLS, 1},
    {"CloseCSV", GRAFVIK_DISPID_CLOSECSV, 1},
    {"ShowGraph", GRAFVIK_DISPID_SHOWGRAPH, 0},
}};

// A workbook that keeps coming and going under the name fails after this many turns.
constexpr int kMaxPlaceTurns = 100;

void clearItems(GraphState& s) {
    s.src.clear();
    s.dst.clear();
}

}  // namespace

GraphState& threadState() {
    thread_local GraphState state;
    return state;
}

const Method* methodByName(std::string_view name) {
    for (const Method& m : kMethods)
        if (zbq::cp932::equalsNoCase(m.name, name)) return &m;
    return nullptr;
}

const Method* methodById(int32_t dispid) {
    for (const Method& m : kMethods)
        if (m.dispid == dispid) return &m;
    return nullptr;
}

GraphCtl::GraphCtl(const GrafvikHost* host) {
    if (host) host_ = *host;
}

int GraphCtl::invoke(int32_t dispid, std::span<const std::string_view> args, int32_t* result) {
    if (result) *result = 0;
    const Method* m = methodById(dispid);
    if (!m) return GRAFVIK_E_UNKNOWN_ID;
    if (static_cast<int>(args.size()) != m->argc) return GRAFVIK_E_ARG_COUNT;
    switch (dispid) {
        case GRAFVIK_DISPID_EXNORMAL:
            return exNormal();
        case GRAFVIK_DISPID_EXUP:
            return exUp();
        case GRAFVIK_DISPID_EXDOWN:
            return exDown();
        case GRAFVIK_DISPID_SETFILEPATH:
            setFilePath(args[0]);
            break;
        case GRAFVIK_DISPID_DELFILE:
            delFile();
            break;
        case GRAFVIK_DISPID_SETDATA:
            setData(args[0]);
            break;
        case GRAFVIK_DISPID_CHECKEXCEL: {
            int16_t answer = checkExcel(args[0]);
            if (result) *result = answer;
            break;
        }
        case GRAFVIK_DISPID_CLOSEXLS:
            closeXls(args[0]);
            break;
        case GRAFVIK_DISPID_CLOSECSV:
            closeCsv(args[0]);
            break;
        case GRAFVIK_DISPID_SHOWGRAPH:
            return showGraph();
    }
    return GRAFVIK_OK;
}

int GraphCtl::exNormal() {
    const std::string path = threadState().filePath;
    closeXls(path);
    return draw(Order::Input);
}

int GraphCtl::exUp() {
    return draw(Order::Ascending);
}

int GraphCtl::exDown() {
    return draw(Order::Descending);
}

void GraphCtl::setFilePath(std::string_view path) {
    threadState().filePath = path;
}

void GraphCtl::delFile() {
    // A missing file, or one that cannot be removed, ends the call quietly.
    ::unlink(threadState().filePath.c_str());
}

void GraphCtl::setData(std::string_view text) {
    GraphState& s = threadState();
    if (!text.empty()) {
        s.fileData = text;
        return;
    }
    const char* clip = host_.clipboard_text ? host_.clipboard_text(host_.context) : nullptr;
    s.fileData = clip ? clip : "";
}

int16_t GraphCtl::checkExcel(std::string_view path) {
    GraphState& s = threadState();
    s.filePath = path;
    s.fileName = fileNameFromPath(path);
    s.xlsPath = xlsTwin(path);
    // The twin is only ever removed when it is the workbook we were asked about; the .xls
    // beside a .csv belongs to someone else.
    const bool twinIsTarget = s.xlsPath == s.filePath;
    if (!openInSpreadsheet(path)) {
        if (twinIsTarget) ::unlink(s.filePath.c_str());
        return 0;
    }
    if (host_.beep) host_.beep(host_.context);
    const std::string text = "'" + s.fileName + "' へ上書きしようとしています。\rよろしいですか？";
    bool ok = host_.ask_ok_cancel && host_.ask_ok_cancel(host_.context, "上書き確認", text.c_str());
    if (!ok) return 2;
    // The other program keeps its view of the old file; we write ours in its place.
    if (twinIsTarget) ::unlink(s.filePath.c_str());
    return 1;
}

void GraphCtl::closeXls(std::string_view path) {
    // No other program's document can be saved or closed from here: only the path is taken.
    GraphState& s = threadState();
    s.filePath = path;
    s.fileName = fileNameFromPath(path);
}

void GraphCtl::closeCsv(std::string_view path) {
    closeXls(path);
    threadState().xlsPath = xlsTwin(path);
}

bool GraphCtl::parse() {
    GraphState& s = threadState();
    clearItems(s);
    s.total = 0;
    s.fileName = fileNameFromPath(s.filePath);
    auto data = parseItemData(s.fileData);
    if (!data) {
        s.abortFlag = 1;
        return false;
    }
    s.src = std::move(data->items);
    s.total = data->total;
    return true;
}

int GraphCtl::draw(Order order) {
    GraphState& s = threadState();
    s.abortFlag = 0;
    // Under the workbook's one lock from here on: a summary being added to the old workbook is
    // finished before it goes, and one waiting for it is added to the new workbook.
    WorkbookLock lock(WorkbookLock::Clock::now() + kWorkbookLockWait);
    // Deleting needs only a writable folder: a workbook the user may not write would be lost
    // where writing it in place would have been refused. Through a link, the linked file is
    // the old graph, and the link stays.
    if (!lock.acquire(s.filePath) || !lock.writable()) {
        clearItems(s);
        return GRAFVIK_E_WRITE;
    }
    // The new workbook takes the old one's permission (and, for root, its owner), read before
    // the old one goes.
    const KeptMode mode = lock.held() ? KeptMode::of(lock.file()) : KeptMode{};
    // The old workbook goes first, so that a host that looks for the file after a failed call
    // never mistakes an old graph for a new one.
    if (lock.held() && !lock.removeFile()) {
        clearItems(s);
        return GRAFVIK_E_WRITE;
    }
    if (!parse()) return GRAFVIK_E_NO_DATA;
    if (!chartWorkbookFits(s.src)) {
        s.abortFlag = 1;
        clearItems(s);
        return GRAFVIK_E_NO_DATA;
    }
    s.dst = s.src;
    if (order == Order::Ascending) sortAscending(s.dst);
    if (order == Order::Descending) sortDescending(s.dst);
    auto bytes = chartWorkbookBytes(s.dst, nullptr);
    clearItems(s);
    if (!bytes) return GRAFVIK_E_WRITE;
    // A workbook another writer put at the free name meanwhile is replaced as the old one was,
    // once it is ours to replace.
    for (int turn = 0; turn < kMaxPlaceTurns; ++turn) {
        if (lock.place(*bytes, mode)) return GRAFVIK_OK;
        if ((errno != EEXIST && errno != ESTALE) || !lock.relock() || !lock.writable()) break;
    }
    return GRAFVIK_E_WRITE;
}

int GraphCtl::showGraph() {
    GraphState& s = threadState();
    const std::string path = s.filePath;
    closeXls(path);
    const bool exists = fileExists(s.filePath);
    s.newBookFlag = exists ? 0 : -1;
    s.abortFlag = 0;
    // A workbook that cannot be written is refused before the summary is made for nothing.
    WorkbookLock lock(WorkbookLock::Clock::now() + kWorkbookLockWait);
    if (!lock.acquire(s.filePath) || !lock.writable()) {
        clearItems(s);
        return GRAFVIK_E_WRITE;
    }
    // Bad data writes nothing, not even an empty workbook.
    if (!parse()) return GRAFVIK_E_NO_DATA;
    bool written = saveSummary(lock, s.src, s.total, nullptr);
    clearItems(s);
    return written ? GRAFVIK_OK : GRAFVIK_E_WRITE;
}

}  // namespace zbq::grafvik
