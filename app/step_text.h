// Step texts and the lists inside their fields: the splitter every run uses, the atoi- and
// atof-like readers players use for numbers, and the two TAB-list parsers of the
// multi-dimensional setting commands.
//
// A step is the command name, then each field after one comma. A field that begins with '"'
// runs to the next lone '"' that the separator (or the end) follows; inside it '""' stands for
// one '"'. Files written before quotes were doubled hold lone quotes inside quoted fields and
// close a field at the first '"' followed by the separator; both forms split as their writers
// meant. Texts are CP932 bytes: '"', ',' and TAB are never the trail byte of a two-byte
// character, so a byte scan is safe. Pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits `text` at `separator` into `fields` (emptied first). An empty text gives no field; a
// separator at the very end gives no empty last field; two separators in a row give an empty
// field.
void SplitStepText(std::string_view text, char separator, std::vector<std::string>& fields);

// Pieces of `text` cut at `separator` (a separator at the very end gives no further piece); a
// piece holding ':' gives its left and right parts, read as numbers, to `firsts` and `seconds`;
// a piece without ':' is skipped, so both lists end equally long. Both are emptied first.
void ParseColumnPairs(std::string_view text, char separator, std::vector<std::int32_t>& firsts,
                      std::vector<std::int32_t>& seconds);

// The same pieces, each read as a number (an empty piece reads 0), into `numbers` (emptied
// first).
void ParseNumberList(std::string_view text, char separator, std::vector<std::int32_t>& numbers);

// The number a step field holds, as the players read it: leading blanks, an optional sign and
// the decimal digits up to the first other character; no digits read 0; values beyond int32
// saturate.
std::int32_t ReadStepInt(std::string_view field);

// The same for a decimal number (exponent allowed); no number reads 0.
double ReadStepDouble(std::string_view field);
