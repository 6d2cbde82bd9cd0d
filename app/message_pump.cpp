#include "app/message_pump.h"

#include <QCoreApplication>

#include <chrono>

#include "platform/workbook/workbook_reader.h"

namespace zbq::app {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kInterval = std::chrono::milliseconds(30);

bool pumping = false;
Clock::time_point lastPump{};
int pumps = 0;
PumpClock injectedClock = nullptr;

Clock::time_point now() {
    return injectedClock ? injectedClock() : Clock::now();
}

// The workbook reader knows no Qt: a long reading of a workbook pumps through this one.
[[maybe_unused]] const bool workbookPumpSet =
    (zbq::workbook::setReadingPump(&pumpPendingMessages), true);

}  // namespace

void pumpPendingMessages() {
    if (pumping || QCoreApplication::instance() == nullptr) return;
    if (now() - lastPump < kInterval) return;
    pumping = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastPump = now();
    ++pumps;
    pumping = false;
}

int pumpCount() {
    return pumps;
}

void setPumpClockForTest(PumpClock testClock) {
    injectedClock = testClock;
    lastPump = {};
}

}  // namespace zbq::app
