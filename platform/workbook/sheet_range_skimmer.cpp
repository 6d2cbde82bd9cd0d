// Skimming a worksheet for its used range.
//
// Each token (a text, a tag, a comment) is read from the buffer whole or not at all: one that
// runs past what has been inflated so far is read again from its start once more has come, and
// the buffer grows by at least what it holds each time, so a long token costs linear time.
#include "platform/workbook/sheet_range_skimmer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zbq::workbook {

namespace {

constexpr std::size_t kMaxToken = XmlPullScanner::kMaxToken;

inline bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The characters that end a name, as the pull scanner reads names.
constexpr auto kNameStop = [] {
    std::array<bool, 256> stop{};
    for (unsigned char c : {' ', '\t', '\n', '\r', '/', '>', '=', '<', '"', '\''})
        stop[c] = true;
    return stop;
}();

inline bool isNameChar(char c) {
    return !kNameStop[static_cast<unsigned char>(c)];
}

// Names are a few characters long: plain loops beat library searches on them, here and below.
inline std::string_view localOf(std::string_view qname) {
    for (std::size_t i = 0; i < qname.size(); ++i)
        if (qname[i] == ':') return qname.substr(i + 1);
    return qname;
}

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

template <std::size_t N>
inline bool is(std::string_view name, const char (&literal)[N]) {
    return name.size() == N - 1 && std::memcmp(name.data(), literal, N - 1) == 0;
}

}  // namespace

CellType cellTypeOf(std::string_view t) {
    if (t.size() == 1) {
        switch (t[0]) {
            case 's':
                return CellType::Shared;
            case 'b':
                return CellType::Boolean;
            case 'e':
                return CellType::Error;
            case 'd':
                return CellType::IsoDate;
            default:
                return CellType::Number;
        }
    }
    if (t == "inlineStr") return CellType::Inline;
    if (t == "str") return CellType::FormulaText;
    return CellType::Number;
}

bool SheetRangeSkimmer::fill() {
    if (eof_ || failed_) return false;
    // Only the token that ran out is kept.
    if (pos_ > 0) {
        std::memmove(buf_.get(), buf_.get() + pos_, size_ - pos_);
        size_ -= pos_;
        pos_ = 0;
    }
    if (size_ > kMaxToken) {
        fail("a tag or text longer than the scanner takes");
        return false;
    }
    // At least as much again as the unfinished token holds, so that reading it again costs
    // linear time in all.
    const std::size_t want = std::max(chunk_, size_);
    if (size_ + want > capacity_) {
        const std::size_t grown = std::max(capacity_ * 2, size_ + want);
        std::unique_ptr<char[]> bigger(new char[grown]);
        if (size_) std::memcpy(bigger.get(), buf_.get(), size_);
        buf_ = std::move(bigger);
        capacity_ = grown;
    }
    const std::size_t before = size_;
    while (size_ - before < want) {
        const long long got = source_(buf_.get() + size_, want - (size_ - before));
        if (got < 0) {
            fail("the part cannot be read to its end");
            return false;
        }
        if (got == 0) {
            eof_ = true;
            break;
        }
        size_ += static_cast<std::size_t>(got);
    }
    return size_ > before;
}

SheetRangeSkimmer::Step SheetRangeSkimmer::fail(std::string message) {
    failed_ = true;
    if (error_.empty()) error_ = std::move(message);
    return Step::Bad;
}

bool SheetRangeSkimmer::run() {
    for (;;) {
        if (pos_ == size_ && !fill()) {
            if (failed_) return false;
            break;
        }
        if (buf_[pos_] == '<' && !open_.empty() && open_.back().in == In::Row && plainCells()) {
            if (stopped_) return true;
            continue;
        }
        const Step step = buf_[pos_] == '<' ? markup() : text();
        if (step == Step::Bad) return false;
        if (step == Step::Stop) {
            stopped_ = true;
            return true;
        }
        // Not all of the token is here yet: read it again with more. At the end of the part
        // every token is finished one way or the other, so this never loops there.
        if (step == Step::More && !fill() && failed_) return false;
    }
    if (!open_.empty()) fail("the part ends inside an element");
    if (!rootSeen_) fail("the part holds no element");
    return !failed_;
}

void SheetRangeSkimmer::cellText(In in, std::string_view text) {
    if (text.empty()) return;
    if (in == In::Value) {
        cellValued_ = true;
        if (cellShared_ || sink_) value_.append(text);
    } else if (in == In::InlineText && sink_) {
        inline_.append(text);
    }
}

SheetRangeSkimmer::Step SheetRangeSkimmer::text() {
    const char* begin = buf_.get() + pos_;
    const char* end = buf_.get() + size_;
    // Most texts are a cell's few digits.
    const char* lt = begin;
    bool reference = false;
    while (lt < end && *lt != '<') {
        reference |= *lt == '&';
        ++lt;
    }
    if (lt == end && !eof_) return Step::More;
    const std::string_view raw(begin, static_cast<std::size_t>(lt - begin));
    if (raw.size() > kMaxToken) return fail("a text longer than the scanner takes");
    pos_ = static_cast<std::size_t>(lt - buf_.get());
    if (open_.empty()) {
        std::string_view outside = raw;
        if (std::exchange(firstToken_, false) &&
            outside.starts_with(XmlPullScanner::kByteOrderMark))
            outside.remove_prefix(XmlPullScanner::kByteOrderMark.size());
        for (char c : outside)
            if (!isSpace(c)) return fail("text outside the root element");
        return Step::Done;
    }
    const In in = open_.back().in;
    const bool ofCell = in == In::Value || in == In::Formula || in == In::InlineText;
    if (ofCell) cellTextBytes_ += raw.size();
    if (reference) {
        scratch_.clear();
        if (!XmlPullScanner::decode(raw, scratch_))
            return fail("a bad character or entity reference");
        if (ofCell) cellText(in, scratch_);
    } else if (ofCell) {
        cellText(in, raw);
    }
    return Step::Done;
}

SheetRangeSkimmer::Step SheetRangeSkimmer::markup() {
    firstToken_ = false;
    const std::size_t have = size_ - pos_;
    // Enough to tell the kind of markup, as the pull scanner asks.
    if (have < 9 && !eof_) return Step::More;
    const char second = have > 1 ? buf_[pos_ + 1] : '\0';
    if (second == '!' || second == '?') return special();
    if (second == '/') return endTag();
    return startTag();
}

SheetRangeSkimmer::Step SheetRangeSkimmer::special() {
    const std::string_view head(buf_.get() + pos_, size_ - pos_);
    auto until = [&](std::string_view close, std::size_t from, const char* unended,
                     std::size_t& at) {
        at = head.find(close, from);
        if (at != std::string_view::npos) return Step::Done;
        return eof_ ? fail(unended) : Step::More;
    };
    std::size_t at = 0;
    if (head.starts_with("<!--")) {
        if (const Step s = until("-->", 4, "a comment without its end", at); s != Step::Done)
            return s;
        pos_ += at + 3;
        return Step::Done;
    }
    if (head.starts_with("<?")) {
        if (const Step s = until("?>", 2, "a processing instruction without its end", at);
            s != Step::Done)
            return s;
        pos_ += at + 2;
        return Step::Done;
    }
    if (head.starts_with("<![CDATA[")) {
        if (const Step s = until("]]>", 9, "a CDATA section without its end", at); s != Step::Done)
            return s;
        if (open_.empty()) return fail("CDATA outside the root element");
        const In in = open_.back().in;
        if (in == In::Value || in == In::Formula || in == In::InlineText) {
            cellTextBytes_ += at - 9;
            cellText(in, head.substr(9, at - 9));
        }
        pos_ += at + 3;
        return Step::Done;
    }
    if (head.starts_with("<!")) return fail("a document type declaration");
    return startTag();  // "<?" cannot reach here; a lone '<' at the end does
}

SheetRangeSkimmer::Step SheetRangeSkimmer::endTag() {
    const char* begin = buf_.get() + pos_;
    const char* end = buf_.get() + size_;
    const char* gt = begin + 2;
    while (gt < end && *gt != '>')
        ++gt;
    if (gt == end) return eof_ ? fail("the part ends inside a tag") : Step::More;
    if (static_cast<std::size_t>(gt - begin) > kMaxToken)
        return fail("a tag longer than the scanner takes");
    std::string_view qname(begin + 2, static_cast<std::size_t>(gt - begin - 2));
    while (!qname.empty() && isSpace(qname.back()))
        qname.remove_suffix(1);
    if (open_.empty()) return fail("an end tag that matches no start");
    const Open top = open_.back();
    const std::string_view name = std::string_view(openNames_).substr(top.nameStart);
    if (!sameName(name, qname)) return fail("an end tag that matches no start");
    openNames_.resize(top.nameStart);
    open_.pop_back();
    pos_ = static_cast<std::size_t>(gt + 1 - buf_.get());
    if (top.in == In::Cell) return endCell();
    if (top.in == In::Row) return endRow();
    return Step::Done;
}

SheetRangeSkimmer::Step SheetRangeSkimmer::startTag() {
    const char* begin = buf_.get() + pos_;
    const char* end = buf_.get() + size_;
    const char* p = begin + 1;
    auto ranOut = [&] { return eof_ ? fail("the part ends inside a tag") : Step::More; };
    while (p < end && isNameChar(*p))
        ++p;
    if (p == end) return ranOut();
    if (p == begin + 1) return fail("a tag without a name");
    const std::string_view qname(begin + 1, static_cast<std::size_t>(p - begin - 1));
    hasR_ = hasS_ = hasT_ = hasRef_ = false;
    bool self = false;
    for (;;) {
        while (p < end && isSpace(*p))
            ++p;
        if (p == end) return ranOut();
        if (*p == '>') {
            ++p;
            break;
        }
        if (*p == '/') {
            if (p + 1 == end) return ranOut();
            if (p[1] != '>') return fail("a malformed attribute");
            self = true;
            p += 2;
            break;
        }
        const char* nameStart = p;
        while (p < end && isNameChar(*p))
            ++p;
        if (p == end) return ranOut();
        if (p == nameStart) return fail("a malformed attribute");
        const std::string_view aname =
            localOf(std::string_view(nameStart, static_cast<std::size_t>(p - nameStart)));
        while (p < end && isSpace(*p))
            ++p;
        if (p == end) return ranOut();
        if (*p != '=') return fail("an attribute without a value");
        ++p;
        while (p < end && isSpace(*p))
            ++p;
        if (p == end) return ranOut();
        if (*p != '"' && *p != '\'') return fail("an unquoted value");
        const char quote = *p++;
        const char* valueStart = p;
        // Values are short: a plain loop beats a library search here.
        while (p < end && *p != quote && *p != '<')
            ++p;
        if (p == end) return ranOut();
        if (*p == '<') return fail("'<' in an attribute value");
        const std::string_view value(valueStart, static_cast<std::size_t>(p - valueStart));
        ++p;
        if (p == end) return ranOut();
        if (!isSpace(*p) && *p != '/' && *p != '>')
            return fail("attributes without space between them");
        // The first of a name counts, as with the pull scanner.
        auto keep = [&](bool& has, std::string_view& attr) {
            if (!has) {
                has = true;
                attr = value;
            }
        };
        if (is(aname, "r"))
            keep(hasR_, attrR_);
        else if (is(aname, "s"))
            keep(hasS_, attrS_);
        else if (is(aname, "t"))
            keep(hasT_, attrT_);
        else if (is(aname, "ref"))
            keep(hasRef_, attrRef_);
    }
    if (static_cast<std::size_t>(p - begin) > kMaxToken)
        return fail("a tag longer than the scanner takes");
    if (open_.empty()) {
        if (rootSeen_) return fail("a second root element");
        rootSeen_ = true;
    }
    const std::string_view local = localOf(qname);
    const In parent = open_.empty() ? In::Other : open_.back().in;
    In here = In::Other;
    if (parent == In::Cell && is(local, "v"))
        here = In::Value;
    else if (parent == In::Row && is(local, "c"))
        here = In::Cell;
    else if (is(local, "sheetData") && open_.size() == 1)
        here = In::SheetData;
    else if (parent == In::SheetData && is(local, "row"))
        here = In::Row;
    else if (parent == In::Cell && is(local, "f"))
        here = In::Formula;
    else if (parent == In::Cell && is(local, "is"))
        here = In::Inline;
    else if (parent == In::Inline && is(local, "r"))
        here = In::InlineRun;
    else if ((parent == In::Inline || parent == In::InlineRun) && is(local, "t"))
        here = In::InlineText;
    if (!self) {
        if (open_.size() >= XmlPullScanner::kMaxDepth)
            return fail("elements nested deeper than a workbook's");
        open_.push_back(Open{static_cast<uint32_t>(openNames_.size()), here});
        openNames_.append(qname);
    }
    pos_ = static_cast<std::size_t>(p - buf_.get());
    return element(here, local, self);
}

SheetRangeSkimmer::Step SheetRangeSkimmer::element(In here, std::string_view local, bool self) {
    switch (here) {
        case In::Value:
            cellHasValue_ = true;
            return Step::Done;
        case In::Inline:
            cellValued_ = true;  // an inline string holds a value, whatever its text
            cellHasInline_ = true;
            return Step::Done;
        case In::Formula:
        case In::InlineRun:
        case In::InlineText:
            return Step::Done;
        case In::Cell: {
            uint32_t c = column_ + 1, r = row_;
            if (hasR_ && !detail::parseCellRef(attrR_, c, r))
                return fail("a cell reference that is none, or past XFD1048576");
            if (r != row_ || c <= column_ || c > detail::kMaxColumn)
                return fail("a cell out of order");
            uint32_t style = 0;
            if (hasS_ && !detail::parseUnsigned(attrS_, style)) return fail("a bad style index");
            column_ = c;
            cellType_ = hasT_ ? cellTypeOf(attrT_) : CellType::Number;
            cellStyle_ = style;
            cellShared_ = cellType_ == CellType::Shared;
            cellValued_ = cellHasValue_ = cellHasInline_ = false;
            value_.clear();
            inline_.clear();
            return self ? endCell() : Step::Done;
        }
        case In::Row: {
            uint32_t r = row_ + 1;
            if (hasR_ && !detail::parseUnsigned(attrR_, r))
                return fail("a row number that is none");
            if (r <= row_ || r > detail::kMaxRow)
                return fail("row " + std::to_string(r) + " out of order or past the last");
            row_ = r;
            column_ = 0;
            rowDigitCount_ = static_cast<std::size_t>(
                std::to_chars(rowDigits_, rowDigits_ + sizeof rowDigits_, r).ptr - rowDigits_);
            return self ? endRow() : Step::Done;
        }
        case In::SheetData:
            return Step::Done;
        case In::Other:
            break;
    }
    if (is(local, "mergeCell") && hasRef_) {
        const std::size_t colon = attrRef_.find(':');
        SheetMerge m{};
        if (colon != std::string_view::npos &&
            detail::parseCellRef(attrRef_.substr(0, colon), m.firstColumn, m.firstRow) &&
            detail::parseCellRef(attrRef_.substr(colon + 1), m.lastColumn, m.lastRow) &&
            m.firstColumn <= m.lastColumn && m.firstRow <= m.lastRow)
            merges_.push_back(m);
    }
    return Step::Done;
}

bool SheetRangeSkimmer::plainCells() {
    const char* start = buf_.get() + pos_;
    const char* p = start;
    // A plain cell or row tag is read only where the buffer holds a good deal more than one, so
    // that its searches never look past the buffer's end.
    const char* end = buf_.get() + size_;
    bool inRow = true;  // as the caller makes sure
    while (static_cast<std::size_t>(end - p) > kPlainMargin && p[0] == '<') {
        if (inRow && p[1] == 'c' && (usualCell(p) || plainCell(p))) {
            if (stopped_) break;
            continue;
        }
        if (inRow && p[1] == '/' && endOfRow(p)) {
            inRow = false;
            if (sink_ && !sink_->rowEnd(row_)) {
                stopped_ = true;
                break;
            }
            continue;
        }
        if (!inRow && p[1] == 'r' && startOfRow(p)) {
            inRow = true;
            continue;
        }
        break;
    }
    pos_ = static_cast<std::size_t>(p - buf_.get());
    return p != start;
}

namespace {

// Whether the 8 bytes at `p` are those of `literal`, compared as one word.
inline bool startsWith8(const char* p, const char (&literal)[9]) {
    uint64_t a, b;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, literal, 8);
    return a == b;
}

// Whether the `n` bytes at `p` (at most 16, all readable) are digits.
inline bool allDigits(const char* p, std::size_t n) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int other = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8('0')), _mm_cmpgt_epi8(v, _mm_set1_epi8('9'))));
    return (static_cast<unsigned>(other) & ((1u << n) - 1)) == 0;
#else
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] < '0' || p[i] > '9') return false;
    return true;
#endif
}

// Whether the `n` bytes at `p` (at most 8, with 8 readable) are those at `q` (8 readable).
inline bool sameBytes(const char* p, const char* q, std::size_t n) {
    if constexpr (std::endian::native == std::endian::little) {
        uint64_t a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, q, 8);
        const uint64_t mask = n >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * n)) - 1;
        return ((a ^ b) & mask) == 0;  // the first bytes are the low ones
    } else {
        for (std::size_t i = 0; i < n; ++i)
            if (p[i] != q[i]) return false;
        return true;
    }
}

// Where in the 16 bytes at `p` the first `a` or `b` stands; 16 when in none.
inline unsigned firstOf(const char* p, char a, char b) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(a)), _mm_cmpeq_epi8(v, _mm_set1_epi8(b))));
    return mask ? static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(mask))) : 16;
#else
    for (unsigned i = 0; i < 16; ++i)
        if (p[i] == a || p[i] == b) return i;
    return 16;
#endif
}

// How many digits the 16 bytes at `p` open with.
inline unsigned leadingDigits(const char* p) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned other =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_cmplt_epi8(v, _mm_set1_epi8('0')), _mm_cmpgt_epi8(v, _mm_set1_epi8('9'))))) |
        0x10000u;
    return static_cast<unsigned>(__builtin_ctz(other));
#else
    unsigned n = 0;
    while (n < 16 && p[n] >= '0' && p[n] <= '9')
        ++n;
    return n;
#endif
}

// Whether the `n` bytes at `p` (at most 8, with 8 readable) are those of `literal`.
template <std::size_t N>
inline bool opensWith(const char* p, const char (&literal)[N]) {
    static_assert(N - 1 <= 8);
    char word[8] = {};
    std::memcpy(word, literal, N - 1);
    return sameBytes(p, word, N - 1);
}

// Where in the window of 64 bytes at `p` quotes, '<' and '&' stand, a bit for each byte.
struct Marks {
    uint64_t quote, lt, amp;
};

inline Marks marksOf(const char* p) {
    Marks m{0, 0, 0};
#if defined(__SSE2__)
    for (unsigned i = 0; i < 64; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        auto bits = [&](char c) {
            return static_cast<uint64_t>(static_cast<unsigned>(
                       _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c)))))
                   << i;
        };
        m.quote |= bits('"');
        m.lt |= bits('<');
        m.amp |= bits('&');
    }
#else
    for (unsigned i = 0; i < 64; ++i) {
        m.quote |= uint64_t{p[i] == '"'} << i;
        m.lt |= uint64_t{p[i] == '<'} << i;
        m.amp |= uint64_t{p[i] == '&'} << i;
    }
#endif
    return m;
}

}  // namespace

// </row>, closing the row open.
bool SheetRangeSkimmer::endOfRow(const char*& at) {
    if (!opensWith(at, "</row>")) return false;
    const Open top = open_.back();
    if (top.in != In::Row || !sameName(std::string_view(openNames_).substr(top.nameStart), "row"))
        return false;
    openNames_.resize(top.nameStart);
    open_.pop_back();
    at += 6;
    return true;
}

// <row a="x" b="y">, in the table: single spaces before attributes, double quotes, names of
// letters only (no prefixes), all within the window; the row's number read as element() reads
// it, and anything it would refuse left to it.
bool SheetRangeSkimmer::startOfRow(const char*& at) {
    if (!opensWith(at, "<row ") || open_.back().in != In::SheetData ||
        open_.size() >= XmlPullScanner::kMaxDepth)
        return false;
    const char* p = at + 4;
    std::string_view r;
    bool hasR = false;
    for (;;) {
        if (p - at > static_cast<std::ptrdiff_t>(kWindow)) return false;
        if (*p == '>') {
            ++p;
            break;
        }
        if (*p != ' ') return false;
        const char* name = ++p;
        while (p - name <= 16 && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')))
            ++p;
        const std::size_t length = static_cast<std::size_t>(p - name);
        if (length == 0 || length > 16 || p[0] != '=' || p[1] != '"') return false;
        p += 2;
        const unsigned close = firstOf(p, '"', '<');
        if (close == 16 || p[close] != '"') return false;
        if (length == 1 && name[0] == 'r' && !hasR) {
            hasR = true;
            r = std::string_view(p, close);
        }
        p += close + 1;
    }
    uint32_t number = row_ + 1;
    if (hasR && !detail::parseUnsigned(r, number)) return false;
    if (number <= row_ || number > detail::kMaxRow) return false;
    open_.push_back(Open{static_cast<uint32_t>(openNames_.size()), In::Row});
    openNames_.append("row");
    row_ = number;
    column_ = 0;
    rowDigitCount_ = static_cast<std::size_t>(
        std::to_chars(rowDigits_, rowDigits_ + sizeof rowDigits_, number).ptr - rowDigits_);
    at = p;
    return true;
}

// The form nearly every writer gives a cell: <c r="B12"[ s="7"][ t="s"]><v>text</v></c> or
// <c r="B12"[ s="7"][ t="s"]/>, its reference in this row, a style index of at most nine
// digits, a text of at most 15 bytes without references. Anything else, plainCell reads or
// leaves to the general steps.
bool SheetRangeSkimmer::usualCell(const char*& at) {
    const char* p = at;
    if (!opensWith(p, "<c r=\"")) return false;
    p += 6;
    uint32_t c = 0;
    unsigned letters = 0;
    for (; letters < 3 && p[letters] >= 'A' && p[letters] <= 'Z'; ++letters)
        c = c * 26 + static_cast<uint32_t>(p[letters] - 'A' + 1);
    if (letters == 0) return false;
    p += letters;
    if (!sameBytes(p, rowDigits_, rowDigitCount_) || p[rowDigitCount_] != '"') return false;
    p += rowDigitCount_ + 1;
    if (row_ == 0 || c <= column_ || c > detail::kMaxColumn) return false;
    std::string_view style, type;
    if (opensWith(p, " s=\"")) {
        p += 4;
        const unsigned digits = leadingDigits(p);
        if (digits == 0 || digits > 9 || p[digits] != '"') return false;
        style = std::string_view(p, digits);
        p += digits + 1;
    }
    bool shared = false;
    if (opensWith(p, " t=\"")) {
        p += 4;
        const unsigned close = firstOf(p, '"', '<');
        if (close == 16 || p[close] != '"') return false;
        shared = close == 1 && p[0] == 's';
        type = std::string_view(p, close);
        p += close + 1;
    }
    if (p[0] == '/' && p[1] == '>') {
        column_ = c;
        at = p + 2;
        if (sink_ && !plainToSink(c, style, type, false, {})) stopped_ = true;
        return true;
    }
    if (!opensWith(p, "><v>")) return false;
    p += 4;
    const unsigned close = firstOf(p, '<', '&');
    if (close == 16 || !startsWith8(p + close, "</v></c>")) return false;
    if (shared && close) {
        if (leadingDigits(p) < close) return false;
        if (close >= indexDigits_) {
            uint32_t index = 0;
            if (!detail::parseUnsigned(std::string_view(p, close), index) ||
                index >= sharedStrings_)
                return false;
        }
    }
    column_ = c;
    if (close) {
        range_.include(c, row_);
        ++valued_;
        cellTextBytes_ += close;
    }
    at = p + close + 8;
    if (sink_ && !plainToSink(c, style, type, true, std::string_view(p, close))) stopped_ = true;
    return true;
}

// <c a="x" b="y">, <v>, a text without references, </v></c>; or <c a="x"/>, all within the
// window of 64 bytes at `at`. Single spaces before attributes, double quotes, one-letter
// attribute names, no prefixes. Whatever differs here, in form or by damage, is left to the
// general steps, which read it again from its '<' and give the same result or refusal as for
// any other cell.
bool SheetRangeSkimmer::plainCell(const char*& at) {
    // Where the quotes, '<' and '&' of the window stand, found at once: the steps below then
    // only count bits, not search bytes one search after another.
    const Marks marks = marksOf(at);
    std::size_t p = 2;
    std::string_view r, s, t;
    bool hasR = false, hasS = false, hasT = false, self = false;
    for (;;) {
        if (at[p] == '>') {
            ++p;
            break;
        }
        if (at[p] == '/') {
            if (at[p + 1] != '>') return false;
            self = true;
            p += 2;
            break;
        }
        // ' ', a letter, '="'
        if (at[p] != ' ' || at[p + 2] != '=' || at[p + 3] != '"') return false;
        const char name = at[p + 1];
        p += 4;
        const uint64_t quotes = marks.quote >> p;
        if (quotes == 0) return false;
        const auto close = static_cast<std::size_t>(__builtin_ctzll(quotes));
        if ((marks.lt >> p) & ((uint64_t{1} << close) - 1)) return false;
        const std::string_view value(at + p, close);
        p += close + 1;
        if (name == 'r' && !hasR) {
            hasR = true;
            r = value;
        } else if (name == 's' && !hasS) {
            hasS = true;
            s = value;
        } else if (name == 't' && !hasT) {
            hasT = true;
            t = value;
        } else if (!isNameChar(name)) {
            return false;
        }
        // What follows an attribute must lie within the window.
        if (p > kWindow - 8) return false;
    }
    std::string_view text;
    if (!self) {
        if (at[p] != '<' || at[p + 1] != 'v' || at[p + 2] != '>') return false;
        p += 3;
        if (p >= kWindow) return false;
        const uint64_t lts = marks.lt >> p;
        if (lts == 0) return false;
        const auto close = static_cast<std::size_t>(__builtin_ctzll(lts));
        if ((marks.amp >> p) & ((uint64_t{1} << close) - 1)) return false;
        if (!startsWith8(at + p + close, "</v></c>")) return false;
        text = std::string_view(at + p, close);
        p += close + 8;
    }
    // The cell's place: its letters, then its row's own digits (any other spelling, or another
    // row, is for the general steps to read or refuse).
    uint32_t c = column_ + 1;
    if (hasR) {
        std::size_t letters = 0;
        uint32_t col = 0;
        for (; letters < r.size() && letters < 3 && r[letters] >= 'A' && r[letters] <= 'Z';
             ++letters)
            col = col * 26 + static_cast<uint32_t>(r[letters] - 'A' + 1);
        // At most seven digits, compared as one word (the window has room for eight bytes).
        if (letters == 0 || r.size() - letters != rowDigitCount_ ||
            !sameBytes(r.data() + letters, rowDigits_, rowDigitCount_))
            return false;
        c = col;
    }
    if (row_ == 0 || c <= column_ || c > detail::kMaxColumn) return false;
    // A style index of up to nine digits always fits.
    if (hasS && (s.empty() || s.size() > 9 || !allDigits(s.data(), s.size()))) return false;
    if (!text.empty() && hasT && t.size() == 1 && t[0] == 's') {
        if (text.size() > 16 || !allDigits(text.data(), text.size())) return false;
        if (text.size() >= indexDigits_) {
            uint32_t index = 0;
            if (!detail::parseUnsigned(text, index) || index >= sharedStrings_) return false;
        }
    }
    column_ = c;
    if (!text.empty()) {
        range_.include(c, row_);
        ++valued_;
        cellTextBytes_ += text.size();
    }
    at += p;
    if (sink_ &&
        !plainToSink(c, hasS ? s : std::string_view(), hasT ? t : std::string_view(), !self, text))
        stopped_ = true;
    return true;
}

SheetRangeSkimmer::Step SheetRangeSkimmer::endCell() {
    if (cellValued_) {
        if (cellShared_) {
            uint32_t i = 0;
            if (!detail::parseUnsigned(value_, i) || i >= sharedStrings_)
                return fail("a string index past its table at " + cellName(column_, row_));
        }
        range_.include(column_, row_);
        ++valued_;
    }
    if (!sink_) return Step::Done;
    SkimmedCell cell;
    cell.row = row_;
    cell.column = column_;
    cell.style = cellStyle_;
    cell.type = cellType_;
    cell.hasValue = cellHasValue_;
    cell.value = value_;
    cell.hasInline = cellHasInline_;
    cell.inlineText = inline_;
    return sink_->cell(cell) ? Step::Done : Step::Stop;
}

SheetRangeSkimmer::Step SheetRangeSkimmer::endRow() {
    return !sink_ || sink_->rowEnd(row_) ? Step::Done : Step::Stop;
}

bool SheetRangeSkimmer::plainToSink(uint32_t column, std::string_view style, std::string_view type,
                                    bool hasValue, std::string_view value) {
    SkimmedCell cell;
    cell.row = row_;
    cell.column = column;
    // The plain steps take nine digits at most, which always fit.
    if (!style.empty()) detail::parseUnsigned(style, cell.style);
    cell.type = type.data() ? cellTypeOf(type) : CellType::Number;
    cell.hasValue = hasValue;
    cell.value = value;
    return sink_->cell(cell);
}

}  // namespace zbq::workbook
