// CByteStream: a growable byte buffer with a read cursor, the base of the definition records
// that write themselves into a flat byte image and read themselves back (struct_def.h).
//
// Image rules: integers 32-bit little-endian; a string is its byte length followed by the bytes
// (no terminator); a vector is its count followed by its elements; a nested record is its byte
// length followed by its own image.
//
// The buffer grows in whole blocks of 1024 bytes. Save() writes the record into the record's own
// buffer and hands out a view of it, valid until the next Save, Clear or destruction; a failed
// growth fails the whole Save (-1, buffer empty). Load() reads a record from an image and
// returns 0, or -1 for an image that is short, malformed or claims more than it holds; lengths
// and counts are checked against the bytes left before anything is allocated. Every Append and
// Read lets pending window messages through (the application's throttled pump), so a large
// definition keeps the windows alive. Copying a stream copies none of the buffer state.
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CByteStream {
public:
    CByteStream() = default;
    virtual ~CByteStream() = default;
    CByteStream(const CByteStream&) {}
    CByteStream& operator=(const CByteStream&) {
        Clear();
        return *this;
    }

    // Writes the record; `out` views the image. Returns its length, or -1.
    virtual std::int32_t Save(std::string_view* out) = 0;
    // Reads the record from an image; 0 or -1 (members read so far keep their values).
    virtual std::int32_t Load(const char* source, std::int32_t length) = 0;

    // 0, or -1 when the buffer cannot grow (nothing copied; the stream is then empty).
    std::int32_t Append(const void* source, std::int32_t n);
    // 0, or -1 (nothing copied) when fewer than n bytes are left.
    std::int32_t Read(void* destination, std::int32_t n);
    void Clear();

    std::int32_t length() const { return static_cast<std::int32_t>(buffer_.size()); }
    std::int32_t capacityBlocks() const { return capacityBlocks_; }
    // Bytes left to read.
    std::int32_t remaining() const { return limit_ - offset_; }

    // For tests: growth beyond this many bytes fails as a failed allocation would; 0 lifts it.
    static void setGrowthLimit(std::int32_t bytes);

protected:
    // Typed helpers for the records.
    std::int32_t AppendInt(std::int32_t value);
    std::int32_t AppendString(std::string_view text);
    std::int32_t AppendNested(CByteStream& record);
    // Reads a nested record's length and lets `record` load that many bytes.
    std::int32_t ReadNested(CByteStream& record);
    std::int32_t ReadInt(std::int32_t* value);
    std::int32_t ReadString(std::string* text);
    // A count or length read and checked: not negative, and (times elementBytes, the smallest
    // image an element can have) no more than the bytes left.
    std::int32_t ReadCount(std::int32_t* count, std::int32_t elementBytes);
    // Starts reading `length` bytes at `source`; -1 for a negative length or a null source.
    std::int32_t BeginRead(const char* source, std::int32_t length);
    void EndRead();
    std::string_view image() const { return buffer_; }

private:
    std::int32_t Grow(std::int32_t needed);

    std::string buffer_;
    std::int32_t capacityBlocks_ = 0;
    const char* source_ = nullptr;
    std::int32_t limit_ = 0;
    std::int32_t offset_ = 0;
};
