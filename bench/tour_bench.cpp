// The tour of every window, played as a macro on the benchmark questionnaire (ZBQ_BENCH_RECORDS,
// default 1M) by ZBQ as main() wires it, offscreen: the start-up on the questionnaire's data
// file, then each step of the tour through the macro player, timed one by one. Prints the total
// replay time and the ten slowest steps with their times.
//
// The tour is the one tests/system records on a small imported workbook, fitted to the
// generated items. At this size no workbook is imported at start-up and no records are added
// from one, and no chart is drawn (the graph control is not loaded): the macro menu's own run,
// the item selection, filters and set algebra, a category of three class levels exported and
// imported, the original-data window's sorts, widths, exports and format printing, an item
// window's marks, search, new set and exports, the cross tabulation on the category with a
// drill, the aggregation with totals, filter, drill and its exports, and a save with a
// password. Its files go to a folder of its own in the benchmark folder; the clipboard, the
// desktop's opener and the questions are stand-ins.
//
// A plain program, not a Google Benchmark one: one replay of the tour is the measure; `--runs N`
// plays it N times, each in a fresh program, and prints each total, their median and minimum;
// `--all` prints every step's time as well.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/main_frame.h"
#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "engine/kw_file.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/prompts.h"
#include "platform/ui/spreadsheet_probe.h"
#include "windows/every_window.h"

namespace {

namespace q = zbq::bench;

// Every question answered Yes (a drill asks one), every notice closed.
class YesPrompts : public zbq::ui::Prompts {
public:
    using Prompts::message;
    zbq::ui::Answer message(QWidget*, const zbq::ui::Message& m) override {
        return m.buttons == zbq::ui::Buttons::YesNo ? zbq::ui::Answer::Yes : zbq::ui::Answer::Ok;
    }
    std::optional<QString> choose(QWidget*, const zbq::ui::Chooser&) override { return {}; }
    std::optional<QStringList> chooseFiles(QWidget*, const zbq::ui::Chooser&) override {
        return {};
    }
    void beep() override {}
};

class QuietClipboard : public zbq::ui::Clipboard {
public:
    bool setText(std::string_view text) override {
        bytes_ = text.size();
        return true;
    }
    std::optional<std::string> text() const override { return std::string(); }

private:
    std::size_t bytes_ = 0;
};

class QuietOpener : public zbq::ui::DesktopOpener {
public:
    bool open(const QString&, std::function<void()>) override { return true; }
};

// The questionnaire's data file with the settings a save writes.
std::string savedDataFile(const std::string& folder) {
    const q::BenchData& d = q::benchData();
    const std::string def = folder + "/tour.def";
    const std::string file = folder + "/tour.zbq";
    if (q::writeDefinition(def) != 0) std::abort();
    std::filesystem::copy_file(d.dataFile, file, std::filesystem::copy_options::overwrite_existing);
    CKWApp app;
    app.SetLoadMode(1);
    app.SetDefinitionPath(def);
    if (!app.ReadDefinitionFile() || !app.ParseDefinitionFile()) std::abort();
    if (app.Search().KWopen(file, "") != 0) std::abort();
    app.RestoreSets();
    app.RestoreCategories();
    const auto blob = app.BuildSettingsBlob();
    if (!blob || KWwriteBlob(file, *blob) < 0) std::abort();
    return file;
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// The tour's steps on the generated items, its files in `out`: the steps the test's tour
// records, with the generated questionnaire's item numbers.
std::vector<std::string> tourSteps(const std::string& out) {
    using zbq::cp932::literal;
    const auto n = [](int item) { return std::to_string(item); };
    const std::string age = n(q::kAge);
    return {
        "ExeMacro,\"inner\"",
        "Cons_Max",
        "Cons_Restore",
        // Item selection.
        "ToListAllItem",
        "BackListItem," + n(q::kAnswerTime),
        "DispData",
        // Filters and set algebra: Gender = 1 or Age >= 60, then Age >= 60 alone; their union,
        // a complement, a caption, a deletion.
        "OpenDataSelTab",
        "DispAddFilterDialog",
        "InputFilterItem," + n(q::kGender),
        "SelectFilterOperater1,0",
        "InputFilterTerm1,\"1\"",
        "OKFilterDialog",
        "DispAddFilterDialog",
        "InputFilterItem," + age,
        "SelectFilterOperater1,3",
        "InputFilterTerm1,\"60\"",
        "OKFilterDialog",
        "SelectFilterAndOr,1",
        "ExecuteFilter",
        "SelectSet,0",
        "DeleteFilter,0",
        "ExecuteFilter",
        "UnionSet,1,2",
        "ComplementSet,1,1",
        "InputSetName,3," + quoted(literal("男性か60歳以上")),
        "SelectSet,3",
        "DeleteSet,4",
        // A category of Age with three class levels, exported, deleted and imported.
        "InputCategoryName," + quoted(literal("年齢区分")),
        "SelectCategoryType,2",
        "DispEditSmallClassDialog",
        "InputSmallClassName,\"B\"",
        "SelectSmallClassOperater,2",
        "InputSmallClassTerm1,\"60\"",
        "AddSmallClass",
        "InputSmallClassName,\"A\"",
        "SelectSmallClassOperater,6",
        "InputSmallClassTerm1,\"15\"",
        "InputSmallClassTerm2,\"59\"",
        "AddSmallClass",
        "InputSmallClassName,\"C\"",
        "SelectSmallClassOperater,0",
        "InputSmallClassTerm1,\"Others\"",
        "AddSmallClass",
        "UpSmallClass,1",
        "OKSmallClassDialog",
        "DispEditMiddleClassDialog",
        "InputMiddleClassName,\"Young\"",
        "SelectMiddleClassOperator,0",
        "AddMiddleClass",
        "InputMiddleClassName,\"Old\"",
        "SelectMiddleClassOperator,1",
        "AddMiddleClass",
        "InputMiddleClassName,\"Rest\"",
        "SelectMiddleClassOperator,2",
        "AddMiddleClass",
        "OKMiddleClassDialog",
        "DispEditLargeClassDialog",
        "InputLargeClassName,\"All\"",
        "SelectLargeClassOperator,0",
        "AddLargeClass",
        "InputLargeClassName,\"All\"",
        "SelectLargeClassOperator,1",
        "AddLargeClass",
        "OKLargeClassDialog",
        "EntryCategory",
        "ExportCategory,1," + quoted(out + "/age.ctg"),
        "DeleteCategory,1",
        "ImportCategory," + quoted(out + "/age.ctg"),
        // The original-data window.
        "Data_SortDown," + age,
        "Data_SortUp," + n(q::kId),
        "Data_DispComma," + n(q::kScore),
        "Data_DecimalDigit," + n(q::kScore) + ",2",
        "Data_Alignment," + n(q::kName),
        "Data_AlignmentFree,0,90",
        "Data_SelectCell,0,1,2,2",
        "Data_ChengeSelectByKey,40,1,0",
        "Data_MouseWheel,0,-120",
        "Data_SelectCell,1,0,7,4",
        "Data_CopyWithHead",
        "Data_OutToCsv," + quoted(out + "/data.csv"),
        "Data_OutToExcelWithHead",
        "Data_OutToCsvWithHead," + quoted(out + "/data.txt"),
        "Data_SelectAll",
        "Prt,5",
        // The item windows of Score and Age (no chart: the graph control is not loaded here).
        "DispItemDlg," + n(q::kScore),
        "Item_DecimalDigit," + n(q::kScore) + ",1",
        "DispItemDlg," + age,
        "OpenSummaryTab," + age,
        "Item_PercentValue," + age + ",37.5",
        "OpenValListTab," + age,
        "Item_SortDown," + age,
        "Item_SelectCell," + age + ",0,2,0,4",
        "Item_RemoveSelection," + age,
        "InputSearchTerm," + age + ",\">40\"",
        "ToTopItemData," + age,
        "Item_AddSearchResult," + age,
        "Item_SelectCell," + age + ",0,6,0,8",
        "Item_RemoveSelection," + age,
        "CreateSet," + age,
        "Item_SelectAll," + age,
        "Item_CopyWithHead," + age,
        "Item_OutToExcelWithHead," + age,
        "Item_Close," + age,
        "Item_Close," + n(q::kScore),
        // The cross tabulation of Age's classes by Gender, the mean of Score, and a drill.
        "SelectItemX," + age,
        "SelectCategX,1",
        "SelectCategLevelX,4,1",
        "SelectItemY," + n(q::kGender),
        "SelectItemZ," + n(q::kScore + 1),
        "SelectAggregateKind,4",
        "DispOlap",
        "Olap_DecimalDigit,1",
        "Olap_Sort,1,1",
        "Olap_OriginalDisplay",
        "Olap_AlignmentFree,1,110",
        "Olap_Alignment,0",
        "Olap_CopyAll",
        "Olap_OutToCsvAll," + quoted(out + "/cross.csv"),
        "Olap_OutToExcelAll",
        "Olap_SelectCell,0,0,1,1",
        "DorileDrillThrough",
        "Olap_Max",
        "Olap_Restore",
        // The aggregation: Gender across, the answer date by year down, Age and Score summed.
        "OpenMolapTab",
        "SetXColumn," + n(q::kGender) + ":0",
        "SetYColumn," + n(q::kAnswerDate) + ":1",
        "SetSyukeiColumn," + age + ":0\t" + n(q::kScore) + ":0,0\t0",
        "SetXTotal,1",
        "SetYTotal,2",
        "SetPoint,1",
        "ExecuteMolap",
        "MolapMax",
        "MolapRestore",
        "MolapFilter,\"4\t50\t\t2\",\"-1\t\t\t1\",\"-1\t\t\t2\",\"-1\t\t\t3\",\"-1\t\t\t4\"",
        "MolapFilterRelease",
        "MolapFilter,\"-1\t\t\t0\",\"1\t5\t\t1\",\"-1\t\t\t2\",\"-1\t\t\t3\",\"-1\t\t\t4\"",
        "MolapDrillThrough,2,1",
        "MolapCopy",
        "MolapOutToCSV," + quoted(out + "/molap.csv"),
        "MolapOutToExcel",
        "MolapClose",
        // The save of every record with a password.
        "OpenDataSelTab",
        "SelectSet,0",
        "OpenItemSelTab",
        "SaveZbw," + quoted(out + "/saved.zbq") + ",\"pw\",0",
    };
}

struct Timing {
    std::string step;
    double ms = 0;
};

// One program started on the data file, the tour played; the time of each step, or an empty
// list when a step stopped the run.
std::vector<Timing> playTour(const std::string& dataFile, const std::string& folder) {
    const std::string programDir = folder + "/program";
    const std::string out = folder + "/out";
    std::filesystem::remove_all(programDir);
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(programDir);
    std::filesystem::create_directories(out);
    {
        std::FILE* ini = std::fopen((programDir + "/ZBQ.ini").c_str(), "wb");
        if (!ini) std::abort();
        const std::string text = zbq::cp932::literal("[print]\r\nPRT01=5,回答一覧,report.xls\r\n");
        std::fwrite(text.data(), 1, text.size(), ini);
        std::fclose(ini);
        std::fclose(std::fopen((programDir + "/report.xls").c_str(), "wb"));
    }

    CKWApp app;
    app.SetProgramDir(programDir);
    CMacro macro(app);
    CMainFrame frame(app, zbq::windows::everyWindowFactory(app));
    frame.resize(1024, 720);
    frame.show();
    if (!app.InitInstance({dataFile})) {
        std::fprintf(stderr, "start-up refused the data file\n");
        std::exit(1);
    }
    macro.AddMacro("inner", "", {"OpenLogTab"});

    std::vector<Timing> timings;
    for (const std::string& step : tourSteps(out)) {
        const auto start = std::chrono::steady_clock::now();
        const std::int32_t done = macro.ExecuteStep(step);
        const auto end = std::chrono::steady_clock::now();
        if (done != 1) {
            std::fprintf(stderr, "the tour stopped at the step %s\n", step.c_str());
            timings.clear();
            break;
        }
        timings.push_back({step, std::chrono::duration<double, std::milli>(end - start).count()});
    }
    app.ExitInstance();
    return timings;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    int runs = 1;
    bool all = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[i + 1]));
        if (std::string(argv[i]) == "--all") all = true;
    }

    const q::BenchData& data = q::benchData();
    const std::string folder = data.dir + "/tour";
    std::filesystem::create_directories(folder);
    const std::string dataFile = savedDataFile(folder);
    zbq::ui::setSpreadsheetProbeForTest(std::string("calc.desktop"));
    YesPrompts prompts;
    zbq::ui::setPrompts(&prompts);
    QuietClipboard clipboard;
    zbq::ui::setClipboard(&clipboard);
    QuietOpener opener;
    zbq::ui::setOpener(&opener);

    std::vector<double> totals;
    std::vector<Timing> last;
    for (int run = 0; run < runs; ++run) {
        last = playTour(dataFile, folder);
        if (last.empty()) return 1;
        double total = 0;
        for (const Timing& t : last)
            total += t.ms;
        totals.push_back(total);
        std::printf("run %d: %zu steps replayed in %.1f ms\n", run + 1, last.size(), total);
    }
    std::sort(totals.begin(), totals.end());
    std::printf("records %lld, total replay time: median %.1f ms, min %.1f ms (%d runs)\n",
                static_cast<long long>(data.records), totals[totals.size() / 2], totals.front(),
                runs);
    if (all) {
        std::printf("every step (last run):\n");
        for (const Timing& t : last)
            std::printf("  %9.1f ms  %s\n", t.ms, t.step.c_str());
    }
    std::stable_sort(last.begin(), last.end(),
                     [](const Timing& a, const Timing& b) { return a.ms > b.ms; });
    std::printf("the ten slowest steps (last run):\n");
    for (std::size_t i = 0; i < last.size() && i < 10; ++i)
        std::printf("  %9.1f ms  %s\n", last[i].ms, last[i].step.c_str());
    zbq::ui::setOpener(nullptr);
    zbq::ui::setClipboard(nullptr);
    zbq::ui::setPrompts(nullptr);
    return 0;
}
