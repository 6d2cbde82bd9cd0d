// The structure the item-selection tests share: root "T" with G{a b} c H{a} d, item numbers 0
// to 4 in that order ("a" twice, once under each group), Integer and String items by turn.
#pragma once

#include "app/ckw_app.h"

namespace zbq::test {

inline void describeItemSelStructure(CKWApp& app) {
    CStructDef& def = app.StructDef();
    def.title = "T";
    def.items.clear();
    const std::pair<const char*, const char*> items[] = {
        {"a", "G"}, {"b", "G"}, {"c", ""}, {"a", "H"}, {"d", ""}};
    for (const auto& [name, group] : items) {
        CItemDef item;
        item.itemNo = static_cast<std::int32_t>(def.items.size());
        item.name = name;
        item.type = item.itemNo % 2 == 0 ? 2 : 4;
        if (*group) item.groups = {group};
        def.items.push_back(item);
    }
    def.itemCount = static_cast<std::int32_t>(def.items.size());
}

}  // namespace zbq::test
