// Timing one operation the same way on every side: repeated until enough time has been spent,
// and the median taken, so one slow run (another process, a page-cache miss) does not decide.
// pandas_side.py follows the same rule.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace zbq::bench {

// Runs at least until minSeconds have been spent, and at least minRuns times unless that would
// take more than budgetSeconds (a slow side is not run for minutes); never more than maxRuns.
struct MeasurePolicy {
    int minRuns = 3;
    int maxRuns = 50;
    double minSeconds = 1.0;
    double budgetSeconds = 10.0;
};

// Calls setup() untimed and run() timed, as the policy says; the median of the timed runs in
// seconds. run() returns false to stop at once (a failure); the median of what ran is kept, or
// -1 when nothing did.
template <typename Setup, typename Run>
double measure(const MeasurePolicy& policy, Setup&& setup, Run&& run) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> times;
    double total = 0;
    while (static_cast<int>(times.size()) < policy.maxRuns &&
           (total < policy.minSeconds ||
            (static_cast<int>(times.size()) < policy.minRuns && total < policy.budgetSeconds))) {
        setup();
        const auto start = Clock::now();
        const bool ok = run();
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        if (!ok) break;
        times.push_back(t);
        total += t;
    }
    if (times.empty()) return -1;
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

}  // namespace zbq::bench
