// What both import dialogs write into temp/: the definition file of the imported items and the
// text data file of their records, and the vocabulary of item types they share.
//
// An item row is its 1-based column in the data rows, its name and its type choice (0 整数,
// 1 浮動小数, 2 日付, 3 時刻, 4 文字列). The definition is CP932 with CR LF line ends:
//
//     Title = "<title>"
//     NOHEADER
//     Alloc = "<column>,<column>,..."
//     <empty line>
//     <TAB>Item = "<name>"  <TAB><TAB><keyword>  <TAB>EndItem  <empty line>   (one per item)
//     EndTitle
//
// The two files are created exclusively (never through a name planted there) as
// "<stamp>_t.def" and "<stamp>_t.dat", moving on to "<stamp>-2_t..." while either is taken, so
// two imports never share a file. Until finish() they are the writer's; a writer that goes away
// unfinished removes both, so a failed import leaves nothing behind. Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zbq::app {

inline constexpr int kTypeChoices = 5;

// "整数" ... "文字列" (CP932), by type choice.
const std::vector<std::string>& typeCaptions();
// "Integer", "Float", "Date", "Time", "String", by type choice.
const char* typeKeyword(int typeChoice);
// The type choice of a caption; -1 for a caption that is none of them.
int typeChoiceOf(std::string_view caption);
// The data set's item type (2 Integer, 3 Float, 5 Date, 7 Time, 4 String) of a type choice.
std::int32_t itemTypeOf(int typeChoice);

struct ImportItem {
    std::int32_t column = 0;  // 1-based
    std::string name;         // CP932
    int typeChoice = 4;
};

// The definition file's bytes for `title` (CP932) and the items in list order.
std::string definitionText(std::string_view title, const std::vector<ImportItem>& items);

class ImportOutput {
public:
    ImportOutput() = default;
    ~ImportOutput();
    ImportOutput(const ImportOutput&) = delete;
    ImportOutput& operator=(const ImportOutput&) = delete;

    // Creates temp/ under `programDir` when missing and claims the two names for `stamp`.
    // False when they cannot be created (then nothing is left).
    bool claim(const std::string& programDir, const std::string& stamp);
    const std::string& definitionPath() const { return definitionPath_; }
    const std::string& dataPath() const { return dataPath_; }

    bool writeDefinition(std::string_view bytes);
    // Drops the definition file: an addition writes the data only.
    void dropDefinition();
    // One data line; CR LF is appended.
    bool writeLine(std::string_view line);
    std::int64_t linesWritten() const { return lines_; }
    // Closes both files and keeps them; false when the data could not be flushed.
    bool finish();
    // Removes whatever was written.
    void discard();

private:
    std::string definitionPath_;
    std::string dataPath_;
    bool flush();

    int dataFd_ = -1;
    int definitionFd_ = -1;
    std::string buffer_;
    bool failed_ = false;
    std::int64_t lines_ = 0;
    bool kept_ = false;
};

}  // namespace zbq::app
