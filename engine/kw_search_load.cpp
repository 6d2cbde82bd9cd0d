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
    if (const std::int32_t rc = kw::readDataFile(path, password, contents, host_); rc < 0)
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
    setCurrent(nullptr, records_);
    return 0;
}

void KW_search::KWclose() {
    std::vector<kw::ItemBlock>().swap(items_);
    std::vector<ItemState>().swap(states_);
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
