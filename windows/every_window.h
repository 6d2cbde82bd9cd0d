// The factories of every window the main frame makes - console, original data, item,
// cross-tab and aggregation - as the program wires them, so that main() and the whole-program
// tests open the same windows.
#pragma once

#include "app/analysis_window.h"

class CKWApp;

namespace zbq::windows {

// Each factory makes its window over `app`, which must outlive the frame that uses them.
WindowFactories everyWindowFactory(CKWApp& app);

}  // namespace zbq::windows
