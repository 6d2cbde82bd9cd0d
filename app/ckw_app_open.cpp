// CKWApp, building and opening a data set: the parsed definition and its text data built into
// the run's temporary data file (load mode 1), and a data file loaded into the engine (both
// modes) after the memory check and, for a protected file, up to three passwords.
#include <charconv>
#include <cstdint>
#include <filesystem>

#include "app/ckw_app.h"
#include "app/login_dlg.h"
#include "app/shown_message.h"
#include "engine/kw_create_merge.h"
#include "platform/core/memory_status.h"
#include "platform/core/shown_text.h"

namespace {

constexpr const char* kBuildFailure = ZBQ_SHOWN("読み込みに失敗しました");
constexpr const char* kOpenFailure = ZBQ_SHOWN("ZBQファイルのオープンに失敗しました。");
constexpr int kPasswordAttempts = 3;

std::string decimal(std::int64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// clang-format off
constexpr const char* kMemory = ZBQ_SHOWN("使用可能な物理メモリ：%1MB\n使用可能な仮想メモリ：%2MB\n必要なメモリ：%3MB\n");
constexpr const char* kTooLittleMemory = ZBQ_SHOWN("ファイルを読み込むためのメモリが足りません");
constexpr const char* kSlowLoad = ZBQ_SHOWN("利用可能なメモリが足りないため、読み込みに時間がかかります\nよろしいですか？");
// clang-format on

// The memory figures, then `message`, in the language in force. Its lines end in CR LF, as the
// message has always had them; the translation keeps a text's line ends as LF alone.
std::string memoryText(std::int64_t physical, std::int64_t virtualMb, std::int64_t needed,
                       const char* message) {
    const std::string lf =
        zbq::app::shownMessage(kMemory, {decimal(physical), decimal(virtualMb), decimal(needed)}) +
        zbq::app::shownMessage(message, {});
    std::string text;
    for (char c : lf) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

}  // namespace

std::int32_t CKWApp::BuildDataFile() {
    if (loadMode_ != 1) return 0;
    auto fail = [this] {
        StopProgress();
        SetStatusText("");
        ShowError(kBuildFailure);
        return 0;
    };

    const CStructDef& def = structDef_;
    // An item of no definition type would reach the builder as a type it refuses; say so now.
    for (const CItemDef& item : def.items)
        if (ItemTypeToKWType(item.type) < 0) return fail();

    bool described = create_.SetItemCount(def.itemCount) == 0;
    for (const CItemDef& item : def.items)
        described = described && create_.SetItem(item.itemNo, item.name,
                                                 ItemTypeToKWType(item.type), item.csvColumn) == 0;
    for (const CCodeDef& list : def.codeLists) {
        described =
            described &&
            create_.SetCodeCount(list.itemNo, static_cast<std::int32_t>(list.codes.size())) == 0;
        for (std::size_t j = 0; described && j < list.codes.size(); ++j)
            described = create_.SetCode(list.itemNo, static_cast<std::int32_t>(j),
                                        list.codes[j].code, list.codes[j].name) == 0;
    }
    create_.SetTitle(def.title);
    create_.SetOwner(this);
    if (!described) return fail();
    if (create_.KWcreate(textDataPath_, tempDataFile_, def.separator, def.header != 0 ? 1 : 0) < 0)
        return fail();
    return 1;
}

std::int32_t CKWApp::OpenDataFile() {
    auto fail = [this](const char* message) {
        StopProgress();
        SetStatusText("");
        if (message) ShowError(message);
        return 0;
    };

    // The file is held open from here on, and read through what is held: a save of all records
    // copies exactly the bytes loaded, whatever another program renames over the name later.
    if (loadMode_ == 1) {
        if (!held_.hold(tempDataFile_) || search_.KWopen(held_.readPath(), "") < 0) {
            held_.release();
            return fail(kOpenFailure);
        }
        search_.KWadopt(search_, tempDataFile_);
        return 1;
    }
    if (loadMode_ != 2) return 1;

    zbq::app::HeldDataFile loading;
    loading.hold(dataFilePath_);
    // Not a file that can be held (missing, a folder, a FIFO): the engine's own checks tell.
    const std::string path = loading.held() ? loading.readPath() : dataFilePath_;
    const std::int32_t estimate = KWgetFileMemory(path);
    if (estimate < 0) {
        // The file cannot be sized, so it cannot be loaded; the check of its head tells why
        // when the file cannot be read at all.
        KWpwdchk(path);
        return fail(kOpenFailure);
    }
    const zbq::MemoryStatus memory = zbq::memoryStatus();
    const auto needed = static_cast<std::int64_t>(estimate / 1000);
    const auto physical = static_cast<std::int64_t>(memory.availablePhysical / 1000000);
    const auto virtualMb = static_cast<std::int64_t>(memory.availableVirtual / 1000000);
    if (needed > virtualMb) {
        StopProgress();
        SetStatusText("");
        ShowError(memoryText(physical, virtualMb, needed, kTooLittleMemory));
        return 0;
    }
    if (needed > physical && !AskYesNo(memoryText(physical, virtualMb, needed, kSlowLoad)))
        return fail(nullptr);

    const std::string fileName = std::filesystem::path(dataFilePath_).filename().string();
    for (int attempt = 0; attempt < kPasswordAttempts; ++attempt) {
        std::string password;
        if (KWpwdchk(path) == 1) {
            StopProgress();
            std::optional<std::string> entered = askLoginPassword(windows().mainWindow(), fileName);
            if (!entered) {
                // The user would rather not open it: the program ends without asking again.
                windows().CloseWithoutAsking();
                return 0;
            }
            StartProgress();
            password = std::move(*entered);
        }
        const std::int32_t rc = search_.KWopen(path, password);
        if (rc >= 0) {
            search_.KWadopt(search_, dataFilePath_);
            held_ = std::move(loading);
            return 1;
        }
        if (rc != KW_ERR_PASSWORD) return fail(kOpenFailure);
    }
    return fail(ZBQ_SHOWN("パスワードが一致しません"));
}
