// The console's item-selection tab on a structure of 2,000 items (ten groups of ten subgroups of
// twenty items), offscreen, the page's widgets included: filling the tree and restoring a
// 2,000-row display list after a load, "全て表示ﾘｽﾄへ", and "全て非表示に" from the tree's and
// from the list's menu. Target: each within 50 ms.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "console/item_sel_page.h"

namespace {

constexpr int kItems = 2000;

void describe(CKWApp& app) {
    CStructDef& def = app.StructDef();
    def.title = "bench";
    def.items.clear();
    for (int i = 0; i < kItems; ++i) {
        CItemDef item;
        item.itemNo = i;
        item.name = "item" + std::to_string(i);
        item.type = i % 6;
        item.groups = {"group" + std::to_string(i / 200), "part" + std::to_string(i / 20)};
        def.items.push_back(std::move(item));
    }
    def.itemCount = kItems;
    app.SetDataLoaded(1);
}

// The saved display list: every item, in an order of its own.
std::vector<std::int32_t> savedDisplayItems() {
    std::vector<std::int32_t> items(kItems);
    for (int i = 0; i < kItems; ++i)
        items[static_cast<std::size_t>(i)] = (i * 7) % kItems;
    return items;
}

void FillTreeAndRestoreDisplayList(benchmark::State& state) {
    CKWApp app;
    describe(app);
    CItemSelPage page(app);
    page.resize(440, 480);
    page.show();
    const std::vector<std::int32_t> saved = savedDisplayItems();
    for (auto _ : state) {
        app.SetDisplayItems(saved);
        page.FillTree();
        page.RestoreDisplayList();
        benchmark::DoNotOptimize(page.list().size());
    }
}
BENCHMARK(FillTreeAndRestoreDisplayList)->Unit(benchmark::kMillisecond)->UseRealTime();

// The page shown with its tree filled and an empty list.
struct FilledPage {
    FilledPage() : page(app) {
        describe(app);
        page.show();
        page.FillTree();
    }
    CKWApp app;
    CItemSelPage page;
};

void AllToDisplayList(benchmark::State& state) {
    FilledPage filled;
    CItemSelPage& page = filled.page;
    for (auto _ : state) {
        page.OnAllToDisplayList();
        state.PauseTiming();
        page.OnHideAll();
        state.ResumeTiming();
    }
}
BENCHMARK(AllToDisplayList)->Unit(benchmark::kMillisecond)->UseRealTime();

// "全て非表示に" of the tree (every mark and row at once) and of the list (row by row).
void HideAll(benchmark::State& state) {
    const bool fromList = state.range(0) != 0;
    FilledPage filled;
    CItemSelPage& page = filled.page;
    for (auto _ : state) {
        state.PauseTiming();
        page.OnAllToDisplayList();
        state.ResumeTiming();
        if (fromList)
            page.OnListHideAll();
        else
            page.OnHideAll();
    }
    state.SetLabel(fromList ? "display list" : "tree");
}
BENCHMARK(HideAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
