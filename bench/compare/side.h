// One side of the comparison (our engine, SQLite, or the pandas script's results): runs the
// operations of operations.h and gives their answers.
//
// For every operation the driver calls setup() untimed, run() timed (repeatedly), then
// answer() once, untimed. An operation a side cannot do yet reports has() false.
#pragma once

#include <string_view>

#include "bench/compare/answer.h"

namespace zbq::bench {

class Side {
public:
    virtual ~Side() = default;
    virtual bool has(std::string_view op) const = 0;
    // Untimed preparation before each run (a fresh output file, the set an operation needs).
    virtual bool setup(std::string_view op) = 0;
    virtual bool run(std::string_view op) = 0;
    virtual bool answer(std::string_view op, Answer& out) = 0;
};

}  // namespace zbq::bench
