// OlapAxisSettings: the cross-tab axis page without widgets. It holds what the page's controls
// show: the X, Y and Z item lists (Z first "選択なし"), the X and Y category lists refilled from
// the application's category list for the item chosen, the two check buttons, the two level
// positions (0 to 3), the aggregate kind (0 to 7) and the percentage text. The page's widgets
// show this state, and the macro players set it directly.
//
// OnOlapDisplay checks the choice in order (the first failing check shows its message and
// changes nothing), hands the settings block to the application and asks `show` to open or
// recompute the cross-tab window; DispOlap is recorded only when a window was shown. The
// choices record their steps (nothing while a macro plays). Names are
// CP932 bytes. User-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shared_records.h"
#include "platform/core/shown_text.h"

class CKWApp;
class QWidget;

class OlapAxisSettings {
public:
    enum class Axis { X, Y };

    // A combo's entry: its text and item data (an item number, -2 for "選択なし", or a
    // category's index in the application's list).
    struct Entry {
        std::string text;
        std::int32_t data;
        bool operator==(const Entry&) const = default;
    };
    struct Combo {
        std::vector<Entry> entries;
        std::int32_t selected = -1;
        std::int32_t count() const { return static_cast<std::int32_t>(entries.size()); }
        const Entry* current() const;
    };

    static constexpr const char* kNoZ = ZBQ_SHOWN("選択なし");  // UTF-8
    static constexpr const char* kKinds[8] = {ZBQ_SHOWN("件数(Ｚ指定不要)"),
                                              ZBQ_SHOWN("件数"),
                                              ZBQ_SHOWN("ﾕﾆｰｸ件数"),
                                              ZBQ_SHOWN("合計"),
                                              ZBQ_SHOWN("平均"),
                                              ZBQ_SHOWN("最大値"),
                                              ZBQ_SHOWN("最小値"),
                                              ZBQ_SHOWN("％順位(上から)")};
    static constexpr std::int32_t kMaxLevel = 3;
    static constexpr std::int32_t kPercentKind = 7;

    explicit OlapAxisSettings(CKWApp& app);

    const Combo& items(Axis axis) const { return axis == Axis::X ? xItems_ : yItems_; }
    const Combo& zItems() const { return zItems_; }
    const Combo& categories(Axis axis) const { return axis == Axis::X ? xCateg_ : yCateg_; }
    bool checked(Axis axis) const { return axis == Axis::X ? xCheck_ : yCheck_; }
    std::int32_t level(Axis axis) const { return axis == Axis::X ? xLevel_ : yLevel_; }
    std::int32_t kind() const { return kind_; }
    const std::string& percent() const { return percent_; }
    bool percentShown() const { return kind_ == kPercentKind; }

    // --- Filling ---
    // Only while the X item list is empty: "選択なし" (when there are items), then every item.
    void FillItemCombos();
    // The category list of the axis refilled for its item's type; empty without an item.
    void FillCategoryCombo(Axis axis);
    // Both category lists without a selection.
    void ClearCategoryCombos();
    // The fresh page: lists emptied and refilled, nothing chosen, levels 0, kind 0, "50".
    void Reset();

    // --- Choices: each records its step (SelectItemX ...) ---
    // An item chosen (-1 none); its category loses the selection.
    void selectItem(Axis axis, std::int32_t index);
    void selectCategory(Axis axis, std::int32_t index);
    void selectZItem(std::int32_t index);
    void toggleCheck(Axis axis);
    // A level move: 2 one left, 3 one right (recorded with position 0), 4 to `position` (the
    // thumb let go); the position stays within 0 to 3.
    void moveLevel(Axis axis, std::int32_t code, std::int32_t position);
    // Without a step: the position the level control shows (kept within 0 to 3).
    void setLevel(Axis axis, std::int32_t position);
    void selectKind(std::int32_t index);
    // The percentage put in as it stands (a player; the edit's typing), no step.
    void setPercent(std::string_view text);
    // The spin's step on the percentage, recorded as InputPercent.
    void stepPercent(bool up);
    // The edit's focus: leaving it with another text records InputPercent.
    void percentFocusIn();
    void percentFocusOut();

    // --- Display ---
    // True when the checks passed and the block was handed over.
    bool OnOlapDisplay(QWidget* owner, const std::function<std::int32_t()>& show);

private:
    Combo& itemsOf(Axis axis) { return axis == Axis::X ? xItems_ : yItems_; }
    Combo& categOf(Axis axis) { return axis == Axis::X ? xCateg_ : yCateg_; }
    bool check(QWidget* owner);
    CrossSettings collect() const;

    CKWApp& app_;
    Combo xItems_, yItems_, zItems_, xCateg_, yCateg_;
    bool xCheck_ = false, yCheck_ = false;
    std::int32_t xLevel_ = 0, yLevel_ = 0;
    std::int32_t kind_ = 0;
    std::string percent_ = "50";
    std::string percentKept_;
    bool percentMarked_ = false;
};
