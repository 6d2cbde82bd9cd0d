// The records the application object shares with every window: record sets, category
// definitions, search conditions, the cross-tabulation settings block and the format-printing
// entries. Plain values; texts are CP932 bytes. The application object owns the lists; windows
// read copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/kw_map.h"

// Captions and titles of sets hold at most this many bytes (the settings blob's field, less its
// NUL).
inline constexpr std::size_t kSetTextBytes = 255;

// "No.%d %s / %s" of number, title and the record count with "," every three digits, cut to
// kSetTextBytes on a character boundary.
std::string setCaption(std::int32_t number, const std::string& title, std::int32_t records);

// One record set of the set tree. Set 0 is the whole data set and has no map. Sets are kept in
// tree pre-order; numbers only grow.
struct SetRecord {
    std::int32_t level = 0;   // depth in the set tree
    std::int32_t number = 0;  // "No.%d" in the tree
    std::string text1;        // caption: the title or the search text that made the set
    std::string text2;        // "No.%d <caption> / <records>"
    std::string text3;
    KW_mapPtr map;               // null: all records
    std::int32_t mapLength = 0;  // byte length of the map, 0 without one
    std::int32_t recordCount = 0;

    bool operator==(const SetRecord& other) const {
        return level == other.level && number == other.number && text1 == other.text1 &&
               text2 == other.text2 && text3 == other.text3 && mapLength == other.mapLength &&
               recordCount == other.recordCount &&
               (map == other.map || (map && other.map && *map == *other.map));
    }
};

// A small class: a condition on a value. Operators (stored index): 0 "=", 1 "!", 2 ">=", 3 ">",
// 4 "<=", 5 "<", 6 "[n1,n2]", 7 "(n1,n2]", 8 "[n1,n2)", 9 "(n1,n2)".
struct SmallClassDefinition {
    std::string name;
    std::int32_t op = 0;
    std::string value1;  // may be a reserved class word
    std::string value2;  // operators 6 to 9 only

    bool operator==(const SmallClassDefinition&) const = default;
};

// One row of a middle or large class: the class's name and one member of the level below. A
// class of several members is several rows of one name.
struct ClassGrouping {
    std::string name;
    std::string member;

    bool operator==(const ClassGrouping&) const = default;
};

// ValueType of a category: -1 none, 0 Universal, 1 Integer, 2 Float, 3 Date, 4 Time, 5 String,
// 6 Code.
struct CategoryDefinition {
    std::string name;
    std::int32_t valueType = -1;
    std::vector<SmallClassDefinition> smallClasses;
    std::vector<ClassGrouping> middleClasses;
    std::vector<ClassGrouping> largeClasses;

    bool operator==(const CategoryDefinition&) const = default;
};

// One condition of the data-selection tab. Operators: 0 "=", 1 not equal, 2 ">", 3 ">=", 4 "<",
// 5 "<=", 6 range with exclusive lower bound, 7 range with inclusive lower bound.
struct SearchCondition {
    std::int32_t item = -1;
    std::int32_t op = -1;
    std::int32_t upperInclusive = -1;  // ranges: 0 "<", 1 "<=", -1 none
    std::string value1;
    std::string value2;
    std::int32_t valueKind = -1;  // 2 number, 1 text, 0 code, -1 not set

    bool operator==(const SearchCondition&) const = default;
};

// The cross-tab page's settings, replaced whole by the page and read whole by the cross-tab
// window.
struct CrossSettings {
    std::int32_t xItem = -1;
    std::int32_t yItem = -1;
    std::int32_t zItem = -1;
    std::int32_t xCategory = -1;  // index into the category list
    std::int32_t yCategory = -1;
    std::int32_t xCheck = 0;
    std::int32_t yCheck = 0;
    std::int32_t xLevel = -1;  // class level of the X category
    std::int32_t yLevel = -1;
    std::int32_t kind = -1;  // aggregate kind
    double percentage = -1.0;

    bool operator==(const CrossSettings&) const = default;
};

// One entry of the format-printing menu, from [print] of ZBQ.ini.
struct PrintMenuEntry {
    std::int32_t number = 0;  // also the menu command id
    std::string menuName;
    std::string formatFile;  // resolved against the program directory

    bool operator==(const PrintMenuEntry&) const = default;
};
