// MolapSettings: the multi-dimensional aggregation page without widgets. Four row lists (the
// item list, the X and Y axes, the aggregation list), the total mode of each axis (0 none,
// 1 grand total, 2 subtotals and grand total), the decimals (0 to 5) and the aggregation row
// whose kind the five kind radios show. The page's widgets show this state; the user's actions
// and the macro players change it through the calls below.
//
// A row is an item, its name and the code of the suffix shown after a TAB (a date grouping
// 1 to 6 or a value unit 110 to 230; 0 none); aggregation rows also carry their kind (0 件数,
// 1 合計, 2 平均, 3 最大値, 4 最小値). Two rows are the same text when name and suffix agree, so
// an item grouped by year is not the same as the item ungrouped. Refusals come back as message
// texts (UTF-8) for the page to show; nothing is changed after them but the rows already added
// in the same action. Names are CP932 bytes. User-interface thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/analysis_window.h"
#include "app/mixed_text.h"
#include "platform/core/shown_text.h"

class CKWApp;

enum class MolapList { Items, X, Y, Sum };

struct MolapRow {
    std::int32_t item = 0;
    std::string name;
    std::int32_t code = 0;
    std::int32_t kind = 0;
    bool operator==(const MolapRow&) const = default;
};

// The suffix of a code, CP932 with its full-width brackets; "" for 0 and for every code the
// table lacks.
std::string molapSuffixOf(std::int32_t code);
// The code of a suffix; 0 for a text the table lacks.
std::int32_t molapCodeOfSuffix(std::string_view suffix);
// The row's text: the name, then TAB and the suffix when it has one. The suffix is a word of
// ours: the list shows it through `shown`, in the language in force; the code is read back from
// the Japanese only.
std::string molapRowText(const MolapRow& row, ShownWordOf shown = nullptr);
inline bool isMolapDateCode(std::int32_t code) {
    return code >= 1 && code <= 6;
}

// What a drop did besides changing the lists.
struct MolapDropResult {
    const char* message = nullptr;  // UTF-8, null when nothing was refused
    bool radiosCleared = false;
};

struct MolapLists {
    std::vector<MolapRow> items, x, y, sum;
    std::vector<MolapRow>& of(MolapList list);
    const std::vector<MolapRow>& of(MolapList list) const;
    bool operator==(const MolapLists&) const = default;
};

// Rows `rows` (indexes into the source, ascending) of `source` dragged onto `target` (nullopt:
// dropped outside the four lists). Onto the item list the rows leave their list; onto an axis
// they are appended up to five rows and no text twice, and those appended leave a list other
// than the item list; onto the aggregation list they are appended as 件数 and leave an axis. A
// drop onto its own list or outside changes nothing. Rows taken from the aggregation list
// clear the kind radios.
MolapDropResult dropMolapRows(MolapLists& lists, MolapList source, std::optional<MolapList> target,
                              const std::vector<int>& rows);

class MolapSettings {
public:
    static constexpr int kMaxAxisItems = 5;
    static constexpr int kKindCount = 5;
    static constexpr int kMaxDecimals = 5;
    static constexpr const char* kKinds[kKindCount] = {ZBQ_SHOWN("件数"), ZBQ_SHOWN("合計"),
                                                       ZBQ_SHOWN("平均"), ZBQ_SHOWN("最大値"),
                                                       ZBQ_SHOWN("最小値")};  // UTF-8
    static constexpr const char* kTooMany =
        ZBQ_SHOWN("これ以上設定できません。設定できる項目数は５項目までです。");
    static constexpr const char* kAlreadySet = ZBQ_SHOWN("指定の項目は既に設定されています。");
    static constexpr const char* kNoAxis = ZBQ_SHOWN("X軸，Y軸に項目を設定してください。");

    // The five kind radios: which may be chosen and which is checked (-1 none).
    struct KindRadios {
        std::array<bool, kKindCount> enabled{};
        std::int32_t checked = -1;
        bool operator==(const KindRadios&) const = default;
    };

    explicit MolapSettings(CKWApp& app);

    const MolapLists& lists() const { return lists_; }
    const std::vector<MolapRow>& rows(MolapList list) const { return lists_.of(list); }
    std::int32_t totalMode(MolapList axis) const {
        return axis == MolapList::X ? xTotal_ : yTotal_;
    }
    std::int32_t decimals() const { return decimals_; }
    const KindRadios& kindRadios() const { return radios_; }
    // The aggregation row the kind radios speak for; -1 none.
    std::int32_t currentSumRow() const { return currentSumRow_; }
    bool executeEnabled() const { return executeEnabled_; }

    // --- Filling ---
    // Only while the item list is empty: every item but MultiAns ones, in definition order.
    void FillItemList();
    // Every list emptied and the item list refilled, no kind radios; totals and decimals kept.
    void ResetLists();
    // "クリア": ResetLists, no totals, decimals 0.
    void Clear();

    // --- The setters of the players ---
    void SetXItems(const std::vector<std::int32_t>& items, const std::vector<std::int32_t>& codes);
    void SetYItems(const std::vector<std::int32_t>& items, const std::vector<std::int32_t>& codes);
    // Kinds beyond the list read 0.
    void SetSumItems(const std::vector<std::int32_t>& items, const std::vector<std::int32_t>& kinds,
                     const std::vector<std::int32_t>& units);
    // 1 or 2; any other mode is no totals.
    void SetXTotalMode(std::int32_t mode);
    void SetYTotalMode(std::int32_t mode);
    void SetDecimalPlaces(std::int32_t index);
    void EnableExecute(bool enable) { executeEnabled_ = enable; }

    // --- The user's actions ---
    // "X軸へ", "Y軸へ": the selected item rows appended to the axis; the refusal that stopped it.
    const char* copyToAxis(MolapList axis, const std::vector<int>& itemRows);
    // "集計へ": the selected item rows appended as 件数.
    void copyToSum(const std::vector<int>& itemRows);
    // A drag dropped; see dropMolapRows.
    const char* drop(MolapList source, std::optional<MolapList> target,
                     const std::vector<int>& rows);
    // The Delete key: the rows leave any list but the item list.
    void removeRows(MolapList list, const std::vector<int>& rows);
    // A click on the aggregation list with these rows selected: one row shows its kind.
    void selectSumRows(const std::vector<int>& rows);
    void ClearKindRadios();
    // A kind radio chosen for the current aggregation row.
    void chooseKind(std::int32_t kind);

    // --- Menus ---
    // The date menu serves exactly one selected axis row of a Date item.
    bool dateMenuFor(MolapList list, const std::vector<int>& rows) const;
    // The unit menu serves exactly one selected aggregation row of kind 合計 or 平均.
    bool unitMenuFor(const std::vector<int>& rows) const;
    // The row's suffix replaced by a date grouping (0 removes it).
    void setGrouping(MolapList list, int row, std::int32_t code);
    // The row's suffix replaced by a value unit (unit 1 or 2, rounding 1 to 3); other values
    // change nothing.
    void setUnit(int row, std::int32_t unit, std::int32_t rounding);
    void clearUnit(int row);
    // The unit and rounding of a row's suffix (0, 0 without one).
    std::pair<std::int32_t, std::int32_t> unitOf(int row) const;

    // --- "実行" ---
    // The ten parameters the lists hold, and "実行" disabled with the radios cleared; nullopt
    // (kNoAxis in `message`) when both axes are empty.
    std::optional<MolapParams> collect(const char** message);

private:
    void setAxis(std::vector<MolapRow>& list, const std::vector<std::int32_t>& items,
                 const std::vector<std::int32_t>& codes);
    MolapRow rowOf(std::int32_t item, std::int32_t code) const;
    bool validRow(MolapList list, int row) const;

    CKWApp& app_;
    MolapLists lists_;
    std::int32_t xTotal_ = 0, yTotal_ = 0, decimals_ = 0;
    KindRadios radios_;
    std::int32_t currentSumRow_ = -1;
    bool executeEnabled_ = true;
};
