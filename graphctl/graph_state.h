// The graph control's state: the target path, the data text and the items of the last parse.
// One copy per thread, shared by every GraphCtl object on that thread; nothing is persisted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zbq::grafvik {

struct Item {
    std::string name;  // UTF-8
    int32_t value = 0;
    bool operator==(const Item&) const = default;
};

struct GraphState {
    std::string filePath;   // the target workbook; set by SetFilePath and the housekeeping methods
    std::string fileData;   // the name/value text to chart; set by SetData
    std::string fileName;   // filePath after its last '/'
    std::string xlsPath;    // filePath less its last three characters, followed by "xls"
    std::vector<Item> src;  // items in input order, from the last parse
    std::vector<Item> dst;  // items in output order
    int32_t total = 0;      // sum of the values of the last parse
    int16_t abortFlag = 0;  // 1: the last parse found nothing to draw or bad data
    int16_t newBookFlag = 0;  // -1: ShowGraph created the workbook; 0: it existed
};

// This thread's state.
GraphState& threadState();

}  // namespace zbq::grafvik
