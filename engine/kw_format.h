// The data file (.zbq): its byte layout, the checks every block must pass, and the one reader
// and the one writer of it. engine/FORMAT.md draws the layout with offsets and sizes.
//
// The layout structs are the file's records byte for byte (little-endian, packed, asserted
// below), so blocks are read straight into their final arrays. In memory a loaded item is an
// ItemBlock: flat arrays of the dictionary, the pools (plain text; the file holds them
// scrambled), the answer offsets and the value list.
//
// Reader: validates as it reads (item and record counts, every position, pool offset, answer
// offset and block size) and never reads or allocates past what the file holds; a damaged file
// gives KW_ERR_DAMAGED and frees everything. Writer: the builder, the merge, KWmapSave and the
// test fixtures all write through DataFileWriter, which refuses a block the reader would refuse
// and writes through a temporary file and a rename.
//
// Threads: no shared state; one reader or writer object per thread.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/kw_error.h"
#include "engine/kw_memory.h"
#include "platform/core/atomic_file.h"

namespace zbq {
class EngineHost;
}

static_assert(std::endian::native == std::endian::little,
              "data file blocks are read straight into memory and are little-endian");

// Engine item types as the data file stores them. A KW_TYPE_STRING item with code-table
// entries is a Code item.
enum KWType : std::int32_t {
    KW_TYPE_INTEGER = 1,
    KW_TYPE_FLOAT = 2,
    KW_TYPE_STRING = 3,
    KW_TYPE_MULTI = 4,
    KW_TYPE_DATE = 5,
    KW_TYPE_TIME = 6,
};

// Dictionary positions shared by every item.
enum : std::int32_t {
    KW_POS_ERROR = 0,
    KW_POS_BLANK = 1,
    KW_POS_FIRST_VALUE = 2,
};

enum : std::int32_t {
    KW_FORMAT_VERSION = 100,  // what this system writes
    KW_MAX_ITEMS = 1024,
    KW_TEXT_FIELD = 64,      // title and item name fields; 63 bytes of text at most
    KW_PASSWORD_FIELD = 16,  // scrambled password bytes in the head
};

// A file that is not what its blocks claim: truncated, counts that do not add up, a position
// or offset outside its table.
inline constexpr std::int32_t KW_ERR_DAMAGED = -1002;
// A file the int32 blob offset cannot address (EFBIG as MapErrno maps it).
inline constexpr std::int32_t KW_ERR_FILE_TOO_LARGE = -127;

inline constexpr char KW_MAGIC[8] = {'Q', 'R', 'N', ' ', 'Z', 'B', 'Q', ' '};
// The error and blank captions that open every string pool: "ｴﾗｰ" at 0 and "ﾌﾞﾗﾝｸ" at 4, in
// CP932 half-width katakana, each with its NUL.
inline constexpr char KW_CAPTIONS[] = "\xB4\xD7\xB0\0\xCC\xDE\xD7\xDD\xB8";
inline constexpr std::int32_t KW_CAPTIONS_SIZE = sizeof(KW_CAPTIONS);  // 10, the last NUL too
inline constexpr std::int32_t KW_BLANK_CAPTION_OFFSET = 4;

// The 256-byte head.
struct KW_head {
    char magic[8];
    std::int32_t version;
    unsigned char password[KW_PASSWORD_FIELD];
    char title[KW_TEXT_FIELD];  // scrambled up to its NUL
    std::int32_t blobOffset;    // settings blob from here to the end of the file
    std::int32_t passwordLength;
    char reserved[156];
};

// One item definition, 80 bytes.
struct KW_item {
    char name[KW_TEXT_FIELD];  // scrambled in the file, plain in memory
    std::int32_t type;         // KWType
    std::int32_t codeCount;    // code-table entries (Code and MultiAns items), else 0
    std::int32_t reserved;
    std::int32_t listLength;  // L: R, or the number of answers of a MultiAns item
};

// One dictionary entry, 24 bytes. The 8 value bytes at offset 16 read by type:
//   Integer, Date, Time: low = marker (-2 error, -1 blank, 0 value), high = the integer;
//   Float: the double (entries 0 and 1: low -2 or -1, high 0);
//   String: low 0, high = string-pool offset;
//   Code, MultiAns: low = code-pool offset of the display name, high = string-pool offset.
struct KW_dict {
    std::int32_t start;     // first index of this value in the record lists
    std::int32_t count;     // records (MultiAns: answers) holding the value
    std::int32_t mapCount;  // within the current map; stored as 0
    std::int32_t reserved;
    std::int32_t low;
    std::int32_t high;

    double asDouble() const { return std::bit_cast<double>(bits()); }
    void setDouble(double v) {
        const auto b = std::bit_cast<std::uint64_t>(v);
        low = static_cast<std::int32_t>(static_cast<std::uint32_t>(b));
        high = static_cast<std::int32_t>(static_cast<std::uint32_t>(b >> 32));
    }

private:
    std::uint64_t bits() const {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32 |
               static_cast<std::uint32_t>(low);
    }
};

static_assert(sizeof(KW_head) == 256 && offsetof(KW_head, version) == 8 &&
              offsetof(KW_head, password) == 12 && offsetof(KW_head, title) == 28 &&
              offsetof(KW_head, blobOffset) == 92 && offsetof(KW_head, passwordLength) == 96);
static_assert(sizeof(KW_item) == 80 && offsetof(KW_item, type) == 64 &&
              offsetof(KW_item, listLength) == 76);
static_assert(sizeof(KW_dict) == 24 && offsetof(KW_dict, low) == 16);

namespace kw {

inline constexpr std::int64_t kHeadSize = sizeof(KW_head);
inline constexpr std::int64_t kCountsOffset = 256;  // item count, then record count
inline constexpr std::int64_t kItemsOffset = 264;
// Largest file the int32 blob offset can address.
inline constexpr std::int64_t kMaxFileSize = std::numeric_limits<std::int32_t>::max();

inline bool isMultiType(std::int32_t type) {
    return type == KW_TYPE_MULTI;
}
inline bool hasStringPool(std::int32_t type) {
    return type == KW_TYPE_STRING || type == KW_TYPE_MULTI;
}
inline bool isIntegerType(std::int32_t type) {
    return type == KW_TYPE_INTEGER || type == KW_TYPE_DATE || type == KW_TYPE_TIME;
}

// One item as it lives in memory: every array flat, pools in plain text.
struct ItemBlock {
    KW_item def{};
    // Large arrays get mappings of their own (kw_memory.h): a data set's load faults them in
    // 2 MiB pages, and resize() leaves new elements unset for the reader to fill.
    LargeVector<KW_dict> dict;
    LargeVector<char> strings;         // string pool (String, Code, MultiAns)
    LargeVector<char> names;           // code pool of display names (codeCount > 0)
    LargeVector<std::int32_t> starts;  // MultiAns: R + 1 answer offsets
    LargeVector<std::int32_t> values;  // L dictionary positions

    std::string_view name() const { return {def.name, ::strnlen(def.name, KW_TEXT_FIELD)}; }
    bool hasCodes() const { return def.codeCount > 0; }
};

// The fields of the head that a writer sets; the magic, the blob offset and the reserved bytes
// are the writer's own.
struct FileHead {
    std::int32_t version = KW_FORMAT_VERSION;
    std::array<unsigned char, KW_PASSWORD_FIELD> password{};  // as stored (scrambled)
    std::int32_t passwordLength = 0;
    std::string title;  // plain, cut to 63 bytes on a character boundary when written
};

// A whole data file in memory.
struct DataFileContents {
    FileHead head;
    std::int32_t blobOffset = 0;  // as read; the writer sets its own
    std::int32_t recordCount = 0;
    std::vector<ItemBlock> items;
};

// Copies text into a 64-byte name or title field: cut to 63 bytes on a CP932 character
// boundary (and at an embedded NUL), NUL-padded.
void setTextField(char (&field)[KW_TEXT_FIELD], std::string_view text);

// Fills start and count of every dictionary entry from the value list (and zeroes mapCount),
// so that builders need to produce only the dictionary values and the positions. Positions
// outside the dictionary are not counted; checkItemBlock refuses them.
void fillCounts(ItemBlock& block);

// The checks the reader applies to each part as it arrives, and the writer to a whole block.
bool checkDefinition(const KW_item& def, std::int32_t recordCount);
bool checkDictionary(const KW_item& def, std::span<const KW_dict> dict);
bool checkStringPool(std::span<const char> pool, std::span<const KW_dict> dict);
bool checkCodePool(std::span<const char> pool, std::span<const KW_dict> dict);
bool checkAnswerStarts(std::span<const std::int32_t> starts, std::int32_t recordCount,
                       std::int32_t listLength);
// Every position below the dictionary size and each entry's count equal to its occurrences.
bool checkValues(std::span<const std::int32_t> values, std::span<const KW_dict> dict);
bool checkItemBlock(const ItemBlock& block, std::int32_t recordCount);

// Reads and validates a whole data file. Order of checks: magic (-1001), password (-1003 when
// the file carries one and `password` differs), then every block (KW_ERR_DAMAGED). An I/O
// failure gives its MapErrno code, an allocation failure -1011. On failure `out` is left
// empty. The host, when given, pumps messages between blocks. onItem, when given, sees each
// item's block as soon as it has been read and checked (while its arrays are still in the
// processor's caches), with the record count; a later failure still fails the whole read.
using ItemReadHook = std::function<void(const ItemBlock& block, std::int32_t recordCount)>;
std::int32_t readDataFile(const std::string& path, std::string_view password, DataFileContents& out,
                          zbq::EngineHost* host = nullptr, const ItemReadHook& onItem = {});

// Writes a data file block by block: begin, one append per item in item order, finish. The
// file appears under its name only when finish succeeds; every other end leaves any old file
// as it was. Results are 0 or a negative code: -1 for a block the reader would refuse or a
// call out of order, KW_ERR_FILE_TOO_LARGE when the blocks outgrow the int32 blob offset, a
// MapErrno code for a failed write.
class DataFileWriter {
public:
    explicit DataFileWriter(std::string path, std::int64_t maxFileSize = kMaxFileSize);
    DataFileWriter(const DataFileWriter&) = delete;
    DataFileWriter& operator=(const DataFileWriter&) = delete;

    std::int32_t begin(std::int32_t itemCount, std::int32_t recordCount);
    // The block's pools are plain; the writer stores them scrambled.
    std::int32_t append(const ItemBlock& block);
    // Writes the head and the item definitions over their placeholders, sets the blob offset to
    // the end of the data (an empty blob), and puts the file in place.
    std::int32_t finish(const FileHead& head);

private:
    std::int32_t fail(std::int32_t code);
    std::int32_t write(const void* data, std::int64_t size);

    zbq::AtomicFile file_;
    std::int64_t maxFileSize_;
    std::int64_t size_ = 0;
    std::int32_t itemCount_ = -1;
    std::int32_t recordCount_ = 0;
    std::vector<KW_item> defs_;  // plain names, as appended
    bool closed_ = false;        // failed or finished: every further call is refused
};

// begin, append every item, finish.
std::int32_t writeDataFile(const std::string& path, const DataFileContents& contents);

}  // namespace kw
