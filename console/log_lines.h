// The lines of the log tab's operation log, one per timed operation, and the cross-tab window's
// caption. Inputs and results are CP932 bytes; the line break is the caller's. Milliseconds are
// printed rounded to whole numbers, counts as plain integers, whatever the locale. The log keeps
// the Japanese words; the tab shows them through `shown`, which gives a caption of ours (CP932)
// in the language in force, as does the aggregate. An operation's text comes as it is to be
// shown: its words of ours lie among names, which only its maker tells apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using ShownWord = std::string (*)(const std::string& cp932);

// "検索[<caption>] <before> 件 → <after> 件 <ms> ﾐﾘ秒"
std::string searchLogLine(std::string_view caption, std::int32_t before, std::int32_t after,
                          double ms, ShownWord shown = nullptr);
// "ｿｰﾄ[<item>] <records> 件(<order>) <ms> ﾐﾘ秒"; order 0 "昇順", 1 "降順", else "ｵﾘｼﾞﾅﾙ昇順".
std::string sortLogLine(std::string_view itemName, std::int32_t records, std::int32_t kind,
                        double ms, ShownWord shown = nullptr);
// "ｸﾛｽ集計(<aggregate>)[X：<x>][Y：<y>][Z：<z>] <records> Rec"
std::string crossTabCaption(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, ShownWord shown = nullptr);
// The caption followed by " <ms> ﾐﾘ秒".
std::string crossTabLogLine(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double ms,
                            ShownWord shown = nullptr);
// "ﾄﾞﾘﾙｽﾙｰ[X：<x>][Y：<y>] <before> ﾚｺｰﾄﾞ -> <after> ﾚｺｰﾄﾞ <ms> ﾐﾘ秒"
std::string drillThroughLogLine(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double ms, ShownWord shown = nullptr);
// "<text> <records> Rec <ms> ﾐﾘ秒"
std::string operationLogLine(std::string_view text, std::int32_t records, double ms,
                             ShownWord shown = nullptr);

// "%.0f" of a time in milliseconds.
std::string formatMilliseconds(double ms);
