// ClassConditions: a category definition at a class level as the conditions of one axis of the
// cross tabulation, one engine call each, in the order the engine is to receive them.
//
// Level 1 takes every small class; level 2 every middle row, as the small class it names (or
// its reserved word), labelled with the middle name; level 3 every large row, expanded into the
// middle rows of the middle class it names, labelled with the large name. Rows of one label
// form one engine category. A member that names neither a reserved word nor a class below
// gives nothing; level 0, other levels and a definition without a value type give nothing.
//
// AddClassConditions hands the conditions to anything with the engine's Add calls (KW_search,
// CKWApp) between its InitCross and BuildCross of that axis. Pure functions; texts CP932.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/shared_records.h"

struct ClassCondition {
    enum Kind { Int, Double, String };
    Kind kind = Int;
    std::string label;
    std::int32_t code = -1;  // the engine's condition code (kw_condition.h)
    std::int32_t intFrom = 0, intTo = 0;
    double doubleFrom = 0, doubleTo = 0;
    std::string textFrom, textTo;

    bool operator==(const ClassCondition&) const = default;
};

std::vector<ClassCondition> ClassConditions(const CategoryDefinition& definition,
                                            std::int32_t level,
                                            const std::vector<std::string>& reservedWords);

// axis 0 X, 1 Y. The first refusal of the engine (negative), else 0.
template <typename CrossHost>
std::int32_t AddClassConditions(CrossHost& host, int axis,
                                const std::vector<ClassCondition>& conditions) {
    for (const ClassCondition& c : conditions) {
        std::int32_t rc = 0;
        const bool x = axis == 0;
        switch (c.kind) {
            case ClassCondition::Int:
                rc = x ? host.AddCrossXInt(c.label, c.code, c.intFrom, c.intTo)
                       : host.AddCrossYInt(c.label, c.code, c.intFrom, c.intTo);
                break;
            case ClassCondition::Double:
                rc = x ? host.AddCrossXDouble(c.label, c.code, c.doubleFrom, c.doubleTo)
                       : host.AddCrossYDouble(c.label, c.code, c.doubleFrom, c.doubleTo);
                break;
            case ClassCondition::String:
                rc = x ? host.AddCrossXString(c.label, c.code, c.textFrom, c.textTo)
                       : host.AddCrossYString(c.label, c.code, c.textFrom, c.textTo);
                break;
        }
        if (rc < 0) return rc;
    }
    return 0;
}
