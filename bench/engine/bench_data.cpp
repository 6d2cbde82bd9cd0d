// Generating and building the benchmark data once, kept in a folder between runs.
#include "bench/engine/bench_data.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include "bench/gen/questionnaire.h"
#include "engine/kw_create.h"

namespace zbq::bench {
namespace {

// Bumped whenever the generator's output changes, so old sets are not reused.
constexpr int kDataVersion = 1;

[[noreturn]] void die(const std::string& what, int err) {
    std::fprintf(stderr, "benchmark data: %s: %s\n", what.c_str(), std::strerror(err));
    std::exit(1);
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

BenchData make(std::int64_t records) {
    const char* root = std::getenv("ZBQ_BENCH_DIR");
    BenchData d;
    d.records = records;
    d.dir = std::string(root != nullptr && *root != '\0' ? root : "/tmp/zbq-bench") + "/q" +
            std::to_string(records) + "-s" + std::to_string(kDefaultSeed) + "-v" +
            std::to_string(kDataVersion);
    d.source = d.dir + "/questionnaire.dat";
    d.dataFile = d.dir + "/questionnaire.zbq";
    const std::string stamp = d.dir + "/complete";
    std::error_code ec;
    std::filesystem::create_directories(d.dir, ec);
    if (ec) die(d.dir, ec.value());
    if (!exists(stamp)) {
        std::fprintf(stderr, "Generating %lld records into %s ...\n",
                     static_cast<long long>(records), d.dir.c_str());
        if (const int e = writeSource(d.source, records, kDefaultSeed); e != 0) die(d.source, e);
        if (const int e = writeDefinition(d.dir + "/questionnaire.def"); e != 0) die(d.dir, e);
        if (const int e = writeItemsJson(d.dir + "/items.json"); e != 0) die(d.dir, e);
        QuietHost host(1 << 20);
        KW_create create;
        create.SetOwner(&host);
        describe(create);
        if (const std::int32_t r = create.KWcreate(d.source, d.dataFile, '\t', 1); r != 0) {
            std::fprintf(stderr, "benchmark data: building %s failed: %d\n", d.dataFile.c_str(), r);
            std::exit(1);
        }
        if (std::FILE* f = std::fopen(stamp.c_str(), "w")) std::fclose(f);
    }
    d.sourceBytes = static_cast<std::int64_t>(std::filesystem::file_size(d.source, ec));
    return d;
}

}  // namespace

std::int64_t benchRecords() {
    std::int64_t n = 1'000'000;
    if (const char* env = std::getenv("ZBQ_BENCH_RECORDS"); env != nullptr && *env != '\0') {
        if (!parseRecordCount(env, n)) {
            std::fprintf(stderr, "ZBQ_BENCH_RECORDS: not a record count: %s\n", env);
            std::exit(2);
        }
    }
    return n;
}

const BenchData& benchData(std::int64_t records) {
    static std::map<std::int64_t, BenchData> made;
    auto it = made.find(records);
    if (it == made.end()) it = made.emplace(records, make(records)).first;
    return it->second;
}

}  // namespace zbq::bench
