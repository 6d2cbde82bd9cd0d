// CategoryEditor: the model of the category editor: the definition being edited (a private
// copy: nothing reaches the set before a register or an import), the index in the set it was
// loaded from (-1 none), and the class tree's nodes with their marks.
//
// The tree has three roots (small, middle, large) once a definition is shown; Clear removes
// them. ApplyType is the type change: it takes the value type, runs the small check and, when
// it passes, the middle and then the large check, and marks the first faulty node of the level
// that failed; levels not checked keep the marks the rebuild gave. The failure is returned for
// the caller to show. Texts CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/mixed_text.h"
#include "app/shared_records.h"
#include "console/category_set.h"

// A class node's text: "\"A\"  [1,9]", "\"B\"  >=  5"; a grouping "\"M\"  =  \"x\"", with
// "＜未定義です＞" after an undefined member.
std::string smallClassText(const SmallClassDefinition& small);
std::string groupingText(const ClassGrouping& row, bool undefined);
// The same with its words of ours (the undefined mark) apart from the names.
MixedText groupingWords(const ClassGrouping& row, bool undefined);

struct CategoryNode {
    std::string text;
    bool marked = false;
    MixedText words;  // the text with its words of ours apart, for the screen
    bool operator==(const CategoryNode&) const = default;
};

enum class ClassLevel { Small = 0, Middle = 1, Large = 2 };

class CategoryEditor {
public:
    explicit CategoryEditor(std::vector<std::string> reservedWords)
        : reserved_(std::move(reservedWords)) {}

    const CategoryDefinition& definition() const { return edited_; }
    CategoryDefinition& definition() { return edited_; }
    std::int32_t index() const { return index_; }
    const std::vector<std::string>& reservedWords() const { return reserved_; }
    void setReservedWords(std::vector<std::string> words) { reserved_ = std::move(words); }

    // Copies the definition in, remembers the index, rebuilds the tree and applies its type.
    std::optional<CategoryCheckFailure> Load(const CategoryDefinition& definition,
                                             std::int32_t index);
    // Rebuilds the nodes from the edited definition and applies its type.
    std::optional<CategoryCheckFailure> Refresh();
    std::optional<CategoryCheckFailure> ApplyType(std::int32_t valueType);
    // Nothing edited, no index, no tree.
    void Clear();

    bool hasRoots() const { return roots_; }
    const std::vector<CategoryNode>& nodes(ClassLevel level) const {
        return nodes_[static_cast<int>(level)];
    }
    // The members a class list dialog offers: the distinct names of the level below in order
    // of first appearance, then "Others".
    std::vector<std::string> memberChoices(ClassLevel level) const;

private:
    std::vector<std::string> reserved_;
    CategoryDefinition edited_;
    std::int32_t index_ = -1;
    bool roots_ = false;
    std::vector<CategoryNode> nodes_[3];
};
