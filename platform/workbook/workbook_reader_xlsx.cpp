// Office Open XML workbooks: listing from the workbook part, a worksheet's used range skimmed
// and its rows streamed through the pull scanner, shared strings and styles held whole within
// the package limits.
#include <sys/stat.h>
#include <zip.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <pugixml.hpp>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "platform/core/cp932.h"
#include "platform/workbook/package_xml.h"
#include "platform/workbook/part_read_ahead.h"
#include "platform/workbook/sheet_range_skimmer.h"
#include "platform/workbook/workbook_reader_formats.h"
#include "platform/workbook/xml_pull_scanner.h"
#include "platform/workbook/zip_package.h"
#include "platform/workbook/zip_part_stream.h"

namespace zbq::workbook::detail {

namespace {

// Parts that inflate to this much or more are read with a worker inflating ahead; below it,
// starting the thread costs about what the overlap saves.
constexpr std::uint64_t kReadAheadFrom = std::uint64_t{1} << 20;

// A sheet part's bytes as a scanner takes them: inflated as they are read or, for a large part
// read to its end, by a worker ahead of the reader.
class SheetBytes {
public:
    ZipPartStream stream;

    // Starts the worker where the part is large enough to repay it and a thread can be had.
    void readAhead(std::uint64_t size) {
        if (size < kReadAheadFrom || std::thread::hardware_concurrency() < 2) return;
        try {
            ahead_.emplace(stream, size);
        } catch (const std::system_error&) {  // no thread: inflated as read
        }
    }
    long long read(char* data, std::size_t size) {
        return ahead_ ? ahead_->read(data, size) : stream.read(data, size);
    }
    // Why the stream failed ("" where it did not). The worker is stopped first, so nothing is
    // read after this.
    const std::string& error() {
        ahead_.reset();
        return stream.error();
    }

private:
    std::optional<PartReadAhead> ahead_;  // declared after the stream: gone before it
};

struct ZipCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

// Texts of a workbook carry characters XML cannot as "_xHHHH_" (UTF-16 code units; "_x005F_"
// keeps an underscore that would otherwise read as one).
std::string unescapeOoxml(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) return std::string(text);
    auto unit = [&](std::size_t at, uint32_t& value) {
        if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_')
            return false;
        const auto res = std::from_chars(text.data() + at + 2, text.data() + at + 6, value, 16);
        return res.ec == std::errc() && res.ptr == text.data() + at + 6;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        uint32_t u = 0;
        if (!unit(i, u)) {
            out += text[i++];
            continue;
        }
        i += 7;
        uint32_t cp = u;
        if (u >= 0xD800 && u <= 0xDBFF) {
            uint32_t low = 0;
            if (unit(i, low) && low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                i += 7;
            } else {
                cp = 0xFFFD;
            }
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

// The text of a string item (<si> or <is>): its own <t>, or its runs' <t> joined; phonetic
// runs (<rPh>) are readings shown above the text, not part of it.
std::string stringItemText(const pugi::xml_node& item) {
    std::string out;
    for (pugi::xml_node n : item.children()) {
        const std::string_view name = localName(n);
        if (name == "t")
            out += n.text().get();
        else if (name == "r")
            out += child(n, "t").text().get();
    }
    return unescapeOoxml(out);
}

// A name against a literal, the length known when compiled: element names are compared a few
// times per cell, and a general comparison calls the library for each.
template <std::size_t N>
bool isName(std::string_view name, const char (&literal)[N]) {
    return name.size() == N - 1 && std::memcmp(name.data(), literal, N - 1) == 0;
}

struct CellFormat {
    std::string code;  // CP932
    Temporal temporal = Temporal::None;
};

using Merge = SheetMerge;

// A cell's t attribute: how its <v> is to be read.
enum class CellType : uint8_t { Number, Shared, Inline, FormulaText, Boolean, Error, IsoDate };

// Unknown types read as numbers, as when t is absent: the value then proves or disproves it.
CellType cellType(std::string_view t) {
    if (t == "s") return CellType::Shared;
    if (t == "inlineStr") return CellType::Inline;
    if (t == "str") return CellType::FormulaText;
    if (t == "b") return CellType::Boolean;
    if (t == "e") return CellType::Error;
    if (t == "d") return CellType::IsoDate;
    return CellType::Number;
}

// What the sheet scanner found in one <c>.
struct RawCell {
    uint32_t column = 0;
    CellType type = CellType::Number;
    uint32_t style = 0;
    bool hasValue = false;
    std::string value;  // <v>, references resolved
    bool hasInline = false;
    std::string inlineText;
};

class XlsxWorkbook;

class XlsxSheet final : public SheetReader {
public:
    XlsxSheet(XlsxWorkbook& book, std::string part, std::string name)
        : book_(book), part_(std::move(part)), name_(std::move(name)) {}
    bool scan(ReadStage stage, ReadFailure* failure);
    // Takes what an earlier scan found, to be confirmed by the pass that reads.
    void adopt(KnownScan known);
    bool readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                  const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) override;

private:
    // Opens the sheet's part; `readAhead`: the caller reads it to its end, so a worker may
    // inflate ahead.
    bool openStream(SheetBytes& bytes, ReadStage stage, ReadFailure* failure, bool readAhead);
    // One pass over the sheet: `onRow` gets each row's number and its cells, and returns false
    // to stop early; merges are collected into `merges` where given. `wholePart`: the caller
    // means to read to the end, so a worker may inflate ahead.
    bool pass(ReadStage stage, ReadFailure* failure, bool wholePart, std::vector<Merge>* merges,
              const std::function<bool(uint32_t, std::vector<RawCell>&)>& onRow);
    // Widens `range` by the row's valued cells; false with `bad` set for a string index past
    // its table.
    bool learnRow(uint32_t row, const std::vector<RawCell>& cells, UsedRange& range,
                  std::string& bad) const;
    bool makeCell(const RawCell& raw, uint32_t row, ReadStage stage, ReadFailure* failure,
                  ReadCell& cell);

    XlsxWorkbook& book_;
    std::string part_;
    std::string name_;  // CP932
    std::vector<Merge> merges_;
    bool confirm_ = false;  // the range and merges came from an earlier scan
};

class XlsxWorkbook final : public WorkbookReader {
public:
    bool list(const std::string& path, ReadStage stage, ReadFailure* failure);
    std::unique_ptr<SheetReader> openSheet(std::size_t index, ReadStage stage, ReadFailure* failure,
                                           const KnownScan& known) override;

    zip_t* zip() const { return zip_.get(); }
    const FileIdentity& file() const { return file_; }
    // The part as a whole (for the small parts); nullopt with `failure` set.
    std::optional<std::string> readWhole(std::string_view part, ReadStage stage,
                                         ReadFailure* failure, bool required);
    bool locate(std::string_view part, zip_uint64_t& index) const;

    std::vector<std::optional<std::string>> strings;  // CP932; nullopt: CP932 cannot hold it
    std::vector<CellFormat> formats;                  // by cell style index

private:
    bool loadShared(ReadStage stage, ReadFailure* failure);

    ZipHandle zip_;
    FileIdentity file_;
    std::string workbookPart_;
    std::string stringsPart_, stylesPart_;
    std::vector<std::string> parts_;  // of sheets_
    bool sharedLoaded_ = false;
    std::size_t heldWhole_ = 0;
};

bool XlsxWorkbook::locate(std::string_view part, zip_uint64_t& index) const {
    const std::string name(part);
    zip_int64_t i = zip_name_locate(zip_.get(), name.c_str(), 0);
    if (i < 0) i = zip_name_locate(zip_.get(), name.c_str(), ZIP_FL_NOCASE);
    if (i < 0) return false;
    index = static_cast<zip_uint64_t>(i);
    return true;
}

std::optional<std::string> XlsxWorkbook::readWhole(std::string_view part, ReadStage stage,
                                                   ReadFailure* failure, bool required) {
    zip_uint64_t index;
    if (!locate(part, index)) {
        if (required)
            fail(failure, stage, ReadError::Damaged, "part missing: " + std::string(part));
        else if (failure)
            failure->error = ReadError::None;
        return std::nullopt;
    }
    zip_stat_t st;
    if (zip_stat_index(zip_.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
        fail(failure, stage, ReadError::Damaged, "damaged directory entry: " + std::string(part));
        return std::nullopt;
    }
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        fail(failure, stage, ReadError::Encrypted, "encrypted part: " + std::string(part));
        return std::nullopt;
    }
    if (st.size > ZipPackage::kMaxUnpackedSize - heldWhole_) {
        fail(failure, stage, ReadError::TooLarge, "part over the limit: " + std::string(part));
        return std::nullopt;
    }
    ZipPartStream stream;
    std::string error;
    if (!stream.open(zip_.get(), index, st, &error)) {
        fail(failure, stage, ReadError::Damaged, std::string(part) + ": " + error);
        return std::nullopt;
    }
    std::string data(static_cast<std::size_t>(st.size), '\0');
    std::size_t got = 0;
    for (long long n; got < data.size(); got += static_cast<std::size_t>(n))
        if ((n = stream.read(data.data() + got, data.size() - got)) <= 0) break;
    // The part must end where its directory says, and match its CRC there.
    char extra;
    if (got != data.size() || stream.read(&extra, 1) != 0) {
        fail(failure, stage, ReadError::Damaged, "damaged part " + std::string(part));
        return std::nullopt;
    }
    heldWhole_ += data.size();
    return data;
}

bool loadDoc(const std::string& bytes, pugi::xml_document& doc) {
    // Entities are not expanded beyond the predefined ones and no DTD is read: pugixml has no
    // external entities, and parse_default does not expand internal ones.
    return doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default & ~pugi::parse_doctype);
}

bool XlsxWorkbook::list(const std::string& path, ReadStage stage, ReadFailure* failure) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        file_ = FileIdentity{path, static_cast<uint64_t>(st.st_dev),
                             static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
                             int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    int err = 0;
    zip_.reset(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err));
    if (!zip_) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, err);
        std::string text = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        return fail(
            failure, stage,
            err == ZIP_ER_OPEN || err == ZIP_ER_READ ? ReadError::CannotOpen : ReadError::Damaged,
            path + ": " + text);
    }
    const zip_int64_t entries = zip_get_num_entries(zip_.get(), 0);
    if (entries < 0 || static_cast<zip_uint64_t>(entries) > ZipPackage::kMaxEntries)
        return fail(failure, stage, ReadError::TooLarge, "more entries than a workbook has");

    pugi::xml_document rels;
    zip_uint64_t relsIndex;
    if (!locate("_rels/.rels", relsIndex))
        return fail(failure, stage, ReadError::NotWorkbook,
                    "a zip package without package relationships");
    auto rootRels = readWhole("_rels/.rels", stage, failure, true);
    if (!rootRels) return false;
    if (!loadDoc(*rootRels, rels))
        return fail(failure, stage, ReadError::Damaged, "_rels/.rels is not XML");
    for (pugi::xml_node r : child(rels, "Relationships").children()) {
        const std::string_view type = r.attribute("Type").value();
        if (localName(r) == "Relationship" && type.ends_with("/officeDocument")) {
            workbookPart_ = resolveTarget("", r.attribute("Target").value());
            break;
        }
    }
    if (workbookPart_.empty())
        return fail(failure, stage, ReadError::NotWorkbook, "no workbook part");

    auto wbBytes = readWhole(workbookPart_, stage, failure, true);
    if (!wbBytes) return false;
    pugi::xml_document wb;
    if (!loadDoc(*wbBytes, wb))
        return fail(failure, stage, ReadError::Damaged, "the workbook part is not XML");
    auto wbRelsBytes = readWhole(relsPartOf(workbookPart_), stage, failure, true);
    if (!wbRelsBytes) return false;
    pugi::xml_document wbRels;
    if (!loadDoc(*wbRelsBytes, wbRels))
        return fail(failure, stage, ReadError::Damaged, "the workbook's relationships are not XML");

    struct Target {
        std::string part;
        bool worksheet;
    };
    std::unordered_map<std::string, Target> targets;
    for (pugi::xml_node r : child(wbRels, "Relationships").children()) {
        if (localName(r) != "Relationship") continue;
        const std::string_view type = r.attribute("Type").value();
        std::string part = resolveTarget(workbookPart_, r.attribute("Target").value());
        if (type.ends_with("/sharedStrings")) stringsPart_ = part;
        if (type.ends_with("/styles")) stylesPart_ = part;
        targets[r.attribute("Id").value()] = Target{std::move(part), type.ends_with("/worksheet")};
    }
    const pugi::xml_node root = child(wb, "workbook");
    if (!root) return fail(failure, stage, ReadError::NotWorkbook, "the main part is no workbook");
    const std::string_view d1904 = attribute(child(root, "workbookPr"), "date1904", false).value();
    date1904_ = d1904 == "1" || d1904 == "true";
    for (pugi::xml_node s : child(root, "sheets").children()) {
        if (localName(s) != "sheet") continue;
        const auto t = targets.find(attribute(s, "id", true).value());
        if (t == targets.end())
            return fail(failure, stage, ReadError::Damaged, "a sheet without its part");
        if (!t->second.worksheet) continue;  // chart, dialog and macro sheets hold no table
        zip_uint64_t index;
        if (!locate(t->second.part, index))
            return fail(failure, stage, ReadError::Damaged,
                        "sheet part missing: " + t->second.part);
        const std::string_view utf8Name = s.attribute("name").value();
        auto name = cp932::fromUtf8(utf8Name);
        if (!name)
            return fail(failure, stage, ReadError::NotCp932, "sheet name", cp932Lossy(utf8Name));
        const std::string_view state = s.attribute("state").value();
        sheets_.push_back(SheetEntry{std::move(*name), state == "hidden" || state == "veryHidden"});
        parts_.push_back(t->second.part);
    }
    return true;
}

bool XlsxWorkbook::loadShared(ReadStage stage, ReadFailure* failure) {
    if (sharedLoaded_) return true;
    if (!stringsPart_.empty()) {
        auto bytes = readWhole(stringsPart_, stage, failure, true);
        if (!bytes) return false;
        pugi::xml_document doc;
        if (!loadDoc(*bytes, doc))
            return fail(failure, stage, ReadError::Damaged, "shared strings are not XML");
        bytes.reset();
        for (pugi::xml_node si : child(doc, "sst").children())
            if (localName(si) == "si") strings.push_back(cp932::fromUtf8(stringItemText(si)));
    }
    // Styles are optional: without them every cell is shown in the general format.
    const CellFormat general{cp932::literal("G/標準"), Temporal::None};
    if (!stylesPart_.empty()) {
        auto bytes = readWhole(stylesPart_, stage, failure, true);
        if (!bytes) return false;
        pugi::xml_document doc;
        if (!loadDoc(*bytes, doc))
            return fail(failure, stage, ReadError::Damaged, "styles are not XML");
        const pugi::xml_node root = child(doc, "styleSheet");
        std::unordered_map<uint32_t, std::string> custom;
        for (pugi::xml_node f : child(root, "numFmts").children())
            if (localName(f) == "numFmt")
                custom[f.attribute("numFmtId").as_uint()] = f.attribute("formatCode").value();
        for (pugi::xml_node xf : child(root, "cellXfs").children()) {
            if (localName(xf) != "xf") continue;
            const uint32_t id = xf.attribute("numFmtId").as_uint();
            std::string code;
            if (auto c = custom.find(id); c != custom.end())
                code = c->second;
            else if (auto b = builtinFormatCode(id))
                code = std::string(*b);
            else
                code = "G/標準";
            formats.push_back(CellFormat{cp932Lossy(code), temporalOf(code)});
        }
    }
    if (formats.empty()) formats.push_back(general);
    sharedLoaded_ = true;
    return true;
}

std::unique_ptr<SheetReader> XlsxWorkbook::openSheet(std::size_t index, ReadStage stage,
                                                     ReadFailure* failure, const KnownScan& known) {
    if (index >= sheets_.size()) {
        fail(failure, stage, ReadError::NoSuchSheet, "sheet index past the list");
        return nullptr;
    }
    if (!loadShared(stage, failure)) return nullptr;
    auto sheet = std::make_unique<XlsxSheet>(*this, parts_[index], sheets_[index].name);
    if (known && !file_.path.empty() && known->file == file_ && known->part == parts_[index])
        sheet->adopt(known);
    else if (!sheet->scan(stage, failure))
        return nullptr;
    return sheet;
}

bool XlsxSheet::openStream(SheetBytes& bytes, ReadStage stage, ReadFailure* failure,
                           bool readAhead) {
    zip_uint64_t index;
    if (!book_.locate(part_, index))
        return fail(failure, stage, ReadError::Damaged, "sheet part missing");
    zip_stat_t st;
    if (zip_stat_index(book_.zip(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return fail(failure, stage, ReadError::Damaged, "damaged directory entry: " + part_);
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return fail(failure, stage, ReadError::Encrypted, "encrypted part: " + part_);
    // The directory's size and CRC bound and check what the part inflates to.
    std::string error;
    if (!bytes.stream.open(book_.zip(), index, st, &error))
        return fail(failure, stage, ReadError::Damaged, part_ + ": " + error);
    if (readAhead) bytes.readAhead(st.size);
    return true;
}

bool XlsxSheet::pass(ReadStage stage, ReadFailure* failure, bool wholePart,
                     std::vector<Merge>* merges,
                     const std::function<bool(uint32_t, std::vector<RawCell>&)>& onRow) {
    SheetBytes bytes;
    if (!openStream(bytes, stage, failure, wholePart)) return false;
    XmlPullScanner xml([&bytes](char* data, std::size_t size) { return bytes.read(data, size); });
    auto damaged = [&](const std::string& what) {
        const std::string& why = bytes.error();
        return fail(failure, stage, ReadError::Damaged, part_ + ": " + (why.empty() ? what : why));
    };

    enum class In {
        Other,
        SheetData,
        Row,
        CellElement,
        Value,
        Inline,
        InlineRun,
        InlineText,
        Phonetic
    };
    std::vector<In> where;  // one entry per open element
    std::vector<RawCell> cells;
    RawCell cell;
    uint32_t row = 0, column = 0;
    std::string inlineRaw;
    for (;;) {
        const auto ev = xml.next();
        if (ev == XmlPullScanner::Event::End) break;
        if (ev == XmlPullScanner::Event::Error) return damaged(xml.error());
        if (ev == XmlPullScanner::Event::Text) {
            const In at = where.empty() ? In::Other : where.back();
            if (at == In::Value) {
                if (!xml.appendText(cell.value)) return damaged(xml.error());
            } else if (at == In::InlineText) {
                if (!xml.appendText(inlineRaw)) return damaged(xml.error());
            }
            continue;
        }
        const std::string_view name = xml.localName();
        if (ev == XmlPullScanner::Event::EndElement) {
            const In at = where.back();
            where.pop_back();
            if (at == In::CellElement) {
                if (cell.hasInline) cell.inlineText = unescapeOoxml(inlineRaw);
                cells.push_back(std::move(cell));
            } else if (at == In::Row) {
                if (!onRow(row, cells)) return true;
            }
            continue;
        }
        // A start tag.
        const In parent = where.empty() ? In::Other : where.back();
        In here = In::Other;
        std::string_view attr;
        // The most frequent first: values, then cells.
        if (parent == In::CellElement && isName(name, "v")) {
            cell.hasValue = true;
            here = In::Value;
        } else if (parent == In::Row && isName(name, "c")) {
            uint32_t c = column + 1, r = row;
            if (xml.attribute("r", attr) && !parseCellRef(attr, c, r))
                return damaged("a cell reference that is none, or past XFD1048576");
            if (r != row || c <= column || c > kMaxColumn) return damaged("a cell out of order");
            column = c;
            cell = RawCell{};
            cell.column = c;
            cell.type = xml.attribute("t", attr) ? cellType(attr) : CellType::Number;
            if (xml.attribute("s", attr) && !parseUnsigned(attr, cell.style))
                return damaged("a bad style index");
            inlineRaw.clear();
            here = In::CellElement;
        } else if (isName(name, "sheetData") && where.size() == 1) {
            here = In::SheetData;
        } else if (isName(name, "row") && parent == In::SheetData) {
            uint32_t r = row + 1;
            if (xml.attribute("r", attr) && !parseUnsigned(attr, r))
                return damaged("a row number that is none");
            if (r <= row || r > kMaxRow)
                return damaged("row " + std::to_string(r) + " out of order or past the last");
            row = r;
            column = 0;
            cells.clear();
            here = In::Row;
        } else if (isName(name, "is") && parent == In::CellElement) {
            cell.hasInline = true;
            here = In::Inline;
        } else if (isName(name, "r") && parent == In::Inline) {
            here = In::InlineRun;
        } else if (isName(name, "t") && (parent == In::Inline || parent == In::InlineRun)) {
            here = In::InlineText;
        } else if (isName(name, "mergeCell") && merges) {
            if (xml.attribute("ref", attr)) {
                const std::size_t colon = attr.find(':');
                Merge m{};
                if (colon != std::string_view::npos &&
                    parseCellRef(attr.substr(0, colon), m.firstColumn, m.firstRow) &&
                    parseCellRef(attr.substr(colon + 1), m.lastColumn, m.lastRow) &&
                    m.firstColumn <= m.lastColumn && m.firstRow <= m.lastRow)
                    merges->push_back(m);
            }
        }
        if (xml.selfClosing()) {
            if (here == In::CellElement)
                cells.push_back(std::move(cell));
            else if (here == In::Row && !onRow(row, cells))
                return true;
            else if (here == In::Value)
                cell.hasValue = true;
            continue;
        }
        where.push_back(here);
    }
    return true;
}

bool XlsxSheet::learnRow(uint32_t row, const std::vector<RawCell>& cells, UsedRange& range,
                         std::string& bad) const {
    for (const RawCell& c : cells) {
        const bool valued = c.hasInline || (c.hasValue && !c.value.empty());
        if (!valued) continue;
        if (c.type == CellType::Shared) {
            uint32_t i = 0;
            if (!parseUnsigned(c.value, i) || i >= book_.strings.size()) {
                bad = "a string index past its table at " + cellName(c.column, row);
                return false;
            }
        }
        range.include(c.column, row);
    }
    return true;
}

bool XlsxSheet::scan(ReadStage stage, ReadFailure* failure) {
    SheetBytes bytes;
    if (!openStream(bytes, stage, failure, true)) return false;
    SheetRangeSkimmer skimmer(
        [&bytes](char* data, std::size_t size) { return bytes.read(data, size); },
        book_.strings.size());
    if (!skimmer.run()) {
        const std::string& why = bytes.error();
        return fail(failure, stage, ReadError::Damaged,
                    part_ + ": " + (why.empty() ? skimmer.error() : why));
    }
    range_ = skimmer.range();
    merges_ = skimmer.merges();
    auto found = std::make_shared<SheetScan>();
    found->file = book_.file();
    found->part = part_;
    found->range = range_;
    found->merges = merges_;
    scan_ = std::move(found);
    return true;
}

void XlsxSheet::adopt(KnownScan known) {
    range_ = known->range;
    merges_ = known->merges;
    scan_ = std::move(known);
    confirm_ = true;
}

bool XlsxSheet::makeCell(const RawCell& raw, uint32_t row, ReadStage stage, ReadFailure* failure,
                         ReadCell& cell) {
    const CellType t = raw.type;
    const CellFormat& format =
        raw.style < book_.formats.size() ? book_.formats[raw.style] : book_.formats[0];
    cell = ReadCell{};
    cell.formatCode = format.code;
    auto textCell = [&](std::string_view utf8) {
        auto text = cp932::fromUtf8(utf8);
        if (!text)
            return fail(failure, stage, ReadError::NotCp932, "cell text", name_,
                        cellName(raw.column, row));
        cell.kind = CellKind::Text;
        cell.text = std::move(*text);
        return true;
    };
    if (t == CellType::Inline) {
        if (raw.hasInline) return textCell(raw.inlineText);
        if (raw.hasValue) return textCell(unescapeOoxml(raw.value));
        return true;
    }
    if (!raw.hasValue || raw.value.empty()) return true;  // a formula without a cached value
    if (t == CellType::Shared) {
        uint32_t i = 0;
        if (!parseUnsigned(raw.value, i) || i >= book_.strings.size())
            return fail(failure, stage, ReadError::Damaged, "a string index past its table");
        if (!book_.strings[i])
            return fail(failure, stage, ReadError::NotCp932, "shared string", name_,
                        cellName(raw.column, row));
        cell.kind = CellKind::Text;
        cell.text = *book_.strings[i];
        return true;
    }
    if (t == CellType::FormulaText || t == CellType::IsoDate)
        return textCell(unescapeOoxml(raw.value));
    if (t == CellType::Boolean) {
        cell.kind = CellKind::Boolean;
        const bool on = raw.value == "1" || raw.value == "true";
        cell.number = on ? 1 : 0;
        cell.text = on ? "TRUE" : "FALSE";
        return true;
    }
    if (t == CellType::Error) {
        if (!textCell(raw.value)) return false;
        cell.kind = CellKind::Error;
        return true;
    }
    std::string_view v = raw.value;
    while (!v.empty() &&
           (v.front() == ' ' || v.front() == '\t' || v.front() == '\n' || v.front() == '\r'))
        v.remove_prefix(1);
    while (!v.empty() &&
           (v.back() == ' ' || v.back() == '\t' || v.back() == '\n' || v.back() == '\r'))
        v.remove_suffix(1);
    double number = 0;
    const auto res = std::from_chars(v.data(), v.data() + v.size(), number);
    if (v.empty() || res.ec != std::errc() || res.ptr != v.data() + v.size() ||
        !std::isfinite(number))
        return fail(failure, stage, ReadError::Damaged,
                    part_ + ": a number that is none at " + cellName(raw.column, row));
    cell.kind = CellKind::Number;
    cell.number = number;
    if (auto serial = serialText(number, format.temporal, book_.date1904())) {
        cell.temporal = format.temporal;
        cell.text = std::move(*serial);
    } else {
        cell.text = numberText(number);
    }
    return true;
}

bool XlsxSheet::readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                         const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) {
    if (range_.empty() || firstRow > lastRow) return true;
    firstRow = std::max(firstRow, range_.firstRow);
    lastRow = std::min(lastRow, range_.lastRow);
    if (firstRow > lastRow) return true;
    const uint32_t width = range_.lastColumn - range_.firstColumn + 1;
    RangeRow out;
    uint32_t nextRow = firstRow;
    bool stopped = false, failed = false;
    auto blankUpTo = [&](uint32_t end) {  // rows nextRow .. end - 1 hold nothing
        for (; nextRow < end && !stopped; ++nextRow) {
            out.row = nextRow;
            out.cells.assign(width, ReadCell{});
            if (!sink(out)) stopped = true;
        }
    };
    auto covered = [&](uint32_t column, uint32_t row) {
        for (const Merge& m : merges_)
            if (column >= m.firstColumn && column <= m.lastColumn && row >= m.firstRow &&
                row <= m.lastRow && (column != m.firstColumn || row != m.firstRow))
                return true;
        return false;
    };
    // With a known scan the same pass learns the range again, to the sheet's end, so that
    // nothing handed out rests on a scan the sheet no longer agrees with.
    UsedRange learnt;
    std::vector<Merge> seenMerges;
    std::string bad;
    const bool ok = pass(
        stage, failure, confirm_ || lastRow == range_.lastRow, confirm_ ? &seenMerges : nullptr,
        [&](uint32_t row, std::vector<RawCell>& cells) {
            if (confirm_ && !learnRow(row, cells, learnt, bad)) return false;
            if (row < firstRow) return true;
            if (row > lastRow) return confirm_;
            blankUpTo(row);
            if (stopped) return false;
            out.row = row;
            out.cells.assign(width, ReadCell{});
            for (const RawCell& c : cells) {
                if (c.column < range_.firstColumn || c.column > range_.lastColumn) continue;
                if (!merges_.empty() && covered(c.column, row))
                    continue;  // a copy leaves them empty
                if (!makeCell(c, row, stage, failure, out.cells[c.column - range_.firstColumn])) {
                    failed = true;
                    return false;
                }
            }
            ++nextRow;
            if (!sink(out)) stopped = true;
            return !stopped;
        });
    if (!ok || failed) return false;
    if (!bad.empty()) return fail(failure, stage, ReadError::Damaged, part_ + ": " + bad);
    if (confirm_ && !stopped && (learnt != range_ || seenMerges != merges_))
        return fail(failure, stage, ReadError::Damaged,
                    part_ + ": the sheet no longer agrees with its earlier scan");
    blankUpTo(lastRow + 1);
    return true;
}

}  // namespace

std::unique_ptr<WorkbookReader> openXlsx(const std::string& path, ReadStage stage,
                                         ReadFailure* failure) {
    auto book = std::make_unique<XlsxWorkbook>();
    if (!book->list(path, stage, failure)) return nullptr;
    return book;
}

}  // namespace zbq::workbook::detail
