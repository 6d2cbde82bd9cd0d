// The temporary files of one run, in the folder temp/ of the program directory: the data file
// built from a definition ("_t.zbq"), the added records and the joined data set ("_a.zbq",
// "_m.zbq"), and the workbooks handed to the graph control and the spreadsheet program
// ("_g.xlsx", "_e.xlsx"). They are named after the start-up stamp, the local time as
// MMDDYYhhmmss.
//
// Two programs started in the same second must never share a file, so the names are claimed by
// creating them exclusively (empty, 0600, never through a link planted there); when any of them
// is taken, all move on to the next suffix ("<stamp>-2_t.zbq", "<stamp>-3_t.zbq" ...). The
// claimed empty files are overwritten by whoever writes them and deleted at shutdown.
//
// A run marks its names as live by holding a lock on "<base>.lock" beside them (an
// open-file-description lock, which goes with the process however it ends), created before the
// other five and removed after them. A run that was killed leaves the lock file behind with
// nobody holding it: the next start removes that run's files (removeAbandonedTemps), the
// definition and text data its imports wrote under its base ("_t.def", "_t.dat") among them. Names
// a run saved a data set to are written into its lock file and outlive it, as they do a clean
// shutdown. A clean shutdown removes the lock file, so what it spares is never touched again.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace zbq::app {

struct TempNames {
    std::string data;     // "_t.zbq"
    std::string add;      // "_a.zbq"
    std::string merge;    // "_m.zbq"
    std::string graph;    // "_g.xlsx"
    std::string exports;  // "_e.xlsx"
};

struct TempClaim;

// A run's hold on its names: the lock on "<base>.lock", held while the object lives. Letting it
// go by destruction leaves the lock file, as a killed run does; release() removes it.
class TempLock {
public:
    TempLock() = default;
    ~TempLock();
    TempLock(TempLock&& other) noexcept;
    TempLock& operator=(TempLock&& other) noexcept;
    TempLock(const TempLock&) = delete;
    TempLock& operator=(const TempLock&) = delete;

    bool held() const { return fd_ >= 0; }
    // Notes in the lock file that the temporary at `path` now holds a saved data set, so that
    // no later start removes it. False when it cannot be noted.
    bool keep(const std::string& path);
    // Removes the lock file and lets the lock go; the run's files must be gone or kept by then.
    void release();

private:
    friend TempClaim claimTempNames(const std::string& folder, const std::string& stamp);
    TempLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    void close();

    int fd_ = -1;
    std::string path_;
};

struct TempClaim {
    TempNames names;
    TempLock lock;
    // Empty when the names were claimed; else the file that could not be created (a missing or
    // unwritable folder, a full disk, a thousand suffixes taken).
    std::string failedPath;
    bool claimed() const { return failedPath.empty(); }
};

// Twelve digits: month, day, two-digit year, hour, minute, second of the local time.
std::string startupStamp(std::chrono::system_clock::time_point when);

// The names under `folder` for `stamp`, claimed and locked as above.
TempClaim claimTempNames(const std::string& folder, const std::string& stamp);

// Removes, in `folder`, the temporaries and the lock file of every run whose lock file nobody
// holds any longer, except the names that run noted as saved to. Files of no lock file (those a
// clean shutdown spared) and names that are not a run's temporaries are left alone. The names
// removed, in no particular order.
std::vector<std::string> removeAbandonedTemps(const std::string& folder);

// The same file on disk, however the two names are spelled; never true for a missing file.
// What decides whether a save went to a temporary (and so whether shutdown spares it).
bool sameFile(const std::string& a, const std::string& b);

}  // namespace zbq::app
