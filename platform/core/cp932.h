// CP932 (Windows Japanese Shift-JIS) text: conversion to and from UTF-8 and the character-boundary
// helpers that every comparison, cut and search on stored text needs.
//
// All text below the widgets is CP932 bytes in std::string. A byte 0x81-0x9F or 0xE0-0xFC starts
// a two-byte character; everything else (ASCII, half-width katakana 0xA1-0xDF) is one byte.
// Conversion failure policy: CP932 -> UTF-8 never cuts a text short (an invalid byte becomes
// U+FFFD); UTF-8 -> CP932 of a character CP932 lacks fails and says so, and the caller reports it.
// All functions are thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zbq::cp932 {

// True for the first byte of a two-byte CP932 character.
constexpr bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True when byte offset `pos` of `text` starts a character (pos == size() counts as a start).
bool isCharStart(std::string_view text, std::size_t pos);

// The longest prefix length <= maxBytes that ends on a character boundary.
std::size_t cutLength(std::string_view text, std::size_t maxBytes);

// `text` cut to at most maxBytes bytes on a character boundary.
inline std::string_view cut(std::string_view text, std::size_t maxBytes) {
    return text.substr(0, cutLength(text, maxBytes));
}

// Byte offset of the first occurrence of `pattern` that begins at a character start, at or after
// `from`; npos when there is none. An empty pattern is found at `from` (callers decide whether an
// empty pattern should match).
std::size_t find(std::string_view text, std::string_view pattern, std::size_t from = 0);

// True when `text` ends with `suffix` and the suffix begins at a character start.
bool endsWith(std::string_view text, std::string_view suffix);

// Names compared the way the system compares section, key, class and method names: ASCII letters
// without regard to case, everything else byte for byte. The trail byte of a two-byte character
// is never folded ("\x83\x41" is ア, "\x83\x61" is ャ).
bool equalsNoCase(std::string_view a, std::string_view b);

// CP932 -> UTF-8. Never fails and never cuts the text short: an unmapped two-byte character or
// a stray byte becomes U+FFFD and the conversion goes on with the next byte.
std::string toUtf8(std::string_view cp932);

// UTF-8 -> CP932. std::nullopt when the input holds a character CP932 cannot represent (or is
// not valid UTF-8); nothing is dropped silently. Characters that Windows maps one way onto a
// CP932 character are taken (U+301C WAVE DASH becomes ～, U+2212 MINUS SIGN becomes －).
std::optional<std::string> fromUtf8(std::string_view utf8);

// File paths stay UTF-8 in memory and become CP932 only inside the system's own files. A path
// is stored only when it comes back unchanged: a best-fit mapping (U+00A5 to 0x5C, U+301C to
// 0x8160) would name another file. std::nullopt when CP932 cannot hold the path; the message is
// the caller's.
std::optional<std::string> pathToStored(std::string_view utf8Path);
// A stored path back to UTF-8 (undecodable bytes become U+FFFD, which no real file matches).
std::string pathFromStored(std::string_view storedPath);

// CP932 bytes of a UTF-8 literal that is known to be representable ("計", "ﾌﾞﾗﾝｸ"). Aborts on
// a literal CP932 lacks: that is a programming error, caught by the first test that runs it.
std::string literal(std::string_view utf8);

}  // namespace zbq::cp932
