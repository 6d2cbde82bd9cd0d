// The message pump of long operations: throttled, and never re-entered from a handler it runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <thread>

#include "app/message_pump.h"

namespace {

void waitOutThrottle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(35));
}

TEST(MessagePump, DispatchesPendingEventsAtMostOncePerInterval) {
    waitOutThrottle();
    int delivered = 0;
    QTimer::singleShot(0, [&] { ++delivered; });
    const int before = zbq::app::pumpCount();
    zbq::app::pumpPendingMessages();
    EXPECT_EQ(delivered, 1);
    for (int i = 0; i < 1000; ++i)
        zbq::app::pumpPendingMessages();
    EXPECT_EQ(zbq::app::pumpCount(), before + 1);
}

TEST(MessagePump, HandlerRunningALongOperationDoesNotPumpAgain) {
    waitOutThrottle();
    int nestedPumps = -1;
    QTimer::singleShot(0, [&] {
        waitOutThrottle();
        const int before = zbq::app::pumpCount();
        zbq::app::pumpPendingMessages();
        nestedPumps = zbq::app::pumpCount() - before;
    });
    zbq::app::pumpPendingMessages();
    EXPECT_EQ(nestedPumps, 0);
}

}  // namespace
