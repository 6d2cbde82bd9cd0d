// The password field of a data file's head: 16 bytes that hold the password (up to 16 bytes)
// padded with random decimal filler, shuffled by a fixed position permutation and scrambled
// byte by byte with the text table. The stored length in the head tells password from filler.
//
// Pure functions; ScramblePassword draws its filler from a per-call generator, so every call
// gives different field bytes for a password shorter than 16 bytes. Thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/kw_format.h"

using KW_passwordField = std::array<unsigned char, KW_PASSWORD_FIELD>;

// The field for password: all zero for the empty password. Only the first 16 bytes are kept.
KW_passwordField ScramblePassword(std::string_view password);
// The 16 plain bytes the field holds (password and filler); a byte outside the table gives 0.
std::string UnscramblePassword(const KW_passwordField& field);

namespace kw {

// 0 when a password can be stored whole: at most 16 bytes, none below 0x20. Else -1.
std::int32_t checkPasswordText(std::string_view password);

// True when a file with this field and stored length opens with `given`: always when the
// field's first byte is 0 (no password); else the given text, up to its first NUL, must equal
// the stored password. A stored length above 16 (older files) needs the first 16 bytes to
// match and the given text to have the stored length. A negative stored length never opens.
bool passwordMatches(const KW_passwordField& field, std::int32_t storedLength,
                     std::string_view given);

}  // namespace kw
