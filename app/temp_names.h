// The temporary files of one run, in the folder temp/ of the program directory: the data file
// built from a definition ("_t.zbq"), the added records and the joined data set ("_a.zbq",
// "_m.zbq"), and the workbooks handed to the graph control and the spreadsheet program
// ("_g.xlsx", "_e.xlsx"). They are named after the start-up stamp, the local time as
// MMDDYYhhmmss.
//
// Two programs started in the same second must never share a file, so the names are claimed by
// creating all five exclusively (empty, 0600, never through a link planted there); when any of
// them is taken, all five move on to the next suffix ("<stamp>-2_t.zbq", "<stamp>-3_t.zbq" ...).
// The claimed empty files are overwritten by whoever writes them and deleted at shutdown.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zbq::app {

struct TempNames {
    std::string data;     // "_t.zbq"
    std::string add;      // "_a.zbq"
    std::string merge;    // "_m.zbq"
    std::string graph;    // "_g.xlsx"
    std::string exports;  // "_e.xlsx"
};

// Twelve digits: month, day, two-digit year, hour, minute, second of the local time.
std::string startupStamp(std::chrono::system_clock::time_point when);

// The five names under `folder` for `stamp`, claimed as above. When the folder refuses files
// (missing, not writable) the unclaimed names of the bare stamp are returned, so that the step
// that writes one reports the failure in its own words.
TempNames claimTempNames(const std::string& folder, const std::string& stamp);

// The same file on disk, however the two names are spelled; never true for a missing file.
// What decides whether a save went to a temporary (and so whether shutdown spares it).
bool sameFile(const std::string& a, const std::string& b);

}  // namespace zbq::app
