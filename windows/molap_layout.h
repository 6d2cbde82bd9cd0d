// MolapLayout: how the aggregation grid lays out an engine result, made once after each build
// (on the window's second worker) and installed in the model in one step. It holds no cell
// text: the model reads every cell from the engine's result when it is painted or exported.
//
// Grid: rows = Y keys + 1 + X items, columns = Y items + X keys x Z columns (an axis without
// keys counts one); the first X items + 1 rows and the first Y items columns are fixed. Row i
// < nX is X level i, row nX the Y item and Z captions, rows below one Y key each; column j < nY
// is Y level j, the columns after them one (X key, Z column) each, Z inner.
//
// Spans: equal neighbouring labels merge in the X header rows (a run in row i only inside a
// run of the rows above) and in the fixed columns below the header (a run in column j only
// inside a run of the columns left of it). Spans never overlap.
#pragma once

#include "engine/kw_search.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zbq::windows {

// One axis or Z column as the layout needs it, taken from the application on its own thread.
struct MolapLevelInfo {
    std::int32_t item = -1;
    std::int32_t type = 0;   // ItemType
    std::int32_t unit = 0;   // date unit (X, Y) or Z unit
    std::int32_t kind = -1;  // Z only
    std::string caption;     // the header caption, CP932
};

struct MolapSpan {
    std::int32_t row = 0, column = 0, rows = 1, columns = 1;
    bool operator==(const MolapSpan&) const = default;
};

struct MolapLayout {
    std::vector<MolapLevelInfo> x, y, z;  // z: one entry of item -1 without Z items
    std::int32_t xKeys = 1, yKeys = 1;    // XC', YC'
    std::int32_t decimalsIndex = 0;
    std::vector<MolapSpan> spans;

    std::int32_t nX() const { return static_cast<std::int32_t>(x.size()); }
    std::int32_t nY() const { return static_cast<std::int32_t>(y.size()); }
    std::int32_t nZ() const { return static_cast<std::int32_t>(z.size()); }
    std::int32_t rows() const { return yKeys + 1 + nX(); }
    std::int32_t columns() const { return nY() + xKeys * nZ(); }
    std::int32_t fixedRows() const { return nX() + 1; }
    std::int32_t fixedColumns() const { return nY(); }
};

// What a cell of the grid shows and how.
enum class MolapStyle : std::uint8_t {
    Caption,  // X header blanks, X and Y item captions: beige, left
    Total,    // subtotal and total labels, Z captions: grey, left
    Key,      // key values: light cyan; left but for Integer and Float items
    Body,     // values: default background, grey in a total line
};

struct MolapCellView {
    std::string text;
    MolapStyle style = MolapStyle::Body;
    bool total = false;  // a body cell of a subtotal or total line
    bool left = false;   // aligned left whatever it holds
    bool value = false;  // a body cell holding a value
};

// Reads one cell of a laid-out result; rows and columns inside the layout. With `shown`, the
// total captions ("総計", "計") and the quarter and half keys come as the screen shows them;
// without, as the exports write them.
MolapCellView molapCell(const KW_search& engine, const MolapLayout& layout, std::int32_t row,
                        std::int32_t column, std::string (*shown)(const std::string&) = nullptr);

// The layout of the engine's present result: 0 done, 1 cancelled (poll answered true), -2 an
// axis has items but the result no keys for it. Progress (0-100) is published by exchange.
std::int32_t buildMolapLayout(const KW_search& engine, MolapLayout& layout,
                              std::atomic<std::int32_t>* progress = nullptr,
                              const std::function<bool()>& poll = {});

}  // namespace zbq::windows

class CKWApp;
struct MolapParams;

namespace zbq::windows {

// The levels, captions and decimals of a table of these parameters, before its keys are known
// (the application's item names and types; read on the user-interface thread).
MolapLayout molapLayoutFrame(const CKWApp& app, const MolapParams& params);
// The window's own copy of its parameters: every unit and kind list as long as its item list
// (missing entries 0, extra ones dropped), decimals kept within 0-5.
MolapParams molapParamsCopy(const MolapParams& params);

}  // namespace zbq::windows
