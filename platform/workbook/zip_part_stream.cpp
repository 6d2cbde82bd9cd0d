// Zip parts read in chunks: deflated ones inflated by ISA-L, the rest through libzip.
#include "platform/workbook/zip_part_stream.h"

#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zbq::workbook {

namespace {

// Raw bytes taken from the archive at a time: large enough that reading costs little beside
// inflating, small enough to stay in the cache with what it inflates to.
constexpr std::size_t kInputChunk = std::size_t{128} << 10;

}  // namespace

void ZipPartStream::StateDeleter::operator()(inflate_state* s) const {
    delete s;
}

ZipPartStream::ZipPartStream() = default;
ZipPartStream::~ZipPartStream() = default;

bool ZipPartStream::open(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat,
                         std::string* error) {
    size_ = stat.size;
    constexpr zip_uint64_t kNeeded =
        ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD;
    const bool deflated = (stat.valid & kNeeded) == kNeeded && stat.comp_method == ZIP_CM_DEFLATE;
    file_.reset(zip_fopen_index(archive, index, deflated ? ZIP_FL_COMPRESSED : 0));
    if (!file_) {
        if (error) *error = std::string("cannot read the part: ") + zip_strerror(archive);
        return false;
    }
    if (deflated) {
        state_.reset(new inflate_state);
        isal_inflate_init(state_.get());
        state_->crc_flag = ISAL_GZIP_NO_HDR;  // the zip CRC is gzip's
        state_->avail_in = 0;
        // Small parts (most of a workbook's) need no more than their own size.
        input_.resize(
            static_cast<std::size_t>(std::clamp<zip_uint64_t>(stat.comp_size, 1, kInputChunk)));
        compressedLeft_ = stat.comp_size;
        crc_ = stat.crc;
    }
    return true;
}

long long ZipPartStream::failed(std::string message) {
    failed_ = true;
    if (error_.empty()) error_ = std::move(message);
    return -1;
}

long long ZipPartStream::read(char* data, std::size_t size) {
    if (failed_) return -1;
    if (size == 0) return 0;
    return state_ ? readInflated(data, size) : readThroughLibrary(data, size);
}

long long ZipPartStream::readThroughLibrary(char* data, std::size_t size) {
    const zip_uint64_t left = size_ - produced_;
    if (left == 0) {
        // The directory's size is reached: the part must end here, and the library checks its
        // CRC as it does.
        char extra;
        return zip_fread(file_.get(), &extra, 1) == 0
                   ? 0
                   : failed("the part inflates to other bytes or more than its directory says");
    }
    const zip_int64_t got = zip_fread(file_.get(), data, std::min<zip_uint64_t>(size, left));
    if (got <= 0) return failed("the part cannot be read to its end");
    produced_ += static_cast<zip_uint64_t>(got);
    return got;
}

long long ZipPartStream::readInflated(char* data, std::size_t size) {
    if (finished_) return 0;
    inflate_state& s = *state_;
    const auto want =
        static_cast<uint32_t>(std::min<std::size_t>(size, std::numeric_limits<uint32_t>::max()));
    s.next_out = reinterpret_cast<uint8_t*>(data);
    s.avail_out = want;
    for (;;) {
        if (s.avail_in == 0 && compressedLeft_ > 0) {
            const zip_int64_t got = zip_fread(
                file_.get(), input_.data(), std::min<zip_uint64_t>(input_.size(), compressedLeft_));
            if (got <= 0) return failed("the part cannot be read to its end");
            compressedLeft_ -= static_cast<zip_uint64_t>(got);
            s.next_in = input_.data();
            s.avail_in = static_cast<uint32_t>(got);
        }
        const uint32_t roomBefore = s.avail_out;
        if (isal_inflate(&s) < 0) return failed("the part's deflated stream is damaged");
        if (s.block_state == ISAL_BLOCK_FINISH || s.avail_out == 0) break;
        if (s.avail_in == 0 && compressedLeft_ == 0 && s.avail_out == roomBefore)
            return failed("the part's deflated stream ends early");
    }
    const uint32_t got = want - s.avail_out;
    produced_ += got;
    if (produced_ > size_) return failed("the part inflates to more than its directory says");
    if (s.block_state == ISAL_BLOCK_FINISH) {
        finished_ = true;
        if (produced_ != size_) return failed("the part inflates to less than its directory says");
        if (s.crc != crc_) return failed("the part does not match its CRC");
        if (s.avail_in != 0 || compressedLeft_ != 0)
            return failed("the part's deflated stream ends before its stored size");
    }
    return got;
}

}  // namespace zbq::workbook
