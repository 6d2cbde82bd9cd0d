#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/category_set.h"
#include "platform/core/shown_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr std::array<const char*, 7> kKeywords = {"Universal", "Integer", "Float", "Date",
                                                  "Time",      "String",  "Code"};

constexpr const char* kOthers = "Others";
constexpr const char* kOthersLastOnly = ZBQ_SHOWN("予約語othersは最終行のみ定義可能です");

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// At least one digit, an optional leading "-", and a value that fits 32 bits.
bool isIntegerValue(std::string_view text) {
    if (CKWApp::IsIntegerText(text) == 0) return false;
    if (text.empty() || text == "-") return false;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool isFloatValue(std::string_view text) {
    return CKWApp::IsDecimalText(text) != 0 && std::any_of(text.begin(), text.end(), isDigit);
}

// A real calendar date; the year has four digits.
bool isDateValue(std::string_view text) {
    return CKWApp::CheckDate(text) != 0;
}

bool isCodeValue(std::string_view text) {
    return !text.empty() && CKWApp::IsAlphanumericText(text) != 0;
}

struct TypeTest {
    bool (*passes)(std::string_view);
    const char* value1Message;
    const char* value2Message;
};

// The value test of a value type, or null for the types that test no values (String tests its
// operator instead; -1 and unknown codes test nothing).
const TypeTest* typeTestOf(std::int32_t valueType) {
    static const TypeTest kTests[] = {
        {[](std::string_view) { return false; },
         ZBQ_SHOWN("Universal定義で使用出来る値は予約語のみです"), nullptr},
        {isIntegerValue, ZBQ_SHOWN("VAL1の値がINT値として適当ではありません"),
         ZBQ_SHOWN("VAL2の値がINT値として適当ではありません")},
        {isFloatValue, ZBQ_SHOWN("VAL1の値がFloat値として適当ではありません"),
         ZBQ_SHOWN("VAL2の値がFloat値として適当ではありません")},
        {isDateValue, ZBQ_SHOWN("VAL1の値がDate値として適当ではありません"),
         ZBQ_SHOWN("VAL2の値がDate値として適当ではありません")},
        {[](std::string_view t) { return CKWApp::CheckTime(t) != 0; },
         ZBQ_SHOWN("VAL1の値がTime値として適当ではありません"),
         ZBQ_SHOWN("VAL2の値がTime値として適当ではありません")},
    };
    static const TypeTest kCode = {isCodeValue,
                                   ZBQ_SHOWN("VAL1の値がCODE値として適当ではありません"),
                                   ZBQ_SHOWN("VAL2の値がCODE値として適当ではありません")};
    if (valueType >= 0 && valueType <= 4) return &kTests[valueType];
    if (valueType == 6) return &kCode;
    return nullptr;
}

// The first row of `keys` that a later row repeats, with the first later row repeating it;
// nullopt when all differ.
template <typename Rows, typename Key>
std::optional<std::pair<std::int32_t, std::int32_t>> firstRepeat(const Rows& rows, Key key) {
    std::unordered_map<std::string_view, std::pair<std::int32_t, std::int32_t>> seen;
    seen.reserve(rows.size());
    std::optional<std::pair<std::int32_t, std::int32_t>> best;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto [it, inserted] = seen.try_emplace(key(rows[i]), static_cast<std::int32_t>(i), -1);
        if (inserted || it->second.second >= 0) continue;
        it->second.second = static_cast<std::int32_t>(i);
        if (!best || it->second.first < best->first) best = it->second;
    }
    return best;
}

CategoryCheckFailure fail(const char* message, std::int32_t row) {
    return {message, row};
}

// The middle and the large check: the same steps over the rows of one level against the class
// names of the level below.
std::optional<CategoryCheckFailure> checkGroupings(const std::vector<ClassGrouping>& rows,
                                                   const std::vector<std::string>& below,
                                                   const std::vector<std::string>& reserved,
                                                   const char* reservedMessage,
                                                   const char* missingMessage) {
    const auto last = static_cast<std::int32_t>(rows.size()) - 1;
    for (std::int32_t j = 0; j <= last; ++j) {
        const std::string& member = rows[static_cast<std::size_t>(j)].member;
        if (!isReservedClassWord(member, reserved)) continue;
        if (member != kOthers) return fail(reservedMessage, j);
        if (j != last) return fail(kOthersLastOnly, j);
    }
    const std::unordered_set<std::string_view> names(below.begin(), below.end());
    for (std::int32_t j = 0; j <= last; ++j) {
        const std::string& member = rows[static_cast<std::size_t>(j)].member;
        if (member == kOthers) continue;
        if (!names.contains(member)) return fail(missingMessage, j);
    }
    if (auto repeat =
            firstRepeat(rows, [](const ClassGrouping& g) -> std::string_view { return g.member; }))
        return fail(ZBQ_SHOWN("値が2重定義されています"), repeat->first);
    return std::nullopt;
}

}  // namespace

// --- CategorySet ---

std::string CategorySet::GetTypeName(std::int32_t i) const {
    return ValueTypeToKeyword(ElementAt(i).valueType);
}

std::int32_t CategorySet::GetSmallCount(std::int32_t i) const {
    return static_cast<std::int32_t>(ElementAt(i).smallClasses.size());
}

std::int32_t CategorySet::GetMiddleCount(std::int32_t i) const {
    return static_cast<std::int32_t>(ElementAt(i).middleClasses.size());
}

std::int32_t CategorySet::GetLargeCount(std::int32_t i) const {
    return static_cast<std::int32_t>(ElementAt(i).largeClasses.size());
}

const CategoryDefinition* CategorySet::GetAt(std::int32_t i) const {
    if (i < 0 || i >= GetCount()) return nullptr;
    return &definitions_[static_cast<std::size_t>(i)];
}

void CategorySet::RemoveAt(std::int32_t i) {
    definitions_.erase(definitions_.begin() + i);
}

std::int32_t CategorySet::AddOrReplace(const CategoryDefinition& definition) {
    const std::int32_t at = IndexOf(definition.name);
    if (at >= 0)
        definitions_[static_cast<std::size_t>(at)] = definition;
    else
        definitions_.push_back(definition);
    return 0;
}

std::int32_t CategorySet::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < definitions_.size(); ++i)
        if (definitions_[i].name == name) return static_cast<std::int32_t>(i);
    return -1;
}

std::string CategorySet::ValueTypeToKeyword(std::int32_t code) {
    if (code < 0 || code >= static_cast<std::int32_t>(kKeywords.size())) return {};
    return kKeywords[static_cast<std::size_t>(code)];
}

std::int32_t CategorySet::KeywordToValueType(std::string_view text) {
    for (std::size_t i = 0; i < kKeywords.size(); ++i)
        if (text == kKeywords[i]) return static_cast<std::int32_t>(i);
    return -1;
}

// --- Checks ---

bool isReservedClassWord(std::string_view text, const std::vector<std::string>& reserved) {
    return std::find(reserved.begin(), reserved.end(), text) != reserved.end();
}

std::optional<CategoryCheckFailure> CheckSmallClasses(const CategoryDefinition& definition,
                                                      const std::vector<std::string>& reserved) {
    const std::vector<SmallClassDefinition>& rows = definition.smallClasses;
    const auto last = static_cast<std::int32_t>(rows.size()) - 1;
    for (std::int32_t r = 0; r < last; ++r)
        if (rows[static_cast<std::size_t>(r)].value1 == kOthers) return fail(kOthersLastOnly, r);

    if (auto repeat = firstRepeat(
            rows, [](const SmallClassDefinition& s) -> std::string_view { return s.name; }))
        return fail(ZBQ_SHOWN("同一の定義名が存在します"), repeat->second);

    for (std::int32_t r = 0; r <= last; ++r) {
        const SmallClassDefinition& row = rows[static_cast<std::size_t>(r)];
        if (row.op != 0 && isReservedClassWord(row.value1, reserved))
            return fail(ZBQ_SHOWN("予約語の演算子には\"=\"のみです"), r);
    }

    const TypeTest* test = typeTestOf(definition.valueType);
    for (std::int32_t r = 0; r <= last; ++r) {
        const SmallClassDefinition& row = rows[static_cast<std::size_t>(r)];
        if (isReservedClassWord(row.value1, reserved)) continue;
        if (definition.valueType == 5) {
            if (row.op != 0 && row.op != 1)
                return fail(ZBQ_SHOWN("String定義で使用出来る演算子は\"=\"または\"!\"のみです"), r);
            continue;
        }
        if (!test) continue;
        if (!test->passes(row.value1)) return fail(test->value1Message, r);
        if (row.op >= 6 && test->value2Message && !test->passes(row.value2))
            return fail(test->value2Message, r);
    }
    return std::nullopt;
}

std::optional<CategoryCheckFailure> CheckMiddleClasses(const CategoryDefinition& definition,
                                                       const std::vector<std::string>& reserved) {
    std::vector<std::string> names;
    names.reserve(definition.smallClasses.size());
    for (const SmallClassDefinition& s : definition.smallClasses)
        names.push_back(s.name);
    return checkGroupings(definition.middleClasses, names, reserved,
                          ZBQ_SHOWN("中分類定義で使用出来る予約語はothersのみです"),
                          ZBQ_SHOWN("指定された値は小分類名に存在しません"));
}

std::optional<CategoryCheckFailure> CheckLargeClasses(const CategoryDefinition& definition,
                                                      const std::vector<std::string>& reserved) {
    std::vector<std::string> names;
    names.reserve(definition.middleClasses.size());
    for (const ClassGrouping& g : definition.middleClasses)
        names.push_back(g.name);
    return checkGroupings(definition.largeClasses, names, reserved,
                          ZBQ_SHOWN("大分類定義で使用出来る予約語はothersのみです"),
                          ZBQ_SHOWN("指定された値は中分類名に存在しません"));
}

std::optional<CategoryCheckFailure> CheckCategory(const CategoryDefinition& definition,
                                                  const std::vector<std::string>& reserved) {
    if (definition.smallClasses.empty() && definition.middleClasses.empty() &&
        definition.largeClasses.empty())
        return CategoryCheckFailure{};
    if (auto failure = CheckSmallClasses(definition, reserved)) return failure;
    if (auto failure = CheckMiddleClasses(definition, reserved)) return failure;
    return CheckLargeClasses(definition, reserved);
}
