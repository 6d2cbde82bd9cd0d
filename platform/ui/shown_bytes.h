// Grids and texts held as CP932 bytes: a caption of ours among them goes through shownBytes(),
// which gives the bytes of what the user reads in the language in force (language.h). The
// models keep the Japanese, which their exports write whatever the language.
#pragma once

#include <string>

#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

namespace zbq::ui {

inline std::string shownBytes(const std::string& cp932) {
    if (!englishShown()) return cp932;
    return toCp932(shownCp932(cp932)).value_or(cp932);
}

}  // namespace zbq::ui
