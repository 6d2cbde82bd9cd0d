#include "windows/attachments.h"

#include <QString>

#include <algorithm>
#include <array>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/language.h"
#include "platform/ui/process_starter.h"
#include "windows/data_grid_model.h"

namespace zbq::windows {
namespace {

// The messages, each one literal as the translation finds it; %1 and %2 take paths.
// clang-format off
constexpr const char* kNoImageFolder = ZBQ_SHOWN("%1の[image] Path= に、ファイルのパスを記述して下さい。");
constexpr const char* kNotFound = ZBQ_SHOWN("%1ファイルが見つかりません。\n%2の[image] Path= に記述されているパスにファイルがあるか確認してください。");
constexpr const char* kOpenFailed = ZBQ_SHOWN("%1ファイルの表示に失敗しました。");
constexpr const char* kNoNumber = ZBQ_SHOWN("登録番号の取得に失敗したため、添付ファイルを表示できません。\nコンソール画面［項目選択］タブのツリー一覧の先頭項目に「登録番号」になっているか確認して下さい。");
constexpr const char* kViewerFailed = ZBQ_SHOWN("添付ファイルを表示するためのモジュールの起動に失敗しました。\n\nモジュール[%1]");
// clang-format on

constexpr std::array<std::string_view, 16> kExtensions = {
    ".tif", ".tiff", ".jfx", ".bmp", ".jpg", ".jpe", ".jpeg", ".pcx",
    ".dcx", ".xif",  ".gif", ".pdf", ".doc", ".xls", ".ppt",  ".wif"};

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The entry of `folder` whose name equals `part` regardless of ASCII case.
std::optional<std::filesystem::path> findPart(const std::filesystem::path& folder,
                                              const std::string& part) {
    std::error_code ec;
    const std::string wanted = asciiLower(part);
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (asciiLower(entry.path().filename().string()) == wanted) return entry.path();
    return std::nullopt;
}

// A message of ours with paths in it: the text is put in the language before they go in.
std::string told(const QString& shown, const std::string& path) {
    return shown.arg(QString::fromStdString(path)).toStdString();
}
std::string told(const QString& shown, const std::string& first, const std::string& second) {
    return shown.arg(QString::fromStdString(first), QString::fromStdString(second)).toStdString();
}

std::string settingsPath(const CKWApp& app) {
    return app.GetProgramDir() + "/ZBQ.ini";
}

}  // namespace

bool HasAttachmentExtension(std::string_view lowerText) {
    return std::any_of(kExtensions.begin(), kExtensions.end(),
                       [lowerText](std::string_view ext) { return lowerText.ends_with(ext); });
}

std::optional<std::string> FindAttachment(const std::string& folder, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/') return std::nullopt;
    std::vector<std::string> parts;
    std::stringstream in(name);
    for (std::string part; std::getline(in, part, '/');) {
        if (part == "..") return std::nullopt;
        if (!part.empty() && part != ".") parts.push_back(part);
    }
    if (parts.empty()) return std::nullopt;
    const std::filesystem::path base(folder);
    std::filesystem::path written = base, lower = base;
    for (const std::string& part : parts) {
        written /= part;
        lower /= asciiLower(part);
    }
    if (isFile(written)) return written.string();
    if (isFile(lower)) return lower.string();
    std::filesystem::path found = base;
    for (const std::string& part : parts) {
        const auto next = findPart(found, part);
        if (!next) return std::nullopt;
        found = *next;
    }
    return isFile(found) ? std::optional<std::string>(found.string()) : std::nullopt;
}

void OpenAttachedFile(CKWApp& app, const DataGridModel& model, std::int32_t row,
                      std::int32_t column) {
    std::string text;
    if (!model.GetCellText(row, column, &text)) return;
    const std::string name = asciiLower(cp932::pathFromStored(text));
    if (!HasAttachmentExtension(name)) {
        LaunchAttachmentViewer(app, row);
        return;
    }
    const std::string& folder = app.GetImageDir();
    if (folder.empty()) {
        app.ShowInformation(told(ui::shown(kNoImageFolder), settingsPath(app)));
        return;
    }
    std::string shown = name;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    const std::string fullPath = folder + "/" + shown;
    const auto found = FindAttachment(folder, cp932::pathFromStored(text));
    if (!found) {
        app.ShowInformation(told(ui::shown(kNotFound), fullPath, settingsPath(app)));
        return;
    }
    if (!ui::opener().open(QString::fromStdString(*found)))
        app.ShowError(told(ui::shown(kOpenFailed), *found));
}

void LaunchAttachmentViewer(CKWApp& app, std::int32_t row) {
    if (!app.GetViewerEnabled()) return;
    std::int32_t number = 0;
    // Read unchecked: a blank, an error or an item 0 that holds no number are all told below.
    if (app.Search().KWreadInteger(row, 0, &number) != 0) {
        app.ShowError(kNoNumber);
        return;
    }
    const std::string& module = app.GetViewerModule();
    if (!ui::processStarter().startDetached(
            QString::fromStdString(module),
            {QString::fromStdString(app.GetViewerArgument()), QString::number(number)}))
        app.ShowError(told(ui::shown(kViewerFailed), module));
}

}  // namespace zbq::windows
