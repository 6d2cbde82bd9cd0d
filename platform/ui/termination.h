// Ending the program cleanly when the session asks it to (SIGTERM, SIGINT, SIGHUP): the signal is
// turned into QCoreApplication::exit(0) on the event loop. Every running loop ends, a question on
// the screen included, and the program shuts down as after its main window closed, removing its
// temporaries; it asks nothing, since a session that is ending waits for no answer.
#pragma once

#include <functional>

namespace zbq {

// Takes the signals over without Qt: call first thing in main, so that a signal while Qt starts
// waits for the event loop instead of killing the program. Idempotent.
void catchTerminationSignals();

// Hands the signals caught so far and from now on to the event loop. Call after the
// QCoreApplication exists and before exec(); catches them first when that was not done.
void quitOnTerminationSignals();

// While set, a signal runs `endNow` instead of quitting the event loop: before the main loop runs
// (start-up's questions and dialogs) there is no loop to quit, and the program must clean up and
// end at once. Null restores quitting.
void setEarlyTermination(std::function<void()> endNow);

// While one lives, a signal waits instead of acting: a write that leaves a temporary beside the
// user's file (a save) is finished or undone before the program ends, even when its own message
// pump sees the signal first. The signal is acted on at the first look at the event loop after
// the last hold ended. GUI thread only; holds nest.
class TerminationHold {
public:
    TerminationHold();
    ~TerminationHold();
    TerminationHold(const TerminationHold&) = delete;
    TerminationHold& operator=(const TerminationHold&) = delete;
};

}  // namespace zbq
