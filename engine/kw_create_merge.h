// Data files made from the loaded data set without the CSV builder: the loaded records
// followed by those of a second data file (adding data), the records of the current map
// alone (saving the displayed set), and the memory a file will need once loaded.
//
// The loaded set (KW_search) is only read: its tables are never changed, not even for a
// moment. Every file is written through a temporary beside the output and renamed over it
// when complete, so the output may be the very file the loaded set came from: a failure
// leaves it exactly as it was.
//
// Results are 0 or a negative code: -1 for a bad argument or a second file of another
// structure, -1011 when memory runs out, the codes of kw_format.h for a damaged second file or
// an output too large, a MapErrno code for a failed file call.
// Threads: one thread at a time, the one that owns the KW_search; the host is called there.
#pragma once

#include <cstdint>
#include <string>

class KW_search;

namespace zbq {
class EngineHost;
}

// Writes `outputPath`: the loaded records, then those of the data file at `secondPath`, which
// must have the loaded set's structure (item count, types, code tables entry for entry); the
// second file's head (title, version, password) is kept. The item blocks equal what the
// builder makes of the two sources one after the other. A second file carrying a password is
// refused with -1003. The host, when given, pumps messages once per item.
std::int32_t AppendDataFile(const KW_search& loaded, const std::string& secondPath,
                            const std::string& outputPath, zbq::EngineHost* host = nullptr);

// Writes `outputPath`: the records of the current map (all records when there is none), with
// the loaded title, format version 100 and no password. Every dictionary keeps all its
// entries; a value no selected record holds keeps its entry with count 0.
std::int32_t KWmapSave(const KW_search& loaded, const std::string& outputPath);

// The memory a data file needs once loaded, in KB: (record count x 12 + file size) / 1024.
// Reads only the head, the counts and the item definitions; -1001 for a file that is not a
// data file, KW_ERR_DAMAGED for counts out of range or a file shorter than its definitions.
std::int32_t KWgetFileMemory(const std::string& path);
