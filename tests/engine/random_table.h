// A seeded random table with one item of every type, blanks and errors included, for tests
// that compare the engine with a naive reference over many records.
#pragma once

#include <random>
#include <string>

#include "tests/support/data_file_fixture.h"

namespace zbq::test {

inline FixtureTable randomTable(int records, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    FixtureTable t;
    t.title = "random";
    t.items = {{"int", KW_TYPE_INTEGER},
               {"float", KW_TYPE_FLOAT},
               {"text", KW_TYPE_STRING},
               {"code", KW_TYPE_STRING, {{"b", "Bee"}, {"a", "Ay"}, {"c", "Sea"}}},
               {"multi", KW_TYPE_MULTI, {{"x", "Ex"}, {"y", "Why"}, {"z", "Zed"}}},
               {"date", KW_TYPE_DATE},
               {"time", KW_TYPE_TIME}};
    // One cell in ten is blank, one in twenty an error; the values repeat often.
    auto cell = [&](auto value, const char* error) -> std::string {
        const int r = pick(20);
        if (r < 2) return "";
        if (r == 2) return error;
        return value();
    };
    for (int i = 0; i < records; ++i) {
        t.rows.push_back({
            cell([&] { return std::to_string(pick(40) - 20); }, "x"),
            cell([&] { return std::to_string(pick(30)) + ".25"; }, "e1e"),
            cell([&] { return std::string(1 + pick(2), static_cast<char>('a' + pick(20))); }, ""),
            cell([&] { return std::string(1, static_cast<char>('a' + pick(3))); }, "q"),
            cell(
                [&] {
                    std::string s(1, static_cast<char>('x' + pick(3)));
                    for (int n = pick(3); n > 0; --n)
                        s += std::string(",") + "xyzw"[pick(4)];
                    return s;
                },
                "w"),
            cell([&] { return "2024/" + std::to_string(1 + pick(12)) + "/1"; }, "2023/2/30"),
            cell([&] { return std::to_string(pick(24)) + ":00:00"; }, "25:00:00"),
        });
    }
    return t;
}

}  // namespace zbq::test
