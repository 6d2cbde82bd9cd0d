// The parameter checks every player uses, with their messages, and the "???" question.
#include <sys/stat.h>

#include <charconv>

#include "app/ckw_app.h"
#include "macro/cmacro.h"
#include "macro/parameter_asker.h"
#include "platform/core/cp932.h"

namespace {

constexpr std::string_view kStop = "\nマクロの実行を中止します。";

std::string number(std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

// Command names are ASCII; anything else a message quotes comes from a step, in CP932.
std::string shown(std::string_view cp932) {
    return zbq::cp932::toUtf8(cp932);
}

std::string commandText(std::string_view command) {
    return "コマンド[" + shown(command) + "]";
}

std::int32_t refuse(const CKWApp& app, const std::string& text) {
    app.ShowError(text + std::string(kStop));
    return 0;
}

bool exists(std::string_view storedPath) {
    struct stat st;
    return ::stat(zbq::cp932::pathFromStored(storedPath).c_str(), &st) == 0;
}

bool isFolder(std::string_view storedPath) {
    struct stat st;
    return ::stat(zbq::cp932::pathFromStored(storedPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string CMacro::AskMacroParameter(std::string_view prompt, std::int32_t browseMode) {
    return asker_ ? asker_->askMacroParameter(prompt, browseMode) : std::string();
}

std::int32_t CMacro::CheckParameterCount(std::int32_t expected, std::int32_t actual,
                                         std::string_view command) const {
    if (expected == actual) return 1;
    return refuse(app_, commandText(command) +
                            "のパラメータ数が不正です。\nこのコマンドのパラメータ数は[" +
                            number(expected - 1) + "]個です。");
}

std::int32_t CMacro::MacroErrorNoWindow(const QWidget* window) const {
    if (window) return 1;
    return refuse(app_, "画面が表示されていないため、マクロを実行できません。");
}

std::int32_t CMacro::MacroErrorOutOfRange(std::int32_t value, std::int32_t limit,
                                          std::string_view command, std::int32_t lowest) const {
    if (value >= lowest && value <= limit) return 1;
    return refuse(app_, commandText(command) + "のパラメータが範囲を超えています。");
}

std::int32_t CMacro::MacroErrorMissingParameter(std::string_view value, std::string_view what,
                                                std::string_view command) const {
    if (!value.empty()) return 1;
    return refuse(app_, commandText(command) + "のパラメータに" + std::string(what) +
                            "が指定されていません。");
}

std::int32_t CMacro::MacroErrorNoFolder(std::string_view storedPath,
                                        std::string_view command) const {
    const std::size_t slash = storedPath.rfind('/');
    // A path right under the root has "/" for its folder; one without any "/" has none.
    const std::string_view folder = slash == std::string_view::npos ? std::string_view()
                                    : slash == 0                    ? storedPath.substr(0, 1)
                                                                    : storedPath.substr(0, slash);
    if (!folder.empty() && isFolder(folder)) return 1;
    return refuse(app_, commandText(command) + "のパラメータのフォルダ\n[" + shown(folder) +
                            "]が存在しません。");
}

std::int32_t CMacro::MacroErrorNoFile(std::string_view storedPath) const {
    if (!storedPath.empty() && exists(storedPath)) return 1;
    return refuse(app_, "ファイル[" + shown(storedPath) + "]が存在しません。");
}

std::int32_t CMacro::MacroErrorNoItem(std::string_view item, std::string_view command) const {
    return refuse(app_,
                  commandText(command) + "で指定された[" + shown(item) + "]項目は存在しません。");
}

std::int32_t CMacro::MacroErrorNoSet(std::int32_t setNo, std::string_view command) const {
    return refuse(app_, commandText(command) + "で指定されたNo.[" + number(setNo) +
                            "]の集合は存在しません。");
}

std::int32_t CMacro::MacroErrorInvalidParameter(std::string_view command) const {
    return refuse(app_, commandText(command) + "のパラメータが不正です。");
}
