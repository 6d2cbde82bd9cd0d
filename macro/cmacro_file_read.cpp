// Reading the macro file: at start-up (the macro area and its macros) and on import (macros of
// another file recorded on the same structure). FORMAT.md gives the file.
#include <sys/stat.h>

#include <optional>

#include "app/ckw_app.h"
#include "app/message_pump.h"
#include "app/shown_message.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/macro_file_format.h"
#include "macro/macro_file_index.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/prompts.h"

using macrofile::keyName;
using macrofile::Section;

namespace {

// clang-format off
constexpr const char* kReadFailure = ZBQ_SHOWN("MCRファイルの読込みに失敗しました。ファイルの内容が不正な可能性があります。\n読込み失敗箇所：[%1]%2");
// clang-format on

enum class FileState { Missing, Read, Unreadable };

FileState readWholeFile(const std::string& path, std::string& bytes) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return FileState::Missing;
    return S_ISREG(st.st_mode) && macrofile::readFileBytes(path, bytes) ? FileState::Read
                                                                        : FileState::Unreadable;
}

// The keys of one file as the readers take them; the first key that cannot be read is kept for
// the message.
class KeyReader {
public:
    explicit KeyReader(const MacroFileIndex& index) : index_(index) {}

    // A profile key; missing or (unless `mayBeEmpty`) empty fails.
    std::optional<std::string_view> profile(Section section, const std::string& key,
                                            bool mayBeEmpty = false) {
        const auto value = index_.profile(macrofile::sectionName(section), key);
        if (!value || (value->empty() && !mayBeEmpty)) return fail(section, key);
        return value;
    }
    // A non-empty profile key, or nothing, without failing (the end of the macro list).
    std::optional<std::string_view> present(Section section, const std::string& key) const {
        const auto value = index_.profile(macrofile::sectionName(section), key);
        if (!value || value->empty()) return std::nullopt;
        return value;
    }
    // A key of the structure table.
    std::optional<std::string_view> table(const std::string& key, bool mayBeEmpty = false) {
        const auto value = index_.key(key);
        if (!value || (value->empty() && !mayBeEmpty)) return fail(Section::Structure, key);
        return value;
    }
    // A text the macro area keeps, so the next save must write it back as it was read: one that
    // could not stand in the file (a CR or NUL inside it) fails here instead.
    std::optional<std::string_view> kept(Section section, const std::string& key,
                                         std::optional<std::string_view> value) {
        if (value && !macrofile::fitsOneLine(*value)) return fail(section, key);
        return value;
    }

    std::string failureText() const {
        return zbq::app::shownMessage(kReadFailure, {macrofile::sectionNameUtf8(section_), key_});
    }
    void failAt(Section section, std::string key) { fail(section, key); }

private:
    std::nullopt_t fail(Section section, const std::string& key) {
        section_ = section;
        key_ = key;
        return std::nullopt;
    }

    const MacroFileIndex& index_;
    Section section_ = Section::File;
    std::string key_;
};

bool readStructureBlock(KeyReader& keys, MacroStructureBlock& block) {
    const auto count = keys.profile(Section::Structure, "ItemCnt");
    if (!count) return false;
    block = MacroStructureBlock();
    block.itemCount = ReadStepInt(*count);
    for (std::int32_t i = 1; i <= block.itemCount; ++i) {
        zbq::app::pumpPendingMessages();
        const auto csv = keys.table(keyName("ItemCsvNo", i));
        if (!csv) return false;
        const std::string groupKey = keyName("ItemGroup", i);
        const auto group = keys.kept(Section::Structure, groupKey, keys.table(groupKey, true));
        if (!group) return false;
        const std::string typeKey = keyName("ItemType", i);
        const auto type = keys.kept(Section::Structure, typeKey, keys.table(typeKey));
        if (!type) return false;
        block.csvColumns.push_back(ReadStepInt(*csv));
        block.groups.emplace_back(*group);
        block.itemTypes.emplace_back(*type);
        if (*type != "Code" && *type != "MultiAns") continue;
        const auto codeCount = keys.table(keyName("CodeCnt", i));
        if (!codeCount) return false;
        CodeList list;
        list.itemPosition = i;
        const std::int32_t n = ReadStepInt(*codeCount);
        for (std::int32_t k = 1; k <= n; ++k) {
            const std::string codeKey = keyName("Code", i, k);
            const auto code = keys.kept(Section::Structure, codeKey, keys.table(codeKey));
            if (!code) return false;
            list.codes.emplace_back(*code);
        }
        block.codeLists.push_back(std::move(list));
    }
    return true;
}

// The steps of macro n, or nothing when a key cannot be read.
std::optional<std::vector<std::string>> readSteps(KeyReader& keys, std::int32_t n,
                                                  std::int32_t count) {
    std::vector<std::string> steps;
    for (std::int32_t k = 1; k <= count; ++k) {
        const std::string key = keyName("Step", n, k);
        const auto step = keys.kept(Section::Macros, key, keys.profile(Section::Macros, key));
        if (!step) return std::nullopt;
        steps.emplace_back(*step);
    }
    return steps;
}

// Macro n as it is kept (name, explanation and steps checked for what the writer cannot hold),
// or nothing when a key cannot be read.
std::optional<MacroRecord> readMacro(KeyReader& keys, std::int32_t n, std::string_view name,
                                     std::int32_t stepCount) {
    if (!keys.kept(Section::Macros, keyName("Name", n), name)) return std::nullopt;
    // An explanation's line breaks, lone CRs among them, are written in their own form; only a
    // NUL cannot be.
    const std::string expKey = keyName("Exp", n);
    const auto explanation = keys.present(Section::Macros, expKey);
    if (explanation && explanation->find('\0') != explanation->npos) {
        keys.failAt(Section::Macros, expKey);
        return std::nullopt;
    }
    auto steps = readSteps(keys, n, stepCount);
    if (!steps) return std::nullopt;
    return MacroRecord{std::string(name),
                       explanation ? macrofile::explanationFromFile(*explanation) : std::string(),
                       std::move(*steps)};
}

// clang-format off
constexpr const char* kLongName = ZBQ_SHOWN("MCRファイルのマクロ名で64バイトを超えているものがあります。このマクロは読込めません。\n続けますか？");
constexpr const char* kNoSteps = ZBQ_SHOWN("MCRファイルにステップが１つもないマクロがあります。このマクロは読込めません。\n続けますか？");
constexpr const char* kNewerVersion = ZBQ_SHOWN("MCRファイルのバージョンが[2.0]でないためMCRファイルを読込めません。\n続けますか？");
constexpr const char* kOtherStructure = ZBQ_SHOWN("MCRファイルと%1ファイルの構造定義情報が異なるため、MCRファイルを読込めません。\n異なる箇所：%2\n続けますか？");
constexpr const char* kTooMany = ZBQ_SHOWN("MCRファイルのマクロが999件を超えてます。1000件以上は読込めません。");
constexpr const char* kRepeatedName = ZBQ_SHOWN("MCRファイルに同名のマクロが存在します。同名のマクロは読込めません。\n続けますか？");
constexpr const char* kImportOtherStructure = ZBQ_SHOWN("MCRファイルの構造定義情報が異なるため、MCRファイルを読込めません。\n異なる箇所：%1");
constexpr const char* kImportTooMany = ZBQ_SHOWN("MCRファイルのマクロが999件を超えてます。1000件以上は読込めません。\nインポートを実行しますか？");
constexpr const char* kImportRepeated = ZBQ_SHOWN("同名のマクロが既に存在します。同名のマクロは追加されません。\n※　既に登録されているマクロの名前はマクロメニューから変更できます。\n※　新たに追加するマクロの名前はMCRファイルの[マクロ]Name?を直接編集することで変更できます。\nインポートを実行しますか？");
// clang-format on

// A failed read's message and the start-up's question after it.
std::string continueAfter(const std::string& failure) {
    return failure + zbq::app::shownMessage(ZBQ_SHOWN("\n続けますか？"), {});
}

}  // namespace

void CMacro::emptyMacroArea() {
    version_.clear();
    ClearStructureBlock();
    macros_.clear();
}

bool CMacro::askToContinue(std::string_view utf8Text) {
    app_.StopProgress();
    const bool yes = app_.AskYesNo(utf8Text);
    if (yes) app_.StartProgress();
    return yes;
}

std::int32_t CMacro::refuseAtStartUp(std::string_view utf8Text) {
    keepReadFile_ = true;
    emptyMacroArea();
    if (!askToContinue(utf8Text)) return 0;
    return LoadStructureDefinition();
}

std::int32_t CMacro::LoadStructureDefinition() {
    try {
        block_ = BlockFromStructDef(app_.GetStructDef());
        version_ = "2.0";
        return 1;
    } catch (const std::bad_alloc&) {
        emptyMacroArea();
        app_.StopProgress();
        app_.ShowError("構造定義情報のマクロ領域への読込みに失敗しました。");
        return 0;
    }
}

std::int32_t CMacro::ReadMacroFile(const std::string& path) {
    std::string bytes;
    const FileState state = readWholeFile(path, bytes);
    readFile_ = path;
    keepReadFile_ = false;
    emptyMacroArea();
    if (state == FileState::Missing) return LoadStructureDefinition();
    const MacroFileIndex index(std::move(bytes));
    KeyReader keys(index);
    if (state == FileState::Unreadable) {
        keys.failAt(Section::File, "Version");
        return refuseAtStartUp(continueAfter(keys.failureText()));
    }

    const auto version = keys.profile(Section::File, "Version");
    if (!version) return refuseAtStartUp(continueAfter(keys.failureText()));
    if (version->compare("2.0") > 0) return refuseAtStartUp(kNewerVersion);
    MacroStructureBlock block;
    if (!readStructureBlock(keys, block)) return refuseAtStartUp(continueAfter(keys.failureText()));
    const std::string difference = CompareStructureBlock(block, app_.GetStructDef());
    if (!difference.empty()) {
        const char* kind = app_.GetLoadMode() == 1 ? "DEF" : "ZBQ";
        return refuseAtStartUp(zbq::app::shownMessage(kOtherStructure, {kind, difference}));
    }
    version_ = std::string(*version);
    block_ = std::move(block);

    for (std::int32_t n = 1;; ++n) {
        const auto name = keys.present(Section::Macros, keyName("Name", n));
        if (!name) break;
        zbq::app::pumpPendingMessages();
        if (macros_.size() >= kMaxMacros) {
            app_.StopProgress();
            zbq::ui::prompts().message(app_.windows().mainWindow(), QString::fromUtf8(kTooMany),
                                       QString::fromUtf8(CKWApp::kCaption),
                                       zbq::ui::Icon::Exclamation, zbq::ui::Buttons::YesNo);
            app_.StartProgress();
            keepReadFile_ = true;
            break;
        }
        const char* question = nullptr;
        std::optional<MacroRecord> read;
        if (name->size() > kMaxNameBytes) {
            question = kLongName;
        } else if (FindMacro(*name) >= 0) {
            question = kRepeatedName;
        } else {
            const auto count = keys.profile(Section::Macros, keyName("StepCnt", n));
            if (!count) return refuseAtStartUp(continueAfter(keys.failureText()));
            const std::int32_t stepCount = ReadStepInt(*count);
            if (stepCount <= 0) {
                question = kNoSteps;
            } else if (!(read = readMacro(keys, n, *name, stepCount))) {
                return refuseAtStartUp(continueAfter(keys.failureText()));
            }
        }
        if (question) {
            keepReadFile_ = true;
            if (askToContinue(question)) continue;
            emptyMacroArea();
            return 0;
        }
        AddMacro(std::move(read->name), std::move(read->explanation), std::move(read->steps));
    }
    return 1;
}

std::int32_t CMacro::ImportMacroFile(const std::string& path) {
    std::string bytes;
    const FileState state = readWholeFile(path, bytes);
    if (state == FileState::Missing) {
        app_.ShowError(ZBQ_SHOWN("MCRファイルが存在しません。"));
        return 0;
    }
    const MacroFileIndex index(std::move(bytes));
    KeyReader keys(index);
    app_.StartProgress();
    struct StopProgress {
        CKWApp& app;
        ~StopProgress() { app.StopProgress(); }
    } stopProgress{app_};

    MacroStructureBlock block;
    if (state == FileState::Unreadable) keys.failAt(Section::Structure, "ItemCnt");
    if (state == FileState::Unreadable || !readStructureBlock(keys, block)) {
        app_.ShowError(keys.failureText());
        return 0;
    }
    const std::string difference = CompareStructureBlock(block, block_);
    if (!difference.empty()) {
        app_.ShowError(zbq::app::shownMessage(kImportOtherStructure, {difference}));
        return 0;
    }

    // The names of the file, and whether each macro holds steps, before anything is asked.
    struct Entry {
        std::string name;
        std::int32_t stepCount;
    };
    std::vector<Entry> entries;
    for (std::int32_t n = 1;; ++n) {
        const auto name = keys.present(Section::Macros, keyName("Name", n));
        if (!name) break;
        entries.push_back(Entry{std::string(*name), 0});
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        zbq::app::pumpPendingMessages();
        if (macros_.size() + i >= kMaxMacros) {
            if (!app_.AskYesNo(kImportTooMany)) return 0;
            break;
        }
    }
    for (const Entry& entry : entries)
        if (entry.name.size() > kMaxNameBytes) {
            if (!app_.AskYesNo(kLongName)) return 0;
            break;
        }
    bool asked = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto n = static_cast<std::int32_t>(i + 1);
        const auto count = keys.profile(Section::Macros, keyName("StepCnt", n));
        if (!count) {
            app_.ShowError(keys.failureText());
            return 0;
        }
        entries[i].stepCount = ReadStepInt(*count);
        if (entries[i].stepCount <= 0 && !asked) {
            if (!app_.AskYesNo(kNoSteps)) return 0;
            asked = true;
        }
    }
    for (const Entry& entry : entries)
        if (FindMacro(entry.name) >= 0) {
            if (!app_.AskYesNo(kImportRepeated)) return 0;
            break;
        }

    // Everything is read before anything is added, so a file that fails half-way adds nothing.
    std::vector<MacroRecord> added;
    const auto taken = [&](const std::string& name) {
        if (FindMacro(name) >= 0) return true;
        for (const MacroRecord& macro : added)
            if (macro.name == name) return true;
        return false;
    };
    for (std::size_t i = 0; i < entries.size() && macros_.size() + added.size() < kMaxMacros; ++i) {
        zbq::app::pumpPendingMessages();
        const Entry& entry = entries[i];
        if (entry.name.size() > kMaxNameBytes || entry.stepCount <= 0 || taken(entry.name))
            continue;
        const auto n = static_cast<std::int32_t>(i + 1);
        auto read = readMacro(keys, n, entry.name, entry.stepCount);
        if (!read) {
            app_.ShowError(keys.failureText());
            return 0;
        }
        added.push_back(std::move(*read));
    }
    for (MacroRecord& macro : added)
        macros_.push_back(std::move(macro));
    return 1;
}
