// Reading a whole data file, validating each part before the next one is sized from it.
//
// Every array length comes from the file, so each is checked against the bytes left before the
// settings blob before anything is allocated: a hostile count can neither read past the data
// nor make us allocate more than the file could fill.
#include <algorithm>
#include <new>

#include "engine/kw_file_io.h"
#include "engine/kw_format.h"
#include "engine/kw_memory.h"
#include "engine/kw_password.h"
#include "engine/kw_text.h"
#include "platform/core/engine_host.h"

namespace kw {

namespace {

// Sequential reads between the end of the head and the start of the settings blob.
class BlockReader {
public:
    BlockReader(int fd, std::int64_t pos, std::int64_t end) : fd_(fd), pos_(pos), end_(end) {}

    std::int64_t position() const { return pos_; }

    template <typename T>
    std::int32_t read(T& value) {
        return readBytes(&value, sizeof value);
    }

    // The count is checked against the bytes left before anything is allocated. A
    // LargeVector's new elements are left unset for the read to fill.
    template <typename Vector>
    std::int32_t readArray(Vector& out, std::int64_t count) {
        using T = typename Vector::value_type;
        if (count < 0 || count > (end_ - pos_) / static_cast<std::int64_t>(sizeof(T)))
            return KW_ERR_DAMAGED;
        out.resize(static_cast<std::size_t>(count));
        return readBytes(out.data(), count * static_cast<std::int64_t>(sizeof(T)));
    }

private:
    std::int32_t readBytes(void* data, std::int64_t n) {
        if (n > end_ - pos_) return KW_ERR_DAMAGED;
        if (const std::int32_t rc = readExactAt(fd_, data, n, pos_); rc < 0) return rc;
        pos_ += n;
        return 0;
    }

    int fd_;
    std::int64_t pos_;
    std::int64_t end_;
};

void pump(zbq::EngineHost* host) {
    if (host) host->pumpMessages();
}

// A pool is read as a byte size followed by that many bytes.
std::int32_t readPool(BlockReader& in, LargeVector<char>& pool) {
    std::int32_t size = 0;
    if (const std::int32_t rc = in.read(size); rc < 0) return rc;
    return in.readArray(pool, size);
}

std::int32_t readItem(BlockReader& in, std::int32_t recordCount, ItemBlock& item,
                      zbq::EngineHost* host) {
    const KW_item& def = item.def;
    std::int32_t dictSize = 0;
    if (std::int32_t rc = in.read(dictSize); rc < 0) return rc;
    if (std::int32_t rc = in.readArray(item.dict, dictSize); rc < 0) return rc;
    if (!checkDictionary(def, item.dict)) return KW_ERR_DAMAGED;
    pump(host);

    if (hasStringPool(def.type)) {
        if (std::int32_t rc = readPool(in, item.strings); rc < 0) return rc;
        if (!checkStringPool(item.strings, item.dict)) return KW_ERR_DAMAGED;
        pump(host);
    }
    if (def.codeCount > 0) {
        if (std::int32_t rc = readPool(in, item.names); rc < 0) return rc;
        if (!checkCodePool(item.names, item.dict)) return KW_ERR_DAMAGED;
        pump(host);
    }
    if (isMultiType(def.type)) {
        if (std::int32_t rc = in.readArray(item.starts, std::int64_t{recordCount} + 1); rc < 0)
            return rc;
        if (!checkAnswerStarts(item.starts, recordCount, def.listLength)) return KW_ERR_DAMAGED;
        pump(host);
    }
    if (std::int32_t rc = in.readArray(item.values, def.listLength); rc < 0) return rc;
    if (!checkValues(item.values, item.dict)) return KW_ERR_DAMAGED;
    pump(host);

    // Every byte of a scrambled pool but its NULs is scrambled: a String item's string pool
    // (captions included), the code pool of an item with a code table.
    if (def.codeCount > 0)
        UnscrambleBytes(item.names.data(), item.names.size());
    else if (hasStringPool(def.type))
        UnscrambleBytes(item.strings.data(), item.strings.size());
    return 0;
}

// A title or name field made plain in place, NUL-padded behind its text.
void unscrambleField(char (&field)[KW_TEXT_FIELD]) {
    field[KW_TEXT_FIELD - 1] = '\0';  // 63 bytes of text at most, whatever the file says
    UnscrambleText(field);
    const std::size_t n = std::strlen(field);
    std::memset(field + n, 0, KW_TEXT_FIELD - n);
}

std::int32_t readAll(const std::string& path, std::string_view password, DataFileContents& c,
                     zbq::EngineHost* host, const ItemReadHook& onItem) {
    FileDescriptor fd;
    std::int64_t fileSize = 0;
    if (std::int32_t rc = openForReading(path, fd, fileSize); rc < 0) return rc;
    KW_head head;
    if (std::int32_t rc = readHead(fd.get(), fileSize, head); rc < 0) return rc;

    std::copy(std::begin(head.password), std::end(head.password), c.head.password.begin());
    if (head.password[0] != 0 && head.passwordLength < 0) return KW_ERR_DAMAGED;
    if (!passwordMatches(c.head.password, head.passwordLength, password)) return KW_ERR_PASSWORD;
    c.head.version = head.version;
    c.head.passwordLength = head.passwordLength;
    unscrambleField(head.title);
    c.head.title = head.title;
    c.blobOffset = head.blobOffset;
    if (head.blobOffset < kItemsOffset || head.blobOffset > fileSize) return KW_ERR_DAMAGED;

    BlockReader in(fd.get(), kCountsOffset, head.blobOffset);
    std::int32_t itemCount = 0;
    if (std::int32_t rc = in.read(itemCount); rc < 0) return rc;
    if (std::int32_t rc = in.read(c.recordCount); rc < 0) return rc;
    if (itemCount < 1 || itemCount > KW_MAX_ITEMS || c.recordCount < 0) return KW_ERR_DAMAGED;

    std::vector<KW_item> defs;
    if (std::int32_t rc = in.readArray(defs, itemCount); rc < 0) return rc;
    c.items.resize(defs.size());
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (!checkDefinition(defs[i], c.recordCount)) return KW_ERR_DAMAGED;
        unscrambleField(defs[i].name);
        c.items[i].def = defs[i];
    }
    for (ItemBlock& item : c.items) {
        pump(host);
        if (std::int32_t rc = readItem(in, c.recordCount, item, host); rc < 0) return rc;
        if (onItem) onItem(item, c.recordCount);
    }
    // The blocks must end exactly where the settings blob begins.
    return in.position() == head.blobOffset ? 0 : KW_ERR_DAMAGED;
}

}  // namespace

std::int32_t readDataFile(const std::string& path, std::string_view password, DataFileContents& out,
                          zbq::EngineHost* host, const ItemReadHook& onItem) {
    out = DataFileContents{};
    DataFileContents contents;
    std::int32_t rc = 0;
    try {
        rc = readAll(path, password, contents, host, onItem);
    } catch (const std::bad_alloc&) {
        rc = KW_ERR_NO_MEMORY;
    }
    if (rc == 0) out = std::move(contents);
    return rc;
}

}  // namespace kw
