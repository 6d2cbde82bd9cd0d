// CTextReadDlg's state and actions without widgets: a new data set from tab-separated text
// files. The files are listed by name (all opened from the folder of the first); the item names
// come from the first line of one of them, every item starting as 文字列; on OK the definition
// and one text data file holding every file's lines but its first are written into temp/
// (excel_read_output.h), and the caller loads the definition.
//
// Only regular files are read, opened without blocking (a FIFO or a device is refused at once).
// The line of item names is read no further than 64 KiB and may name at most 1,024 items; the
// data lines end at LF or CR LF and are copied whole, whatever their length. A file must be CP932
// text without NUL and without a CR inside a line: anything else (a UTF-8 file, with or without
// a BOM, above all) is refused naming the file and its first bad line, where the names are read
// or at OK, so that what OK accepts loads as it stands. Cells reach the data set as they stand:
// one that starts or ends with a double quote is written enclosed in one more pair, which the
// builder's CSV splitting takes off again. Names and the title must come back from the
// definition parser unchanged (definitionKeeps), and the title must not be empty. A line with
// fewer cells than items read is padded with TABs. Messages go through the application's
// prompts; a refused OK leaves everything as it was, a failed one leaves no file. No macro steps
// are recorded here. Names and the title are CP932.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "app/excel_read_output.h"

class CKWApp;

namespace zbq::app {

// The next line of a text file as the import reads it: without its LF, and without the CR of a
// CR LF; false at the end of the file.
bool nextTextLine(std::istream& in, std::string& line);
// A line's cells, split at every TAB.
std::vector<std::string> splitAtTabs(const std::string& line);

class TextReadModel {
public:
    enum class Outcome { Stay, Accepted, Cancelled };
    static constexpr std::size_t kNameLimit = 60;

    TextReadModel(CKWApp& app, const std::vector<std::string>& paths);

    const std::string& folder() const { return folder_; }
    const std::vector<std::string>& files() const { return files_; }
    const std::vector<ImportItem>& items() const { return items_; }
    int columnCount() const { return columnCount_; }
    bool okEnabled() const { return okEnabled_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    // The item names of file row `row` (the first selected); false (told) when the file cannot
    // be opened or has no line, the item list unchanged.
    bool ReadItemNames(int row);
    // Each returns the selection after the operation.
    std::vector<int> DeleteFiles(const std::vector<int>& selected);
    std::vector<int> MoveFilesUp(const std::vector<int>& selected);
    std::vector<int> MoveFilesDown(const std::vector<int>& selected);
    void DeleteItems(const std::vector<int>& selected);
    // An accepted edit of item row `row`; false for a row that does not exist.
    bool SetItem(int row, std::string name, int typeChoice);

    // OK: Stay after a refused check, Accepted with both files written, Cancelled after a
    // failure (told; nothing left in temp/).
    Outcome OnOK();
    // The written definition file, after Accepted.
    const std::string& outputPath() const { return outputPath_; }

private:
    std::string pathOf(const std::string& file) const { return folder_ + "/" + file; }

    CKWApp& app_;
    std::string folder_;
    std::vector<std::string> files_;
    std::vector<ImportItem> items_;
    std::string title_;
    int columnCount_ = 0;
    bool okEnabled_ = true;
    std::string outputPath_;
};

}  // namespace zbq::app
