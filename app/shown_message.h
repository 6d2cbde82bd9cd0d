// A message of the program's own that quotes data: a Japanese text with the places %1 to %9
// for the values, shown in the language in force with the places filled. The text is written
// where it is defined, marked with ZBQ_SHOWN, so that its English is kept with the others; a
// value is put in as it stands, never read for places of its own. Under Japanese the result is
// the text the places once were concatenated into, byte for byte. GUI thread only.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/core/shown_text.h"

namespace zbq::app {

// The question before a macro runs, %1 the macro's name: from the macro menu and at start-up.
// clang-format off
inline constexpr const char* kRunMacroQuestion = ZBQ_SHOWN("マクロ「%1」を実行します。\nマクロを実行すると、画面を一度初期化します。\n実行してよろしいですか？");
// clang-format on

// UTF-8 in, UTF-8 out: ready for CKWApp::ShowError and its kin.
std::string shownMessage(std::string_view japanese, std::initializer_list<std::string_view> values);

}  // namespace zbq::app
