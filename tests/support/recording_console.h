// A console port for tests: records every call as one line of text (CP932 arguments kept as
// bytes) and answers as a console with the given display list and marked set would.
#pragma once

#include <string>
#include <vector>

#include "app/console_port.h"

namespace zbq::test {

class RecordingConsole : public ConsolePort {
public:
    std::vector<std::string> calls;         // "AppendReadLog <line>", "StopProgress", ...
    std::vector<std::int32_t> displayRows;  // what DisplayListItems() answers
    std::int32_t currentSetNo = -1;         // what GetCurrentSetNo() answers
    std::vector<SetRecord> addedSets;       // every AddSet, in order
    std::string readLines;                  // every AppendReadLines' lines, joined

    // Calls whose line starts with `prefix`.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
        return out;
    }

    bool exists() const override { return true; }
    void LogSearch(std::string_view caption, std::int32_t before, std::int32_t after,
                   double) override {
        add("LogSearch " + std::string(caption) + " " + std::to_string(before) + " " +
            std::to_string(after));
    }
    void LogSort(std::string_view name, std::int32_t records, std::int32_t kind, double) override {
        add("LogSort " + std::string(name) + " " + std::to_string(records) + " " +
            std::to_string(kind));
    }
    std::string LogCrossTab(std::string_view a, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double) override {
        return add("LogCrossTab " + std::string(a) + " " + std::string(x) + " " + std::string(y) +
                   " " + std::string(z) + " " + std::to_string(records));
    }
    std::string LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double) override {
        return add("LogDrillThrough " + std::string(x) + " " + std::string(y) + " " +
                   std::to_string(before) + " " + std::to_string(after));
    }
    std::string LogOperation(const MixedText& text, std::int32_t records, double) override {
        return add("LogOperation " + text.japanese() + " " + std::to_string(records));
    }
    std::string FormatCrossTabCaption(std::string_view a, std::string_view x, std::string_view y,
                                      std::string_view z, std::int32_t records) override {
        return add("FormatCrossTabCaption " + std::string(a) + " " + std::string(x) + " " +
                   std::string(y) + " " + std::string(z) + " " + std::to_string(records));
    }
    void AppendReadLog(std::string_view line) override {
        add("AppendReadLog " + std::string(line));
    }
    void AppendReadLines(std::string_view lines, std::int32_t count) override {
        add("AppendReadLines " + std::to_string(count));
        readLines += lines;
    }
    void FlushReadLog() override { add("FlushReadLog"); }
    void EndReadLog(std::string_view red) override { add("EndReadLog " + std::string(red)); }
    void ColourReadLogComments() override { add("ColourReadLogComments"); }
    void ShowItemSelControl1() override { add("ShowItemSelControl1"); }
    void ShowItemSelControl2() override { add("ShowItemSelControl2"); }
    void RebuildItemTree() override { add("RebuildItemTree"); }
    void AddDisplayItem(std::int32_t position, std::int32_t item) override {
        add("AddDisplayItem " + std::to_string(position) + " " + std::to_string(item));
    }
    void RemoveDisplayItem(std::string_view name) override {
        add("RemoveDisplayItem " + std::string(name));
    }
    void UnmarkTreeItem(std::string_view name) override {
        add("UnmarkTreeItem " + std::string(name));
    }
    std::optional<std::vector<std::int32_t>> DisplayListItems() const override {
        return displayRows;
    }
    void RestoreDisplayListToTree() override { add("RestoreDisplayListToTree"); }
    void FinishItemTreeUpdate() override { add("FinishItemTreeUpdate"); }
    void ActivateConsolePage(std::int32_t page) override {
        add("ActivateConsolePage " + std::to_string(page));
    }
    void SetStatusText(std::string_view text) override {
        add("SetStatusText " + std::string(text));
    }
    std::int32_t StartProgress() override {
        add("StartProgress");
        return 1;
    }
    void StopProgress() override { add("StopProgress"); }
    void ResetPages() override { add("ResetPages"); }
    void AddWindowRow(std::string_view title, std::string_view kind, std::int32_t image,
                      QWidget*) override {
        add("AddWindowRow " + std::string(title) + " " + std::string(kind) + " " +
            std::to_string(image));
    }
    void RemoveWindowRow(QWidget*) override { add("RemoveWindowRow"); }
    std::int32_t InsertSetItem(std::int32_t parent, std::string_view text, std::int32_t image,
                               std::int32_t setNo) override {
        add("InsertSetItem " + std::to_string(parent) + " " + std::string(text) + " " +
            std::to_string(image) + " " + std::to_string(setNo));
        return 1;
    }
    void RebuildSetTree() override { add("RebuildSetTree"); }
    void MarkCurrentSet(std::int32_t setNo) override {
        add("MarkCurrentSet " + std::to_string(setNo));
    }
    std::int32_t GetCurrentSetNo() const override { return currentSetNo; }
    SetRecord AddSet(const SetRecord& set) override {
        add("AddSet " + std::to_string(set.number));
        addedSets.push_back(set);
        return set;
    }
    void AddResultSet(const MixedText& caption, std::int32_t intersect) override {
        add("AddResultSet " + caption.japanese() + " " + std::to_string(intersect));
    }
    void RefreshOlapPages() override { add("RefreshOlapPages"); }
    void ResetOlapPages() override { add("ResetOlapPages"); }
    void AttachCategorySet() override { add("AttachCategorySet"); }
    void ResetCategorySet() override { add("ResetCategorySet"); }

private:
    std::string add(std::string line) {
        calls.push_back(line);
        return line;
    }
};

}  // namespace zbq::test
