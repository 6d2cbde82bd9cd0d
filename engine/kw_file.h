// Operations on a data file on disk that need no loaded data set: the settings blob behind the
// engine's data and the password fields of the head.
//
// Each checks the magic first and refuses a file that is not a data file (-1001). Writes never
// change a file in place: the new file is written beside it and renamed over it, so a failure
// leaves the old file exactly as it was (its permissions are kept). Results are 0 (or a length)
// on success, else -1001, KW_ERR_DAMAGED for a head whose blob offset lies outside the file,
// -1 for a bad argument, KW_ERR_FILE_TOO_LARGE, or the MapErrno code of a failed file call.
// Thread-safe as far as the files themselves are not written concurrently.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The settings blob: the bytes from the head's blob offset to the end of the file, into
// `blob`. Returns its length (0 for a freshly built file) or a negative code (blob empty).
std::int32_t KWreadBlob(const std::string& path, std::string& blob);

// Replaces the settings blob: the file becomes its data blocks followed by exactly `blob`,
// whether the new blob is shorter or longer than the old one.
std::int32_t KWwriteBlob(const std::string& path, std::string_view blob);

// Stores a password in the head (the empty password removes it). A password longer than 16
// bytes or holding a byte below 0x20 is refused with -1 and nothing is written: every stored
// password can be entered again in full.
std::int32_t KWpwdSet(const std::string& path, std::string_view password);

// 1 when the file carries a password, 0 when not, or a negative code.
std::int32_t KWpwdchk(const std::string& path);
