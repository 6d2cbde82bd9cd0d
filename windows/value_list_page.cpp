#include "windows/value_list_page.h"

#include <algorithm>
#include <filesystem>

#include "app/ckw_app.h"
#include "windows/graph_data.h"
#include "windows/graph_host.h"

namespace zbq::windows {

namespace {
// A start beyond every row: the engine then looks backward from the last row.
constexpr std::int32_t kBeyondLastRow = 99999999;
}  // namespace

ValueListPage::ValueListPage(CKWApp& app, ValueListModel& model) : app_(app), model_(model) {
    UpdateCounts();
}

void ValueListPage::ResetPage() {
    focusText_.reset();
}

void ValueListPage::UpdateCounts() {
    selectedText_ = CKWApp::FormatInt64(model_.GetCheckedRecordCount());
    totalText_ = CKWApp::FormatInteger(std::max(0, app_.GetItemDataCount(GetItemNo())));
}

// --- Search field ---

bool ValueListPage::setSearchText(std::string text) {
    if (text.size() > kMaxSearchBytes) return false;
    searchText_ = std::move(text);
    return true;
}

void ValueListPage::ChechStr() {
    toggleTextSearch();
    model_.record("ChechStr");
}

void ValueListPage::searchFocusIn() {
    focusText_ = searchText_;
}

void ValueListPage::searchFocusOut() {
    const bool changed = focusText_ && *focusText_ != searchText_;
    focusText_.reset();
    if (!changed) return;
    StepBuilder step("InputSearchTerm");
    step.number(GetItemNo()).textOrAsk(searchText_, app_.macro().isVariable());
    app_.Record(step);
}

std::int32_t ValueListPage::PrepareValueSearch(std::int32_t /*column*/, std::int32_t row) {
    const std::optional<ValueSearch> search =
        makeValueSearch(searchText_, model_.itemType(), textSearch_ && textSearchShown());
    if (!search) return -1;
    return setUpValueSearch(app_, GetItemNo(), *search, row);
}

std::optional<std::vector<std::int32_t>> ValueListPage::searchHits() {
    if (PrepareValueSearch(0, 0) < 0) return std::nullopt;
    std::vector<std::int32_t> hits;
    for (std::int32_t p = app_.KWfindNextValue(); p >= 0; p = app_.KWfindNextValue())
        hits.push_back(p);
    return hits;
}

std::int32_t ValueListPage::Mark(MarkCommand command) {
    std::int32_t done = 0;
    if (isSearchMark(command)) {
        model_.ResetOrder();
        const std::optional<std::vector<std::int32_t>> hits = searchHits();
        done = model_.Mark(command, hits ? &*hits : nullptr);
    } else {
        done = model_.Mark(command);
    }
    if (done) UpdateCounts();
    return done;
}

// --- New set ---

std::int32_t ValueListPage::CreateSet() {
    const std::int32_t item = GetItemNo();
    const std::int32_t before = app_.Search().KWgetDataCount();
    if (model_.SyncCheckedToEngine() == model_.rowCount()) return 0;
    app_.StartTimer();
    if (app_.KWnewMap(item) < 0) return 0;
    const double ms = app_.GetElapsedMs();
    model_.checkAll(true);
    model_.SyncCheckedToEngine();
    const std::string caption = app_.GetItemName(item);
    app_.AddResultSet(caption, 0);
    // The aggregation window builds again in a nested loop, where the user may close this item
    // window: only locals are touched then. The step goes first, so such a close replays after
    // the set it followed.
    model_.record("CreateSet");
    CKWApp& app = app_;
    const std::weak_ptr<int> alive = alive_;
    app.RebuildGrid(1);
    app.RefreshItemWindows();
    app.RefreshCrossView();
    app.ExecuteMolap();
    app.LogSearch(caption, before, app.Search().KWgetDataCount(), ms);
    if (!alive.expired()) UpdateCounts();
    return 1;
}

// --- Records holding a checked value ---

void ValueListPage::showRecord(std::int32_t row, const char* step) {
    app_.ShowRecord(row, GetItemNo());
    model_.record(step);
}

void ValueListPage::ToTopHitData() {
    const std::int32_t row = app_.KWfindNextRecord(GetItemNo(), 0);
    if (row != -1) showRecord(row, "ToTopHitData");
}

void ValueListPage::ToPrevHitData() {
    const std::int32_t item = GetItemNo();
    const std::int32_t current = app_.GetCurrentRow();
    std::int32_t row = -1;
    if (app_.KWfindNextRecord(item, current) != -1) {
        // With nothing before, the engine gives back the row it found: that is no step back.
        row = app_.KWfindPrevRecord();
        if (row == -1 || row >= current) return;
    } else {
        row = app_.KWfindNextRecord(item, kBeyondLastRow);
    }
    showRecord(row, "ToPrevHitData");
}

void ValueListPage::ToNextHitData() {
    const std::int32_t row = app_.KWfindNextRecord(GetItemNo(), app_.GetCurrentRow() + 1);
    showRecord(row, "ToNextHitData");
}

void ValueListPage::ToEndHitData() {
    const std::int32_t row = app_.KWfindNextRecord(GetItemNo(), kBeyondLastRow);
    if (row != -1) showRecord(row, "ToEndHitData");
}

// --- Values matching the search text ---

void ValueListPage::remember(const std::string& text) {
    if (text.empty()) return;
    const auto at = std::lower_bound(history_.begin(), history_.end(), text);
    if (at == history_.end() || *at != text) history_.insert(at, text);
}

void ValueListPage::stepValue(std::int32_t (CKWApp::*find)(), const char* step) {
    model_.ResetOrder();
    const CellPos anchor = model_.GetSelStart();
    if (PrepareValueSearch(anchor.column, anchor.row) != -1) {
        const std::int32_t p = (app_.*find)();
        if (p != -1) {
            model_.setSelection({anchor.column, p}, {anchor.column, p});
            if (showCell) showCell(p, anchor.column);
        }
    }
    remember(searchText_);
    model_.record(step);
}

void ValueListPage::ToTopItemData() {
    stepValue(&CKWApp::KWfindFirstValue, "ToTopItemData");
}
void ValueListPage::ToPrevItemData() {
    stepValue(&CKWApp::KWfindPrevValue, "ToPrevItemData");
}
void ValueListPage::ToNextItemData() {
    stepValue(&CKWApp::KWfindNextValue, "ToNextItemData");
}
void ValueListPage::ToEndItemData() {
    stepValue(&CKWApp::KWfindLastValue, "ToEndItemData");
}

}  // namespace zbq::windows

namespace zbq::windows {

std::int32_t ValueListPage::DispGraph() {
    if (!app_.GetGraphOutput()) return 0;
    GraphOutput* output = graphOutputFor(app_);
    if (!output) return 0;
    if (BuildGraph(app_, model_, *output).empty()) return 0;
    const std::string path = app_.GetGraphTempPath();
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        app_.ShowError("グラフファイルの作成に失敗しました");
        return 0;
    }
    app_.LaunchExcel(path);
    model_.record("DispGraph");
    return 1;
}

}  // namespace zbq::windows
