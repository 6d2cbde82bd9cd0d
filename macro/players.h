// The players of the macro commands, grouped in files by the window they drive
// (players_<window>.cpp). Each plays one step whose field count, window and "???" fields the
// dispatcher has checked already, performs the same action the window's menu, button or key
// performs, and returns 1 to go on or 0 to stop the run (having told the user why).
#pragma once

#include <cstdint>

#include "macro/command_table.h"

// --- Main frame (players_frame.cpp) ---
std::int32_t PlayDispConsole(CMacro& macro, StepFields& fields);
std::int32_t PlayMinAll(CMacro& macro, StepFields& fields);
