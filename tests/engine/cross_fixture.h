// Fixtures of the cross tabulation tests: a KW_search loaded from a fixture table, conditions
// written as plain rows and put on an axis in the calling order of the cross-tab window, and
// a compact text picture of a result.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/kw_search.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {

struct LoadedTable {
    TempDir dir;
    KW_search s;
    explicit LoadedTable(const FixtureTable& table) {
        writeFixture(dir.file("cross.zbq"), table);
        EXPECT_EQ(s.KWopen(dir.file("cross.zbq"), ""), 0);
    }
};

// One condition; which bounds count depends on `kind`.
struct Cond {
    enum Kind { Int, Double, Text } kind;
    std::string label;
    std::int32_t op;
    std::int32_t intFrom = 0, intTo = 0;
    double doubleFrom = 0, doubleTo = 0;
    std::string textFrom = {}, textTo = {};
};

inline Cond ic(std::string label, std::int32_t op, std::int32_t a = 0, std::int32_t b = 0) {
    return {Cond::Int, std::move(label), op, a, b};
}
inline Cond dc(std::string label, std::int32_t op, double a, double b = 0) {
    return {Cond::Double, std::move(label), op, 0, 0, a, b};
}
inline Cond tc(std::string label, std::int32_t op, std::string a = {}, std::string b = {}) {
    return {Cond::Text, std::move(label), op, 0, 0, 0, 0, std::move(a), std::move(b)};
}

// Init, Add every condition, Build on the X (axis 0) or Y (axis 1) list.
inline void setAxis(KW_search& s, int axis, std::int32_t item, std::int32_t nameMode,
                    const std::vector<Cond>& conds) {
    const bool x = axis == 0;
    ASSERT_EQ(x ? s.InitCrossX(item, nameMode, static_cast<std::int32_t>(conds.size()))
                : s.InitCrossY(item, nameMode, static_cast<std::int32_t>(conds.size())),
              0);
    for (const Cond& c : conds) {
        std::int32_t rc = 0;
        switch (c.kind) {
            case Cond::Int:
                rc = x ? s.AddCrossXInt(c.label, c.op, c.intFrom, c.intTo)
                       : s.AddCrossYInt(c.label, c.op, c.intFrom, c.intTo);
                break;
            case Cond::Double:
                rc = x ? s.AddCrossXDouble(c.label, c.op, c.doubleFrom, c.doubleTo)
                       : s.AddCrossYDouble(c.label, c.op, c.doubleFrom, c.doubleTo);
                break;
            case Cond::Text:
                rc = x ? s.AddCrossXString(c.label, c.op, c.textFrom, c.textTo)
                       : s.AddCrossYString(c.label, c.op, c.textFrom, c.textTo);
                break;
        }
        ASSERT_EQ(rc, 0) << c.label;
    }
    ASSERT_EQ(x ? s.BuildCrossX() : s.BuildCrossY(), 0);
}

// The int cells row by row, "." for a cell without a value: "1 . 3|0 2 .".
inline std::string countGrid(const KW_search& s) {
    std::string out;
    for (std::int32_t y = 0; y < s.GetCrossYCount(); ++y) {
        if (y > 0) out += '|';
        for (std::int32_t x = 0; x < s.GetCrossXCount(); ++x) {
            if (x > 0) out += ' ';
            out += s.GetCrossCellFlag(x, y) == 0 ? std::to_string(s.GetCrossCount(x, y)) : ".";
        }
    }
    return out;
}

}  // namespace zbq::test
