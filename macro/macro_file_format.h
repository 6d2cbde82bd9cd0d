// What the macro file's reader and writer share (FORMAT.md): the three sections, the key names,
// the form an explanation takes in the file, and reading a file whole. CP932 bytes unless a name
// says UTF-8 (texts for messages).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace macrofile {

enum class Section { File, Structure, Macros };

// The section's name as the file holds it (CP932) and as a message shows it (UTF-8).
const std::string& sectionName(Section section);
const char* sectionNameUtf8(Section section);

// "Name3", "Step3_12".
std::string keyName(std::string_view prefix, std::int32_t n);
std::string keyName(std::string_view prefix, std::int32_t n, std::int32_t k);

// An explanation's line breaks stand in the file as "<改行>"; a lone CR or LF too, so no break
// ever reaches the file. Reading turns each "<改行>", and a lone CR a damaged file holds, into
// CR LF.
std::string explanationToFile(std::string_view explanation);
std::string explanationFromFile(std::string_view value);

// Whether a value can stand in the file: a CR, LF or NUL inside it would end or break its line.
bool fitsOneLine(std::string_view value);

// The bytes of a regular file; false when it cannot be read (`bytes` then undefined).
bool readFileBytes(const std::string& path, std::string& bytes);

}  // namespace macrofile
