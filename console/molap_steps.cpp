#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/molap_steps.h"

namespace {

std::string pairs(const std::vector<std::int32_t>& items, const std::vector<std::int32_t>& units) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) text += '\t';
        text += std::to_string(items[i]) + ':' + std::to_string(i < units.size() ? units[i] : 0);
    }
    return text;
}

std::string numbers(const std::vector<std::int32_t>& values, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) text += '\t';
        text += std::to_string(i < values.size() ? values[i] : 0);
    }
    return text;
}

}  // namespace

std::vector<std::string> molapSettingSteps(const MolapParams& p) {
    std::vector<std::string> steps;
    if (!p.xItems.empty()) steps.push_back("SetXColumn," + pairs(p.xItems, p.xDateUnits));
    if (!p.yItems.empty()) steps.push_back("SetYColumn," + pairs(p.yItems, p.yDateUnits));
    if (!p.zItems.empty())
        steps.push_back("SetSyukeiColumn," + pairs(p.zItems, p.zUnits) + ',' +
                        numbers(p.zKinds, p.zItems.size()));
    if (p.xTotalMode > 0) steps.push_back("SetXTotal," + std::to_string(p.xTotalMode));
    if (p.yTotalMode > 0) steps.push_back("SetYTotal," + std::to_string(p.yTotalMode));
    if (p.decimalsIndex > 0) steps.push_back("SetPoint," + std::to_string(p.decimalsIndex));
    steps.push_back("ExecuteMolap");
    return steps;
}

void RecordMolapSettings(CKWApp& app, const MolapParams& params) {
    MacroPort& macro = app.macro();
    if (!macro.isRecording() || macro.isPlaying()) return;
    for (const std::string& step : molapSettingSteps(params))
        macro.record(step);
}
