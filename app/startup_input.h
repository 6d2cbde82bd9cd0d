// The choice of ZBQ's input at start-up, as plain decisions on paths: a data file (.zbq), a
// definition file (.def, with its text data beside it), or Excel workbooks or text files for
// the import dialogs. The extension is the name's last four characters, lower-cased (".zbq",
// ".def", ".xls", "xlsx", ".txt"), so "DATA.ZBQ" is a data file.
//
// A refusal carries the system's message (UTF-8); the caller shows it and ends the start-up.
// Paths are UTF-8. No dialog is shown here and nothing is written.
#pragma once

#include <string>
#include <vector>

namespace zbq::app {

enum class InputKind { DataFile, Definition, Excel, Text };

struct InputChoice {
    bool accepted = false;
    std::string refusal;     // the message when not accepted
    bool closeFrame = true;  // the refusal closes the main frame first
    InputKind kind = InputKind::DataFile;
    std::vector<std::string> files;  // the data or definition file; the files to import
};

// The name made absolute and tidied ("a/./b" -> "<cwd>/a/b"), as a long path name would be.
std::string expandedPath(const std::string& name);

// A file named on the command line: a data file or a definition file, else refused naming the
// expanded name and the inputs accepted ("Inadequate file[<expanded name>]" in English).
InputChoice inputFromCommandLine(const std::string& name);

// The files picked in the open dialog (one, or several of one folder). `importPossible`: a
// spreadsheet program is installed, so workbooks and text files may be imported.
InputChoice inputFromDialog(const std::vector<std::string>& files, bool importPossible);

// The name less its last four characters plus `ending` (".dat", ".mcr").
std::string withEnding(const std::string& name, const char* ending);

}  // namespace zbq::app
