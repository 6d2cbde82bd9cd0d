// BuildGraph: the value list handed to the graph control as one line of text, name TAB count
// TAB name TAB count ..., in the list's current order, the error and blank rows included; then
// the control is told to write its chart workbook. GraphOutput is what BuildGraph needs of the
// control (graph_host.h implements it over the graph control's client), so the text and the
// calls are tested without the control.
//
// More than kMaxGraphValues values are refused ("データ数が多いため表示できません") and more
// than kAskGraphValues ask first (OK/Cancel); a name is cut to its first 20 characters (a
// two-byte character counts as one and is never split), a TAB or line break in it sent as a
// blank; a count is sent without its thousands separators. The result is the text sent (CP932),
// empty when nothing was sent. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CKWApp;

namespace zbq::windows {

class ValueListModel;

inline constexpr std::int32_t kMaxGraphValues = 10000;
inline constexpr std::int32_t kAskGraphValues = 100;
inline constexpr std::size_t kGraphNameChars = 20;

class GraphOutput {
public:
    virtual ~GraphOutput() = default;
    virtual void setFilePath(const std::string& utf8Path) = 0;
    virtual void setData(const std::string& cp932Text) = 0;
    virtual void closeXls(const std::string& utf8Path) = 0;
    virtual void exNormal() = 0;
};

// The first `chars` characters of a CP932 name, TAB, CR and LF as blanks.
std::string graphName(std::string_view cp932, std::size_t chars = kGraphNameChars);

std::string BuildGraph(CKWApp& app, const ValueListModel& model, GraphOutput& output);

}  // namespace zbq::windows
