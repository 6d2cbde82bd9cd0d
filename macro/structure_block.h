// The structure block of the macro area: the shape of the data set the macros were recorded on
// (item types, CSV columns, groups, the codes of code items), taken from the current structure
// definition or read from a macro file, and the comparison that keeps macros from playing on a
// data set of another shape. Plain values; texts are CP932 bytes except the difference texts,
// which are UTF-8 for the message they go into.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/struct_def.h"

// The codes of one Code or MultiAns item.
struct CodeList {
    std::int32_t itemPosition = 0;   // the item's position in the item list, from 1
    std::vector<std::string> codes;  // the codes (not their names), in order

    bool operator==(const CodeList&) const = default;
};

struct MacroStructureBlock {
    std::int32_t itemCount = 0;
    std::vector<std::string> itemTypes;    // "Code", "MultiAns", "Integer", ... per item
    std::vector<std::int32_t> csvColumns;  // per item, counted from 1
    std::vector<std::string> groups;       // per item, the group names joined by "/"
    std::vector<CodeList> codeLists;       // one per Code or MultiAns item, in item order

    bool operator==(const MacroStructureBlock&) const = default;
};

// The block of a structure definition. Messages are let through before each item.
MacroStructureBlock BlockFromStructDef(const CStructDef& definition);

// Empty when `block` and `reference` agree; else the first difference, in the order item count,
// per item (type, CSV column, groups), number of code lists, and per code list of the reference
// (a list for that item, its number of codes, each code). Item and code numbers from 1.
std::string CompareStructureBlock(const MacroStructureBlock& block,
                                  const MacroStructureBlock& reference);
std::string CompareStructureBlock(const MacroStructureBlock& block, const CStructDef& reference);
