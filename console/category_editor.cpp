#include "console/category_editor.h"

#include <unordered_set>

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

const std::string& undefinedMark() {
    static const std::string mark = zbq::cp932::literal(ZBQ_SHOWN("＜未定義です＞"));
    return mark;
}

void quoted(std::string& out, std::string_view text) {
    out += '"';
    out += text;
    out += '"';
}

template <typename Rows, typename Name>
std::vector<std::string> distinctNames(const Rows& rows, Name name) {
    std::vector<std::string> names;
    std::unordered_set<std::string_view> seen;
    for (const auto& row : rows)
        if (seen.insert(name(row)).second) names.emplace_back(name(row));
    return names;
}

void markFailure(std::vector<CategoryNode>& nodes, const std::optional<CategoryCheckFailure>& f) {
    for (std::size_t i = 0; i < nodes.size(); ++i)
        nodes[i].marked = f && static_cast<std::size_t>(f->row) == i;
}

}  // namespace

std::string smallClassText(const SmallClassDefinition& small) {
    static const char* const kSymbols[] = {"=", "!", ">=", ">", "<=", "<"};
    static const char kOpen[] = {'[', '(', '[', '('};
    static const char kClose[] = {']', ']', ')', ')'};
    std::string out;
    quoted(out, small.name);
    out += "  ";
    if (small.op >= 0 && small.op <= 5) {
        out += kSymbols[small.op];
        out += "  ";
        out += small.value1;
    } else if (small.op >= 6 && small.op <= 9) {
        out += kOpen[small.op - 6];
        out += small.value1;
        out += ',';
        out += small.value2;
        out += kClose[small.op - 6];
    }
    return out;
}

MixedText groupingWords(const ClassGrouping& row, bool undefined) {
    MixedText words;
    words.plain("\"" + row.name + "\"  =  \"" + row.member);
    if (undefined) words.word(undefinedMark());
    return words.plain("\"");
}

std::string groupingText(const ClassGrouping& row, bool undefined) {
    return groupingWords(row, undefined).japanese();
}

std::optional<CategoryCheckFailure> CategoryEditor::Load(const CategoryDefinition& definition,
                                                         std::int32_t index) {
    index_ = index;
    edited_ = definition;
    return Refresh();
}

std::optional<CategoryCheckFailure> CategoryEditor::Refresh() {
    roots_ = true;
    for (std::vector<CategoryNode>& level : nodes_)
        level.clear();
    nodes_[0].reserve(edited_.smallClasses.size());
    for (const SmallClassDefinition& s : edited_.smallClasses)
        nodes_[0].push_back({smallClassText(s), false, MixedText::plainText(smallClassText(s))});

    std::unordered_set<std::string_view> smallNames, middleNames;
    for (const SmallClassDefinition& s : edited_.smallClasses)
        smallNames.insert(s.name);
    for (const ClassGrouping& g : edited_.middleClasses)
        middleNames.insert(g.name);
    auto addRows = [this](std::vector<CategoryNode>& out, const std::vector<ClassGrouping>& rows,
                          const std::unordered_set<std::string_view>& below) {
        out.reserve(rows.size());
        for (const ClassGrouping& g : rows) {
            const bool undefined =
                !isReservedClassWord(g.member, reserved_) && !below.contains(g.member);
            MixedText words = groupingWords(g, undefined);
            out.push_back({words.japanese(), undefined, std::move(words)});
        }
    };
    addRows(nodes_[1], edited_.middleClasses, smallNames);
    addRows(nodes_[2], edited_.largeClasses, middleNames);
    return ApplyType(edited_.valueType);
}

std::optional<CategoryCheckFailure> CategoryEditor::ApplyType(std::int32_t valueType) {
    edited_.valueType = CategorySet::KeywordToValueType(CategorySet::ValueTypeToKeyword(valueType));
    std::optional<CategoryCheckFailure> failure = CheckSmallClasses(edited_, reserved_);
    markFailure(nodes_[0], failure);
    if (failure) return failure;
    failure = CheckMiddleClasses(edited_, reserved_);
    markFailure(nodes_[1], failure);
    if (failure) return failure;
    failure = CheckLargeClasses(edited_, reserved_);
    markFailure(nodes_[2], failure);
    return failure;
}

void CategoryEditor::Clear() {
    index_ = -1;
    edited_ = CategoryDefinition{};
    roots_ = false;
    for (std::vector<CategoryNode>& level : nodes_)
        level.clear();
}

std::vector<std::string> CategoryEditor::memberChoices(ClassLevel level) const {
    std::vector<std::string> names;
    if (level == ClassLevel::Middle)
        names =
            distinctNames(edited_.smallClasses,
                          [](const SmallClassDefinition& s) -> std::string_view { return s.name; });
    else if (level == ClassLevel::Large)
        names = distinctNames(edited_.middleClasses,
                              [](const ClassGrouping& g) -> std::string_view { return g.name; });
    names.push_back(reserved_.size() > 3 ? reserved_[3] : "Others");
    return names;
}
