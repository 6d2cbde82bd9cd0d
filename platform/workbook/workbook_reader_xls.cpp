// BIFF workbooks (.xls): the workbook stream taken out of the compound file by libgsf, and its
// records walked by our own code in the reading process.
//
// Every length is checked against its record and the stream before a byte is read, so a damaged
// or hostile file is refused, never read out of bounds: there is no foreign parser left to keep
// in a child process, and reading here spares the copy of every cell through a pipe. The stream
// is held whole (never larger than the file, itself bounded by WorkbookReader::kMaxFileSize); a
// cell costs a few bytes of the sheet's cell list and its shared text is kept once.
#include "platform/workbook/workbook_reader_xls.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <iconv.h>
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader_formats.h"

namespace zbq::workbook::detail {

namespace {

constexpr uint16_t kFormula = 0x0006;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kDateMode = 0x0022;
constexpr uint16_t kFilePass = 0x002F;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kCodePage = 0x0042;
constexpr uint16_t kWsBool = 0x0081;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kMulRk = 0x00BD;
constexpr uint16_t kRString = 0x00D6;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kMergedCells = 0x00E5;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kLabelSst = 0x00FD;
constexpr uint16_t kDimensions = 0x0200;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kLabel = 0x0204;
constexpr uint16_t kBoolErr = 0x0205;
constexpr uint16_t kString = 0x0207;
constexpr uint16_t kArray = 0x0221;
constexpr uint16_t kTable = 0x0236;
constexpr uint16_t kRk = 0x027E;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kShrFmla = 0x04BC;
constexpr uint16_t kBof = 0x0809;

constexpr uint16_t kBiff8 = 0x0600;
constexpr uint16_t kBiff5 = 0x0500;  // BIFF7 says the same
constexpr uint16_t kGlobalsBof = 0x0005;
constexpr uint32_t kColumns = 256;
constexpr uint16_t kWorksheetBof = 0x0010;

uint16_t u16(std::string_view s, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) |
                                 static_cast<unsigned char>(s[at + 1]) << 8);
}

uint32_t u32(std::string_view s, std::size_t at) {
    return u16(s, at) | static_cast<uint32_t>(u16(s, at + 2)) << 16;
}

double f64(std::string_view s, std::size_t at) {
    const uint64_t bits = u32(s, at) | static_cast<uint64_t>(u32(s, at + 4)) << 32;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// An RK value: a number packed into 30 bits, whole or the high bits of a double, maybe /100.
double rkValue(uint32_t rk) {
    double v;
    if (rk & 2) {
        v = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 1) ? v / 100 : v;
}

const char* errorText(unsigned char code) {
    switch (code) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2A:
            return "#N/A";
        default:
            return nullptr;
    }
}

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The characters of a BIFF8 text as UTF-8, arriving in pieces: each piece one byte a character
// (Latin-1) or UTF-16LE. A two-byte character cut by the end of a piece is carried over to the
// first byte of the next.
class UnicodeText {
public:
    explicit UnicodeText(uint32_t count) : left_(count) { text_.reserve(count); }
    bool done() const { return left_ == 0; }
    uint32_t left() const { return left_; }
    // Takes what `piece` holds of the characters; the bytes used.
    std::size_t take(std::string_view piece, bool wide) {
        std::size_t i = 0;
        if (carry_ && !piece.empty() && left_ > 0) {
            put(*carry_ | static_cast<uint32_t>(static_cast<unsigned char>(piece[0])) << 8);
            carry_.reset();
            i = 1;
        }
        if (!wide) {
            for (; left_ > 0 && i < piece.size(); ++i)
                put(static_cast<unsigned char>(piece[i]));
            return i;
        }
        for (; left_ > 0 && i + 2 <= piece.size(); i += 2)
            put(u16(piece, i));
        if (left_ > 0 && i < piece.size()) carry_ = static_cast<unsigned char>(piece[i++]);
        return i;
    }
    std::string finish() {
        if (pendingHigh_) appendUtf8(text_, 0xFFFD);
        pendingHigh_ = 0;
        return std::move(text_);
    }

private:
    void put(uint32_t c) {
        --left_;
        if (c >= 0xD800 && c < 0xDC00) {
            if (pendingHigh_) appendUtf8(text_, 0xFFFD);
            pendingHigh_ = c;
            return;
        }
        if (c >= 0xDC00 && c < 0xE000) {
            c = pendingHigh_ ? 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (c - 0xDC00) : 0xFFFD;
        } else if (pendingHigh_) {
            appendUtf8(text_, 0xFFFD);
        }
        pendingHigh_ = 0;
        appendUtf8(text_, c);
    }
    uint32_t left_;
    uint32_t pendingHigh_ = 0;
    std::optional<uint32_t> carry_;
    std::string text_;
};

// The iconv name of a BIFF5 workbook's code page: Windows' and DOS code pages (437-874, 932,
// 936, 949, 950, 1250-1258) go by "CP" and their number.
std::string codePageName(uint16_t cp) {
    switch (cp) {
        case 367:
            return "ASCII";
        case 1361:
            return "JOHAB";
        case 10000:
        case 32768:
            return "MACINTOSH";
        case 32769:
            return "CP1252";
        default:
            return "CP" + std::to_string(cp);
    }
}

// Bytes in a BIFF5 workbook's code page as UTF-8; a byte the code page lacks becomes U+FFFD.
class CodePage {
public:
    // A code page iconv does not know is read as Windows' Western one, the most common.
    explicit CodePage(uint16_t cp) {
        cd_ = ::iconv_open("UTF-8", codePageName(cp).c_str());
        if (cd_ == reinterpret_cast<iconv_t>(-1)) cd_ = ::iconv_open("UTF-8", "CP1252");
    }
    ~CodePage() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd_);
    }
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    std::string toUtf8(std::string_view bytes) const {
        std::string out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[1024];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* o = buf;
            std::size_t oLeft = sizeof buf;
            const std::size_t rc = ::iconv(cd_, &in, &inLeft, &o, &oLeft);
            out.append(buf, static_cast<std::size_t>(o - buf));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                appendUtf8(out, 0xFFFD);  // a byte the code page does not map, or cut short
                ++in;
                --inLeft;
                ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

// One record: its type, its data, and where its header stands in the stream.
struct Record {
    uint16_t type = 0;
    std::string_view data;
    std::size_t offset = 0;
};

// The records of a stream from a place in it. A record whose length runs past the stream's
// end, or a header cut by it, is damage.
class Records {
public:
    Records(std::string_view stream, std::size_t at) : s_(stream), at_(at) {}
    enum class Next { Record, End, Cut };
    Next next(Record& r) {
        if (at_ >= s_.size()) return Next::End;
        if (s_.size() - at_ < 4) return Next::Cut;
        const uint16_t size = u16(s_, at_ + 2);
        if (s_.size() - at_ - 4 < size) return Next::Cut;
        r.type = u16(s_, at_);
        r.data = s_.substr(at_ + 4, size);
        r.offset = at_;
        at_ += 4 + std::size_t{size};
        return Next::Record;
    }
    // The data of each CONTINUE record right after the current one, taken.
    std::vector<std::string_view> continues() {
        std::vector<std::string_view> out;
        for (;;) {
            const std::size_t at = at_;
            Record r;
            if (next(r) != Next::Record || r.type != kContinue) {
                at_ = at;
                return out;
            }
            out.push_back(r.data);
        }
    }

private:
    std::string_view s_;
    std::size_t at_;
};

// A BIFF8 text's characters after its header: `first` holds the start, `more` the CONTINUE
// records after it. Each continuation starts with a flag byte giving its width, except in the
// form some writers use for formula texts, whose bytes go on without one: taken to be that form
// where the bytes left hold exactly the characters left at the first piece's width.
// False when the pieces hold fewer characters than the text has.
bool continuedText(UnicodeText& text, std::string_view first, bool wide,
                   const std::vector<std::string_view>& more, bool plainForm, std::string& out) {
    text.take(first, wide);
    if (!text.done() && plainForm) {
        std::size_t rest = 0;
        for (std::string_view piece : more)
            rest += piece.size();
        const std::size_t used = first.size() % (wide ? 2 : 1);  // a byte carried over
        if (rest + used == std::size_t{text.left()} * (wide ? 2 : 1)) {
            for (std::string_view piece : more)
                text.take(piece, wide);
            out = text.finish();
            return true;
        }
    }
    for (std::string_view piece : more) {
        if (text.done()) break;
        if (piece.empty()) continue;
        wide = (piece[0] & 1) != 0;
        text.take(piece.substr(1), wide);
    }
    const bool whole = text.done();
    out = text.finish();
    return whole;
}

// The shared string table: the SST record and its CONTINUE records read as one run of bytes, in
// which the characters of a text that cross into the next record start there with a flag byte.
class SstReader {
public:
    explicit SstReader(std::vector<std::string_view> pieces) : pieces_(std::move(pieces)) {}
    bool byte(unsigned char& b) {
        while (piece_ < pieces_.size() && at_ == pieces_[piece_].size()) {
            ++piece_;
            at_ = 0;
        }
        if (piece_ == pieces_.size()) return false;
        b = static_cast<unsigned char>(pieces_[piece_][at_++]);
        return true;
    }
    bool skip(std::size_t n) {
        while (n > 0) {
            if (piece_ == pieces_.size()) return false;
            const std::size_t here = std::min(n, pieces_[piece_].size() - at_);
            at_ += here;
            n -= here;
            if (at_ == pieces_[piece_].size() && n > 0) {
                ++piece_;
                at_ = 0;
            }
        }
        return true;
    }
    bool number(uint32_t& v, int bytes) {
        v = 0;
        for (int i = 0; i < bytes; ++i) {
            unsigned char b;
            if (!byte(b)) return false;
            v |= static_cast<uint32_t>(b) << (8 * i);
        }
        return true;
    }
    bool chars(UnicodeText& text, bool wide) {
        while (!text.done()) {
            if (piece_ == pieces_.size()) return false;
            if (at_ == pieces_[piece_].size()) {
                if (++piece_ == pieces_.size()) return false;
                at_ = 0;
                unsigned char flags;
                if (!byte(flags)) return false;
                wide = (flags & 1) != 0;
                continue;
            }
            at_ += text.take(pieces_[piece_].substr(at_), wide);
        }
        return true;
    }

private:
    std::vector<std::string_view> pieces_;
    std::size_t piece_ = 0, at_ = 0;
};

// A cell that holds a value, as the sheet's pass found it.
enum class XlsValue : uint8_t { Number, Shared, Text, Boolean, Error };

struct XlsCell {
    uint32_t row = 0;     // 1-based
    uint16_t column = 0;  // 1-based
    uint16_t xf = 0;
    XlsValue value = XlsValue::Number;
    double number = 0;  // Number; Boolean 0 or 1
    uint32_t text = 0;  // Shared: the string's index; Text: where in the sheet's texts; Error: code
    uint32_t textSize = 0;
};

class XlsWorkbook;

class XlsSheet final : public SheetReader {
public:
    XlsSheet(const XlsWorkbook& book, std::string name) : book_(book), name_(std::move(name)) {}
    bool load(std::size_t bof, ReadStage stage, ReadFailure* failure);
    bool readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                  const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) override;

private:
    // One pass over the sheet's records, each valued cell handed to `onCell(cell, text)` (`text`
    // the UTF-8 of a Text cell) until it returns false; merged areas into `merges` where given.
    template <typename OnCell>
    bool walk(ReadStage stage, ReadFailure* failure, std::vector<SheetMerge>* merges,
              OnCell&& onCell) const;
    bool makeCell(const XlsCell& c, std::string_view text, ReadStage stage, ReadFailure* failure,
                  ReadCell& cell) const;
    bool covered(uint32_t column, uint32_t row) const;
    bool readListed(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                    const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure);
    const XlsWorkbook& book_;
    std::string name_;  // CP932
    std::size_t bof_ = 0;
    std::vector<SheetMerge> merges_;
    // A sheet whose rows come out of order is read into a list of its cells once; one in order
    // is read from its records as the rows are asked for.
    bool listed_ = false;
    std::vector<XlsCell> cells_;  // row by row, left to right
    std::string texts_;           // UTF-8, back to back
};

class XlsWorkbook final : public WorkbookReader {
public:
    XlsWorkbook(std::string stream, std::string name)
        : stream_(std::move(stream)), name_(std::move(name)) {}
    bool list(ReadStage stage, ReadFailure* failure);
    std::unique_ptr<SheetReader> openSheet(std::size_t index, ReadStage stage, ReadFailure* failure,
                                           const KnownScan&) override;

    std::string_view stream() const { return stream_; }
    const std::string& name() const { return name_; }
    bool biff8() const { return biff8_; }
    const CodePage& codePage() const { return *codePage_; }
    const CellFormat& format(uint16_t xf) const {
        return xf < xfFormats_.size() ? formats_[xfFormats_[xf]] : general_;
    }
    std::size_t sharedCount() const { return sharedEnds_.size(); }
    // The shared string in CP932; nullopt when CP932 cannot hold it.
    std::optional<std::string_view> shared(uint32_t i) const {
        if (!sharedHeld_[i]) return std::nullopt;
        const uint32_t begin = i == 0 ? 0 : sharedEnds_[i - 1];
        return std::string_view(sharedBytes_).substr(begin, sharedEnds_[i] - begin);
    }

private:
    bool readShared(const std::vector<std::string_view>& pieces, ReadStage stage,
                    ReadFailure* failure);
    bool damaged(ReadStage stage, ReadFailure* failure, const std::string& why) const {
        return fail(failure, stage, ReadError::Damaged, name_ + ": " + why);
    }

    std::string stream_;
    std::string name_;  // the file, for the log
    bool biff8_ = true;
    std::unique_ptr<CodePage> codePage_;
    std::vector<std::size_t> sheetBof_;  // each listed sheet's BOF in the stream
    CellFormat general_;
    std::vector<CellFormat> formats_;
    std::vector<uint32_t> xfFormats_;  // each XF's index into formats_
    std::string sharedBytes_;          // CP932, back to back
    std::vector<uint32_t> sharedEnds_;
    std::vector<bool> sharedHeld_;
};

// The text of a BIFF5 string (a count of `countBytes` bytes, then the bytes) at `at`, or of a
// BIFF8 one (a count, a flag byte, the characters, maybe run on in `more`), as UTF-8. False when
// the record holds less than its count says.
bool recordText(const XlsWorkbook& book, std::string_view data, std::size_t at, int countBytes,
                const std::vector<std::string_view>& more, bool plainForm, std::string& out) {
    if (data.size() < at + countBytes) return false;
    const uint32_t count = countBytes == 1 ? static_cast<unsigned char>(data[at]) : u16(data, at);
    at += countBytes;
    if (!book.biff8()) {
        if (data.size() - at < count) return false;
        out = book.codePage().toUtf8(data.substr(at, count));
        return true;
    }
    if (count == 0) {
        out.clear();
        return true;
    }
    if (data.size() < at + 1) return false;
    const unsigned char flags = static_cast<unsigned char>(data[at]);
    ++at;
    // Rich-text runs and phonetic data may sit between the flags and the characters.
    if (flags & 0x08) at += 2;
    if (flags & 0x04) at += 4;
    if (at > data.size()) return false;
    UnicodeText text(count);
    return continuedText(text, data.substr(at), (flags & 1) != 0, more, plainForm, out);
}

bool XlsWorkbook::list(ReadStage stage, ReadFailure* failure) {
    Records records(stream_, 0);
    Record r;
    if (records.next(r) != Records::Next::Record || r.type != kBof || r.data.size() < 4)
        return fail(failure, stage, ReadError::NotWorkbook, name_ + ": no workbook in the stream");
    const uint16_t version = u16(r.data, 0);
    if ((version != kBiff8 && version != kBiff5) || u16(r.data, 2) != kGlobalsBof)
        return fail(failure, stage, ReadError::NotWorkbook,
                    name_ + ": a workbook of a kind not read (BIFF version " +
                        std::to_string(version) + ")");
    biff8_ = version == kBiff8;
    uint16_t codePage = 1252;
    struct Bound {
        uint32_t bof;
        std::string_view data;
    };
    std::vector<Bound> bounds;
    std::vector<std::pair<uint16_t, std::string_view>> formatRecords;
    std::vector<uint16_t> xfFormatIds;
    std::vector<std::string_view> sst;
    for (;;) {
        const Records::Next got = records.next(r);
        if (got == Records::Next::Cut) return damaged(stage, failure, "a record past the stream");
        if (got == Records::Next::End)
            return damaged(stage, failure, "the workbook's globals have no end");
        if (r.type == kEof) break;
        switch (r.type) {
            case kFilePass:
                return fail(failure, stage, ReadError::Encrypted, name_ + ": password-protected");
            case kCodePage:
                if (r.data.size() >= 2) codePage = u16(r.data, 0);
                break;
            case kDateMode:
                if (r.data.size() >= 2) date1904_ = u16(r.data, 0) == 1;
                break;
            case kBoundSheet:
                if (r.data.size() < 8) return damaged(stage, failure, "a sheet entry cut short");
                bounds.push_back({u32(r.data, 0), r.data});
                break;
            case kXf:
                if (r.data.size() < 4) return damaged(stage, failure, "a cell format cut short");
                if (xfFormatIds.size() >= 65536)
                    return damaged(stage, failure, "more cell formats than a workbook holds");
                xfFormatIds.push_back(u16(r.data, 2));
                break;
            case kFormat:
                if (r.data.size() < 3) return damaged(stage, failure, "a number format cut short");
                formatRecords.emplace_back(u16(r.data, 0), r.data);
                break;
            case kSst:
                if (biff8_ && sst.empty()) {
                    sst.push_back(r.data);
                    for (std::string_view more : records.continues())
                        sst.push_back(more);
                }
                break;
            default:
                break;
        }
    }
    codePage_ = std::make_unique<CodePage>(codePage);

    // Number formats: the workbook's own code for an id where it writes one (a program may write
    // its own code even for a built-in id, as it writes it into the same workbook saved as
    // .xlsx), else the Japanese form of the built-in one.
    std::unordered_map<uint16_t, std::string> custom;
    for (const auto& [id, data] : formatRecords) {
        std::string code;
        if (!recordText(*this, data, 2, biff8_ ? 2 : 1, {}, false, code))
            return damaged(stage, failure, "a number format cut short");
        custom[id] = std::move(code);
    }
    general_ = CellFormat{cp932::literal("G/標準"), Temporal::None};
    resolveStyleFormats(xfFormatIds, custom, formats_, xfFormats_);

    if (!sst.empty() && !readShared(sst, stage, failure)) return false;

    // The sheet list: worksheets only. A chart, macro or module sheet says so in its entry; a
    // dialog sheet is a worksheet whose WSBOOL record says it is one.
    for (const Bound& b : bounds) {
        const unsigned char kind = static_cast<unsigned char>(b.data[5]);
        if (kind != 0) continue;
        std::string utf8;
        if (!recordText(*this, b.data, 6, 1, {}, false, utf8))
            return damaged(stage, failure, "a sheet name cut short");
        Records sheet(stream_, b.bof);
        Record bof;
        if (sheet.next(bof) != Records::Next::Record || bof.type != kBof || bof.data.size() < 4)
            return damaged(stage, failure, "a sheet entry pointing at no sheet");
        if (u16(bof.data, 2) != kWorksheetBof) continue;
        bool dialog = false;
        for (Record h; sheet.next(h) == Records::Next::Record;) {
            if (h.type == kWsBool && h.data.size() >= 2) dialog = (u16(h.data, 0) & 0x0010) != 0;
            if (h.type == kWsBool || h.type == kDimensions || h.type == kEof || h.type == kBof)
                break;
        }
        if (dialog) continue;
        auto name = cp932::fromUtf8(utf8);
        if (!name) return fail(failure, stage, ReadError::NotCp932, "sheet name", cp932Lossy(utf8));
        sheets_.push_back(SheetEntry{std::move(*name), (b.data[4] & 3) != 0});
        sheetBof_.push_back(b.bof);
    }
    return true;
}

bool XlsWorkbook::readShared(const std::vector<std::string_view>& pieces, ReadStage stage,
                             ReadFailure* failure) {
    SstReader in(pieces);
    uint32_t total = 0, unique = 0;
    if (!in.number(total, 4) || !in.number(unique, 4))
        return damaged(stage, failure, "a shared string table cut short");
    std::size_t bytes = 0;
    for (std::string_view p : pieces)
        bytes += p.size();
    // Each string takes at least three bytes of the table: a count past that lies.
    if (unique > bytes / 3) return damaged(stage, failure, "more shared strings than it holds");
    sharedEnds_.reserve(unique);
    sharedHeld_.reserve(unique);
    for (uint32_t i = 0; i < unique; ++i) {
        uint32_t count = 0, flags = 0, runs = 0, phonetic = 0;
        if (!in.number(count, 2) || !in.number(flags, 1) ||
            ((flags & 0x08) && !in.number(runs, 2)) || ((flags & 0x04) && !in.number(phonetic, 4)))
            return damaged(stage, failure, "a shared string cut short");
        UnicodeText text(count);
        if (!in.chars(text, (flags & 1) != 0) || !in.skip(std::size_t{runs} * 4 + phonetic))
            return damaged(stage, failure, "a shared string cut short");
        auto held = cp932::fromUtf8(text.finish());
        if (held) sharedBytes_ += *held;
        sharedHeld_.push_back(held.has_value());
        sharedEnds_.push_back(static_cast<uint32_t>(sharedBytes_.size()));
    }
    return true;
}

std::unique_ptr<SheetReader> XlsWorkbook::openSheet(std::size_t index, ReadStage stage,
                                                    ReadFailure* failure, const KnownScan&) {
    if (index >= sheets_.size()) {
        fail(failure, stage, ReadError::NoSuchSheet, "sheet index past the list");
        return nullptr;
    }
    auto sheet = std::make_unique<XlsSheet>(*this, sheets_[index].name);
    if (!sheet->load(sheetBof_[index], stage, failure)) return nullptr;
    return sheet;
}

// One pass over the sheet's records from its BOF to the EOF that closes it; the records of a
// substream inside it (an embedded chart) lie between a BOF and an EOF of their own.
template <typename OnCell>
bool XlsSheet::walk(ReadStage stage, ReadFailure* failure, std::vector<SheetMerge>* merges,
                    OnCell&& onCell) const {
    const std::string where = book_.name() + ": sheet " + cp932::toUtf8(name_) + ": ";
    auto damaged = [&](const std::string& why) {
        return fail(failure, stage, ReadError::Damaged, where + why);
    };
    const bool biff8 = book_.biff8();
    Records records(book_.stream(), bof_);
    Record r;
    records.next(r);  // the BOF, looked at when the sheet was listed
    int depth = 1;
    bool stop = false;
    // A FORMULA whose text result the STRING record after it holds; only the records that belong
    // to its formula may come between.
    std::optional<XlsCell> awaiting;
    auto add = [&](const XlsCell& c) { stop = stop || !onCell(c, std::string_view()); };
    // A worksheet of these formats has 256 columns: a cell past them is damage.
    auto cellAt = [&](std::string_view data, XlsCell& c) {
        const uint32_t column = u16(data, 2) + 1u;
        c.row = u16(data, 0) + 1u;
        c.column = static_cast<uint16_t>(std::min(column, kColumns));
        c.xf = u16(data, 4);
        return column <= kColumns;
    };
    auto addText = [&](XlsCell c, const std::string& utf8) {
        c.value = XlsValue::Text;
        stop = stop || !onCell(c, std::string_view(utf8));
    };
    for (uint32_t seen = 0; !stop; ++seen) {
        if ((seen & 0xFFFF) == 0) pumpWhileReading();
        const Records::Next got = records.next(r);
        if (got == Records::Next::Cut) return damaged("a record past the stream's end");
        if (got == Records::Next::End) return damaged("the sheet has no end");
        if (r.type == kBof) {
            ++depth;
            continue;
        }
        if (r.type == kEof) {
            if (depth == 1 && awaiting) return damaged("a formula's text result is missing");
            if (--depth == 0) break;
            continue;
        }
        if (depth > 1) continue;
        const std::string_view d = r.data;
        if (awaiting && r.type != kString && r.type != kShrFmla && r.type != kArray &&
            r.type != kTable && r.type != kContinue)
            return damaged("a formula's text result is missing");
        XlsCell c;
        switch (r.type) {
            case kNumber:
                if (d.size() < 14) return damaged("a number cut short");
                if (!cellAt(d, c)) return damaged("a cell past the last column");
                c.number = f64(d, 6);
                if (!std::isfinite(c.number)) return damaged("a number that is none");
                add(c);
                break;
            case kRk:
                if (d.size() < 10) return damaged("a number cut short");
                if (!cellAt(d, c)) return damaged("a cell past the last column");
                c.number = rkValue(u32(d, 6));
                add(c);
                break;
            case kMulRk: {
                if (d.size() < 6 || (d.size() - 6) % 6 != 0)
                    return damaged("a run of numbers of the wrong length");
                const std::size_t n = (d.size() - 6) / 6;
                for (std::size_t i = 0; i < n; ++i) {
                    XlsCell m;
                    m.row = u16(d, 0) + 1u;
                    const uint32_t column = u16(d, 2) + static_cast<uint32_t>(i);
                    if (column >= kColumns) return damaged("a cell past the last column");
                    m.column = static_cast<uint16_t>(column + 1);
                    m.xf = u16(d, 4 + 6 * i);
                    m.number = rkValue(u32(d, 6 + 6 * i));
                    add(m);
                }
                break;
            }
            case kLabelSst: {
                if (!biff8 || d.size() < 10) return damaged("a shared text cell cut short");
                if (!cellAt(d, c)) return damaged("a cell past the last column");
                const uint32_t i = u32(d, 6);
                if (i >= book_.sharedCount()) return damaged("a shared string past its table");
                c.value = XlsValue::Shared;
                c.text = i;
                add(c);
                break;
            }
            case kLabel:
            case kRString: {
                if (d.size() < 8) return damaged("a text cell cut short");
                if (!cellAt(d, c)) return damaged("a cell past the last column");
                std::string utf8;
                const auto more = biff8 ? records.continues() : std::vector<std::string_view>{};
                if (!recordText(book_, d, 6, 2, more, false, utf8))
                    return damaged("a text cell cut short");
                addText(c, utf8);
                break;
            }
            case kBoolErr: {
                if (d.size() < 8) return damaged("a boolean or error cut short");
                if (!cellAt(d, c)) return damaged("a cell past the last column");
                const auto v = static_cast<unsigned char>(d[6]);
                if (d[7] == 0) {
                    c.value = XlsValue::Boolean;
                    c.number = v != 0 ? 1 : 0;
                    add(c);
                } else if (errorText(v)) {
                    c.value = XlsValue::Error;
                    c.text = v;
                    add(c);
                }
                break;
            }
            case kFormula: {
                if (d.size() < 20) return damaged("a formula cut short");
                if (!cellAt(d, c)) return damaged("a cell past the last column");
                if (u16(d, 12) != 0xFFFF) {
                    c.number = f64(d, 6);
                    if (std::isfinite(c.number)) add(c);
                    break;
                }
                switch (static_cast<unsigned char>(d[6])) {
                    case 0:
                        awaiting = c;
                        break;
                    case 1:
                        c.value = XlsValue::Boolean;
                        c.number = d[8] != 0 ? 1 : 0;
                        add(c);
                        break;
                    case 2:
                        if (errorText(static_cast<unsigned char>(d[8]))) {
                            c.value = XlsValue::Error;
                            c.text = static_cast<unsigned char>(d[8]);
                            add(c);
                        }
                        break;
                    default:  // an empty text: no value
                        break;
                }
                break;
            }
            case kString: {
                const auto more = biff8 ? records.continues() : std::vector<std::string_view>{};
                if (!awaiting) break;
                const XlsCell f = *awaiting;
                awaiting.reset();
                // A record too short to say even its count holds no text.
                if (d.size() < (biff8 ? 3u : 2u)) break;
                std::string utf8;
                if (!recordText(book_, d, 0, 2, more, true, utf8))
                    return damaged("a formula's text result cut short");
                if (!utf8.empty()) addText(f, utf8);
                break;
            }
            case kMergedCells: {
                if (d.size() < 2 || d.size() < 2 + std::size_t{u16(d, 0)} * 8)
                    return damaged("merged areas cut short");
                for (std::size_t i = 0, n = u16(d, 0); i < n; ++i) {
                    const std::size_t at = 2 + 8 * i;
                    const SheetMerge m{u16(d, at + 4) + 1u, u16(d, at) + 1u, u16(d, at + 6) + 1u,
                                       u16(d, at + 2) + 1u};
                    if (m.firstColumn <= m.lastColumn && m.firstRow <= m.lastRow &&
                        (m.firstColumn != m.lastColumn || m.firstRow != m.lastRow))
                        if (merges) merges->push_back(m);
                }
                break;
            }
            default:
                break;
        }
    }
    return true;
}

bool XlsSheet::load(std::size_t bof, ReadStage stage, ReadFailure* failure) {
    bof_ = bof;
    uint32_t firstRow = UINT32_MAX, lastRow = 0, firstColumn = UINT32_MAX, lastColumn = 0;
    uint32_t previousRow = 0;
    bool ordered = true;
    if (!walk(stage, failure, &merges_, [&](const XlsCell& c, std::string_view) {
            ordered = ordered && c.row >= previousRow;
            previousRow = c.row;
            firstRow = std::min(firstRow, c.row);
            lastRow = std::max(lastRow, c.row);
            firstColumn = std::min<uint32_t>(firstColumn, c.column);
            lastColumn = std::max<uint32_t>(lastColumn, c.column);
            return true;
        }))
        return false;
    if (lastRow > 0) range_ = UsedRange{firstRow, lastRow, firstColumn, lastColumn};
    if (ordered) return true;
    listed_ = true;
    if (!walk(stage, failure, nullptr, [&](XlsCell c, std::string_view text) {
            if (c.value == XlsValue::Text) {
                c.text = static_cast<uint32_t>(texts_.size());
                c.textSize = static_cast<uint32_t>(text.size());
                texts_ += text;
            }
            cells_.push_back(c);
            return true;
        }))
        return false;
    // The last record for a cell is the one in force.
    std::stable_sort(cells_.begin(), cells_.end(), [](const XlsCell& a, const XlsCell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    std::vector<XlsCell> unique;
    unique.reserve(cells_.size());
    for (const XlsCell& c : cells_) {
        if (!unique.empty() && unique.back().row == c.row && unique.back().column == c.column)
            unique.back() = c;
        else
            unique.push_back(c);
    }
    cells_ = std::move(unique);
    return true;
}

bool XlsSheet::covered(uint32_t column, uint32_t row) const {
    for (const SheetMerge& m : merges_)
        if (column >= m.firstColumn && column <= m.lastColumn && row >= m.firstRow &&
            row <= m.lastRow && (column != m.firstColumn || row != m.firstRow))
            return true;
    return false;
}

bool XlsSheet::makeCell(const XlsCell& c, std::string_view utf8, ReadStage stage,
                        ReadFailure* failure, ReadCell& cell) const {
    const CellFormat& format = book_.format(c.xf);
    cell.formatCode = format.code;
    switch (c.value) {
        case XlsValue::Number:
            cell.kind = CellKind::Number;
            cell.number = c.number;
            if (auto serial = serialText(c.number, format.temporal, book_.date1904())) {
                cell.temporal = format.temporal;
                cell.text = std::move(*serial);
            } else {
                cell.text = numberText(c.number);
            }
            return true;
        case XlsValue::Shared: {
            const auto text = book_.shared(c.text);
            if (!text)
                return fail(failure, stage, ReadError::NotCp932, "shared string", name_,
                            cellName(c.column, c.row));
            cell.kind = CellKind::Text;
            cell.text = *text;
            return true;
        }
        case XlsValue::Text: {
            auto text = cp932::fromUtf8(utf8);
            if (!text)
                return fail(failure, stage, ReadError::NotCp932, "cell text", name_,
                            cellName(c.column, c.row));
            cell.kind = CellKind::Text;
            cell.text = std::move(*text);
            return true;
        }
        case XlsValue::Boolean:
            cell.kind = CellKind::Boolean;
            cell.number = c.number;
            cell.text = c.number != 0 ? "TRUE" : "FALSE";
            return true;
        case XlsValue::Error:
            cell.kind = CellKind::Error;
            cell.text = errorText(static_cast<unsigned char>(c.text));
            return true;
    }
    return true;
}

bool XlsSheet::readListed(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                          const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) {
    auto next = std::lower_bound(cells_.begin(), cells_.end(), firstRow,
                                 [](const XlsCell& c, uint32_t row) { return c.row < row; });
    const std::size_t width = range_.lastColumn - range_.firstColumn + 1;
    RangeRow out;
    for (uint32_t row = firstRow; row <= lastRow; ++row) {
        out.row = row;
        out.cells.assign(width, ReadCell{});
        for (; next != cells_.end() && next->row == row; ++next) {
            if (!merges_.empty() && covered(next->column, row)) continue;  // as a copy leaves it
            const std::string_view text =
                next->value == XlsValue::Text
                    ? std::string_view(texts_).substr(next->text, next->textSize)
                    : std::string_view();
            if (!makeCell(*next, text, stage, failure,
                          out.cells[next->column - range_.firstColumn]))
                return false;
        }
        if (!sink(out)) return true;
    }
    return true;
}

bool XlsSheet::readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                        const std::function<bool(const RangeRow&)>& sink, ReadFailure* failure) {
    if (range_.empty()) return true;
    firstRow = std::max(firstRow, range_.firstRow);
    lastRow = std::min(lastRow, range_.lastRow);
    if (firstRow > lastRow) return true;
    if (listed_) return readListed(firstRow, lastRow, stage, sink, failure);
    // Rows in order: each record's cell goes straight into the row being filled, which is handed
    // out when a later row's first cell comes; the walk stops after `lastRow`.
    const std::size_t width = range_.lastColumn - range_.firstColumn + 1;
    RangeRow out;
    out.row = firstRow;
    out.cells.assign(width, ReadCell{});
    bool stopped = false, failed = false;
    auto handOut = [&](uint32_t upTo) {  // rows out.row .. upTo - 1 are complete
        for (; out.row < upTo && out.row <= lastRow && !stopped; ++out.row) {
            if (!sink(out)) stopped = true;
            for (ReadCell& c : out.cells)
                c = ReadCell{};
        }
    };
    const bool walked = walk(stage, failure, nullptr, [&](const XlsCell& c, std::string_view text) {
        if (c.row < firstRow) return true;
        handOut(c.row);
        if (stopped || c.row > lastRow) return false;
        if (!merges_.empty() && covered(c.column, c.row)) return true;  // as a copy leaves it
        ReadCell& cell = out.cells[c.column - range_.firstColumn];
        cell = ReadCell{};
        if (!makeCell(c, text, stage, failure, cell)) {
            failed = true;
            return false;
        }
        return true;
    });
    if (!walked || failed) return false;
    handOut(lastRow + 1);
    return true;
}

// The workbook stream of an open compound file: "Workbook", or "Book" in Excel 5 and 95,
// whatever the case of its name.
XlsStream streamOf(GsfInput* file, std::string& stream) {
    stream.clear();
    if (!file) return XlsStream::NotCompound;
    // libgsf warns on stderr of each fault it meets in a damaged compound file; the reader's
    // own failure says it once.
    static const bool quiet = [] {
        g_log_set_handler(
            "libgsf:msole", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
            [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        return true;
    }();
    (void)quiet;
    const gsf_off_t fileSize = gsf_input_size(file);
    GError* error = nullptr;
    GsfInfile* ole = gsf_infile_msole_new(file, &error);
    g_clear_error(&error);
    g_object_unref(file);
    if (!ole) return XlsStream::NotCompound;
    GsfInput* book = nullptr;
    bool encrypted = false;
    for (const char* want : {"Workbook", "Book"}) {
        const int n = gsf_infile_num_children(ole);
        for (int i = 0; i < n && !book; ++i) {
            const char* name = gsf_infile_name_by_index(ole, i);
            if (name && ::strcasecmp(name, want) == 0) book = gsf_infile_child_by_index(ole, i);
        }
        if (book) break;
    }
    if (!book) {
        // An encrypted Office Open XML workbook is a compound file holding the package so.
        if (GsfInput* package = gsf_infile_child_by_name(ole, "EncryptedPackage")) {
            encrypted = true;
            g_object_unref(package);
        }
        g_object_unref(ole);
        return encrypted ? XlsStream::Encrypted : XlsStream::NoWorkbook;
    }
    XlsStream result = XlsStream::Damaged;
    const gsf_off_t size = gsf_input_size(book);
    // A stream is stored in the file's own sectors: one larger than the file lies.
    if (size > 0 && size <= fileSize) {
        stream.resize(static_cast<std::size_t>(size));
        if (gsf_input_read(book, static_cast<std::size_t>(size),
                           reinterpret_cast<guint8*>(stream.data())) != nullptr)
            result = XlsStream::Ok;
    }
    g_object_unref(book);
    g_object_unref(ole);
    if (result != XlsStream::Ok) stream.clear();
    return result;
}

// An encrypted Office Open XML workbook whose compound file libgsf cannot read still names its
// stream: looked for in the bytes.
bool holdsEncryptedPackage(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    static constexpr char kName[] = "E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0";
    constexpr std::size_t kLen = sizeof kName - 1;
    std::string window;
    char buf[65536];
    bool found = false;
    for (std::size_t n, total = 0;
         !found && total < (std::size_t{64} << 20) && (n = std::fread(buf, 1, sizeof buf, f)) > 0;
         total += n) {
        window.append(buf, n);
        found = window.find(std::string_view(kName, kLen)) != std::string::npos;
        if (window.size() > kLen) window.erase(0, window.size() - kLen);
    }
    std::fclose(f);
    return found;
}

}  // namespace

XlsStream readWorkbookStream(const std::string& path, std::string& stream) {
    GError* error = nullptr;
    GsfInput* file = GSF_INPUT(gsf_input_stdio_new(path.c_str(), &error));
    g_clear_error(&error);
    return streamOf(file, stream);
}

XlsStream readWorkbookStreamFromMemory(std::string_view file, std::string& stream) {
    GsfInput* input = gsf_input_memory_new(reinterpret_cast<const guint8*>(file.data()),
                                           static_cast<gsf_off_t>(file.size()), FALSE);
    return streamOf(input, stream);
}

std::unique_ptr<WorkbookReader> openXlsStream(std::string stream, const std::string& name,
                                              ReadStage stage, ReadFailure* failure) {
    auto book = std::make_unique<XlsWorkbook>(std::move(stream), name);
    if (!book->list(stage, failure)) return nullptr;
    return book;
}

bool isOldBiff(std::string_view head) {
    // BOF of BIFF2 (0x0009), BIFF3 (0x0209) and BIFF4 (0x0409), each with its few bytes of data.
    if (head.size() < 4) return false;
    const uint16_t type = u16(head, 0), size = u16(head, 2);
    return (type == 0x0009 || type == 0x0209 || type == 0x0409) && size >= 4 && size <= 16;
}

std::unique_ptr<WorkbookReader> openXls(const std::string& path, ReadStage stage,
                                        ReadFailure* failure) {
    std::string stream;
    switch (readWorkbookStream(path, stream)) {
        case XlsStream::Ok:
            break;
        case XlsStream::Encrypted:
            fail(failure, stage, ReadError::Encrypted, path + ": password-protected");
            return nullptr;
        case XlsStream::NoWorkbook:
            fail(failure, stage, ReadError::NotWorkbook, path + ": no workbook stream inside");
            return nullptr;
        case XlsStream::NotCompound:
        case XlsStream::Damaged:
            if (holdsEncryptedPackage(path)) {
                fail(failure, stage, ReadError::Encrypted, path + ": password-protected");
                return nullptr;
            }
            fail(failure, stage, ReadError::Damaged, path + ": a damaged compound file");
            return nullptr;
    }
    return openXlsStream(std::move(stream), path, stage, failure);
}

}  // namespace zbq::workbook::detail
