// The texts an item window shows for one value of an item, read from the engine's dictionary in
// natural order, whatever value order and code/name display the item is in: the summary, the
// value list and the graph all read their values this way, so none of them has to switch the
// engine's state to read and put it back. Positions are dictionary positions (0 the error
// value, 1 the blank value, ordinary values from 2). Texts are CP932; numbers never follow the
// locale. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CKWApp;

namespace zbq::windows {

// "%d", "%f" and "%.*f", locale-free; the decimals are clamped to 0..14.
std::string plainInt(std::int64_t value);
std::string plainDouble(double value, std::int32_t decimals = 6);
// "%08d" cut into yyyy/mm/dd when it gives exactly 8 characters, else "".
std::string dateText(std::int32_t yyyymmdd);
// "%06d" cut into hh:mm:ss when it gives exactly 6 characters, else "".
std::string timeText(std::int32_t hhmmss);

// The item's natural dictionary as the windows read it.
class ItemValues {
public:
    ItemValues(const CKWApp& app, std::int32_t item);

    std::int32_t item() const { return item_; }
    std::int32_t itemType() const { return type_; }  // ItemType, -1 for no item
    bool hasCodeColumn() const { return type_ == 0 || type_ == 1; }
    // Dictionary positions, error and blank included; 0 for no item.
    std::int32_t count() const;
    // Records (answers) of the current set holding the value; 0 out of range.
    std::int32_t records(std::int32_t position) const;
    std::int32_t intValue(std::int32_t position) const;
    double doubleValue(std::int32_t position) const;
    // The code or text, and the display name (the code or text when the item has no codes).
    std::string_view code(std::int32_t position) const;
    std::string_view name(std::int32_t position) const;
    // The value as the summary writes it: integers grouped, floats "%f", dates and times cut,
    // codes "<code> -> <name>", texts as they are.
    std::string summaryValue(std::int32_t position) const;

private:
    const CKWApp& app_;
    std::int32_t item_;
    std::int32_t type_;
};

}  // namespace zbq::windows
