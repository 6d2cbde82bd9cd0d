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

// What a sheet may inflate to: so much for anything, and so much more for each cell that holds
// a value. A sheet of a few cells followed by gigabytes of empty elements is refused once past
// it, not inflated and scanned to its end on every pass.
constexpr std::uint64_t kSheetBytesFree = std::uint64_t{64} << 20;
constexpr std::uint64_t kSheetBytesPerValuedCell = std::uint64_t{16} << 10;
// Of it, what is not the cells' own texts (values, formulas, inline strings) is markup, and a
// valued cell brings only so much of that: its reference, style, type and flags, a formula's
// attributes, an inline string's runs. The allowance above is for long texts; without this
// one, each valued cell would let 16 KiB of empty elements through, wherever they stand.
constexpr std::uint64_t kSheetMarkupPerValuedCell = std::uint64_t{1} << 10;
// And so much after the last valued cell met, before the first one too: a million valued cells
// must not buy gigabytes of empty elements behind them, which the bound above would allow.
constexpr std::uint64_t kSheetBytesPastValues = std::uint64_t{64} << 20;

// A sheet part's bytes as a scanner takes them: inflated as they are read or, for a large part
// read to its end, by a worker ahead of the reader. Bounded against the valued cells the
// scanner has counted so far, and the reading pumped as it goes.
class SheetBytes {
public:
    ZipPartStream stream;

    // The count of valued cells and the bytes of their texts, which bound what may be read;
    // both must outlive the reading.
    void boundBy(const std::uint64_t& valued, const std::uint64_t& textBytes) {
        valued_ = &valued;
        textBytes_ = &textBytes;
    }

    // Starts the worker where the part is large enough to repay it and a thread can be had.
    void readAhead(std::uint64_t size) {
        if (size < kReadAheadFrom || std::thread::hardware_concurrency() < 2) return;
        try {
            ahead_.emplace(stream, size);
        } catch (const std::system_error&) {  // no thread: inflated as read
        }
    }
    long long read(char* data, std::size_t size) {
        pumpWhileReading();
        if (valued_ && *valued_ != valuedSeen_) {
            valuedSeen_ = *valued_;
            handedAtValue_ = handed_;
        }
        if (valued_ && (handed_ > kSheetBytesFree + kSheetBytesPerValuedCell * *valued_ ||
                        handed_ - std::min(handed_, *textBytes_) >
                            kSheetBytesFree + kSheetMarkupPerValuedCell * *valued_ ||
                        handed_ - handedAtValue_ > kSheetBytesPastValues)) {
            overLimit_ = true;
            return -1;
        }
        const long long n = ahead_ ? ahead_->read(data, size) : stream.read(data, size);
        if (n > 0) handed_ += static_cast<std::uint64_t>(n);
        return n;
    }
    // True when reading stopped at the bound.
    bool overLimit() const { return overLimit_; }
    // Why the stream failed ("" where it did not). The worker is stopped first, so nothing is
    // read after this.
    const std::string& error() {
        ahead_.reset();
        return stream.error();
    }

private:
    const std::uint64_t* valued_ = nullptr;
    const std::uint64_t* textBytes_ = nullptr;
    std::uint64_t handed_ = 0;
    std::uint64_t valuedSeen_ = 0, handedAtValue_ = 0;  // the count last seen, and when
    bool overLimit_ = false;
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

// A name against a literal, the length known when compiled: element names are compared a few
// times per cell, and a general comparison calls the library for each.
template <std::size_t N>
bool isName(std::string_view name, const char (&literal)[N]) {
    return name.size() == N - 1 && std::memcmp(name.data(), literal, N - 1) == 0;
}

using Merge = SheetMerge;

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
    // One skim of the sheet, handing its cells to `sink` where given; false with `failure` set
    // where the sheet is damaged or too large (not where the sink stopped it).
    bool skim(ReadStage stage, ReadFailure* failure, bool wholePart, CellSink* sink,
              UsedRange& range, std::vector<Merge>& merges);
    bool makeCell(const SkimmedCell& raw, ReadStage stage, ReadFailure* failure, ReadCell& cell);
    bool tooLarge(ReadStage stage, ReadFailure* failure) const {
        return fail(failure, stage, ReadError::TooLarge,
                    part_ + ": inflates to far more than its cells hold");
    }

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
    bool locate(std::string_view part, zip_uint64_t& index) const;

    std::size_t stringCount() const { return stringEnds_.size(); }
    // Shared string `i` (< stringCount()) in CP932; nullopt where CP932 cannot hold it.
    std::optional<std::string_view> sharedString(std::size_t i) const {
        if (std::binary_search(unheld_.begin(), unheld_.end(), static_cast<uint32_t>(i)))
            return std::nullopt;
        const uint32_t begin = i == 0 ? 0 : stringEnds_[i - 1];
        return std::string_view(stringBytes_).substr(begin, stringEnds_[i] - begin);
    }
    // The format of cell style `style`, the first one for a style past the table.
    const CellFormat& format(uint32_t style) const {
        return formats_[style < styleFormats_.size() ? styleFormats_[style] : 0];
    }

private:
    using Visit = std::function<bool(XmlPullScanner::Event, std::size_t, XmlPullScanner&)>;
    // Reads `part` through the pull scanner as it inflates: `visit` gets every start tag, end
    // tag (a <x/> gets both) and text with the depth of its element (1 for the root), and
    // returns false, `failure` set, to refuse the part. A part that is missing and not
    // `required` is read as empty.
    bool scanPart(std::string_view part, ReadStage stage, ReadFailure* failure, bool required,
                  const Visit& visit);
    bool loadShared(ReadStage stage, ReadFailure* failure);
    bool loadStrings(ReadStage stage, ReadFailure* failure);
    bool loadStyles(ReadStage stage, ReadFailure* failure);

    ZipHandle zip_;
    FileIdentity file_;
    std::string workbookPart_;
    std::string stringsPart_, stylesPart_;
    std::vector<std::string> parts_;  // of sheets_
    std::uint64_t sheetBytes_ = 0;    // what the listed sheets inflate to, by the directory
    bool sharedLoaded_ = false;
    // The shared strings back to back, where each ends, and which CP932 cannot hold: a table
    // of a hundred million empty strings must cost what its bytes do, not an object each.
    std::string stringBytes_;
    std::vector<uint32_t> stringEnds_;
    std::vector<uint32_t> unheld_;  // ascending
    // The distinct formats, and the one of each cell style.
    std::vector<CellFormat> formats_;
    std::vector<uint32_t> styleFormats_;
};

bool XlsxWorkbook::locate(std::string_view part, zip_uint64_t& index) const {
    const std::string name(part);
    zip_int64_t i = zip_name_locate(zip_.get(), name.c_str(), 0);
    if (i < 0) i = zip_name_locate(zip_.get(), name.c_str(), ZIP_FL_NOCASE);
    if (i < 0) return false;
    index = static_cast<zip_uint64_t>(i);
    return true;
}

bool XlsxWorkbook::scanPart(std::string_view part, ReadStage stage, ReadFailure* failure,
                            bool required, const Visit& visit) {
    zip_uint64_t index;
    if (!locate(part, index)) {
        if (required)
            return fail(failure, stage, ReadError::Damaged, "part missing: " + std::string(part));
        return true;
    }
    zip_stat_t st;
    if (zip_stat_index(zip_.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return fail(failure, stage, ReadError::Damaged,
                    "damaged directory entry: " + std::string(part));
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return fail(failure, stage, ReadError::Encrypted, "encrypted part: " + std::string(part));
    if (st.size > ZipPackage::kMaxUnpackedSize)
        return fail(failure, stage, ReadError::TooLarge,
                    "part over the limit: " + std::string(part));
    ZipPartStream stream;
    std::string error;
    if (!stream.open(zip_.get(), index, st, &error))
        return fail(failure, stage, ReadError::Damaged, std::string(part) + ": " + error);
    XmlPullScanner xml([&stream](char* data, std::size_t size) {
        pumpWhileReading();
        return stream.read(data, size);
    });
    std::size_t depth = 0;
    for (;;) {
        const auto ev = xml.next();
        if (ev == XmlPullScanner::Event::End) return true;
        if (ev == XmlPullScanner::Event::Error) {
            const std::string& why = stream.error();
            return fail(failure, stage, ReadError::Damaged,
                        std::string(part) + ": " + (why.empty() ? xml.error() : why));
        }
        if (ev == XmlPullScanner::Event::StartElement) {
            ++depth;
            if (!visit(ev, depth, xml)) return false;
            if (!xml.selfClosing()) continue;
            if (!visit(XmlPullScanner::Event::EndElement, depth, xml)) return false;
            --depth;
            continue;
        }
        if (!visit(ev, depth, xml)) return false;
        if (ev == XmlPullScanner::Event::EndElement) --depth;
    }
}

// Line ends as an XML processor hands them out: CR LF and a lone CR read as LF.
void normalizeLineEnds(std::string& text) {
    if (text.find('\r') == std::string::npos) return;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
        } else {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    text = std::move(out);
}

// An attribute's value with its references resolved and, as an XML processor hands values
// out, its line ends and tabs as spaces; "" when it is absent. False for a bad reference.
bool attributeValue(const XmlPullScanner& xml, std::string_view local, bool prefixed,
                    std::string& value) {
    value.clear();
    std::string_view raw;
    if (!xml.attribute(local, prefixed, raw)) return true;
    if (!XmlPullScanner::decode(raw, value)) return false;
    normalizeLineEnds(value);
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\n' || c == '\t'; }, ' ');
    return true;
}

// An id as a lenient reader takes it: its leading digits, 0 for none.
uint32_t leadingNumber(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    uint32_t value = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
    return res.ec == std::errc() ? value : 0;
}

// Relationships and sheets of one package; a package with thousands more is built to hurt.
constexpr std::size_t kMaxListed = ZipPackage::kMaxEntries;
// A string cell takes more than this many bytes of its sheet, so a table with many more strings
// than the sheets could use holds something else; the floor keeps small books of unused strings.
constexpr std::uint64_t kSheetBytesPerString = 16;
constexpr std::size_t kMinStringsAllowed = std::size_t{1} << 16;
constexpr std::size_t kMaxStrings = std::size_t{1} << 24;
// Cell styles and number formats: a workbook holds at most 64,000 and a few hundred.
constexpr std::size_t kMaxStyles = std::size_t{1} << 16;
constexpr std::size_t kMaxFormatBytes = std::size_t{1} << 20;

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

    zip_uint64_t relsIndex;
    if (!locate("_rels/.rels", relsIndex))
        return fail(failure, stage, ReadError::NotWorkbook,
                    "a zip package without package relationships");
    std::string type, target, id;
    // The relationships of a part (its root a <Relationships>), each handed to `take` with its
    // Type, Target and Id.
    auto relationships =
        [&](std::string_view part,
            const std::function<void(const std::string&, const std::string&, const std::string&)>&
                take) {
            bool root = false;
            std::size_t count = 0;
            return scanPart(part, stage, failure, true,
                            [&](XmlPullScanner::Event ev, std::size_t depth, XmlPullScanner& xml) {
                                if (ev != XmlPullScanner::Event::StartElement) return true;
                                if (depth == 1) root = xml.localName() == "Relationships";
                                if (depth != 2 || !root || xml.localName() != "Relationship")
                                    return true;
                                if (++count > kMaxListed)
                                    return fail(failure, stage, ReadError::TooLarge,
                                                std::string(part) +
                                                    ": more relationships than a "
                                                    "workbook has");
                                if (!attributeValue(xml, "Type", false, type) ||
                                    !attributeValue(xml, "Target", false, target) ||
                                    !attributeValue(xml, "Id", false, id))
                                    return fail(failure, stage, ReadError::Damaged,
                                                std::string(part) + ": a bad reference");
                                take(type, target, id);
                                return true;
                            });
        };
    if (!relationships("_rels/.rels",
                       [&](const std::string& t, const std::string& to, const std::string&) {
                           if (workbookPart_.empty() && t.ends_with("/officeDocument"))
                               workbookPart_ = resolveTarget("", to);
                       }))
        return false;
    if (workbookPart_.empty())
        return fail(failure, stage, ReadError::NotWorkbook, "no workbook part");

    struct Target {
        std::string part;
        bool worksheet;
    };
    std::unordered_map<std::string, Target> targets;
    zip_uint64_t wbIndex;
    if (!locate(workbookPart_, wbIndex))
        return fail(failure, stage, ReadError::Damaged, "part missing: " + workbookPart_);
    if (!relationships(relsPartOf(workbookPart_),
                       [&](const std::string& t, const std::string& to, const std::string& i) {
                           std::string part = resolveTarget(workbookPart_, to);
                           if (t.ends_with("/sharedStrings")) stringsPart_ = part;
                           if (t.ends_with("/styles")) stylesPart_ = part;
                           targets[i] = Target{std::move(part), t.ends_with("/worksheet")};
                       }))
        return false;

    bool isWorkbook = false, prSeen = false, sheetsSeen = false, inSheets = false;
    std::string name, state;
    auto sheet = [&](XmlPullScanner& xml) {
        if (sheets_.size() >= kMaxListed)
            return fail(failure, stage, ReadError::TooLarge, "more sheets than a workbook has");
        if (!attributeValue(xml, "id", true, id) || !attributeValue(xml, "name", false, name) ||
            !attributeValue(xml, "state", false, state))
            return fail(failure, stage, ReadError::Damaged, "the workbook part: a bad reference");
        const auto t = targets.find(id);
        if (t == targets.end())
            return fail(failure, stage, ReadError::Damaged, "a sheet without its part");
        if (!t->second.worksheet) return true;  // chart, dialog and macro sheets hold no table
        zip_uint64_t index;
        if (!locate(t->second.part, index))
            return fail(failure, stage, ReadError::Damaged,
                        "sheet part missing: " + t->second.part);
        zip_stat_t entry;
        if (zip_stat_index(zip_.get(), index, 0, &entry) == 0 && (entry.valid & ZIP_STAT_SIZE))
            sheetBytes_ += entry.size;
        auto cp932Name = cp932::fromUtf8(name);
        if (!cp932Name)
            return fail(failure, stage, ReadError::NotCp932, "sheet name", cp932Lossy(name));
        sheets_.push_back(
            SheetEntry{std::move(*cp932Name), state == "hidden" || state == "veryHidden"});
        parts_.push_back(t->second.part);
        return true;
    };
    if (!scanPart(workbookPart_, stage, failure, true,
                  [&](XmlPullScanner::Event ev, std::size_t depth, XmlPullScanner& xml) {
                      if (depth == 1) {
                          if (ev == XmlPullScanner::Event::StartElement)
                              isWorkbook = xml.localName() == "workbook";
                          return true;
                      }
                      if (!isWorkbook) return true;
                      if (ev == XmlPullScanner::Event::EndElement) {
                          if (depth == 2) inSheets = false;
                          return true;
                      }
                      if (ev != XmlPullScanner::Event::StartElement) return true;
                      const std::string_view local = xml.localName();
                      if (depth == 2 && local == "workbookPr" && !prSeen) {
                          prSeen = true;
                          std::string d1904;
                          if (!attributeValue(xml, "date1904", false, d1904))
                              return fail(failure, stage, ReadError::Damaged,
                                          "the workbook part: a bad reference");
                          date1904_ = d1904 == "1" || d1904 == "true";
                      } else if (depth == 2 && local == "sheets" && !sheetsSeen) {
                          sheetsSeen = inSheets = true;
                      } else if (depth == 3 && inSheets && local == "sheet") {
                          return sheet(xml);
                      }
                      return true;
                  }))
        return false;
    if (!isWorkbook)
        return fail(failure, stage, ReadError::NotWorkbook, "the main part is no workbook");
    return true;
}

bool XlsxWorkbook::loadStrings(ReadStage stage, ReadFailure* failure) {
    if (stringsPart_.empty()) return true;
    const std::size_t allowed = static_cast<std::size_t>(std::clamp<std::uint64_t>(
        sheetBytes_ / kSheetBytesPerString, kMinStringsAllowed, kMaxStrings));
    bool isTable = false, inItem = false, inRun = false;
    std::size_t textDepth = 0;  // of the <t> whose text is taken; 0 outside one
    std::string raw;
    return scanPart(
        stringsPart_, stage, failure, true,
        [&](XmlPullScanner::Event ev, std::size_t depth, XmlPullScanner& xml) {
            if (ev == XmlPullScanner::Event::Text) {
                if (textDepth == 0 || depth != textDepth || xml.appendText(raw)) return true;
                return fail(failure, stage, ReadError::Damaged, stringsPart_ + ": " + xml.error());
            }
            if (ev == XmlPullScanner::Event::EndElement) {
                if (depth == textDepth) textDepth = 0;
                if (depth == 3) inRun = false;
                if (depth != 2 || !inItem) return true;
                inItem = false;
                if (stringEnds_.size() >= allowed)
                    return fail(failure, stage, ReadError::TooLarge,
                                "more shared strings than the sheets can use");
                normalizeLineEnds(raw);
                auto text = cp932::fromUtf8(unescapeOoxml(raw));
                if (text && text->size() > ZipPackage::kMaxUnpackedSize - stringBytes_.size())
                    return fail(failure, stage, ReadError::TooLarge,
                                "shared strings over the limit");
                if (text)
                    stringBytes_ += *text;
                else
                    unheld_.push_back(static_cast<uint32_t>(stringEnds_.size()));
                stringEnds_.push_back(static_cast<uint32_t>(stringBytes_.size()));
                return true;
            }
            if (ev != XmlPullScanner::Event::StartElement) return true;
            // The text of an item is its own <t>, or its runs' <t> joined; phonetic runs
            // (<rPh>) are readings shown above the text, not part of it.
            const std::string_view local = xml.localName();
            if (depth == 1) {
                isTable = local == "sst";
            } else if (depth == 2 && isTable && local == "si") {
                inItem = true;
                raw.clear();
            } else if (depth == 3 && inItem && local == "t") {
                textDepth = 3;
            } else if (depth == 3 && inItem && local == "r") {
                inRun = true;
            } else if (depth == 4 && inRun && local == "t") {
                textDepth = 4;
            }
            return true;
        });
}

bool XlsxWorkbook::loadStyles(ReadStage stage, ReadFailure* failure) {
    // Styles are optional: without them every cell is shown in the general format.
    formats_.push_back(CellFormat{cp932::literal("G/標準"), Temporal::None});
    if (stylesPart_.empty()) return true;
    bool isSheet = false, fmtsSeen = false, xfsSeen = false, inFmts = false, inXfs = false;
    std::unordered_map<uint32_t, std::string> custom;
    std::size_t customBytes = 0;
    std::vector<uint32_t> styleIds;  // each cell style's numFmtId, resolved once all is read
    std::string value;
    auto bad = [&] {
        return fail(failure, stage, ReadError::Damaged, stylesPart_ + ": a bad reference");
    };
    const bool ok =
        scanPart(stylesPart_, stage, failure, true,
                 [&](XmlPullScanner::Event ev, std::size_t depth, XmlPullScanner& xml) {
                     if (ev == XmlPullScanner::Event::EndElement && depth == 2)
                         inFmts = inXfs = false;
                     if (ev != XmlPullScanner::Event::StartElement) return true;
                     const std::string_view local = xml.localName();
                     if (depth == 1) {
                         isSheet = local == "styleSheet";
                     } else if (depth == 2 && isSheet && local == "numFmts" && !fmtsSeen) {
                         fmtsSeen = inFmts = true;
                     } else if (depth == 2 && isSheet && local == "cellXfs" && !xfsSeen) {
                         xfsSeen = inXfs = true;
                     } else if (depth == 3 && inFmts && local == "numFmt") {
                         if (!attributeValue(xml, "numFmtId", false, value)) return bad();
                         const uint32_t id = leadingNumber(value);
                         if (!attributeValue(xml, "formatCode", false, value)) return bad();
                         customBytes += value.size();
                         if (custom.size() >= kMaxStyles || customBytes > kMaxFormatBytes)
                             return fail(failure, stage, ReadError::TooLarge,
                                         "more number formats than a workbook has");
                         custom[id] = value;
                     } else if (depth == 3 && inXfs && local == "xf") {
                         if (styleIds.size() >= kMaxStyles)
                             return fail(failure, stage, ReadError::TooLarge,
                                         "more cell styles than a workbook has");
                         if (!attributeValue(xml, "numFmtId", false, value)) return bad();
                         styleIds.push_back(leadingNumber(value));
                     }
                     return true;
                 });
    if (!ok) return false;
    if (styleIds.empty()) return true;
    formats_.clear();
    resolveStyleFormats(styleIds, custom, formats_, styleFormats_);
    return true;
}

bool XlsxWorkbook::loadShared(ReadStage stage, ReadFailure* failure) {
    if (sharedLoaded_) return true;
    // A failed load leaves nothing half read for the next sheet opened.
    stringBytes_.clear();
    stringEnds_.clear();
    unheld_.clear();
    formats_.clear();
    styleFormats_.clear();
    if (!loadStrings(stage, failure) || !loadStyles(stage, failure)) {
        stringBytes_ = {};
        stringEnds_ = {};
        unheld_ = {};
        return false;
    }
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

bool XlsxSheet::skim(ReadStage stage, ReadFailure* failure, bool wholePart, CellSink* sink,
                     UsedRange& range, std::vector<Merge>& merges) {
    SheetBytes bytes;
    if (!openStream(bytes, stage, failure, wholePart)) return false;
    SheetRangeSkimmer skimmer(
        [&bytes](char* data, std::size_t size) { return bytes.read(data, size); },
        book_.stringCount());
    bytes.boundBy(skimmer.valuedCells(), skimmer.cellTextBytes());
    skimmer.readCells(sink);
    if (!skimmer.run()) {
        if (bytes.overLimit()) return tooLarge(stage, failure);
        const std::string& why = bytes.error();
        return fail(failure, stage, ReadError::Damaged,
                    part_ + ": " + (why.empty() ? skimmer.error() : why));
    }
    range = skimmer.range();
    merges = skimmer.merges();
    return true;
}

bool XlsxSheet::scan(ReadStage stage, ReadFailure* failure) {
    if (!skim(stage, failure, true, nullptr, range_, merges_)) return false;
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

// Whether `v` is already the text numberText() makes of its value: a plain decimal of at most
// 15 significant digits, without leading zeros, trailing fraction zeros, exponent or "-0", small
// enough not to be shown with an exponent. Writers store most numbers so, and taking the text as
// it stands spares printing the number again.
bool isNumberText(std::string_view v) {
    std::size_t i = v.size() > 0 && v[0] == '-' ? 1 : 0;
    const std::size_t intStart = i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9')
        ++i;
    const std::size_t intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 15) return false;
    const bool zeroInt = v[intStart] == '0';
    if (zeroInt && intDigits > 1) return false;
    if (i == v.size()) return !(zeroInt && intStart == 1);  // "-0" is printed "0"
    if (v[i] != '.') return false;
    const std::size_t fracStart = ++i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9')
        ++i;
    const std::size_t fracDigits = i - fracStart;
    if (i != v.size() || fracDigits == 0 || v.back() == '0') return false;
    if (!zeroInt) return intDigits + fracDigits <= 15;
    // 0.000123 and smaller are printed with an exponent.
    std::size_t zeros = 0;
    while (v[fracStart + zeros] == '0')
        ++zeros;
    return zeros <= 3 && fracDigits - zeros <= 15;
}

// The caller hands `cell` empty, its strings' room kept from the row before.
bool XlsxSheet::makeCell(const SkimmedCell& raw, ReadStage stage, ReadFailure* failure,
                         ReadCell& cell) {
    const CellType t = raw.type;
    const CellFormat& format = book_.format(raw.style);
    cell.formatCode.assign(format.code);
    auto textCell = [&](std::string_view utf8) {
        auto text = cp932::fromUtf8(utf8);
        if (!text)
            return fail(failure, stage, ReadError::NotCp932, "cell text", name_,
                        cellName(raw.column, raw.row));
        cell.kind = CellKind::Text;
        cell.text = std::move(*text);
        return true;
    };
    // An inline string is the cell's text whatever its t says: the range counts it as a value.
    if (raw.hasInline) return textCell(unescapeOoxml(raw.inlineText));
    if (t == CellType::Inline) {
        if (raw.hasValue) return textCell(unescapeOoxml(raw.value));
        return true;
    }
    if (!raw.hasValue || raw.value.empty()) return true;  // a formula without a cached value
    if (t == CellType::Shared) {
        uint32_t i = 0;
        if (!parseUnsigned(raw.value, i) || i >= book_.stringCount())
            return fail(failure, stage, ReadError::Damaged, "a string index past its table");
        const auto text = book_.sharedString(i);
        if (!text)
            return fail(failure, stage, ReadError::NotCp932, "shared string", name_,
                        cellName(raw.column, raw.row));
        cell.kind = CellKind::Text;
        cell.text.assign(*text);
        return true;
    }
    if (t == CellType::FormulaText || t == CellType::IsoDate)
        return textCell(unescapeOoxml(raw.value));
    if (t == CellType::Boolean) {
        cell.kind = CellKind::Boolean;
        const bool on = raw.value == "1" || raw.value == "true";
        cell.number = on ? 1 : 0;
        cell.text.assign(on ? "TRUE" : "FALSE");
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
    const bool shown = isNumberText(v);
    if (shown && v.find('.') == std::string_view::npos) {
        // A whole number of at most 15 digits, exact as a double.
        int64_t whole = 0;
        for (const char c : v.substr(v[0] == '-' ? 1 : 0))
            whole = whole * 10 + (c - '0');
        number = static_cast<double>(v[0] == '-' ? -whole : whole);
    } else {
        const auto res = std::from_chars(v.data(), v.data() + v.size(), number);
        if (v.empty() || res.ec != std::errc() || res.ptr != v.data() + v.size() ||
            !std::isfinite(number))
            return fail(failure, stage, ReadError::Damaged,
                        part_ + ": a number that is none at " + cellName(raw.column, raw.row));
    }
    cell.kind = CellKind::Number;
    cell.number = number;
    if (format.temporal != Temporal::None) {
        if (auto serial = serialText(number, format.temporal, book_.date1904())) {
            cell.temporal = format.temporal;
            cell.text = std::move(*serial);
            return true;
        }
    }
    if (shown)
        cell.text.assign(v);
    else
        cell.text = numberText(number);
    return true;
}

// A cell sink made of two callables.
template <typename OnCell, typename OnRow>
class SinkOf final : public CellSink {
public:
    SinkOf(OnCell onCell, OnRow onRow) : onCell_(std::move(onCell)), onRow_(std::move(onRow)) {}
    bool cell(const SkimmedCell& cell) override { return onCell_(cell); }
    bool rowEnd(uint32_t row) override { return onRow_(row); }

private:
    OnCell onCell_;
    OnRow onRow_;
};

// Empties a cell, keeping its strings' room for the next row.
void clearCell(ReadCell& cell) {
    cell.kind = CellKind::Empty;
    cell.temporal = Temporal::None;
    cell.number = 0;
    cell.text.clear();
    cell.formatCode.clear();
}

bool XlsxSheet::readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                         const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) {
    if (range_.empty() || firstRow > lastRow) return true;
    firstRow = std::max(firstRow, range_.firstRow);
    lastRow = std::min(lastRow, range_.lastRow);
    if (firstRow > lastRow) return true;
    const uint32_t width = range_.lastColumn - range_.firstColumn + 1;
    RangeRow out;
    out.cells.resize(width);
    auto clearRow = [&] {
        for (ReadCell& c : out.cells)
            clearCell(c);
    };
    uint32_t nextRow = firstRow;
    uint32_t building = 0;  // the row whose cells are being read into `out`; 0 for none
    bool stopped = false, failed = false;
    auto blankUpTo = [&](uint32_t end) {  // rows nextRow .. end - 1 hold nothing
        if (nextRow < end) clearRow();
        for (; nextRow < end && !stopped; ++nextRow) {
            out.row = nextRow;
            if (!sink(out)) stopped = true;
        }
    };
    auto begin = [&](uint32_t row) {
        blankUpTo(row);
        if (stopped) return false;
        clearRow();
        out.row = building = row;
        return true;
    };
    auto covered = [&](uint32_t column, uint32_t row) {
        for (const Merge& m : merges_)
            if (column >= m.firstColumn && column <= m.lastColumn && row >= m.firstRow &&
                row <= m.lastRow && (column != m.firstColumn || row != m.firstRow))
                return true;
        return false;
    };
    // With a known scan the same skim learns the range again, to the sheet's end, so that
    // nothing handed out rests on a scan the sheet no longer agrees with.
    SinkOf rows(
        [&](const SkimmedCell& c) {
            if (c.row < firstRow) return true;
            if (c.row > lastRow) return confirm_;
            if (building != c.row && !begin(c.row)) return false;
            if (c.column < range_.firstColumn || c.column > range_.lastColumn) return true;
            if (!merges_.empty() && covered(c.column, c.row))
                return true;  // a copy leaves them empty
            if (!makeCell(c, stage, failure, out.cells[c.column - range_.firstColumn])) {
                failed = true;
                return false;
            }
            return true;
        },
        [&](uint32_t row) {
            if (row < firstRow) return true;
            if (row > lastRow) return confirm_;
            if (building != row && !begin(row)) return false;
            building = 0;
            nextRow = row + 1;
            if (!sink(out)) {
                stopped = true;
                return false;
            }
            return confirm_ || row < lastRow;
        });
    UsedRange learnt;
    std::vector<Merge> seenMerges;
    const bool ok =
        skim(stage, failure, confirm_ || lastRow == range_.lastRow, &rows, learnt, seenMerges);
    if (!ok || failed) return false;
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
