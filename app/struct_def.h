// The structure definition of a data set, in four records that write themselves into a byte
// image and read themselves back (byte_stream.h): the image travels inside every saved data
// file's settings blob, so a data file reopens with its definition. FORMAT.md in this folder
// gives the layout.
//
// ItemType numbering: 0 Code, 1 MultiAns, 2 Integer, 3 Float, 4 String, 5 Date, 7 Time; -1 not
// yet set. Item numbers are positions in the definition, from 0. Texts are CP932 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/byte_stream.h"

// One code of a Code or MultiAns item.
class CCodeEntry : public CByteStream {
public:
    std::string code;
    std::string name;

    std::int32_t Save(std::string_view* out) override;
    std::int32_t Load(const char* source, std::int32_t length) override;
    bool operator==(const CCodeEntry& o) const { return code == o.code && name == o.name; }
};

// The code list of one item.
class CCodeDef : public CByteStream {
public:
    std::int32_t itemNo = 0;
    std::vector<CCodeEntry> codes;

    std::int32_t Save(std::string_view* out) override;
    std::int32_t Load(const char* source, std::int32_t length) override;
    bool operator==(const CCodeDef& o) const { return itemNo == o.itemNo && codes == o.codes; }
};

// One item (column).
class CItemDef : public CByteStream {
public:
    std::int32_t itemNo = 0;
    std::string name;
    std::int32_t type = -1;
    std::vector<std::string> groups;  // enclosing groups, outermost first
    std::int32_t csvColumn = 0;       // 0-based column of the text data

    std::int32_t Save(std::string_view* out) override;
    std::int32_t Load(const char* source, std::int32_t length) override;
    bool operator==(const CItemDef& o) const {
        return itemNo == o.itemNo && name == o.name && type == o.type && groups == o.groups &&
               csvColumn == o.csvColumn;
    }
};

class CStructDef : public CByteStream {
public:
    std::string title;
    std::int32_t header = 1;          // 1: the text data begins with a heading line
    char separator = '\t';            // '\t', or ',' after NOTTAB
    std::string allocText;            // the Alloc value without quotes
    std::vector<std::int32_t> alloc;  // 0-based column of each item; empty: item i reads column i
    std::int32_t itemCount = 0;
    std::vector<CItemDef> items;
    std::vector<CCodeDef> codeLists;

    // Back to the defaults of a fresh parse.
    void Reset();

    std::int32_t Save(std::string_view* out) override;
    // Also refuses an image whose item count differs from its number of items.
    std::int32_t Load(const char* source, std::int32_t length) override;
    bool operator==(const CStructDef& o) const {
        return title == o.title && header == o.header && separator == o.separator &&
               allocText == o.allocText && alloc == o.alloc && itemCount == o.itemCount &&
               items == o.items && codeLists == o.codeLists;
    }
};
