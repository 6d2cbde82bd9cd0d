// Ending the program cleanly when the session asks it to (SIGTERM, SIGINT, SIGHUP): the signal is
// turned into QCoreApplication::quit() on the event loop, so windows close and files are saved
// the same way as when the user closes the main window.
#pragma once

#include <functional>

namespace zbq {

// Call once, after the QCoreApplication exists and before exec().
void quitOnTerminationSignals();

// While set, a signal runs `endNow` instead of quitting the event loop: before the main loop runs
// (start-up's questions and dialogs) there is no loop to quit, and the program must clean up and
// end at once. Null restores quitting.
void setEarlyTermination(std::function<void()> endNow);

}  // namespace zbq
