// Ending the program cleanly when the session asks it to (SIGTERM, SIGINT, SIGHUP): the signal is
// turned into QCoreApplication::quit() on the event loop, so windows close and files are saved
// the same way as when the user closes the main window.
#pragma once

namespace zbq {

// Call once, after the QCoreApplication exists and before exec().
void quitOnTerminationSignals();

}  // namespace zbq
