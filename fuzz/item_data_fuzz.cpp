// The graph control's item text on any bytes: it is read whole or refused, never half; what it
// reads is as many items as a workbook holds, each name one a cell holds, the total their sum,
// and writing the items back as text reads back as the same items.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "graphctl/item_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zbq::grafvik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = parseItemData(text);
    if (!read) return 0;
    if (read->items.empty() || read->items.size() > kMaxItems) std::abort();
    std::int64_t sum = 0;
    std::string written;
    for (const Item& item : read->items) {
        if (item.name.find('\t') != std::string::npos) std::abort();
        if (item.name.size() > 4 * kMaxNameUnits) std::abort();
        sum += item.value;
        if (!written.empty()) written += '\t';
        written += item.name + '\t' + std::to_string(item.value);
    }
    if (sum != read->total) std::abort();
    const auto again = parseItemData(written);
    if (!again || again->items != read->items || again->total != read->total) std::abort();

    auto ascending = read->items, descending = read->items;
    sortAscending(ascending);
    sortDescending(descending);
    for (std::size_t i = 1; i < ascending.size(); ++i)
        if (ascending[i - 1].value > ascending[i].value ||
            descending[i - 1].value < descending[i].value)
            std::abort();
    return 0;
}
