#include "platform/ui/spreadsheet_probe.h"

#include <sys/stat.h>
#include <QStandardPaths>
#include <QStringList>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/core/profile.h"

namespace zbq::ui {

namespace {

constexpr std::string_view kWorkbookType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

// Programs that open .xlsx when no desktop association says so.
constexpr const char* kKnownPrograms[] = {
    "libreoffice", "soffice", "localc", "gnumeric", "calligrasheets", "onlyoffice-desktopeditors"};

std::optional<std::string>& testAnswer() {
    static std::optional<std::string> answer;
    return answer;
}

std::vector<std::string> locations(QStandardPaths::StandardLocation which) {
    std::vector<std::string> out;
    for (const QString& dir : QStandardPaths::standardLocations(which))
        out.push_back(dir.toStdString());
    return out;
}

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The first desktop file id of a "a.desktop;b.desktop;" list that is installed in one of the
// application folders; a stale association names a program that is gone.
std::string installedEntry(const std::string& list, const std::vector<std::string>& appDirs) {
    std::size_t begin = 0;
    while (begin < list.size()) {
        std::size_t end = list.find(';', begin);
        if (end == std::string::npos) end = list.size();
        const std::string id(profileTrim(std::string_view(list).substr(begin, end - begin)));
        for (const std::string& dir : appDirs)
            if (!id.empty() && isFile(dir + "/" + id)) return id;
        begin = end + 1;
    }
    return {};
}

std::string registeredProgram() {
    const std::vector<std::string> appDirs = locations(QStandardPaths::ApplicationsLocation);
    std::vector<std::string> lists;  // mimeapps.list files, most specific first
    for (const std::string& dir : locations(QStandardPaths::GenericConfigLocation))
        lists.push_back(dir + "/mimeapps.list");
    for (const std::string& dir : appDirs)
        lists.push_back(dir + "/mimeapps.list");

    for (const std::string& path : lists) {
        ProfileFile file;
        if (!isFile(path) || !ProfileFile::load(path, file)) continue;
        for (const char* section : {"Default Applications", "Added Associations"}) {
            const std::string id = installedEntry(file.getString(section, kWorkbookType), appDirs);
            if (!id.empty()) return id;
        }
    }
    for (const std::string& dir : appDirs) {
        ProfileFile cache;
        const std::string path = dir + "/mimeinfo.cache";
        if (!isFile(path) || !ProfileFile::load(path, cache)) continue;
        const std::string id =
            installedEntry(cache.getString("MIME Cache", kWorkbookType), appDirs);
        if (!id.empty()) return id;
    }
    return {};
}

}  // namespace

std::string spreadsheetProgram() {
    if (testAnswer()) return *testAnswer();
    if (const char* off = std::getenv("ZBQ_NO_SPREADSHEET"); off && *off) return {};
    if (std::string id = registeredProgram(); !id.empty()) return id;
    for (const char* name : kKnownPrograms) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) return path.toStdString();
    }
    return {};
}

void setSpreadsheetProbeForTest(std::optional<std::string> answer) {
    testAnswer() = std::move(answer);
}

}  // namespace zbq::ui
