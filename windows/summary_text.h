// SummaryText: the numbered statistics text of an item's summary page ("概要") and the percent
// rank block its button appends, built from the item's values within the current record set.
//
// Every value is read in natural order through ItemValues, so writing a summary leaves the
// item's value order and its code/name display exactly as they were (the user's sort in the
// value list and other windows' display are not touched). Lines 12 and 13 are the smallest and
// largest ordinary values that have a record in the current set, as their labels say. Texts are
// CP932 with CR LF after every line. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class CKWApp;

namespace zbq::windows {

std::string SummaryText(const CKWApp& app, std::int32_t item);

// The block appended for a percentage from 0 to 100 (truncated to a whole percent for the
// look-up, shown with one decimal).
std::string PercentRankText(const CKWApp& app, std::int32_t item, double percent);

// The same texts and, in `shownText`, the text the page shows in the language in force: each
// label and the type caption through `shown` (CP932 in, CP932 out), every value as it stands.
// The texts themselves stay Japanese whatever the language.
using ShownBytes = std::function<std::string(const std::string& cp932)>;
std::string SummaryText(const CKWApp& app, std::int32_t item, const ShownBytes& shown,
                        std::string* shownText);
std::string PercentRankText(const CKWApp& app, std::int32_t item, double percent,
                            const ShownBytes& shown, std::string* shownText);

// The percent dialog's check of a typed text: the percentage, or the message (UTF-8) that
// refuses it: "数値を入力してください" for anything but digits with at most one "." and an
// optional leading "-", "0～100の範囲で入力してください" outside 0 to 100.
struct PercentInput {
    std::optional<double> percent;
    std::string message;
};
PercentInput CheckPercentText(std::string_view text);

// "%.1f" of a percentage, as its step records it.
std::string PercentStepText(double percent);

}  // namespace zbq::windows
