// The life of one ZBQ run, from the arguments to the exit status: start-up, the event loop when
// start-up let the program run, and shutdown whichever way the run went. main() runs it on the
// real event loop; tests run it with one of their own.
//
// The exit status tells scripts how the run went: the loop's own when the program ran, 1 when
// start-up ended it before the loop (its input refused or cancelled, loading failed).
#pragma once

#include <functional>
#include <string>
#include <vector>

class CKWApp;

namespace zbq::app {

constexpr int kStartRefused = 1;

// `startUpOver` runs once InitInstance has returned, whichever way it went, before the loop or
// the shutdown (main stops treating a signal as the end of a start-up there).
int runProgram(CKWApp& app, const std::vector<std::string>& arguments,
               const std::function<int()>& eventLoop,
               const std::function<void()>& startUpOver = {});

}  // namespace zbq::app
