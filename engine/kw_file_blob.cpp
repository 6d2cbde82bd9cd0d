// The settings blob at the end of a data file.
#include <new>

#include "engine/kw_file.h"
#include "engine/kw_file_io.h"

namespace {

// Opens a data file and finds where its blob begins.
std::int32_t openBlob(const std::string& path, kw::FileDescriptor& fd, std::int64_t& fileSize,
                      std::int64_t& blobOffset) {
    if (std::int32_t rc = kw::openForReading(path, fd, fileSize); rc < 0) return rc;
    KW_head head;
    if (std::int32_t rc = kw::readHead(fd.get(), fileSize, head); rc < 0) return rc;
    blobOffset = head.blobOffset;
    // 0 marks a file whose build never finished; it has no blob to speak of.
    if (blobOffset < kw::kItemsOffset || blobOffset > fileSize) return KW_ERR_DAMAGED;
    return 0;
}

}  // namespace

std::int32_t KWreadBlob(const std::string& path, std::string& blob) {
    blob.clear();
    kw::FileDescriptor fd;
    std::int64_t fileSize = 0, offset = 0;
    if (std::int32_t rc = openBlob(path, fd, fileSize, offset); rc < 0) return rc;
    const std::int64_t length = fileSize - offset;
    if (length > kw::kMaxFileSize) return KW_ERR_FILE_TOO_LARGE;
    try {
        blob.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    if (std::int32_t rc = kw::readExactAt(fd.get(), blob.data(), length, offset); rc < 0) {
        blob.clear();
        return rc;
    }
    return static_cast<std::int32_t>(length);
}

std::int32_t KWwriteBlob(const std::string& path, std::string_view blob) {
    kw::FileDescriptor fd;
    std::int64_t fileSize = 0, offset = 0;
    if (std::int32_t rc = openBlob(path, fd, fileSize, offset); rc < 0) return rc;
    if (static_cast<std::int64_t>(blob.size()) > kw::kMaxFileSize - offset)
        return KW_ERR_FILE_TOO_LARGE;
    zbq::AtomicFile out(path);
    if (!out.open()) return kw::ioFailure(out.error());
    if (std::int32_t rc = kw::copyRange(fd.get(), 0, offset, out.fd()); rc < 0) return rc;
    if (!out.write(blob) || !out.commit()) return kw::ioFailure(out.error());
    return 0;
}
