// The message pump of long operations: throttled, and never re-entered from a handler it runs.
// The test holds the pump's clock, so what it asserts is which calls dispatched and in what
// order, whatever the machine's load.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <string>
#include <vector>

#include "app/message_pump.h"

namespace {

using namespace std::chrono_literals;

std::chrono::steady_clock::time_point fakeNow;

class MessagePump : public ::testing::Test {
protected:
    MessagePump() {
        fakeNow = std::chrono::steady_clock::time_point{} + 1h;
        zbq::app::setPumpClockForTest([] { return fakeNow; });
    }
    ~MessagePump() override { zbq::app::setPumpClockForTest(nullptr); }
    static void advance(std::chrono::milliseconds by) { fakeNow += by; }
};

TEST_F(MessagePump, DispatchesPendingEventsAtMostOncePerInterval) {
    std::vector<std::string> delivered;
    const auto post = [&](const char* what) {
        QTimer::singleShot(0, [&delivered, what] { delivered.emplace_back(what); });
    };
    const int before = zbq::app::pumpCount();
    post("a");
    post("b");
    zbq::app::pumpPendingMessages();
    EXPECT_EQ(delivered, (std::vector<std::string>{"a", "b"})) << "in the order posted";
    EXPECT_EQ(zbq::app::pumpCount(), before + 1);

    // Within the interval: a thousand calls dispatch nothing, the event waits.
    post("c");
    for (int i = 0; i < 1000; ++i)
        zbq::app::pumpPendingMessages();
    advance(29ms);
    zbq::app::pumpPendingMessages();
    EXPECT_EQ(delivered, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(zbq::app::pumpCount(), before + 1);

    // The interval over: the next call dispatches once, the one after it is throttled again.
    advance(1ms);
    zbq::app::pumpPendingMessages();
    post("d");
    zbq::app::pumpPendingMessages();
    EXPECT_EQ(delivered, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(zbq::app::pumpCount(), before + 2);
    advance(30ms);
    zbq::app::pumpPendingMessages();
    EXPECT_EQ(delivered, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(zbq::app::pumpCount(), before + 3);
}

TEST_F(MessagePump, HandlerRunningALongOperationDoesNotPumpAgain) {
    int nestedPumps = -1;
    QTimer::singleShot(0, [&] {
        advance(1s);  // long past the interval: only the guard holds the nested call back
        const int before = zbq::app::pumpCount();
        zbq::app::pumpPendingMessages();
        nestedPumps = zbq::app::pumpCount() - before;
    });
    zbq::app::pumpPendingMessages();
    EXPECT_EQ(nestedPumps, 0);
}

}  // namespace
