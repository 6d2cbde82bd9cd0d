// ConsolePort: how the application object reaches the console's pages (log tab, item-selection
// tab, set tree, OLAP pages, status bar, progress animation). The console implements it; until
// there is one, the null port stands and every call does nothing and gives its neutral result,
// so the application core runs without widgets. Texts are CP932 bytes. User-interface thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/mixed_text.h"
#include "app/shared_records.h"

class QWidget;

class ConsolePort {
public:
    virtual ~ConsolePort() = default;

    // True while a console exists.
    virtual bool exists() const { return false; }

    // --- Log tab: timing lines of the operation log ---
    virtual void LogSearch(std::string_view /*caption*/, std::int32_t /*before*/,
                           std::int32_t /*after*/, double /*ms*/) {}
    virtual void LogSort(std::string_view /*itemName*/, std::int32_t /*records*/,
                         std::int32_t /*kind*/, double /*ms*/) {}
    virtual std::string LogCrossTab(std::string_view /*aggregate*/, std::string_view /*x*/,
                                    std::string_view /*y*/, std::string_view /*z*/,
                                    std::int32_t /*records*/, double /*ms*/) {
        return {};
    }
    virtual std::string LogDrillThrough(std::string_view /*x*/, std::string_view /*y*/,
                                        std::int32_t /*before*/, std::int32_t /*after*/,
                                        double /*ms*/) {
        return {};
    }
    // The operation's words reach the tab apart from the names in it; the log keeps it whole.
    virtual std::string LogOperation(const MixedText& /*text*/, std::int32_t /*records*/,
                                     double /*ms*/) {
        return {};
    }
    virtual std::string FormatCrossTabCaption(std::string_view /*aggregate*/,
                                              std::string_view /*x*/, std::string_view /*y*/,
                                              std::string_view /*z*/, std::int32_t /*records*/) {
        return {};
    }

    // --- Log tab: the reading log of a load ---
    virtual void AppendReadLog(std::string_view /*line*/) {}
    // `count` lines at once, each followed by CR LF in `lines`: the same as appending them one
    // by one.
    virtual void AppendReadLines(std::string_view /*lines*/, std::int32_t /*count*/) {}
    virtual void FlushReadLog() {}
    // Ends the log with a line shown in red.
    virtual void EndReadLog(std::string_view /*redLine*/) {}
    // Colours the "//" comments of the definition text shown, then flushes.
    virtual void ColourReadLogComments() {}

    // --- Item-selection tab ---
    virtual void ShowItemSelControl1() {}
    virtual void ShowItemSelControl2() {}
    virtual void RebuildItemTree() {}
    virtual void AddDisplayItem(std::int32_t /*position*/, std::int32_t /*item*/) {}
    virtual void RemoveDisplayItem(std::string_view /*name*/) {}
    virtual void UnmarkTreeItem(std::string_view /*name*/) {}
    // The item numbers of the display list's rows in row order; nullopt without a console.
    virtual std::optional<std::vector<std::int32_t>> DisplayListItems() const {
        return std::nullopt;
    }
    // Puts the application's display list into the list and marks the tree (after loading).
    virtual void RestoreDisplayListToTree() {}
    // Lets the item tree finish an update it has pending (before messages are pumped).
    virtual void FinishItemTreeUpdate() {}
    // The tab's "ﾃﾞｰﾀ表示": the original-data window on the display list, or the tab's message
    // when the list is empty.
    virtual void ShowData() {}

    // --- Sheet ---
    virtual void ActivateConsolePage(std::int32_t /*page*/) {}
    virtual void SetStatusText(std::string_view /*text*/) {}
    virtual std::int32_t StartProgress() { return 0; }
    virtual void StopProgress() {}
    // The pages' part of the screen reset before a macro runs.
    virtual void ResetPages() {}

    // --- System tab: the list of open windows ---
    // A row: the window's title, a kind text ("ﾀｲﾌﾟ" column), the image (10 original data, 12
    // cross tab, an item window's item type) and the window. Rows are removed by window identity,
    // since two windows may share a title.
    virtual void AddWindowRow(std::string_view /*title*/, std::string_view /*kind*/,
                              std::int32_t /*image*/, QWidget* /*window*/) {}
    virtual void RemoveWindowRow(QWidget* /*window*/) {}
    // The windows of the list's rows, first row first (null where a row has none).
    virtual std::vector<QWidget*> ListedWindows() const { return {}; }

    // --- Data-selection tab: the set tree ---
    virtual std::int32_t InsertSetItem(std::int32_t /*parent*/, std::string_view /*text*/,
                                       std::int32_t /*image*/, std::int32_t /*setNo*/) {
        return 0;
    }
    virtual void RebuildSetTree() {}
    virtual void MarkCurrentSet(std::int32_t /*setNo*/) {}
    virtual std::int32_t GetCurrentSetNo() const { return -1; }
    // Inserts a set and returns the record the tree stored; an empty record without a console.
    virtual SetRecord AddSet(const SetRecord& /*set*/) { return {}; }
    // Registers the current map as a new set under the current set (intersected with the
    // current set's map first when `intersect` is non-zero). The set keeps the caption's
    // Japanese whole; the tree shows its words of ours in the language in force.
    virtual void AddResultSet(const MixedText& /*caption*/, std::int32_t /*intersect*/) {}

    // --- OLAP pages ---
    virtual void RefreshOlapPages() {}
    virtual void ResetOlapPages() {}
    // The aggregation page's "実行": the aggregation window disables it while it builds.
    virtual void EnableMolapExecute(bool /*enable*/) {}
    virtual void AttachCategorySet() {}
    virtual void ResetCategorySet() {}
};
