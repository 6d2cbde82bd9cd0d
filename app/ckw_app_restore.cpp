// CKWApp, restoring state after a load: the display list, the record sets, the items free for
// search conditions and the categories, fresh for a data set built from a definition (load mode
// 1) or from the settings block of a data file (load mode 2); and the screen reset before a
// macro runs. Each step takes its part of the settings block over and empties it.
#include <algorithm>
#include <limits>
#include <unordered_set>
#include <utility>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"

namespace {

// Records a map selects among the data set's records; bits after the last record name no
// record and are not counted.
std::int32_t recordsIn(const KW_map& map, std::int32_t records) {
    std::vector<std::uint32_t> words(map.data(), map.data() + map.wordCount());
    if (records < map.wordCount() * 32) MapClearTail(words.data(), records);
    return MapCount(words.data(), map.byteLength());
}

// A map from the blob's bytes: 32-bit words, each little-endian, kept byte for byte.
KW_mapPtr mapFromBytes(const std::string& bytes, std::int32_t records) {
    auto map = std::make_shared<KW_map>(records);
    for (std::int32_t i = 0; i < map->wordCount(); ++i) {
        const auto* u = reinterpret_cast<const unsigned char*>(bytes.data()) + 4 * i;
        map->data()[i] = static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 8 |
                         static_cast<std::uint32_t>(u[2]) << 16 |
                         static_cast<std::uint32_t>(u[3]) << 24;
    }
    return map;
}

}  // namespace

std::int32_t CKWApp::RestoreDisplayList() {
    if (loadMode_ != 2 || !block_) return 1;
    std::unordered_set<std::int32_t> known;
    for (const CItemDef& item : structDef_.items)
        known.insert(item.itemNo);
    // An entry naming no item would leave the console a row it cannot show: dropped.
    displayItems_.clear();
    for (std::int32_t item : block_->displayItems)
        if (known.count(item)) displayItems_.push_back(item);
    block_->displayItems = {};
    return 1;
}

std::int32_t CKWApp::RestoreSets() {
    const std::int32_t records = search_.KWgetRecordCount();
    if (loadMode_ == 1) {
        const std::string& title = structDef_.title;
        SetRecord all;
        all.text1 = title;
        all.text2 = "No.0 " + title + " / " + FormatInteger(records);
        all.recordCount = records;
        sets_ = {std::move(all)};
        nextSetNo_ = 1;
        return 1;
    }
    if (loadMode_ != 2) return 1;

    bool ok = block_.has_value();
    std::vector<SetRecord> sets;
    if (ok) {
        const SettingsBlock& b = *block_;
        const std::int32_t loadedLength = search_.KWmapGetLength();
        ok = !b.sets.empty() && b.maps.size() + 1 == b.sets.size();
        for (std::size_t i = 0; ok && i < b.sets.size(); ++i) {
            const SettingsBlock::Set& entry = b.sets[i];
            // The set tree is rebuilt from the levels in pre-order (the whole data set first, at
            // the top; each later set at most one level below the one before it), and a new set
            // is numbered after the largest.
            ok = (i == 0 ? entry.level == 0
                         : entry.level >= 0 && entry.level <= b.sets[i - 1].level + 1) &&
                 entry.number >= 0 && entry.number < std::numeric_limits<std::int32_t>::max();
            if (!ok) break;
            SetRecord set;
            set.level = entry.level;
            set.number = entry.number;
            set.text1 = entry.text1;
            set.text2 = entry.text2;
            set.recordCount = records;
            if (i > 0) {
                const std::string& bytes = b.maps[i - 1];
                ok = static_cast<std::int32_t>(bytes.size()) == entry.mapLength &&
                     (bytes.empty() || entry.mapLength == loadedLength);
                if (ok && !bytes.empty()) {
                    set.map = mapFromBytes(bytes, records);
                    set.mapLength = entry.mapLength;
                    set.recordCount = recordsIn(*set.map, records);
                }
            }
            sets.push_back(std::move(set));
        }
    }
    if (!ok) {
        StopProgress();
        SetStatusText("");
        ShowError("内部データの取得に失敗しました");
        return 0;
    }

    SettingsBlock& b = *block_;
    restoredSetNo_ = b.markedSetNo;
    // Set numbers only grow: a next number at or below one in use would let two sets share it.
    std::int32_t next = b.nextSetNo;
    for (const SetRecord& set : sets)
        next = std::max(next, set.number + 1);
    nextSetNo_ = next;
    sets_ = std::move(sets);
    b.sets = {};
    b.maps = {};
    return 1;
}

void CKWApp::InitConditionItems() {
    conditionItems_.clear();
    for (const CItemDef& item : structDef_.items)
        conditionItems_.push_back(item.itemNo);
}

void CKWApp::RestoreCategories() {
    if (loadMode_ == 1) {
        categories_.clear();
        InitCategories(1);
    } else if (loadMode_ == 2) {
        InitCategories(0);
        categories_.clear();
        if (block_) categories_ = std::exchange(block_->categories, {});
    }
}

void CKWApp::InitCategories(std::int32_t addBuiltIn) {
    reservedWords_ = {"Brank", "Error", "Normal", "Others"};
    if (addBuiltIn == 0) return;
    CategoryDefinition builtIn;
    builtIn.name = zbq::cp932::literal("単一");
    builtIn.valueType = 0;
    builtIn.smallClasses = {{zbq::cp932::literal("正常値"), 0, "Normal", ""},
                            {zbq::cp932::literal("エラー値"), 0, "Others", ""}};
    builtIn.middleClasses = {{zbq::cp932::literal("全部"), "Others"}};
    categories_.push_back(std::move(builtIn));
}

void CKWApp::SelectRestoredSet() {
    KW_mapPtr map;
    if (restoredSetNo_ >= 0) map = GetSetRecord(restoredSetNo_).map;
    if (map)
        KWmapSet(map);
    else
        KWmapClear();
}

std::int32_t CKWApp::UpdateDisplayItems() {
    displayItems_.clear();
    std::optional<std::vector<std::int32_t>> rows = console_->DisplayListItems();
    if (!rows) return 0;
    displayItems_ = std::move(*rows);
    return 1;
}

void CKWApp::SetGridItems() {
    gridItems_ = displayItems_;
}

void CKWApp::ResetScreen() {
    // The windows go before the pages are reset: a page's reset refreshes every open window, and
    // one about to close would be recomputed (an aggregation run again) for nothing.
    windows_->ShowConsole();
    windows_->ResetWindows();
    if (sets_.size() > 1) sets_.resize(1);
    KWmapClear();
    nextSetNo_ = 1;
    conditions_.clear();
    InitConditionItems();
    categories_.clear();
    InitCategories(1);
    console_->ResetPages();
}
