// Building a data file from a text table of 1,000,000 records x 10 items of mixed types
// (about 60 MB of tab-separated text), once in memory and once through column files.
//
// The table is generated once per run into a temporary folder, deterministically: integers
// of high and low cardinality, floats, strings (CP932 names and free text), a Code item, a
// MultiAns item, dates and times, with blanks and errors sprinkled in.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "engine/kw_create.h"
#include "platform/core/engine_host.h"

namespace {

constexpr int kRecords = 1'000'000;

class BenchHost : public zbq::EngineHost {
public:
    explicit BenchHost(int memoryMb) : memoryMb_(memoryMb) {}
    void setStatusText(std::string_view) override {}
    void pumpMessages() override {}
    int memoryReadCsvSizeMb() override { return memoryMb_; }

private:
    int memoryMb_;
};

// The generated source, made once and removed at exit.
struct Source {
    std::string dir;
    std::string path;
    std::size_t bytes = 0;

    Source() {
        char pattern[] = "/tmp/zbq-bench-XXXXXX";
        dir = ::mkdtemp(pattern);
        path = dir + "/source.txt";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::mt19937 rng(2024);
        // Half-width katakana and double-byte CP932 syllables for names.
        const char* syllables[] = {"\xB1",     "\xB2",     "\xB3",     "\x82\xA0", "\x82\xA2",
                                   "\x88\x9F", "\x8E\x52", "\x93\x63", "\x92\x86", "\x89\xC4"};
        const char* hobbies[] = {"a", "b", "c", "d", "e", "f", "g", "h"};
        std::string line;
        auto num = [&](unsigned n) { line += std::to_string(n); };
        for (int r = 0; r < kRecords; ++r) {
            line.clear();
            num(static_cast<unsigned>(r) + 1);  // id: unique
            line += '\t';
            num(rng() % 100);  // age
            line += '\t';
            num(rng() % 100000);  // score
            line += '.';
            num(10 + rng() % 90);
            line += '\t';  // name
            for (unsigned k = 0, n = 2 + rng() % 2; k < n; ++k)
                line += syllables[rng() % 10];
            line += "\tcomment ";  // free text
            num(rng() % 200000);
            line += '\t';
            num(1 + rng() % 3);  // gender code
            line += '\t';        // hobbies
            for (unsigned k = 0, n = 1 + rng() % 3; k < n; ++k) {
                if (k > 0) line += ',';
                line += hobbies[rng() % 8];
            }
            line += '\t';  // date
            num(1990 + rng() % 35);
            line += '/';
            num(1 + rng() % 12);
            line += '/';
            num(1 + rng() % 28);
            line += '\t';  // time
            num(rng() % 24);
            line += ':';
            num(rng() % 60);
            line += ':';
            num(rng() % 60);
            line += '\t';  // price, sometimes blank
            if (rng() % 50 != 0) {
                num(rng() % 10000);
                line += ".5";
            }
            if (rng() % 200 == 0) line[0] = 'x';  // an error now and then
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), f);
            bytes += line.size();
        }
        std::fclose(f);
    }
    ~Source() { std::filesystem::remove_all(dir); }
};

const Source& source() {
    static Source s;
    return s;
}

void describe(KW_create& create) {
    struct Item {
        const char* name;
        std::int32_t type;
    };
    const Item items[] = {{"id", KW_TYPE_INTEGER},     {"age", KW_TYPE_INTEGER},
                          {"score", KW_TYPE_FLOAT},    {"name", KW_TYPE_STRING},
                          {"comment", KW_TYPE_STRING}, {"gender", KW_TYPE_STRING},
                          {"hobbies", KW_TYPE_MULTI},  {"date", KW_TYPE_DATE},
                          {"time", KW_TYPE_TIME},      {"price", KW_TYPE_FLOAT}};
    create.SetItemCount(10);
    for (std::int32_t i = 0; i < 10; ++i)
        create.SetItem(i, items[i].name, items[i].type, i);
    create.SetCodeCount(5, 3);
    create.SetCode(5, 0, "1", "male");
    create.SetCode(5, 1, "2", "female");
    create.SetCode(5, 2, "3", "other");
    create.SetCodeCount(6, 8);
    for (std::int32_t j = 0; j < 8; ++j) {
        const std::string code(1, static_cast<char>('a' + j));
        create.SetCode(6, j, code, "hobby " + code);
    }
    create.SetTitle("bench");
}

void build(benchmark::State& state, int memoryMb) {
    const Source& s = source();
    BenchHost host(memoryMb);
    KW_create create;
    create.SetOwner(&host);
    describe(create);
    const std::string out = s.dir + "/out.zbq";
    for (auto _ : state) {
        if (create.KWcreate(s.path, out, '\t', 0) != 0) state.SkipWithError("build failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.bytes));
    state.counters["records"] = kRecords;
}

// Above the default limit of 50 MB: column files, as in the program.
void BM_BuildThroughColumnFiles(benchmark::State& state) {
    build(state, zbq::EngineHost::kDefaultMemoryReadCsvSizeMb);
}
void BM_BuildInMemory(benchmark::State& state) {
    build(state, 1024);
}

BENCHMARK(BM_BuildThroughColumnFiles)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_BuildInMemory)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
