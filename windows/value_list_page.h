// ValueListPage: the value-list page ("値一覧") of an item window around its ValueListModel:
// the two counters, the new-set button, stepping through the original records that hold a
// checked value and through the values that match the search text, the search text with its
// history, the "文字列" box of code and multiple-answer items, and the marking commands that
// use the search. Every action records its own step (with the item number) while recording.
//
// The search field holds at most kMaxSearchBytes CP932 bytes. Stepping through values always
// returns the list to natural order first, so engine positions and rows agree. The widget
// shows a cell a search found through `showCell`; until one is installed nothing scrolls.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "windows/value_list_model.h"
#include "windows/value_search.h"

class CKWApp;

namespace zbq::windows {

class ValueListPage {
public:
    ValueListPage(CKWApp& app, ValueListModel& model);

    ValueListModel& model() { return model_; }
    const ValueListModel& model() const { return model_; }
    std::int32_t GetItemNo() const { return model_.GetItemNo(); }

    // The page is shown for its item again: the remembered search text dropped.
    void ResetPage();

    // --- Counters ("選択数", "全数"), made at UpdateCounts ---
    void UpdateCounts();
    const std::string& selectedCountText() const { return selectedText_; }
    const std::string& totalCountText() const { return totalText_; }

    // --- The search field ---
    const std::string& searchText() const { return searchText_; }
    // False (the field unchanged) for a text longer than the field holds.
    bool setSearchText(std::string text);
    const std::vector<std::string>& history() const { return history_; }
    bool textSearchShown() const { return model_.hasCodeColumn(); }
    bool textSearch() const { return textSearch_; }
    // The user's click on "文字列": toggles the box and records ChechStr.
    void ChechStr();
    // The player's: only the box's state.
    void toggleTextSearch() { textSearch_ = !textSearch_; }
    // The field got / lost the focus: leaving it with a changed text records InputSearchTerm
    // (its text, or "???" under 可変).
    void searchFocusIn();
    void searchFocusOut();

    // Sets the engine's value search up from the search text at the row; -1 when there is no
    // search to set up.
    std::int32_t PrepareValueSearch(std::int32_t column, std::int32_t row);
    // The positions the search text finds, in natural order; nullopt when no search is set up.
    std::optional<std::vector<std::int32_t>> searchHits();
    // A marking command; the search ones return the list to natural order and use the search
    // text as it stands. 1 done, 0 when nothing changed (nothing recorded then).
    std::int32_t Mark(MarkCommand command);

    // --- Actions of the buttons ---
    // A new record set of the current set's records whose value is checked. 1 made.
    std::int32_t CreateSet();
    void ToTopHitData();
    void ToPrevHitData();
    void ToNextHitData();
    void ToEndHitData();
    void ToTopItemData();
    void ToPrevItemData();
    void ToNextItemData();
    void ToEndItemData();
    // The value list's chart workbook through the installed graph output, opened in the
    // spreadsheet program. 1 opened; 0 when nothing was sent, no output is open, or the workbook
    // is missing afterwards ("グラフファイルの作成に失敗しました", nothing recorded).
    std::int32_t DispGraph();

    // Called with (row, column) of a cell a value search selected.
    std::function<void(std::int32_t row, std::int32_t column)> showCell;

private:
    void stepValue(std::int32_t (CKWApp::*find)(), const char* step);
    void showRecord(std::int32_t row, const char* step);
    void remember(const std::string& text);

    CKWApp& app_;
    ValueListModel& model_;
    std::string selectedText_, totalText_;
    std::string searchText_;
    std::optional<std::string> focusText_;  // the text when the field got the focus
    std::vector<std::string> history_;      // sorted, as the drop-down lists it
    bool textSearch_ = false;
    // Expires with the page: a refresh that runs a nested loop may see the item window closed.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace zbq::windows
