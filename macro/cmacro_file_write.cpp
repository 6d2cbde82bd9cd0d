// Writing the macro file: the whole file is built in memory in its fixed order (FORMAT.md), the
// old file is copied to ".bak", and the new one replaces the old only when it is complete.
#include <sys/stat.h>

#include <algorithm>
#include <charconv>

#include "app/ckw_app.h"
#include "app/message_pump.h"
#include "macro/cmacro.h"
#include "macro/macro_file_format.h"
#include "platform/core/atomic_file.h"

using macrofile::keyName;
using macrofile::Section;

namespace {

std::string number(std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The file's text, line by line, remembering which key each line holds so that a failure can be
// named.
class MacroFileText {
public:
    void reserve(std::size_t lines, std::size_t bytes) {
        lines_.reserve(lines);
        text_.reserve(bytes);
    }
    void section(Section section) {
        current_ = section;
        text_ += '[';
        text_ += macrofile::sectionName(section);
        text_ += "]\r\n";
    }
    // A key read through the profile view: a value that reading would alter (blanks or matching
    // quotes around it) goes inside one more pair of quotes.
    bool profileKey(const std::string& key, std::string_view value) {
        const bool guard =
            !value.empty() &&
            (isBlank(value.front()) || isBlank(value.back()) ||
             (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()));
        return line(key, value, guard);
    }
    // A key of the structure table, read as it stands.
    bool tableKey(const std::string& key, std::string_view value) {
        return line(key, value, false);
    }

    const std::string& bytes() const { return text_; }
    // The key whose line holds byte `offset` (the last one past the end).
    std::string keyAt(std::size_t offset) const {
        auto it = std::upper_bound(lines_.begin(), lines_.end(), offset,
                                   [](std::size_t o, const Line& l) { return o < l.offset; });
        if (it != lines_.begin()) --it;
        return it == lines_.end() ? failureText(Section::File, "Version")
                                  : failureText(it->section, it->key);
    }
    const std::string& failure() const { return failure_; }

    static std::string failureText(Section section, const std::string& key) {
        return "MCRファイルの書出しに失敗しました。\n書出し失敗箇所：[" +
               std::string(macrofile::sectionNameUtf8(section)) + "]" + key;
    }

private:
    struct Line {
        std::size_t offset;
        Section section;
        std::string key;
    };

    bool line(const std::string& key, std::string_view value, bool guard) {
        // A line break or NUL inside a value would break the file for every reader.
        if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
            failure_ = failureText(current_, key);
            return false;
        }
        lines_.push_back(Line{text_.size(), current_, key});
        text_ += key;
        text_ += '=';
        if (guard) text_ += '"';
        text_ += value;
        if (guard) text_ += '"';
        text_ += "\r\n";
        return true;
    }

    Section current_ = Section::File;
    std::string text_;
    std::vector<Line> lines_;
    std::string failure_;
};

bool build(const MacroStructureBlock& block, const std::vector<MacroRecord>& macros,
           MacroFileText& file) {
    std::size_t lines = 8 + 3 * block.itemTypes.size(), bytes = 0;
    for (const CodeList& list : block.codeLists)
        lines += 1 + list.codes.size();
    for (const MacroRecord& macro : macros) {
        lines += 3 + macro.steps.size();
        bytes += macro.name.size() + macro.explanation.size();
        for (const std::string& step : macro.steps)
            bytes += step.size();
    }
    file.reserve(lines, bytes + 24 * lines);
    file.section(Section::File);
    if (!file.profileKey("Version", "2.0")) return false;
    file.section(Section::Structure);
    if (!file.profileKey("ItemCnt", number(block.itemCount))) return false;
    for (std::size_t i = 0; i < block.itemTypes.size(); ++i)
        if (!file.tableKey(keyName("ItemType", static_cast<std::int32_t>(i + 1)),
                           block.itemTypes[i]))
            return false;
    for (std::size_t i = 0; i < block.csvColumns.size(); ++i)
        if (!file.tableKey(keyName("ItemCsvNo", static_cast<std::int32_t>(i + 1)),
                           number(block.csvColumns[i])))
            return false;
    for (std::size_t i = 0; i < block.groups.size(); ++i)
        if (!file.tableKey(keyName("ItemGroup", static_cast<std::int32_t>(i + 1)), block.groups[i]))
            return false;
    for (const CodeList& list : block.codeLists) {
        zbq::app::pumpPendingMessages();
        if (!file.tableKey(keyName("CodeCnt", list.itemPosition),
                           number(static_cast<std::int32_t>(list.codes.size()))))
            return false;
        for (std::size_t k = 0; k < list.codes.size(); ++k)
            if (!file.tableKey(keyName("Code", list.itemPosition, static_cast<std::int32_t>(k + 1)),
                               list.codes[k]))
                return false;
    }
    if (macros.empty()) return true;
    file.section(Section::Macros);
    for (std::size_t i = 0; i < macros.size(); ++i) {
        zbq::app::pumpPendingMessages();
        const auto n = static_cast<std::int32_t>(i + 1);
        const MacroRecord& macro = macros[i];
        if (!file.profileKey(keyName("Name", n), macro.name) ||
            !file.profileKey(keyName("Exp", n), macrofile::explanationToFile(macro.explanation)) ||
            !file.profileKey(keyName("StepCnt", n),
                             number(static_cast<std::int32_t>(macro.steps.size()))))
            return false;
        for (std::size_t k = 0; k < macro.steps.size(); ++k)
            if (!file.profileKey(keyName("Step", n, static_cast<std::int32_t>(k + 1)),
                                 macro.steps[k]))
                return false;
    }
    return true;
}

// Copies an existing file to `path` + ".bak"; true when there was none.
bool keepBackup(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return true;
    std::string old;
    return macrofile::readFileBytes(path, old) && zbq::writeFileAtomically(path + ".bak", old);
}

}  // namespace

std::int32_t CMacro::WriteMacroFile(const std::string& path) {
    MacroFileText file;
    if (!build(block_, macros_, file)) {
        app_.ShowError(file.failure());
        return 0;
    }
    if (!keepBackup(path)) {
        app_.ShowError(MacroFileText::failureText(Section::File, "Version"));
        return 0;
    }
    zbq::AtomicFile out(path);
    if (!out.open()) {
        app_.ShowError(file.keyAt(0));
        return 0;
    }
    // Written in pieces, so that a failure names the key it was writing.
    constexpr std::size_t kPiece = 64 * 1024;
    const std::string& bytes = file.bytes();
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        zbq::app::pumpPendingMessages();
        if (!out.write(std::string_view(bytes).substr(at, kPiece))) {
            app_.ShowError(file.keyAt(at));
            return 0;
        }
    }
    if (!out.commit()) {
        app_.ShowError(file.keyAt(bytes.size()));
        return 0;
    }
    return 1;
}
