// A small pull scanner over XML that arrives in chunks: worksheets are read as they inflate,
// never held whole.
//
// It hands out start tags (with their attributes), end tags and text, and checks what a reader
// of untrusted parts must: tags nest and match, entity and character references are the five
// predefined ones or numeric, one root element, nothing but whitespace after it. Document type
// declarations are refused (no entity of ours needs one, and they are how XML is made to
// explode). A single tag or text longer than kMaxToken is refused, so damage cannot make it hold
// more, nor elements nested deeper than kMaxDepth. Names and attribute values are views valid until
// the next call of next().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zbq::workbook {

// The UTF-8 bytes of a code point (no surrogates, at most U+10FFFF), appended to `out`.
void appendUtf8(std::string& out, uint32_t codePoint);

class XmlPullScanner {
public:
    // A cell holds at most 32,767 characters; nothing a worksheet holds comes near this.
    static constexpr std::size_t kMaxToken = std::size_t{16} << 20;
    // Some writers open a part with it; it is no text of the document.
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    // Worksheets nest a few levels deep; a part nested deeper is built to exhaust memory.
    static constexpr std::size_t kMaxDepth = 256;
    // Fills up to `size` bytes; returns how many (0 at the end), or -1 when the source failed.
    using Source = std::function<long long(char* data, std::size_t size)>;

    enum class Event { StartElement, EndElement, Text, End, Error };

    explicit XmlPullScanner(Source source) : source_(std::move(source)) {}

    Event next();
    // Of the last StartElement or EndElement: the name without its prefix.
    std::string_view localName() const { return local_; }
    // Of the last StartElement: true for <x/> (no EndElement follows for it).
    bool selfClosing() const { return selfClosing_; }
    // Of the last StartElement: the raw value of the attribute with that local name (no prefix
    // looked at); false when there is none.
    bool attribute(std::string_view local, std::string_view& raw) const;
    // The same, of the attributes with a prefix ("r:id" as "id") or without one only, so that a
    // plain "id" never stands in for "r:id".
    bool attribute(std::string_view local, bool prefixed, std::string_view& raw) const;
    // Of the last Text: its characters with references resolved, appended to `out`; false (and
    // error() set) for a bad reference.
    bool appendText(std::string& out);
    // Resolves the references of an attribute value; false for a bad one.
    static bool decode(std::string_view raw, std::string& out);
    const std::string& error() const { return error_; }

private:
    // What step() returns when it skipped something. A plain enum value, not an optional: the
    // scanner steps a few times per cell, and a wider return costs on every one.
    static constexpr Event kSkipped = static_cast<Event>(-1);
    Event step();
    bool fill();  // reads more; false at the end of the source or on failure
    Event fail(std::string message);
    Event startOrEnd(std::size_t close);
    bool findFrom(std::string_view what, std::size_t from, std::size_t& at);

    Source source_;
    std::string buf_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    bool rootSeen_ = false;
    bool firstToken_ = true;  // a part may open with a UTF-8 byte-order mark
    std::string error_;
    // The qualified names of the open elements, back to back, and where each begins: one
    // buffer rather than a string per element, since every cell opens two.
    std::string openNames_;
    std::vector<std::size_t> openStarts_;
    std::string_view local_;
    bool selfClosing_ = false;
    struct Attribute {
        std::string_view name;  // without its prefix
        std::string_view value;
        bool prefixed;
    };
    std::vector<Attribute> attrs_;
    std::string_view text_;
    bool textIsCdata_ = false;
};

}  // namespace zbq::workbook
