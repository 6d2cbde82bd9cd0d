// CategoryFile: one category definition as a category file (.ctg), the layout of FORMAT.md.
//
// WriteCategory gives the bytes; ReadCategory takes the bytes of a whole file and gives the
// definition or the first damaged line with its reason, so a damaged file never yields a part
// of a definition. The disk functions put files in place only through an atomic replace and
// report failures with the system's messages (UTF-8); a failure changes no file. Paths are in
// the file system's encoding (UTF-8); texts CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/shared_records.h"

class CategoryFile {
public:
    // What a file's lines may hold: names and members as the settings blob keeps them, values
    // as the small-class dialog takes them. A file larger than kFileMax is no category file.
    static constexpr std::size_t kNameMax = 127;
    static constexpr std::size_t kValueMax = 255;
    static constexpr std::size_t kFileMax = 4u << 20;

    struct Damage {
        std::int32_t line = 0;  // 1-based
        std::string reason;     // for tests and logs; the user sees the line only
        bool operator==(const Damage&) const = default;
    };
    using ReadResult = std::variant<CategoryDefinition, Damage>;

    static std::string WriteCategory(const CategoryDefinition& definition);
    static ReadResult ReadCategory(std::string_view bytes);

    // The definition in the file, or the message to show (nothing is shown here): `message` in
    // Japanese, and the pattern it was made from, whose %1 is the path and %2 the line, for the
    // message's translation.
    struct Imported {
        std::optional<CategoryDefinition> definition;
        std::string message;
        const char* pattern = nullptr;
        std::int32_t line = 0;
    };
    static Imported Import(const std::string& path);
    // Writes the definition over `path` through a temporary file and a rename; the message to
    // show on failure, "" on success.
    static std::string Export(const std::string& path, const CategoryDefinition& definition);
};
