// The application's list of record sets as the set tree sees it: placement of a new set after
// its parent's subtree, numbering from the next free number (numbers never come back), the
// node caption, subtrees and ancestry, and which popup menu fits a node or a drop. Pure
// functions over the list (tree pre-order: a set's descendants follow it with greater levels).
// Texts are CP932 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/mixed_text.h"
#include "app/shared_records.h"

// The set operations by their menu codes.
enum class SetOp : std::int32_t { Union = 0, Product = 1, Difference = 2, Complement = 3 };

// The position of the set with that number; nullopt when none.
std::optional<std::size_t> findSet(const std::vector<SetRecord>& sets, std::int32_t number);
// One past the last descendant of the set at `index`.
std::size_t subtreeEnd(const std::vector<SetRecord>& sets, std::size_t index);
// True when `ancestor` is `number` itself or a set above it.
bool isAncestorOrSelf(const std::vector<SetRecord>& sets, std::int32_t ancestor,
                      std::int32_t number);

// Numbers the record `nextSetNo`, gives it its caption, inserts it after the subtree of the
// parent (at the end when the parent is -1 or not found) and advances the next number. The
// stored record is returned.
SetRecord addSet(std::vector<SetRecord>& sets, std::int32_t& nextSetNo, std::int32_t parent,
                 SetRecord record);
// The caption the set's node shows: text2, or, where `title` is the set's title with its words
// of ours apart and the set was never given another caption, the caption made again with those
// words through `shown`.
std::string shownSetCaption(const SetRecord& set, const MixedText& title, ShownWordOf shown);
// Removes the set and its descendants; false when there is no such set.
bool removeSubtree(std::vector<SetRecord>& sets, std::int32_t number);

// Delete is offered for a set other than 0 that neither is the current set nor holds it below.
bool canDeleteSet(const std::vector<SetRecord>& sets, std::int32_t number, std::int32_t current);
// The set tree's popup: 151 (collapse allowed, delete enabled), 137 (allowed, greyed),
// 138 (not allowed, enabled), 139 (not allowed, greyed).
std::int32_t setTreeMenu(bool collapseAllowed, bool deleteEnabled);

// The algebra menu after dropping `dragged` onto `target`: 173 (the same set: complement only),
// 172 (one holds the other: no union or product), 171 (all four).
std::int32_t algebraMenu(const std::vector<SetRecord>& sets, std::int32_t target,
                         std::int32_t dragged);
// Whether the menu offers the operation.
bool algebraMenuOffers(std::int32_t menu, SetOp op);

// The title of a combination of target A and dragged set B: "No.A + No.B", "No.A * No.B",
// "No.A - No.B", "NOT No.B".
std::string combinationTitle(SetOp op, std::int32_t a, std::int32_t b);
// The step a combination records: UnionSet, DifferenceSet (product), ProductSet (difference),
// ComplementSet, as macro files have always held them.
const char* combinationStep(SetOp op);
