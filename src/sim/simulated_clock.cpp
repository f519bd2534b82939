#include "simulated_clock.h"

#include <QElapsedTimer>

#include <atomic>

namespace {
std::atomic<qint64> g_offsetMs{0};

const QElapsedTimer &startTimer() {
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
} // namespace

qint64 SimulatedClock::nowMs() {
    return startTimer().elapsed() + g_offsetMs.load();
}

void SimulatedClock::advance(qint64 ms) {
    if (ms > 0)
        g_offsetMs += ms;
}
