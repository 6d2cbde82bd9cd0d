// A category of 1,000 small classes, 1,000 middle rows and 500 large rows: importing its file
// into the OLAP page's category frame and showing it in the editor, checks, marks and tree
// widget included (the budget is 60 ms), and its level-3 conditions for the cross tabulation
// (5 ms). Offscreen.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeWidget>

#include <cstdlib>
#include <fstream>
#include <string>

#include "console/category_conditions.h"
#include "console/category_file.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "platform/ui/scripted_prompts.h"

namespace {

CategoryDefinition bigCategory() {
    CategoryDefinition d;
    d.name = "big";
    d.valueType = 1;
    for (int i = 0; i < 1000; ++i)
        d.smallClasses.push_back(
            {"s" + std::to_string(i), 6, std::to_string(i * 10), std::to_string(i * 10 + 9)});
    for (int j = 0; j < 1000; ++j)
        d.middleClasses.push_back({"m" + std::to_string(j / 2), "s" + std::to_string(j)});
    for (int k = 0; k < 500; ++k)
        d.largeClasses.push_back({"l" + std::to_string(k / 2), "m" + std::to_string(k)});
    return d;
}

void ImportAndShow(benchmark::State& state) {
    zbq::ui::ScriptedPrompts prompts;
    CKWApp app;
    app.InitCategories(1);
    COlapFrm frame(app);
    frame.AttachCategorySet();
    char folder[] = "/tmp/zbq-category-bench-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    const std::string path = std::string(folder) + "/big.ctg";
    std::ofstream(path, std::ios::binary) << CategoryFile::WriteCategory(bigCategory());
    for (auto _ : state) {
        if (!frame.ImportCategory(path, false)) state.SkipWithError("import refused");
        benchmark::DoNotOptimize(frame.editor()->model().nodes(ClassLevel::Large).data());
    }
    if (!prompts.messages().empty()) state.SkipWithError("a check failed");
    const QTreeWidget& tree = *frame.editor()->tree();
    if (tree.topLevelItemCount() != 3 || tree.topLevelItem(0)->childCount() != 1000 ||
        tree.topLevelItem(2)->childCount() != 500)
        state.SkipWithError("the tree does not show the definition");
    ::unlink(path.c_str());
    ::rmdir(folder);
}
BENCHMARK(ImportAndShow)->Unit(benchmark::kMillisecond)->UseRealTime();

void LevelThreeConditions(benchmark::State& state) {
    const CategoryDefinition d = bigCategory();
    const std::vector<std::string> reserved = {"Brank", "Error", "Normal", "Others"};
    for (auto _ : state) {
        std::vector<ClassCondition> conditions = ClassConditions(d, 3, reserved);
        if (conditions.size() != 1000) state.SkipWithError("wrong expansion");
        benchmark::DoNotOptimize(conditions.data());
    }
}
BENCHMARK(LevelThreeConditions)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
