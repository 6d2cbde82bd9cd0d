// The category list's rows: one per definition of the set, in set order, with the icon of its
// value type (-1 none) and the five column texts (name, type keyword, small, middle and large
// row counts). Captions and width factors of the columns as the list shows them. CP932.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "console/category_set.h"
#include "platform/core/shown_text.h"

struct CategoryListRow {
    std::int32_t icon = -1;
    std::array<std::string, 5> texts;
    bool operator==(const CategoryListRow&) const = default;
};

struct CategoryListColumn {
    const char* caption;  // UTF-8
    double widthFactor;
    bool rightAligned;
};

inline constexpr std::array<CategoryListColumn, 5> kCategoryListColumns = {{
    {ZBQ_SHOWN("ｶﾃｺﾞﾘｰ定義名称          "), 1.1, false},
    {ZBQ_SHOWN("タイプ"), 2.5, false},
    {ZBQ_SHOWN("小分類数"), 1.5, true},
    {ZBQ_SHOWN("中分類数"), 1.5, true},
    {ZBQ_SHOWN("大分類数"), 1.5, true},
}};

std::vector<CategoryListRow> categoryListRows(const CategorySet& set);
