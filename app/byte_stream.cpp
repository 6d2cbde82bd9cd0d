// CByteStream: the growable buffer and read cursor under the definition records.
#include "app/byte_stream.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "app/message_pump.h"

namespace {

constexpr std::int32_t kBlockBytes = 1024;

// Test hook: growth past this many bytes fails as an allocation would; 0 means no limit.
std::int32_t growthLimit = 0;

}  // namespace

void CByteStream::setGrowthLimit(std::int32_t bytes) {
    growthLimit = bytes > 0 ? bytes : 0;
}

std::int32_t CByteStream::Grow(std::int32_t needed) {
    if (static_cast<std::int64_t>(capacityBlocks_) * kBlockBytes >= needed) {
        return capacityBlocks_ * kBlockBytes;
    }
    const std::int64_t blocks = (static_cast<std::int64_t>(needed) + kBlockBytes - 1) / kBlockBytes;
    const std::int64_t bytes = blocks * kBlockBytes;
    bool grown = bytes <= std::numeric_limits<std::int32_t>::max() &&
                 (growthLimit == 0 || bytes <= growthLimit);
    if (grown) {
        try {
            buffer_.reserve(static_cast<std::size_t>(bytes));
        } catch (const std::bad_alloc&) {
            grown = false;
        } catch (const std::length_error&) {
            grown = false;
        }
    }
    if (!grown) {
        // A stream that cannot grow holds nothing: a half-written image must never pass for a
        // whole one.
        Clear();
        return -1;
    }
    capacityBlocks_ = static_cast<std::int32_t>(blocks);
    return static_cast<std::int32_t>(bytes);
}

std::int32_t CByteStream::Append(const void* source, std::int32_t n) {
    if (n < 0) return -1;
    const std::int64_t needed = static_cast<std::int64_t>(length()) + n;
    if (needed > std::numeric_limits<std::int32_t>::max()) {
        Clear();
        return -1;
    }
    if (Grow(static_cast<std::int32_t>(needed)) < 0) return -1;
    buffer_.append(static_cast<const char*>(source), static_cast<std::size_t>(n));
    zbq::app::pumpPendingMessages();
    return 0;
}

std::int32_t CByteStream::Read(void* destination, std::int32_t n) {
    if (n < 0 || static_cast<std::int64_t>(offset_) + n > limit_) return -1;
    if (n > 0) std::memcpy(destination, source_ + offset_, static_cast<std::size_t>(n));
    offset_ += n;
    zbq::app::pumpPendingMessages();
    return 0;
}

void CByteStream::Clear() {
    std::string().swap(buffer_);
    capacityBlocks_ = 0;
}

std::int32_t CByteStream::AppendInt(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
        static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
    return Append(bytes, 4);
}

std::int32_t CByteStream::AppendString(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        Clear();
        return -1;
    }
    const auto n = static_cast<std::int32_t>(text.size());
    if (AppendInt(n) != 0) return -1;
    return Append(text.data(), n);
}

std::int32_t CByteStream::AppendNested(CByteStream& record) {
    std::string_view image;
    const std::int32_t n = record.Save(&image);
    if (n < 0) {
        Clear();
        return -1;
    }
    const std::int32_t rc = AppendInt(n) != 0 || Append(image.data(), n) != 0 ? -1 : 0;
    // The nested image now lives in ours; keeping a second copy would double the memory.
    record.Clear();
    return rc;
}

std::int32_t CByteStream::ReadInt(std::int32_t* value) {
    unsigned char bytes[4];
    if (Read(bytes, 4) != 0) return -1;
    *value = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
    return 0;
}

std::int32_t CByteStream::ReadCount(std::int32_t* count, std::int32_t elementBytes) {
    std::int32_t value = 0;
    if (ReadInt(&value) != 0 || value < 0) return -1;
    if (static_cast<std::int64_t>(value) * (elementBytes > 0 ? elementBytes : 0) > remaining()) {
        return -1;
    }
    *count = value;
    return 0;
}

std::int32_t CByteStream::ReadString(std::string* text) {
    std::int32_t n = 0;
    if (ReadCount(&n, 1) != 0) return -1;
    std::string read(static_cast<std::size_t>(n), '\0');
    if (Read(read.data(), n) != 0) return -1;
    *text = std::move(read);
    return 0;
}

std::int32_t CByteStream::ReadNested(CByteStream& record) {
    std::int32_t n = 0;
    if (ReadCount(&n, 1) != 0) return -1;
    // The nested record reads its bytes where they lie; the length was checked against what is
    // left, so it cannot read past our image.
    if (record.Load(source_ + offset_, n) != 0) return -1;
    offset_ += n;
    zbq::app::pumpPendingMessages();
    return 0;
}

std::int32_t CByteStream::BeginRead(const char* source, std::int32_t length) {
    Clear();
    source_ = nullptr;
    limit_ = 0;
    offset_ = 0;
    if (source == nullptr || length < 0) return -1;
    source_ = source;
    limit_ = length;
    return 0;
}

void CByteStream::EndRead() {
    Clear();
    source_ = nullptr;
    limit_ = 0;
    offset_ = 0;
}
