// The parameter checks every player uses, with their messages, and the "???" question.
#include <sys/stat.h>

#include <charconv>

#include "app/ckw_app.h"
#include "app/shown_message.h"
#include "macro/cmacro.h"
#include "macro/parameter_asker.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

using zbq::app::shownMessage;

// The refusals, each on one line so that scripts/i18n reads it whole.
// clang-format off
constexpr const char* kCountWrong = ZBQ_SHOWN("コマンド[%1]のパラメータ数が不正です。\nこのコマンドのパラメータ数は[%2]個です。\nマクロの実行を中止します。");
constexpr const char* kNoWindow = ZBQ_SHOWN("画面が表示されていないため、マクロを実行できません。\nマクロの実行を中止します。");
constexpr const char* kOutOfRange = ZBQ_SHOWN("コマンド[%1]のパラメータが範囲を超えています。\nマクロの実行を中止します。");
constexpr const char* kNotGiven = ZBQ_SHOWN("コマンド[%1]のパラメータに%2が指定されていません。\nマクロの実行を中止します。");
constexpr const char* kNoFolder = ZBQ_SHOWN("コマンド[%1]のパラメータのフォルダ\n[%2]が存在しません。\nマクロの実行を中止します。");
constexpr const char* kNoFile = ZBQ_SHOWN("ファイル[%1]が存在しません。\nマクロの実行を中止します。");
constexpr const char* kNoItem = ZBQ_SHOWN("コマンド[%1]で指定された[%2]項目は存在しません。\nマクロの実行を中止します。");
constexpr const char* kNoSet = ZBQ_SHOWN("コマンド[%1]で指定されたNo.[%2]の集合は存在しません。\nマクロの実行を中止します。");
constexpr const char* kInvalid = ZBQ_SHOWN("コマンド[%1]のパラメータが不正です。\nマクロの実行を中止します。");
// clang-format on

std::string number(std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

// Command names are ASCII; anything else a message quotes comes from a step, in CP932.
std::string utf8(std::string_view cp932) {
    return zbq::cp932::toUtf8(cp932);
}

// Every refusal ends "\nマクロの実行を中止します。", which its text carries.
std::int32_t refuse(const CKWApp& app, const std::string& text) {
    app.ShowError(text);
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
    return refuse(app_, shownMessage(kCountWrong, {utf8(command), number(expected - 1)}));
}

std::int32_t CMacro::MacroErrorNoWindow(const QWidget* window) const {
    if (window) return 1;
    return refuse(app_, shownMessage(kNoWindow, {}));
}

std::int32_t CMacro::MacroErrorOutOfRange(std::int32_t value, std::int32_t limit,
                                          std::string_view command, std::int32_t lowest) const {
    if (value >= lowest && value <= limit) return 1;
    return refuse(app_, shownMessage(kOutOfRange, {utf8(command)}));
}

std::int32_t CMacro::MacroErrorMissingParameter(std::string_view value, std::string_view what,
                                                std::string_view command) const {
    if (!value.empty()) return 1;
    // What is missing is a Japanese text of the command table's, shown in the language in force.
    return refuse(app_, shownMessage(kNotGiven, {utf8(command), shownMessage(what, {})}));
}

std::int32_t CMacro::MacroErrorNoFolder(std::string_view storedPath,
                                        std::string_view command) const {
    const std::size_t slash = storedPath.rfind('/');
    // A path right under the root has "/" for its folder; one without any "/" has none.
    const std::string_view folder = slash == std::string_view::npos ? std::string_view()
                                    : slash == 0                    ? storedPath.substr(0, 1)
                                                                    : storedPath.substr(0, slash);
    if (!folder.empty() && isFolder(folder)) return 1;
    return refuse(app_, shownMessage(kNoFolder, {utf8(command), utf8(folder)}));
}

std::int32_t CMacro::MacroErrorNoFile(std::string_view storedPath) const {
    if (!storedPath.empty() && exists(storedPath)) return 1;
    return refuse(app_, shownMessage(kNoFile, {utf8(storedPath)}));
}

std::int32_t CMacro::MacroErrorNoItem(std::string_view item, std::string_view command) const {
    return refuse(app_, shownMessage(kNoItem, {utf8(command), utf8(item)}));
}

std::int32_t CMacro::MacroErrorNoSet(std::int32_t setNo, std::string_view command) const {
    return refuse(app_, shownMessage(kNoSet, {utf8(command), number(setNo)}));
}

std::int32_t CMacro::MacroErrorInvalidParameter(std::string_view command) const {
    return refuse(app_, shownMessage(kInvalid, {utf8(command)}));
}
