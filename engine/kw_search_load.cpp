// KW_search: loading and closing a data set.
#include <new>

#include "engine/kw_search.h"

KW_search::KW_search() = default;

KW_search::~KW_search() {
    KWclose();
}

std::int32_t KW_search::KWopen(const std::string& path, std::string_view password) {
    // A failed load must not leave the previous data set half-replaced: close it first and
    // install the new one only when the whole file has been read and checked.
    KWclose();
    kw::DataFileContents contents;
    // The compact forms are made from each block while it is still in the caches.
    std::vector<kw::ItemScan> scans;
    bool scansMade = true;
    auto makeScan = [&](const kw::ItemBlock& block, std::int32_t records) {
        if (!scansMade) return;
        try {
            if (kw::isMultiType(block.def.type)) {
                // Far the dearest to make, and of use only once a map or a search names the
                // item: made then (scan()).
                kw::ItemScan later;
                later.deferred = true;
                scans.push_back(std::move(later));
                return;
            }
            scans.push_back(kw::makeItemScan(block, records));
        } catch (const std::bad_alloc&) {
            // Only speed depends on them: without the memory every pass reads the value lists.
            scansMade = false;
            std::vector<kw::ItemScan>().swap(scans);
        }
    };
    if (const std::int32_t rc = kw::readDataFile(path, password, contents, host_, makeScan); rc < 0)
        return rc;
    try {
        states_.resize(contents.items.size());
        path_ = path;
    } catch (const std::bad_alloc&) {
        KWclose();
        return KW_ERR_NO_MEMORY;
    }
    head_ = std::move(contents.head);
    blobOffset_ = contents.blobOffset;
    records_ = contents.recordCount;
    items_ = std::move(contents.items);
    scans_ = std::move(scans);
    setCurrent(nullptr, records_);
    return 0;
}

void KW_search::KWadopt(KW_search& loaded, std::string path) {
    if (&loaded == this) {
        path_ = std::move(path);
        return;
    }
    KWclose();
    head_ = std::move(loaded.head_);
    blobOffset_ = loaded.blobOffset_;
    records_ = loaded.records_;
    items_ = std::move(loaded.items_);
    states_ = std::move(loaded.states_);
    scans_ = std::move(loaded.scans_);
    path_ = std::move(path);
    loaded.KWclose();
    setCurrent(nullptr, records_);
}

void KW_search::KWclose() {
    std::vector<kw::ItemBlock>().swap(items_);
    std::vector<ItemState>().swap(states_);
    std::vector<kw::ItemScan>().swap(scans_);
    std::vector<std::int32_t>().swap(countWork_);
    head_ = kw::FileHead{};
    path_.clear();
    blobOffset_ = 0;
    records_ = 0;
    listItem_ = -1;
    std::vector<std::int32_t>().swap(lists_);
    resetItemWindowState();
    freeMolap();
    cross_ = {};
    // The map itself belongs to whoever made it; the engine only lets go of its reference.
    setCurrent(nullptr, 0);
}

const KW_item* KW_search::KWgetItem(std::int32_t item) const {
    return validItem(item) ? &items_[static_cast<std::size_t>(item)].def : nullptr;
}
