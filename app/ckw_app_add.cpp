// CKWApp, adding records to the loaded data set: a text file of records built with the loaded
// definition into a data file of its own, joined with the loaded set into a fresh working file,
// and loaded in the old one's place. Until the new set is loaded the old one stays as it was, so
// a failure at any step leaves ZBQ with the data set it had.
//
// A user's text file (a macro's AddData) is read as the definition reads its own text data:
// its separator, its heading line and its columns (Alloc). Only the file the workbook import
// writes for an addition (AddDataFromFile) is TAB-separated, without a heading line, one column
// per item in item order.
#include <unistd.h>

#include <cstdio>

#include "app/ckw_app.h"
#include "engine/kw_create_merge.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/core/temp_file.h"

namespace {

constexpr const char* kBuildFailure = ZBQ_SHOWN("読み込みに失敗しました");
constexpr const char* kOpenFailure = ZBQ_SHOWN("ZBQファイルのオープンに失敗しました。");

}  // namespace

std::int32_t CKWApp::AddExcelData() {
    // Records are added only to a set loaded from a data file; any other mode stays as it is.
    if (loadMode_ != 2 && loadMode_ != 3) return 1;
    busy_ = 1;
    auto fail = [this](const char* message) {
        StopProgress();
        SetStatusText("");
        ShowError(message);
        busy_ = 0;
        return 0;
    };
    auto faulty = [this](AddStage stage) { return addFaultHook_ && addFaultHook_(stage); };

    const CStructDef& def = structDef_;
    const bool imported = addFromImport_;
    bool described = create_.SetItemCount(def.itemCount) == 0;
    for (std::size_t i = 0; described && i < def.items.size(); ++i) {
        const CItemDef& item = def.items[i];
        const std::int32_t column = imported ? static_cast<std::int32_t>(i) : item.csvColumn;
        described =
            create_.SetItem(item.itemNo, item.name, ItemTypeToKWType(item.type), column) == 0;
    }
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
    if (!described || faulty(AddStage::Build) ||
        create_.KWcreate(addFilePath_, tempAddFile_, imported ? '\t' : def.separator,
                         imported ? 0 : (def.header != 0 ? 1 : 0)) < 0)
        return fail(kBuildFailure);

    // The join goes to a file of its own, so that the working file stays until the join is
    // loaded.
    std::string joined;
    const int fd = zbq::createTempFile(tempMergeFile_, joined);
    if (fd < 0) return fail(kBuildFailure);
    ::close(fd);
    if (faulty(AddStage::Join) || AppendDataFile(search_, tempAddFile_, joined, this) < 0) {
        ::unlink(joined.c_str());
        return fail(kBuildFailure);
    }

    // Read whole beside the loaded set, which stays in place until the join is its working
    // file: a join that cannot be loaded or put there changes nothing, and a protected set is
    // never let go to be opened again without its password.
    KW_search joinedSet;
    joinedSet.SetHost(this);
    zbq::app::HeldDataFile joinedFile;
    if (faulty(AddStage::Open) || !joinedFile.hold(joined) ||
        joinedSet.KWopen(joinedFile.readPath(), "") < 0) {
        ::unlink(joined.c_str());
        return fail(kOpenFailure);
    }
    if (faulty(AddStage::Install) || std::rename(joined.c_str(), tempMergeFile_.c_str()) != 0) {
        ::unlink(joined.c_str());
        return fail(kOpenFailure);
    }
    search_.KWadopt(joinedSet, tempMergeFile_);
    // The rename moved the joined file's change time: its stamp is taken again under its name.
    held_ = std::move(joinedFile);
    held_.renamedTo(tempMergeFile_);

    // Only the set of all records remains.
    if (sets_.size() > 1) sets_.resize(1);
    if (!sets_.empty()) {
        SetRecord& all = sets_.front();
        all.text1 = def.title;
        all.recordCount = search_.KWgetRecordCount();
        all.text2 = setCaption(all.number, def.title, all.recordCount);
        all.map.reset();
        all.mapLength = 0;
    }
    RebuildSetTree();
    MarkCurrentSet(sets_.empty() ? 0 : sets_.front().number);
    RebuildGrid(1);
    RebuildItemWindows();
    RefreshCrossView();
    ExecuteMolap();

    StopProgress();
    SetStatusText("");
    ShowInformation("Excelファイルのデータを追加しました");
    busy_ = 0;
    loadMode_ = 3;
    return 1;
}

std::int32_t CKWApp::AddDataFromFile(const std::string& path) {
    SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("読込み中")));
    StartProgress();
    SetAddFilePath(path);
    addFromImport_ = true;
    const std::int32_t added = AddExcelData();
    addFromImport_ = false;
    ::unlink(path.c_str());
    addFilePath_.clear();
    if (added && loadMode_ != 3) {  // nothing to add to: the progress started here ends here
        StopProgress();
        SetStatusText("");
    }
    return added;
}
