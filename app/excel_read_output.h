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
// The two files are created exclusively (never through a name planted there). A run that holds
// its temporary names (temp_names.h) writes them as "<base>_t.def" and "<base>_t.dat" beside
// its others, so that a start after it was killed removes them with the rest; without them
// they are "<stamp>_t.def" and "<stamp>_t.dat", moving on to "<stamp>-2_t..." while either is
// taken, so two imports never share a file. Until finish() they are the writer's; a writer that
// goes away unfinished removes both, so a failed import leaves nothing behind. Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/shown_text.h"

class CKWApp;

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

// Whether the definition parser reads `text`, written between the quotes of a Title or Item
// line, back byte for byte. It drops every blank, TAB and double quote of a line and refuses
// NUL and line breaks; "//" between the quotes stays. Names that pass are unequal after
// loading exactly when they are unequal now.
bool definitionKeeps(std::string_view text);
// What the import dialogs say of a name or title that definitionKeeps refuses (UTF-8; a name's
// message is followed by the dialog's "[...]" naming it).
// clang-format off
inline constexpr char kNameCharacters[] = ZBQ_SHOWN("項目名に使用できない文字（空白、タブ、\"、改行）があります。項目名を変更してください。");
inline constexpr char kTitleCharacters[] = ZBQ_SHOWN("タイトルに使用できない文字（空白、タブ、\"、改行）があります。タイトルを変更してください。");
// clang-format on

// Appends `cell` as one TAB-separated field that the builder's field splitter gives back
// unchanged. The splitter takes a leading or trailing double quote as CSV quoting (and a field
// after a TAB that starts with one runs on over TABs), so a cell that starts or ends with a
// quote is enclosed in one more pair, which the splitter takes off again. `cell` holds no TAB,
// CR, LF or NUL.
void appendBuilderField(std::string& line, std::string_view cell);

class ImportOutput;
// The run's pair when the application holds its temporary names, else one under the stamp of
// the application's clock in its program directory's temp/.
bool claimImportOutput(CKWApp& app, ImportOutput& output);

class ImportOutput {
public:
    ImportOutput() = default;
    ~ImportOutput();
    ImportOutput(const ImportOutput&) = delete;
    ImportOutput& operator=(const ImportOutput&) = delete;

    // Creates temp/ under `programDir` when missing and claims the two names for `stamp`.
    // False when they cannot be created (then nothing is left).
    bool claim(const std::string& programDir, const std::string& stamp);
    // Claims the two names of the run whose working data file is `runDataFile`
    // ("<base>_t.zbq"). The base is the run's alone, so a pair that an earlier import of this
    // run left is replaced.
    bool claimForRun(const std::string& runDataFile);
    const std::string& definitionPath() const { return definitionPath_; }
    const std::string& dataPath() const { return dataPath_; }

    bool writeDefinition(std::string_view bytes);
    // Drops the definition file: an addition writes the data only.
    void dropDefinition();
    // One data line; CR LF is appended.
    bool writeLine(std::string_view line);
    std::int64_t linesWritten() const { return lines_; }
    // The data's bytes so far, line ends included.
    std::uint64_t bytesWritten() const { return bytes_; }
    // Closes both files and keeps them; false when the data could not be flushed.
    bool finish();
    // Removes whatever was written.
    void discard();
    // The errno of the last write or close that failed (ENOSPC: the disk is full), 0 when none
    // has since the names were claimed.
    int writeError() const { return writeError_; }

private:
    bool claimBase(const std::string& base, bool replace);

    std::string definitionPath_;
    std::string dataPath_;
    bool flush();

    int dataFd_ = -1;
    int definitionFd_ = -1;
    std::string buffer_;
    bool failed_ = false;
    int writeError_ = 0;
    std::int64_t lines_ = 0;
    std::uint64_t bytes_ = 0;
    bool kept_ = false;
};

}  // namespace zbq::app
