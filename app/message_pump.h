// The one message pump of ZBQ's long operations (loading, building, reading and writing
// definitions): it lets pending window messages through so the windows stay alive while the
// user-interface thread works.
//
// Throttled: a call within 30 ms of the last pump returns at once, so callers may call it per
// line or per record without cost. Guarded: a call made from inside a pump (a handler that runs
// a long operation) returns at once. Without a Qt application it does nothing. User-interface
// thread only.
#pragma once

#include <chrono>

namespace zbq::app {

void pumpPendingMessages();

// For tests: how many times messages were actually dispatched.
int pumpCount();

// For tests: the clock the throttle reads (null: the steady clock), so that a test decides when
// the interval has passed instead of racing it.
using PumpClock = std::chrono::steady_clock::time_point (*)();
void setPumpClockForTest(PumpClock clock);

}  // namespace zbq::app
