// The structure block: taken from a structure definition, and compared.
#include "macro/structure_block.h"

#include <algorithm>
#include <charconv>

#include "app/ckw_app.h"
#include "app/message_pump.h"
#include "app/shown_message.h"
#include "platform/core/shown_text.h"

namespace {

std::string number(std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

// Where two structures differ, in the language in force (the messages that quote it are).
std::string where(const char* text, std::initializer_list<std::string_view> values = {}) {
    return zbq::app::shownMessage(text, values);
}

std::string itemText(std::size_t index, const char* text) {
    return where(text, {number(static_cast<std::int32_t>(index + 1))});
}

template <typename T>
const T* at(const std::vector<T>& list, std::size_t i) {
    return i < list.size() ? &list[i] : nullptr;
}

template <typename T>
bool sameAt(const std::vector<T>& a, const std::vector<T>& b, std::size_t i) {
    const T* x = at(a, i);
    const T* y = at(b, i);
    return x && y && *x == *y;
}

}  // namespace

MacroStructureBlock BlockFromStructDef(const CStructDef& definition) {
    MacroStructureBlock block;
    block.itemCount = definition.itemCount;
    for (std::size_t i = 0; i < definition.items.size(); ++i) {
        zbq::app::pumpPendingMessages();
        const CItemDef& item = definition.items[i];
        block.csvColumns.push_back(item.csvColumn + 1);
        std::string groups;
        for (std::size_t g = 0; g < item.groups.size(); ++g) {
            if (g) groups += '/';
            groups += item.groups[g];
        }
        block.groups.push_back(std::move(groups));
        std::string keyword = CKWApp::GetItemTypeKeyword(item.type);
        if (keyword == "Code" || keyword == "MultiAns") {
            CodeList list;
            list.itemPosition = static_cast<std::int32_t>(i + 1);
            for (const CCodeDef& codes : definition.codeLists) {
                if (codes.itemNo != static_cast<std::int32_t>(i)) continue;
                for (const CCodeEntry& entry : codes.codes)
                    list.codes.push_back(entry.code);
                break;
            }
            block.codeLists.push_back(std::move(list));
        }
        block.itemTypes.push_back(std::move(keyword));
    }
    return block;
}

std::string CompareStructureBlock(const MacroStructureBlock& block,
                                  const MacroStructureBlock& reference) {
    if (block.itemCount != reference.itemCount) return where(ZBQ_SHOWN("項目数"));
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::max(block.itemCount, 0)); ++i) {
        if (!sameAt(block.itemTypes, reference.itemTypes, i))
            return itemText(i, ZBQ_SHOWN("%1番目の項目の項目タイプ"));
        if (!sameAt(block.csvColumns, reference.csvColumns, i))
            return itemText(i, ZBQ_SHOWN("%1番目の項目のCSVファイル項目順"));
        if (!sameAt(block.groups, reference.groups, i))
            return itemText(i, ZBQ_SHOWN("%1番目の項目のグループ"));
    }
    if (block.codeLists.size() != reference.codeLists.size())
        return where(ZBQ_SHOWN("CodeとMultiAns項目の数"));
    for (const CodeList& wanted : reference.codeLists) {
        const std::string item = number(wanted.itemPosition);
        const CodeList* found = nullptr;
        for (const CodeList& list : block.codeLists)
            if (list.itemPosition == wanted.itemPosition) {
                found = &list;
                break;
            }
        if (!found) return where(ZBQ_SHOWN("%1番目の項目に相当するコード情報がありません"), {item});
        if (found->codes.size() != wanted.codes.size())
            return where(ZBQ_SHOWN("%1番目の項目のコード数"), {item});
        for (std::size_t k = 0; k < wanted.codes.size(); ++k)
            if (found->codes[k] != wanted.codes[k])
                return where(ZBQ_SHOWN("%1番目の項目の%2番目のコード"),
                             {item, number(static_cast<std::int32_t>(k + 1))});
    }
    return {};
}

std::string CompareStructureBlock(const MacroStructureBlock& block, const CStructDef& reference) {
    return CompareStructureBlock(block, BlockFromStructDef(reference));
}
