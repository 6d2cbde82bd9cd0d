#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/set_list.h"

#include "platform/core/cp932.h"

std::optional<std::size_t> findSet(const std::vector<SetRecord>& sets, std::int32_t number) {
    for (std::size_t i = 0; i < sets.size(); ++i)
        if (sets[i].number == number) return i;
    return std::nullopt;
}

std::size_t subtreeEnd(const std::vector<SetRecord>& sets, std::size_t index) {
    std::size_t end = index + 1;
    while (end < sets.size() && sets[end].level > sets[index].level)
        ++end;
    return end;
}

bool isAncestorOrSelf(const std::vector<SetRecord>& sets, std::int32_t ancestor,
                      std::int32_t number) {
    const std::optional<std::size_t> at = findSet(sets, ancestor);
    if (!at) return false;
    const std::size_t end = subtreeEnd(sets, *at);
    for (std::size_t i = *at; i < end; ++i)
        if (sets[i].number == number) return true;
    return false;
}

SetRecord addSet(std::vector<SetRecord>& sets, std::int32_t& nextSetNo, std::int32_t parent,
                 SetRecord record) {
    std::size_t position = sets.size();
    if (parent >= 0)
        if (const std::optional<std::size_t> at = findSet(sets, parent))
            position = subtreeEnd(sets, *at);
    record.number = nextSetNo;
    record.text1 = std::string(zbq::cp932::cut(record.text1, kSetTextBytes));
    record.text2 = setCaption(record.number, record.text1, record.recordCount);
    sets.insert(sets.begin() + static_cast<std::ptrdiff_t>(position), record);
    ++nextSetNo;
    return record;
}

bool removeSubtree(std::vector<SetRecord>& sets, std::int32_t number) {
    const std::optional<std::size_t> at = findSet(sets, number);
    if (!at) return false;
    sets.erase(sets.begin() + static_cast<std::ptrdiff_t>(*at),
               sets.begin() + static_cast<std::ptrdiff_t>(subtreeEnd(sets, *at)));
    return true;
}

bool canDeleteSet(const std::vector<SetRecord>& sets, std::int32_t number, std::int32_t current) {
    if (number == 0 || !findSet(sets, number)) return false;
    return !isAncestorOrSelf(sets, number, current);
}

std::int32_t setTreeMenu(bool collapseAllowed, bool deleteEnabled) {
    if (collapseAllowed) return deleteEnabled ? 151 : 137;
    return deleteEnabled ? 138 : 139;
}

std::int32_t algebraMenu(const std::vector<SetRecord>& sets, std::int32_t target,
                         std::int32_t dragged) {
    if (target == dragged) return 173;
    if (isAncestorOrSelf(sets, target, dragged) || isAncestorOrSelf(sets, dragged, target))
        return 172;
    return 171;
}

bool algebraMenuOffers(std::int32_t menu, SetOp op) {
    if (menu == 173) return op == SetOp::Complement;
    if (menu == 172) return op == SetOp::Difference || op == SetOp::Complement;
    return true;
}

std::string shownSetCaption(const SetRecord& set, const MixedText& title, ShownWordOf shown) {
    if (!shown || title.japanese() != set.text1 ||
        set.text2 != setCaption(set.number, set.text1, set.recordCount))
        return set.text2;
    return setCaption(set.number, title.shown(shown), set.recordCount);
}

std::string combinationTitle(SetOp op, std::int32_t a, std::int32_t b) {
    const std::string na = "No." + std::to_string(a);
    const std::string nb = "No." + std::to_string(b);
    switch (op) {
        case SetOp::Union:
            return na + " + " + nb;
        case SetOp::Product:
            return na + " * " + nb;
        case SetOp::Difference:
            return na + " - " + nb;
        case SetOp::Complement:
            return "NOT " + nb;
    }
    return {};
}

const char* combinationStep(SetOp op) {
    switch (op) {
        case SetOp::Union:
            return "UnionSet";
        case SetOp::Product:
            return "DifferenceSet";
        case SetOp::Difference:
            return "ProductSet";
        case SetOp::Complement:
            return "ComplementSet";
    }
    return "";
}
