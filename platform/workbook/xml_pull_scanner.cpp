// The chunked XML pull scanner.
#include "platform/workbook/xml_pull_scanner.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <utility>

namespace zbq::workbook {

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The characters that end a stretch of a tag outside quotes.
constexpr auto kTagStop = [] {
    std::array<bool, 256> stop{};
    stop['>'] = stop['"'] = stop['\''] = true;
    return stop;
}();

bool isNameChar(char c) {
    return !isSpace(c) && c != '/' && c != '>' && c != '=' && c != '<' && c != '"' && c != '\'';
}

}  // namespace

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool XmlPullScanner::decode(std::string_view raw, std::string& out) {
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t amp = raw.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(raw.substr(i));
            break;
        }
        out.append(raw.substr(i, amp - i));
        const std::size_t semi = raw.find(';', amp);
        if (semi == std::string_view::npos || semi - amp > 12) return false;
        const std::string_view ref = raw.substr(amp + 1, semi - amp - 1);
        if (ref == "lt")
            out += '<';
        else if (ref == "gt")
            out += '>';
        else if (ref == "amp")
            out += '&';
        else if (ref == "quot")
            out += '"';
        else if (ref == "apos")
            out += '\'';
        else if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            uint32_t cp = 0;
            const auto res =
                std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
            if (digits.empty() || res.ec != std::errc() ||
                res.ptr != digits.data() + digits.size() || cp == 0 || cp > 0x10FFFF ||
                (cp >= 0xD800 && cp <= 0xDFFF))
                return false;
            appendUtf8(out, cp);
        } else {
            return false;
        }
        i = semi + 1;
    }
    return true;
}

bool XmlPullScanner::fill() {
    if (eof_ || failed_) return false;
    if (pos_ > 0 && pos_ >= buf_.size() / 2) {  // drop what was handed out already
        buf_.erase(0, pos_);
        pos_ = 0;
    }
    if (buf_.size() - pos_ > kMaxToken) {
        failed_ = true;
        error_ = "a tag or text longer than the scanner takes";
        return false;
    }
    const std::size_t old = buf_.size();
    buf_.resize(old + kChunk);
    const long long got = source_(buf_.data() + old, kChunk);
    if (got < 0) {
        buf_.resize(old);
        failed_ = true;
        error_ = "the part cannot be read to its end";
        return false;
    }
    buf_.resize(old + static_cast<std::size_t>(got));
    if (got == 0) eof_ = true;
    return got > 0;
}

bool XmlPullScanner::findFrom(std::string_view what, std::size_t from, std::size_t& at) {
    for (;;) {
        at = buf_.find(what, pos_ + from);
        if (at != std::string::npos) return true;
        if (buf_.size() - pos_ >= what.size()) from = buf_.size() - pos_ - what.size() + 1;
        if (!fill()) return false;
    }
}

XmlPullScanner::Event XmlPullScanner::fail(std::string message) {
    failed_ = true;
    if (error_.empty()) error_ = std::move(message);
    return Event::Error;
}

XmlPullScanner::Event XmlPullScanner::next() {
    // Comments, instructions and whitespace between elements are skipped in this loop, not by
    // recursion: a part may hold millions of them.
    for (;;)
        if (const Event event = step(); event != kSkipped) return event;
}

XmlPullScanner::Event XmlPullScanner::step() {
    if (failed_) return Event::Error;
    attrs_.clear();
    if (pos_ >= buf_.size() && !fill()) {
        if (failed_) return Event::Error;
        if (!openStarts_.empty()) return fail("the part ends inside an element");
        if (!rootSeen_) return fail("the part holds no element");
        return Event::End;
    }
    if (buf_[pos_] != '<') {
        std::size_t lt = buf_.find('<', pos_);
        while (lt == std::string::npos) {
            const std::size_t offset = buf_.size() - pos_;
            if (!fill()) {
                if (failed_) return Event::Error;
                lt = buf_.size();
                break;
            }
            lt = buf_.find('<', pos_ + offset);
        }
        if (lt - pos_ > kMaxToken) return fail("a text longer than the scanner takes");
        text_ = std::string_view(buf_).substr(pos_, lt - pos_);
        textIsCdata_ = false;
        pos_ = lt;
        if (openStarts_.empty()) {
            std::string_view outside = text_;
            if (std::exchange(firstToken_, false) && outside.starts_with(kByteOrderMark))
                outside.remove_prefix(kByteOrderMark.size());
            for (char c : outside)
                if (!isSpace(c)) return fail("text outside the root element");
            return kSkipped;
        }
        return Event::Text;
    }
    firstToken_ = false;
    // Markup: make sure enough of it is here to tell its kind.
    while (buf_.size() - pos_ < 9 && fill()) {
    }
    if (failed_) return Event::Error;
    if (buf_.size() - pos_ > 1 && (buf_[pos_ + 1] == '!' || buf_[pos_ + 1] == '?')) {
        const std::string_view head = std::string_view(buf_).substr(pos_);
        if (head.starts_with("<!--")) {
            std::size_t end;
            if (!findFrom("-->", 4, end)) return fail("a comment without its end");
            pos_ = end + 3;
            return kSkipped;
        }
        if (head.starts_with("<?")) {
            std::size_t end;
            if (!findFrom("?>", 2, end)) return fail("a processing instruction without its end");
            pos_ = end + 2;
            return kSkipped;
        }
        if (head.starts_with("<![CDATA[")) {
            std::size_t end;
            if (!findFrom("]]>", 9, end)) return fail("a CDATA section without its end");
            if (openStarts_.empty()) return fail("CDATA outside the root element");
            text_ = std::string_view(buf_).substr(pos_ + 9, end - pos_ - 9);
            textIsCdata_ = true;
            pos_ = end + 3;
            return Event::Text;
        }
        if (head.starts_with("<!")) return fail("a document type declaration");
    }
    // A tag ends at the first '>' outside quotes.
    std::size_t i = pos_ + 1;
    char quote = 0;
    for (;;) {
        if (i >= buf_.size()) {
            const std::size_t offset = i - pos_;
            if (!fill()) return fail("the part ends inside a tag");
            i = pos_ + offset;
            continue;
        }
        const char* data = buf_.data();
        const std::size_t size = buf_.size();
        if (quote) {
            // A value runs to its closing quote, and never holds a '<'. Values are short: a
            // plain loop beats a library search here.
            while (i < size && data[i] != quote && data[i] != '<')
                ++i;
            if (i >= size) continue;
            if (data[i] == '<') return fail("'<' in an attribute value");
            quote = 0;
            ++i;
            continue;
        }
        while (i < size && !kTagStop[static_cast<unsigned char>(data[i])])
            ++i;
        if (i >= size) continue;
        if (data[i] == '>') break;
        quote = data[i++];
    }
    return startOrEnd(i);
}

XmlPullScanner::Event XmlPullScanner::startOrEnd(std::size_t close) {
    if (close - pos_ > kMaxToken) return fail("a tag longer than the scanner takes");
    const std::string_view tag = std::string_view(buf_).substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;
    auto setLocal = [this](std::string_view qname) {
        const std::size_t colon = qname.find(':');
        local_ = colon == std::string_view::npos ? qname : qname.substr(colon + 1);
    };
    if (!tag.empty() && tag[0] == '/') {
        std::size_t end = tag.size();
        while (end > 1 && isSpace(tag[end - 1]))
            --end;
        const std::string_view qname = tag.substr(1, end - 1);
        if (openStarts_.empty()) return fail("an end tag that matches no start");
        const std::string_view open = std::string_view(openNames_).substr(openStarts_.back());
        if (open.size() != qname.size() || !std::equal(open.begin(), open.end(), qname.begin()))
            return fail("an end tag that matches no start");
        setLocal(qname);  // a view into the buffer, which outlives the popped name
        openNames_.resize(openStarts_.back());
        openStarts_.pop_back();
        return Event::EndElement;
    }
    std::size_t n = 0;
    while (n < tag.size() && isNameChar(tag[n]))
        ++n;
    if (n == 0) return fail("a tag without a name");
    const std::string_view qname = tag.substr(0, n);
    std::size_t i = n;
    selfClosing_ = false;
    for (;;) {
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size()) break;
        if (tag[i] == '/' && i + 1 == tag.size()) {
            selfClosing_ = true;
            break;
        }
        const std::size_t nameStart = i;
        while (i < tag.size() && isNameChar(tag[i]))
            ++i;
        if (i == nameStart) return fail("a malformed attribute");
        std::string_view aname = tag.substr(nameStart, i - nameStart);
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=') return fail("an attribute without a value");
        ++i;
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) return fail("an unquoted value");
        const char q = tag[i];
        const std::size_t end = tag.find(q, i + 1);
        if (end == std::string_view::npos) return fail("an unterminated value");
        const std::size_t colon = aname.find(':');
        if (colon != std::string_view::npos) aname = aname.substr(colon + 1);
        attrs_.push_back(
            Attribute{aname, tag.substr(i + 1, end - i - 1), colon != std::string_view::npos});
        i = end + 1;
        if (i < tag.size() && !isSpace(tag[i]) && tag[i] != '/')
            return fail("attributes without space between them");
    }
    if (openStarts_.empty()) {
        if (rootSeen_) return fail("a second root element");
        rootSeen_ = true;
    }
    setLocal(qname);
    if (!selfClosing_) {
        if (openStarts_.size() >= kMaxDepth)
            return fail("elements nested deeper than a workbook's");
        openStarts_.push_back(openNames_.size());
        openNames_.append(qname);
    }
    return Event::StartElement;
}

bool XmlPullScanner::attribute(std::string_view local, std::string_view& raw) const {
    for (const Attribute& a : attrs_)
        if (a.name.size() == local.size() &&
            std::equal(a.name.begin(), a.name.end(), local.begin())) {
            raw = a.value;
            return true;
        }
    return false;
}

bool XmlPullScanner::attribute(std::string_view local, bool prefixed, std::string_view& raw) const {
    for (const Attribute& a : attrs_)
        if (a.prefixed == prefixed && a.name == local) {
            raw = a.value;
            return true;
        }
    return false;
}

bool XmlPullScanner::appendText(std::string& out) {
    if (textIsCdata_) {
        out.append(text_);
        return true;
    }
    if (!decode(text_, out)) {
        fail("a bad character or entity reference");
        return false;
    }
    return true;
}

}  // namespace zbq::workbook
