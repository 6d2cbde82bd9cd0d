// The console window's own commands (maximise, minimise, restore) and the step each records:
// "Cons_Max", "Cons_Min", "Cons_Restore". A change of the window's state made by the window
// system (the user at the title bar) is mapped back to the command that would have made it, so
// the sheet records what the user did and nothing that the program did itself.
#pragma once

#include <Qt>

#include <optional>

enum class ConsoleSysCommand { Maximize, Minimize, Restore };

const char* consoleSysCommandStep(ConsoleSysCommand command);

// The command behind a state change; nullopt when the change is none of the three (a change of
// activity or of full screen alone, say). Leaving the minimised state is a restore, whatever
// size the window comes back at.
std::optional<ConsoleSysCommand> sysCommandForStateChange(Qt::WindowStates before,
                                                          Qt::WindowStates after);
