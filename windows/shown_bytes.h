// The grids paint CP932 bytes; a caption of ours that a grid paints goes through shownBytes(),
// which gives the bytes of what the user reads in the language in force (language.h). The
// models keep the Japanese, which their exports write whatever the language.
#pragma once

#include <string>

#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

namespace zbq::windows {

inline std::string shownBytes(const std::string& cp932) {
    if (!ui::englishShown()) return cp932;
    return ui::toCp932(ui::shownCp932(cp932)).value_or(cp932);
}

}  // namespace zbq::windows
