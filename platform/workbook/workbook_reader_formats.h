// The two workbook formats behind WorkbookReader, and what their readers share.
#pragma once

#include <charconv>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/workbook/workbook_reader.h"

namespace zbq::workbook {

// A merged area, 1-based and inclusive.
struct SheetMerge {
    uint32_t firstColumn, firstRow, lastColumn, lastRow;
    bool operator==(const SheetMerge&) const = default;
};

// The file as it was when it was opened: a scan found in it holds for it while all of these do.
struct FileIdentity {
    std::string path;
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct SheetScan {
    FileIdentity file;
    std::string part;
    UsedRange range;
    std::vector<SheetMerge> merges;
};

}  // namespace zbq::workbook

namespace zbq::workbook::detail {

std::unique_ptr<WorkbookReader> openXlsx(const std::string& path, ReadStage stage,
                                         ReadFailure* failure);
std::unique_ptr<WorkbookReader> openXls(const std::string& path, ReadStage stage,
                                        ReadFailure* failure);

constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxColumn = 16384;  // XFD

// Digits only, within 32 bits.
inline bool parseUnsigned(std::string_view s, uint32_t& value) {
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
    return !s.empty() && res.ec == std::errc() && res.ptr == s.data() + s.size();
}

// "B12" -> column 2, row 12; false for anything else, or a cell past XFD1048576.
inline bool parseCellRef(std::string_view ref, uint32_t& column, uint32_t& row) {
    std::size_t i = 0;
    uint64_t col = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && i < 4; ++i)
        col = col * 26 + static_cast<uint64_t>(ref[i] - 'A' + 1);
    if (i == 0 || col > kMaxColumn) return false;
    if (!parseUnsigned(ref.substr(i), row) || row < 1 || row > kMaxRow) return false;
    column = static_cast<uint32_t>(col);
    return true;
}

// Calls the pump of setReadingPump, if any.
void pumpWhileReading();

// Sets `failure` (when given) and returns false, so that a failing step reads `return fail(...)`.
bool fail(ReadFailure* failure, ReadStage stage, ReadError error, std::string detail,
          std::string sheet = {}, std::string cell = {});

// UTF-8 as CP932 where it can be held, each character CP932 lacks shown as '?': for texts that
// only label things (format codes, the sheet named in a message).
std::string cp932Lossy(std::string_view utf8);

}  // namespace zbq::workbook::detail
