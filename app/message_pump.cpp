#include "app/message_pump.h"

#include <QCoreApplication>

#include <chrono>

namespace zbq::app {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kInterval = std::chrono::milliseconds(30);

bool pumping = false;
Clock::time_point lastPump{};
int pumps = 0;

}  // namespace

void pumpPendingMessages() {
    if (pumping || QCoreApplication::instance() == nullptr) return;
    const auto now = Clock::now();
    if (now - lastPump < kInterval) return;
    pumping = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastPump = Clock::now();
    ++pumps;
    pumping = false;
}

int pumpCount() {
    return pumps;
}

}  // namespace zbq::app
