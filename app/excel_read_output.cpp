// The import dialogs' definition and text data files (excel_read_output.h).
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/excel_read_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/temp_names.h"
#include "platform/core/cp932.h"
#include "platform/core/fd_io.h"

namespace zbq::app {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;
constexpr int kMaxSuffix = 1000;

int createExclusive(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

}  // namespace

const std::vector<std::string>& typeCaptions() {
    static const std::vector<std::string> captions = {
        cp932::literal(ZBQ_SHOWN("整数")), cp932::literal(ZBQ_SHOWN("浮動小数")),
        cp932::literal(ZBQ_SHOWN("日付")), cp932::literal(ZBQ_SHOWN("時刻")),
        cp932::literal(ZBQ_SHOWN("文字列"))};
    return captions;
}

const char* typeKeyword(int typeChoice) {
    static const char* const keywords[kTypeChoices] = {"Integer", "Float", "Date", "Time",
                                                       "String"};
    return typeChoice >= 0 && typeChoice < kTypeChoices ? keywords[typeChoice] : "String";
}

int typeChoiceOf(std::string_view caption) {
    const std::vector<std::string>& captions = typeCaptions();
    for (int i = 0; i < kTypeChoices; ++i)
        if (captions[i] == caption) return i;
    return -1;
}

std::int32_t itemTypeOf(int typeChoice) {
    static const std::int32_t types[kTypeChoices] = {2, 3, 5, 7, 4};
    return typeChoice >= 0 && typeChoice < kTypeChoices ? types[typeChoice] : -1;
}

std::string definitionText(std::string_view title, const std::vector<ImportItem>& items) {
    std::string out;
    out += "Title = \"";
    out += title;
    out += "\"\r\nNOHEADER\r\nAlloc = \"";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        out += std::to_string(items[i].column);
    }
    out += "\"\r\n\r\n";
    for (const ImportItem& item : items) {
        out += "\tItem = \"";
        out += item.name;
        out += "\"\r\n\t\t";
        out += typeKeyword(item.typeChoice);
        out += "\r\n\tEndItem\r\n\r\n";
    }
    out += "EndTitle\r\n";
    return out;
}

bool definitionKeeps(std::string_view text) {
    return text.find_first_of(std::string_view(" \t\"\r\n\0", 6)) == std::string_view::npos;
}

void appendBuilderField(std::string& line, std::string_view cell) {
    const bool quoted = !cell.empty() && (cell.front() == '"' || cell.back() == '"');
    if (quoted) line += '"';
    line += cell;
    if (quoted) line += '"';
}

ImportOutput::~ImportOutput() {
    if (!kept_) discard();
}

bool ImportOutput::claim(const std::string& programDir, const std::string& stamp) {
    discard();
    const std::string folder = programDir + "/temp";
    ::mkdir(folder.c_str(), 0755);
    for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
        const std::string base =
            folder + "/" + stamp + (suffix == 1 ? "" : "-" + std::to_string(suffix)) + "_t";
        if (claimBase(base, false)) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

bool ImportOutput::claimForRun(const std::string& runDataFile) {
    discard();
    constexpr std::string_view kDataEnding = ".zbq";
    if (!runDataFile.ends_with(kDataEnding)) return false;
    return claimBase(runDataFile.substr(0, runDataFile.size() - kDataEnding.size()), true);
}

// Creates "<base>.def" and "<base>.dat"; on failure errno tells why (EEXIST: a name is taken).
bool ImportOutput::claimBase(const std::string& base, bool replace) {
    const std::string defPath = base + ".def";
    const std::string datPath = base + ".dat";
    if (replace) {
        ::unlink(defPath.c_str());
        ::unlink(datPath.c_str());
    }
    const int def = createExclusive(defPath);
    if (def < 0) return false;
    const int dat = createExclusive(datPath);
    if (dat < 0) {
        const int error = errno;
        ::close(def);
        ::unlink(defPath.c_str());
        errno = error;
        return false;
    }
    definitionFd_ = def;
    dataFd_ = dat;
    writeError_ = 0;
    definitionPath_ = defPath;
    dataPath_ = datPath;
    kept_ = false;
    return true;
}

bool claimImportOutput(CKWApp& app, ImportOutput& output) {
    const std::string& run = app.GetTempDataFile();
    if (!run.empty()) return output.claimForRun(run);
    return output.claim(app.GetProgramDir(), startupStamp(app.Now()));
}

bool ImportOutput::writeDefinition(std::string_view bytes) {
    if (definitionFd_ < 0) return false;
    const bool written = writeAll(definitionFd_, bytes.data(), bytes.size());
    if (!written) writeError_ = errno;
    const bool closed = ::close(definitionFd_) == 0;
    if (written && !closed) writeError_ = errno;
    definitionFd_ = -1;
    return written && closed;
}

void ImportOutput::dropDefinition() {
    if (definitionFd_ >= 0) ::close(definitionFd_);
    definitionFd_ = -1;
    if (!definitionPath_.empty()) ::unlink(definitionPath_.c_str());
    definitionPath_.clear();
}

bool ImportOutput::flush() {
    if (failed_ || dataFd_ < 0) return false;
    if (!buffer_.empty() && !writeAll(dataFd_, buffer_.data(), buffer_.size())) {
        failed_ = true;
        writeError_ = errno;
    }
    buffer_.clear();
    return !failed_;
}

bool ImportOutput::writeLine(std::string_view line) {
    if (failed_ || dataFd_ < 0) return false;
    buffer_ += line;
    buffer_ += "\r\n";
    ++lines_;
    bytes_ += line.size() + 2;
    return buffer_.size() < kFlushSize || flush();
}

bool ImportOutput::finish() {
    if (definitionFd_ >= 0) ::close(definitionFd_);
    definitionFd_ = -1;
    const bool flushed = flush();
    const bool closed = dataFd_ >= 0 && ::close(dataFd_) == 0;
    if (flushed && !closed) writeError_ = errno;
    dataFd_ = -1;
    if (!flushed || !closed) {
        discard();
        return false;
    }
    kept_ = true;
    return true;
}

void ImportOutput::discard() {
    if (definitionFd_ >= 0) ::close(definitionFd_);
    if (dataFd_ >= 0) ::close(dataFd_);
    definitionFd_ = dataFd_ = -1;
    for (std::string* path : {&definitionPath_, &dataPath_}) {
        if (!path->empty()) ::unlink(path->c_str());
        path->clear();
    }
    buffer_.clear();
    failed_ = false;
    lines_ = 0;
    bytes_ = 0;
    kept_ = false;
}

}  // namespace zbq::app
