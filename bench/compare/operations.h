// The operations of the comparison, each with what it means on every side. The same list, in
// the same order and with the same ids, is in pandas_side.py and duckdb/duckdb_side.mjs; the
// ids name the answer files.
//
// Items by number (bench/gen/questionnaire.h): 1 性別 (sex), 11 居住地 (prefecture), 12 趣味
// (hobbies, multiple answers), 14 年齢 (age), 15 得点 (score) and so on.
#pragma once

#include <array>
#include <string_view>

namespace zbq::bench {

struct Operation {
    std::string_view id;
    std::string_view caption;
    std::string_view counterpart;  // what the other sides do for it
};

inline constexpr std::array kOperations = {
    Operation{"build", "build from text (20 items)",
              "SQLite: parse, INSERT in one transaction, indexes; pandas: read_csv, "
              "typed columns, codes as categories; DuckDB: the text made UTF-8, read_csv, typed "
              "columns (codes as ENUM) into its database file"},
    Operation{"open", "open",
              "SQLite and DuckDB: database file copied into memory; pandas: read_pickle of the "
              "frames"},
    Operation{"search1", "search, 1 term, counts made current",
              "the filter (sex = 1) and every item's value counts of the selected records"},
    Operation{"search3", "search, 3 terms, counts made current",
              "(age >= 40 AND score < 60.5) OR hobbies has 3, and every item's value counts"},
    Operation{"set_product", "set product", "A AND B of two stored sets, counted"},
    Operation{"set_union", "set union", "A OR B, counted"},
    Operation{"set_difference", "set difference", "A AND NOT B, counted"},
    Operation{"set_complement", "set complement", "NOT A, counted"},
    Operation{"recount", "recount of every item in a set", "every item's value counts in set A"},
    Operation{"stats", "statistics of two items in a set",
              "sum, mean and population deviation of age and score in set A"},
    Operation{"cross_count", "cross tab 100 x 50, count",
              "GROUP BY age, prefecture (SQLite: along a covering index) / groupby().size()"},
    Operation{"cross_sum", "cross tab 100 x 50, sum of score",
              "GROUP BY age, prefecture: count and sum of ordinary scores"},
    Operation{"cross_pct", "cross tab 22 x 50, 50 % from the top of age",
              "per (occupation, prefecture) the age at which the share from the top reaches 50 %"},
    Operation{"cross_cond", "cross tab on class conditions, count",
              "GROUP BY age class, region: CASE expressions / pd.cut, and the prefecture "
              "cells mapped to regions"},
    Operation{"molap_2x2", "aggregation 2 + 2 items, subtotals",
              "one GROUP BY of all four keys, and every pair of key prefixes (3 x 3) grouped "
              "from its result: count, sum, min, max"},
    Operation{"molap_5x5", "aggregation 5 + 5 items, subtotals",
              "one GROUP BY of all ten keys, and every pair of key prefixes (6 x 6) grouped "
              "from its result"},
    Operation{"drill", "drill into one aggregation cell",
              "the cell's records counted (SQLite: through an index on its four keys)"},
};

}  // namespace zbq::bench
