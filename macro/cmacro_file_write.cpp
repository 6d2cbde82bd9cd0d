// Writing the macro file: the whole file is built in memory in its fixed order (FORMAT.md) and
// written beside its target with a copy of the old file for ".bak" (and one for ".refused"
// when the start-up reading could not take the old file in whole); only then do renames put
// them in place. A value the file cannot hold names its key; a file that cannot be written,
// whatever the reason (a full disk, a folder or file that may not be written), names its path.
#include <sys/stat.h>

#include <unistd.h>

#include <charconv>
#include <memory>

#include "app/ckw_app.h"
#include "app/message_pump.h"
#include "app/shown_message.h"
#include "app/temp_names.h"
#include "macro/cmacro.h"
#include "macro/macro_file_format.h"
#include "platform/core/atomic_file.h"
#include "platform/core/shown_text.h"
#include "platform/core/staged_file.h"

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

// The file's text, built whole; a value that cannot stand in the file names its key.
class MacroFileText {
public:
    void reserve(std::size_t bytes) { text_.reserve(bytes); }
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
    const std::string& failure() const { return failure_; }

private:
    bool line(const std::string& key, std::string_view value, bool guard) {
        // A line break or NUL inside a value would break the file for every reader.
        if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
            // clang-format off
            failure_ = zbq::app::shownMessage(ZBQ_SHOWN("MCRファイルの書出しに失敗しました。\n書出し失敗箇所：[%1]%2"), {macrofile::sectionNameUtf8(current_), key});
            // clang-format on
            return false;
        }
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
    file.reserve(bytes + 24 * lines);
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

// The new file beside its target, and the program's own copies of the old one: ".bak" always,
// "<file>.refused" when the start-up reading could not take all of it in. All are whole on disk
// before the commit; the commit only renames and links.
class StagedMacroFile final : public MacroFileWrite {
public:
    StagedMacroFile(CKWApp& app, const std::string& path, bool* keepRefused)
        : app_(app),
          path_(path),
          file_(path),
          backup_(path + ".bak"),
          refused_(path + ".refused"),
          keepRefused_(keepRefused) {}

    bool prepare(const std::string& bytes) {
        if (!file_.open()) return failed(path_);
        struct stat st {};
        hadOld_ = ::stat(path_.c_str(), &st) == 0;
        if (hadOld_) {
            std::string old;
            if (!S_ISREG(st.st_mode) || !macrofile::readFileBytes(path_, old)) return failed(path_);
            if (!backup_.write(old, st.st_mode & 07777)) return failed(backup_.target());
            if (keepRefused_ && !refused_.write(old, st.st_mode & 07777))
                return failed(refused_.target());
        }
        // Written in pieces so that the windows stay alive through a long file.
        constexpr std::size_t kPiece = 64 * 1024;
        for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
            zbq::app::pumpPendingMessages();
            if (!file_.write(std::string_view(bytes).substr(at, kPiece))) return failed(path_);
        }
        return true;
    }

    bool commit() override {
        if (hadOld_ && keepRefused_) {
            kept_ = refused_.placeUnderFreeName();
            if (kept_.empty()) return failed(refused_.target());
        }
        if (hadOld_ && !backup_.replaceTarget()) {
            forgetKept();
            return failed(backup_.target());
        }
        if (!file_.commit()) {
            forgetKept();
            return failed(path_);
        }
        committed_ = true;
        if (keepRefused_) *keepRefused_ = false;
        return true;
    }

    void undo() override {
        if (!committed_) return;
        committed_ = false;
        if (hadOld_)
            ::rename(backup_.target().c_str(), path_.c_str());
        else
            ::unlink(path_.c_str());
        if (keepRefused_) *keepRefused_ = true;
        forgetKept();
    }

    std::string keptFile() const override { return committed_ ? kept_ : std::string(); }

private:
    bool failed(const std::string& path) {
        app_.ShowWriteFailure(path);
        return false;
    }
    void forgetKept() {
        if (!kept_.empty()) ::unlink(kept_.c_str());
        kept_.clear();
    }

    CKWApp& app_;
    std::string path_;
    zbq::AtomicFile file_;
    zbq::StagedFile backup_;
    zbq::StagedFile refused_;
    bool* keepRefused_;  // null: nothing to keep
    bool hadOld_ = false;
    bool committed_ = false;
    std::string kept_;
};

}  // namespace

std::unique_ptr<MacroFileWrite> CMacro::PrepareMacroFile(const std::string& path) {
    MacroFileText file;
    if (!build(block_, macros_, file)) {
        app_.ShowError(file.failure());
        return nullptr;
    }
    const bool keep = keepReadFile_ && zbq::app::sameFile(path, readFile_);
    auto staged = std::make_unique<StagedMacroFile>(app_, path, keep ? &keepReadFile_ : nullptr);
    if (!staged->prepare(file.bytes())) return nullptr;
    return staged;
}

std::int32_t CMacro::WriteMacroFile(const std::string& path) {
    const std::unique_ptr<MacroFileWrite> file = PrepareMacroFile(path);
    return file && file->commit() ? 1 : 0;
}
