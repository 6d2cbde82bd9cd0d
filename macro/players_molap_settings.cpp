// Players of the aggregation settings page's commands. Each sets the page's lists, totals or
// decimals through its setters and shows them; ExecuteMolap presses "実行". Lists arrive as one
// field of TAB-separated pieces. What the page could never hold is refused as an invalid
// parameter and changes nothing: more than five items or the same row twice on an axis, a
// number that is no item or a MultiAns item, fewer kinds than aggregated items, a kind outside
// 0 to 4, decimals outside 0 to 5. Unknown unit codes show no suffix; a total mode other than
// 1 or 2 is no totals.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <algorithm>
#include <set>
#include <utility>

#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/molap_page.h"
#include "macro/cmacro.h"
#include "macro/players.h"

namespace {

constexpr std::int32_t kMultiAns = 1;

COlap2Page* pageOf(CMacro& macro) {
    auto* console = qobject_cast<CConsSheet*>(macro.App().windows().console());
    return console ? console->MolapPage() : nullptr;
}

bool aggregatable(const CKWApp& app, std::int32_t item) {
    const std::int32_t type = app.GetItemType(item);
    return type >= 0 && type != kMultiAns;
}

std::int32_t playAxis(CMacro& macro, StepFields& fields, MolapList axis) {
    COlap2Page* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    std::vector<std::int32_t> items, units;
    ParseColumnPairs(fields[1], '\t', items, units);
    if (items.size() > static_cast<std::size_t>(MolapSettings::kMaxAxisItems))
        return macro.MacroErrorInvalidParameter(fields[0]);
    std::set<std::pair<std::int32_t, std::int32_t>> rows;
    for (std::size_t i = 0; i < items.size(); ++i) {
        // The page shows a unit it has no suffix for as none: such rows are the same text.
        const std::int32_t shown = isMolapDateCode(units[i]) ? units[i] : 0;
        if (!aggregatable(macro.App(), items[i]) || !rows.emplace(items[i], shown).second)
            return macro.MacroErrorInvalidParameter(fields[0]);
    }
    if (axis == MolapList::X)
        page->settings().SetXItems(items, units);
    else
        page->settings().SetYItems(items, units);
    page->sync();
    return 1;
}

std::int32_t playTotal(CMacro& macro, StepFields& fields, MolapList axis) {
    COlap2Page* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t mode = ReadStepInt(fields[1]);
    if (axis == MolapList::X)
        page->settings().SetXTotalMode(mode);
    else
        page->settings().SetYTotalMode(mode);
    page->sync();
    return 1;
}

}  // namespace

std::int32_t PlaySetXColumn(CMacro& macro, StepFields& fields) {
    return playAxis(macro, fields, MolapList::X);
}

std::int32_t PlaySetYColumn(CMacro& macro, StepFields& fields) {
    return playAxis(macro, fields, MolapList::Y);
}

std::int32_t PlaySetSyukeiColumn(CMacro& macro, StepFields& fields) {
    COlap2Page* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    std::vector<std::int32_t> items, units, kinds;
    ParseColumnPairs(fields[1], '\t', items, units);
    ParseNumberList(fields[2], '\t', kinds);
    if (kinds.size() < items.size()) return macro.MacroErrorInvalidParameter(fields[0]);
    const bool valid =
        std::all_of(items.begin(), items.end(),
                    [&](std::int32_t item) { return aggregatable(macro.App(), item); }) &&
        std::all_of(kinds.begin(), kinds.end(), [](std::int32_t kind) {
            return kind >= 0 && kind < MolapSettings::kKindCount;
        });
    if (!valid) return macro.MacroErrorInvalidParameter(fields[0]);
    page->settings().SetSumItems(items, kinds, units);
    page->sync();
    return 1;
}

std::int32_t PlaySetXTotal(CMacro& macro, StepFields& fields) {
    return playTotal(macro, fields, MolapList::X);
}

std::int32_t PlaySetYTotal(CMacro& macro, StepFields& fields) {
    return playTotal(macro, fields, MolapList::Y);
}

std::int32_t PlaySetPoint(CMacro& macro, StepFields& fields) {
    COlap2Page* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t places = ReadStepInt(fields[1]);
    if (places < 0 || places > MolapSettings::kMaxDecimals)
        return macro.MacroErrorInvalidParameter(fields[0]);
    page->settings().SetDecimalPlaces(places);
    page->sync();
    return 1;
}

// The page's own refusal or the window's messages have told the user; the run goes on.
std::int32_t PlayExecuteMolap(CMacro& macro, StepFields&) {
    COlap2Page* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    page->OnExecute();
    return 1;
}
