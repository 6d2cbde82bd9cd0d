#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/category_conditions.h"

#include <charconv>
#include <string_view>
#include <unordered_map>

#include "console/category_set.h"

namespace {

// The leading number of a text, 0 when it starts with none (an empty VAL2 among them).
template <typename T>
T leadingNumber(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return ec == std::errc() ? value : T{};
}

// A typed date as yyyymmdd. "2024/1/5" is 20240105: only a text that is no date falls back to
// its digits read as one number.
std::int32_t dateNumber(std::string_view text) {
    std::int32_t y = 0, m = 0, d = 0;
    if (CKWApp::SplitDateNumbers(text, &y, &m, &d) != 0) return y * 10000 + m * 100 + d;
    return CKWApp::DateTextToInt(text);
}

std::int32_t timeNumber(std::string_view text) {
    std::int32_t h = 0, m = 0, s = 0;
    if (CKWApp::SplitTimeNumbers(text, &h, &m, &s) != 0) return h * 10000 + m * 100 + s;
    return CKWApp::TimeTextToInt(text);
}

class Builder {
public:
    Builder(const CategoryDefinition& d, const std::vector<std::string>& reserved)
        : d_(d), reserved_(reserved) {}

    void small(std::string_view label, const SmallClassDefinition& s) {
        ClassCondition c;
        c.label.assign(label);
        c.code = CKWApp::ToEngineClassCode(s.op, s.value1);
        switch (d_.valueType) {
            case 0:
                break;
            case 1:
                c.intFrom = leadingNumber<std::int32_t>(s.value1);
                c.intTo = leadingNumber<std::int32_t>(s.value2);
                break;
            case 2:
                c.kind = ClassCondition::Double;
                c.doubleFrom = leadingNumber<double>(s.value1);
                c.doubleTo = leadingNumber<double>(s.value2);
                break;
            case 3:
                c.intFrom = dateNumber(s.value1);
                c.intTo = dateNumber(s.value2);
                break;
            case 4:
                c.intFrom = timeNumber(s.value1);
                c.intTo = timeNumber(s.value2);
                break;
            case 5:
            case 6:
                c.kind = ClassCondition::String;
                c.textFrom = s.value1;
                c.textTo = s.value2;
                break;
            default:
                return;
        }
        out.push_back(std::move(c));
    }

    // A middle row (or an expanded large one): its reserved word, or the first small class of
    // the member's name.
    void member(std::string_view label, const std::string& memberName) {
        if (isReservedClassWord(memberName, reserved_)) {
            small(label, SmallClassDefinition{{}, 0, memberName, {}});
            return;
        }
        if (firstSmall_.empty())
            for (const SmallClassDefinition& s : d_.smallClasses)
                firstSmall_.try_emplace(s.name, &s);
        const auto found = firstSmall_.find(memberName);
        if (found != firstSmall_.end()) small(label, *found->second);
    }

    void largeRow(const ClassGrouping& row) {
        if (isReservedClassWord(row.member, reserved_)) {
            member(row.name, row.member);
            return;
        }
        for (const ClassGrouping& middle : d_.middleClasses)
            if (middle.name == row.member) member(row.name, middle.member);
    }

    std::vector<ClassCondition> out;

private:
    const CategoryDefinition& d_;
    const std::vector<std::string>& reserved_;
    std::unordered_map<std::string_view, const SmallClassDefinition*> firstSmall_;
};

}  // namespace

std::vector<ClassCondition> ClassConditions(const CategoryDefinition& definition,
                                            std::int32_t level,
                                            const std::vector<std::string>& reservedWords) {
    Builder b(definition, reservedWords);
    if (definition.valueType < 0 || definition.valueType > 6) return {};
    switch (level) {
        case 1:
            for (const SmallClassDefinition& s : definition.smallClasses)
                b.small(s.name, s);
            break;
        case 2:
            for (const ClassGrouping& row : definition.middleClasses)
                b.member(row.name, row.member);
            break;
        case 3:
            for (const ClassGrouping& row : definition.largeClasses)
                b.largeRow(row);
            break;
        default:
            break;
    }
    return std::move(b.out);
}
