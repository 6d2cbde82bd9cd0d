// A self-pipe carries the signal from the handler (which may do almost nothing) to the event loop.
#include "termination.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

namespace zbq {

namespace {

int g_pipe[2] = {-1, -1};
std::function<void()> g_endNow;
QPointer<QSocketNotifier> g_notifier;  // owned by the application object
int g_holds = 0;
bool g_waiting = false;  // a signal came while a hold lived

void onSignal(int) {
    char byte = 1;
    // Nothing to do when the pipe is full: a quit is already on its way.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

void catchTerminationSignals() {
    if (g_pipe[0] >= 0) return;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

void quitOnTerminationSignals() {
    catchTerminationSignals();
    if (g_pipe[0] < 0 || g_notifier) return;
    // A byte written before this point is still in the pipe: the notifier fires at once.
    g_notifier =
        new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(g_notifier, &QSocketNotifier::activated, g_notifier, [] {
        char buf[16];
        while (::read(g_pipe[0], buf, sizeof buf) > 0) {
        }
        if (g_holds > 0) {
            g_waiting = true;
            return;
        }
        if (g_endNow)
            g_endNow();
        else
            QCoreApplication::exit(0);  // quit() would close the windows, and the frame asks
    });
}

void setEarlyTermination(std::function<void()> endNow) {
    g_endNow = std::move(endNow);
}

TerminationHold::TerminationHold() {
    ++g_holds;
}

TerminationHold::~TerminationHold() {
    if (--g_holds > 0 || !g_waiting) return;
    g_waiting = false;
    // Not acted on here, deep inside whoever held: the notifier sees the byte at the next pump.
    onSignal(0);
}

}  // namespace zbq
