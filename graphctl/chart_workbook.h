// The chart workbook of ExNormal, ExUp and ExDown: the items on a very hidden data sheet "Data"
// (names as text in column A, values in column B, row 1 on) and seven chart sheets over them, in
// the tab order 円グラフ, 立体円グラフ, 棒グラフ, 円柱グラフ, 折れ線グラフ, 立体平面グラフ,
// ドーナツグラフ. The writer has no three-dimensional or exploded charts, so those sheets carry
// the nearest flat type. Every chart is sized with its window, has no legend and a plot area
// without a border; the round charts label each slice with its name and share, the others with
// the value. A character that workbook XML cannot hold (a control character) stands as U+FFFD
// in a name, in the cell and in the charts alike.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "graphctl/graph_state.h"
#include "platform/workbook/workbook_description.h"

namespace zbq::grafvik {

// The description of the workbook for `items` (at least one, in output order).
workbook::Workbook chartWorkbook(const std::vector<Item>& items);

// False when the workbook for `items` is certain to be larger than a workbook reader takes in
// (zip_package.h): every chart caches every name and value, some 600 bytes an item and seven
// times each name. Known before anything is built, so such items are refused at once, not
// after the whole package has been made.
bool chartWorkbookFits(const std::vector<Item>& items);

// The workbook file's bytes; nullopt with a message when it cannot be made.
std::optional<std::string> chartWorkbookBytes(const std::vector<Item>& items, std::string* error);

}  // namespace zbq::grafvik
