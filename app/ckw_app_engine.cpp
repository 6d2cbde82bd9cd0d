// CKWApp's engine wrappers: the one road from the windows, the console and the macro players to
// the loaded data set. The checked ones tell the user about a negative result and pass it on;
// the caller decides whether to stop. Every other wrapper forwards unchanged, KWpassDataGet
// aside, which answers the value list's question ("is this value still included?").
#include "app/ckw_app.h"

#include <string>

#include "app/shown_message.h"
#include "engine/kw_create_merge.h"
#include "engine/kw_file.h"
#include "platform/core/shown_text.h"

namespace {

// The box of a checked wrapper; the result passes through unchanged.
std::int32_t checked(const CKWApp& app, const char* name, std::int32_t result) {
    if (result < 0)
        app.ShowError(zbq::app::shownMessage(ZBQ_SHOWN("%1()がエラー終了しました [errorNo:%2]"),
                                             {name, std::to_string(result)}));
    return result;
}

}  // namespace

// --- Checked ---

std::int32_t CKWApp::KWgetDataCount() {
    return checked(*this, "KWgetDataCount", search_.KWgetDataCount());
}

std::int32_t CKWApp::KWsrch(std::string_view expression) {
    return checked(*this, "KWsrch", search_.KWsrch(expression));
}

std::int32_t CKWApp::KWpwdSet(const std::string& path, std::string_view password) {
    return checked(*this, "KWpwdSet", ::KWpwdSet(path, password));
}

std::int32_t CKWApp::KWpwdchk(const std::string& path) {
    return checked(*this, "KWpwdchk", ::KWpwdchk(path));
}

std::int32_t CKWApp::KWdispCode(std::int32_t item) {
    return checked(*this, "KWdispCode", search_.KWdispCode(item));
}

std::int32_t CKWApp::KWdispName(std::int32_t item) {
    return checked(*this, "KWdispName", search_.KWdispName(item));
}

std::int32_t CKWApp::KWgetDisp(std::int32_t item) {
    return checked(*this, "KWgetDisp", search_.KWgetDisp(item));
}

std::int32_t CKWApp::KWreadInteger(std::int32_t row, std::int32_t item, std::int32_t* value) {
    return checked(*this, "KWreadInteger", search_.KWreadInteger(row, item, value));
}

std::int32_t CKWApp::KWreadDouble(std::int32_t row, std::int32_t item, double* value) {
    return checked(*this, "KWreadDouble", search_.KWreadDouble(row, item, value));
}

std::int32_t CKWApp::KWmapGetLength() {
    return checked(*this, "KWmapGetLength", search_.KWmapGetLength());
}

std::int32_t CKWApp::KWmapSet(KW_mapPtr map) {
    return checked(*this, "KWmapSet", search_.KWmapSet(std::move(map)));
}

std::int32_t CKWApp::KWmapClear() {
    return checked(*this, "KWmapClear", search_.KWmapClear());
}

std::int32_t CKWApp::KWnewMap(std::int32_t item) {
    return checked(*this, "KWnewMap", search_.KWnewMap(item));
}

std::int32_t CKWApp::KWpassDataFromMap(std::int32_t item, std::int32_t position) {
    return checked(*this, "KWpassDataFromMap", search_.KWpassDataFromMap(item, position));
}

std::int32_t CKWApp::KWgetValueCount(std::int32_t item) {
    return checked(*this, "KWgetValueCount", search_.KWgetValueCount(item));
}

// --- Forwarding ---

std::int32_t CKWApp::SortRecords(std::int32_t item, std::int32_t direction) {
    return search_.KWsortData(item, direction);
}

std::int32_t CKWApp::KWreadString(std::int32_t row, std::int32_t item, const char** text) {
    return search_.KWreadString(row, item, text);
}

const char* CKWApp::KWreadMulti(std::int32_t row, std::int32_t item, std::int32_t k,
                                std::int32_t* answerCount) {
    return search_.KWreadMulti(row, item, k, answerCount);
}

KW_mapPtr CKWApp::KWmapGet() const {
    return search_.KWmapGet();
}

std::int32_t CKWApp::KWpassDataClear(std::int32_t item) {
    return search_.KWpassDataClear(item);
}

std::int32_t CKWApp::KWpassDataGet(std::int32_t item, std::int32_t position) const {
    // An item without exclusion flags (a negative result) has every value included.
    return search_.KWpassDataGet(item, position) > 0 ? 0 : 1;
}

const char* CKWApp::KWgetValueText(std::int32_t item, std::int32_t position) const {
    return search_.KWgetValueText(item, position);
}

std::int32_t CKWApp::KWgetValueInt(std::int32_t item, std::int32_t position) const {
    return search_.KWgetValueInt(item, position);
}

double CKWApp::KWgetValueDouble(std::int32_t item, std::int32_t position) const {
    return search_.KWgetValueDouble(item, position);
}

std::int32_t CKWApp::KWgetValueDataCount(std::int32_t item, std::int32_t position) const {
    return search_.KWgetValueDataCount(item, position);
}

std::int32_t CKWApp::KWgetItemDataCount(std::int32_t item) const {
    return search_.KWgetItemDataCount(item);
}

std::int32_t CKWApp::KWgetAnswerRange(std::int32_t item, std::int32_t* largest,
                                      std::int32_t* smallest) const {
    return search_.KWgetAnswerRange(item, largest, smallest);
}

std::int32_t CKWApp::KWsortValue(std::int32_t item, std::int32_t mode) {
    return search_.KWsortValue(item, mode);
}

std::int32_t CKWApp::KWgetPercentPos(std::int32_t item, double percent) const {
    return search_.KWgetPercentPos(item, percent);
}

std::int32_t CKWApp::KWsaveSort(std::int32_t item) {
    return search_.KWsaveSort(item);
}

std::int32_t CKWApp::KWrestoreSort(std::int32_t item) {
    return search_.KWrestoreSort(item);
}

std::int32_t CKWApp::KWgetStatistics(std::int32_t item, double* sum, double* mean,
                                     double* deviation) const {
    return search_.KWgetStatistics(item, sum, mean, deviation);
}

std::int32_t CKWApp::KWmapProduct(const KW_mapPtr& a, const KW_mapPtr& b) {
    return search_.KWmapProduct(a, b);
}

std::int32_t CKWApp::KWmapUnion(const KW_mapPtr& a, const KW_mapPtr& b) {
    return search_.KWmapUnion(a, b);
}

std::int32_t CKWApp::KWmapDifference(const KW_mapPtr& a, const KW_mapPtr& b) {
    return search_.KWmapDifference(a, b);
}

std::int32_t CKWApp::KWmapComplement(const KW_mapPtr& a) {
    return search_.KWmapComplement(a);
}

std::int32_t CKWApp::KWsetFindString(std::int32_t item, std::int32_t start, std::string_view text) {
    return search_.KWsetFindString(item, start, text);
}

std::int32_t CKWApp::KWsetFindInt(std::int32_t item, std::int32_t start, std::int32_t op,
                                  std::int32_t a, std::int32_t b) {
    return search_.KWsetFindInt(item, start, op, a, b);
}

std::int32_t CKWApp::KWsetFindDouble(std::int32_t item, std::int32_t start, std::int32_t op,
                                     double a, double b) {
    return search_.KWsetFindDouble(item, start, op, a, b);
}

std::int32_t CKWApp::KWsetFindStringRange(std::int32_t item, std::int32_t start, std::int32_t op,
                                          std::string_view text1, std::string_view text2) {
    return search_.KWsetFindStringRange(item, start, op, text1, text2);
}

std::int32_t CKWApp::KWfindNextValue() {
    return search_.KWfindNextValue();
}

std::int32_t CKWApp::KWfindPrevValue() {
    return search_.KWfindPrevValue();
}

std::int32_t CKWApp::KWfindFirstValue() {
    return search_.KWfindFirstValue();
}

std::int32_t CKWApp::KWfindLastValue() {
    return search_.KWfindLastValue();
}

std::int32_t CKWApp::KWfindNextRecord(std::int32_t item, std::int32_t startRow) {
    return search_.KWfindNextRecord(item, startRow);
}

std::int32_t CKWApp::KWfindPrevRecord() {
    return search_.KWfindPrevRecord();
}

std::int32_t CKWApp::KWreadBlob(const std::string& path, std::string& blob) {
    return ::KWreadBlob(path, blob);
}

std::int32_t CKWApp::KWwriteBlob(const std::string& path, std::string_view blob) {
    return ::KWwriteBlob(path, blob);
}

std::int32_t CKWApp::KWmapSave(const std::string& path) {
    return ::KWmapSave(search_, path);
}

// --- Cross tabulation ---

std::int32_t CKWApp::InitCrossX(std::int32_t item, std::int32_t nameMode, std::int32_t conditions) {
    return search_.InitCrossX(item, nameMode, conditions);
}

std::int32_t CKWApp::AddCrossXInt(std::string_view label, std::int32_t op, std::int32_t from,
                                  std::int32_t to) {
    return search_.AddCrossXInt(label, op, from, to);
}

std::int32_t CKWApp::AddCrossXDouble(std::string_view label, std::int32_t op, double from,
                                     double to) {
    return search_.AddCrossXDouble(label, op, from, to);
}

std::int32_t CKWApp::AddCrossXString(std::string_view label, std::int32_t op, std::string_view from,
                                     std::string_view to) {
    return search_.AddCrossXString(label, op, from, to);
}

std::int32_t CKWApp::BuildCrossX() {
    return search_.BuildCrossX();
}

void CKWApp::ResetCrossX() {
    search_.ResetCrossX();
}

std::int32_t CKWApp::InitCrossY(std::int32_t item, std::int32_t nameMode, std::int32_t conditions) {
    return search_.InitCrossY(item, nameMode, conditions);
}

std::int32_t CKWApp::AddCrossYInt(std::string_view label, std::int32_t op, std::int32_t from,
                                  std::int32_t to) {
    return search_.AddCrossYInt(label, op, from, to);
}

std::int32_t CKWApp::AddCrossYDouble(std::string_view label, std::int32_t op, double from,
                                     double to) {
    return search_.AddCrossYDouble(label, op, from, to);
}

std::int32_t CKWApp::AddCrossYString(std::string_view label, std::int32_t op, std::string_view from,
                                     std::string_view to) {
    return search_.AddCrossYString(label, op, from, to);
}

std::int32_t CKWApp::BuildCrossY() {
    return search_.BuildCrossY();
}

void CKWApp::ResetCrossY() {
    search_.ResetCrossY();
}

std::int32_t CKWApp::ExecuteCross(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t kind,
                                  double percentage) {
    return search_.ExecuteCross(x, y, z, kind, percentage);
}

std::int32_t CKWApp::GetCrossCount(CrossCell cell) const {
    return search_.GetCrossCount(cell.x, cell.y);
}

double CKWApp::GetCrossValue(CrossCell cell) const {
    return search_.GetCrossValue(cell.x, cell.y);
}

std::string CKWApp::GetCrossText(CrossCell cell) const {
    return search_.GetCrossText(cell.x, cell.y);
}

std::int32_t CKWApp::GetCrossCellFlag(CrossCell cell) const {
    return search_.GetCrossCellFlag(cell.x, cell.y);
}

std::int32_t CKWApp::MarkCrossCell(CrossCell cell) {
    return search_.MarkCrossCell(cell.x, cell.y);
}

std::int32_t CKWApp::CrossDrill() {
    return search_.CrossDrill();
}

std::string CKWApp::GetCrossXLabel(std::int32_t i) const {
    return search_.GetCrossXLabel(i);
}

std::string CKWApp::GetCrossYLabel(std::int32_t i) const {
    return search_.GetCrossYLabel(i);
}

std::int32_t CKWApp::GetCrossXInt(std::int32_t i) const {
    return search_.GetCrossXInt(i);
}

std::int32_t CKWApp::GetCrossYInt(std::int32_t i) const {
    return search_.GetCrossYInt(i);
}

double CKWApp::GetCrossXDouble(std::int32_t i) const {
    return search_.GetCrossXDouble(i);
}

double CKWApp::GetCrossYDouble(std::int32_t i) const {
    return search_.GetCrossYDouble(i);
}

std::int32_t CKWApp::GetCrossXCount() const {
    return search_.GetCrossXCount();
}

std::int32_t CKWApp::GetCrossYCount() const {
    return search_.GetCrossYCount();
}
