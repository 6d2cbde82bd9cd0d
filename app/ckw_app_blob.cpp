// CKWApp, settings blob: the application state a data file carries behind the engine's data
// (FORMAT.md gives the layout). Writing fills the settings block from the present state and
// serialises it; reading checks every count and length against the bytes before it allocates
// and takes nothing over (block, structure definition) unless the whole blob is sound and its
// structure image describes the loaded data file.
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

constexpr const char* kBlobFailure = "内部データの取得に失敗しました";

// Fixed text fields of the blob and the size of each record in it.
constexpr std::int32_t kSetText = 256;
constexpr std::int32_t kName = 128;
constexpr std::int32_t kValue = 256;
constexpr std::int32_t kSetEntry = 4 + 4 + kSetText + kSetText + 4;  // 524
constexpr std::int32_t kCategoryHead = kName + 4 + 4 + 4 + 4;        // 144
constexpr std::int32_t kSmallClass = kName + 4 + kValue + kValue;    // 644
constexpr std::int32_t kGrouping = kName + kName;                    // 256
// Format version from which the blob is stored transformed.
constexpr std::int32_t kScrambledVersion = 120;

class BlobWriter {
public:
    explicit BlobWriter(std::string& out) : out_(out) {}

    void int32(std::int32_t value) {
        const auto u = static_cast<std::uint32_t>(value);
        const char bytes[4] = {static_cast<char>(u), static_cast<char>(u >> 8),
                               static_cast<char>(u >> 16), static_cast<char>(u >> 24)};
        out_.append(bytes, 4);
    }
    void bytes(std::string_view data) { out_.append(data); }
    // The text cut to size - 1 bytes on a character boundary (and at an embedded zero byte, as
    // a reader stops there), then zero bytes to the field's end.
    void field(std::string_view text, std::int32_t size) {
        text = text.substr(0, text.find('\0'));
        const std::size_t n = zbq::cp932::cutLength(text, static_cast<std::size_t>(size - 1));
        out_.append(text.data(), n);
        out_.append(static_cast<std::size_t>(size) - n, '\0');
    }

private:
    std::string& out_;
};

// Reads the blob in order; the first read that does not fit sets failed() and every later read
// gives zeros and empty texts.
class BlobReader {
public:
    explicit BlobReader(std::string_view data) : data_(data) {}

    bool failed() const { return failed_; }
    std::size_t consumed() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }

    std::int32_t int32() {
        const std::string_view b = bytes(4);
        if (b.size() != 4) return 0;
        const auto* u = reinterpret_cast<const unsigned char*>(b.data());
        return static_cast<std::int32_t>(
            static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 8 |
            static_cast<std::uint32_t>(u[2]) << 16 | static_cast<std::uint32_t>(u[3]) << 24);
    }
    // A count or length: not negative, and its elements (at least elementBytes each) within
    // the bytes left, so that nothing is allocated for a count the blob cannot hold.
    std::int32_t count(std::int32_t elementBytes) {
        const std::int32_t n = int32();
        if (n < 0 || static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(elementBytes) >
                         remaining()) {
            fail();
            return 0;
        }
        return n;
    }
    std::string_view bytes(std::size_t n) {
        if (failed_ || n > remaining()) {
            fail();
            return {};
        }
        const std::string_view b = data_.substr(pos_, n);
        pos_ += n;
        return b;
    }
    // A fixed text field: the text up to its first zero byte. A field without one (which no
    // writer of ours makes) is cut like a written one rather than read past its end.
    std::string field(std::int32_t size) {
        std::string_view b = bytes(static_cast<std::size_t>(size));
        const std::size_t zero = b.find('\0');
        if (zero != std::string_view::npos) return std::string(b.substr(0, zero));
        return std::string(zbq::cp932::cut(b, static_cast<std::size_t>(size - 1)));
    }
    void fail() { failed_ = true; }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

std::int64_t blobSize(const SettingsBlock& b) {
    const std::int64_t T = 8 + static_cast<std::int64_t>(b.definitionText.size()) + 1 +
                           static_cast<std::int64_t>(b.structureImage.size());
    std::int64_t size =
        28 + T + 4 * static_cast<std::int64_t>(b.displayItems.size()) +
        static_cast<std::int64_t>(kSetEntry) * static_cast<std::int64_t>(b.sets.size());
    for (const CategoryDefinition& c : b.categories)
        size +=
            kCategoryHead + static_cast<std::int64_t>(kSmallClass) * c.smallClasses.size() +
            static_cast<std::int64_t>(kGrouping) * (c.middleClasses.size() + c.largeClasses.size());
    for (const std::string& map : b.maps)
        size += 4 + static_cast<std::int64_t>(map.size());
    return size;
}

// The map's words as the blob stores them: each 32-bit word little-endian.
std::string mapBytes(const KW_map& map) {
    std::string out;
    out.reserve(static_cast<std::size_t>(map.byteLength()));
    BlobWriter writer(out);
    for (std::int32_t i = 0; i < map.wordCount(); ++i)
        writer.int32(static_cast<std::int32_t>(map.data()[i]));
    return out;
}

std::int32_t toInt32(std::size_t n) {
    return static_cast<std::int32_t>(n);
}

void writeGroupings(BlobWriter& w, const std::vector<ClassGrouping>& rows) {
    w.int32(toInt32(rows.size()));
    for (const ClassGrouping& row : rows) {
        w.field(row.name, kName);
        w.field(row.member, kName);
    }
}

std::vector<ClassGrouping> readGroupings(BlobReader& r) {
    std::vector<ClassGrouping> rows(static_cast<std::size_t>(r.count(kGrouping)));
    for (ClassGrouping& row : rows) {
        row.name = r.field(kName);
        row.member = r.field(kName);
    }
    return rows;
}

// Windows index the loaded data set's items by the numbers and types of the structure
// definition, and a later rebuild reads text data by its separator: a structure image is taken
// only when it describes the loaded file item for item, with the separator of the definition
// text beside it (TAB or "," when there is no text).
bool describesLoadedFile(const CStructDef& def, std::string_view definitionText,
                         const KW_search& search) {
    if (def.separator != '\t' && def.separator != ',') return false;
    if (!definitionText.empty() && def.separator != CKWApp::DefinitionSeparator(definitionText))
        return false;
    if (static_cast<std::int64_t>(def.items.size()) != search.KWgetItemCount()) return false;
    for (std::size_t i = 0; i < def.items.size(); ++i) {
        const CItemDef& item = def.items[i];
        const KW_item* loaded = search.KWgetItem(static_cast<std::int32_t>(i));
        if (item.itemNo != static_cast<std::int32_t>(i) || loaded == nullptr ||
            CKWApp::ItemTypeToKWType(item.type) != loaded->type)
            return false;
    }
    for (const CCodeDef& list : def.codeLists)
        if (list.itemNo < 0 || list.itemNo >= search.KWgetItemCount()) return false;
    return true;
}

}  // namespace

std::optional<std::string> CKWApp::BuildSettingsBlob() {
    std::optional<std::string> blob;
    try {
        SettingsBlock b;
        b.definitionText = definitionText_.stored();
        std::string_view image;
        if (structDef_.Save(&image) >= 0) {
            b.structureImage.assign(image);
            structDef_.Clear();

            b.displayItems = displayItems_;
            b.nextSetNo = nextSetNo_;
            b.markedSetNo = GetCurrentSetNo();
            for (std::size_t i = 0; i < sets_.size(); ++i) {
                const SetRecord& set = sets_[i];
                SettingsBlock::Set entry{set.level, set.number,
                                         std::string(zbq::cp932::cut(set.text1, kSetText - 1)),
                                         std::string(zbq::cp932::cut(set.text2, kSetText - 1)), 0};
                // Set 0 stands for all records. The length is taken from the map itself, so
                // that a stale length can never make the file unreadable.
                if (i > 0) {
                    b.maps.push_back(set.map ? mapBytes(*set.map) : std::string());
                    entry.mapLength = toInt32(b.maps.back().size());
                }
                b.sets.push_back(std::move(entry));
            }
            b.categories = categories_;

            if (blobSize(b) <= std::numeric_limits<std::int32_t>::max()) {
                block_ = std::move(b);
                std::string out;
                out.reserve(GetSettingsBlobSize());
                if (WriteSettingsBlob(out) == static_cast<std::int32_t>(GetSettingsBlobSize()))
                    blob = std::move(out);
            }
        }
    } catch (const std::bad_alloc&) {
        blob.reset();
    }
    if (blob) return blob;

    StopProgress();
    SetStatusText("");
    if (busy_) {
        SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("読込み中")));
        StartProgress();
    }
    ShowError(kBlobFailure);
    return std::nullopt;
}

std::uint32_t CKWApp::GetSettingsBlobSize() const {
    if (!block_) return 0;
    const std::int64_t size = blobSize(*block_);
    if (size < 0) return 0;
    if (size > std::numeric_limits<std::uint32_t>::max())
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(size);
}

std::int32_t CKWApp::WriteSettingsBlob(std::string& out) const {
    out.clear();
    if (!block_) return 0;
    const SettingsBlock& b = *block_;
    BlobWriter w(out);

    const std::int32_t L = toInt32(b.definitionText.size() + 1);
    const std::int32_t S = toInt32(b.structureImage.size());
    w.int32(8 + L + S);
    w.int32(L);
    w.bytes(b.definitionText);
    out.push_back('\0');
    w.int32(S);
    w.bytes(b.structureImage);

    w.int32(toInt32(b.displayItems.size()));
    for (std::int32_t item : b.displayItems)
        w.int32(item);
    w.int32(b.nextSetNo);
    w.int32(b.markedSetNo);

    w.int32(toInt32(b.sets.size()));
    for (const SettingsBlock::Set& set : b.sets) {
        w.int32(set.level);
        w.int32(set.number);
        w.field(set.text1, kSetText);
        w.field(set.text2, kSetText);
        w.int32(set.mapLength);
    }

    w.int32(toInt32(b.categories.size()));
    for (const CategoryDefinition& c : b.categories) {
        w.field(c.name, kName);
        w.int32(c.valueType);
        w.int32(toInt32(c.smallClasses.size()));
        for (const SmallClassDefinition& s : c.smallClasses) {
            w.field(s.name, kName);
            w.int32(s.op);
            w.field(s.value1, kValue);
            w.field(s.value2, kValue);
        }
        writeGroupings(w, c.middleClasses);
        writeGroupings(w, c.largeClasses);
    }

    w.int32(toInt32(b.maps.size()));
    for (const std::string& map : b.maps) {
        w.int32(toInt32(map.size()));
        w.bytes(map);
    }
    return toInt32(out.size());
}

void CKWApp::ScrambleBlob(char* bytes, std::int32_t length) {
    // Stored byte = the bits of the complement in reverse order; applying it twice is the
    // identity, so one table serves both ways.
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (unsigned b = 0; b < 256; ++b) {
            const unsigned inverted = ~b & 0xFFu;
            unsigned reversed = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (inverted & (1u << bit)) reversed |= 0x80u >> bit;
            t[b] = static_cast<unsigned char>(reversed);
        }
        return t;
    }();
    if (bytes == nullptr || length < 1) return;
    for (std::int32_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(table[static_cast<unsigned char>(bytes[i])]);
}

std::int32_t CKWApp::ReadSettingsBlob() {
    if (loadMode_ != 2) return 1;
    std::string blob;
    bool ok = KWreadBlob(held_.held() ? held_.readPath() : dataFilePath_, blob) >= 0;
    if (ok) {
        if (search_.KWgetVersion() >= kScrambledVersion)
            ScrambleBlob(blob.data(), toInt32(blob.size()));
        const std::int32_t consumed = DeserializeSettingsBlob(blob);
        if (consumed == kBlobNotOfLoadedFile) {
            // The data file's two halves do not belong together: it is not opened at all.
            search_.KWclose();
            StopProgress();
            SetStatusText("");
            ShowError("ZBQファイルのオープンに失敗しました。");
            return 0;
        }
        ok = consumed == toInt32(blob.size());
    }
    if (ok) return 1;
    StopProgress();
    SetStatusText("");
    ShowError(kBlobFailure);
    return 0;
}

std::int32_t CKWApp::DeserializeSettingsBlob(std::string_view blob) {
    if (blob.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return -1;
    BlobReader r(blob);
    SettingsBlock b;

    // Definition part: T = 8 + L + S, the text with its zero byte, the structure image.
    const std::int32_t T = r.count(1);
    const std::int32_t L = r.count(1);
    const std::string_view text = r.bytes(static_cast<std::size_t>(L));
    b.definitionText.assign(text.substr(0, text.find('\0')));
    const std::int32_t S = r.count(1);
    b.structureImage.assign(r.bytes(static_cast<std::size_t>(S)));
    if (static_cast<std::int64_t>(T) != 8 + static_cast<std::int64_t>(L) + S || S == 0) r.fail();
    CStructDef structure;
    if (!r.failed() && structure.Load(b.structureImage.data(), S) != 0) r.fail();

    b.displayItems.resize(static_cast<std::size_t>(r.count(4)));
    for (std::int32_t& item : b.displayItems)
        item = r.int32();
    b.nextSetNo = r.int32();
    b.markedSetNo = r.int32();

    b.sets.resize(static_cast<std::size_t>(r.count(kSetEntry)));
    for (SettingsBlock::Set& set : b.sets) {
        set.level = r.int32();
        set.number = r.int32();
        set.text1 = r.field(kSetText);
        set.text2 = r.field(kSetText);
        set.mapLength = r.int32();
        if (set.mapLength < 0) r.fail();
    }

    b.categories.resize(static_cast<std::size_t>(r.count(kCategoryHead)));
    for (CategoryDefinition& c : b.categories) {
        c.name = r.field(kName);
        c.valueType = r.int32();
        c.smallClasses.resize(static_cast<std::size_t>(r.count(kSmallClass)));
        for (SmallClassDefinition& s : c.smallClasses) {
            s.name = r.field(kName);
            s.op = r.int32();
            s.value1 = r.field(kValue);
            s.value2 = r.field(kValue);
        }
        c.middleClasses = readGroupings(r);
        c.largeClasses = readGroupings(r);
    }

    // One map per set after the first, each as long as its set says and, when present, as long
    // as a map of the loaded data set.
    const std::int32_t K = r.count(4);
    if (static_cast<std::int64_t>(K) != static_cast<std::int64_t>(b.sets.size()) - 1) r.fail();
    const std::int32_t loadedLength = search_.KWmapGetLength();
    for (std::int32_t i = 0; !r.failed() && i < K; ++i) {
        const std::int32_t length = r.count(1);
        const std::int32_t setLength = b.sets[static_cast<std::size_t>(i) + 1].mapLength;
        if (length != setLength || (length != 0 && length != loadedLength)) r.fail();
        b.maps.emplace_back(r.bytes(static_cast<std::size_t>(length)));
    }

    if (r.failed() || r.remaining() != 0) return -1;
    if (!describesLoadedFile(structure, b.definitionText, search_)) return kBlobNotOfLoadedFile;
    structDef_ = structure;
    block_ = std::move(b);
    return toInt32(r.consumed());
}
