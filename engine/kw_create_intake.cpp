// CSV intake of KW_create: the source is read line by line and each item's field text goes to
// its column, kept in memory or in a temporary column file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "engine/kw_create.h"
#include "platform/core/cp932.h"
#include "platform/core/engine_host.h"
#include "platform/core/fd_io.h"
#include "platform/core/folders.h"
#include "platform/core/temp_file.h"

namespace {

// Column bytes held before they go to the column files: bounds memory whatever the item count,
// and keeps open/append/close rare.
constexpr std::size_t kFlushBytes = 8u << 20;
// Lines read before the columns of an in-memory source are sized for the whole source.
constexpr std::int32_t kSampleLines = 1024;

std::string num(int n) {
    return std::to_string(n);
}

// "<data file>.001" for source column 0, three digits at least: the name its temporary is
// named after.
std::string columnFilePath(const std::string& dataPath, std::int32_t column) {
    std::string digits = num(column + 1);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return dataPath + "." + digits;
}

// Paths are UTF-8; the log is CP932 text.
std::string forLog(const std::string& path) {
    return zbq::cp932::pathToStored(path).value_or(path);
}

}  // namespace

std::int64_t KW_create::memoryLimit() const {
    const int mb = host_ != nullptr ? host_->memoryReadCsvSizeMb()
                                    : zbq::EngineHost::kDefaultMemoryReadCsvSizeMb;
    return static_cast<std::int64_t>(mb < 0 ? 0 : mb) * 1048576;
}

void KW_create::CsvOpen(CsvLineReader& reader, const std::string& path) {
    try {
        if (const int e = reader.open(path); e != 0) {
            KWfail(err_, KW_ERR_ARGUMENT,
                   "CreateFile(" + forLog(path) + ") error = " + num(e) + ".");
        }
    } catch (...) {
        KWpassOn(err_, "KW_create::CsvOpen");
    }
}

int KW_create::CsvRead(CsvLineReader& reader, std::string_view& line) {
    try {
        const int got = reader.next(line);
        if (got < 0)
            KWfail(err_, KW_ERR_ARGUMENT, "ReadFile() error = " + num(reader.error()) + ".");
        return got == 1 ? 0 : 1;
    } catch (...) {
        KWpassOn(err_, "KW_create::CsvRead");
    }
}

void KW_create::CsvClose(CsvLineReader& reader) {
    try {
        if (const int e = reader.close(); e != 0) {
            KWfail(err_, KW_ERR_ARGUMENT, "CloseHandle() error = " + num(e) + ".");
        }
    } catch (...) {
        KWpassOn(err_, "KW_create::CsvClose");
    }
}

void KW_create::DataSeparate(const std::string& sourcePath, const std::string& dataPath,
                             bool header, char separator) {
    try {
        try {
            CsvLineReader reader;
            CsvOpen(reader, sourcePath);
            inMemory_ = reader.size() <= memoryLimit();
            columns_.assign(items_.size(), Column{});
            if (!inMemory_) {
                // What killed builds left here goes first: it may be what fills the disk.
                zbq::removeStaleTempFiles(zbq::parentFolder(dataPath));
                for (std::size_t i = 0; i < items_.size(); ++i)
                    createColumnFile(dataPath, i);
            }
            records_ = 0;
            pendingBytes_ = 0;
            emptyLinesPending_ = 0;
            // One source column: every line is a record and an empty line a blank value. More:
            // an empty line cannot be a record; only trailing ones are forgiven.
            const bool oneColumn = items_.size() == 1;
            kw::MessagePump pump(host_);
            std::string_view line;
            bool first = true;
            std::int64_t lineBytes = 0;
            while (CsvRead(reader, line) == 0) {
                pump.tick();
                if (first && header) {
                    first = false;
                    continue;
                }
                first = false;
                // A NUL cannot stand in the file's NUL-terminated texts: this is no text table.
                if (reader.lineHasNul()) KWfail(err_, KW_ERR_STEP, "illegal csv file.");
                takeLine(line, separator, oneColumn);
                lineBytes += static_cast<std::int64_t>(line.size()) + 1;
                if (inMemory_ && records_ == kSampleLines) reserveColumns(reader.size(), lineBytes);
                if (!inMemory_ && pendingBytes_ >= kFlushBytes) flushColumns();
            }
            if (!inMemory_) flushColumns();
            CsvClose(reader);
        } catch (const std::bad_alloc&) {
            KWfail(err_, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        KWpassOn(err_, "KW_create::DataSeparate");
    }
}

void KW_create::createColumnFile(const std::string& dataPath, std::size_t i) {
    // A fresh temporary, never a file found under the name: a planted link must not make the
    // build overwrite what it points to.
    const std::string name = columnFilePath(dataPath, items_[i].column);
    Column& c = columns_[i];
    const int fd = zbq::createTempFile(name, c.path);
    struct stat st {};
    const int e = fd < 0 ? errno : ::fstat(fd, &st) != 0 ? errno : 0;
    if (fd >= 0) ::close(fd);
    if (e != 0) {
        KWfail(err_, KWfileFailure(e, KW_ERR_ARGUMENT),
               "column file open error. erro=" + num(e) + " (" + forLog(name) + ")");
    }
    c.device = st.st_dev;
    c.inode = st.st_ino;
}

void KW_create::takeLine(std::string_view line, char separator, bool oneColumn) {
    if (line.empty() && !oneColumn) {
        ++emptyLinesPending_;
        return;
    }
    if (emptyLinesPending_ > 0) KWfail(err_, KW_ERR_STEP, "illegal csv file.");
    SplitCsvLine(line, separator, fields_);
    if (fields_.empty() && !oneColumn) KWfail(err_, KW_ERR_STEP, "illegal csv file.");
    if (records_ == std::numeric_limits<std::int32_t>::max()) {
        KWfail(err_, KW_ERR_STEP, "too many records.");
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const auto column = static_cast<std::size_t>(items_[i].column);
        const std::string_view text =
            column < fields_.size() ? fields_[column] : std::string_view();
        std::string& bytes = columns_[i].bytes;
        bytes.append(text);
        bytes.push_back('\n');
        pendingBytes_ += text.size() + 1;
    }
    ++records_;
}

void KW_create::reserveColumns(std::int64_t sourceBytes, std::int64_t sampleBytes) {
    // Each column grows like its share of the sample: one allocation instead of a doubling
    // series that copies the column and touches fresh memory at every step.
    const double lines = static_cast<double>(sourceBytes) / static_cast<double>(sampleBytes) *
                         static_cast<double>(records_);
    for (Column& c : columns_) {
        const double perLine = static_cast<double>(c.bytes.size()) / records_;
        c.bytes.reserve(static_cast<std::size_t>(perLine * lines * 1.05) + 4096);
    }
}

void KW_create::flushColumns() {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        Column& c = columns_[i];
        if (c.bytes.empty()) continue;
        // One descriptor at a time: a thousand items stay far below the open-file limit. The
        // name is opened again each time, so it must still be the file we made, not a link or
        // another file put in its place meanwhile.
        const int fd = ::open(c.path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
        int e = fd < 0 ? errno : 0;
        struct stat st {};
        if (e == 0 && ::fstat(fd, &st) != 0) e = errno;
        if (e == 0 && (st.st_dev != c.device || st.st_ino != c.inode)) e = ESTALE;
        if (e == 0 && !zbq::writeAll(fd, c.bytes.data(), c.bytes.size())) e = errno;
        if (fd >= 0 && ::close(fd) != 0 && e == 0) e = errno;
        if (e != 0) {
            KWfail(err_, KWfileFailure(e, KW_ERR_ARGUMENT),
                   "column file write error. erro=" + num(e) + " col=" + num(static_cast<int>(i)));
        }
        c.bytes.clear();
    }
    pendingBytes_ = 0;
}

void KW_create::removeColumnFiles() noexcept {
    for (Column& c : columns_) {
        if (!c.path.empty()) ::unlink(c.path.c_str());
        c.path.clear();
    }
}
