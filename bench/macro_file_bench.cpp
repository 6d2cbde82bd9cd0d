// Reading a macro file of 999 macros of 100 steps each at start-up: the structure and macro keys
// are found through indexes built in one pass, so the read grows with the file, not with its
// square (a key-by-key scan of the file's lines would take minutes here). Also writing it.
//
// The file is made once per run in a temporary folder; the data set has a Code item and a
// Float item.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/ckw_app.h"
#include "macro/cmacro.h"

namespace {

constexpr int kMacros = 999;
constexpr int kSteps = 100;

CStructDef structure() {
    CStructDef def;
    for (int i = 0; i < 2; ++i) {
        CItemDef item;
        item.itemNo = i;
        item.name = i ? "value" : "kind";
        item.type = i ? 3 : 0;
        item.csvColumn = i;
        def.items.push_back(item);
    }
    def.itemCount = 2;
    CCodeDef codes;
    codes.itemNo = 0;
    for (const char* code : {"1", "2", "3"}) {
        CCodeEntry entry;
        entry.code = code;
        entry.name = code;
        codes.codes.push_back(entry);
    }
    def.codeLists.push_back(codes);
    return def;
}

struct Fixture {
    std::string folder;
    std::string path;
    CKWApp app;

    Fixture() {
        char pattern[] = "/tmp/macro_bench_XXXXXX";
        folder = ::mkdtemp(pattern);
        path = folder + "/big.mcr";
        app.StructDef() = structure();
        CMacro macro(app);
        macro.LoadStructureDefinition();
        for (int n = 1; n <= kMacros; ++n) {
            std::vector<std::string> steps;
            for (int k = 0; k < kSteps; ++k)
                steps.push_back("InputSearchTerm,1,\"value " + std::to_string(k) + ", and more\"");
            macro.AddMacro("macro" + std::to_string(n), "line one\r\nline two", std::move(steps));
        }
        if (!macro.WriteMacroFile(path)) std::abort();
    }
    ~Fixture() {
        ::unlink(path.c_str());
        ::unlink((path + ".bak").c_str());
        ::rmdir(folder.c_str());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadMacroFile(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        CMacro macro(f.app);
        if (macro.ReadMacroFile(f.path) != 1 || macro.Macros().size() != kMacros) std::abort();
        benchmark::DoNotOptimize(macro.Macros().back().steps.back());
    }
}
BENCHMARK(BM_ReadMacroFile)->Unit(benchmark::kMillisecond);

void BM_WriteMacroFile(benchmark::State& state) {
    Fixture& f = fixture();
    CMacro macro(f.app);
    if (macro.ReadMacroFile(f.path) != 1) std::abort();
    for (auto _ : state)
        if (macro.WriteMacroFile(f.path) != 1) std::abort();
}
BENCHMARK(BM_WriteMacroFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
