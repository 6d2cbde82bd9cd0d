// zbq-bench-compare: the engine against SQLite, pandas and DuckDB on the same generated
// questionnaire, in one run, with every answer checked equal.
//
//   zbq-bench-compare [--records N] [--work DIR] [--python PATH] [--node PATH]
//                     [--sides ours,sqlite,pandas,duckdb1,duckdbN] [--ops a,b]
//
// Generates the questionnaire (bench/gen) into the work folder unless it is there already, then
// runs each operation of operations.h on our engine and on SQLite (in-process), then the pandas
// script and the DuckDB script (once on one thread, once on all) on the same files, compares the
// answers (answers/<op>.<side>.tsv) and prints one table: the median time of each side, each
// peer's time as a multiple of ours, and the fastest side. Exit status 1 when an answer differs
// or a side could not run at all.
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/compare/measure.h"
#include "bench/compare/operations.h"
#include "bench/compare/ours_side.h"
#include "bench/compare/script_side.h"
#include "bench/compare/sqlite_side.h"
#include "bench/gen/questionnaire.h"

#ifndef ZBQ_BENCH_COMPARE_DIR
#define ZBQ_BENCH_COMPARE_DIR "."
#endif

namespace {

using namespace zbq::bench;

enum SideId { kOurs, kSqlite, kPandas, kDuckOne, kDuckAll, kSideCount };

// The names answer files and --sides use.
constexpr std::array<const char*, kSideCount> kSideNames = {"ours", "sqlite", "pandas", "duckdb1",
                                                            "duckdbN"};

struct Options {
    std::int64_t records = 1'000'000;
    std::string work;
    std::string python = "/usr/bin/python3";
    std::string node = "node";
    std::array<bool, kSideCount> sides = {true, true, true, true, true};
    std::vector<std::string> ops;
};

int usage(const std::string& why) {
    if (!why.empty()) std::fprintf(stderr, "zbq-bench-compare: %s\n", why.c_str());
    std::fputs(
        "usage: zbq-bench-compare [--records N] [--work DIR] [--python PATH] [--node PATH]\n"
        "                         [--sides ours,sqlite,pandas,duckdb1,duckdbN] [--ops a,b,...]\n"
        "  --sides duckdb stands for both DuckDB sides (one thread, all threads).\n",
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

int allThreads() {
    const long n = ::sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}

// The peak resident memory of this process from now on: the kernel's high-water mark is put
// back to what is resident now. False where the kernel does not offer it.
bool resetPeakMemory() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return static_cast<bool>(out);
}

// The high-water mark of resident memory in bytes (VmHWM), or -1.
double peakMemory() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) * 1024;
    return -1;
}

std::string bytes(double b) {
    char buf[32];
    if (b >= 1e9)
        std::snprintf(buf, sizeof buf, "%.2f GB", b / 1e9);
    else
        std::snprintf(buf, sizeof buf, "%.0f MB", b / 1e6);
    return buf;
}

// One operation's figures.
struct Row {
    const Operation* op = nullptr;
    std::array<double, kSideCount> time;       // seconds; -1 not run
    std::array<double, kSideCount> peak;       // bytes resident at most while it ran; -1 unknown
    std::array<std::string, kSideCount> note;  // "not yet", "failed", "skipped"
    std::string check;                         // "equal", or what differs
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

// A peer's time and, when ours ran, that time as a multiple of ours (below 1: the peer wins).
std::string peerCell(double other, const std::string& note, double ours) {
    std::string cell = seconds(other, note);
    if (other < 0 || ours <= 0) return cell;
    const double r = other / ours;
    char buf[32];
    std::snprintf(buf, sizeof buf, r >= 10 ? " (%.0fx)" : r >= 0.1 ? " (%.1fx)" : " (%.2gx)", r);
    return cell + buf;
}

void runSide(Side& side, SideId id, Row& row, const std::string& answerDir,
             const std::string& (*error)(Side&)) {
    const std::string_view op = row.op->id;
    if (!side.has(op)) {
        row.note[id] = "not yet";
        return;
    }
    bool ok = true;
    double& time = row.time[id];
    // In-process sides: the process's peak while the operation and its set-up ran.
    const bool peakKnown = resetPeakMemory();
    time = measure(
        MeasurePolicy{}, [&] { ok = ok && side.setup(op); }, [&] { return ok && side.run(op); });
    if (peakKnown) row.peak[id] = peakMemory();
    Answer answer;
    if (time < 0 || !side.answer(op, answer)) {
        time = -1;
        row.note[id] = "failed";
        std::fprintf(stderr, "%s %.*s failed: %s\n", kSideNames[id], static_cast<int>(op.size()),
                     op.data(), error(side).c_str());
        return;
    }
    if (const int err =
            answer.save(answerDir + "/" + std::string(op) + "." + kSideNames[id] + ".tsv");
        err != 0) {
        std::fprintf(stderr, "cannot write the answer of %s %.*s: %s\n", kSideNames[id],
                     static_cast<int>(op.size()), op.data(), std::strerror(err));
    }
}

const std::string& oursError(Side& s) {
    return static_cast<OursSide&>(s).lastError();
}
const std::string& sqliteError(Side& s) {
    return static_cast<SqliteSide&>(s).lastError();
}

// Runs one of the script sides over every row; false when it could not run at all.
bool runScriptSide(SideId id, std::vector<std::string> argv, const std::string& work,
                   std::vector<Row>& rows) {
    std::string ops;
    for (const Row& r : rows)
        ops += (ops.empty() ? "" : ",") + std::string(r.op->id);
    argv.insert(argv.end(), {"--ops", ops, "--name", kSideNames[id]});
    std::map<std::string, ScriptResult> byOp;
    std::string error;
    const bool ok = runScript(argv, work + "/" + kSideNames[id] + "_times.tsv", byOp, error);
    if (!ok) std::fprintf(stderr, "the %s side failed: %s\n", kSideNames[id], error.c_str());
    for (Row& r : rows) {
        const auto it = byOp.find(std::string(r.op->id));
        if (it == byOp.end()) {
            r.note[id] = "failed";
        } else if (it->second.seconds >= 0) {
            r.time[id] = it->second.seconds;
        } else {
            r.note[id] = "failed";
            std::fprintf(stderr, "%s %s %s\n", kSideNames[id], it->first.c_str(),
                         it->second.failure.c_str());
        }
    }
    return ok;
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
            if (!parseRecordCount(argv[++i], o.records))
                return usage(std::string("not a record count: ") + argv[i]);
        } else if (arg == "--work" && value) {
            o.work = argv[++i];
        } else if (arg == "--python" && value) {
            o.python = argv[++i];
        } else if (arg == "--node" && value) {
            o.node = argv[++i];
        } else if (arg == "--sides" && value) {
            o.sides.fill(false);
            for (const std::string& side : split(argv[++i], ',')) {
                if (side == "duckdb") {
                    o.sides[kDuckOne] = o.sides[kDuckAll] = true;
                    continue;
                }
                const auto it = std::find(kSideNames.begin(), kSideNames.end(), side);
                if (it == kSideNames.end()) return usage("no such side: " + side);
                o.sides[static_cast<std::size_t>(it - kSideNames.begin())] = true;
            }
        } else if (arg == "--ops" && value) {
            o.ops = split(argv[++i], ',');
            for (const std::string& op : o.ops) {
                if (std::none_of(kOperations.begin(), kOperations.end(),
                                 [&](const Operation& k) { return k.id == op; })) {
                    return usage("no such operation: " + op);
                }
            }
        } else {
            return usage(value || arg.rfind("--", 0) != 0 ? "unknown argument: " + arg
                                                          : arg + " needs a value");
        }
    }
    if (o.work.empty()) o.work = "/tmp/zbq-bench/compare-" + std::to_string(o.records);
    const std::string answers = o.work + "/answers";
    std::error_code ec;
    std::filesystem::create_directories(answers, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create the work folder %s: %s\n", answers.c_str(),
                     ec.message().c_str());
        return 1;
    }
    const std::string source = o.work + "/questionnaire.dat";
    const std::string items = o.work + "/items.json";
    const std::string stamp = o.work + "/generated";
    if (!std::filesystem::exists(stamp)) {
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
        if (!o.ops.empty() && std::find(o.ops.begin(), o.ops.end(), op.id) == o.ops.end()) continue;
        Row& r = rows.emplace_back();
        r.op = &op;
        r.time.fill(-1);
        r.peak.fill(-1);
        for (int s = 0; s < kSideCount; ++s) {
            if (!o.sides[s]) r.note[s] = "skipped";
            // An answer of an earlier run must never stand in for one this run failed to give.
            std::filesystem::remove(
                answers + "/" + std::string(op.id) + "." + kSideNames[s] + ".tsv", ec);
        }
    }
    if (o.sides[kOurs]) {
        OursSide ours(source, o.work);
        for (Row& r : rows) {
            std::fprintf(stderr, "ours   %s\n", std::string(r.op->id).c_str());
            runSide(ours, kOurs, r, answers, oursError);
        }
    }
    if (o.sides[kSqlite]) {
        SqliteSide sqlite(source, o.work);
        for (Row& r : rows) {
            std::fprintf(stderr, "sqlite %s\n", std::string(r.op->id).c_str());
            runSide(sqlite, kSqlite, r, answers, sqliteError);
        }
    }
    bool allRan = true;
    const std::vector<std::string> common = {"--source", source,   "--items",
                                             items,      "--work", o.work};
    if (o.sides[kPandas]) {
        std::vector<std::string> argv = {o.python, ZBQ_BENCH_COMPARE_DIR "/pandas_side.py"};
        argv.insert(argv.end(), common.begin(), common.end());
        allRan = runScriptSide(kPandas, argv, o.work, rows) && allRan;
    }
    for (const SideId id : {kDuckOne, kDuckAll}) {
        if (!o.sides[id]) continue;
        std::vector<std::string> argv = {o.node, ZBQ_BENCH_COMPARE_DIR "/duckdb/duckdb_side.mjs"};
        argv.insert(argv.end(), common.begin(), common.end());
        argv.insert(argv.end(), {"--threads", std::to_string(id == kDuckOne ? 1 : allThreads())});
        allRan = runScriptSide(id, argv, o.work, rows) && allRan;
    }

    // Answers: the first side that ran (ours when it did) against each of the others.
    bool allEqual = true;
    for (Row& r : rows) {
        const std::string base = answers + "/" + std::string(r.op->id);
        std::vector<std::pair<std::string, Answer>> got;
        for (int s = 0; s < kSideCount; ++s) {
            Answer a;
            if (r.time[s] < 0) continue;
            if (a.load(base + "." + kSideNames[s] + ".tsv")) {
                got.emplace_back(kSideNames[s], std::move(a));
            } else {
                r.time[s] = -1;
                r.note[s] = "no answer";
                allEqual = false;
            }
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

    const std::string allLabel = "DuckDB " + std::to_string(allThreads()) + " threads";
    const std::array<std::string, kSideCount> labels = {"ours", "SQLite", "pandas",
                                                        "DuckDB 1 thread", allLabel};
    std::printf("%lld records x %d items; ours, SQLite and pandas on one thread; %s\n\n",
                static_cast<long long>(o.records), kItemCount, machine().c_str());
    std::printf("| operation | ours | SQLite | pandas | %s | %s | fastest | answers |\n",
                labels[kDuckOne].c_str(), labels[kDuckAll].c_str());
    std::printf("|---|--:|--:|--:|--:|--:|---|---|\n");
    for (const Row& r : rows) {
        auto peak = [&](int s) {
            return r.time[s] >= 0 && r.peak[s] >= 0 ? ", " + bytes(r.peak[s]) : std::string();
        };
        std::string line = "| " + std::string(r.op->caption) + " | " +
                           seconds(r.time[kOurs], r.note[kOurs]) + peak(kOurs);
        int fastest = -1;
        for (int s = 0; s < kSideCount; ++s) {
            if (s != kOurs) line += " | " + peerCell(r.time[s], r.note[s], r.time[kOurs]) + peak(s);
            if (r.time[s] >= 0 && (fastest < 0 || r.time[s] < r.time[fastest])) fastest = s;
        }
        line += " | " + (fastest < 0 ? std::string("-") : labels[fastest]);
        std::printf("%s | %s |\n", line.c_str(), r.check.c_str());
    }
    std::printf("\nA peer's time is followed by its multiple of ours: below 1x the peer wins.\n");
    std::printf(
        "Beside the time of a side that runs in this process: its peak resident memory\n"
        "while the operation ran (the data it holds open included).\n");
    std::printf("\nCounterparts:\n");
    for (const Row& r : rows)
        std::printf("- %s: %s\n", std::string(r.op->caption).c_str(),
                    std::string(r.op->counterpart).c_str());
    return allEqual && allRan ? 0 : 1;
}
