// The two ways the macro file's keys are read, both indexed in one pass over the whole file so
// that a file of a million lines reads in linear time:
//  - the profile view (Version, ItemCnt, Name, Exp, StepCnt, Step): as the system's profile
//    files read (platform/core/profile.h): section and key names without regard to ASCII case,
//    the first block of a section and the first key in it count, values trimmed of blanks and
//    tabs and then one pair of matching quotes dropped;
//  - the key table (the structure keys): section-blind, every "key=value" line of the file with
//    key and value as they stand, names compared byte for byte, the first occurrence counting.
// Lines of any length; LF or CR LF ends. Texts are CP932 bytes. Views point into the object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

class MacroFileIndex {
public:
    explicit MacroFileIndex(std::string bytes);
    MacroFileIndex(const MacroFileIndex&) = delete;
    MacroFileIndex& operator=(const MacroFileIndex&) = delete;

    std::optional<std::string_view> profile(std::string_view section, std::string_view key) const;
    std::optional<std::string_view> key(std::string_view key) const;

private:
    std::string bytes_;
    // The profile keys of every section under one index: the section's number (4 bytes), then
    // the key's folded name.
    std::unordered_map<std::string, std::uint32_t> sections_;  // by folded name
    std::unordered_map<std::string, std::string_view> keys_;
    std::unordered_map<std::string_view, std::string_view> table_;
};
