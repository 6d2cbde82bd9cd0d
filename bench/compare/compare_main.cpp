// zbq-bench-compare: the engine against SQLite and pandas on the same generated questionnaire,
// in one run, with every answer checked equal.
//
//   zbq-bench-compare [--records N] [--work DIR] [--python PATH] [--sides ours,sqlite,pandas]
//                     [--ops a,b]
//
// Generates the questionnaire (bench/gen) into the work folder unless it is there already, then
// runs each operation of operations.h on our engine and on SQLite (in-process), then the pandas
// script on the same files, compares the answers (answers/<op>.<side>.tsv) and prints one
// table: the median time of each side and the ratios. Exit status 1 when an answer differs.
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/compare/measure.h"
#include "bench/compare/operations.h"
#include "bench/compare/ours_side.h"
#include "bench/compare/sqlite_side.h"
#include "bench/gen/questionnaire.h"

#ifndef ZBQ_BENCH_COMPARE_DIR
#define ZBQ_BENCH_COMPARE_DIR "."
#endif

namespace {

using namespace zbq::bench;

struct Options {
    std::int64_t records = 1'000'000;
    std::string work;
    std::string python = "/usr/bin/python3";
    bool ours = true, sqlite = true, pandas = true;
    std::vector<std::string> ops;
};

int usage() {
    std::fputs(
        "usage: zbq-bench-compare [--records N] [--work DIR] [--python PATH] "
        "[--sides ours,sqlite,pandas] [--ops a,b,...]\n",
        stderr);
    return 2;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, sep);)
        if (!part.empty()) out.push_back(part);
    return out;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// One operation's figures.
struct Row {
    const Operation* op;
    double ours = -1, sqlite = -1, pandas = -1;    // seconds; -1 not run
    std::string oursNote, sqliteNote, pandasNote;  // "not yet", "failed", ...
    std::string check;                             // "equal", or what differs
};

std::string seconds(double s, const std::string& note) {
    if (s < 0) return note.empty() ? "-" : note;
    char buf[32];
    if (s >= 1) {
        std::snprintf(buf, sizeof buf, "%.2f s", s);
    } else if (s >= 1e-3) {
        std::snprintf(buf, sizeof buf, "%.1f ms", s * 1e3);
    } else {
        std::snprintf(buf, sizeof buf, "%.0f us", s * 1e6);
    }
    return buf;
}

std::string ratio(double other, double ours) {
    if (other < 0 || ours <= 0) return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, other / ours >= 10 ? "%.0fx" : "%.1fx", other / ours);
    return buf;
}

void runSide(Side& side, const char* name, const Row& row, double& time, std::string& note,
             const std::string& answerDir, const std::string& (*error)(Side&)) {
    const std::string_view op = row.op->id;
    if (!side.has(op)) {
        note = "not yet";
        return;
    }
    bool ok = true;
    time = measure(
        MeasurePolicy{}, [&] { ok = ok && side.setup(op); }, [&] { return ok && side.run(op); });
    Answer answer;
    if (time < 0 || !side.answer(op, answer)) {
        time = -1;
        note = "failed";
        std::fprintf(stderr, "%s %.*s failed: %s\n", name, static_cast<int>(op.size()), op.data(),
                     error(side).c_str());
        return;
    }
    answer.save(answerDir + "/" + std::string(op) + "." + name + ".tsv");
}

const std::string& oursError(Side& s) {
    return static_cast<OursSide&>(s).lastError();
}
const std::string& sqliteError(Side& s) {
    return static_cast<SqliteSide&>(s).lastError();
}

// The machine the figures come from.
std::string machine() {
    std::string cpu;
    std::ifstream info("/proc/cpuinfo");
    int cores = 0;
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("model name", 0) == 0) {
            ++cores;
            if (cpu.empty()) cpu = line.substr(line.find(':') + 2);
        }
    }
    std::ifstream mem("/proc/meminfo");
    std::string label;
    long kb = 0;
    mem >> label >> kb;
    utsname u{};
    ::uname(&u);
    char buf[512];
    std::snprintf(buf, sizeof buf, "%s, %d logical cores, %.0f GiB, Linux %s", cpu.c_str(), cores,
                  static_cast<double>(kb) / 1048576.0, u.release);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool value = i + 1 < argc;
        if (arg == "--records" && value) {
            if (!parseRecordCount(argv[++i], o.records)) return usage();
        } else if (arg == "--work" && value) {
            o.work = argv[++i];
        } else if (arg == "--python" && value) {
            o.python = argv[++i];
        } else if (arg == "--sides" && value) {
            const auto sides = split(argv[++i], ',');
            auto has = [&](const char* side) {
                return std::find(sides.begin(), sides.end(), side) != sides.end();
            };
            o.ours = has("ours");
            o.sqlite = has("sqlite");
            o.pandas = has("pandas");
        } else if (arg == "--ops" && value) {
            o.ops = split(argv[++i], ',');
        } else {
            return usage();
        }
    }
    if (o.work.empty()) o.work = "/tmp/zbq-bench/compare-" + std::to_string(o.records);
    const std::string answers = o.work + "/answers";
    ::mkdir(o.work.c_str(), 0777);
    ::mkdir(answers.c_str(), 0777);
    const std::string source = o.work + "/questionnaire.dat";
    const std::string items = o.work + "/items.json";
    const std::string stamp = o.work + "/generated";
    if (!exists(stamp)) {
        std::fprintf(stderr, "Generating %lld records into %s ...\n",
                     static_cast<long long>(o.records), o.work.c_str());
        if (writeSource(source, o.records, kDefaultSeed) != 0 || writeItemsJson(items) != 0 ||
            writeDefinition(o.work + "/questionnaire.def") != 0) {
            std::fprintf(stderr, "cannot write the questionnaire into %s\n", o.work.c_str());
            return 1;
        }
        if (std::FILE* f = std::fopen(stamp.c_str(), "w")) std::fclose(f);
    }

    std::vector<Row> rows;
    for (const Operation& op : kOperations) {
        if (o.ops.empty() || std::find(o.ops.begin(), o.ops.end(), op.id) != o.ops.end())
            rows.push_back(Row{&op, -1, -1, -1, {}, {}, {}, {}});
    }
    if (o.ours) {
        OursSide ours(source, o.work);
        for (Row& r : rows) {
            std::fprintf(stderr, "ours   %s\n", std::string(r.op->id).c_str());
            runSide(ours, "ours", r, r.ours, r.oursNote, answers, oursError);
        }
    }
    if (o.sqlite) {
        SqliteSide sqlite(source, o.work);
        for (Row& r : rows) {
            std::fprintf(stderr, "sqlite %s\n", std::string(r.op->id).c_str());
            runSide(sqlite, "sqlite", r, r.sqlite, r.sqliteNote, answers, sqliteError);
        }
    }
    for (Row& r : rows) {
        if (!o.ours) r.oursNote = "skipped";
        if (!o.sqlite) r.sqliteNote = "skipped";
    }
    if (o.pandas) {
        std::string ops;
        for (const Row& r : rows)
            ops += (ops.empty() ? "" : ",") + std::string(r.op->id);
        const std::string command =
            o.python + " " ZBQ_BENCH_COMPARE_DIR "/pandas_side.py --source '" + source +
            "' --items '" + items + "' --work '" + o.work + "' --ops " + ops + " 1>&2";
        if (std::system(command.c_str()) != 0) std::fputs("the pandas side failed\n", stderr);
        std::ifstream times(o.work + "/pandas_times.tsv");
        std::map<std::string, std::string> byOp;
        for (std::string line; std::getline(times, line);) {
            const auto tab = line.find('\t');
            if (tab != std::string::npos) byOp[line.substr(0, tab)] = line.substr(tab + 1);
        }
        for (Row& r : rows) {
            const auto it = byOp.find(std::string(r.op->id));
            if (it == byOp.end()) continue;
            char* end = nullptr;
            const double s = std::strtod(it->second.c_str(), &end);
            if (end != it->second.c_str() && *end == '\0') {
                r.pandas = s;
            } else {
                r.pandasNote = "failed";
            }
        }
    } else {
        for (Row& r : rows)
            r.pandasNote = "skipped";
    }

    // Answers: ours against each other side; without ours, SQLite against pandas.
    bool allEqual = true;
    for (Row& r : rows) {
        const std::string base = answers + "/" + std::string(r.op->id);
        std::vector<std::pair<std::string, Answer>> got;
        for (const char* side : {"ours", "sqlite", "pandas"}) {
            const double t = side[0] == 'o' ? r.ours : side[0] == 's' ? r.sqlite : r.pandas;
            Answer a;
            if (t >= 0 && a.load(base + "." + side + ".tsv")) got.emplace_back(side, std::move(a));
        }
        if (got.size() < 2) {
            r.check = "-";
            continue;
        }
        r.check = "equal";
        for (std::size_t i = 1; i < got.size(); ++i) {
            std::string difference;
            if (!sameAnswer(got[0].second, got[i].second, difference)) {
                allEqual = false;
                r.check = "DIFFERS";
                std::fprintf(stderr, "%s: %s and %s differ: %s\n", std::string(r.op->id).c_str(),
                             got[0].first.c_str(), got[i].first.c_str(), difference.c_str());
            }
        }
    }

    std::printf("%lld records x %d items; %s\n\n", static_cast<long long>(o.records), kItemCount,
                machine().c_str());
    std::printf(
        "| operation | ours | SQLite | pandas | SQLite / ours | pandas / ours | answers |\n");
    std::printf("|---|--:|--:|--:|--:|--:|---|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", std::string(r.op->caption).c_str(),
                    seconds(r.ours, r.oursNote).c_str(), seconds(r.sqlite, r.sqliteNote).c_str(),
                    seconds(r.pandas, r.pandasNote).c_str(), ratio(r.sqlite, r.ours).c_str(),
                    ratio(r.pandas, r.ours).c_str(), r.check.c_str());
    }
    std::printf("\nCounterparts:\n");
    for (const Row& r : rows)
        std::printf("- %s: %s\n", std::string(r.op->caption).c_str(),
                    std::string(r.op->counterpart).c_str());
    return allEqual ? 0 : 1;
}
