// CKWApp: construction, the ports, the engine host, the suppression flags and the shared state's
// accessors. The other concerns live in the ckw_app_*.cpp files named in the header.
#include "app/ckw_app.h"

#include <QString>

#include <cassert>

#include "app/message_pump.h"
#include "platform/core/cp932.h"
#include "platform/core/profile.h"
#include "platform/ui/prompts.h"

namespace {

CKWApp* current = nullptr;

ConsolePort nullConsole;
WindowPort nullWindows;
MacroPort nullMacro;

}  // namespace

CKWApp* KWApp() {
    return current;
}

CKWApp::CKWApp() : console_(&nullConsole), windows_(&nullWindows), macro_(&nullMacro) {
    assert(current == nullptr && "one application object at a time");
    current = this;
    specialCaptions_ = {zbq::cp932::literal("ｴﾗｰ"), zbq::cp932::literal("ﾌﾞﾗﾝｸ")};
    search_.SetHost(this);
    create_.SetOwner(this);
}

CKWApp::~CKWApp() {
    search_.SetHost(nullptr);
    create_.SetOwner(nullptr);
    if (current == this) current = nullptr;
}

void CKWApp::SetConsolePort(ConsolePort* port) {
    console_ = port ? port : &nullConsole;
}
void CKWApp::SetWindowPort(WindowPort* port) {
    windows_ = port ? port : &nullWindows;
}
void CKWApp::SetMacroPort(MacroPort* port) {
    macro_ = port ? port : &nullMacro;
}

void CKWApp::Record(const StepBuilder& step) {
    if (macro_->isRecording() && !macro_->isPlaying()) macro_->record(step.str());
}

void CKWApp::RecordReplacingLast(const StepBuilder& step, std::string_view lastPrefix) {
    if (macro_->isRecording() && !macro_->isPlaying())
        macro_->recordReplacingLast(step.str(), lastPrefix);
}

int CKWApp::memoryReadCsvSizeMb() {
    zbq::ProfileFile ini;
    if (programDir_.empty() || !zbq::ProfileFile::load(programDir_ + "/ZBQ.ini", ini))
        return kDefaultMemoryReadCsvSizeMb;
    return ini.getInt("MEMORY", "MemoryReadCsvSize", kDefaultMemoryReadCsvSizeMb);
}

CKWApp::SuppressGuard::SuppressGuard(CKWApp& app, Suppress flag)
    : app_(app), flag_(flag), previous_(app.flags_[static_cast<int>(flag)]) {
    app_.flags_[static_cast<int>(flag_)] = 1;
}

CKWApp::SuppressGuard::~SuppressGuard() {
    app_.flags_[static_cast<int>(flag_)] = previous_;
}

void CKWApp::SetViewer(std::int32_t enabled, std::string module, std::string argument) {
    viewerEnabled_ = enabled;
    viewerModule_ = std::move(module);
    viewerArgument_ = std::move(argument);
}

std::string CKWApp::GetItemName(std::int32_t item) const {
    for (const CItemDef& def : structDef_.items)
        if (def.itemNo == item) return def.name;
    return {};
}

std::int32_t CKWApp::GetItemType(std::int32_t item) const {
    for (const CItemDef& def : structDef_.items)
        if (def.itemNo == item) return def.type;
    return -1;
}

void CKWApp::GetSetList(std::int32_t* nextSetNo, std::vector<SetRecord>* sets) const {
    if (nextSetNo) *nextSetNo = nextSetNo_;
    if (sets) *sets = sets_;
}

void CKWApp::SetSetList(std::int32_t nextSetNo, std::vector<SetRecord> sets) {
    nextSetNo_ = nextSetNo;
    sets_ = std::move(sets);
}

SetRecord CKWApp::GetSetRecord(std::int32_t number) const {
    for (auto it = sets_.rbegin(); it != sets_.rend(); ++it)
        if (it->number == number) return *it;
    return {};
}

SetRecord CKWApp::AddSet(std::int32_t level, std::int32_t number, std::string text1,
                         std::string text2, std::string text3, KW_mapPtr map,
                         std::int32_t mapLength, std::int32_t recordCount) {
    SetRecord set{level,          number,    std::move(text1), std::move(text2), std::move(text3),
                  std::move(map), mapLength, recordCount};
    return console_->AddSet(set);
}

void CKWApp::AddResultSet(std::string_view caption, std::int32_t intersect) {
    console_->AddResultSet(MixedText::plainText(caption), intersect);
}

void CKWApp::AddResultSet(const MixedText& caption, std::int32_t intersect) {
    console_->AddResultSet(caption, intersect);
}

SearchCondition CKWApp::GetSearchCondition(std::int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= conditions_.size()) return {};
    return conditions_[static_cast<std::size_t>(index)];
}

void CKWApp::AddSearchCondition(const SearchCondition& condition) {
    conditions_.push_back(condition);
}

void CKWApp::RemoveSearchCondition(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= conditions_.size()) return;
    // Every item stays offered once: an item may carry several conditions.
    conditions_.erase(conditions_.begin() + index);
}

void CKWApp::SetSearchConditions(std::vector<SearchCondition> conditions) {
    conditions_ = std::move(conditions);
}

void CKWApp::SetCategoryList(std::vector<CategoryDefinition> categories) {
    categories_ = std::move(categories);
}

namespace {

zbq::ui::Answer show(const CKWApp& app, std::string_view utf8Text, zbq::ui::Icon icon,
                     zbq::ui::Buttons buttons) {
    return zbq::ui::prompts().message(
        app.windows().mainWindow(),
        QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size())),
        QString::fromUtf8(CKWApp::kCaption), icon, buttons);
}

}  // namespace

void CKWApp::ShowError(std::string_view utf8Text) const {
    show(*this, utf8Text, zbq::ui::Icon::Exclamation, zbq::ui::Buttons::Ok);
}

void CKWApp::ShowInformation(std::string_view utf8Text) const {
    show(*this, utf8Text, zbq::ui::Icon::Information, zbq::ui::Buttons::Ok);
}

bool CKWApp::AskYesNo(std::string_view utf8Text) const {
    return show(*this, utf8Text, zbq::ui::Icon::Question, zbq::ui::Buttons::YesNo) ==
           zbq::ui::Answer::Yes;
}
