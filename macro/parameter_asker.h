// ParameterAsker: how a step's "???" field gets its value when the step plays. The
// variable-condition dialog implements it; tests answer from a script. Until one is installed the
// macro object answers every question as cancelled. User-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ParameterAsker {
public:
    virtual ~ParameterAsker() = default;

    // Shows `prompt` (UTF-8) and returns the text entered as a step field holds it (CP932; a path
    // in its stored form), or an empty text when the user cancels. browseMode: -1 no browse
    // button, 1 CSV or text file to write, 2 data file to write, 3 Excel workbook to read,
    // 4 category file to read, 5 category file to write.
    virtual std::string askMacroParameter(std::string_view prompt, std::int32_t browseMode) = 0;
};
