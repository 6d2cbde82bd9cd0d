// The data every engine benchmark runs on: the questionnaire of bench/gen, generated and built
// once and kept between runs.
//
// The folder is $ZBQ_BENCH_DIR, else /tmp/zbq-bench; inside it one subfolder per size and seed
// holds questionnaire.dat (the source) and questionnaire.zbq (the data file built from it). A
// stamp file written last marks a complete set, so an interrupted run makes it again. The
// record count is $ZBQ_BENCH_RECORDS ("100k", "1M", "10M"), else 1M.
//
// Not thread-safe; call from the benchmark's main thread. Failures end the program with a
// message: a benchmark without its data has nothing to say.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/engine_host.h"

namespace zbq::bench {

struct BenchData {
    std::string dir;
    std::string source;    // tab-separated text with a heading line
    std::string dataFile;  // built from the source
    std::int64_t records = 0;
    std::int64_t sourceBytes = 0;
};

// The record count the benchmarks run at.
std::int64_t benchRecords();
// The data set of `records` records (default seed), made when missing.
const BenchData& benchData(std::int64_t records = benchRecords());

// A host that shows nothing and pumps nothing, with a chosen in-memory limit.
class QuietHost : public EngineHost {
public:
    explicit QuietHost(int memoryMb = kDefaultMemoryReadCsvSizeMb) : memoryMb_(memoryMb) {}
    void setStatusText(std::string_view) override {}
    void pumpMessages() override {}
    int memoryReadCsvSizeMb() override { return memoryMb_; }

private:
    int memoryMb_;
};

}  // namespace zbq::bench
