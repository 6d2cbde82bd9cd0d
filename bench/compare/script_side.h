// The sides that run as programs of their own (the pandas script, the DuckDB script): each is
// given the source, the items and the work folder, times the chosen operations as measure.h
// does, and writes answers/<op>.<name>.tsv and <name>_times.tsv in the work folder, one line
// per operation: its id, a TAB, and the median seconds or "failed: <why>".
//
// runScript starts the program without a shell (paths may hold anything), its output going to
// our standard error, and waits for it. The times file of an earlier run is removed first, so
// a script that dies reports nothing rather than old figures.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace zbq::bench {

// What a script reported for one operation: seconds >= 0, or -1 and why it failed.
struct ScriptResult {
    double seconds = -1;
    std::string failure;
};

// Runs argv[0] (searched on PATH) with its arguments and reads `timesFile`. Returns false, with
// `error` saying why, when the program cannot start or exits unsuccessfully; whatever it
// reported before that is in `byOp` all the same.
bool runScript(const std::vector<std::string>& argv, const std::string& timesFile,
               std::map<std::string, ScriptResult>& byOp, std::string& error);

}  // namespace zbq::bench
