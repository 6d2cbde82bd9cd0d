// The SQLite side's column names, shared by its loader and its queries: v<i> holds item i's
// value, k<i> its kind (0 error, 1 blank, 2 value); a MultiAns item has a table a<i> instead.
#pragma once

#include <string>

#include "bench/gen/questionnaire.h"
#include "engine/kw_format.h"

namespace zbq::bench::sqlcol {

inline std::string num(int i) {
    return std::to_string(i);
}
inline std::string v(int i) {
    return "v" + num(i);
}
inline std::string k(int i) {
    return "k" + num(i);
}
inline bool isMulti(int i) {
    return questionnaireItems()[static_cast<std::size_t>(i)].type == KW_TYPE_MULTI;
}

}  // namespace zbq::bench::sqlcol
