// The macro dialogs at their largest: the macro menu filled with 999 macros (meant to open within
// 50 ms), the work list of a 10,000-step macro opened and laid out (within 0.2 s), and one press
// of its step button, which repaints the two rows the arrow leaves and reaches (the counter
// rows_repainted says how many rows changed per press).
//
// Offscreen: the benchmark sets QT_QPA_PLATFORM=offscreen unless the environment chooses.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/window_port.h"
#include "macro/cmacro.h"
#include "macro/macro_menu_dlg.h"
#include "macro/work_list_dlg.h"

namespace {

constexpr int kMacros = 999;
constexpr int kSteps = 10000;

// Every window open, so that a step finds its target.
class AllWindows : public WindowPort {
public:
    QWidget* mainWindow() const override { return &widget_; }
    QWidget* console() const override { return &widget_; }
    QWidget* consolePage(ConsolePage) const override { return &widget_; }

private:
    mutable QWidget widget_;
};

std::int32_t playNothing(CMacro&, StepFields&) {
    return 1;
}

struct Program {
    Program() {
        app.SetWindowPort(&windows);
        macro.RegisterPlayer("DispConsole", &playNothing);
    }
    ~Program() { app.SetWindowPort(nullptr); }

    CKWApp app;
    AllWindows windows;
    CMacro macro{app};
};

void BM_MacroMenuOpensWith999Macros(benchmark::State& state) {
    Program p;
    for (int i = 0; i < kMacros; ++i)
        p.macro.AddMacro("macro" + std::to_string(i + 1), "", {"DispConsole"});
    for (auto _ : state) {
        CMacroMenuDlg menu(p.macro, kMacros - 1);
        menu.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(menu.list()->topLevelItemCount());
    }
}
BENCHMARK(BM_MacroMenuOpensWith999Macros)->Unit(benchmark::kMillisecond);

std::unique_ptr<Program> tenThousandSteps() {
    auto p = std::make_unique<Program>();
    p->macro.AddMacro("long", "", std::vector<std::string>(kSteps, "DispConsole"));
    return p;
}

void BM_WorkListOpensOn10000Steps(benchmark::State& state) {
    const auto p = tenThousandSteps();
    for (auto _ : state) {
        CWorkListDlg list(p->macro, 0);
        list.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(list.list()->model()->rowCount());
    }
}
BENCHMARK(BM_WorkListOpensOn10000Steps)->Unit(benchmark::kMillisecond);

void BM_WorkListStep(benchmark::State& state) {
    const auto p = tenThousandSteps();
    std::int64_t changed = 0, presses = 0;
    // A work list at its first step, shown, counting the rows it repaints.
    const auto open = [&] {
        auto list = std::make_unique<CWorkListDlg>(p->macro, 0);
        QObject::connect(list->rows(), &QAbstractItemModel::dataChanged,
                         [&changed](const QModelIndex& from, const QModelIndex& to) {
                             changed += to.row() - from.row() + 1;
                         });
        list->show();
        QCoreApplication::processEvents();
        return list;
    };
    auto list = open();
    for (auto _ : state) {
        if (list->model().current() >= kSteps - 1) {
            state.PauseTiming();
            list = open();
            state.ResumeTiming();
        }
        list->stepButton()->click();
        QCoreApplication::processEvents();
        ++presses;
    }
    state.counters["rows_repainted"] =
        presses ? static_cast<double>(changed) / static_cast<double>(presses) : 0.0;
}
BENCHMARK(BM_WorkListStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
