// The settings block: the decoded form of the settings blob that every saved data file carries
// behind the engine's data (FORMAT.md in this folder gives the byte layout). Saving fills it
// from the application object and serialises it; opening a data file deserialises it and the
// restore steps move its parts into the application object, each emptying the part it took.
// Texts are CP932 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/shared_records.h"

struct SettingsBlock {
    // One set as the blob stores it; its map is the byte string of the same index - 1.
    struct Set {
        std::int32_t level = 0;
        std::int32_t number = 0;
        std::string text1;  // at most 255 bytes
        std::string text2;
        std::int32_t mapLength = 0;

        bool operator==(const Set&) const = default;
    };

    std::string definitionText;  // the definition lines, each ended by CR LF (no final zero)
    std::string structureImage;  // CStructDef image
    std::vector<std::int32_t> displayItems;
    std::int32_t nextSetNo = 1;     // word 3
    std::int32_t markedSetNo = -1;  // word 4: the set marked when saved, -1 none
    std::vector<Set> sets;
    std::vector<CategoryDefinition> categories;
    std::vector<std::string> maps;  // byte strings: the maps of sets 1 .. M - 1

    bool operator==(const SettingsBlock&) const = default;
};
