// The two workbook formats behind WorkbookReader, and what their readers share.
#pragma once

#include <charconv>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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

// A number format as cells hand it on.
struct CellFormat {
    std::string code;  // CP932
    Temporal temporal = Temporal::None;
};

// The number format of each cell style, each distinct format once: `formats` gets them and
// `styleFormats` each style's index into them. A format id takes the workbook's own code where
// it writes one (a program may write its own even for a built-in id), else the Japanese form of
// the built-in one, else the general format.
template <typename Id>
void resolveStyleFormats(const std::vector<Id>& styleIds,
                         const std::unordered_map<Id, std::string>& custom,
                         std::vector<CellFormat>& formats, std::vector<uint32_t>& styleFormats) {
    std::unordered_map<Id, uint32_t> formatOf;
    for (const Id id : styleIds) {
        auto [at, added] = formatOf.try_emplace(id, static_cast<uint32_t>(formats.size()));
        if (added) {
            std::string code;
            if (auto c = custom.find(id); c != custom.end())
                code = c->second;
            else if (auto b = builtinFormatCode(id))
                code = std::string(*b);
            else
                code = "G/標準";
            formats.push_back(CellFormat{cp932Lossy(code), temporalOf(code)});
        }
        styleFormats.push_back(at->second);
    }
}

}  // namespace zbq::workbook::detail
