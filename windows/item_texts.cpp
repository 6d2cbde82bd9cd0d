#include "windows/item_texts.h"

#include <algorithm>
#include <charconv>

#include "app/ckw_app.h"

namespace zbq::windows {

std::string plainInt(std::int64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string plainDouble(double value, std::int32_t decimals) {
    // 309 integer digits at most, the sign, the point and 14 decimals.
    char text[340];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                      std::clamp(decimals, 0, 14));
    if (result.ec != std::errc()) return {};
    return std::string(text, result.ptr);
}

namespace {

// printf's "%0*d": zero-padded after the sign.
std::string padded(std::int32_t value, std::size_t width) {
    std::string digits = plainInt(value < 0 ? -static_cast<std::int64_t>(value) : value);
    const std::size_t room = width - (value < 0 ? 1 : 0);
    if (digits.size() < room) digits.insert(0, room - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

}  // namespace

std::string dateText(std::int32_t yyyymmdd) {
    const std::string d = padded(yyyymmdd, 8);
    if (d.size() != 8 || d[0] == '-') return {};
    return d.substr(0, 4) + "/" + d.substr(4, 2) + "/" + d.substr(6, 2);
}

std::string timeText(std::int32_t hhmmss) {
    const std::string d = padded(hhmmss, 6);
    if (d.size() != 6 || d[0] == '-') return {};
    return d.substr(0, 2) + ":" + d.substr(2, 2) + ":" + d.substr(4, 2);
}

ItemValues::ItemValues(const CKWApp& app, std::int32_t item)
    : app_(app), item_(item), type_(app.GetItemType(item)) {}

std::int32_t ItemValues::count() const {
    return static_cast<std::int32_t>(app_.Search().dictionary(item_).size());
}

std::int32_t ItemValues::records(std::int32_t position) const {
    const auto dict = app_.Search().dictionary(item_);
    if (position < 0 || static_cast<std::size_t>(position) >= dict.size()) return 0;
    return dict[static_cast<std::size_t>(position)].mapCount;
}

std::int32_t ItemValues::intValue(std::int32_t position) const {
    const auto dict = app_.Search().dictionary(item_);
    if (position < 2 || static_cast<std::size_t>(position) >= dict.size()) return 0;
    return dict[static_cast<std::size_t>(position)].high;
}

double ItemValues::doubleValue(std::int32_t position) const {
    const auto dict = app_.Search().dictionary(item_);
    if (position < 2 || static_cast<std::size_t>(position) >= dict.size()) return 0;
    const KW_dict& e = dict[static_cast<std::size_t>(position)];
    return type_ == 3 ? e.asDouble() : e.high;
}

std::string_view ItemValues::code(std::int32_t position) const {
    const char* text = app_.Search().ValueText(item_, position);
    return text ? std::string_view(text) : std::string_view();
}

std::string_view ItemValues::name(std::int32_t position) const {
    const char* text = app_.Search().ValueName(item_, position);
    return text ? std::string_view(text) : std::string_view();
}

std::string ItemValues::summaryValue(std::int32_t position) const {
    switch (type_) {
        case 0:
        case 1:
            return std::string(code(position)) + " -> " + std::string(name(position));
        case 2:
            return CKWApp::FormatInteger(intValue(position));
        case 3:
            return plainDouble(doubleValue(position));
        case 5:
            return dateText(intValue(position));
        case 7:
            return timeText(intValue(position));
        default:
            return std::string(code(position));
    }
}

}  // namespace zbq::windows
