// KW_create: the builder that turns a delimited text table and its item definitions into a
// data file (kw_format.h).
//
// The application describes the data set (SetItemCount, SetItem, SetCodeCount, SetCode,
// SetTitle), then calls KWcreate. The build splits the source into one column of field texts
// per item (kept in memory up to [MEMORY] MemoryReadCsvSize megabytes of source, else in
// temporary column files beside the output, one per item, each a fresh temporary of its own
// named after "<data file>.<column + 1, three digits>": platform/core/temp_file.h), builds
// each item's dictionary in turn and writes the file through a temporary and a rename, so a
// failed build leaves an existing file of that name as it was and no column file behind. The
// column files of a build that was killed are removed by the next build or save in the folder.
// The description stays readable after a build and can be built again.
//
// Results are 0 or a negative code; a failed build logs one line to ZBQ_Error.log with the
// method path ("illegal csv file.|KW_create::DataSeparate|KW_create::KWcreate()"). A full disk
// is -4 at every step.
//
// Threads: one thread at a time; the host (not owned, may be null) is called on that thread.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/kw_create_csv.h"
#include "engine/kw_create_dict.h"
#include "engine/kw_error.h"
#include "engine/kw_format.h"

namespace zbq {
class EngineHost;
}

class KW_create {
public:
    KW_create() = default;
    KW_create(const KW_create&) = delete;
    KW_create& operator=(const KW_create&) = delete;

    // Progress texts go to the host, which also supplies MemoryReadCsvSize and pumps messages.
    void SetOwner(zbq::EngineHost* host) { host_ = host; }

    // Forgets the old description: n items (0 to 1024) without name, type or column. 0, -1 for
    // a count out of range, -1011 when memory runs out.
    std::int32_t SetItemCount(std::int32_t n);
    // Item i: its name (cut to 63 bytes in the file), engine type (KWType 1 to 6) and 0-based
    // source column. -1 (nothing changed) for an item out of range, a type outside 1 to 6, a
    // negative column, a column that another item already reads, or a name holding a NUL.
    std::int32_t SetItem(std::int32_t i, std::string_view name, std::int32_t type,
                         std::int32_t column);
    // A fresh code table of `count` empty entries for item i. -1 for an item out of range or a
    // negative count, -1011 when memory runs out.
    std::int32_t SetCodeCount(std::int32_t i, std::int32_t count);
    // Entry j of item i's code table. -1 for an index out of range or a text holding a NUL.
    std::int32_t SetCode(std::int32_t i, std::int32_t j, std::string_view code,
                         std::string_view name);
    // The data set title (cut to 63 bytes in the file; at an embedded NUL).
    void SetTitle(std::string_view title);

    // Builds the data file at dataPath from the text table at sourcePath, whose fields are
    // separated by `separator` (TAB or ','); with header != 0 the first line is skipped.
    // 0 with nothing written when there are no items; else 0 or the negative code of the
    // failure (logged).
    std::int32_t KWcreate(const std::string& sourcePath, const std::string& dataPath,
                          char separator, std::int32_t header);

    // The record count of the last successful build.
    std::int32_t recordCount() const { return records_; }

private:
    struct Item {
        std::string name;
        std::int32_t type = 0;
        std::int32_t column = -1;
        std::vector<kw::CodeEntry> codes;
    };

    // One item's field texts: in memory, or in its column file.
    struct Column {
        std::string path;  // column-file mode
        // The column file as created: each flush checks it is still the same file.
        dev_t device = 0;
        ino_t inode = 0;
        std::string bytes;  // each text followed by LF: all of them, or those not yet flushed
    };

    void checkDescription(char separator);
    std::int64_t memoryLimit() const;
    void DataSeparate(const std::string& sourcePath, const std::string& dataPath, bool header,
                      char separator);
    void takeLine(std::string_view line, char separator, bool oneColumn);
    void reserveColumns(std::int64_t sourceBytes, std::int64_t sampleBytes);
    void createColumnFile(const std::string& dataPath, std::size_t i);
    void flushColumns();
    void removeColumnFiles() noexcept;

    void CsvOpen(CsvLineReader& reader, const std::string& path);
    int CsvRead(CsvLineReader& reader, std::string_view& line);
    void CsvClose(CsvLineReader& reader);

    void buildItem(std::int32_t i, kw::BuildContext& context, kw::ItemBlock& block);
    void status(std::string_view text);

    KW_error err_;
    zbq::EngineHost* host_ = nullptr;
    std::vector<Item> items_;
    std::string title_;
    char separator_ = '\t';
    std::int32_t records_ = 0;

    // State of one build.
    bool inMemory_ = true;
    std::vector<Column> columns_;  // per item
    std::vector<std::string_view> fields_;
    std::size_t pendingBytes_ = 0;
    std::int64_t emptyLinesPending_ = 0;
};
