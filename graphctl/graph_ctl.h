// GraphCtl, the graph control's one class: its methods and their dispatch table.
//
// The methods work on this thread's GraphState (graph_state.h). The drawing methods parse the
// data text, order the items and write the workbook at the target path under the workbook's
// lock (workbook_lock.h); they return GRAFVIK_OK, GRAFVIK_E_NO_DATA (nothing to draw: no file is
// written) or GRAFVIK_E_WRITE (the workbook could not be written, or another writer kept it
// longer than a host's thread should wait: nothing half-built is left; a workbook the user may
// not write is kept). The housekeeping methods never fail. A GraphCtl is used on one thread at a
// time; the host services are called on that thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "graphctl/grafvik.h"

namespace zbq::grafvik {

struct Method {
    std::string_view name;
    int32_t dispid;
    int argc;
};

// Method look-ups; nullptr when there is none. Names compare without regard to ASCII case.
const Method* methodByName(std::string_view name);
const Method* methodById(int32_t dispid);

class GraphCtl {
public:
    explicit GraphCtl(const GrafvikHost* host);

    // Calls the method `dispid` with its arguments; *result receives CheckExcel's answer.
    int invoke(int32_t dispid, std::span<const std::string_view> args, int32_t* result);

    int exNormal();
    int exUp();
    int exDown();
    void setFilePath(std::string_view path);
    void delFile();
    void setData(std::string_view text);
    // 0: the workbook is not open elsewhere; 1: it was, and the user agreed to overwrite it;
    // 2: it was, and the user cancelled.
    int16_t checkExcel(std::string_view path);
    void closeXls(std::string_view path);
    void closeCsv(std::string_view path);
    int showGraph();

private:
    enum class Order { Input, Ascending, Descending };
    int draw(Order order);
    // Parses the data text into src (and total); false, with abortFlag 1, for nothing to draw.
    bool parse();

    GrafvikHost host_{};
};

}  // namespace zbq::grafvik
