// Profile files (ZBQ.ini, the macro file): INI text in CP932 with the semantics of Windows'
// private-profile calls. Section and key names compare without regard to ASCII case (two-byte
// characters compare exactly), the first match wins, values are trimmed of blanks and tabs and
// then lose one pair of matching surrounding quotes (" or '), a missing key gives the caller's
// default. Lines end in CR LF when written; LF and CR LF are both read. A line whose first
// non-blank is ';' is a comment; lines before the first section belong to no section. A UTF-8
// byte-order mark at the start (many editors write one) is no part of the first line: it is
// skipped when reading and written back in front when saving.
//
// A ProfileFile holds the file's lines, so writing one key changes that line in place and keeps
// every other section, key, comment and blank line byte for byte. Saving rewrites the whole file
// atomically (atomic_file.h). Not thread-safe; one owner at a time.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zbq {

// Blanks and tabs taken off both ends of a section name, key or value.
std::string_view profileTrim(std::string_view text);
// A value as reading gives it: trimmed, then one pair of matching surrounding quotes dropped.
std::string_view profileValue(std::string_view raw);

class ProfileFile {
public:
    ProfileFile() = default;
    // From the bytes of a file.
    explicit ProfileFile(std::string_view bytes);

    // No profile of ours comes near this; a bigger file is refused before it is read.
    static constexpr std::size_t kMaxBytes = std::size_t{16} << 20;

    // Reads a file; a file that does not exist reads as an empty profile (like Windows). Any
    // other read failure returns false with the errno in *err and leaves `out` as it was. The
    // file is opened without blocking and read only when it is a regular file (EISDIR for a
    // folder, EINVAL for a FIFO, device or socket) of at most kMaxBytes (EFBIG), so that a FIFO
    // or a link to a device can neither hang the reader nor fill its memory. `st`, when given,
    // receives the fstat of the file read (left as it was for a file that does not exist).
    static bool load(const std::string& path, ProfileFile& out, int* err = nullptr,
                     struct stat* st = nullptr);

    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const;
    // The leading decimal integer of the value (optional sign); the default when the key is
    // missing; 0 when the value does not start with a number. Values beyond int saturate.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    std::vector<std::string> sectionNames() const;                      // first spelling of each
    std::vector<std::string> keyNames(std::string_view section) const;  // in file order

    // Every key of the section with the value getString gives it (the first line of a key
    // wins), in file order; one pass, for callers that read many keys.
    struct Entry {
        std::string key;
        std::string value;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entries(std::string_view section) const;

    // Writes one key: the first matching line is changed in place; a new key goes after the
    // section's last key line; a new section goes at the end of the file. A value that reading
    // would alter (surrounding blanks, surrounding matching quotes) is written inside one more
    // pair of double quotes, so getString returns exactly what was set.
    // Returns false and changes nothing when the file could not hold the names or the value:
    // an empty name, blanks around a name, a line break or NUL anywhere, ']' in a section name,
    // '=' in a key or a key starting with ';' or '['.
    bool setString(std::string_view section, std::string_view key, std::string_view value);
    // Removes every line of the key in the section.
    void deleteKey(std::string_view section, std::string_view key);
    // Writes many keys of one section in one pass, as setString would one by one, then removes
    // every other key of the section. False, with nothing changed, when any name or value could
    // not be stored.
    bool setSectionKeys(std::string_view section, const std::vector<Entry>& keys);
    // Removes the section's header and every line up to the next section; a section that occurs
    // more than once is removed everywhere.
    void deleteSection(std::string_view section);

    // The file's bytes as they would be written.
    std::string bytes() const;
    // Refuses, writing nothing, bytes beyond kMaxBytes (EFBIG): no reader would take them back.
    bool save(const std::string& path, int* err = nullptr) const;

private:
    enum class Kind : unsigned char { Other, Section, Key };  // Other: blank, comment, stray text
    struct Line {
        std::string text;  // without line end
        Kind kind = Kind::Other;
        std::size_t nameBegin = 0;  // section or key name, trimmed, within text
        std::size_t nameSize = 0;
        std::size_t valueBegin = 0;  // Key: just after the '='

        std::string_view name() const { return std::string_view(text).substr(nameBegin, nameSize); }
        std::string_view value() const;  // trimmed and unquoted
    };
    static Line parse(std::string text);

    std::size_t findSection(std::string_view section) const;  // header line index or npos
    std::size_t sectionEnd(std::size_t header) const;         // next header or end of file
    std::size_t findKey(std::string_view section, std::string_view key) const;

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
};

// A name with its ASCII letters lowered outside two-byte characters: two names compare equal
// without regard to case exactly when their folded forms are equal.
std::string profileFoldedName(std::string_view name);

}  // namespace zbq
