// Merging a second data file behind the loaded set, saving the current map's records, and the
// memory estimate of a data file.
#include "engine/kw_create_merge.h"

#include <algorithm>
#include <limits>
#include <new>
#include <numeric>
#include <span>
#include <string_view>
#include <vector>

#include "engine/kw_file_io.h"
#include "engine/kw_format.h"
#include "engine/kw_map_walk.h"
#include "engine/kw_search.h"
#include "platform/core/engine_host.h"

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// One item as the merge reads it, from the loaded set or from the second file.
struct Side {
    KW_item def{};
    std::span<const KW_dict> dict;
    std::span<const std::int32_t> values;
    std::span<const std::int32_t> starts;  // MultiAns
    std::vector<std::string_view> texts;   // per position: code or text (types 3 and 4)
    std::vector<std::string_view> names;   // per position: display name (items with codes)
};

Side loadedSide(const KW_search& s, std::int32_t item) {
    Side x;
    x.def = *s.KWgetItem(item);
    x.dict = s.dictionary(item);
    x.values = s.values(item);
    x.starts = s.answerStarts(item);
    const auto d = static_cast<std::int32_t>(x.dict.size());
    if (kw::hasStringPool(x.def.type)) {
        for (std::int32_t p = 0; p < d; ++p)
            x.texts.emplace_back(s.ValueText(item, p));
    }
    if (x.def.codeCount > 0) {
        for (std::int32_t p = 0; p < d; ++p)
            x.names.emplace_back(s.ValueName(item, p));
    }
    return x;
}

Side fileSide(const kw::ItemBlock& b) {
    Side x;
    x.def = b.def;
    x.dict = b.dict;
    x.values = b.values;
    x.starts = b.starts;
    for (std::size_t p = 0; p < b.dict.size(); ++p) {
        if (kw::hasStringPool(b.def.type)) x.texts.emplace_back(b.strings.data() + b.dict[p].high);
        if (b.hasCodes()) {
            x.names.emplace_back(p >= KW_POS_FIRST_VALUE ? b.names.data() + b.dict[p].low : "");
        }
    }
    return x;
}

std::int32_t appendText(kw::LargeVector<char>& pool, std::string_view text) {
    const auto offset = static_cast<std::int32_t>(pool.size());
    pool.insert(pool.end(), text.begin(), text.end());
    pool.push_back('\0');
    return offset;
}

// An entry holding only its value (start and counts are the caller's).
KW_dict valueOf(const KW_dict& e) {
    KW_dict v{};
    v.low = e.low;
    v.high = e.high;
    return v;
}

// Pools laid out as the builder lays them out: the captions, then one text per ordinary entry
// in dictionary order (and one display name each for items with codes). `out.dict` holds the
// entries of `from`'s positions, in the same order.
void layOutPools(const Side& from, kw::ItemBlock& out) {
    out.strings.clear();
    out.names.clear();
    if (!kw::hasStringPool(from.def.type)) return;
    out.strings.assign(KW_CAPTIONS, KW_CAPTIONS + KW_CAPTIONS_SIZE);
    out.dict[KW_POS_ERROR].low = out.dict[KW_POS_BLANK].low = 0;
    out.dict[KW_POS_ERROR].high = 0;
    out.dict[KW_POS_BLANK].high = KW_BLANK_CAPTION_OFFSET;
    for (std::size_t p = KW_POS_FIRST_VALUE; p < out.dict.size(); ++p) {
        out.dict[p].low = from.def.codeCount > 0 ? appendText(out.names, from.names[p]) : 0;
        out.dict[p].high = appendText(out.strings, from.texts[p]);
    }
}

void layOutStarts(kw::ItemBlock& out) {
    std::int32_t start = 0;
    for (KW_dict& e : out.dict) {
        e.start = start;
        e.mapCount = e.reserved = 0;
        start += e.count;
    }
}

// Which of two ordinary entries comes first: <0 a's, >0 b's, 0 the same value.
int compareEntries(std::int32_t type, const Side& a, std::size_t i, const Side& b, std::size_t j) {
    if (kw::isIntegerType(type)) {
        const std::int32_t x = a.dict[i].high, y = b.dict[j].high;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (type == KW_TYPE_FLOAT) {
        const double x = a.dict[i].asDouble(), y = b.dict[j].asDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.texts[i].compare(b.texts[j]);  // unsigned bytes
}

// The dictionary of the two sides joined: a value of both becomes one entry; newA and newB
// receive every old position's new one.
std::int32_t mergeDictionaries(const Side& a, const Side& b, std::vector<std::int32_t>& newA,
                               std::vector<std::int32_t>& newB, kw::ItemBlock& out) {
    const std::int32_t type = a.def.type;
    newA.assign(a.dict.size(), 0);
    newB.assign(b.dict.size(), 0);
    out.dict.clear();
    for (std::size_t p = 0; p < KW_POS_FIRST_VALUE; ++p) {
        KW_dict e = valueOf(a.dict[p]);
        e.count = a.dict[p].count + b.dict[p].count;
        out.dict.push_back(e);
        newA[p] = newB[p] = static_cast<std::int32_t>(p);
    }
    if (a.def.codeCount > 0) {
        // Same code table on both sides: entry for entry.
        if (a.dict.size() != b.dict.size()) return KW_ERR_ARGUMENT;
        for (std::size_t p = KW_POS_FIRST_VALUE; p < a.dict.size(); ++p) {
            if (a.texts[p] != b.texts[p] || a.names[p] != b.names[p]) return KW_ERR_ARGUMENT;
            KW_dict e{};
            e.count = a.dict[p].count + b.dict[p].count;
            out.dict.push_back(e);
            newA[p] = newB[p] = static_cast<std::int32_t>(p);
        }
        layOutPools(a, out);
        return 0;
    }
    std::vector<std::string_view> texts(KW_POS_FIRST_VALUE);  // the merged texts, for the pool
    std::size_t i = KW_POS_FIRST_VALUE, j = KW_POS_FIRST_VALUE;
    while (i < a.dict.size() || j < b.dict.size()) {
        const int c = i >= a.dict.size()   ? 1
                      : j >= b.dict.size() ? -1
                                           : compareEntries(type, a, i, b, j);
        const auto position = static_cast<std::int32_t>(out.dict.size());
        // Of equal values the loaded one stays: it was met first.
        KW_dict e = valueOf(c <= 0 ? a.dict[i] : b.dict[j]);
        if (kw::hasStringPool(type)) texts.push_back(c <= 0 ? a.texts[i] : b.texts[j]);
        if (c <= 0) {
            e.count += a.dict[i].count;
            newA[i++] = position;
        }
        if (c >= 0) {
            e.count += b.dict[j].count;
            newB[j++] = position;
        }
        out.dict.push_back(e);
    }
    if (kw::hasStringPool(type)) {
        Side merged;
        merged.def = a.def;
        merged.texts = std::move(texts);
        layOutPools(merged, out);
    }
    return 0;
}

// One merged item block: a's records, then b's.
std::int32_t mergeItemData(const Side& a, const Side& b, kw::ItemBlock& out) {
    if (a.def.type != b.def.type || a.def.codeCount != b.def.codeCount) return KW_ERR_ARGUMENT;
    const std::int64_t length =
        static_cast<std::int64_t>(a.values.size()) + static_cast<std::int64_t>(b.values.size());
    if (length > kInt32Max) return KW_ERR_ARGUMENT;

    std::vector<std::int32_t> newA, newB;
    if (const std::int32_t rc = mergeDictionaries(a, b, newA, newB, out); rc < 0) return rc;
    if (static_cast<std::int64_t>(out.strings.size()) > kInt32Max) return KW_ERR_FILE_TOO_LARGE;
    layOutStarts(out);

    out.values.resize(static_cast<std::size_t>(length));
    auto it = out.values.begin();
    for (const std::int32_t p : a.values)
        *it++ = newA[static_cast<std::size_t>(p)];
    for (const std::int32_t p : b.values)
        *it++ = newB[static_cast<std::size_t>(p)];

    out.starts.clear();
    if (kw::isMultiType(a.def.type)) {
        const auto aLength = static_cast<std::int32_t>(a.values.size());
        out.starts.assign(a.starts.begin(), a.starts.end() - 1);  // a's last is b's first
        for (const std::int32_t s : b.starts)
            out.starts.push_back(s + aLength);
    }
    out.def = b.def;
    out.def.listLength = static_cast<std::int32_t>(length);
    return 0;
}

}  // namespace

std::int32_t AppendDataFile(const KW_search& loaded, const std::string& secondPath,
                            const std::string& outputPath, zbq::EngineHost* host) {
    if (!loaded.IsLoaded()) return KW_ERR_ARGUMENT;
    try {
        kw::DataFileContents second;
        if (const std::int32_t rc = kw::readDataFile(secondPath, "", second, host); rc < 0) {
            return rc;
        }
        const std::int32_t n = loaded.KWgetItemCount();
        if (second.items.size() != static_cast<std::size_t>(n)) return KW_ERR_ARGUMENT;
        const std::int64_t records =
            static_cast<std::int64_t>(loaded.KWgetRecordCount()) + second.recordCount;
        if (records > kInt32Max) return KW_ERR_ARGUMENT;
        for (std::int32_t i = 0; i < n; ++i) {
            const KW_item& def = *loaded.KWgetItem(i);
            const KW_item& other = second.items[static_cast<std::size_t>(i)].def;
            if (def.type != other.type || def.codeCount != other.codeCount) return KW_ERR_ARGUMENT;
        }

        kw::DataFileWriter writer(outputPath);
        std::int32_t rc = writer.begin(n, static_cast<std::int32_t>(records));
        for (std::int32_t i = 0; rc == 0 && i < n; ++i) {
            if (host != nullptr) host->pumpMessages();
            kw::ItemBlock block;
            rc = mergeItemData(loadedSide(loaded, i),
                               fileSide(second.items[static_cast<std::size_t>(i)]), block);
            if (rc == 0) rc = writer.append(block);
        }
        return rc < 0 ? rc : writer.finish(second.head);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
}

std::int32_t KWmapSave(const KW_search& loaded, const std::string& outputPath) {
    if (!loaded.IsLoaded()) return KW_ERR_ARGUMENT;
    try {
        const std::int32_t records = loaded.KWgetRecordCount();
        std::vector<std::int32_t> selected;
        if (const KW_mapPtr map = loaded.KWmapGet()) {
            ForEachRecord(*map, [&](std::int32_t r) {
                if (r < records) selected.push_back(r);
            });
        } else {
            selected.resize(static_cast<std::size_t>(records));
            std::iota(selected.begin(), selected.end(), 0);
        }

        const std::int32_t n = loaded.KWgetItemCount();
        kw::DataFileWriter writer(outputPath);
        std::int32_t rc = writer.begin(n, static_cast<std::int32_t>(selected.size()));
        for (std::int32_t i = 0; rc == 0 && i < n; ++i) {
            const Side from = loadedSide(loaded, i);
            kw::ItemBlock block;
            block.def = from.def;
            for (const KW_dict& e : from.dict)
                block.dict.push_back(valueOf(e));
            layOutPools(from, block);
            if (kw::isMultiType(from.def.type)) {
                block.starts.reserve(selected.size() + 1);
                for (const std::int32_t r : selected) {
                    block.starts.push_back(static_cast<std::int32_t>(block.values.size()));
                    const auto first =
                        from.values.begin() + from.starts[static_cast<std::size_t>(r)];
                    const auto last =
                        from.values.begin() + from.starts[static_cast<std::size_t>(r) + 1];
                    block.values.insert(block.values.end(), first, last);
                }
                block.starts.push_back(static_cast<std::int32_t>(block.values.size()));
            } else {
                block.values.reserve(selected.size());
                for (const std::int32_t r : selected) {
                    block.values.push_back(from.values[static_cast<std::size_t>(r)]);
                }
            }
            block.def.listLength = static_cast<std::int32_t>(block.values.size());
            kw::fillCounts(block);
            rc = writer.append(block);
        }
        if (rc < 0) return rc;
        kw::FileHead head;  // version 100, no password
        head.title = loaded.KWgetTitle();
        return writer.finish(head);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
}

std::int32_t KWgetFileMemory(const std::string& path) {
    try {
        kw::FileDescriptor fd;
        std::int64_t size = 0;
        std::int32_t rc = kw::openForReading(path, fd, size);
        KW_head head;
        if (rc == 0) rc = kw::readHead(fd.get(), size, head);
        std::int32_t counts[2] = {0, 0};
        if (rc == 0) rc = kw::readExactAt(fd.get(), counts, sizeof counts, kw::kCountsOffset);
        if (rc < 0) return rc;
        if (counts[0] < 1 || counts[0] > KW_MAX_ITEMS || counts[1] < 0) return KW_ERR_DAMAGED;
        std::vector<KW_item> defs(static_cast<std::size_t>(counts[0]));
        rc = kw::readExactAt(fd.get(), defs.data(),
                             static_cast<std::int64_t>(defs.size() * sizeof(KW_item)),
                             kw::kItemsOffset);
        if (rc < 0) return rc;
        const std::int64_t kb = (static_cast<std::int64_t>(counts[1]) * 12 + size) / 1024;
        return static_cast<std::int32_t>(std::min(kb, kInt32Max));
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
}
