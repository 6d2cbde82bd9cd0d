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

// CP932 -> UTF-8. Never fails: an invalid or unmapped byte becomes U+FFFD.
std::string toUtf8(std::string_view cp932);

// UTF-8 -> CP932. std::nullopt when the input holds a character CP932 cannot represent (or is
// not valid UTF-8); nothing is dropped silently.
std::optional<std::string> fromUtf8(std::string_view utf8);

// CP932 bytes of a UTF-8 literal that is known to be representable ("計", "ﾌﾞﾗﾝｸ"). Aborts on
// a literal CP932 lacks: that is a programming error, caught by the first test that runs it.
std::string literal(std::string_view utf8);

}  // namespace zbq::cp932
