// CategorySet: the OLAP page's working list of category definitions, with the value-type
// keywords and the checks a definition must pass before it is registered.
//
// The set is a copy of the application's list; the category list hands it back after every
// change. Names are keys, compared byte for byte: AddOrReplace (Put) keeps them unique. Indexes
// count from 0; GetAt answers null outside the set, ElementAt and RemoveAt expect a valid index.
//
// The checks stop at their first fault and give its message (UTF-8, shown in an exclamation box
// by the caller) and the failing row within its level; nothing is shown here. Texts are CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shared_records.h"

class CategorySet {
public:
    CategorySet() = default;
    explicit CategorySet(std::vector<CategoryDefinition> definitions)
        : definitions_(std::move(definitions)) {}
    virtual ~CategorySet() = default;

    std::int32_t GetCount() const { return static_cast<std::int32_t>(definitions_.size()); }
    std::string GetName(std::int32_t i) const { return ElementAt(i).name; }
    std::string GetTypeName(std::int32_t i) const;
    std::int32_t GetSmallCount(std::int32_t i) const;
    std::int32_t GetMiddleCount(std::int32_t i) const;
    std::int32_t GetLargeCount(std::int32_t i) const;
    const CategoryDefinition& ElementAt(std::int32_t i) const {
        return definitions_[static_cast<std::size_t>(i)];
    }
    const CategoryDefinition* GetAt(std::int32_t i) const;
    void RemoveAt(std::int32_t i);
    // Replaces the first definition of the same name where it stands, else appends. Returns 0.
    std::int32_t AddOrReplace(const CategoryDefinition& definition);
    void Put(const CategoryDefinition& definition) { AddOrReplace(definition); }
    // The index of the definition of that name, -1 when there is none.
    std::int32_t IndexOf(std::string_view name) const;

    const std::vector<CategoryDefinition>& definitions() const { return definitions_; }

    // "Universal" ... "Code" for 0 to 6, "" for any other code.
    static std::string ValueTypeToKeyword(std::int32_t code);
    // 0 to 6 for an exact keyword, -1 otherwise.
    static std::int32_t KeywordToValueType(std::string_view text);

private:
    std::vector<CategoryDefinition> definitions_;
};

// A failed check: the message (UTF-8; empty for the silent refusal of a definition without any
// class) and the failing row of its level.
struct CategoryCheckFailure {
    std::string message;
    std::int32_t row = -1;
    bool operator==(const CategoryCheckFailure&) const = default;
};

// Typed names hold at most this many bytes (what names, members and values hold at most:
// category_file.h).
inline constexpr std::size_t kCategoryNameTyped = 64;

bool isReservedClassWord(std::string_view text, const std::vector<std::string>& reserved);

std::optional<CategoryCheckFailure> CheckSmallClasses(const CategoryDefinition& definition,
                                                      const std::vector<std::string>& reserved);
std::optional<CategoryCheckFailure> CheckMiddleClasses(const CategoryDefinition& definition,
                                                       const std::vector<std::string>& reserved);
std::optional<CategoryCheckFailure> CheckLargeClasses(const CategoryDefinition& definition,
                                                      const std::vector<std::string>& reserved);
// The register check: silent failure without any class, else small, middle, large in order.
std::optional<CategoryCheckFailure> CheckCategory(const CategoryDefinition& definition,
                                                  const std::vector<std::string>& reserved);
