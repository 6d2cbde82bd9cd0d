// Profile files (ZBQ.ini, the macro file): INI text in CP932 with the semantics of Windows'
// private-profile calls. Section and key names compare without regard to ASCII case, the first
// match wins, values are trimmed of blanks and tabs, a missing key gives the caller's default.
// Lines end in CR LF when written; LF and CR LF are both read.
//
// A ProfileFile holds the file's lines, so writing one key changes that line in place and keeps
// every other section, key, comment and blank line byte for byte. Saving rewrites the whole file
// atomically (atomic_file.h). Not thread-safe; one owner at a time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zbq {

class ProfileFile {
public:
    ProfileFile() = default;
    // From the bytes of a file.
    explicit ProfileFile(std::string_view bytes);

    // Reads a file; a file that does not exist reads as an empty profile (like Windows). Any
    // other read failure returns false with the errno in *err.
    static bool load(const std::string& path, ProfileFile& out, int* err = nullptr);

    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const;
    // The leading decimal integer of the value (optional sign); the default when the key is
    // missing; 0 when the value does not start with a number.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;  // in file order

    // Writes one key: the first matching line is changed in place; a new key goes after the
    // section's last key line; a new section goes at the end of the file.
    void setString(std::string_view section, std::string_view key, std::string_view value);
    void deleteKey(std::string_view section, std::string_view key);
    // Removes the section's header and every line up to the next section.
    void deleteSection(std::string_view section);

    // The file's bytes as they would be written.
    std::string bytes() const;
    bool save(const std::string& path, int* err = nullptr) const;

private:
    std::vector<std::string> lines_;  // without line ends
};

}  // namespace zbq
