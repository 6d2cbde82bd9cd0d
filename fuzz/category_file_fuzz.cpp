// The category file reader on any bytes: a file is read whole or refused with its line, and
// what it reads is written and read back as the same definition, in bytes proportional to the
// file's own.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "console/category_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CategoryFile::ReadResult read = CategoryFile::ReadCategory(bytes);
    if (const auto* damage = std::get_if<CategoryFile::Damage>(&read)) {
        if (damage->line < 1) std::abort();  // a refusal names a line of the file
        return 0;
    }
    const CategoryDefinition& definition = std::get<CategoryDefinition>(read);
    const std::string written = CategoryFile::WriteCategory(definition);
    // Every line of the file is at least its LF (the empty file reads as five short lines).
    if (written.size() > 2 * size + 16) std::abort();
    const CategoryFile::ReadResult again = CategoryFile::ReadCategory(written);
    const auto* back = std::get_if<CategoryDefinition>(&again);
    if (!back || !(*back == definition)) std::abort();
    if (CategoryFile::WriteCategory(*back) != written) std::abort();
    return 0;
}
