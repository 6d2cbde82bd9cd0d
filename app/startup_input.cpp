#include "app/startup_input.h"

#include <sys/stat.h>

#include <filesystem>

#include "app/shown_message.h"
#include "platform/core/shown_text.h"

namespace zbq::app {

namespace {

std::string lastFour(const std::string& name) {
    std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : name;
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail;
}

bool isWorkbook(const std::string& name) {
    const std::string tail = lastFour(name);
    return tail == ".xls" || tail == "xlsx";
}

bool isText(const std::string& name) {
    return lastFour(name) == ".txt";
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

InputChoice refuse(std::string message, bool closeFrame = true) {
    InputChoice choice;
    choice.refusal = std::move(message);
    choice.closeFrame = closeFrame;
    return choice;
}

InputChoice accept(InputKind kind, std::vector<std::string> files) {
    InputChoice choice;
    choice.accepted = true;
    choice.kind = kind;
    choice.files = std::move(files);
    return choice;
}

}  // namespace

std::string expandedPath(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(name, ec);
    if (ec) return name;
    return absolute.lexically_normal().string();
}

std::string withEnding(const std::string& name, const char* ending) {
    return (name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string()) + ending;
}

InputChoice inputFromCommandLine(const std::string& name) {
    const std::string path = expandedPath(name);
    const std::string tail = lastFour(path);
    if (tail == ".zbq") return accept(InputKind::DataFile, {path});
    if (tail == ".def") return accept(InputKind::Definition, {path});
    // Said before the frame has anything to close, so the frame is left alone. Workbooks and
    // text files come through the open dialog only, which the message says.
    // clang-format off
    return refuse(shownMessage(ZBQ_SHOWN("ファイル形式が違います。[%1]\n起動時に指定できるのは、ZBQファイル(.zbq)と定義ファイル(.def)です。Excelファイルとテキストファイルは、ファイルを指定せずに起動して、ファイルを開くダイアログで選んでください。"), {path}), false);
    // clang-format on
}

InputChoice inputFromDialog(const std::vector<std::string>& files, bool importPossible) {
    if (files.empty()) return refuse(ZBQ_SHOWN("ファイルが見つかりません。"));
    // Several files come from one folder, which stands for them in the first checks.
    const std::string path = files.size() == 1
                                 ? files.front()
                                 : std::filesystem::path(files.front()).parent_path().string();
    if (!exists(path)) return refuse(ZBQ_SHOWN("ファイルが見つかりません。"));
    if (files.size() == 1 && lastFour(path) == ".zbq") return accept(InputKind::DataFile, files);
    if (!isDirectory(path) && !isWorkbook(path) && !isText(path))
        return refuse(ZBQ_SHOWN("ファイル形式が違います。"));
    if (!importPossible) return refuse(ZBQ_SHOWN("ZBQファイルを指定してください。"));

    bool workbooks = false;
    bool texts = false;
    for (const std::string& file : files) {
        if (isWorkbook(file))
            workbooks = true;
        else if (isText(file))
            texts = true;
        else
            return refuse(ZBQ_SHOWN("ファイルを複数指定出来るのは、Excelファイルのみです。"));
    }
    if (workbooks && texts)
        return refuse(ZBQ_SHOWN("ファイルを複数指定出来るのは、同一形式のファイルのみです。"));
    return accept(workbooks ? InputKind::Excel : InputKind::Text, files);
}

}  // namespace zbq::app
