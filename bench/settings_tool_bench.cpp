// The settings tool on a ZBQ.ini of 100,000 format-printing entries, through its real dialog
// offscreen: the start (reading the file and filling the list) and a Save (reading the file
// again, writing both sections and replacing the file), each as the user waits for it.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "settingstool/settings_dlg.h"
#include "settingstool/settings_file.h"

namespace {

constexpr int kEntries = 100000;

const std::string& iniPath() {
    static const std::string path = [] {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / "zbq-settings-bench";
        std::filesystem::create_directories(dir);
        std::string bytes = "[image]\r\npath=/srv/images\r\n[print]\r\n";
        const std::string menu = zbq::cp932::literal("月次集計");
        for (int i = 1; i <= kEntries; ++i) {
            const std::string n = std::to_string(i);
            bytes +=
                zbq::settings::printKey(i) + "=" + n + "," + menu + n + ",macro" + n + ".xlsx\r\n";
        }
        const std::string file = (dir / "ZBQ.ini").string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }();
    return path;
}

void BM_StartTool(benchmark::State& state) {
    zbq::ui::ScriptedPrompts prompts;
    for (auto _ : state) {
        zbq::settings::CSettingsDlg dialog;
        if (!dialog.start(iniPath()) || dialog.model().table().size() != kEntries)
            state.SkipWithError("the file did not load whole");
    }
}
BENCHMARK(BM_StartTool)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveTool(benchmark::State& state) {
    zbq::ui::ScriptedPrompts prompts;
    zbq::settings::CSettingsDlg dialog;
    if (!dialog.start(iniPath())) state.SkipWithError("the file did not load");
    for (auto _ : state) {
        prompts.clear();
        prompts.answer(zbq::ui::Answer::No);  // stay open after the Save
        dialog.save();
        if (prompts.messages().size() != 1) state.SkipWithError("the Save failed");
    }
}
BENCHMARK(BM_SaveTool)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
