// One part of an open zip archive, inflated in chunks as it is read: worksheets are scanned as
// they come, never held whole.
//
// A deflated part is read as its raw stream and inflated by ISA-L, several times faster than the
// zip library's own inflating; parts stored otherwise are read through the zip library. Either
// way the part must inflate to exactly the size its directory entry gives and match its CRC:
// a part that inflates to more, to less, or to other bytes is damage, and reading it fails at
// the first byte past its size or at its end. One owner; not shared between threads.
#pragma once

#include <zip.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct inflate_state;

namespace zbq::workbook {

class ZipPartStream {
public:
    ZipPartStream();
    ~ZipPartStream();
    ZipPartStream(const ZipPartStream&) = delete;
    ZipPartStream& operator=(const ZipPartStream&) = delete;

    // Opens entry `index` of `archive` (which must outlive the stream), `stat` being its
    // directory entry with at least its size. False with `error` set when it cannot be read.
    bool open(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat, std::string* error);

    // Fills up to `size` bytes; returns how many, 0 at the end of a sound part, -1 when the
    // part is damaged (error() tells how).
    long long read(char* data, std::size_t size);
    const std::string& error() const { return error_; }

private:
    long long failed(std::string message);
    long long readInflated(char* data, std::size_t size);
    long long readThroughLibrary(char* data, std::size_t size);

    struct FileCloser {
        void operator()(zip_file_t* f) const { zip_fclose(f); }
    };
    struct StateDeleter {
        void operator()(inflate_state* s) const;
    };
    std::unique_ptr<zip_file_t, FileCloser> file_;
    std::unique_ptr<inflate_state, StateDeleter> state_;  // null: read through the library
    std::vector<unsigned char> input_;
    zip_uint64_t size_ = 0;            // what the part inflates to, by its directory
    zip_uint64_t produced_ = 0;        // handed out so far
    zip_uint64_t compressedLeft_ = 0;  // raw bytes of the part not yet taken from the archive
    zip_uint32_t crc_ = 0;
    bool finished_ = false;
    bool failed_ = false;
    std::string error_;
};

}  // namespace zbq::workbook
