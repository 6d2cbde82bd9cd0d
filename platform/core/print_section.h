// The format-printing entries of ZBQ.ini's section [print], read the one way both ZBQ (its menu)
// and the settings tool (its list) read them, so that the tool lists exactly what ZBQ's menu
// shows and a Save of that list shows ZBQ the same menu again.
//
// The keys are PRT01 to PRT99 (any case), each "number,menu name,file", taken in key order; a
// missing or empty key is passed over and reading goes on. An entry is refused when:
//   - it is malformed: fewer than two commas, an empty menu name or file, or a CR or NUL in it
//     (the file could not hold it again and no menu could show it);
//   - its number is the number of an entry taken before it (the number is the menu's command id,
//     so the second could never be chosen);
//   - its key is one the menu never reads (another name, or a number past 99): the entry is
//     reported so that its loss at the tool's next Save is no surprise.
// Texts are CP932, as the file holds them. No state; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "profile.h"

namespace zbq {

inline constexpr std::string_view kPrintSection = "print";
// The menu reads PRT01 to PRT99.
inline constexpr int kPrintKeyCount = 99;

// "prt%02d"
std::string printKey(int position);

// The number of an entry's first field as the C library's decimal conversion reads it: white
// space (blank, \t, \n, \v, \f, \r) skipped, an optional sign, the digits up to the first other
// character (none: 0), saturating at the ends of int.
int printEntryNumber(std::string_view text);

struct PrintEntry {
    std::string key;       // as the file spells it
    std::string number;    // the first field exactly as written ("05" stays "05")
    std::string menuName;  // the second field
    std::string file;      // everything after the second comma (it may hold commas)
    int value() const { return printEntryNumber(number); }
    bool operator==(const PrintEntry&) const = default;
};

// Splits a value at its first two commas. False when it has not got two; the fields may be empty.
bool splitPrintEntry(std::string_view value, std::string& number, std::string& menuName,
                     std::string& file);

struct RefusedPrintEntry {
    enum class Reason { Malformed, DuplicateNumber, KeyNotRead };
    Reason reason = Reason::Malformed;
    std::string key;
    std::string value;
    bool operator==(const RefusedPrintEntry&) const = default;
};

struct PrintSection {
    std::vector<PrintEntry> entries;         // in key order
    std::vector<RefusedPrintEntry> refused;  // PRT01 to PRT99 in key order, then other keys in
                                             // file order
};

PrintSection readPrintSection(const ProfileFile& profile);

}  // namespace zbq
