// Writing a data file block by block through a temporary file.
#include <algorithm>

#include "engine/kw_file_io.h"
#include "engine/kw_format.h"
#include "engine/kw_text.h"

namespace kw {

DataFileWriter::DataFileWriter(std::string path, std::int64_t maxFileSize)
    : file_(std::move(path)), maxFileSize_(std::min(maxFileSize, kMaxFileSize)) {}

std::int32_t DataFileWriter::fail(std::int32_t code) {
    closed_ = true;
    file_.discard();
    return code;
}

std::int32_t DataFileWriter::write(const void* data, std::int64_t size) {
    // Checked before writing: a file the blob offset cannot address is never produced.
    if (size > maxFileSize_ - size_) return fail(KW_ERR_FILE_TOO_LARGE);
    if (size > 0 && !file_.write(data, static_cast<std::size_t>(size)))
        return fail(ioFailure(file_.error()));
    size_ += size;
    return 0;
}

std::int32_t DataFileWriter::begin(std::int32_t itemCount, std::int32_t recordCount) {
    if (closed_ || itemCount_ >= 0) return KW_ERR_ARGUMENT;
    if (itemCount < 1 || itemCount > KW_MAX_ITEMS || recordCount < 0) return fail(KW_ERR_ARGUMENT);
    if (!file_.open()) return fail(ioFailure(file_.error()));
    itemCount_ = itemCount;
    recordCount_ = recordCount;
    defs_.reserve(static_cast<std::size_t>(itemCount));
    // Placeholders for the head, the counts and the definitions, written for real by finish().
    const std::vector<char> zeros(
        kItemsOffset + sizeof(KW_item) * static_cast<std::size_t>(itemCount), 0);
    return write(zeros.data(), static_cast<std::int64_t>(zeros.size()));
}

namespace {

template <typename Vector>
std::int64_t byteSize(const Vector& v) {
    return static_cast<std::int64_t>(v.size() * sizeof(typename Vector::value_type));
}

}  // namespace

std::int32_t DataFileWriter::append(const ItemBlock& block) {
    if (closed_ || itemCount_ < 0 || defs_.size() == static_cast<std::size_t>(itemCount_))
        return fail(KW_ERR_ARGUMENT);
    if (!checkItemBlock(block, recordCount_)) return fail(KW_ERR_ARGUMENT);

    LargeVector<KW_dict> dict = block.dict;
    for (KW_dict& e : dict)
        e.mapCount = e.reserved = 0;
    const auto dictSize = static_cast<std::int32_t>(dict.size());
    std::int32_t rc = write(&dictSize, sizeof dictSize);
    if (rc == 0) rc = write(dict.data(), byteSize(dict));

    auto writePool = [&](const LargeVector<char>& plain, bool scrambled) {
        const auto size = static_cast<std::int32_t>(plain.size());
        std::int32_t r = write(&size, sizeof size);
        if (r < 0 || !scrambled) return r < 0 ? r : write(plain.data(), size);
        LargeVector<char> pool = plain;
        ScrambleBytes(pool.data(), pool.size());
        return write(pool.data(), size);
    };
    if (rc == 0 && hasStringPool(block.def.type)) rc = writePool(block.strings, !block.hasCodes());
    if (rc == 0 && block.hasCodes()) rc = writePool(block.names, true);
    if (rc == 0 && isMultiType(block.def.type))
        rc = write(block.starts.data(), byteSize(block.starts));
    if (rc == 0) rc = write(block.values.data(), byteSize(block.values));
    if (rc < 0) return rc;
    defs_.push_back(block.def);
    return 0;
}

std::int32_t DataFileWriter::finish(const FileHead& head) {
    if (closed_ || itemCount_ < 0 || defs_.size() != static_cast<std::size_t>(itemCount_))
        return fail(KW_ERR_ARGUMENT);

    std::vector<char> front(static_cast<std::size_t>(kItemsOffset) + sizeof(KW_item) * defs_.size(),
                            0);
    KW_head h{};
    std::memcpy(h.magic, KW_MAGIC, sizeof h.magic);
    h.version = head.version;
    std::copy(head.password.begin(), head.password.end(), h.password);
    setTextField(h.title, head.title);
    ScrambleText(h.title);
    h.blobOffset = static_cast<std::int32_t>(size_);  // an empty settings blob
    h.passwordLength = head.passwordLength;
    std::memcpy(front.data(), &h, sizeof h);

    const std::int32_t counts[2] = {itemCount_, recordCount_};
    std::memcpy(front.data() + kCountsOffset, counts, sizeof counts);
    for (std::size_t i = 0; i < defs_.size(); ++i) {
        KW_item def = defs_[i];
        const std::string name(def.name, ::strnlen(def.name, KW_TEXT_FIELD));
        setTextField(def.name, name);
        ScrambleText(def.name);
        def.reserved = 0;
        std::memcpy(front.data() + kItemsOffset + i * sizeof(KW_item), &def, sizeof def);
    }
    if (std::int32_t rc =
            writeExactAt(file_.fd(), front.data(), static_cast<std::int64_t>(front.size()), 0);
        rc < 0)
        return fail(rc);
    if (!file_.commit()) return fail(ioFailure(file_.error()));
    closed_ = true;  // one file per writer
    return 0;
}

std::int32_t writeDataFile(const std::string& path, const DataFileContents& contents) {
    DataFileWriter writer(path);
    std::int32_t rc =
        writer.begin(static_cast<std::int32_t>(contents.items.size()), contents.recordCount);
    for (std::size_t i = 0; rc == 0 && i < contents.items.size(); ++i)
        rc = writer.append(contents.items[i]);
    return rc < 0 ? rc : writer.finish(contents.head);
}

}  // namespace kw
