// Our side of the comparison: the engine itself (KW_create, KW_search) on the questionnaire.
//
// build writes <work>/ours.zbq through the program's default in-memory limit (column files
// for a source above 50 MB); open loads it, and every query runs on that loaded set. A search
// and a recount include bringing every item's in-map counts up to date, which is what the
// other sides compute. Operations whose engine interface is not there yet report has() false.
#pragma once

#include <memory>
#include <string>

#include "bench/compare/side.h"

namespace zbq::bench {

class OursSide : public Side {
public:
    OursSide(std::string source, std::string workDir);
    ~OursSide() override;

    bool has(std::string_view op) const override;
    bool setup(std::string_view op) override;
    bool run(std::string_view op) override;
    bool answer(std::string_view op, Answer& out) override;

    const std::string& lastError() const { return error_; }

private:
    struct State;
    std::unique_ptr<State> s_;
    std::string error_;
};

}  // namespace zbq::bench
