#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/olap_axis.h"

#include <algorithm>

#include <QString>

#include "app/step_text.h"
#include "console/up_down_edit.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/prompts.h"

namespace {

// Item types of the Z checks.
constexpr std::int32_t kCode = 0, kMultiAns = 1, kString = 4, kDate = 5, kTime = 7;
constexpr std::int32_t kSum = 3, kAverage = 4;

// Class levels a definition has: 3 with large rows, 2 with middle rows, 1 with small ones.
std::int32_t depthOf(const CategoryDefinition& definition) {
    if (!definition.largeClasses.empty()) return 3;
    if (!definition.middleClasses.empty()) return 2;
    if (!definition.smallClasses.empty()) return 1;
    return 0;
}

}  // namespace

const OlapAxisSettings::Entry* OlapAxisSettings::Combo::current() const {
    return selected >= 0 && selected < count() ? &entries[static_cast<std::size_t>(selected)]
                                               : nullptr;
}

OlapAxisSettings::OlapAxisSettings(CKWApp& app) : app_(app) {}

// --- Filling ---

void OlapAxisSettings::FillItemCombos() {
    if (!xItems_.entries.empty()) return;
    for (Combo* combo : {&xItems_, &yItems_, &zItems_})
        *combo = Combo{};
    const std::vector<CItemDef>& items = app_.GetStructDef().items;
    if (!items.empty()) zItems_.entries.push_back(Entry{zbq::cp932::literal(kNoZ), -2});
    for (const CItemDef& item : items)
        for (Combo* combo : {&xItems_, &yItems_, &zItems_})
            combo->entries.push_back(Entry{item.name, item.itemNo});
}

void OlapAxisSettings::FillCategoryCombo(Axis axis) {
    Combo& categ = categOf(axis);
    categ = Combo{};
    const Entry* item = itemsOf(axis).current();
    if (!item) return;
    const std::int32_t type = app_.GetItemType(item->data);
    const std::vector<CategoryDefinition>& list = app_.GetCategoryList();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (CKWApp::IsCategoryTypeCompatible(type, list[i].valueType))
            categ.entries.push_back(Entry{list[i].name, static_cast<std::int32_t>(i)});
}

void OlapAxisSettings::ClearCategoryCombos() {
    xCateg_.selected = -1;
    yCateg_.selected = -1;
}

void OlapAxisSettings::Reset() {
    for (Combo* combo : {&xItems_, &yItems_, &zItems_, &xCateg_, &yCateg_})
        *combo = Combo{};
    xCheck_ = yCheck_ = false;
    xLevel_ = yLevel_ = 0;
    kind_ = 0;
    percent_ = "50";
    percentMarked_ = false;
    FillItemCombos();
}

// --- Choices ---

void OlapAxisSettings::selectItem(Axis axis, std::int32_t index) {
    Combo& items = itemsOf(axis);
    items.selected = index >= 0 && index < items.count() ? index : -1;
    categOf(axis).selected = -1;
    app_.Record(
        StepBuilder(axis == Axis::X ? "SelectItemX" : "SelectItemY").number(items.selected));
}

void OlapAxisSettings::selectCategory(Axis axis, std::int32_t index) {
    Combo& categ = categOf(axis);
    categ.selected = index >= 0 && index < categ.count() ? index : -1;
    app_.Record(
        StepBuilder(axis == Axis::X ? "SelectCategX" : "SelectCategY").number(categ.selected));
}

void OlapAxisSettings::selectZItem(std::int32_t index) {
    zItems_.selected = index >= 0 && index < zItems_.count() ? index : -1;
    app_.Record(StepBuilder("SelectItemZ").number(zItems_.selected));
}

void OlapAxisSettings::toggleCheck(Axis axis) {
    bool& check = axis == Axis::X ? xCheck_ : yCheck_;
    check = !check;
    app_.Record(StepBuilder(axis == Axis::X ? "CheckX" : "CheckY"));
}

void OlapAxisSettings::setLevel(Axis axis, std::int32_t position) {
    (axis == Axis::X ? xLevel_ : yLevel_) = std::clamp(position, 0, kMaxLevel);
}

void OlapAxisSettings::moveLevel(Axis axis, std::int32_t code, std::int32_t position) {
    const std::int32_t now = level(axis);
    if (code == 2) setLevel(axis, now - 1);
    if (code == 3) setLevel(axis, now + 1);
    if (code == 4) setLevel(axis, position);
    if (code < 2 || code > 4) return;
    app_.Record(StepBuilder(axis == Axis::X ? "SelectCategLevelX" : "SelectCategLevelY")
                    .number(code)
                    .number(code == 4 ? level(axis) : 0));
}

void OlapAxisSettings::selectKind(std::int32_t index) {
    kind_ = index >= 0 && index <= 7 ? index : -1;
    app_.Record(StepBuilder("SelectAggregateKind").number(kind_));
}

void OlapAxisSettings::setPercent(std::string_view text) {
    percent_ = std::string(text);
}

void OlapAxisSettings::stepPercent(bool up) {
    percent_ = up ? upDownStepUp(percent_) : upDownStepDown(percent_);
    app_.Record(StepBuilder("InputPercent").textOrAsk(percent_, app_.macro().isVariable()));
}

void OlapAxisSettings::percentFocusIn() {
    percentKept_ = percent_;
    percentMarked_ = true;
}

void OlapAxisSettings::percentFocusOut() {
    if (!percentMarked_) return;
    percentMarked_ = false;
    if (percent_ != percentKept_)
        app_.Record(StepBuilder("InputPercent").textOrAsk(percent_, app_.macro().isVariable()));
}

// --- Display ---

bool OlapAxisSettings::check(QWidget* owner) {
    auto refuse = [owner](const char* text, zbq::ui::Icon icon) {
        zbq::ui::prompts().message(owner, QString::fromUtf8(text),
                                   QString::fromUtf8(CKWApp::kCaption), icon);
        return false;
    };
    using zbq::ui::Icon;
    if (!xItems_.current() || !yItems_.current())
        return refuse(ZBQ_SHOWN("Ｘ軸、Ｙ軸の指定が不正です"), Icon::Exclamation);
    const std::vector<CategoryDefinition>& list = app_.GetCategoryList();
    for (Axis axis : {Axis::X, Axis::Y}) {
        const Entry* categ = categories(axis).current();
        if (!categ || categ->data < 0 || categ->data >= static_cast<std::int32_t>(list.size()))
            continue;
        const std::int32_t depth = depthOf(list[static_cast<std::size_t>(categ->data)]);
        if (level(axis) > depth) setLevel(axis, depth);
    }
    const std::int32_t percent = ReadStepInt(percent_);
    if (percent < 0 || percent > 100)
        return refuse(ZBQ_SHOWN("％順位値の値が異常です"), Icon::Exclamation);
    const Entry* z = zItems_.current();
    const bool noZ = !z || z->data < 0;
    if (noZ && kind_ != 0)
        return refuse(ZBQ_SHOWN("この集計にはＺ軸指定が必要です"), Icon::Information);
    if (noZ) return true;
    const std::int32_t type = app_.GetItemType(z->data);
    // The engine sums and averages neither codes, texts nor multiple answers.
    if ((type == kCode || type == kString || type == kMultiAns) &&
        (kind_ == kSum || kind_ == kAverage))
        return refuse(ZBQ_SHOWN("この項目の合計・平均は算出できません"), Icon::Information);
    if ((type == kDate || type == kTime) && kind_ == kSum)
        return refuse(ZBQ_SHOWN("この項目の合計は算出できません"), Icon::Information);
    return true;
}

CrossSettings OlapAxisSettings::collect() const {
    CrossSettings block;
    block.xItem = xItems_.current()->data;
    block.yItem = yItems_.current()->data;
    if (const Entry* categ = xCateg_.current()) block.xCategory = categ->data;
    if (const Entry* categ = yCateg_.current()) block.yCategory = categ->data;
    block.xCheck = xCheck_ ? 1 : 0;
    block.yCheck = yCheck_ ? 1 : 0;
    block.xLevel = xLevel_;
    block.yLevel = yLevel_;
    if (kind_ >= 1 && kind_ <= 7) block.kind = kind_;
    if (const Entry* z = zItems_.current(); z && z->data >= 0) block.zItem = z->data;
    if (kind_ == kPercentKind) block.percentage = ReadStepDouble(percent_);
    return block;
}

bool OlapAxisSettings::OnOlapDisplay(QWidget* owner, const std::function<std::int32_t()>& show) {
    if (!check(owner)) return false;
    const CrossSettings block = collect();
    app_.SetCrossSettings(block);
    if (show && show() != 0) app_.Record(StepBuilder("DispOlap"));
    return true;
}
