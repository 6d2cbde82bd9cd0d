// KW_search: the condition lists of the cross tabulation and their build into categories.
//
// A build resolves every dictionary position of the axis item once: it belongs to the first
// category (in order of first appearance of its label) one of whose conditions it passes.
// Records are placed only by the aggregation, through position -> category, so categories
// follow whatever map is current when the cross tabulation runs.
//
// Each condition is the search's own (kw_condition.h), so the error and blank positions never
// pass an ordering or a range: a class such as "under 20" does not collect the blanks, which
// fall into "Error", "Brank" or "Others" unless "=" names their caption on a text item.
#include <new>
#include <unordered_map>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

std::string boundedText(std::string_view text) {
    return std::string(zbq::cp932::cut(text.substr(0, text.find('\0')), KW_COND_TEXT));
}

KW_cond condition(std::string_view label, std::int32_t op) {
    KW_cond c;
    c.label = boundedText(label);
    c.test.op = op;
    return c;
}

}  // namespace

std::int32_t KW_search::initCross(int axis, std::int32_t item, std::int32_t nameMode,
                                  std::int32_t conditions) {
    if (!validItem(item) || conditions < 0) return KW_ERR_ARGUMENT;
    kw::CrossList& list = cross_.lists[axis];
    list = {};
    list.active = true;
    list.item = item;
    list.nameMode = nameMode;
    list.capacity = conditions;
    return 0;
}

std::int32_t KW_search::addCross(int axis, KW_cond&& condition) {
    kw::CrossList& list = cross_.lists[axis];
    if (!list.active || static_cast<std::int32_t>(list.conditions.size()) >= list.capacity)
        return KW_ERR_ARGUMENT;
    try {
        list.conditions.push_back(std::move(condition));
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    return 0;
}

std::int32_t KW_search::AddCrossXInt(std::string_view label, std::int32_t op, std::int32_t from,
                                     std::int32_t to) {
    KW_cond c = condition(label, op);
    c.test.int1 = from;
    c.test.int2 = to;
    return addCross(kw::kCrossX, std::move(c));
}

std::int32_t KW_search::AddCrossYInt(std::string_view label, std::int32_t op, std::int32_t from,
                                     std::int32_t to) {
    KW_cond c = condition(label, op);
    c.test.int1 = from;
    c.test.int2 = to;
    return addCross(kw::kCrossY, std::move(c));
}

std::int32_t KW_search::AddCrossXDouble(std::string_view label, std::int32_t op, double from,
                                        double to) {
    KW_cond c = condition(label, op);
    c.test.real1 = from;
    c.test.real2 = to;
    return addCross(kw::kCrossX, std::move(c));
}

std::int32_t KW_search::AddCrossYDouble(std::string_view label, std::int32_t op, double from,
                                        double to) {
    KW_cond c = condition(label, op);
    c.test.real1 = from;
    c.test.real2 = to;
    return addCross(kw::kCrossY, std::move(c));
}

std::int32_t KW_search::AddCrossXString(std::string_view label, std::int32_t op,
                                        std::string_view from, std::string_view to) {
    KW_cond c = condition(label, op);
    c.test.text1 = boundedText(from);
    c.test.text2 = boundedText(to);
    return addCross(kw::kCrossX, std::move(c));
}

std::int32_t KW_search::AddCrossYString(std::string_view label, std::int32_t op,
                                        std::string_view from, std::string_view to) {
    KW_cond c = condition(label, op);
    c.test.text1 = boundedText(from);
    c.test.text2 = boundedText(to);
    return addCross(kw::kCrossY, std::move(c));
}

std::int32_t KW_search::buildCross(int axis) {
    kw::CrossList& list = cross_.lists[axis];
    if (!list.active) return KW_ERR_ARGUMENT;
    list.built.reset();
    const kw::ItemBlock& b = items_[at(list.item)];
    try {
        auto tables = std::make_shared<kw::CrossAxisTables>();
        tables->item = list.item;
        tables->conditions = true;

        // Categories in order of first appearance; members listed category by category.
        std::unordered_map<std::string_view, std::int32_t> byLabel;
        std::vector<std::vector<const KW_cond*>> members;
        for (KW_cond& c : list.conditions) {
            const auto [it, added] =
                byLabel.try_emplace(c.label, static_cast<std::int32_t>(members.size()));
            if (added) {
                tables->labels.push_back(c.label);
                members.emplace_back();
            }
            c.category = it->second;
            members[at(it->second)].push_back(&c);
        }

        tables->category.assign(b.dict.size(), -1);
        std::vector<std::uint8_t> pass;
        const bool byName = list.nameMode == 1;
        for (std::size_t cat = 0; cat < members.size(); ++cat) {
            const auto number = static_cast<std::int32_t>(cat);
            for (const KW_cond* c : members[cat]) {
                if (c->test.op == KW_COND_OTHERS) {
                    for (std::int32_t& owner : tables->category)
                        if (owner < 0) owner = number;
                    continue;
                }
                if (c->test.op < KW_COND_GT || c->test.op > KW_COND_BLANK) continue;
                kw::Condition test = c->test;
                test.byName = byName;
                kw::markPassing(b, test, pass);
                for (std::size_t p = 0; p < pass.size(); ++p)
                    if (pass[p] && tables->category[p] < 0) tables->category[p] = number;
            }
        }
        list.built = std::move(tables);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    return 0;
}
