// The aggregation grid's layout and the reading of its cells from the engine's result.
#include "windows/molap_layout.h"

#include "platform/core/shown_text.h"
#include "windows/molap_format.h"

namespace zbq::windows {

namespace {

// The engine's captions of a total key, words of ours the screen shows in the language in force.
[[maybe_unused]] constexpr const char* kTotalCaptions[] = {ZBQ_SHOWN("総計"), ZBQ_SHOWN("計")};

// The label of a key's level: its text and whether it is a total caption.
std::string label(const KW_search& engine, const MolapLevelInfo& level, bool xAxis,
                  std::int32_t index, std::int32_t depth, std::int32_t decimals, bool& total,
                  ShownCaption shown = nullptr) {
    MolapValue value;
    const std::int32_t r = xAxis ? engine.GetMolapXLabel(index, depth, value)
                                 : engine.GetMolapYLabel(index, depth, value);
    total = r == 1;
    if (r < 0) return {};
    if (r == 1) {
        const std::string caption = value.text ? value.text : "";
        return shown && !caption.empty() ? shown(caption) : caption;
    }
    return FormatKeyValue(level.type, value, level.unit, decimals, shown);
}

}  // namespace

MolapCellView molapCell(const KW_search& engine, const MolapLayout& l, std::int32_t row,
                        std::int32_t column, ShownCaption shown) {
    MolapCellView cell;
    const std::int32_t nX = l.nX(), nY = l.nY(), nZ = l.nZ();
    bool total = false;
    if (row < nX) {
        if (column < nY) {
            cell.style = MolapStyle::Caption;
            cell.left = true;
            cell.text = column == nY - 1 ? l.x[row].caption : " ";
            return cell;
        }
        // Every X key spans its Z columns: the engine takes the grid's column from nY on.
        cell.text = label(engine, l.x[row], true, column - nY, row, l.decimalsIndex, total, shown);
        cell.style = total ? MolapStyle::Total : MolapStyle::Key;
        cell.left = total || (l.x[row].type != 2 && l.x[row].type != 3);
        return cell;
    }
    if (row == nX) {
        cell.left = true;
        if (column < nY) {
            cell.style = MolapStyle::Caption;
            cell.text = l.y[column].caption;
        } else {
            cell.style = MolapStyle::Total;
            cell.text = l.z[(column - nY) % nZ].caption;
        }
        return cell;
    }
    const std::int32_t y = row - nX - 1;
    if (column < nY) {
        cell.text = label(engine, l.y[column], false, y, column, l.decimalsIndex, total, shown);
        cell.style = total ? MolapStyle::Total : MolapStyle::Key;
        cell.left = total || (l.y[column].type != 2 && l.y[column].type != 3);
        return cell;
    }
    const std::int32_t z = (column - nY) % nZ;
    const MolapLevelInfo& info = l.z[z];
    MolapValue value;
    const std::int32_t flag = engine.KWMolapGetData((column - nY) / nZ, y, z, value);
    cell.style = MolapStyle::Body;
    cell.total = flag == 1;
    cell.value = value.kind != MolapValue::None;
    cell.left = (info.kind == 3 || info.kind == 4) && info.type != 2 && info.type != 3;
    cell.text = FormatCellValue(info.kind, info.type, value, info.unit, l.decimalsIndex);
    return cell;
}

std::int32_t buildMolapLayout(const KW_search& engine, MolapLayout& l,
                              std::atomic<std::int32_t>* progress,
                              const std::function<bool()>& poll) {
    const std::int32_t xCount = engine.GetMolapXCount(), yCount = engine.GetMolapYCount();
    if ((xCount == 0 && l.nX() > 0) || (yCount == 0 && l.nY() > 0)) return -2;
    l.xKeys = xCount == 0 ? 1 : xCount;
    l.yKeys = yCount == 0 ? 1 : yCount;
    l.spans.clear();
    const std::int32_t nX = l.nX(), nY = l.nY(), nZ = l.nZ();
    bool total = false;

    // X header rows: runs of equal labels over the key columns, each inside the runs of the
    // rows above; the corner blanks of each row run together.
    std::vector<std::int32_t> bounds{0, l.xKeys};  // run starts over X keys, and the end
    for (std::int32_t i = 0; i < nX; ++i) {
        if (poll && poll()) return 1;
        if (nY > 2) l.spans.push_back({i, 0, 1, nY - 1});
        std::vector<std::int32_t> next;
        for (std::size_t b = 0; b + 1 < bounds.size(); ++b) {
            std::int32_t start = bounds[b];
            std::string text = label(engine, l.x[i], true, start * nZ, i, l.decimalsIndex, total);
            for (std::int32_t k = start + 1; k <= bounds[b + 1]; ++k) {
                std::string here;
                if (k < bounds[b + 1])
                    here = label(engine, l.x[i], true, k * nZ, i, l.decimalsIndex, total);
                if (k < bounds[b + 1] && here == text) continue;
                if ((k - start) * nZ > 1)
                    l.spans.push_back({i, nY + start * nZ, 1, (k - start) * nZ});
                next.push_back(start);
                start = k;
                text = std::move(here);
            }
        }
        next.push_back(l.xKeys);
        bounds = std::move(next);
    }

    // Fixed columns below the header: runs of equal Y labels, each inside the runs of the
    // columns left of it.
    std::int32_t published = 0;
    bounds = {0, l.yKeys};
    for (std::int32_t j = 0; j < nY; ++j) {
        std::vector<std::int32_t> next;
        for (std::size_t b = 0; b + 1 < bounds.size(); ++b) {
            std::int32_t start = bounds[b];
            std::string text = label(engine, l.y[j], false, start, j, l.decimalsIndex, total);
            for (std::int32_t r = start + 1; r <= bounds[b + 1]; ++r) {
                if (poll && (r & 1023) == 0 && poll()) return 1;
                std::string here;
                if (r < bounds[b + 1])
                    here = label(engine, l.y[j], false, r, j, l.decimalsIndex, total);
                if (r < bounds[b + 1] && here == text) continue;
                if (r - start > 1) l.spans.push_back({nX + 1 + start, j, r - start, 1});
                next.push_back(start);
                start = r;
                text = std::move(here);
            }
        }
        next.push_back(l.yKeys);
        bounds = std::move(next);
        const auto percent = static_cast<std::int32_t>((j + 1) * 100.0 / nY);
        if (progress && percent > published) progress->exchange(published = percent);
    }
    if (poll && poll()) return 1;
    if (progress) progress->exchange(100);
    return 0;
}

}  // namespace zbq::windows

#include <algorithm>

#include "app/analysis_window.h"
#include "app/ckw_app.h"

namespace zbq::windows {

MolapParams molapParamsCopy(const MolapParams& params) {
    MolapParams p = params;
    p.xDateUnits.resize(p.xItems.size(), 0);
    p.yDateUnits.resize(p.yItems.size(), 0);
    p.zUnits.resize(p.zItems.size(), 0);
    p.zKinds.resize(p.zItems.size(), 0);
    p.decimalsIndex = std::clamp(p.decimalsIndex, 0, 5);
    return p;
}

MolapLayout molapLayoutFrame(const CKWApp& app, const MolapParams& p) {
    MolapLayout l;
    const auto at = [](const std::vector<std::int32_t>& v, std::size_t i) {
        return i < v.size() ? v[i] : 0;
    };
    for (std::size_t i = 0; i < p.xItems.size(); ++i) {
        const std::int32_t unit = at(p.xDateUnits, i);
        l.x.push_back({p.xItems[i], app.GetItemType(p.xItems[i]), unit, -1,
                       molapItemCaption(app.GetItemName(p.xItems[i]), unit)});
    }
    for (std::size_t i = 0; i < p.yItems.size(); ++i) {
        const std::int32_t unit = at(p.yDateUnits, i);
        l.y.push_back({p.yItems[i], app.GetItemType(p.yItems[i]), unit, -1,
                       molapItemCaption(app.GetItemName(p.yItems[i]), unit)});
    }
    for (std::size_t i = 0; i < p.zItems.size(); ++i) {
        const std::int32_t item = p.zItems[i], kind = at(p.zKinds, i), unit = at(p.zUnits, i);
        if (item < 0) continue;
        l.z.push_back({item, app.GetItemType(item), unit, kind,
                       molapZCaption(item, app.GetItemName(item), kind, unit)});
    }
    if (l.z.empty()) l.z.push_back({-1, 2, 0, -1, molapZCaption(-1, {}, -1, 0)});
    l.decimalsIndex = p.decimalsIndex;
    return l;
}

}  // namespace zbq::windows
