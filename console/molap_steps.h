// The steps that replay an aggregation: the page's lists, totals and decimals, then its "実行".
// The aggregation window writes them in one burst after a build, from the parameters that build
// was given, leaving out what equals the page's defaults (an empty list, no totals, 0 places):
// SetXColumn, SetYColumn, SetSyukeiColumn, SetXTotal, SetYTotal, SetPoint, ExecuteMolap. A list
// is one field of "item:unit" pairs (or kinds) joined by TABs. CP932-free: numbers only.
#pragma once

#include <string>
#include <vector>

#include "app/analysis_window.h"

class CKWApp;

std::vector<std::string> molapSettingSteps(const MolapParams& params);

// Appends the burst to the macro being recorded; nothing when not recording or while a macro
// plays.
void RecordMolapSettings(CKWApp& app, const MolapParams& params);
