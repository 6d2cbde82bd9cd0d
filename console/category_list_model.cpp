#include "console/category_list_model.h"

std::vector<CategoryListRow> categoryListRows(const CategorySet& set) {
    std::vector<CategoryListRow> rows;
    rows.reserve(static_cast<std::size_t>(set.GetCount()));
    for (std::int32_t i = 0; i < set.GetCount(); ++i) {
        const std::int32_t type = set.ElementAt(i).valueType;
        rows.push_back(
            {type >= 0 && type <= 6 ? type : -1,
             {set.GetName(i), set.GetTypeName(i), std::to_string(set.GetSmallCount(i)),
              std::to_string(set.GetMiddleCount(i)), std::to_string(set.GetLargeCount(i))}});
    }
    return rows;
}
